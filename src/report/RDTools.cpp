// The report engine's text, colour, page-selection and picture conversions.
#include "report/RDTools.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/CodePage.h"

namespace report {

namespace {

// The plain form of each Windows-1252 byte (the byte itself when it has no accent to strip).
std::array<char, 256> TabelaAcentos() {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
  auto poe = [&t](char plano, std::initializer_list<unsigned> codigos) {
    for (unsigned c : codigos) t[c] = plano;
  };
  poe('a', {0xE1, 0xE0, 0xE3, 0xE2, 0xE4, 0xAA});
  poe('e', {0xE9, 0xE8, 0xEA, 0xEB});
  poe('i', {0xED, 0xEC, 0xEE, 0xEF});
  poe('o', {0xF3, 0xF2, 0xF5, 0xF4, 0xF6, 0xBA});
  poe('u', {0xFA, 0xF9, 0xFB, 0xFC});
  poe('A', {0xC1, 0xC0, 0xC3, 0xC2, 0xC4});
  poe('E', {0xC9, 0xC8, 0xCA, 0xCB});
  poe('I', {0xCD, 0xCC, 0xCE, 0xCF});
  poe('O', {0xD3, 0xD2, 0xD5, 0xD4, 0xD6});
  poe('U', {0xDA, 0xD9, 0xDB, 0xDC});
  poe('c', {0xE7});
  poe('C', {0xC7});
  poe('n', {0xF1});
  poe('N', {0xD1});
  poe(' ', {0xBC, 0xBD, 0xBE, 0xA7});
  return t;
}

// The code page 437 byte of each frame code letter (0 when the character is no frame code).
std::array<unsigned char, 256> TabelaMoldura() {
  std::array<unsigned char, 256> t{};
  const char* letras = "=IABCDTV[]#-iabcdtv<>+";
  const unsigned char bytes[] = {0xCD, 0xBA, 0xC9, 0xBB, 0xBC, 0xC8, 0xCB, 0xCA, 0xCC, 0xB9, 0xCE,
                                 0xC4, 0xB3, 0xDA, 0xBF, 0xD9, 0xC0, 0xC2, 0xC1, 0xC3, 0xB4, 0xC5};
  for (int i = 0; letras[i]; ++i) t[static_cast<unsigned char>(letras[i])] = bytes[i];
  return t;
}

// Reduces runs of c to a single c.
std::string ReduzRepeticoes(std::string_view s, char c) {
  std::string r;
  r.reserve(s.size());
  for (char ch : s)
    if (!(ch == c && !r.empty() && r.back() == c)) r += ch;
  return r;
}

// A page number of the selection, 0 when the text does not convert.
int NumeroPagina(std::string_view s) {
  int32_t v = 0;
  return base::TryStrToInt(s, v) ? v : 0;
}

// Windows' MulDiv for non-negative arguments: a * b / c rounded to the nearest integer.
int64_t MulDiv(int64_t a, int64_t b, int64_t c) { return c == 0 ? -1 : (a * b + c / 2) / c; }

constexpr int kUltimaPagina = 9999;

const char kDigitosHex[] = "0123456789ABCDEF";

// The RGB values of the system colours (index in the low byte of a negative TColor), as a
// standard desktop shows them.
const uint32_t kCoresSistema[31] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x0078D7, 0xF0F0F0};

}  // namespace

// Replaces accented letters by their plain forms.
std::string RemoveAcentos(std::string_view texto) {
  static const auto tabela = TabelaAcentos();
  std::string r(texto);
  for (char& c : r) c = tabela[static_cast<unsigned char>(c)];
  return r;
}

// Turns frame code letters into code page 437 box-drawing bytes.
std::string ConverteMoldura(std::string_view texto) {
  static const auto tabela = TabelaMoldura();
  std::string r(texto);
  for (char& c : r) {
    unsigned char b = tabela[static_cast<unsigned char>(c)];
    if (b) c = static_cast<char>(b);
  }
  return r;
}

// Turns frame code letters into ASCII line pieces.
std::string ConverteMolduraTexto(std::string_view texto) {
  std::string r(texto);
  for (char& c : r) {
    if (c == ' ') continue;
    if (c == '=' || c == '-')
      c = '-';
    else if (c == 'I' || c == 'i')
      c = '|';
    else
      c = '+';
  }
  return r;
}

