// The PDF writer: the exact bytes of its objects, operators, numbering and cross-reference table,
// pictures, compression, failures, and the verdict of real PDF tools.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>

#include "platform/AtomicFile.h"
#include "platform/ByteSink.h"
#include "report/RDPDF.h"
#include "support/Arquivos.h"
#include "support/PDF.h"

using namespace report;

namespace {

const char* const kFontes[] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Symbol",      "ZapfDingbats"};

class PDF : public ::testing::Test {
 protected:
  PDF() { ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }  // 2023-11-14 22:13:20
  ~PDF() override { ::unsetenv("SOURCE_DATE_EPOCH"); }

  // Ends the document into memory, has the validators check it and returns the file.
  std::string Termina(TPrintPDF& p) {
    platform::MemorySink sink;
    EXPECT_TRUE(p.EndDoc(sink)) << p.Erro();
    EXPECT_TRUE(sink.finished());
    Valida(sink.bytes());
    return sink.bytes();
  }
  std::string Termina() { return Termina(pdf); }
  // Writes the file where the validators can read it and runs them.
  void Valida(const std::string& bytes) {
    teste::Grava(pasta / "v.pdf", bytes);
    teste::ValidaPDF(pasta / "v.pdf");
  }
  static TImagemRGB Imagem(int w, int h) {
    TImagemRGB i(w, h);
    for (size_t k = 0; k < i.pixels.size(); ++k) i.pixels[k] = static_cast<uint8_t>(k * 7);
    return i;
  }
  static std::string Zlib(const std::string& dados) {
    uLongf n = compressBound(dados.size());
    std::string r(n, '\0');
    compress2(reinterpret_cast<Bytef*>(r.data()), &n, reinterpret_cast<const Bytef*>(dados.data()),
              dados.size(), Z_DEFAULT_COMPRESSION);
    r.resize(n);
    return r;
  }

