#include "platform/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace platform {

namespace {

// Converts s with iconv, replacing each unconvertible input character by `troca` and skipping one
// input byte (or one UTF-8 sequence) per failure.
std::string Converte(const char* para, const char* de, std::string_view s, std::string_view troca,
                     bool entradaUtf8) {
  iconv_t cd = iconv_open(para, de);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("iconv_open ") + de + "->" + para);
  std::string out;
  out.reserve(s.size() + s.size() / 4 + 8);
  char* in = const_cast<char*>(s.data());
  size_t inLeft = s.size();
  char buf[4096];
  while (inLeft > 0) {
    char* o = buf;
    size_t oLeft = sizeof buf;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip the offending character.
      size_t pula = 1;
      if (entradaUtf8) {
        unsigned char c = static_cast<unsigned char>(*in);
        size_t esperado = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        pula = 1;
        while (pula < esperado && pula < inLeft &&
               (static_cast<unsigned char>(in[pula]) & 0xC0) == 0x80)
          ++pula;
      }
      out.append(troca);
      in += pula;
      inLeft -= pula;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80)
      return Converte("UTF-8", "CP1252", s, "\xEF\xBF\xBD", false);
  return std::string(s);
}

std::string utf8ToCp1252(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return Converte("CP1252", "UTF-8", s, "?", true);
  return std::string(s);
}

std::string messageToTerminal(std::string_view s) {
  std::string r = cp1252ToUtf8(s);
  for (size_t i = 0; i < r.size(); ++i)
    if (r[i] == '\r' && (i + 1 == r.size() || r[i + 1] != '\n')) r[i] = '\n';
  return r;
}

namespace {

// The Windows-1252 characters code page 850 cannot hold, each with the 850 byte that looks like
// it, so that text pasted from office documents prints readably and every column stays where it
// was. The five bytes 1252 leaves undefined, and the trade mark sign, which nothing resembles,
// become "?".
constexpr struct {
  unsigned char cp1252, cp850;
} kParecidos850[] = {
    {0x80, 'E'}, {0x82, '\''}, {0x84, '"'},  {0x85, '.'}, {0x86, '+'}, {0x87, '+'},  {0x88, '^'},
    {0x89, '%'}, {0x8A, 'S'},  {0x8B, '<'},  {0x8C, 'O'}, {0x8E, 'Z'}, {0x91, '\''}, {0x92, '\''},
    {0x93, '"'}, {0x94, '"'},  {0x95, 0xFA}, {0x96, '-'}, {0x97, '-'}, {0x98, '~'},  {0x9A, 's'},
    {0x9B, '>'}, {0x9C, 'o'},  {0x9E, 'z'},  {0x9F, 'Y'},
};

// Byte for byte, Windows-1252 to code page 850: iconv's conversion of each upper byte, the
// look-alike where iconv has none, "?" where neither exists.
const std::array<char, 256>& Tabela850() {
  static const std::array<char, 256> tabela = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<char>(i);
    for (int i = 0x80; i < 0x100; ++i) {
      std::string r = Converte("CP850", "CP1252", std::string(1, static_cast<char>(i)), "", false);
      t[static_cast<size_t>(i)] = r.size() == 1 ? r[0] : '?';
    }
    for (const auto& p : kParecidos850)
      if (t[p.cp1252] == '?') t[p.cp1252] = static_cast<char>(p.cp850);
    return t;
  }();
  return tabela;
}

}  // namespace

std::string cp1252ToCp850(std::string_view s) {
  const std::array<char, 256>& tabela = Tabela850();
  std::string r(s);
  for (char& c : r) c = tabela[static_cast<unsigned char>(c)];
  return r;
}

}  // namespace platform