// Turns a blank-separated list of decimal byte values into bytes.
std::string ConverteCodigos(std::string_view texto) {
  std::string r;
  std::string_view resto = texto;
  bool ha = !resto.empty();
  while (ha) {
    std::string_view token;
    size_t p = resto.find(' ');
    if (p != std::string_view::npos) {
      token = resto.substr(0, p);
      resto = resto.substr(p + 1);
    } else {
      token = resto;
      ha = false;
    }
    int32_t v = 0;
    if (!token.empty() && base::TryStrToInt(token, v) && v >= 0 && v <= 255)
      r += static_cast<char>(v);
  }
  return r;
}

// Expands a page selection into page numbers.
void ExpandePaginas(std::string_view selecao, std::vector<std::string>& lista) {
  lista.clear();
  std::string s = ReduzRepeticoes(ReduzRepeticoes(selecao, '-'), ',');
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  if (s.empty()) return;
  s += ',';
  size_t inicio = 0;
  bool intervalo = false;
  int inicioIntervalo = 1;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '-') {
      inicioIntervalo = NumeroPagina(std::string_view(s).substr(inicio, i - inicio));
      intervalo = true;
      inicio = i + 1;
    } else if (s[i] == ',') {
      int n = NumeroPagina(std::string_view(s).substr(inicio, i - inicio));
      if (intervalo) {
        // Page numbers end at 9999 (the page field has four digits): a range such as 1-999999999
        // must not fill memory.
        for (int p = std::max(inicioIntervalo, 1); p <= std::min(n, kUltimaPagina); ++p)
          lista.push_back(std::to_string(p));
      } else if (n > 0) {
        lista.push_back(std::to_string(n));
      }
      intervalo = false;
      inicio = i + 1;
    }
  }
}

// Drops the characters file names cannot hold.
std::string LimpaNomeArquivo(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  for (char c : texto)
    if (std::string_view("\"*/:<>?\\|").find(c) == std::string_view::npos) r += c;
  return r;
}

// Six hexadecimal digits of a colour, red first.
uint32_t CorRGB(TColor cor) {
  if (cor >= 0) return static_cast<uint32_t>(cor) & 0xFFFFFF;
  unsigned indice = static_cast<uint32_t>(cor) & 0xFF;
  if (indice >= 31) return 0;
  uint32_t rgb = kCoresSistema[indice];  // written 0xRRGGBB above
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string CorParaHex(TColor cor) {
  if (cor < 0) throw base::Exception("Range check error");
  std::string r(6, '0');
  for (size_t i = 0; i < 3; ++i) {
    unsigned b = (static_cast<uint32_t>(cor) >> (8 * i)) & 0xFF;
    r[2 * i] = kDigitosHex[b >> 4];
    r[2 * i + 1] = kDigitosHex[b & 15];
  }
  return r;
}

// The colour of six hexadecimal digits.
TColor HexParaCor(std::string_view hex) {
  auto digito = [hex](size_t i) -> int {
    char c = i < hex.size() ? hex[i] : '\0';
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw base::EConvertError("'$" + std::string(hex.substr(0, 6)) +
                              "' is not a valid integer value");
  };
  TColor cor = 0;
  for (size_t i = 0; i < 3; ++i) cor |= (digito(2 * i) * 16 + digito(2 * i + 1)) << (8 * i);
  return cor;
}

// Appends the text with the five HTML-special characters escaped; the runs between them are
// copied whole.
void AnexaHTML(std::string& destino, std::string_view texto) {
  size_t inicio = 0;
  for (size_t i = 0; i < texto.size(); ++i) {
    const char* troca;
    switch (texto[i]) {
      case '"':
        troca = "&quot;";
        break;
      case '\'':
        troca = "&apos;";
        break;
      case '>':
        troca = "&gt;";
        break;
      case '<':
        troca = "&lt;";
        break;
      case '&':
        troca = "&amp;";
        break;
      default:
        continue;
    }
    destino.append(texto.data() + inicio, i - inicio);
    destino += troca;
    inicio = i + 1;
  }
  destino.append(texto.data() + inicio, texto.size() - inicio);
}

// Escapes the five HTML-special characters.
std::string CodificaHTML(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  AnexaHTML(r, texto);
  return r;
}

// Escapes a text for a PDF string literal.
std::string CodificaTextoPDF(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  AnexaTextoPDF(r, texto);
  return r;
}

// The bytes a PDF string literal cannot hold as they are.
constexpr std::array<bool, 256> kEscapaPDF = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = true;
  t[0x7F] = t['('] = t[')'] = t['\\'] = true;
  return t;
}();