  TPrintPDF pdf;
  teste::PastaTemporaria pasta;
};

TEST_F(PDF, OnePageDocumentWithoutDrawingIsExact) {
  pdf.Compress = false;
  pdf.Producer = "P";
  pdf.Author = "A";
  pdf.Creator = "C";
  pdf.Keywords = "K";
  pdf.Subject = "S";
  pdf.Title = "T";
  ASSERT_TRUE(pdf.BeginDoc());
  EXPECT_EQ(pdf.PageNumber(), 1);
  const std::string arquivo = Termina();

  std::vector<std::string> objetos = {
      teste::Crlf({"1 0 obj", "<<", "/Producer (P)", "/Author (A)",
                   "/CreationDate (D:20231114221320)", "/Creator (C)", "/Keywords (K)",
                   "/Subject (S)", "/Title (T)", "/ModDate ()", ">>", "endobj"}),
      teste::Crlf(
          {"2 0 obj", "<< /Length 3 0 R", " >>", "stream", "0.75  w", "endstream", "endobj"}),
      teste::Crlf({"3 0 obj", "9", "endobj"}),
      teste::Crlf({"4 0 obj", "<< /Type /Outlines", "/Count 0", ">>", "endobj"})};
  for (int n = 1; n <= 14; ++n)
    objetos.push_back(
        teste::Crlf({std::to_string(n + 4) + " 0 obj", "<< /Type /Font", "/Subtype /Type1",
                     "/Name /F" + std::to_string(n), std::string("/BaseFont /") + kFontes[n - 1],
                     "/Encoding /WinAnsiEncoding", ">>", "endobj"}));
  objetos.push_back(teste::Crlf(
      {"19 0 obj", "<< /Type /Pages", "/Kids [", "21 0 R", "]", "/Count 1", ">>", "endobj"}));
  std::string recursos =
      "20 0 obj\r\n<< /ProcSet [ /PDF /Text /ImageC]\r\n/XObject << \r\n>>\r\n"
      "/Font << \r\n";
  for (int n = 1; n <= 14; ++n)
    recursos += "/F" + std::to_string(n) + " " + std::to_string(n + 4) + " 0 R \r\n";
  objetos.push_back(recursos + ">>\r\n>>\r\nendobj\r\n");
  objetos.push_back(
      teste::Crlf({"21 0 obj", "<< /Type /Page", "/Parent 19 0 R", "/MediaBox [ 0 0 612 792]",
                   "/Contents 2 0 R", "/Resources 20 0 R", ">>", "endobj"}));
  objetos.push_back(teste::Crlf(
      {"22 0 obj", "<< /Type /Catalog", "/Pages 19 0 R", "/Outlines 4 0 R", ">>", "endobj"}));

  std::string esperado = "%PDF-1.4\r\n";
  std::string xref = "xref\r\n0 23\r\n0000000000 65535 f\r\n";
  for (const std::string& o : objetos) {
    char entrada[24];
    std::snprintf(entrada, sizeof entrada, "%010zu 00000 n\r\n", esperado.size());
    xref += entrada;
    esperado += o;
  }
  const size_t inicioXref = esperado.size();
  esperado += xref + teste::Crlf({"trailer", "<< /Size 23", "/Root 22 0 R", "/Info 1 0 R", ">>",
                                  "startxref", std::to_string(inicioXref), "%%EOF"});
  EXPECT_EQ(arquivo, esperado);
  EXPECT_NE(arquivo.find("xref\r\n0 23\r\n0000000000 65535 f\r\n0000000010 00000 n\r\n"),
            std::string::npos);
}

TEST_F(PDF, CompressedPageIsTheZlibStreamOfItsOperators) {
  ASSERT_TRUE(pdf.BeginDoc());
  const std::string arquivo = Termina();
  teste::VerificaEstrutura(arquivo);
  EXPECT_NE(
      arquivo.find("2 0 obj\r\n<< /Length 3 0 R\r\n/Filter [/FlateDecode]\r\n >>\r\nstream\r\n" +
                   Zlib("0.75  w\r\n") + "endstream\r\nendobj\r\n"),
      std::string::npos);
  EXPECT_EQ(teste::Conteudos(arquivo), std::vector<std::string>{"0.75  w\r\n"});
}

TEST_F(PDF, DrawingCallsWriteTheirOperators) {
  const struct {
    std::function<void(TPrintPDF&)> desenha;
    std::vector<std::string> linhas;
  } casos[] = {
      {[](TPrintPDF& p) { p.MoveTo(10.5, 92); }, {"10.5 700 m"}},
      {[](TPrintPDF& p) {
         p.MoveTo(0, 0);
         p.LineTo(0.004, 792.004);
       },
       {"0 792 m", "0 0 l"}},
      {[](TPrintPDF& p) { p.DrawLine(1, 2, 3, 4.125); }, {"1 790 m", "3 787.88 l", "S"}},
      {[](TPrintPDF& p) { p.DrawRectangle(72, 100, 50.25, -20); }, {"72 692 50.25 -20 re S"}},
      {[](TPrintPDF& p) {
         p.MoveTo(1, 1);
         p.WriteCommand("S");
       },
       {"1 791 m", "S"}},
      {[](TPrintPDF& p) { p.SetLineWidth(1.5); }, {"1.5  w"}},
      {[](TPrintPDF& p) { p.SetFillColor(0x0000FF); }, {"1 0 0 rg"}},
      {[](TPrintPDF& p) { p.SetStrokeColor(0x004080); }, {"0.5 0.25 0 RG"}},
      {[](TPrintPDF& p) { p.TextOut("a(b)c\\d", 28, 37, false, 0); },
       {"BT", "/F5 12 Tf", "28 755 Td", "(a\\(b\\)c\\\\d) Tj", "ET"}},
      {[](TPrintPDF& p) {
         p.Font = {7, 10};
         p.TextOut("\t\xE7", 0, 0, false, 70.588235);
       },
       {"BT", "70.59 Tz", "/F8 10 Tf", "0 792 Td", "(\\011\xE7) Tj", "ET"}},
      {[](TPrintPDF& p) { p.TextOut("x", 10, 20, true, 0); },
       {"BT", "/F5 12 Tf", "10 772 Td", "0.71 0.71 -0.71 0.71 10 772 Tm", "(x) Tj", "ET"}},
      {[](TPrintPDF& p) { EXPECT_TRUE(p.DrawBitmap(Imagem(200, 100), 72, 72)); },
       {"q", "150 0 0 75 72 645 cm", "/Im1 Do Q"}},
  };
  for (const auto& c : casos) {
    TPrintPDF p;
    p.Compress = false;
    ASSERT_TRUE(p.BeginDoc());
    c.desenha(p);
    std::string esperado = "0.75  w\r\n";
    for (const auto& l : c.linhas) esperado += l + "\r\n";
    EXPECT_EQ(teste::Conteudos(Termina(p)), std::vector<std::string>{esperado});
  }
}

TEST_F(PDF, EveryPageStartsWithTheLineWidthAndBeginDocStartsAfresh) {
  pdf.Compress = false;
  ASSERT_TRUE(pdf.BeginDoc());
  pdf.NewPage();
  pdf.MoveTo(1, 2);
  EXPECT_EQ(pdf.PageNumber(), 2);
  std::string arquivo = Termina();
  teste::VerificaEstrutura(arquivo);
  EXPECT_EQ(teste::Conteudos(arquivo),
            (std::vector<std::string>{"0.75  w\r\n", "0.75  w\r\n1 790 m\r\n"}));
  for (const char* parte : {"\r\n21 0 obj\r\n<< /Type /Pages\r\n/Kids [\r\n23 0 R\r\n24 0 R\r\n]"
                            "\r\n/Count 2\r\n",
                            "\r\n24 0 obj\r\n<< /Type /Page\r\n/Parent 21 0 R\r\n"
                            "/MediaBox [ 0 0 612 792]\r\n/Contents 4 0 R\r\n/Resources 22 0 R\r\n",
                            "\r\n25 0 obj\r\n<< /Type /Catalog\r\n/Pages 21 0 R\r\n"
                            "/Outlines 6 0 R\r\n",
                            "<< /Size 26\r\n/Root 25 0 R\r\n"})
    EXPECT_NE(arquivo.find(parte), std::string::npos) << parte;

  ASSERT_TRUE(pdf.BeginDoc());
  EXPECT_EQ(pdf.PageNumber(), 1);
  arquivo = Termina();
  EXPECT_NE(arquivo.find("<< /Size 23\r\n/Root 22 0 R\r\n"), std::string::npos);
}

TEST_F(PDF, ThreePicturesOnTwoPagesAreSharedResources) {
  ASSERT_TRUE(pdf.BeginDoc());
  ASSERT_TRUE(pdf.DrawBitmap(Imagem(200, 100), 72, 72));
  ASSERT_TRUE(pdf.DrawBitmap(Imagem(3, 5), 0, 0));
  pdf.NewPage();
  ASSERT_TRUE(pdf.DrawBitmap(Imagem(16, 16), 10, 10));
  const std::string arquivo = Termina();
  teste::VerificaEstrutura(arquivo);
  // N = 2, Q = 3: Pages 21, Resources 22, pictures 23 to 25, pages 26 and 27, catalog 28.
  for (const char* parte : {"/Kids [\r\n26 0 R\r\n27 0 R\r\n]",
                            "\r\n22 0 obj\r\n<< /ProcSet [ /PDF /Text /ImageC]\r\n/XObject << \r\n"
                            "/Im1 23 0 R\r\n/Im2 24 0 R\r\n/Im3 25 0 R\r\n>>\r\n/Font << \r\n",
                            "\r\n26 0 obj\r\n<< /Type /Page\r\n/Parent 21 0 R\r\n"
                            "/MediaBox [ 0 0 612 792]\r\n/Contents 2 0 R\r\n/Resources 22 0 R\r\n",
                            "/Contents 4 0 R\r\n/Resources 22 0 R\r\n", "<< /Size 29\r\n"})
    EXPECT_NE(arquivo.find(parte), std::string::npos) << parte;
  const std::vector<std::string> c = teste::Conteudos(arquivo);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_NE(c[0].find("/Im1 Do Q\r\nq\r\n2.25 0 0 3.75 0 788.25 cm\r\n/Im2 Do Q\r\n"),
            std::string::npos);
  EXPECT_NE(c[1].find("/Im3 Do Q"), std::string::npos);
  const struct { int objeto, w, h; } imagens[] = {{23, 200, 100}, {24, 3, 5}, {25, 16, 16}};
  for (int k = 0; k < 3; ++k) {
    const std::string cab = "\r\n" + std::to_string(imagens[k].objeto) +
                            " 0 obj\r\n<< /Type /XObject\r\n/Subtype /Image\r\n/Width " +
                            std::to_string(imagens[k].w) + "\r\n/Height " +
                            std::to_string(imagens[k].h) +
                            "\r\n/ColorSpace /DeviceRGB\r\n/BitsPerComponent 8\r\n/Length ";
    const size_t p = arquivo.find(cab);
    ASSERT_NE(p, std::string::npos) << k;
    const size_t tamanho = std::stoul(arquivo.substr(p + cab.size()));
    const std::string resto =
        "\r\n/Name /Im" + std::to_string(k + 1) + "\r\n/Filter [/DCTDecode]\r\n>>\r\nstream\r\n";
    const size_t dados = arquivo.find(resto, p) + resto.size();
    EXPECT_EQ(arquivo.substr(dados, 2), "\xFF\xD8");
    EXPECT_EQ(arquivo.substr(dados + tamanho - 2, 2), "\xFF\xD9");
    EXPECT_EQ(arquivo.substr(dados + tamanho, 19), "\r\nendstream\r\nendobj");
  }
  const teste::Execucao lista = teste::Executa("pdfimages -list '" + (pasta / "v.pdf") + "'");
  EXPECT_NE(lista.saida.find("200   100  rgb     3   8  jpeg"), std::string::npos) << lista.saida;
}

TEST_F(PDF, JPEGQualityOutsideOneToHundredIsARangeErrorThatAddsNothing) {
  for (int qualidade : {0, 101, -3, 1, 100}) {
    TPrintPDF p;
    p.Compress = false;
    p.JPEGQuality = qualidade;
    ASSERT_TRUE(p.BeginDoc());
    const bool valida = qualidade >= 1 && qualidade <= 100;
    EXPECT_EQ(p.DrawBitmap(Imagem(4, 4), 0, 0), valida) << qualidade;
    if (!valida) {
      EXPECT_NE(p.Erro().find("Range check error"), std::string::npos);
    }
    EXPECT_EQ(Termina(p).find("/Im1") != std::string::npos, valida) << qualidade;
  }
}

TEST_F(PDF, InformationValuesAreEscapedLikeText) {
  pdf.Title = "Relat\xF3rio (final) \\ 1";
  pdf.Subject = "a)b";
  ASSERT_TRUE(pdf.BeginDoc());
  const std::string arquivo = Termina();
  EXPECT_NE(arquivo.find("/Subject (a\\)b)\r\n/Title (Relat\xF3rio \\(final\\) \\\\ 1)\r\n"),
            std::string::npos);
  const teste::Execucao info = teste::Executa("pdfinfo '" + (pasta / "v.pdf") + "'");
  EXPECT_NE(info.saida.find("Title:           Relat\xC3\xB3rio (final) \\ 1\n"), std::string::npos)
      << info.saida;
}

TEST_F(PDF, EndDocSavesAtomicallyAndReportsWhatWasNotWritten) {
  const std::string caminho = pasta / "r.pdf";
  teste::Grava(caminho, "antigo");
  pdf.FileName = caminho;
  ASSERT_TRUE(pdf.BeginDoc());
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);
  EXPECT_FALSE(pdf.EndDoc());
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 0, 0);
  EXPECT_FALSE(pdf.Erro().empty());
  EXPECT_EQ(teste::Le(caminho), "antigo");
  EXPECT_FALSE(pdf.EndDoc()) << "the document was consumed";
  EXPECT_NE(pdf.Erro().find("BeginDoc"), std::string::npos);

  pdf.FileName = pasta / "nao-existe/r.pdf";
  ASSERT_TRUE(pdf.BeginDoc());
  EXPECT_FALSE(pdf.EndDoc());
  EXPECT_FALSE(pdf.Erro().empty());

  pdf.FileName = caminho;
  ASSERT_TRUE(pdf.BeginDoc());
  EXPECT_TRUE(pdf.EndDoc()) << pdf.Erro();
  teste::VerificaEstrutura(teste::Le(caminho));
  teste::ValidaPDF(caminho);
}

