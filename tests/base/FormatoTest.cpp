// Number texts: conversions and patterns as the program's files and screens show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>

#include "base/Erros.h"
#include "base/Formato.h"
#include "support/Falhas.h"

using namespace base;

TEST(FloatToStr, ShortestGeneralFormWithDecimalComma) {
  struct Caso {
    double v;
    const char* texto;
  } casos[] = {
      {10, "10"},
      {12.5, "12,5"},
      {0, "0"},
      {-3.25, "-3,25"},
      {0.1, "0,1"},
      {1.0 / 3, "0,333333333333333"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1.5e-7, "1,5E-7"},
      {0.00001, "0,00001"},
      {2.675, "2,675"},
      {100000, "100000"},
      {0.0003, "0,0003"},
  };
  for (auto& c : casos) EXPECT_EQ(FloatToStr(c.v), c.texto) << c.v;
}

TEST(StrToFloat, AcceptsTheLocaleFormOnly) {
  EXPECT_DOUBLE_EQ(StrToFloat("12,5"), 12.5);
  EXPECT_DOUBLE_EQ(StrToFloat(" -0,25 "), -0.25);
  EXPECT_DOUBLE_EQ(StrToFloat("1E3"), 1000);
  EXPECT_DOUBLE_EQ(StrToFloat("3"), 3);
  EXPECT_DOUBLE_EQ(StrToFloat(",5"), 0.5);
  for (const char* ruim : {"12.5", "", "abc", "1.000,00", "1e", "--1", "1,2,3"})
    EXPECT_EQ(teste::ErroDe<EConvertError>([&] { StrToFloat(ruim); }),
              std::string("'") + ruim + "' is not a valid floating point value");
}

TEST(StrToFloat, EveryDecimalReadsAsTheCorrectlyRoundedDouble) {
  // Short decimals take a quick path; each must give the double the general conversion gives
  // (the standard library's, reading the same digits with a point), also at 15 and 16 digits, with
  // leading zeros, signs and a trailing separator.
  std::mt19937_64 rng(20261209);
  std::vector<std::string> textos = {"0,1",
                                     "-0",
                                     "+7,",
                                     "000000000000001,5",
                                     "999999999999999",
                                     "9999999999999999",
                                     "0,000000000000001",
                                     "-123,4500"};
  for (int i = 0; i < 20000; ++i) {
    std::string digitos = std::to_string(rng() % 10000000000000000ull);
    size_t virgula = rng() % (digitos.size() + 1);
    textos.push_back((rng() % 2 ? "-" : "") + digitos.substr(0, virgula) + "," +
                     digitos.substr(virgula));
  }
  for (const std::string& t : textos) {
    std::string c = t[0] == '+' ? t.substr(1) : t;
    std::replace(c.begin(), c.end(), ',', '.');
    double esperado = 0;
    ASSERT_EQ(std::from_chars(c.data(), c.data() + c.size(), esperado).ec, std::errc()) << t;
    double lido = StrToFloat(t);
    EXPECT_EQ(std::memcmp(&lido, &esperado, sizeof lido), 0) << t;  // -0 stays -0
  }
}

TEST(StrToInt, DecimalAndHexWithinThirtyTwoBits) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  for (const char* ruim : {"", "1,0", "2147483648", "12a", "x", " 1 "})
    EXPECT_EQ(teste::ErroDe<EConvertError>([&] { StrToInt(ruim); }),
              std::string("'") + ruim + "' is not a valid integer value");
}

TEST(FormatFloat, PatternsOfTheListingAndTheGrid) {
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.565), "1.234,57");
  EXPECT_EQ(FormatFloat("#,##0.00", 0.125), "0,13");
  EXPECT_EQ(FormatFloat("#,##0.00", -0.001), "0,00");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.0), "1.234.567,00");
  EXPECT_EQ(FormatFloat("0.0000", 10), "10,0000");
  EXPECT_EQ(FormatFloat("00000", 7), "00007");
  EXPECT_EQ(FormatFloat("00000", 123456), "123456");
  EXPECT_EQ(FormatFloat("R$ #,##0.00", 1500.5), "R$ 1.500,50");
  EXPECT_EQ(FormatFloat("R$ #,##0.00", -2), "-R$ 2,00");
  EXPECT_EQ(FormatFloat("#,##0", 1234), "1.234");
  EXPECT_EQ(FormatFloat("#,##0.0000", 999.99995), "1.000,0000");
}

TEST(FormatFixo, RoundsHalvesAwayFromZeroOnTheCount) {
  EXPECT_EQ(FormatFixo("#,##0.00", 50), "0,01");
  EXPECT_EQ(FormatFixo("#,##0.00", 49), "0,00");
  EXPECT_EQ(FormatFixo("#,##0.00", -50), "-0,01");
  EXPECT_EQ(FormatFixo("#,##0.00", 12345650), "1.234,57");
  EXPECT_EQ(FormatFixo("#,##0.0000", 12345678), "1.234,5678");
  EXPECT_EQ(FormatFixo("#,##0.00", INT64_MIN), "-922.337.203.685.477,58");
  EXPECT_EQ(FormatFixo("#,##0.00", 0), "0,00");
}

TEST(FormataData, ShortDateAndTime) {
  DataHora d{2026, 3, 7, 9, 5, 0};
  EXPECT_EQ(FormataData(d), "07/03/2026");
  EXPECT_EQ(FormataHora(d), "09:05");
}