// Appends the escaped text; runs of plain bytes are copied at once.
void AnexaTextoPDF(std::string& destino, std::string_view texto) {
  size_t inicio = 0;
  for (size_t i = 0; i < texto.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(texto[i]);
    if (!kEscapaPDF[c]) continue;
    destino.append(texto, inicio, i - inicio);
    inicio = i + 1;
    char esc[4] = {'\\', 0, 0, 0};
    size_t n = 2;
    switch (c) {
      case 0x08:
        esc[1] = 'b';
        break;
      case 0x0A:
        esc[1] = 'n';
        break;
      case 0x0C:
        esc[1] = 'f';
        break;
      case 0x0D:
        esc[1] = 'r';
        break;
      case '(':
      case ')':
      case '\\':
        esc[1] = static_cast<char>(c);
        break;
      default:
        esc[1] = static_cast<char>('0' + ((c >> 6) & 7));
        esc[2] = static_cast<char>('0' + ((c >> 3) & 7));
        esc[3] = static_cast<char>('0' + (c & 7));
        n = 4;
    }
    destino.append(esc, n);
  }
  destino.append(texto, inicio, texto.size() - inicio);
}

// "0.## " of a number with a point as decimal separator.
std::string NumeroPDF(double valor) {
  std::string r;
  AnexaNumeroPDF(r, valor);
  return r;
}

// Writes "0.## " of a number the short way. Page coordinates are formatted millions of times:
// below 10^7 the value times 100 is within 10^-5 of the 15-digit reading times 100, and unless it
// lies within 10^-4 of a half both round to the same count of hundredths.
char* EscreveNumeroPDF(char* destino, double valor) {
  const double absoluto = std::fabs(valor);
  if (!(absoluto < 1e7)) return nullptr;
  const double centesimos = absoluto * 100.0;
  const int64_t piso = static_cast<int64_t>(centesimos);  // non-negative: truncation is floor
  const double fracao = centesimos - static_cast<double>(piso);
  if (std::fabs(fracao - 0.5) <= 1e-4) return nullptr;
  const uint64_t n = static_cast<uint64_t>(piso) + (fracao > 0.5 ? 1 : 0);
  char* p = destino;
  if (n != 0 && valor < 0) *p++ = '-';
  char digitos[12];
  int k = 0;
  uint64_t inteiro = n / 100;
  do {
    digitos[k++] = static_cast<char>('0' + inteiro % 10);
    inteiro /= 10;
  } while (inteiro != 0);
  while (k > 0) *p++ = digitos[--k];
  const unsigned resto = static_cast<unsigned>(n % 100);
  if (resto != 0) {
    *p++ = '.';
    *p++ = static_cast<char>('0' + resto / 10);
    if (resto % 10 != 0) *p++ = static_cast<char>('0' + resto % 10);
  }
  *p++ = ' ';
  return p;
}

// Appends "0.## " of a number; near halves and for large or non-finite values the exact pattern
// formatter decides.
void AnexaNumeroPDF(std::string& destino, double valor) {
  char buf[kNumeroPDFCurto];
  if (char* fim = EscreveNumeroPDF(buf, valor)) {
    destino.append(buf, static_cast<size_t>(fim - buf));
    return;
  }
  base::FormatSettings fs;
  fs.separadorDecimal = '.';
  fs.separadorMilhar = ',';
  destino += base::FormatFloat("0.## ", valor, fs);
}

