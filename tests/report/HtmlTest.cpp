// The HTML export: the head pieces, each entry's div, the sheets, progress and cancel, and the
// failures that leave the old file whole. Expected pieces are written out from the document
// layout, with the values computed by hand.
#include <unistd.h>

#include <filesystem>
#include <set>

#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

const std::string kFim = "</div></div></div></nowrap></body></html>";
const std::string kFolha = "<div class=\"folha\"><div class=pagina>";
const std::string kFechaFolha = "</div></div><footer></footer>";

// The head of a 10-cpi report, pieces in order, with the page geometry and colours given.
std::string Cabecalho(const std::string& titulo, int largura, int altura, int larguraTexto,
                      int alturaTexto, int esquerda, int topo, const std::string& papel,
                      const std::string& tinta,
                      const std::string& div = "div {font-family:Courier New;font-size:16px;") {
  const auto n = [](int v) { return std::to_string(v); };
  return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
         "<!-- /////////////////////////////////////////////////////////////////// -->"
         "<!-- //   Gerado com RDprint 6.1c- https://www.vek.com.br   // -->"
         "<!-- /////////////////////////////////////////////////////////////////// -->"
         "<html><head>"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
         "<title>" +
         titulo +
         "</title><style type=\"text/css\">"
         ".f05 {font-family:Courier New;font-size: 16px;Letter-spacing:10px}"
         ".f10 {font-family:Courier New;font-size: 16px;}"
         ".f12 {font-family:Courier New;font-size: 14px;}"
         ".f15 {font-family:Courier New;font-size: 13px;Letter-spacing:-1px}"
         ".f17 {font-family:Courier New;font-size: 11px;Letter-spacing:-1px}"
         ".f20 {font-family:Courier New;font-size: 10px;Letter-spacing:-1px}"
         ".e05 {font-family:Courier New;font-size: 20px;Letter-spacing:8px}"
         ".e10 {font-family:Courier New;font-size: 20px;Letter-spacing:8px}"
         ".e12 {font-family:Courier New;font-size: 20px;Letter-spacing:3px}"
         ".e15 {font-family:Courier New;font-size: 18px;Letter-spacing:3px}"
         ".e17 {font-family:Courier New;font-size: 15px;Letter-spacing:3px}"
         ".e20 {font-family:Courier New;font-size: 16px;Letter-spacing:0px}"
         "body {background-color: #c6c6c6;}footer {height:40px}"
         ".conteudo {width:" +
         n(largura) +
         "px; height: auto; padding-top:20px; position: relative; margin:0 auto;}"
         ".Folha {width:" +
         n(largura) + "px;Height:" + n(altura) + "px; background-color:#" + papel +
         "; position: relative; border: 1px solid black; -webkit-box-shadow: 0 0 25px 0 #030301; "
         "box-shadow: 0 0 25px 0 #030301;}"
         ".pagina {width:" +
         n(larguraTexto) + "px;Height:" + n(alturaTexto) + "px;left:" + n(esquerda) +
         "px;top:" + n(topo) + "px; background:#" + papel +
         ";position: absolute;  border: 1px dotted silver}" + div +
         "white-space:pre; backround-color:#" + papel + "; color:#" + tinta +
         "; position: absolute; z-index: 0; box-sizing: border-box;}"
         "@media print{.barra{display: none;}.sombra{display: none;}footer {page-break-after: "
         "always;}}"
         "@page {margin-left:" +
         n(esquerda) + "px;margin-top:" + n(topo) +
         "px;}"
         "@media print {html, body { height: 98%; margin: 0px 0px 0px 0px;}"
         "footer {page-break-after: always;}"
         ".conteudo {padding: 0px; margin: 0px border: 0px; height:0px;}"
         ".Folha {width:" +
         n(larguraTexto) + "px;Height:" + n(alturaTexto) +
         ";border: none;}.pagina {left: 0px; top:0px; border: none}}"
         "</style></head><body><nowrap><div class=\"conteudo\">";
}

