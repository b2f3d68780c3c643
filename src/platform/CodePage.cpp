#include "platform/CodePage.h"

#include <iconv.h>

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

std::string cp1252ToCp850(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return Converte("CP850", "CP1252", s, "?", false);
  return std::string(s);
}

}  // namespace platform