// Base64 of the whole input, read in blocks of 510 bytes.
void CodificaBase64(std::istream& entrada, std::ostream& saida) {
  static const char alfabeto[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  char bloco[510];
  std::string saidaBloco;
  while (entrada) {
    entrada.read(bloco, sizeof bloco);
    std::streamsize n = entrada.gcount();
    if (n <= 0) break;
    saidaBloco.clear();
    for (std::streamsize i = 0; i < n; i += 3) {
      uint32_t v = static_cast<unsigned char>(bloco[i]) << 16;
      std::streamsize resto = n - i;
      if (resto > 1) v |= static_cast<unsigned char>(bloco[i + 1]) << 8;
      if (resto > 2) v |= static_cast<unsigned char>(bloco[i + 2]);
      saidaBloco += alfabeto[(v >> 18) & 63];
      saidaBloco += alfabeto[(v >> 12) & 63];
      saidaBloco += resto > 1 ? alfabeto[(v >> 6) & 63] : '=';
      saidaBloco += resto > 2 ? alfabeto[v & 63] : '=';
    }
    saida.write(saidaBloco.data(), static_cast<std::streamsize>(saidaBloco.size()));
  }
}

// num / den rounded half to even, with floor division for negative numerators.
int64_t ArredondaRazao(int64_t num, int64_t den) {
  int64_t q = num / den, r = num % den;
  if (r < 0) r += den, --q;
  if (2 * r > den || (2 * r == den && (q & 1))) ++q;
  return q;
}

std::string ImagemNaoCabe(int indice, std::string_view formato, bool umPixel) {
  const std::string f(formato);
  return "A imagem " + std::to_string(indice) + " do relat\xF3rio n\xE3o cabe no " + f +
         ": cada lado deve ter " + (umPixel ? "de 1 a " : "no m\xE1ximo ") +
         std::to_string(kLadoMaximoImagem) + " pixels, e a imagem no m\xE1ximo " +
         std::to_string(kPixelsMaximoImagem / 1'000'000) +
         " milh\xF5"
         "es de pixels. Corrija o tamanho da imagem e gere o " +
         f + " de novo.";
}

// Windows-1252 to the OEM code page. The conversion is character for character, so a table of the
// 128 upper bytes, filled once through the platform's converter, does it without a call per text.
std::string AnsiParaOem(std::string_view texto) {
  static const std::array<char, 256> tabela = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) {
      t[i] = static_cast<char>(i);
      if (i >= 0x80) {
        std::string r = platform::cp1252ToCp850(std::string(1, static_cast<char>(i)));
        t[i] = r.size() == 1 ? r[0] : '?';
      }
    }
    return t;
  }();
  std::string r(texto);
  for (char& c : r) c = tabela[static_cast<unsigned char>(c)];
  return r;
}

// Bilinear resize in 16.16 fixed point.
void RedimensionaImagem(const TImagemRGB& origem, TImagemRGB& destino) {
  destino.pixels.assign(
      static_cast<size_t>(std::max(destino.largura, 0)) * std::max(destino.altura, 0) * 3, 0);
  if (origem.largura == destino.largura && origem.altura == destino.altura) {
    destino.pixels = origem.pixels;
    return;
  }
  if (origem.largura <= 0 || origem.altura <= 0 || destino.largura <= 0 || destino.altura <= 0)
    return;
  const int64_t sx = MulDiv(origem.largura - 1, 65536, destino.largura);
  const int64_t sy = MulDiv(origem.altura - 1, 65536, destino.altura);
  int64_t fy = 0;
  for (int y = 0; y < destino.altura; ++y, fy += sy) {
    int y0 = std::min(static_cast<int>(fy / 65536), origem.altura - 1);
    int y1 = y0 == origem.altura - 1 ? y0 : y0 + 1;
    int64_t w1 = (fy % 65536) + 1, w0 = 65536 - (fy % 65536);
    int64_t fx = 0;
    for (int x = 0; x < destino.largura; ++x, fx += sx) {
      int x0 = std::min(static_cast<int>(fx / 65536), origem.largura - 1);
      int x1 = std::min(x0 + 1, origem.largura - 1);
      int64_t f = fx % 65536;
      int64_t a = MulDiv(f, w0, 65536), b = MulDiv(f, w1, 65536);
      uint8_t* d = destino.Pixel(x, y);
      for (int c = 0; c < 3; ++c) {
        int64_t v = origem.Pixel(x0, y0)[c] * (w0 - a) + origem.Pixel(x1, y0)[c] * a +
                    origem.Pixel(x0, y1)[c] * (w1 - b) + origem.Pixel(x1, y1)[c] * b;
        d[c] = static_cast<uint8_t>(std::min<int64_t>(v >> 16, 255));
      }
    }
  }
}

}  // namespace report