TEST_F(PDF, PagesCompressedSideBySideComeOutInPageOrder) {
  ASSERT_TRUE(pdf.BeginDoc());
  for (int k = 1; k <= 60; ++k) {
    if (k > 1) pdf.NewPage();
    for (int l = 0; l < 20 * (k % 7); ++l)
      pdf.TextOut("p\xE1gina " + std::to_string(k) + " linha " + std::to_string(l), 10, l, false,
                  100);
  }
  const std::string arquivo = Termina();
  teste::VerificaEstrutura(arquivo);
  const std::vector<std::string> c = teste::Conteudos(arquivo);
  ASSERT_EQ(c.size(), 60u);
  for (int k = 1; k <= 60; ++k) {
    const std::string& pagina = c[static_cast<size_t>(k - 1)];
    EXPECT_EQ(pagina.find("(p\xE1gina " + std::to_string(k) + " linha 0)") != std::string::npos,
              k % 7 != 0)
        << k;
    const std::string cab = "\r\n" + std::to_string(2 * k) + " 0 obj\r\n";
    const size_t inicio = arquivo.find("stream\r\n", arquivo.find(cab)) + 8;
    EXPECT_EQ(arquivo.compare(inicio, arquivo.find("endstream", inicio) - inicio, Zlib(pagina)), 0)
        << k;
  }
}

}  // namespace
