// CNPJ (numeric and alphanumeric) and CPF check digits, and the CPF mask.
#include <gtest/gtest.h>

#include "app/Documentos.h"
#include "app/RegrasEntrada.h"

namespace {

TEST(Documentos, CnpjCheckDigits) {
  const struct {
    const char* cnpj;
    bool valido;
  } casos[] = {
      {"12.ABC.345/01DE-35", true},  {"93.ZB0.VRY/V6KA-67", true},
      {"00.000.000/E08G-12", true},  {"11.222.333/0001-81", true},
      {"11222333000181", true},      {"12.abc.345/01de-35", true},  // typed lower case
      {"11.222.333/0001-80", false}, {"12.ABC.345/01DE-53", false},
      {"12.ABD.345/01DE-35", false}, {"00.000.000/0000-00", false},  // all the same
      {"11.222.333/0001-8", false},  {"11.222.333/0001-8A", false},  // letter as check digit
      {"11.222.333/000#-81", false}, {"", false},
  };
  for (const auto& c : casos) EXPECT_EQ(!app::RecusaCNPJ(c.cnpj), c.valido) << c.cnpj;
}

TEST(Documentos, CpfCheckDigits) {
  const struct {
    const char* cpf;
    bool valido;
  } casos[] = {
      {"529.982.247-25", true},  {"52998224725", true},
      {"111.444.777-35", true},  {"529.982.247-24", false},
      {"111.111.111-11", false}, {"529.982.247-2", false},
      {"529.98A.247-25", false}, {"", false},
  };
  for (const auto& c : casos) EXPECT_EQ(!app::RecusaCPF(c.cpf), c.valido) << c.cpf;
}

TEST(Documentos, MessagesSayWhatIsWrongAndShowWhatWasTyped) {
  EXPECT_NE(app::RecusaCNPJ("11.222.333/0001-80")->find("\"11.222.333/0001-80\""),
            std::string::npos);
  EXPECT_NE(app::RecusaCNPJ("11.222.333/0001-80")->find("verificadores"), std::string::npos);
  EXPECT_NE(app::RecusaCNPJ("1122")->find("14 caracteres"), std::string::npos);
  EXPECT_NE(app::RecusaCPF("123")->find("11 algarismos"), std::string::npos);
}

TEST(Documentos, MasksOfBothKinds) {
  EXPECT_EQ(app::MascaraCNPJ(app::NormalizaCNPJ("12abc34501de35")), "12.ABC.345/01DE-35");
  EXPECT_EQ(app::MascaraCNPJ("11222333000181"), "11.222.333/0001-81");
  EXPECT_EQ(app::MascaraCPF("52998224725"), "529.982.247-25");
  EXPECT_EQ(app::MascaraCPF(""), "..-");
}

}  // namespace