// Decodes standard Base64 (the test's own reading of the picture data).
std::string DeBase64(std::string_view s) {
  const std::string alfabeto = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string r;
  uint32_t acc = 0;
  int bits = 0;
  for (char c : s) {
    if (c == '=') break;
    acc = (acc << 6) | static_cast<uint32_t>(alfabeto.find(c));
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      r += static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  return r;
}

// A 24-bit bitmap file of a w x h picture painted in one colour (blue, green, red bytes).
std::string BmpUniforme(int w, int h, uint8_t azul, uint8_t verde, uint8_t vermelho) {
  auto le = [](uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  const uint32_t linha = (static_cast<uint32_t>(w) * 3 + 3) / 4 * 4;
  std::string pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels += std::string{char(azul), char(verde), char(vermelho)};
    pixels.append(linha - 3 * static_cast<uint32_t>(w), '\0');
  }
  return "BM" + le(54 + linha * h, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(w, 4) + le(h, 4) +
         le(1, 2) + le(24, 2) + le(0, 4) + le(linha * h, 4) + std::string(16, '\0') + pixels;
}

class Html : public RelatorioTeste {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rd->Abrir());
    arquivo = Caminho("r.html");
  }
  // What the export wrote after the head of the default 80-column, 10-cpi report.
  std::string Corpo() {
    const std::string doc = LeArquivo(arquivo);
    const std::string cabecalho =
        Cabecalho(arquivo, 806, 1094, 768, 1056, 19, 19, "FFFFFF", "000000");
    EXPECT_EQ(doc.substr(0, cabecalho.size()), cabecalho);
    return doc.size() > cabecalho.size() ? doc.substr(cabecalho.size()) : "";
  }
  std::string arquivo;
  const TAtributos cpi12{TAtributo::aComprimir12};
};

}  // namespace

TEST_F(Html, AnEmptyStoreWritesTheHeadThenTheTail) {
  rd->MostrarProgresso = false;  // the export shows its progress anyway
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(LeArquivo(arquivo),
            Cabecalho(arquivo, 806, 1094, 768, 1056, 19, 19, "FFFFFF", "000000") + kFim);
  ASSERT_EQ(janelas.progressos.size(), 1u);
  EXPECT_EQ(janelas.progressos[0].caption, "Gerando HTML...");
  EXPECT_EQ(janelas.progressos[0].rotulo, arquivo);
  EXPECT_EQ(janelas.progressosFechados, 1);
}

TEST_F(Html, TheHeadFollowsTheDefaultPitchLinesMarginsAndColours) {
  rd->FonteTamanhoPadrao = TSize::S17cpp;
  rd->TamanhoQteLPP = TLinha::Oito;
  rd->TamanhoQteColunas = 136;
  rd->Margens = TMargens{10, 5, 7, 3};
  rd->OpcoesPreview.CorPapelPreview = 0xE0FFFF;  // light yellow
  rd->OpcoesPreview.CorLetraPreview = 0x000080;  // dark red
  rd->ConfiguraComandos(rd->Impressora, rd->TamanhoQteLinhas, rd->TamanhoQteLPP);
  rd->ImpF(2, 3, "dez", {TAtributo::aNormal10}, 0x000080);
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  // 136 x 96/17 = 768.0 -> 768; 66 x 12 = 792; margins 38, 19, 26, 11 pixels.
  EXPECT_EQ(LeArquivo(arquivo),
            Cabecalho(arquivo, 825, 829, 768, 792, 38, 26, "FFFFE0", "800000",
                      "div {font-family:Courier New;font-size:11px;Letter-spacing:-1px;") +
                kFolha + "<div class=\"f10\" style=\"top:12px;left:11px;\">dez</div>" + kFim);
}

