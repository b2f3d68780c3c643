// Test helpers: temporary folders and whole-file reads/writes.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace teste {

// A fresh folder under the system's temporary folder, removed with the object.
class PastaTemporaria {
 public:
  PastaTemporaria() {
    std::string modelo =
        (std::filesystem::temp_directory_path() / "proposta-teste-XXXXXX").string();
    caminho_ = mkdtemp(modelo.data());
  }
  ~PastaTemporaria() {
    std::error_code ec;
    std::filesystem::remove_all(caminho_, ec);
  }
  std::string operator/(const std::string& nome) const { return (caminho_ / nome).string(); }
  const std::filesystem::path& caminho() const { return caminho_; }

 private:
  std::filesystem::path caminho_;
};

inline std::string Le(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary | std::ios::ate);
  auto tamanho = f.tellg();
  if (!f || tamanho < 0) return {};
  std::string s(static_cast<size_t>(tamanho), '\0');
  f.seekg(0);
  f.read(s.data(), static_cast<std::streamsize>(s.size()));
  return s;
}

inline void Grava(const std::string& caminho, const std::string& bytes) {
  std::ofstream f(caminho, std::ios::binary);
  f << bytes;
}

// The names in a folder, sorted: what a failed or completed write left there.
inline std::vector<std::string> Nomes(const std::filesystem::path& pasta) {
  std::vector<std::string> n;
  for (const auto& e : std::filesystem::directory_iterator(pasta))
    n.push_back(e.path().filename().string());
  std::sort(n.begin(), n.end());
  return n;
}

// Lines joined with CR LF, each line ended.
inline std::string Crlf(std::initializer_list<std::string> linhas) {
  std::string s;
  for (const auto& l : linhas) s += l + "\r\n";
  return s;
}

}  // namespace teste
