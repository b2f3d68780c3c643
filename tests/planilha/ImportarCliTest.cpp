// proposta-cli planilha and importar as a supplier uses them: export, fill, see the review
// (nothing written), apply (the file rewritten as regravar writes it, refused rows left as they
// were), a supplier's own layout remembered, and a bad sheet refused with the process untouched.
#include <gtest/gtest.h>

#include <algorithm>

#include "planilha/Amostras.h"
#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

namespace {

// The review's line of item `ordem` (its first column), or "" when there is none.
std::string LinhaDoItem(const std::string& saida, const std::string& ordem) {
  const std::string inicio = std::string(6 - ordem.size(), ' ') + ordem + " ";
  for (size_t i = 0; i < saida.size();) {
    const size_t fim = std::min(saida.find('\n', i), saida.size());
    if (saida.compare(i, inicio.size(), inicio) == 0) return saida.substr(i, fim - i);
    i = fim + 1;
  }
  return {};
}

class ImportarCli : public ::testing::Test {
 protected:
  void SetUp() override {
    processo_ = pasta_ / "pregao.xml";
    teste::Grava(processo_, teste::ProcessoDe(teste::ItensAmostra()));
    ambiente_ = "XDG_CONFIG_HOME='" + usuario_.caminho() + "/config' XDG_DATA_HOME='" +
                usuario_.caminho() + "/dados'";
  }
  teste::ResultadoCli Cli(const std::vector<std::string>& args) {
    return teste::ExecutaCli(args, ambiente_);
  }
  teste::PastaTemporaria pasta_{"importar"}, usuario_{"usuario"};
  std::string processo_, ambiente_;
};

TEST_F(ImportarCli, ExportFillReviewApply) {
  const std::string csv = pasta_ / "itens.csv";
  auto r = Cli({"planilha", processo_, "--saida", csv});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("5 itens"), std::string::npos);
  std::string planilha = teste::Le(csv);
  // The supplier fills item 1 and writes an ambiguous price for item 4.
  planilha.replace(planilha.find(";100;1;;;"), 9, ";100;1;Bic;1,25;");
  planilha.replace(planilha.find(";3;1;;;"), 7, ";3;1;Rapid;1.234;");
  teste::Grava(csv, planilha);
  const std::string antes = teste::Le(processo_);

  r = Cli({"importar", processo_, "--planilha", csv});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_TRUE(LinhaDoItem(r.saida, "1").starts_with("     1 007 ")) << r.saida;
  EXPECT_NE(LinhaDoItem(r.saida, "1").find(" Nova "), std::string::npos) << r.saida;
  EXPECT_TRUE(LinhaDoItem(r.saida, "1").ends_with(" 3")) << r.saida;
  EXPECT_NE(LinhaDoItem(r.saida, "4").find(" Recusada "), std::string::npos) << r.saida;
  EXPECT_NE(LinhaDoItem(r.saida, "4").find("amb\xC3\xADguo"), std::string::npos) << r.saida;
  EXPECT_TRUE(LinhaDoItem(r.saida, "4").ends_with(" 6")) << r.saida;
  // The reason is cut in its column and given whole below, with what to do.
  EXPECT_NE(r.saida.find("Linha 6 (item 4): o pre\xC3\xA7o \"1.234\" \xC3\xA9 amb\xC3\xADguo"),
            std::string::npos)
      << r.saida;
  EXPECT_NE(r.saida.find("escreva-o com v\xC3\xADrgula"), std::string::npos) << r.saida;
  EXPECT_NE(r.saida.find("Total da proposta: R$ "), std::string::npos) << r.saida;
  EXPECT_NE(r.saida.find("1 nova(s), 0 alterada(s), 3 igual(is), 1 recusada(s)"), std::string::npos)
      << r.saida;
  EXPECT_EQ(teste::Le(processo_), antes);

  // Lot 2 would keep an unpriced item beside a priced one: the lot check refuses, nothing written.
  r = Cli({"importar", processo_, "--planilha", csv, "--aplicar"});
  EXPECT_EQ(r.codigo, 1) << r.saida;
  EXPECT_NE(r.saida.find("lote 2"), std::string::npos) << r.saida;
  EXPECT_EQ(teste::Le(processo_), antes);

  planilha.replace(planilha.find(";Rapid;1.234;"), 13, ";Rapid;12;");
  teste::Grava(csv, planilha);
  r = Cli({"importar", processo_, "--planilha", csv, "--aplicar"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  const std::string depois = teste::Le(processo_);
  EXPECT_NE(
      depois.find(" <marca>Bic</marca>\r\n <quantidade>100</quantidade>\r\n <valor>1,25</valor>"),
      std::string::npos);
  EXPECT_NE(
      depois.find(" <marca>Rapid</marca>\r\n <quantidade>3</quantidade>\r\n <valor>12</valor>"),
      std::string::npos);
}

TEST_F(ImportarCli, ASuppliersLayoutIsRememberedForTheNextSheet) {
  const std::string csv = pasta_ / "lista.csv";
  teste::Grava(csv, "Tabela;;\r\nCod;Marca;Pre\xC3\xA7o\r\n007;Bic;R$ 1,10\r\n");
  auto r = Cli({"importar", processo_, "--planilha", csv});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("--colunas"), std::string::npos) << r.saida;
  EXPECT_NE(r.saida.find("linha 2: A=Cod B=Marca"), std::string::npos) << r.saida;
  EXPECT_NE(r.saida.find("--colunas codigo=A,marca=B,valor=C --por codigo"), std::string::npos)
      << r.saida;

  r = Cli({"importar", processo_, "--planilha", csv, "--colunas", "codigo=A,marca=B,valor=C"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(LinhaDoItem(r.saida, "1").find(" Nova "), std::string::npos) << r.saida;

  teste::Grava(csv, "Tabela;;\r\nCod;Marca;Pre\xC3\xA7o\r\n0123;Faber;0,80\r\n");
  r = Cli({"importar", processo_, "--planilha", csv});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(LinhaDoItem(r.saida, "2").find(" Alterada "), std::string::npos) << r.saida;
  EXPECT_TRUE(LinhaDoItem(r.saida, "2").ends_with(" 3")) << r.saida;
}

TEST_F(ImportarCli, ABadSheetChangesNothing) {
  const std::string antes = teste::Le(processo_);
  const std::string xls = pasta_ / "antiga.xls";
  teste::Grava(xls, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
  auto r = Cli({"importar", processo_, "--planilha", xls, "--aplicar"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("antiga.xls"), std::string::npos) << r.saida;
  EXPECT_NE(r.saida.find(".xlsx"), std::string::npos) << r.saida;
  EXPECT_EQ(teste::Le(processo_), antes);
  r = Cli({"planilha", processo_, "--saida", pasta_ / "itens.pdf"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_EQ(teste::Nomes(pasta_.caminho()), (std::vector<std::string>{"antiga.xls", "pregao.xml"}));
}

}  // namespace
