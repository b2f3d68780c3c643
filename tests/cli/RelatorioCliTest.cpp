// proposta-cli listagem and exportar run as a user would: files by extension, exit codes, dates,
// failures that leave the old output, and an exported page opened in a real browser.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

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

  r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.HTML"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  std::string html = teste::Le(pasta / "l.HTML");
  EXPECT_EQ(html.rfind("<!DOCTYPE HTML PUBLIC", 0), 0u);
  EXPECT_NE(html.find("<title>" + pasta / "l.HTML" + "</title>"), std::string::npos);
  EXPECT_NE(html.find(".pagina {width:1306px;Height:1056px;left:38px;top:38px;"),
            std::string::npos);  // 136 columns at 10 cpi, margins of 10 mm
  EXPECT_NE(html.find("<div style=\"top:16px;left:1133px;\">Em : 14/11/2023</div>"),
            std::string::npos);

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
  // The report file's component keeps the default margins of 5 mm.
  r = RodaCli({"exportar", pasta / "l.rdp", "--saida", pasta / "e.html"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(
      teste::Le(pasta / "e.html").find(".pagina {width:1306px;Height:1056px;left:19px;top:19px;"),
      std::string::npos);
}

TEST(RelatorioCli, WhatIsNotAReadableReportFileChangesNothing) {
  teste::PastaTemporaria pasta;
  std::filesystem::create_directory(pasta / "pasta.rdp");
  ASSERT_EQ(::mkfifo((pasta / "fifo.rdp").c_str(), 0600), 0);
  teste::Grava(pasta / "grande.rdp", "<< RDprint 6.0 - Deltress Sistemas >>\r\n");
  std::filesystem::resize_file(pasta / "grande.rdp", (1ull << 30) + 1);
  for (const std::string& relatorio :
       {pasta / "pasta.rdp", pasta / "fifo.rdp", std::string("/dev/zero"), pasta / "grande.rdp",
        pasta / "falta.rdp"}) {
    teste::Grava(pasta / "e.txt", "antigo");
    // A reader that blocked on the FIFO would end by the timeout with another code.
    auto r = teste::ExecutaCli({"exportar", relatorio, "--saida", pasta / "e.txt"}, "timeout 30");
    EXPECT_EQ(r.codigo, 2) << relatorio << r.saida;
    // What is no report file at all is also told why.
    const std::string motivo = relatorio == pasta / "falta.rdp" ? "\n" : "\nMotivo: ";
    EXPECT_NE(r.saida.find("Erro na Abertura do arquivo...\n\nArquivo: " + relatorio + motivo),
              std::string::npos)
        << r.saida;
    EXPECT_EQ(teste::Le(pasta / "e.txt"), "antigo") << relatorio;
  }
}

TEST(RelatorioCli, AnOutputThatCannotBeWrittenExitsWithTwo) {
  teste::PastaTemporaria pasta;
  ASSERT_EQ(::symlink("/dev/full", (pasta / "cheio.prn").c_str()), 0);
  const struct {
    std::string saida, mensagem;
  } casos[] = {
      {pasta / "cheio.prn", "Erro #03 - I/O 28 " + pasta / "cheio.prn"},  // ENOSPC
      {pasta / "falta/l.txt", "Erro na Abertura do arquivo..."},
      {pasta / "falta/l.html", pasta / "falta/l.html"},
  };
  for (const auto& c : casos) {
    auto r = RodaCli({"listagem", kExemplo, "--saida", c.saida});
    EXPECT_EQ(r.codigo, 2) << c.saida << r.saida;
    EXPECT_NE(r.saida.find(c.mensagem), std::string::npos) << r.saida;
  }
}

// Percent-encodes a path for a file:// address.
std::string EnderecoArquivo(const std::string& caminho) {
  std::string r = "file://";
  for (unsigned char c : caminho) {
    if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
      r += static_cast<char>(c);
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      r += buf;
    }
  }
  return r;
}

