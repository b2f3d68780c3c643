// proposta-cli run as a user would: outputs, exit codes, and files left as they should be.
#include <gtest/gtest.h>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

namespace {

teste::ResultadoCli Roda(const std::vector<std::string>& args) { return teste::ExecutaCli(args); }

std::string Exemplo() { return teste::ExemploLote1Completo(); }

}  // namespace

TEST(PropostaCli, TotalOfTheExample) {
  auto r = Roda({"total", PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml"});
  EXPECT_EQ(r.codigo, 0);
  EXPECT_EQ(r.saida, "Vr. Total da Prop.: R$ 12.129,00\n");
}

TEST(PropostaCli, GerarWritesTheProposalAndRefusesBadNames) {
  teste::PastaTemporaria pasta;
  std::string processo = pasta / "pregao.xml";
  teste::Grava(processo, Exemplo());
  auto r = Roda({"gerar", processo, "--empresa", "Jos\xC3\xA9 & Filhos"});
  EXPECT_EQ(r.codigo, 0) << r.saida;
  std::string proposta = pasta / "pregaoJos\xC3\xA9 & Filhos.xml";
  EXPECT_EQ(r.saida, "O arquivo foi gerado com Sucesso!\nem: " + proposta + "\n");
  std::string escrito = teste::Le(proposta);
  EXPECT_NE(escrito.find("<fornecedor>Jos\xE9 & Filhos</fornecedor>\r\n"), std::string::npos);

  auto ruim = Roda({"gerar", processo, "--empresa", "../fora"});
  EXPECT_EQ(ruim.codigo, 1);
  EXPECT_NE(ruim.saida.find("O nome da empresa n\xC3\xA3o pode conter"), std::string::npos);
  auto vazio = Roda({"gerar", processo, "--empresa", ""});
  EXPECT_EQ(vazio.codigo, 1);
  EXPECT_EQ(teste::Le(processo), Exemplo());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pasta.caminho()), {}), 2);

  // An existing proposal is kept unless --substituir says otherwise.
  teste::Grava(proposta, "antiga");
  auto mantida = Roda({"gerar", processo, "--empresa", "Jos\xC3\xA9 & Filhos"});
  EXPECT_EQ(mantida.codigo, 1);
  EXPECT_NE(mantida.saida.find("Ele foi mantido; nada foi gravado."), std::string::npos);
  EXPECT_EQ(teste::Le(proposta), "antiga");
  auto substituida = Roda({"gerar", processo, "--substituir", "--empresa", "Jos\xC3\xA9 & Filhos"});
  EXPECT_EQ(substituida.codigo, 0);
  EXPECT_EQ(teste::Le(proposta), escrito);
}

TEST(PropostaCli, VerificarAndRegravarRefuseAPartlyPricedLot) {
  auto item = [](const std::string& ordem, const std::string& valor) {
    return teste::Crlf({"<produto>", " <ordem>" + ordem + "</ordem>", " <codigo>C</codigo>",
                        " <nome>N</nome>", " <descricao>D</descricao>", " <marca></marca>",
                        " <quantidade>1</quantidade>", " <valor>" + valor + "</valor>",
                        " <apuracao>1</apuracao>", " <lote>1</lote>", "</produto>"});
  };
  std::string bytes =
      "<processo label=\"20240001\" descricao=\"d\" totalitens=\"2\">\r\n<produtos>\r\n" +
      item("1", "10") + item("2", "") + "</produtos>\r\n</processo>\r\n";
  teste::PastaTemporaria pasta;
  std::string processo = pasta / "p.xml";
  teste::Grava(processo, bytes);
  auto v = Roda({"verificar", processo});
  EXPECT_EQ(v.codigo, 1);
  EXPECT_EQ(v.saida,
            "Exite(m) item(ns) do lote 1 com valor zerado; preencha o valor para que o arquivo "
            "seja gerado.\n"
            "Caso n\xC3\xA3o queira que este lote participe, exclua todas as suas propostas.\n");
  auto r = Roda({"regravar", processo});
  EXPECT_EQ(r.codigo, 1);
  EXPECT_EQ(teste::Le(processo), bytes);
  EXPECT_EQ(Roda({"gerar", processo, "--empresa", "X"}).codigo, 1);
  EXPECT_FALSE(std::filesystem::exists(pasta / "pX.xml"));

  // A readable file is rewritten in place: the empty price comes back as 0.
  std::string semLote = bytes;
  for (size_t p; (p = semLote.find("<lote>1</lote>")) != std::string::npos;)
    semLote.replace(p, 14, "<lote></lote>");
  teste::Grava(processo, semLote);
  EXPECT_EQ(Roda({"regravar", processo}).codigo, 0);
  std::string esperado = semLote;
  esperado.replace(esperado.find("<valor></valor>"), 15, "<valor>0</valor>");
  EXPECT_EQ(teste::Le(processo), esperado);

  auto falta = Roda({"regravar", pasta / "nao-existe.xml"});
  EXPECT_EQ(falta.codigo, 2);
  EXPECT_EQ(falta.saida, "File not found\n");
}

TEST(PropostaCli, UsageErrorsAndHelp) {
  EXPECT_EQ(Roda({}).codigo, 2);
  EXPECT_EQ(Roda({"--help"}).codigo, 0);
  EXPECT_EQ(Roda({"desconhecido"}).codigo, 2);
  EXPECT_EQ(Roda({"gerar", "x.xml"}).codigo, 2);
  auto h = Roda({"total", "--help"});
  EXPECT_EQ(h.codigo, 0);
  EXPECT_NE(h.saida.find("total ARQUIVO.xml"), std::string::npos);
}
