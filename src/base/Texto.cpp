#include "base/Texto.h"

#include <algorithm>

namespace base {

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  auto p = s.find(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int64_t indice, int64_t quantidade) {
  if (indice < 1) indice = 1;
  if (quantidade <= 0 || indice > static_cast<int64_t>(s.size())) return {};
  auto inicio = static_cast<size_t>(indice - 1);
  auto n = std::min<uint64_t>(static_cast<uint64_t>(quantidade), s.size() - inicio);
  return std::string(s.substr(inicio, n));
}

static bool EhBranco(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(std::string_view s) {
  size_t i = 0, n = s.size();
  while (i < n && EhBranco(s[i])) ++i;
  while (n > i && EhBranco(s[n - 1])) --n;
  return std::string(s.substr(i, n - i));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Separated by ", ", the last by " ou ".
std::string ListaComOu(const std::vector<std::string>& itens) {
  std::string lista;
  for (size_t i = 0; i < itens.size(); ++i)
    lista += (i == 0 ? "" : i + 1 == itens.size() ? " ou " : ", ") + itens[i];
  return lista;
}

}  // namespace base
