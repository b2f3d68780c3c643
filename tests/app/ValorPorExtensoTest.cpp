// The total in words: a table of the amounts a proposal letter prints, and ICU's spell-out rules
// for Brazilian Portuguese as an independent oracle of the number part over a large sample.
#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/rbnf.h>

#include <random>

#include "app/ValorPorExtenso.h"
#include "platform/CodePage.h"

namespace {

// The words of an amount, in UTF-8 ("" outside the range).
std::string Extenso(int64_t centavos) {
  auto r = app::ValorPorExtenso(centavos);
  return r ? platform::cp1252ToUtf8(*r) : std::string();
}

TEST(ValorPorExtenso, AmountsOfTheTable) {
  const struct {
    int64_t centavos;
    const char* esperado;
  } casos[] = {
      {123456, "mil duzentos e trinta e quatro reais e cinquenta e seis centavos"},
      {47, "quarenta e sete centavos"},
      {100, "um real"},
      {100000000, "um milhão de reais"},
      {200000001, "dois milhões de reais e um centavo"},
      {60000, "seiscentos reais"},
      {10440, "cento e quatro reais e quarenta centavos"},
      {483000, "quatro mil oitocentos e trinta reais"},
      {120000000, "um milhão e duzentos mil reais"},
      {1, "um centavo"},
      {101, "um real e um centavo"},
      {10000, "cem reais"},
      {10100, "cento e um reais"},
      {100000, "mil reais"},
      {100100, "mil e um reais"},
      {100000000000, "um bilhão de reais"},
      {99999999999999,
       "novecentos e noventa e nove bilhões novecentos e noventa e nove milhões novecentos e "
       "noventa e nove mil novecentos e noventa e nove reais e noventa e nove centavos"},
      {1400, "quatorze reais"},
      {110000, "mil e cem reais"},
      {111000, "mil cento e dez reais"},
      {100000100, "um milhão e um reais"},
      {100100000, "um milhão e mil reais"},
      {300000000000, "três bilhões de reais"},
      {120000000000, "um bilhão e duzentos milhões de reais"},
      {100020000000, "um bilhão e duzentos mil reais"},
      {100000100000, "um bilhão e mil reais"},
      {0, "zero real"},
      {-1, ""},
      {100000000000000, ""},
  };
  for (const auto& c : casos) EXPECT_EQ(Extenso(c.centavos), c.esperado) << c.centavos;
}

TEST(ValorPorExtenso, WholeNumbersForDaysAndDates) {
  EXPECT_EQ(platform::cp1252ToUtf8(app::NumeroPorExtenso(60)), "sessenta");
  EXPECT_EQ(platform::cp1252ToUtf8(app::NumeroPorExtenso(2026)), "dois mil e vinte e seis");
  EXPECT_EQ(app::NumeroPorExtenso(-5), "");
}

// ICU's cardinal number in words, with the one spelling where Brazilian usage on cheques and
// proposals differs from its rules: "quatorze" for its "catorze".
class OraculoIcu {
 public:
  OraculoIcu() : fmt_(icu::URBNF_SPELLOUT, icu::Locale("pt", "BR"), status_) {}
  bool Pronto() const { return U_SUCCESS(status_); }
  std::string Numero(int64_t n) {
    icu::UnicodeString s;
    fmt_.format(n, s);
    s.findAndReplace("catorze", "quatorze");
    std::string r;
    return s.toUTF8String(r);
  }
  // The amount as reais and centavos around ICU's numbers.
  std::string Valor(int64_t centavos) {
    const int64_t reais = centavos / 100, cents = centavos % 100;
    std::string r;
    if (reais > 0) {
      r = Numero(reais);
      if (reais == 1)
        r += " real";
      else if (reais % 1000000 == 0)
        r += " de reais";
      else
        r += " reais";
    }
    if (cents > 0)
      r += (r.empty() ? "" : " e ") + Numero(cents) + (cents == 1 ? " centavo" : " centavos");
    return r;
  }

 private:
  UErrorCode status_ = U_ZERO_ERROR;
  icu::RuleBasedNumberFormat fmt_;
};

TEST(ValorPorExtenso, AgreesWithIcuOverALargeSample) {
  OraculoIcu icu;
  ASSERT_TRUE(icu.Pronto());
  // Every amount up to R$ 300,00 to the cent, then amounts spread over every order of magnitude
  // up to the largest.
  for (int64_t c = 1; c <= 30000; ++c) ASSERT_EQ(Extenso(c), icu.Valor(c)) << c;
  std::mt19937_64 gerador(20261209);
  std::uniform_int_distribution<int> digitos(3, 14);
  for (int i = 0; i < 25000; ++i) {
    int64_t limite = 1;
    for (int d = digitos(gerador); d > 0; --d) limite *= 10;
    const int64_t c = 1 + std::uniform_int_distribution<int64_t>(
                              0, std::min(limite, app::kMaiorValorPorExtenso) - 1)(gerador);
    // Round amounts (whole thousands, millions) are where the joins differ; make them common.
    const int64_t valores[] = {c, c - c % 100, c - c % 100000, c - c % 100000000};
    for (int64_t v : valores) {
      if (v <= 0) continue;
      ASSERT_EQ(Extenso(v), icu.Valor(v)) << v;
    }
  }
}

}  // namespace