TEST(RelatorioCli, HostileTextsAndNamesShowAsTextInABrowser) {
  if (::access("/usr/bin/chromium", X_OK) != 0) GTEST_SKIP() << "chromium is not installed";
  teste::PastaTemporaria pasta;
  const std::string rdp =
      "<< RDprint 6.0 - Deltress Sistemas >>\r\n<< ESTE  ARQUIVO N\xC3O DEVE SER EDITADO >>\r\n"
      "000002\r\nT\r\n000066\r\n000080\r\n6\r\nF10\r\n\r\n"
      "0001001001016T000000<script>document.title='X'</script>\r\n"
      "0001002001016T000000\"aspas\" & 'ap\xF3strofo' <b>n</b>\r\n";
  teste::Grava(pasta / "h.rdp", rdp);
  const std::string saida = pasta / "a<b>&\"c\".html";
  auto r = RodaCli({"exportar", pasta / "h.rdp", "--saida", saida});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  teste::PastaTemporaria perfil("chromium");
  auto dom = teste::ExecutaComando(
      "timeout 60 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic "
      "--no-first-run --disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir='" +
      perfil.caminho() + "' --dump-dom '" + EnderecoArquivo(saida) + "' 2>/dev/null");
  ASSERT_EQ(dom.codigo, 0);
  const std::string& d = dom.saida;  // the browser's DOM, in UTF-8
  EXPECT_EQ(d.find("<script"), std::string::npos) << d;
  EXPECT_NE(d.find(">&lt;script&gt;document.title='X'&lt;/script&gt;</div>"), std::string::npos);
  EXPECT_NE(d.find(">\"aspas\" &amp; 'ap\xC3\xB3strofo' &lt;b&gt;n&lt;/b&gt;</div>"),
            std::string::npos);
  std::string titulo = pasta / "a&lt;b&gt;&amp;\"c\".html";
  EXPECT_NE(d.find("<title>" + titulo + "</title>"), std::string::npos) << d.substr(0, 300);
}

TEST(RelatorioCli, BadInputsAreClearErrors) {
  teste::PastaTemporaria pasta;
  auto r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.doc"});
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

// The models --help lists for .prn are the ones --modelo takes, and an unknown one is answered
// with the same list.
TEST(RelatorioCli, EveryModelTheHelpListsIsTakenByModelo) {
  teste::PastaTemporaria pasta;
  const std::string ajuda = RodaCli({"listagem", "--help"}).saida;
  const size_t abre = ajuda.find("do modelo M\n    (");
  ASSERT_NE(abre, std::string::npos) << ajuda;
  const size_t inicio = ajuda.find('(', abre) + 1;
  const std::string lista = ajuda.substr(inicio, ajuda.find(';', inicio) - inicio);
  std::vector<std::string> chaves;
  for (size_t i = 0, fim; i < lista.size(); i = fim + 1) {
    fim = std::min(lista.find_first_of(", ", i), lista.size());
    const std::string chave = lista.substr(i, fim - i);
    if (!chave.empty() && chave != "ou") chaves.push_back(chave);
  }
  EXPECT_GE(chaves.size(), 6u) << lista;
  std::set<std::string> saidas;
  for (const std::string& chave : chaves) {
    const std::string prn = pasta / (chave + ".prn");
    auto r = RodaCli({"listagem", kExemplo, "--saida", prn, "--modelo", chave});
    EXPECT_EQ(r.codigo, 0) << chave << ": " << r.saida;
    saidas.insert(teste::Le(prn));
  }
  EXPECT_EQ(saidas.size(), chaves.size());
  auto r = RodaCli({"listagem", kExemplo, "--saida", pasta / "l.prn", "--modelo", "laser"});
  EXPECT_NE(r.saida.find("Modelo desconhecido: laser (" + lista + ")."), std::string::npos)
      << r.saida;
}
