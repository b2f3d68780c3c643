// Reading report files and the writers' results: a read error is an error that leaves the page
// store alone, short lines are refused without reading past them, and every writer says
// whether its file was written (a cancelled or failed one leaves the old file).
#include <cerrno>
#include <filesystem>
#include <memory>

#include "platform/AtomicFile.h"
#include "platform/ReadFile.h"
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

const std::string kControle =
    "<< RDprint 6.0 - Deltress Sistemas >>\r\n<< ESTE  ARQUIVO N\xC3O DEVE SER EDITADO >>\r\n";

class LeituraRdp : public RelatorioTeste {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rd->Abrir());
    rd->ImpF(1, 1, "fica", normal, clBlack);
  }
  // True when the only box is the open error naming `arquivo`.
  ::testing::AssertionResult SoErroDeAbertura(const std::string& arquivo) {
    const std::string esperado = "Erro na Abertura do arquivo...\r\rArquivo: " + arquivo;
    if (plataforma.caixas.size() != 1) return ::testing::AssertionFailure() << "boxes";
    if (plataforma.caixas[0].texto != esperado)
      return ::testing::AssertionFailure() << plataforma.caixas[0].texto;
    return ::testing::AssertionSuccess();
  }
};

}  // namespace

TEST_F(LeituraRdp, AReadErrorIsAnErrorNotTheEndOfTheFile) {
  std::string rdp = kControle + "000050\r\nT\r\n000066\r\n000080\r\n6\r\nF10\r\n\r\n";
  for (int i = 1; i <= 50; ++i) rdp += "0002" + std::to_string(100 + i) + "001016T000000linha\r\n";
  const std::string arquivo = Caminho("r.rdp");
  EscreveArquivo(arquivo, rdp);
  const auto antes = Loja();
  platform::failReadForTesting(rdp.size() / 2, EIO);
  EXPECT_FALSE(rd->LeRDP(arquivo));
  platform::failReadForTesting(0, 0);
  EXPECT_EQ(Loja(), antes);
  EXPECT_TRUE(SoErroDeAbertura(arquivo));
  EXPECT_EQ(rd->TitulodoRelatorio, "Gerado por RDprint");  // no control line was taken
  plataforma.caixas.clear();
  EXPECT_TRUE(rd->LeRDP(arquivo));  // the same file reads whole without the failure
  EXPECT_EQ(Loja().size(), 50u);
}

TEST_F(LeituraRdp, LinesOf14To19CharactersAreRefusedWithoutReadingPastThem) {
  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  for (size_t n = 14; n <= 19; ++n) {
    for (char letra : {'T', 'G'}) {
      std::string linha = "0001001001016" + std::string(1, letra) + std::string(n - 14, '0');
      const std::string bytes =
          kControle + "000001\r\nT\r\n000066\r\n000080\r\n6\r\nF10\r\n\r\n" + linha;
      // The line ends the buffer exactly, so a read past it leaves the allocation.
      auto exato = std::make_unique<char[]>(bytes.size());
      std::copy(bytes.begin(), bytes.end(), exato.get());
      erros.clear();
      plataforma.caixas.clear();
      EXPECT_TRUE(rd->LeRDPDeMemoria(std::string_view(exato.get(), bytes.size()), "m"));
      EXPECT_TRUE(Loja().empty()) << linha;
      if (letra == 'G') {
        EXPECT_TRUE(erros.empty()) << linha;  // a picture line: skipped and not counted
        EXPECT_TRUE(plataforma.caixas.empty()) << linha;
      } else {
        EXPECT_EQ(erros, std::vector<std::string>{"Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " +
                                                  linha});
      }
    }
  }
}

TEST_F(LeituraRdp, TheDefaultPitchCodeOfEveryPitchReadsBack) {
  const struct {
    TSize tamanho;
    const char* codigo;
  } casos[] = {{TSize::S05cpp, "F05"}, {TSize::S10cpp, "F10"}, {TSize::S12cpp, "F12"},
               {TSize::S15cpp, "F15"}, {TSize::S17cpp, "F17"}, {TSize::S20cpp, "F20"}};
  const std::string arquivo = Caminho("p.rdp");
  for (const auto& c : casos) {
    rd->FonteTamanhoPadrao = c.tamanho;
    ASSERT_TRUE(rd->GravaRDP(arquivo));
    EXPECT_NE(LeArquivo(arquivo).find(std::string("\r\n6\r\n") + c.codigo + "\r\n\r\n"),
              std::string::npos)
        << c.codigo;
    rd->FonteTamanhoPadrao = TSize::S10cpp;
    ASSERT_TRUE(rd->LeRDP(arquivo));
    EXPECT_EQ(rd->FonteTamanhoPadrao, c.tamanho) << c.codigo;
  }
}

TEST_F(LeituraRdp, WritersSayWhetherTheFileWasWrittenAndOtherwiseKeepTheOldOne) {
  for (int l = 2; l <= 10; ++l) rd->ImpF(l, 1, "x", normal, clBlack);
  rd->Impressora = TModelo::Epson;
  const struct {
    const char* nome;
    std::function<bool(const std::string&)> grava;
  } escritores[] = {
      {"r.rdp", [&](const std::string& a) { return rd->GravaRDP(a); }},
      {"r.txt", [&](const std::string& a) { return rd->GravaTXT(a); }},
      {"r.prn", [&](const std::string& a) { return rd->GravaPRN(a); }},
      {"r.html", [&](const std::string& a) { return rd->GravaHTML(a); }},
  };
  for (const auto& e : escritores) {
    const std::string arquivo = Caminho(e.nome);
    EscreveArquivo(arquivo, "anterior");
    janelas.cancelaNoPasso = 1;  // at the first entry (the first page for the printer file)
    const bool cancelado = e.grava(arquivo);
    janelas.cancelaNoPasso = 0;
    if (std::string(e.nome) == "r.html") {
      EXPECT_TRUE(cancelado);  // the shorter document is written
      EXPECT_NE(LeArquivo(arquivo), "anterior");
    } else {
      EXPECT_FALSE(cancelado) << e.nome;
      EXPECT_EQ(LeArquivo(arquivo), "anterior") << e.nome;
    }
    EscreveArquivo(arquivo, "anterior");
    platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);
    const bool falhou = e.grava(arquivo);
    platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 0, 0);
    EXPECT_FALSE(falhou) << e.nome;
    EXPECT_EQ(LeArquivo(arquivo), "anterior") << e.nome;
    EXPECT_TRUE(e.grava(arquivo)) << e.nome;
    EXPECT_NE(LeArquivo(arquivo), "anterior") << e.nome;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Caminho("")), {}), 4);
}
