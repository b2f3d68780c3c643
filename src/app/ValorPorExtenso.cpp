// Spelling out: groups of three digits joined by the scale words, with "e" before a last part that
// is below a hundred or a round number of hundreds ("mil e cem", "mil cento e dez").
#include "app/ValorPorExtenso.h"

namespace app {

namespace {

const char* const kUnidades[] = {"zero",   "um",        "dois",      "tr\xEAs", "quatro",
                                 "cinco",  "seis",      "sete",      "oito",    "nove",
                                 "dez",    "onze",      "doze",      "treze",   "quatorze",
                                 "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
const char* const kDezenas[] = {"",          "",         "vinte",   "trinta",  "quarenta",
                                "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
const char* const kCentenas[] = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};

// The scales above the thousands: value, singular and plural.
struct Escala {
  int64_t valor;
  const char* singular;
  const char* plural;
};
const Escala kEscalas[] = {
    {1'000'000'000, "bilh\xE3o",
     "bilh\xF5"
     "es"},
    {1'000'000, "milh\xE3o",
     "milh\xF5"
     "es"},
};

// 1 to 999.
std::string AteMil(int n) {
  if (n < 20) return kUnidades[n];
  if (n < 100) {
    std::string r = kDezenas[n / 10];
    return n % 10 ? r + " e " + kUnidades[n % 10] : r;
  }
  if (n == 100) return "cem";
  std::string r = kCentenas[n / 100];
  return n % 100 ? r + " e " + AteMil(n % 100) : r;
}

// The join before the part that follows a scale word.
std::string Resto(int64_t resto);

// 1 to 999.999.999.999.
std::string Extenso(int64_t n) {
  for (const Escala& e : kEscalas) {
    if (n < e.valor) continue;
    const int64_t cabeca = n / e.valor;
    return Extenso(cabeca) + " " + (cabeca == 1 ? e.singular : e.plural) + Resto(n % e.valor);
  }
  if (n >= 1000) {
    const int64_t cabeca = n / 1000;
    return (cabeca == 1 ? std::string("mil") : Extenso(cabeca) + " mil") + Resto(n % 1000);
  }
  return AteMil(static_cast<int>(n));
}

std::string Resto(int64_t resto) {
  if (resto == 0) return {};
  return (resto < 100 || resto % 100 == 0 ? " e " : " ") + Extenso(resto);
}

}  // namespace

// A whole number in words.
std::string NumeroPorExtenso(int64_t n) {
  if (n < 0 || n > kMaiorValorPorExtenso / 100) return {};
  return n == 0 ? "zero" : Extenso(n);
}

// Reais and centavos: "de reais" after a whole number of millions or billions.
std::optional<std::string> ValorPorExtenso(int64_t centavos) {
  if (centavos < 0 || centavos > kMaiorValorPorExtenso) return std::nullopt;
  const int64_t reais = centavos / 100;
  const int64_t cents = centavos % 100;
  std::string r;
  if (reais > 0 || cents == 0) {
    r = NumeroPorExtenso(reais);
    if (reais <= 1)
      r += " real";
    else
      r += reais >= 1'000'000 && reais % 1'000'000 == 0 ? " de reais" : " reais";
  }
  if (cents > 0) {
    if (!r.empty()) r += " e ";
    r += NumeroPorExtenso(cents) + (cents == 1 ? " centavo" : " centavos");
  }
  return r;
}

}  // namespace app
