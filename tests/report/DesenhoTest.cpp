// The page renderer through the recorded picture: page metrics, paper, every letter's strokes,
// pictures, text strips, alignment, the search mark, cancelling, malformed parameters, and the
// graphic-print geometry. Expected coordinates are worked out by hand from the drawing rules.
#include <cstdio>

#include "base/Erros.h"
#include "report/RDdesenho.h"
#include "report/RDimpressao.h"
#include "report/RelatorioTeste.h"
#include "support/Falhas.h"

using namespace report;
using teste::Comando;
using teste::RelatorioTeste;
using Tipo = TOperacaoDesenho::TTipo;

namespace {

// One operation as a short text: "M x,y", "L x,y" (end point), "R", "E", "F", "S" (sub-picture),
// "I" (bitmap) with their rectangles, "T x,y text".
std::string Descreve(const TOperacaoDesenho& op) {
  char buf[96];
  const TRect& r = op.Rect;
  switch (op.Tipo) {
    case Tipo::MoveTo:
      std::snprintf(buf, sizeof buf, "M%d,%d", r.Left, r.Top);
      break;
    case Tipo::LineTo:
      std::snprintf(buf, sizeof buf, "L%d,%d", r.Right, r.Bottom);
      break;
    case Tipo::TextOut:
      return "T" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + op.Texto;
    default: {
      const char letra[] = {'?', '?', 'R', 'E', 'F', '?', 'S', 'I'};
      std::snprintf(buf, sizeof buf, "%c%d,%d,%d,%d", letra[static_cast<int>(op.Tipo)], r.Left,
                    r.Top, r.Right, r.Bottom);
    }
  }
  return buf;
}

// Every operation of a picture, blank-separated.
std::string Descreve(const TMetafile& m) {
  std::string s;
  for (const auto& op : m.Operacoes) s += (s.empty() ? "" : " ") + Descreve(op);
  return s;
}

class Desenho : public RelatorioTeste {
 protected:
  // Opens the program's 136-column, 10 mm report (striping and continuous form as given).
  void Abre(bool zebrada = false, bool remalina = false, int linhas = 66) {
    rd->TamanhoQteColunas = 136;
    rd->TamanhoQteLinhas = linhas;
    rd->Margens = TMargens{10, 10, 10, 10};
    rd->OpcoesPreview.PaginaZebrada = zebrada;
    rd->OpcoesPreview.Remalina = remalina;
    ASSERT_TRUE(rd->Abrir());
  }
  static void Insere(const std::string& c) { EstadoRelatorio().paginas->Insere(c); }
  // Draws page 1 bare and returns the operations drawn for the page's entries.
  TMetafile Imprime(int pagina = 1) {
    TMetafile m;
    DesenhaPagina(*rd, pagina, m, false);
    return m;
  }
  ~Desenho() override { InstalaMedidorTexto({}); }
};

TEST_F(RelatorioTeste, CalculaMedidasFollowsTheSettings) {
  const struct {
    int colunas, linhas, margem;
    TSize cpi;
    TLinha lpp;
    bool remalina;
    int larguraTexto, alturaTexto, margemPaginas, meiaAltura, remalinaUnidades;
  } casos[] = {
      {136, 66, 10, TSize::S10cpp, TLinha::Seis, false, 1306, 1056, 37, 8, 0},
      {80, 66, 5, TSize::S12cpp, TLinha::Oito, true, 640, 792, 18, 6, 35},
      {136, 66, 10, TSize::S17cpp, TLinha::Seis, false, 768, 1056, 37, 8, 0},  // 768.004...
      {80, 10, 0, TSize::S05cpp, TLinha::Seis, false, 1536, 160, 0, 8, 0},
  };
  for (const auto& c : casos) {
    rd->TamanhoQteColunas = c.colunas;
    rd->TamanhoQteLinhas = c.linhas;
    rd->Margens = TMargens{c.margem, c.margem, c.margem, c.margem};
    rd->FonteTamanhoPadrao = c.cpi;
    rd->TamanhoQteLPP = c.lpp;
    rd->OpcoesPreview.Remalina = c.remalina;
    rd->CalculaMedidas();
    const TRDFolha& f = EstadoRelatorio().folha;
    EXPECT_EQ(f.LarguraTexto, c.larguraTexto) << c.colunas;
    EXPECT_EQ(f.AlturaTexto, c.alturaTexto) << c.colunas;
    EXPECT_EQ(f.MargemEsquerda, c.margemPaginas);
    EXPECT_EQ(f.MargemInferior, c.margemPaginas);
    EXPECT_EQ(f.MeiaAltura, c.meiaAltura);
    EXPECT_EQ(f.LarguraRemalina, c.remalinaUnidades);
  }
}

TEST_F(Desenho, EmptyPageIsPaperInThePreviewAndNothingInPrint) {
  Abre();
  TMetafile m = Imprime();
  EXPECT_EQ(m.Width, 1306);
  EXPECT_EQ(m.Height, 1056);
  EXPECT_TRUE(m.Operacoes.empty());

  DesenhaPagina(*rd, 1, m, true);
  EXPECT_EQ(m.Width, 1380);
  EXPECT_EQ(m.Height, 1130);
  // Paper, margin guide 2 units outside the text area, border on the last row and column.
  EXPECT_EQ(Descreve(m),
            "F0,0,1379,1129 M35,35 L1345,35 L1345,1095 L35,1095 L35,35 "
            "M0,0 L1379,0 L1379,1129 L0,1129 L0,0");
  EXPECT_EQ(m.Operacoes[0].Brush.Color(), clWhite);
  EXPECT_EQ(m.Operacoes[1].Pen, (TPen{0xD8D8D8, TPenStyle::psDot, 1}));
  EXPECT_EQ(m.Operacoes[6].Pen, (TPen{clBlack, TPenStyle::psSolid, 1}));
}

TEST_F(Desenho, StripesCoverOddLinesButNeverTheLast) {
  for (int linhas : {66, 67}) {
    ReiniciaEstadoRelatorio();
    Abre(true, false, linhas);
    TMetafile m;
    DesenhaPagina(*rd, 1, m, true);
    std::vector<std::string> faixas;
    for (const auto& op : m.Operacoes)
      if (op.Tipo == Tipo::Rectangle) {
        faixas.push_back(Descreve(op));
        EXPECT_EQ(op.Pen.Style, TPenStyle::psClear);
        EXPECT_EQ(op.Brush.Color(), 0xECFEE9);
      }
    ASSERT_EQ(faixas.size(), 33u) << linhas;  // lines 1, 3, ..., 65
    EXPECT_EQ(faixas.front(), "R35,37,1345,53");
    EXPECT_EQ(faixas.back(), "R35,1061,1345,1077");
  }
}

TEST_F(Desenho, ContinuousFormHasDottedEdgesAndFeedHoles) {
  rd->TamanhoQteColunas = 136;
  rd->TamanhoQteLinhas = 75;  // 1200 units high without top and bottom margins
  rd->Margens = TMargens{10, 10, 0, 0};
  rd->OpcoesPreview.Remalina = true;
  ASSERT_TRUE(rd->Abrir());
  TMetafile m;
  DesenhaPagina(*rd, 1, m, true);
  ASSERT_EQ(m.Height, 1200);
  ASSERT_EQ(m.Width, 70 + 1306 + 74);
  EXPECT_EQ(Descreve(m.Operacoes[1]) + " " + Descreve(m.Operacoes[2]) + " " +
                Descreve(m.Operacoes[3]) + " " + Descreve(m.Operacoes[4]),
            "M34,0 L34,1199 M1415,0 L1415,1199");
  EXPECT_EQ(m.Operacoes[2].Pen, (TPen{0xC0C0C0, TPenStyle::psDot, 1}));
  std::vector<std::string> furos;
  for (const auto& op : m.Operacoes)
    if (op.Tipo == Tipo::Ellipse) {
      furos.push_back(Descreve(op));
      EXPECT_EQ(op.Brush.Color(), 0x808080);
      EXPECT_EQ(op.Pen.Style, TPenStyle::psSolid);
    }
  ASSERT_EQ(furos.size(), 50u);
  EXPECT_EQ(furos[0], "E10,24,21,35");
  EXPECT_EQ(furos[1], "E1429,24,1440,35");
  EXPECT_EQ(furos[48], "E10,1176,21,1187");
  // The margin guide starts after the strip.
  EXPECT_EQ(Descreve(m.Operacoes[55]), "M70,-2");
}

TEST_F(Desenho, TextStripsStartAtTheCellAndSpanTheirPitch) {
  Abre();
  using F = TFontStyle;
  const struct {
    int linha, coluna, atributo;
    std::string texto;
    bool preview;
    const char* destino;
    TFontStyles estilo;
  } casos[] = {
      // R + MargemEsquerda, MargemSuperior; 3 x 9.6 = 28.8 wide.
      {1, 1, 16, "abc", true, "S37,37,66,53", {}},
      {1, 1, 16 + 7, "abc", false, "S0,0,29,16", {F::fsBold, F::fsItalic, F::fsUnderline}},
      {3, 11, 128 + 2, "0123456789", false, "S96,32,144,48", {F::fsBold}},  // 80 x 0.6 = 48
      {3, 11, 24, "0123456789", false, "S96,32,288,48", {}},       // expanded: 80 x 1.2 x 2 = 192
      {2, 2, 32 + 1, "ab", false, "S10,16,26,32", {F::fsItalic}},  // 12 cpi: 8 per character
      {2, 3, 64 + 4, "abcdefghij", false, "S19,16,75,32", {F::fsUnderline}},  // 80 x 12 / 17
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    Insere(Comando(1, c.linha, c.coluna, c.atributo, 'T', c.texto, "0000FF"));
    TMetafile m;
    DesenhaPagina(*rd, 1, m, c.preview);
    const TOperacaoDesenho& op = m.Operacoes.back();
    ASSERT_EQ(op.Tipo, Tipo::StretchDrawFigura);
    EXPECT_EQ(Descreve(op), c.destino) << c.texto << " " << c.atributo;
    ASSERT_TRUE(op.Figura);
    EXPECT_EQ(op.Figura->Width, static_cast<int>(c.texto.size()) * 8);
    EXPECT_EQ(op.Figura->Height, 16);
    ASSERT_EQ(op.Figura->Operacoes.size(), 1u);
    const TOperacaoDesenho& t = op.Figura->Operacoes[0];
    EXPECT_EQ(Descreve(t), "T0,0 " + c.texto);
    EXPECT_EQ(t.Font.Name, "Courier New");
    EXPECT_EQ(t.Font.Size, 10);
    EXPECT_EQ(t.Font.Color, 0xFF0000);  // "0000FF" is blue
    EXPECT_EQ(t.Font.Style, c.estilo) << c.atributo;
    EXPECT_EQ(t.Brush.Style(), TBrushStyle::bsClear);
  }
}

TEST_F(Desenho, AlignedTextsMoveByTheirMeasuredWidth) {
  Abre();
  int folga = 0;
  InstalaMedidorTexto(
      [&](const TFont&, std::string_view t) { return static_cast<int>(t.size()) * 8 - folga; });
  const struct {
    char letra;
    int folga;
    const char* destino;
  } casos[] = {
      {'D', 0, "S96,0,144,16"},   // measures exactly n x 8: not moved
      {'D', 5, "S101,0,149,16"},  // 5 short: moved by 5
      {'X', 5, "S98,0,146,16"},   // ROUND(2.5) = 2
      {'X', 7, "S100,0,148,16"},  // ROUND(3.5) = 4
      {'T', 5, "S96,0,144,16"},
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    folga = c.folga;
    Insere(Comando(1, 1, 11, 16, c.letra, "abcde"));
    EXPECT_EQ(Descreve(Imprime().Operacoes.back()), c.destino) << c.letra << c.folga;
  }
}

TEST_F(Desenho, LineAndFrameStrokesFollowTheirTables) {
  Abre();
  // Line 2, column 3, to line 5, column 8 at 10 cpi: x 19, y 16, cx 23, cy 24, dx 48, dy 48.
  const struct {
    char letra;
    const char* parametros;
    const char* tracos;
  } casos[] = {
      {'H', "0000500008S0", "M23,24 L71,24"},
      {'H', "0000500008D0", "M23,22 L71,22 M23,25 L71,25"},
      {'H', "0000500008S1", "M23,32 L23,24 L71,24 L71,32"},
      {'H', "0000500008D1", "M21,32 L21,22 L72,22 L72,32 M24,32 L24,25 L69,25 L69,32"},
      {'H', "0000500008S2", "M23,16 L23,24 L71,24 L71,16"},
      {'H', "0000500008D2", "M21,16 L21,25 L72,25 L72,16 M24,16 L24,22 L69,22 L69,16"},
      {'H', "0000500008S3", "M23,24 L71,24 M23,16 L23,32 M71,16 L71,32"},
      {'H', "0000500008D3",
       "M24,16 L24,22 L69,22 L69,16 M24,32 L24,25 L69,25 L69,32 M21,16 L21,32 M72,16 L72,32"},
      {'H', "0000500008S7", ""},
      {'H', "0000500008D4", ""},
      {'V', "0000500008S0", "M23,24 L23,72"},
      {'V', "0000500008D0", "M21,24 L21,72 M24,24 L24,72"},
      {'V', "0000500008S1", "M27,24 L23,24 L23,72 L27,72"},
      {'V', "0000500008D1", "M27,22 L21,22 L21,73 L27,73 M27,25 L24,25 L24,70 L27,70"},
      {'V', "0000500008S2", "M19,24 L23,24 L23,72 L19,72"},
      {'V', "0000500008D2", "M19,22 L24,22 L24,73 L19,73 M19,25 L21,25 L21,70 L19,70"},
      {'V', "0000500008S3", "M23,24 L23,72 M19,24 L27,24 M19,72 L27,72"},
      {'V', "0000500008D3",
       "M27,25 L24,25 L24,70 L27,70 M19,25 L21,25 L21,70 L19,70 M19,22 L27,22 M19,73 L27,73"},
      {'V', "0000500008S9", ""},
      {'F', "0000500008S", "M23,24 L71,24 L71,72 L23,72 L23,24"},
      {'F', "0000500008D", "M21,22 L72,22 L72,73 L21,73 L21,22 M24,25 L69,25 L69,70 L24,70 L24,25"},
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    Insere(Comando(1, 2, 3, 16, c.letra, c.parametros, "00FF00"));
    TMetafile m = Imprime();
    EXPECT_EQ(Descreve(m), c.tracos) << c.letra << c.parametros;
    for (const auto& op : m.Operacoes) EXPECT_EQ(op.Pen, (TPen{0x00FF00, TPenStyle::psSolid, 1}));
  }
}

TEST_F(Desenho, SemigraphicGlyphsFollowTheirTable) {
  Abre();
  // Strokes (a, b) of every glyph; drawn as the second character, at (8 + a, 4 + b).
  const struct {
    char codigo;
    const char* tracos;
  } glifos[] = {
      {'=', "M0,5 L8,5 M0,8 L8,8"},
      {'I', "M3,0 L3,16 M6,0 L6,16"},
      {'#', "M0,5 L3,5 L3,0 M6,0 L6,5 L8,5 M8,8 L6,8 L6,16 M0,8 L3,8 L3,16"},
      {'[', "M3,0 L3,16 M6,5 L8,5 M6,0 L6,5 M6,8 L8,8 M6,8 L6,16"},
      {']', "M0,5 L3,5 M3,0 L3,5 M0,8 L3,8 M3,8 L3,16 M6,0 L6,16"},
      {'T', "M6,8 L8,8 M6,8 L6,16 M0,8 L3,8 M3,8 L3,16 M0,5 L8,5"},
      {'V', "M0,5 L3,5 M3,0 L3,5 M6,5 L8,5 M6,0 L6,5 M0,8 L8,8"},
      {'A', "M3,5 L8,5 M6,8 L8,8 M3,5 L3,16 M6,8 L6,16"},
      {'B', "M0,5 L6,5 M0,8 L3,8 M3,8 L3,16 M6,5 L6,16"},
      {'C', "M0,5 L3,5 M0,8 L6,8 M3,0 L3,5 M6,0 L6,8"},
      {'D', "M6,5 L8,5 M4,8 L8,8 M3,0 L3,8 M6,0 L6,5"},
      {'-', "M0,7 L8,7"},
      {'i', "M4,0 L4,16"},
      {'+', "M0,7 L8,7 M4,0 L4,16"},
      {'t', "M0,7 L8,7 M4,7 L4,16"},
      {'v', "M0,7 L8,7 M4,0 L4,7"},
      {'<', "M4,0 L4,16 M4,7 L8,7"},
      {'>', "M4,0 L4,16 M0,7 L4,7"},
      {'a', "M4,7 L8,7 M4,7 L4,16"},
      {'b', "M0,7 L4,7 M4,7 L4,16"},
      {'c', "M0,7 L4,7 M4,0 L4,7"},
      {'d', "M4,7 L8,7 M4,0 L4,7"},
  };
  for (const auto& g : glifos) {
    EstadoRelatorio().paginas->Limpa();
    Insere(Comando(1, 1, 1, 16, 'B', std::string("x") + g.codigo, "0000FF"));
    TMetafile m = Imprime();
    ASSERT_EQ(m.Operacoes.size(), 1u);
    EXPECT_EQ(Descreve(m.Operacoes[0]), "S0,0,19,16");  // ROUND(16 x 1.2)
    const TMetafile& faixa = *m.Operacoes[0].Figura;
    EXPECT_EQ(faixa.Width, 16);
    std::string relativo;
    for (const auto& op : faixa.Operacoes) {
      const int x = op.Tipo == Tipo::MoveTo ? op.Rect.Left : op.Rect.Right;
      const int y = op.Tipo == Tipo::MoveTo ? op.Rect.Top : op.Rect.Bottom;
      relativo += (relativo.empty() ? "" : " ") + std::string(op.Tipo == Tipo::MoveTo ? "M" : "L") +
                  std::to_string(x - 8) + "," + std::to_string(y - 4);
      EXPECT_EQ(op.Pen.Color, 0xFF0000);
    }
    EXPECT_EQ(relativo, g.tracos) << g.codigo;
  }
  // "xa" in the preview: nothing in the first cell, a single down-right corner in the second.
  EstadoRelatorio().paginas->Limpa();
  Insere(Comando(1, 2, 11, 16, 'B', "xa"));
  TMetafile m;
  DesenhaPagina(*rd, 1, m, true);
  EXPECT_EQ(Descreve(m.Operacoes.back()), "S133,53,152,69");
  EXPECT_EQ(Descreve(*m.Operacoes.back().Figura), "M12,11 L16,11 M12,11 L12,20");
}

TEST_F(Desenho, PicturesTakeTheirSizeFromTheCommand) {
  Abre();
  auto imagem = std::make_unique<TImagemRGB>(200, 100);
  imagem->Pixel(0, 99)[0] = 0x12;  // the bottom left pixel decides the transparent colour
  imagem->Pixel(0, 99)[2] = 0x34;
  rd->Imagens.push_back(std::move(imagem));
  const struct {
    const char* parametros;
    const char* destino;
  } casos[] = {
      {"000000000000000", "I19,16,219,116"},  // own size
      {"000000005000000", "I19,16,207,110"},  // 188 x 94
      {"000000005000030", "I19,16,208,129"},  // 189 x 113
      {"000000000000030", "I19,16,245,129"},  // 113 high, ROUND(113 / 100 x 200) = 226 wide
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    Insere(Comando(1, 2, 3, 16, 'G', c.parametros));
    TMetafile m = Imprime();
    ASSERT_EQ(m.Operacoes.size(), 1u) << c.parametros;
    const TOperacaoDesenho& op = m.Operacoes[0];
    EXPECT_EQ(Descreve(op), c.destino) << c.parametros;
    ASSERT_TRUE(op.Imagem);
    EXPECT_EQ(op.Imagem->largura, 200);
    EXPECT_TRUE(op.Transparente);
    EXPECT_EQ(CorTransparenteAutomatica(*op.Imagem), 0x340012);
  }
}

TEST_F(Desenho, MalformedParametersRaiseAndKeepWhatWasDrawn) {
  Abre();
  rd->Imagens.push_back(std::make_unique<TImagemRGB>(0, 0));
  const struct {
    char letra;
    const char* parametros;
    const char* mensagem;
  } casos[] = {
      {'H', "00a0500008S0", "'00a05' is not a valid integer value"},
      {'V', "0000500008S", "'' is not a valid integer value"},
      {'F', "00005xxxxxS", "'xxxxx' is not a valid integer value"},
      {'G', "0000100000", "List index out of bounds (1)"},
      {'G', "0000000a0000000", "'00a00' is not a valid integer value"},
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    Insere(Comando(1, 1, 1, 16, 'T', "antes"));
    Insere(Comando(1, 2, 1, 16, c.letra, c.parametros));
    Insere(Comando(1, 3, 1, 16, 'T', "depois"));
    TMetafile m;
    EXPECT_EQ(teste::ErroDe<base::Exception>([&] { DesenhaPagina(*rd, 1, m, false); }), c.mensagem)
        << c.parametros << " raised nothing";
    EXPECT_EQ(m.Operacoes.size(), 1u) << c.parametros;
  }
  // A picture without pixels draws nothing.
  EstadoRelatorio().paginas->Limpa();
  Insere(Comando(1, 2, 1, 16, 'G', "000000005000000"));
  EXPECT_TRUE(Imprime().Operacoes.empty());
}

TEST_F(Desenho, EntryWithBrokenFixedFieldsIsReportedAndSkipped) {
  Abre();
  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  Insere(Comando(1, 1, 1, 16, 'T', "bom"));
  Insere("00010a2001016T000000ruim");
  TMetafile m = Imprime();
  ASSERT_EQ(m.Operacoes.size(), 1u);
  EXPECT_EQ(m.Operacoes[0].Figura->Operacoes[0].Texto, "bom");
  EXPECT_EQ(erros, std::vector<std::string>{
                       "Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando 00010a2001016T000000ruim"});
}

TEST_F(Desenho, SearchMarkIsDrawnLastAndOnlyOnItsPage) {
  Abre();
  Insere(Comando(1, 1, 1, 16, 'T', "Jos\xE9"));
  Insere(Comando(1, 5, 1, 16, 'T', "outro"));
  Insere(Comando(1, 3, 1, 16, 'C', "27 64"));
  Insere(Comando(2, 1, 1, 16, 'T', "p2"));
  EstadoRelatorio().MarcaBusca = Comando(1, 1, 1, 16, 'M', "Jos\xE9");
  for (bool preview : {true, false}) {
    TMetafile m;
    DesenhaPagina(*rd, 1, m, preview);
    std::vector<std::string> textos;
    for (const auto& op : m.Operacoes)
      if (op.Tipo == Tipo::StretchDrawFigura) textos.push_back(op.Figura->Operacoes[0].Texto);
    ASSERT_EQ(textos, (std::vector<std::string>{"Jos\xE9", "outro", "Jos\xE9"}));
    const TBrush fundo = m.Operacoes.back().Figura->Operacoes[0].Brush;
    EXPECT_EQ(fundo.Style(), preview ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
    if (preview) {
      EXPECT_EQ(fundo.Color(), 0x80FFFF);
    }
    const TBrush proprio = m.Operacoes[m.Operacoes.size() - 3].Figura->Operacoes[0].Brush;
    EXPECT_EQ(proprio.Style(), TBrushStyle::bsClear);
  }
  TMetafile m;
  DesenhaPagina(*rd, 2, m, true);
  EXPECT_EQ(EstadoRelatorio().PaginaAtual, 2);
  int textos = 0;
  for (const auto& op : m.Operacoes) textos += op.Tipo == Tipo::StretchDrawFigura;
  EXPECT_EQ(textos, 1);
  // The store's own highlight entries are never drawn.
  EstadoRelatorio().MarcaBusca.clear();
  Insere(Comando(2, 2, 1, 16, 'M', "velha"));
  EXPECT_EQ(Imprime(2).Operacoes.size(), 1u);
  EXPECT_EQ(EstadoRelatorio().PaginaAtual, 2);  // print mode leaves the current page alone
}

TEST_F(Desenho, CancelInPrintStopsBetweenEntries) {
  Abre();
  for (int l = 1; l <= 4; ++l) Insere(Comando(1, l, 1, 16, 'T', "linha"));
  // Wherever the request comes, the page stops with fewer entries drawn, each whole (one text
  // each), and OnCancel fires once.
  EXPECT_TRUE(CancelaEmCadaPoll(
      [&] { return Imprime().Operacoes; },
      [](const auto& desenhadas, bool cancelado) { EXPECT_EQ(desenhadas.size() < 4, cancelado); }));
  int cancelados = 0;
  rd->OnCancel = [&](TRDprint&) { ++cancelados; };
  // The preview, and print without the progress window, do not look at a pending request.
  EstadoRelatorio().cancelamento = true;
  TMetafile m;
  DesenhaPagina(*rd, 1, m, true);
  rd->MostrarProgresso = false;
  EXPECT_EQ(Imprime().Operacoes.size(), 4u);
  EXPECT_EQ(cancelados, 0);
}

TEST_F(RelatorioTeste, PrintGeometryPlacesAndShrinksThePage) {
  const struct {
    int margem, borda, colunas, linhas, horz, vert;
    bool reduz;
    TRect destino;
  } casos[] = {
      // 600 dpi: a 10 mm margin is 236 dots, 136 beyond a 100-dot edge; 4 mm (94) is inside it.
      {10, 100, 100, 50, 7000, 6600, true, {136, 136, 136 + 6000 - 1, 136 + 5000 - 1}},
      {4, 100, 100, 50, 7000, 6600, true, {0, 0, 5999, 4999}},
      // 6000 x 5000 on 4800 x 6600 shrinks by 1.25 to 4800 x 4000; without the option it runs on.
      {0, 0, 100, 50, 4800, 6600, true, {0, 0, 4799, 3999}},
      {0, 0, 100, 50, 4800, 6600, false, {0, 0, 5999, 4999}},
      // A page that fits is never enlarged; margins over the whole area leave it unscaled.
      {0, 0, 10, 10, 4800, 6600, true, {0, 0, 599, 999}},
      {300, 0, 100, 50, 4800, 6600, true, {7086, 7086, 7086 + 5999, 7086 + 4999}},
  };
  for (const auto& c : casos) {
    rd->TamanhoQteColunas = c.colunas;
    rd->TamanhoQteLinhas = c.linhas;
    rd->Margens = TMargens{c.margem, c.margem, c.margem, c.margem};
    rd->ReduzParaCaber = c.reduz;
    rd->CalculaMedidas();
    TMedidasImpressora m;
    m.LOGPIXELSX = m.LOGPIXELSY = 600;
    m.PHYSICALOFFSETX = m.PHYSICALOFFSETY = c.borda;
    m.HORZRES = c.horz;
    m.VERTRES = c.vert;
    m.PHYSICALWIDTH = c.horz + 2 * c.borda;
    m.PHYSICALHEIGHT = c.vert + 2 * c.borda;
    EXPECT_EQ(DestinoPaginaGrafica(*rd, m), c.destino) << c.margem << " " << c.horz;
  }
}

TEST_F(Desenho, GraphicPrintingHandsTheBarePageOver) {
  Abre(true);
  Insere(Comando(1, 1, 1, 16, 'T', "texto"));
  TMedidasImpressora m;
  m.LOGPIXELSX = m.LOGPIXELSY = 96;
  m.HORZRES = m.PHYSICALWIDTH = 2000;
  m.VERTRES = m.PHYSICALHEIGHT = 2000;
  std::string recebido;
  ImprimePaginaGrafica(*rd, 1, m, [&](const TMetafile& f, const TRect& r) {
    recebido = std::to_string(f.Width) + "x" + std::to_string(f.Height) + " " + Descreve(f) +
               " -> " + std::to_string(r.Left) + "," + std::to_string(r.Right);
  });
  EXPECT_EQ(recebido, "1306x1056 S0,0,48,16 -> 37,1342");
  EXPECT_TRUE(EstadoRelatorio().paginaImpressa);
}

}  // namespace
