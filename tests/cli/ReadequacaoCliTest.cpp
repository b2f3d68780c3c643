// proposta-cli readequar run as a user would: the review printed and nothing written, the prices
// applied and the file rewritten with --aplicar (its total then is the bid), refusals and usage.
#include <gtest/gtest.h>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

namespace {

// Lot 1: 3 x 259,25 and 100 x 32,14; lot 2: 1 x 351,69 (total 4.343,44).
std::string Processo() {
  auto item = [](const char* ordem, const char* q, const char* valor, const char* lote) {
    return teste::Crlf({"<produto>", std::string(" <ordem>") + ordem + "</ordem>",
                        " <codigo>C</codigo>", " <nome>N</nome>", " <descricao>D</descricao>",
                        " <marca></marca>", std::string(" <quantidade>") + q + "</quantidade>",
                        std::string(" <valor>") + valor + "</valor>", " <apuracao>1</apuracao>",
                        std::string(" <lote>") + lote + "</lote>", "</produto>"});
  };
  return "<processo label=\"20240020\" descricao=\"d\" totalitens=\"3\">\r\n<produtos>\r\n" +
         item("1", "3", "259,25", "1") + item("2", "100", "32,14", "1") +
         item("3", "1", "351,69", "2") + "</produtos>\r\n</processo>\r\n";
}

class ReadequarCli : public ::testing::Test {
 protected:
  void SetUp() override { teste::Grava(processo, Processo()); }
  teste::ResultadoCli Roda(std::vector<std::string> args) {
    args.insert(args.begin(), {"readequar", processo});
    return teste::ExecutaCli(args, "XDG_DATA_HOME='" + pasta / "dados" + "'");
  }
  teste::PastaTemporaria pasta{"readequar"};
  std::string processo = pasta / "p.xml";
};

TEST_F(ReadequarCli, ReviewOnlyThenAppliedToTheBid) {
  auto r = Roda({"--total", "--lance", "3.605,06"});
  EXPECT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("Total da proposta: R$ 4.343,44 -> R$ 3.605,06\n"), std::string::npos)
      << r.saida;
  EXPECT_EQ(teste::Le(processo), Processo());

  auto a = Roda({"--total", "--lance", "3605,06", "--aplicar"});
  EXPECT_EQ(a.codigo, 0) << a.saida;
  EXPECT_NE(teste::Le(processo), Processo());
  auto total = teste::ExecutaCli({"total", processo});
  EXPECT_EQ(total.saida, "Vr. Total da Prop.: R$ 3.605,06\n");
}

// The example adjusted with four decimals reaches the bid too, and the file takes them.
TEST_F(ReadequarCli, FourDecimalsReachTheBid) {
  auto a = Roda({"--total", "--lance", "3.605,06", "--casas", "4", "--aplicar"});
  EXPECT_EQ(a.codigo, 0) << a.saida;
  EXPECT_NE(a.saida.find("Total da proposta: R$ 4.343,44 -> R$ 3.605,06\n"), std::string::npos)
      << a.saida;
  EXPECT_EQ(teste::ExecutaCli({"total", processo}).saida, "Vr. Total da Prop.: R$ 3.605,06\n");
}

TEST_F(ReadequarCli, RefusalsAndUsage) {
  const struct {
    std::vector<std::string> args;
    int codigo;
    const char* trecho;
  } casos[] = {
      {{"--lote", "2", "--lance", "400"}, 1, "n\xC3\xA3o \xC3\xA9 menor que o total atual"},
      {{"--lote", "9", "--lance", "400"}, 1, "O lote 9 n\xC3\xA3o existe"},
      {{"--lote", "1", "--lance", "1,02"}, 1, "menor que o m\xC3\xADnimo poss\xC3\xADvel (R$ 1,03"},
      {{"--lote", "1", "--total", "--lance", "400"}, 2, "uso: proposta-cli readequar"},
      {{"--total"}, 2, "uso: proposta-cli readequar"},
      {{"--total", "--lance", "400", "--casas", "3"}, 2, "Casas decimais inv\xC3\xA1lidas: 3"},
      {{"--total", "--lance", "4OO"}, 2, "Lance inv\xC3\xA1lido: 4OO"},
  };
  for (const auto& c : casos) {
    auto r = Roda(c.args);
    EXPECT_EQ(r.codigo, c.codigo) << r.saida;
    EXPECT_NE(r.saida.find(c.trecho), std::string::npos) << r.saida;
    EXPECT_EQ(teste::Le(processo), Processo());
  }
}

}  // namespace
