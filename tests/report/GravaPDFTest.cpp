// The PDF export of the page store: geometry, every letter's drawing, colours, pages, pictures,
// progress and cancel, names and failures, and the verdict of real PDF tools on a listing.
#include <unistd.h>

#include "report/RelatorioTeste.h"
#include "support/Arquivos.h"
#include "support/PDF.h"

using namespace report;

namespace {

// The scripted platform (it records the application's error box in `erros`).
using PlataformaPDF = teste::PlataformaRoteiro;

using teste::Comando;

// Lines joined with CR LF, each ended.
std::string L(std::initializer_list<std::string> linhas) { return teste::Crlf(linhas); }

// A report of 136 columns, 66 lines at 6 lines per inch and 10 cpi with margins of 10 mm: pages of
// 1035 x 848 points, cells of 7.2 x 12 points from (28, 28).
class GravaPDF : public teste::RelatorioTeste {
 protected:
  GravaPDF() : guarda_(plataformaPDF) {
    rd->TamanhoQteColunas = 136;
    rd->Margens = {10, 10, 10, 10};
    rd->MostrarProgresso = false;
    EXPECT_TRUE(rd->Abrir());
  }
  void Poe(const std::vector<std::string>& comandos) {
    for (const auto& c : comandos) EstadoRelatorio().paginas->Insere(c);
  }
  // Exports into a file, checks its structure and returns every page's operators.
  std::vector<std::string> Exporta() {
    EXPECT_TRUE(rd->GravaPDF(arquivo)) << teste::Le(arquivo);
    const std::string pdf = teste::Le(arquivo);
    teste::VerificaEstrutura(pdf);
    teste::ValidaPDF(arquivo);
    return teste::Conteudos(pdf);
  }

  PlataformaPDF plataformaPDF;
  const std::string arquivo = Caminho("r.pdf");