TEST_F(Html, EachEntryBecomesItsPositionedDiv) {
  const TAtributos todos{TAtributo::aNormal10, TAtributo::aNegrito, TAtributo::aItalico,
                         TAtributo::aSublinhado};
  const struct {
    int linha, coluna;
    const char* letra;
    std::string texto;
    TAtributos fonte;
    TColor cor;
    std::string div;
  } casos[] = {
      {3, 20, "T", "Produto:", normal, clBlack,
       "<div style=\"top:32px;left:182px;\">Produto:</div>"},
      {1, 1, "X", "<&\">", normal, clBlack,
       "<div style=\"top:0px;left:0px;Width:38px;text-align:center;\">&lt;&amp;&quot;&gt;</div>"},
      {1, 1, "D", "0123456789", normal, clBlack,
       "<div style=\"top:0px;left:0px;Width:106px;text-align:right;\">0123456789</div>"},
      {1, 1, "D", "abc", cpi12, clBlack,
       "<div class=\"f12\" style=\"top:0px;left:0px;Width:32px;text-align:right;\">abc</div>"},
      {1, 1, "T", "x'y", todos, clBlack,
       "<div style=\"top:0px;left:0px;\"><u><i><b>x&apos;y</b></i></u></div>"},
      {1,
       5,
       "T",
       "EXP",
       {TAtributo::aExpandido},
       clBlack,
       "<div class=\"e10\" style=\"top:0px;left:38px;\">EXP</div>"},
      {1, 1, "T", "r", normal, 0x0000FF, "<div style=\"top:0px;left:0px;Color:#FF0000;\">r</div>"},
      {1,
       1,
       "X",
       "ab",
       {TAtributo::aComprimir20},
       0x00FF00,
       "<div class=\"f20\" style=\"top:0px;left:0px;Width:10px;Color:#00FF00;text-align:center;\">"
       "ab</div>"},
      {5, 1, "H", "0000500080S0", normal, clBlack,
       "<div style=\"left:5px;top:72px;width:758px;height:1px;border-Top:1px solid #000000;\">"
       "</div>"},
      {2, 3, "V", "0001000003D0", normal, clBlack,
       "<div style=\"left:24px;top:24px;width:1px;height:128px;border-Left:3px double #000000;\">"
       "</div>"},
      {1, 1, "F", "0000300011", normal, 0xFF0000,
       "<div style=\"left:5px;top:8px;width:96px;height:32px;border:1px solid #0000FF;\"></div>"},
      {1, 1, "C", "27 15", normal, clBlack, ""},  // other letters write nothing but the sheet
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    rd->AdicionaComando(c.linha, c.coluna, c.letra, c.texto, c.fonte, c.cor);
    ASSERT_TRUE(rd->GravaHTML(arquivo));
    EXPECT_EQ(Corpo(), kFolha + c.div + kFim) << c.letra << " " << c.texto;
  }
}

TEST_F(Html, WidthsAreExactRatiosRoundedHalfToEven) {
  // At 15 cpi an 8-character text is Round(8 x 6.4) = 51 pixels; centred at 12 cpi it is
  // 10 / 12 x 51 = 42.5 wide, which rounds to 42.
  rd->FonteTamanhoPadrao = TSize::S15cpp;
  rd->ConfiguraComandos(rd->Impressora, rd->TamanhoQteLinhas, rd->TamanhoQteLPP);
  rd->AdicionaComando(1, 1, "X", "12345678", cpi12, clBlack);
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_NE(LeArquivo(arquivo).find(
                "<div class=\"f12\" style=\"top:0px;left:0px;Width:42px;text-align:center;\">"),
            std::string::npos);
}

