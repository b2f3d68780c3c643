// proposta-cli listagem and exportar run as a user would: files by extension, exit codes, dates.
#include <gtest/gtest.h>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

namespace {

// Runs proposta-cli with a fixed SOURCE_DATE_EPOCH (14/11/2023).
teste::ResultadoCli RodaCli(const std::vector<std::string>& args) {
  return teste::ExecutaCli(args, "SOURCE_DATE_EPOCH=1700000000");
}

const std::string kExemplo = PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml";

}  // namespace

TEST(RelatorioCli, ListagemWritesEachFormatByExtension) {
  teste::PastaTemporaria pasta;
  auto r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.txt", "--licitante", "Jos\xC3\xA9",
                    "--cnpj", "12345678000195"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  std::string txt = teste::Le(pasta / "l.txt");
  EXPECT_EQ(txt.substr(0, 2), "\r\n");
  EXPECT_NE(txt.find("  P\xE1gina : 1"), std::string::npos);
  EXPECT_NE(txt.find("Em : 14/11/2023\r\n"), std::string::npos);
  EXPECT_NE(txt.find("\r\n  Licitante: Jos\xE9  CNPJ: 12.345.678/0001-95\r\n"), std::string::npos);
  EXPECT_NE(txt.find("\r\n  VEK - Solu\xE7\xE3o em Gest\xE3o Municipal - https://www.vek.com.br"),
            std::string::npos);

  r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.rdp"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  std::string rdp = teste::Le(pasta / "l.rdp");
  EXPECT_EQ(rdp.substr(0, 39), "<< RDprint 6.0 - Deltress Sistemas >>\r\n");
  size_t linhas = static_cast<size_t>(std::count(rdp.begin(), rdp.end(), '\n'));
  EXPECT_EQ(std::stoul(rdp.substr(rdp.find(">>\r\n", 40) + 4, 6)), linhas - 9);
  EXPECT_NE(rdp.find("\r\n0001002119016T000000Em : 14/11/2023\r\n"), std::string::npos);

  r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.prn", "--modelo", "hp"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  std::string prn = teste::Le(pasta / "l.prn");
  EXPECT_EQ(prn.substr(0, 12), "\x1B&l6D\x1B&l66P\x1B");
  EXPECT_EQ(prn.substr(prn.size() - 7),
            "\x1B&l0H\x1B"
            "E");
}

TEST(RelatorioCli, ExportarRewritesAReportFile) {
  teste::PastaTemporaria pasta;
  ASSERT_EQ(RodaCli({"listagem", kExemplo, "--saida", pasta / "l.rdp"}).codigo, 0);
  ASSERT_EQ(RodaCli({"listagem", kExemplo, "--saida", pasta / "l.txt"}).codigo, 0);
  auto r = RodaCli({"exportar", pasta / "l.rdp", "--saida", pasta / "e.txt"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_EQ(teste::Le(pasta / "e.txt"), teste::Le(pasta / "l.txt"));
  r = RodaCli({"exportar", pasta / "l.rdp", "--saida", pasta / "e.rdp"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_EQ(teste::Le(pasta / "e.rdp"), teste::Le(pasta / "l.rdp"));
}

TEST(RelatorioCli, BadInputsAreClearErrors) {
  teste::PastaTemporaria pasta;
  auto r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.pdf"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("Extens\xC3\xA3o de sa\xC3\xAD"
                         "da desconhecida"),
            std::string::npos);
  r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.prn", "--modelo", "laser"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_FALSE(std::filesystem::exists(pasta / "l.prn"));
  teste::Grava(pasta / "ruim.rdp", "isto nao e um relatorio\r\n");
  r = RodaCli({"exportar", pasta / "ruim.rdp", "--saida", pasta / "e.txt"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("Formato do arquivo \xC3\xA9 inv\xC3\xA1lido..."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(pasta / "e.txt"));
  r = RodaCli({"listagem", pasta / "nao-existe.xml", "--saida", pasta / "l.txt"});
  EXPECT_EQ(r.codigo, 2);
  r = RodaCli({"listagem", kExemplo, "--saida", pasta / "falta/l.rdp"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("Erro na abertura do arquivo..."), std::string::npos);
}