 private:
  platform::ScopedPlatform guarda_;
};

TEST_F(GravaPDF, ListingPagesAreValidWithTheirGeometryTextAndAccents) {
  rd->TitulodoRelatorio = "Rela\xE7\xE3o (teste)";
  for (int pagina = 1; pagina <= 3; ++pagina) {
    if (pagina > 1) rd->NovaPagina();
    rd->ImpF(1, 1, "Pag. " + std::to_string(pagina) + " Cota\xE7\xE3o de Pre\xE7os", normal,
             clBlack);
    for (int l = 3; l <= 63; ++l)
      rd->ImpF(l, 5,
               "Item " + std::to_string(l) +
                   " A\xE7\xFA"
                   "car cristal",
               normal, clBlack);
    rd->ImpF(66, 100, "Fim", normal, clBlack);
  }
  const std::vector<std::string> c = Exporta();
  ASSERT_EQ(c.size(), 3u);
  const std::string inicio = L({"0.75  w", "0 0 0 RG", "0 0 0 rg", "BT", "120 Tz", "/F5 10 Tf",
                                "28 811 Td", "(Pag. 1 Cota\xE7\xE3o de Pre\xE7os) Tj"});
  EXPECT_EQ(c[0].substr(0, inicio.size()), inicio);
  ASSERT_EQ(janelas.progressos.size(), 1u) << "shown even without MostrarProgresso";
  EXPECT_EQ(janelas.progressos[0].caption, "Gerando PDF...");
  EXPECT_EQ(janelas.progressos[0].rotulo, arquivo);
  EXPECT_EQ(janelas.progressos[0].maximo, 3 * 63);
  EXPECT_EQ(janelas.progressosFechados, 1);

  const teste::Execucao info = teste::Executa("pdfinfo '" + arquivo + "'");
  EXPECT_NE(info.saida.find("Pages:           3\n"), std::string::npos) << info.saida;
  EXPECT_NE(info.saida.find("Page size:       1035 x 848 pts"), std::string::npos);
  EXPECT_NE(info.saida.find("Title:           Rela\xC3\xA7\xC3\xA3o (teste)\n"), std::string::npos);
  EXPECT_NE(info.saida.find("Producer:        RDPrint PDF Export\n"), std::string::npos);
  EXPECT_NE(info.saida.find("Subject:         Relat\xC3\xB3rio Criado com RDprint 6.1c\n"),
            std::string::npos);
  const teste::Execucao texto = teste::Executa("pdftotext -layout '" + arquivo + "' -");
  EXPECT_NE(texto.saida.find("Pag. 3 Cota\xC3\xA7\xC3\xA3o de Pre\xC3\xA7os"), std::string::npos)
      << texto.saida;
  EXPECT_NE(texto.saida.find("63 A\xC3\xA7\xC3\xBA"
                             "car cristal"),
            std::string::npos)
      << texto.saida;
}

TEST_F(GravaPDF, TextTakesItsCourierFaceAndTheScaleOfItsPitch) {
  const struct {
    int atributo;
    char letra;
    std::string linhas;
  } casos[] = {
      {16, 'T', L({"120 Tz", "/F5 10 Tf"})},   {32, 'T', L({"100 Tz", "/F5 10 Tf"})},
      {64, 'T', L({"70.59 Tz", "/F5 10 Tf"})}, {128, 'D', L({"60 Tz", "/F5 10 Tf"})},
      {256, 'X', L({"80 Tz", "/F5 10 Tf"})},   {24, 'T', L({"240 Tz", "/F5 10 Tf"})},
      {18, 'T', L({"120 Tz", "/F6 10 Tf"})},   {17, 'T', L({"120 Tz", "/F7 10 Tf"})},
      {19, 'T', L({"120 Tz", "/F8 10 Tf"})},
  };
  for (const auto& caso : casos) {
    EstadoRelatorio().paginas->Limpa();
    Poe({Comando(1, 1, 1, caso.atributo, caso.letra, "abc")});
    EXPECT_EQ(Exporta(), std::vector<std::string>{L({"0.75  w", "0 0 0 RG", "0 0 0 rg", "BT"}) +
                                                  caso.linhas + L({"28 811 Td", "(abc) Tj", "ET"})})
        << caso.atributo;
  }
  // Underlined: a stroke 1.2 points under the baseline, as long as the text.
  EstadoRelatorio().paginas->Limpa();
  Poe({Comando(1, 1, 1, 20, 'T', "abc")});
  EXPECT_NE(Exporta()[0].find(L({"ET", "28 809.8 m", "49.6 809.8 l", "S"})), std::string::npos);
}

TEST_F(GravaPDF, LinesFramesAndSemigraphicsAreStrokes) {
  // From line 2, column 1: cell left 28, centre (31.6, 46), that is 802 from the bottom.
  const struct {
    char letra;
    std::string texto, linhas;
  } casos[] = {
      {'H', "0000200011 0", L({"31.6 802 m", "103.6 802 l", "S"})},
      {'H', "0000200011D1",
       L({"30.6 796 m", "30.6 803 l", "104.6 803 l", "104.6 796 l", "32.6 796 m", "32.6 801 l",
          "102.6 801 l", "102.6 796 l", "S"})},
      {'H', "0000200011 3",
       L({"31.6 802 m", "103.6 802 l", "31.6 808 m", "31.6 796 l", "103.6 808 m", "103.6 796 l",
          "S"})},
      {'H', "0000200011 7", L({"S"})},
      {'V', "0000400001 1", L({"34 802 m", "31.6 802 l", "31.6 778 l", "34 778 l", "S"})},
      {'V', "0000400001D0", L({"30.6 802 m", "30.6 778 l", "32.6 802 m", "32.6 778 l", "S"})},
      {'F', "0000400011", L({"31.6 778 72 24 re S"})},
      {'F', "0000400011D", L({"30.6 777 74 26 re S", "32.6 779 70 22 re S"})},
      {'F', "0000400011 x", L({"31.6 778 72 24 re S"})},  // no end style: never read
      {'B', "-a",
       L({"28 801 m", "35.2 801 l", "S", "38.8 801 m", "42.4 801 l", "S", "38.8 801 m",
          "38.8 795 l", "S"})},
      {'B', "xy", ""},
      {'M', "texto", ""},
      {'C', "27 64", ""},
      {'Z', "texto", ""},
  };
  for (const auto& caso : casos) {
    EstadoRelatorio().paginas->Limpa();
    Poe({Comando(1, 2, 1, 16, caso.letra, caso.texto)});
    EXPECT_EQ(Exporta(), std::vector<std::string>{L({"0.75  w", "0 0 0 RG"}) + caso.linhas})
        << caso.letra << caso.texto;
  }
}

TEST_F(GravaPDF, ColoursAreWrittenWhenTheyChangeAndAgainOnEachPage) {
  Poe({Comando(1, 1, 1, 16, 'T', "a", "FF0000"), Comando(1, 2, 1, 16, 'T', "b", "FF0000"),
       Comando(1, 3, 1, 16, 'H', "0000300005 0", "0000FF"),
       Comando(2, 1, 1, 16, 'T', "c", "FF0000")});
  const std::vector<std::string> c = Exporta();
  ASSERT_EQ(c.size(), 2u);
  auto conta = [](const std::string& s, const std::string& t) {
    size_t n = 0;
    for (size_t p = s.find(t); p != std::string::npos; p = s.find(t, p + 1)) ++n;
    return n;
  };
  EXPECT_EQ(conta(c[0], "1 0 0 rg\r\n"), 1u);
  EXPECT_EQ(conta(c[0], "1 0 0 RG\r\n"), 1u);
  EXPECT_EQ(conta(c[0], "0 0 1 RG\r\n"), 1u);
  const std::string inicio = L({"0.75  w", "1 0 0 RG", "1 0 0 rg", "BT"});
  EXPECT_EQ(c[1].substr(0, inicio.size()), inicio);
}

TEST_F(GravaPDF, PdfPagesFollowThePageNumbersOfTheEntries) {
  const struct {
    std::vector<int> paginas;
    size_t esperadas;
  } casos[] = {{{1, 3, 3}, 2}, {{2}, 2}, {{}, 1}};
  for (const auto& caso : casos) {
    EstadoRelatorio().paginas->Limpa();
    for (int p : caso.paginas) Poe({Comando(p, 1, 1, 16, 'T', "x")});
    const std::vector<std::string> c = Exporta();
    ASSERT_EQ(c.size(), caso.esperadas);
    if (!caso.paginas.empty() && caso.paginas[0] == 2) {
      EXPECT_EQ(c[0], "0.75  w\r\n");
    }
  }
}

TEST_F(GravaPDF, PicturesAreDrawnAtTheirSizeInMillimetres) {
  auto imagem = std::make_unique<TImagemRGB>(200, 100);
  for (size_t k = 0; k < imagem->pixels.size(); ++k) imagem->pixels[k] = static_cast<uint8_t>(k);
  rd->Imagens.push_back(std::move(imagem));
  const struct {
    std::string texto, cm, tamanho;
  } casos[] = {
      {"000000000000000", "150 0 0 75 28 745 cm", "/Width 200\r\n/Height 100\r\n"},
      {"000000005000000", "141 0 0 70.5 28 749.5 cm", "/Width 188\r\n/Height 94\r\n"},
      {"000000002000010", "57 0 0 28.5 28 791.5 cm", "/Width 76\r\n/Height 38\r\n"},
      {"000000000000010", "57 0 0 28.5 28 791.5 cm", "/Width 76\r\n/Height 38\r\n"},
  };
  for (const auto& caso : casos) {
    EstadoRelatorio().paginas->Limpa();
    Poe({Comando(1, 1, 1, 16, 'G', caso.texto)});
    EXPECT_EQ(Exporta(),
              std::vector<std::string>{L({"0.75  w", "q", caso.cm, "/Im1 Do Q", "0 0 0 RG"})});
    EXPECT_NE(teste::Le(arquivo).find(caso.tamanho), std::string::npos);
  }
}

TEST_F(GravaPDF, AFailureAfterTheStartWritesNothingAndReachesTheErrorBox) {
  rd->Imagens.push_back(std::make_unique<TImagemRGB>(1, 1));
  const std::string grande =
      "A imagem 0 do relat\xF3rio n\xE3o cabe no PDF: cada lado deve ter de 1 a 65500 pixels, e a "
      "imagem no m\xE1ximo 100 milh\xF5"
      "es de pixels. Corrija o tamanho da imagem e gere o PDF de "
      "novo.";
  const struct {
    std::string comando, mensagem;
  } casos[] = {
      {Comando(1, 1, 1, 16, 'G', "000050000000000"), "List index out of bounds (5)"},
      {Comando(1, 1, 1, 16, 'G', "000002000000000"), grande},  // 75,590 pixels wide
      {Comando(1, 1, 1, 16, 'G', "000000800008000"), grande},  // 30,236 x 30,236 pixels
      {Comando(1, 2, 1, 16, 'H', "00002xx011 0"), "'xx011' is not a valid integer value"},
      {Comando(1, 2, 1, 16, 'T', "ok"), ""},
  };
  const std::string destino = Caminho("falha.pdf");
  for (const auto& caso : casos) {
    EstadoRelatorio().paginas->Limpa();
    plataformaPDF.erros.clear();
    teste::Grava(destino, "antigo");
    Poe({Comando(1, 1, 1, 16, 'T', "antes"), caso.comando});
    const bool ok = rd->GravaPDF(destino);
    EXPECT_EQ(ok, caso.mensagem.empty());
    if (ok) continue;
    EXPECT_EQ(plataformaPDF.erros, std::vector<std::string>{caso.mensagem});
    EXPECT_EQ(teste::Le(destino), "antigo");
  }
  EXPECT_TRUE(plataformaPDF.caixas.empty());
  EXPECT_EQ(janelas.progressosFechados, 5);

  EXPECT_FALSE(rd->GravaPDF(Caminho("falta/r.pdf")));
  EXPECT_EQ(plataformaPDF.erros.size(), 1u);
}

TEST_F(GravaPDF, CancelHalfwayStillWritesAValidPdfOfThePagesReached) {
  for (int p = 1; p <= 2; ++p)
    for (int l = 1; l <= 10; ++l) Poe({Comando(p, l, 1, 16, 'T', "linha")});
  janelas.cancelaNoPasso = 11;
  int cancelados = 0;
  rd->OnCancel = [&](TRDprint&) { ++cancelados; };
  const std::vector<std::string> c = Exporta();
  EXPECT_EQ(cancelados, 1);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_NE(c[0].find("28 703 Td"), std::string::npos) << "line 10 was reached";
}

TEST_F(GravaPDF, OnSaveMayRenameAndAnEmptyNameIsRDprintPDF) {
  rd->OnSave = [&](TRDprint&, std::string& nome) {
    EXPECT_EQ(nome, "RDprint.PDF");
    nome = Caminho("outro.pdf");
  };
  EXPECT_TRUE(rd->GravaPDF(""));
  teste::ValidaPDF(Caminho("outro.pdf"));

  rd->OnSave = nullptr;
  char anterior[4096];
  ASSERT_NE(getcwd(anterior, sizeof anterior), nullptr);
  ASSERT_EQ(chdir(Caminho("").c_str()), 0);
  const bool ok = rd->GravaPDF("");
  ASSERT_EQ(chdir(anterior), 0);
  EXPECT_TRUE(ok);
  teste::ValidaPDF(Caminho("RDprint.PDF"));
}

}  // namespace
