// The text, colour, page-selection and picture conversions.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "base/Erros.h"
#include "base/Formato.h"
#include "report/RDTools.h"

using namespace report;

TEST(RDTools, RemoveAcentosReplacesTheFiftyFourCharacters) {
  EXPECT_EQ(RemoveAcentos("Inform\xE1tica"), "Informatica");
  EXPECT_EQ(RemoveAcentos("Cota\xE7\xE3o:"), "Cotacao:");
  const struct {
    const char* de;
    char para;
  } tabela[] = {{"\xE1\xE0\xE3\xE2\xE4\xAA", 'a'},
                {"\xE9\xE8\xEA\xEB", 'e'},
                {"\xED\xEC\xEE\xEF", 'i'},
                {"\xF3\xF2\xF5\xF4\xF6\xBA", 'o'},
                {"\xFA\xF9\xFB\xFC", 'u'},
                {"\xC1\xC0\xC3\xC2\xC4", 'A'},
                {"\xC9\xC8\xCA\xCB", 'E'},
                {"\xCD\xCC\xCE\xCF", 'I'},
                {"\xD3\xD2\xD5\xD4\xD6", 'O'},
                {"\xDA\xD9\xDB\xDC", 'U'},
                {"\xE7", 'c'},
                {"\xC7", 'C'},
                {"\xF1", 'n'},
                {"\xD1", 'N'},
                {"\xBC\xBD\xBE\xA7", ' '}};
  int total = 0;
  for (const auto& linha : tabela) {
    std::string de = linha.de;
    total += static_cast<int>(de.size());
    EXPECT_EQ(RemoveAcentos(de), std::string(de.size(), linha.para)) << linha.para;
  }
  EXPECT_EQ(total, 54);
  EXPECT_EQ(RemoveAcentos("\xFD\xE5\xF8\xE6"), "\xFD\xE5\xF8\xE6");  // ý å ø æ remain
}

TEST(RDTools, FrameLettersBecomeCodePage437OrAscii) {
  EXPECT_EQ(ConverteMoldura("A===B"), "\xC9\xCD\xCD\xCD\xBB");
  EXPECT_EQ(
      ConverteMoldura("=IABCDTV[]#-iabcdtv<>+"),
      "\xCD\xBA\xC9\xBB\xBC\xC8\xCB\xCA\xCC\xB9\xCE\xC4\xB3\xDA\xBF\xD9\xC0\xC2\xC1\xC3\xB4\xC5");
  EXPECT_EQ(ConverteMoldura("xZ 1"), "xZ 1");
  EXPECT_EQ(ConverteMolduraTexto("A===B"), "+---+");
  EXPECT_EQ(ConverteMolduraTexto("I- i=Zx"), "|- |-++");
}

TEST(RDTools, ConverteCodigosSkipsTokensThatAreNoByte) {
  const struct {
    const char* entrada;
    std::string bytes;
  } casos[] = {{"27 64", "\x1B\x40"},
               {"27 45 49", "\x1B\x2D\x31"},
               {"27  69", "\x1B\x45"},
               {"27 x 69", "\x1B\x45"},
               {"300 27 -1", "\x1B"},
               {"0", std::string(1, '\0')},
               {"", ""}};
  for (const auto& c : casos) EXPECT_EQ(ConverteCodigos(c.entrada), c.bytes) << c.entrada;
}

TEST(RDTools, ExpandePaginasReadsSelections) {
  const struct {
    const char* selecao;
    std::vector<std::string> paginas;
  } casos[] = {{"1,3,5-7", {"1", "3", "5", "6", "7"}},
               {"7-5", {}},
               {"-3", {"1", "2", "3"}},
               {"", {}},
               {"  ", {}},
               {"1,,2", {"1", "2"}},
               {"1---3", {"1", "2", "3"}},
               {" 2 , 4 ", {"2", "4"}},
               {"3,3", {"3", "3"}},
               {"0,x,2", {"2"}},
               {"0-2", {"1", "2"}},
               {"4-", {}}};
  for (const auto& c : casos) {
    std::vector<std::string> lista{"lixo"};
    ExpandePaginas(c.selecao, lista);
    EXPECT_EQ(lista, c.paginas) << c.selecao;
  }
}

TEST(RDTools, ExpandePaginasStopsRangesAtTheLastPossiblePage) {
  std::vector<std::string> lista;
  ExpandePaginas("9998-999999999", lista);
  EXPECT_EQ(lista, (std::vector<std::string>{"9998", "9999"}));
}

TEST(RDTools, LimpaNomeArquivoDropsNineCharacters) {
  EXPECT_EQ(LimpaNomeArquivo("a\"b*c/d:e<f>g?h\\i|j"), "abcdefghij");
  EXPECT_EQ(LimpaNomeArquivo("Relat\xF3rio\x01\t.txt"), "Relat\xF3rio\x01\t.txt");
}

TEST(RDTools, ColoursAsHexadecimal) {
  EXPECT_EQ(CorParaHex(0xFFFFFF), "FFFFFF");
  EXPECT_EQ(CorParaHex(0x0000FF), "FF0000");
  EXPECT_EQ(CorParaHex(0x123456), "563412");
  EXPECT_THROW(CorParaHex(-16777201), base::Exception);
  EXPECT_EQ(HexParaCor("FF0000"), 0x0000FF);
  EXPECT_EQ(HexParaCor("563412"), 0x123456);
  EXPECT_EQ(HexParaCor("80ffff"), 0xFFFF80);
  EXPECT_THROW(HexParaCor("GG0000"), base::EConvertError);
  EXPECT_THROW(HexParaCor("FF"), base::EConvertError);
}

