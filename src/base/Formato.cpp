#include "base/Formato.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "base/Erros.h"

namespace base {

const FormatSettings& FormatoPadrao() {
  static const FormatSettings fs;
  return fs;
}

std::string IntToStr(int64_t v) { return std::to_string(v); }

namespace {

// A non-negative decimal: value = digitos x 10^-escala (digitos without leading zeros, "" = zero).
struct Decimal {
  bool negativo = false;
  std::string digitos;
  int escala = 0;
};

// "d.dddddddddddddde[+-]x" with 15 significant digits, never in the C library's locale.
std::string Cientifico15(double v) {
  char buf[64];
  // The shortest form that reads back as v is the 15-digit rounding whenever it has at most 15
  // digits (the double is then closer to it than half a unit of the 15th digit).
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  int digitos = 0;
  for (char* p = buf; p < r.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') ++digitos;
  if (digitos > 15) r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  return std::string(buf, r.ptr);
}

void TiraZerosAEsquerda(std::string& d) {
  size_t i = 0;
  while (i < d.size() && d[i] == '0') ++i;
  d.erase(0, i);
}

// The 15-significant-digit decimal form of a finite double.
Decimal DecimalDe(double v) {
  Decimal r;
  r.negativo = std::signbit(v) && v != 0.0;
  std::string s = Cientifico15(std::fabs(v));
  auto e = s.find('e');
  std::string mant = s.substr(0, e);
  int expo = std::stoi(s.substr(e + 1));
  std::string dig;
  for (char c : mant)
    if (c != '.') dig += c;
  r.escala = static_cast<int>(dig.size()) - 1 - expo;
  if (r.escala < 0) {
    dig.append(static_cast<size_t>(-r.escala), '0');
    r.escala = 0;
  }
  // Drop trailing zeros of the fraction: they do not change the value.
  while (r.escala > 0 && !dig.empty() && dig.back() == '0') {
    dig.pop_back();
    --r.escala;
  }
  TiraZerosAEsquerda(dig);
  r.digitos = dig;
  if (r.digitos.empty()) r.negativo = false;
  return r;
}

// Rounds to casas decimals, halves away from zero.
void Arredonda(Decimal& d, int casas) {
  if (d.escala <= casas) return;
  int cortar = d.escala - casas;
  if (static_cast<int>(d.digitos.size()) < cortar) {
    // All digits are below the kept precision; it rounds up only when the first cut digit is >= 5,
    // which needs exactly `cortar` digits.
    d.digitos.clear();
    d.escala = casas;
    return;
  }
  size_t manter = d.digitos.size() - static_cast<size_t>(cortar);
  bool sobe = d.digitos[manter] >= '5';
  d.digitos.resize(manter);
  d.escala = casas;
  if (sobe) {
    int i = static_cast<int>(d.digitos.size()) - 1;
    while (i >= 0 && d.digitos[static_cast<size_t>(i)] == '9')
      d.digitos[static_cast<size_t>(i--)] = '0';
    if (i < 0)
      d.digitos.insert(d.digitos.begin(), '1');
    else
      ++d.digitos[static_cast<size_t>(i)];
  }
  TiraZerosAEsquerda(d.digitos);
}

// One section of a FormatFloat pattern.
struct Secao {
  std::string prefixo, sufixo;
  int minInteiros = 0;  // '0' placeholders before the decimal point
  int minDecimais = 0;  // '0' placeholders after it
  int maxDecimais = 0;  // '0' and '#' placeholders after it
  bool milhar = false;  // a ',' among the integer placeholders
  bool temDigitos = false;
};

Secao AnalisaSecao(std::string_view p) {
  Secao s;
  bool depoisDoPonto = false, viuDigito = false;
  std::string* literal = &s.prefixo;
  for (size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (c == '"' || c == '\'') {
      size_t f = p.find(c, i + 1);
      if (f == std::string_view::npos) f = p.size();
      *literal += std::string(p.substr(i + 1, f - i - 1));
      i = f;
      continue;
    }
    if (c == '0' || c == '#') {
      viuDigito = true;
      s.temDigitos = true;
      literal = &s.sufixo;
      if (depoisDoPonto) {
        ++s.maxDecimais;
        if (c == '0') s.minDecimais = s.maxDecimais;
      } else if (c == '0') {
        ++s.minInteiros;
      } else if (s.minInteiros > 0) {
        ++s.minInteiros;  // a '#' after a '0' still forces the digit
      }
      continue;
    }
    if (c == '.' && !depoisDoPonto &&
        (viuDigito || (i + 1 < p.size() && (p[i + 1] == '0' || p[i + 1] == '#')))) {
      depoisDoPonto = true;
      literal = &s.sufixo;
      continue;
    }
    if (c == ',' && !depoisDoPonto) {
      s.milhar = true;
      continue;
    }
    *literal += c;
  }
  return s;
}

// A pattern split into its sections (positive;negative;zero) and analysed.
struct Padrao {
  std::string texto;
  std::vector<Secao> secoes;
  std::vector<bool> vazias;
};

Padrao AnalisaPadrao(std::string_view padrao) {
  Padrao p;
  p.texto = std::string(padrao);
  size_t ini = 0;
  char aspas = 0;
  for (size_t i = 0; i <= padrao.size(); ++i) {
    if (i < padrao.size() && (padrao[i] == '"' || padrao[i] == '\''))
      aspas = aspas == padrao[i] ? 0 : (aspas ? aspas : padrao[i]);
    if (i == padrao.size() || (padrao[i] == ';' && !aspas)) {
      p.secoes.push_back(AnalisaSecao(padrao.substr(ini, i - ini)));
      p.vazias.push_back(i == ini);
      ini = i + 1;
    }
  }
  return p;
}

// The analysed pattern, from a small cache: listings format the same few patterns millions of
// times.
const Padrao& PadraoAnalisado(std::string_view padrao) {
  static thread_local Padrao cache[8];
  static thread_local unsigned proximo = 0;
  for (const auto& c : cache)
    if (!c.secoes.empty() && c.texto == padrao) return c;
  Padrao& novo = cache[proximo++ % 8];
  novo = AnalisaPadrao(padrao);
  return novo;
}

std::string FormataDecimal(std::string_view padrao, Decimal d, const FormatSettings& fs) {
  const Padrao& p = PadraoAnalisado(padrao);
  Secao s = p.secoes[0];
  Arredonda(d, s.maxDecimais);
  bool zero = d.digitos.empty();
  bool usaSecaoNegativa = d.negativo && !zero && p.secoes.size() >= 2 && !p.vazias[1];
  if (usaSecaoNegativa) {
    s = p.secoes[1];
  } else if (zero && p.secoes.size() >= 3 && !p.vazias[2]) {
    s = p.secoes[2];
  }
  if (!s.temDigitos) return s.prefixo + s.sufixo;

  std::string dig = d.digitos;
  if (static_cast<int>(dig.size()) < d.escala + 1)
    dig.insert(0, static_cast<size_t>(d.escala + 1) - dig.size(), '0');
  std::string inteiro = dig.substr(0, dig.size() - static_cast<size_t>(d.escala));
  std::string fracao = dig.substr(dig.size() - static_cast<size_t>(d.escala));
  TiraZerosAEsquerda(inteiro);
  if (static_cast<int>(inteiro.size()) < s.minInteiros)
    inteiro.insert(0, static_cast<size_t>(s.minInteiros) - inteiro.size(), '0');
  while (static_cast<int>(fracao.size()) < s.maxDecimais) fracao += '0';
  while (static_cast<int>(fracao.size()) > s.minDecimais && fracao.back() == '0') fracao.pop_back();
  if (s.milhar && inteiro.size() > 3) {
    std::string com;
    size_t primeiro = inteiro.size() % 3;
    for (size_t i = 0; i < inteiro.size(); ++i) {
      if (i > 0 && (i - primeiro) % 3 == 0 && i >= primeiro) com += fs.separadorMilhar;
      com += inteiro[i];
    }
    inteiro = com;
  }
  std::string r;
  if (d.negativo && !zero && !usaSecaoNegativa) r += '-';
  r += s.prefixo;
  r += inteiro;
  if (!fracao.empty()) {
    r += fs.separadorDecimal;
    r += fracao;
  }
  r += s.sufixo;
  return r;
}

}  // namespace

std::string FormatFloat(std::string_view padrao, double v, const FormatSettings& fs) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  return FormataDecimal(padrao, DecimalDe(v), fs);
}

std::string FormatFixo(std::string_view padrao, int64_t contagem, int escala,
                       const FormatSettings& fs) {
  Decimal d;
  d.negativo = contagem < 0;
  uint64_t abs =
      contagem < 0 ? 0 - static_cast<uint64_t>(contagem) : static_cast<uint64_t>(contagem);
  d.digitos = abs == 0 ? std::string() : std::to_string(abs);
  d.escala = escala;
  if (d.digitos.empty()) d.negativo = false;
  return FormataDecimal(padrao, d, fs);
}

std::string FloatToStr(double v, const FormatSettings& fs) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0.0) return "0";
  // Digits and exponent of the 15-significant-digit form, without heap work: this runs for every
  // number of every file written.
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
  char dig[32];
  int nd = 0;
  const char* p = buf;
  for (; p < r.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') dig[nd++] = *p;
  if (nd > 15) {
    r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    nd = 0;
    for (p = buf; p < r.ptr && *p != 'e'; ++p)
      if (*p >= '0' && *p <= '9') dig[nd++] = *p;
  }
  int expo = 0;
  bool expNeg = false;
  for (++p; p < r.ptr; ++p) {
    if (*p == '-')
      expNeg = true;
    else if (*p >= '0' && *p <= '9')
      expo = expo * 10 + (*p - '0');
  }
  if (expNeg) expo = -expo;
  while (nd > 1 && dig[nd - 1] == '0') --nd;

  char out[64];
  int n = 0;
  if (v < 0) out[n++] = '-';
  if (expo >= 15 || expo < -5) {
    out[n++] = dig[0];
    if (nd > 1) {
      out[n++] = fs.separadorDecimal;
      for (int i = 1; i < nd; ++i) out[n++] = dig[i];
    }
    out[n++] = 'E';
    auto e = std::to_chars(out + n, out + sizeof out, expo);
    n = static_cast<int>(e.ptr - out);
  } else if (expo < 0) {
    out[n++] = '0';
    out[n++] = fs.separadorDecimal;
    for (int i = 0; i < -expo - 1; ++i) out[n++] = '0';
    for (int i = 0; i < nd; ++i) out[n++] = dig[i];
  } else {
    int nInt = expo + 1;
    for (int i = 0; i < nInt; ++i) out[n++] = i < nd ? dig[i] : '0';
    if (nd > nInt) {
      out[n++] = fs.separadorDecimal;
      for (int i = nInt; i < nd; ++i) out[n++] = dig[i];
    }
  }
  return std::string(out, static_cast<size_t>(n));
}