TEST_F(Html, PicturesAreBitmapFilesInBase64AtTheirSize) {
  auto imagem = std::make_unique<TImagemRGB>(2, 1);
  imagem->Pixel(0, 0)[0] = 0xFF;  // red
  imagem->Pixel(1, 0)[2] = 0xFF;  // blue
  rd->Imagens.push_back(std::move(imagem));
  rd->AdicionaComando(2, 2, "G", "000000000000000", normal, clBlack);
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(Corpo(),
            kFolha +
                "<div style=\"left:10px;top:16px;\"><img src=\"data:jpeg;base64,"
                "Qk0+AAAAAAAAADYAAAAoAAAAAgAAAAEAAAABABgAAAAAAAgAAAAAAAAAAAAAAAAAAAAAAAAAAAD//"
                "wAAAAA=\"></div>" +
                kFim);

  // A grey 3 x 2 picture at the sizes the millimetre fields ask for (3.7795 pixels per mm).
  auto cinza = std::make_unique<TImagemRGB>(3, 2);
  std::fill(cinza->pixels.begin(), cinza->pixels.end(), 0x80);
  rd->Imagens.push_back(std::move(cinza));
  const struct {
    const char* campos;
    int largura, altura;
  } casos[] = {{"000010000000000", 3, 2},   // natural size
               {"000010000000002", 12, 8},  // height 2 mm = 8 px, width in proportion
               {"000010000200000", 7, 5},   // width Trunc(7.56) = 7, height Round(4.67) = 5
               {"000010000100001", 4, 4}};
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    rd->AdicionaComando(1, 1, "G", c.campos, normal, clBlack);
    ASSERT_TRUE(rd->GravaHTML(arquivo));
    const std::string corpo = Corpo();
    const size_t inicio = corpo.find("base64,") + 7;
    EXPECT_EQ(DeBase64(corpo.substr(inicio, corpo.find('"', inicio) - inicio)),
              BmpUniforme(c.largura, c.altura, 0x80, 0x80, 0x80))
        << c.campos;
  }
}

TEST_F(Html, SheetsCloseOnlyWhenOneIsOpen) {
  const struct {
    std::vector<int> paginas;
    std::string corpo;
  } casos[] = {
      {{1, 2},
       kFolha + "<div style=\"top:0px;left:0px;\">p1</div>" + kFechaFolha + kFolha +
           "<div style=\"top:0px;left:0px;\">p2</div>" + kFim},
      {{2, 3},
       kFolha + "<div style=\"top:0px;left:0px;\">p2</div>" + kFechaFolha + kFolha +
           "<div style=\"top:0px;left:0px;\">p3</div>" + kFim},
      {{2}, kFolha + "<div style=\"top:0px;left:0px;\">p2</div>" + kFim},
  };
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    for (int p : c.paginas) {
      EstadoRelatorio().PaginaAtual = p;
      rd->ImpF(1, 1, "p" + std::to_string(p), normal, clBlack);
    }
    ASSERT_TRUE(rd->GravaHTML(arquivo));
    EXPECT_EQ(Corpo(), c.corpo) << c.paginas.size();
  }
  // An entry whose text is empty opens no sheet; macros are replaced.
  const std::string rdp =
      "<< RDprint 6.0 - Deltress Sistemas >>\r\nx\r\n000002\r\nT\r\n000066\r\n000080\r\n6\r\n"
      "F10\r\n\r\n0001001001016T000000\r\n0002001001016T000000&PAGE&\r\n";
  ASSERT_TRUE(rd->LeRDPDeMemoria(rdp, "m"));
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(Corpo(), kFolha + "<div style=\"top:0px;left:0px;\">2</div>" + kFim);
}

TEST_F(Html, ACancelledExportWritesTheShorterCompleteDocument) {
  for (int l = 1; l <= 3; ++l) rd->ImpF(l, 1, "L" + std::to_string(l), normal, clBlack);
  int cancelados = 0;
  rd->OnCancel = [&](TRDprint&) { ++cancelados; };
  janelas.cancelaNoPasso = 2;
  EXPECT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(cancelados, 1);
  EXPECT_EQ(Corpo(), kFolha + "<div style=\"top:0px;left:0px;\">L1</div>" + kFim);
  EXPECT_EQ(janelas.progressos.back().maximo, 3);
}