TEST(RDTools, HtmlAndPdfEscapes) {
  EXPECT_EQ(CodificaHTML("a\"b'c>d<e&f\xE7"), "a&quot;b&apos;c&gt;d&lt;e&amp;f\xE7");
  EXPECT_EQ(CodificaTextoPDF("a\tb"), "a\\011b");
  EXPECT_EQ(CodificaTextoPDF("(x)\\"), "\\(x\\)\\\\");
  EXPECT_EQ(CodificaTextoPDF("\b\n\f\r"), "\\b\\n\\f\\r");
  EXPECT_EQ(CodificaTextoPDF(std::string("\x7F\x01\xE7~", 4)), "\\177\\001\xE7~");
  EXPECT_EQ(NumeroPDF(3), "3 ");
  EXPECT_EQ(NumeroPDF(12.5), "12.5 ");
  EXPECT_EQ(NumeroPDF(0.005), "0.01 ");
  EXPECT_EQ(NumeroPDF(1234.567), "1234.57 ");
}

TEST(RDTools, NumeroPDFRoundsTheFifteenDigitReadingHalfAwayFromZero) {
  const struct {
    double valor;
    const char* texto;
  } casos[] = {{-0.001, "0 "},
               {-0.004999, "0 "},
               {0.125, "0.13 "},
               {-0.125, "-0.13 "},
               {1.005, "1.01 "},
               {2.675, "2.68 "},
               {70.588235, "70.59 "},
               {809.8, "809.8 "},
               {-12.5, "-12.5 "},
               {0.1 + 0.2, "0.3 "},
               {9999999.995, "10000000 "},
               {123456789.125, "123456789.13 "},
               {1e20, "100000000000000000000 "}};
  for (const auto& c : casos) EXPECT_EQ(NumeroPDF(c.valor), c.texto) << c.valor;
  // The short path agrees with the pattern formatter everywhere, near halves above all.
  base::FormatSettings ponto;
  ponto.separadorDecimal = '.';
  ponto.separadorMilhar = ',';
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const double base = static_cast<double>(rng() % 2000000) / 1000.0 - 1000.0;
    const double v = i % 2 ? base + 0.0005 : base * 0.37;
    ASSERT_EQ(NumeroPDF(v), base::FormatFloat("0.## ", v, ponto)) << v;
  }
  std::string s = "x";
  AnexaNumeroPDF(s, 0.75);
  AnexaTextoPDF(s, std::string("(\\\0", 3));
  EXPECT_EQ(s, std::string("x0.75 \\(\\\\\\000"));
}

TEST(RDTools, Base64OfTheStandardVectors) {
  const struct {
    const char* entrada;
    const char* saida;
  } casos[] = {{"", ""},
               {"f", "Zg=="},
               {"fo", "Zm8="},
               {"foo", "Zm9v"},
               {"foob", "Zm9vYg=="},
               {"fooba", "Zm9vYmE="},
               {"foobar", "Zm9vYmFy"}};
  for (const auto& c : casos) {
    std::istringstream in(c.entrada);
    std::ostringstream out;
    CodificaBase64(in, out);
    EXPECT_EQ(out.str(), c.saida) << c.entrada;
  }
  // Across the 510-byte blocks: 512 zero bytes are 170 groups of "AAAA" and a last "AA==".
  std::istringstream in(std::string(512, '\0'));
  std::ostringstream out;
  CodificaBase64(in, out);
  EXPECT_EQ(out.str(), std::string(680, 'A') + "AAA=");
}

TEST(RDTools, AnsiParaOemUsesCodePage850) {
  EXPECT_EQ(AnsiParaOem("Relat\xF3rio"), "Relat\xA2rio");
  EXPECT_EQ(AnsiParaOem("\xE7\xC3\xE9"), "\x87\xC7\x82");
  EXPECT_EQ(AnsiParaOem(""), "");
}

TEST(RDTools, RedimensionaImagemWeighsNeighbours) {
  TImagemRGB origem(2, 1);
  origem.Pixel(0, 0)[0] = 0;
  origem.Pixel(1, 0)[0] = 255;
  origem.Pixel(0, 0)[1] = 200;
  origem.Pixel(1, 0)[1] = 200;
  TImagemRGB destino(3, 1);
  RedimensionaImagem(origem, destino);
  // sx = MulDiv(1, 65536, 3) = 21845; row weights w0 = 65536, w1 = 1.
  EXPECT_EQ(destino.Pixel(0, 0)[0], 0);
  EXPECT_EQ(destino.Pixel(1, 0)[0], 84);   // 255 x 21845 >> 16
  EXPECT_EQ(destino.Pixel(2, 0)[0], 170);  // 255 x (43690 + 1) >> 16
  EXPECT_EQ(destino.Pixel(1, 0)[1], 200);
  TImagemRGB copia(2, 1);
  RedimensionaImagem(origem, copia);
  EXPECT_EQ(copia.pixels, origem.pixels);
  TImagemRGB vazia(0, 0);
  RedimensionaImagem(origem, vazia);
  EXPECT_TRUE(vazia.pixels.empty());
}