// The quick path of TryStrToFloat for a plain decimal of t[i, n): an optional sign, at most 15
// digits with at most one decimal separator, no exponent. The digits make an exact integer and the
// power of ten is exact, so their quotient is one correctly rounded division: the same double the
// general conversion gives. False, with nothing set, for any other text.
static bool DecimalCurto(std::string_view t, size_t i, size_t n, char separador, double& valor) {
  static constexpr double kPotencias[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  bool negativo = false;
  if (i < n && (t[i] == '+' || t[i] == '-')) negativo = t[i++] == '-';
  uint64_t m = 0;
  int digitos = 0, decimais = 0;
  bool separou = false;
  for (; i < n; ++i) {
    char c = t[i];
    if (c >= '0' && c <= '9') {
      if (++digitos > 15) return false;
      m = m * 10 + static_cast<uint64_t>(c - '0');
      if (separou) ++decimais;
    } else if (c == separador && !separou) {
      separou = true;
    } else {
      return false;
    }
  }
  if (digitos == 0) return false;
  double v = static_cast<double>(m) / kPotencias[decimais];
  valor = negativo ? -v : v;
  return true;
}

bool TryStrToFloat(std::string_view t, double& valor, const FormatSettings& fs) {
  size_t i = 0, n = t.size();
  while (i < n && t[i] == ' ') ++i;
  while (n > i && t[n - 1] == ' ') --n;
  if (DecimalCurto(t, i, n, fs.separadorDecimal, valor)) return true;
  std::string c;
  if (i < n && (t[i] == '+' || t[i] == '-')) {
    if (t[i] == '-') c += '-';
    ++i;
  }
  size_t digitos = 0;
  while (i < n && t[i] >= '0' && t[i] <= '9') c += t[i++], ++digitos;
  if (i < n && t[i] == fs.separadorDecimal) {
    c += '.';
    ++i;
    while (i < n && t[i] >= '0' && t[i] <= '9') c += t[i++], ++digitos;
  }
  if (digitos == 0) return false;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) c += t[i++];
    size_t expDig = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') c += t[i++], ++expDig;
    if (expDig == 0) return false;
  }
  if (i != n) return false;
  double v = 0;
  auto [p, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is not a representable value.
    bool negativoExp = c.find("e-") != std::string::npos;
    if (!negativoExp) return false;
    v = 0;
  } else if (ec != std::errc() || p != c.data() + c.size()) {
    return false;
  }
  valor = v;
  return true;
}