TEST_F(Html, OnSaveNamesTheFileAndAnEmptyNameIsRDprintHTML) {
  rd->OnSave = [](TRDprint&, std::string& nome) { nome += ".novo"; };
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_NE(LeArquivo(arquivo + ".novo").find("<title>" + arquivo + ".novo</title>"),
            std::string::npos);
  rd->OnSave = nullptr;
  const auto antes = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(arquivo).parent_path());
  const bool gravou = rd->GravaHTML("");
  std::filesystem::current_path(antes);
  EXPECT_TRUE(gravou);
  EXPECT_NE(LeArquivo(Caminho("RDprint.HTML")).find("<title>RDprint.HTML</title>"),
            std::string::npos);
}

TEST_F(Html, AFailedExportWritesNothingAndKeepsTheOldFile) {
  rd->ImpF(1, 1, "texto", normal, clBlack);
  const struct {
    const char* caso;
    std::function<void()> prepara;
    std::string mensagem;
  } casos[] = {
      {"cor do sistema", [&] { rd->OpcoesPreview.CorPapelPreview = clBtnFace; },
       "Range check error"},
      {"imagem fora da lista",
       [&] { rd->AdicionaComando(2, 1, "G", "000030000000000", normal, clBlack); },
       "List index out of bounds (3)"},
  };
  const TPreviewOptions opcoes = rd->OpcoesPreview;
  for (const auto& c : casos) {
    rd->OpcoesPreview = opcoes;
    EscreveArquivo(arquivo, "anterior");
    plataforma.erros.clear();
    c.prepara();
    EXPECT_FALSE(rd->GravaHTML(arquivo)) << c.caso;
    EXPECT_EQ(LeArquivo(arquivo), "anterior") << c.caso;
    EXPECT_EQ(plataforma.erros, std::vector<std::string>{c.mensagem}) << c.caso;
    EXPECT_EQ(janelas.progressosFechados, static_cast<int>(janelas.progressos.size()));
  }
  plataforma.erros.clear();
  EXPECT_FALSE(rd->GravaHTML(Caminho("falta/r.html")));
  ASSERT_EQ(plataforma.erros.size(), 1u);
  EXPECT_NE(plataforma.erros[0].find(Caminho("falta/r.html")), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Caminho("")), {}), 1);
}

TEST_F(Html, EveryClassATextUsesIsDefinedOnceInTheHead) {
  rd->TamanhoQteColunas = 136;
  int linha = 1;
  for (const TLinhaPitch& p : kPitches) {
    rd->ImpF(linha++, 1, "texto", {p.atributo}, clBlack);
    rd->ImpF(linha++, 1, "largo", {p.atributo, TAtributo::aExpandido}, clBlack);
  }
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  const std::string doc = LeArquivo(arquivo);
  const size_t corpo = doc.find("<body>");
  ASSERT_NE(corpo, std::string::npos);
  const std::string cabeca = doc.substr(0, corpo);
  std::set<std::string> usadas;
  for (size_t at = doc.find("class=\"", corpo); at != std::string::npos;
       at = doc.find("class=\"", at + 1)) {
    const std::string nome = doc.substr(at + 7, 4);  // "f12\"", or a sheet's class
    if (nome.back() == '"') usadas.insert(nome.substr(0, 3));
  }
  // The pitches other than the default (5 cpi is always expanded), and expanded text over the
  // default pitch.
  EXPECT_EQ(usadas, (std::set<std::string>{"f12", "f15", "f17", "f20", "e10"}));
  for (const std::string& c : usadas) {
    const std::string definicao = "." + c + " {font-family:Courier New;font-size: ";
    const size_t primeira = cabeca.find(definicao);
    EXPECT_NE(primeira, std::string::npos) << c;
    EXPECT_EQ(cabeca.find(definicao, primeira + 1), std::string::npos) << c;
  }
}
