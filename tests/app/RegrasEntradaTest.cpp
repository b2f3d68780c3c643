// Entry rules without a window: brand characters, key filters, focus marking, CNPJ, company names.
#include <gtest/gtest.h>

#include "app/RegrasEntrada.h"

using namespace app;

TEST(RegrasEntrada, RemoveCaracteresDropsTheNineRefusedCharacters) {
  EXPECT_EQ(RemoveCaracteres("A/B\\C<D>E?F:G*H|I'J"), "ABCDEFGHIJ");
  EXPECT_EQ(RemoveCaracteres("Marca d'\xE1gua 3/4"), "Marca d\xE1gua 34");
  EXPECT_EQ(RemoveCaracteres("sem nada"), "sem nada");
}

TEST(RegrasEntrada, BrandAndPriceKeyFilters) {
  std::string aceitos;
  for (int c = 0; c < 256; ++c)
    if (MarcaAceitaCaractere(static_cast<char>(c))) aceitos += static_cast<char>(c);
  EXPECT_EQ(aceitos, std::string("\0\x08 ", 3) +
                         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  EXPECT_FALSE(MarcaAceitaCaractere('\xE7'));  // accented letters are refused

  std::string valor;
  for (int c = 0x20; c < 256; ++c)
    if (ValorAceitaCaractere(static_cast<char>(c))) valor += static_cast<char>(c);
  EXPECT_EQ(valor, "+,-0123456789Ee");
  EXPECT_TRUE(ValorAceitaCaractere('\x08'));
}

TEST(RegrasEntrada, MascaraCNPJ) {
  EXPECT_EQ(MascaraCNPJ("12345678000195"), "12.345.678/0001-95");
  EXPECT_EQ(MascaraCNPJ(""), "../-");
  EXPECT_EQ(MascaraCNPJ("1234567"), "12.345.67/-");
}

TEST(RegrasEntrada, FocusMarkingByClassName) {
  EXPECT_EQ(DBEditEnter("TDBEdit", false), AcaoFocoEntrada::Amarelo);
  EXPECT_EQ(DBEditEnter("TMaskEdit", true), AcaoFocoEntrada::ProximoControle);
  EXPECT_EQ(DBEditEnter("TComboBox", true), AcaoFocoEntrada::Amarelo);
  EXPECT_EQ(DBEditEnter("TButton", false), AcaoFocoEntrada::Nada);
  EXPECT_EQ(DBEditExit("TEdit", true), AcaoFocoSaida::Nada);
  EXPECT_EQ(DBEditExit("TEdit", false), AcaoFocoSaida::CorJanela);
  EXPECT_EQ(DBEditExit("TMemo", true), AcaoFocoSaida::CorJanela);
  EXPECT_EQ(DBEditExit("TLabel", false), AcaoFocoSaida::Nada);
}

TEST(RegrasEntrada, CompanyNamesThatWouldLeaveTheFolderAreRefused) {
  for (const char* ruim : {"../etc", "a/b", "a\\b", "C:", "x*", "y?", "\"q\"", "<a>", "a|b",
                           "tab\there", "\x7F", "", "   "})
    EXPECT_TRUE(RecusaNomeEmpresa(ruim).has_value()) << ruim;
  for (const char* bom : {" A", "ACME Ltda.", "Jos\xE9 & Filhos", "..", "A-B_C (1)"})
    EXPECT_FALSE(RecusaNomeEmpresa(bom).has_value()) << bom;
}