double StrToFloat(std::string_view texto, const FormatSettings& fs) {
  double v;
  if (!TryStrToFloat(texto, v, fs))
    throw EConvertError("'" + std::string(texto) + "' is not a valid floating point value");
  return v;
}

bool TryStrToInt(std::string_view t, int32_t& valor) {
  size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
  int base = 10;
  if (i < t.size() && t[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return false;
  uint64_t acc = 0;
  for (; i < t.size(); ++i) {
    char c = t[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    acc = acc * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (acc > 0xFFFFFFFFull) return false;
  }
  int64_t v;
  if (base == 16) {
    // Hexadecimal texts cover the whole 32-bit pattern.
    v = static_cast<int32_t>(static_cast<uint32_t>(acc));
    if (neg) v = -v;
  } else {
    v = neg ? -static_cast<int64_t>(acc) : static_cast<int64_t>(acc);
  }
  if (v < INT32_MIN || v > INT32_MAX) return false;
  valor = static_cast<int32_t>(v);
  return true;
}

int32_t StrToInt(std::string_view texto) {
  int32_t v;
  if (!TryStrToInt(texto, v))
    throw EConvertError("'" + std::string(texto) + "' is not a valid integer value");
  return v;
}

static std::string DoisDigitos(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

std::string FormataData(const DataHora& d, const FormatSettings& fs) {
  std::string ano = std::to_string(d.ano);
  if (ano.size() < 4) ano.insert(0, 4 - ano.size(), '0');
  return DoisDigitos(d.dia) + fs.separadorData + DoisDigitos(d.mes) + fs.separadorData + ano;
}

std::string FormataHora(const DataHora& d, const FormatSettings& fs) {
  return DoisDigitos(d.hora) + fs.separadorHora + DoisDigitos(d.minuto);
}

}  // namespace base
