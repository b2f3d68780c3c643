// Money: counts of ten-thousandths, products rounded to even, display rounded half away from zero.
#include <gtest/gtest.h>

#include "app/Moeda.h"
#include "base/Erros.h"

using namespace app;

TEST(Moeda, ProductsRoundToEvenCounts) {
  struct Caso {
    double preco, quantidade;
    Contagem esperado;
  } casos[] = {
      {0.0003, 0.5, 2},  // 1.5 -> 2
      {0.0001, 0.5, 0},  // 0.5 -> 0
      {0.0005, 0.5, 2},  // 2.5 -> 2
      {0.0007, 0.5, 4},  // 3.5 -> 4
      {21.9, 200, 43800000}, {0.1, 3, 3000}, {1234567.891, 1000000, 12345678910000000LL},
  };
  for (auto& c : casos)
    EXPECT_EQ(SomaProduto(ParaFixo(c.preco), c.quantidade, 0), c.esperado) << c.preco;
}

TEST(Moeda, ConversionOfPricesToCounts) {
  EXPECT_EQ(ParaFixo(0.005), 50);
  EXPECT_EQ(ParaFixo(12.5), 125000);
  // The double decides, not its decimal text: 0,00015 is stored just below 1.5 ten-thousandths.
  EXPECT_EQ(ParaFixo(0.00015), 1);
  EXPECT_EQ(ParaFixo(-0.00005), -1);  // stored just beyond -0.5
  EXPECT_EQ(ArredondaContagem(2.5L), 2);
  EXPECT_EQ(ArredondaContagem(-2.5L), -2);
  EXPECT_EQ(ArredondaContagem(3.5L), 4);
  EXPECT_EQ(ParaFixo(0.1 + 0.2), 3000);
  // The 64-bit limits: -2^63 and 2^63 - 1 have counts; 2^63 - 0.5 rounds to 2^63, which has none.
  EXPECT_EQ(ArredondaContagem(-9223372036854775808.0L), std::numeric_limits<Contagem>::min());
  EXPECT_EQ(ArredondaContagem(9223372036854775807.0L), std::numeric_limits<Contagem>::max());
  EXPECT_THROW(ArredondaContagem(9223372036854775807.5L), base::Exception);
  EXPECT_THROW(ParaFixo(1e300), base::Exception);
  EXPECT_THROW(ParaFixo(std::numeric_limits<double>::quiet_NaN()), base::Exception);
}

TEST(Moeda, RunningSumAndDisplay) {
  // Two items of 0,005 x 1: the total count is 100 and shows 0,01.
  Contagem total = 0;
  for (int i = 0; i < 2; ++i) total = SomaProduto(ParaFixo(0.005), 1, total);
  EXPECT_EQ(total, 100);
  EXPECT_EQ(FormataDinheiro(total), "0,01");
  EXPECT_EQ(FormataDinheiro(50), "0,01");  // 0,005 shows rounded away from zero
  EXPECT_EQ(FormataDinheiro(49), "0,00");
  EXPECT_EQ(FormataDinheiro(121290000), "12.129,00");
  EXPECT_EQ(FormataDinheiro(-12345), "-1,23");
}
