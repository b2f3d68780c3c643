// The HTML export: the page geometry, colours and pitch classes of the head, each entry's div, the
// sheets, progress and cancel, and the failures that leave the old file whole. Expected values are
// computed by hand; the exact bytes of whole documents are pinned by the stored output digests.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

const std::string kFim = "</div></div></div></nowrap></body></html>";
const std::string kFolha = "<div class=\"folha\"><div class=pagina>";
const std::string kFechaFolha = "</div></div><footer></footer>";

// The declarations of the `n`-th rule of the head whose selector is `seletor` ("" when none).
std::string Regra(const std::string& doc, const std::string& seletor, int n = 0) {
  const std::string cabeca = doc.substr(0, doc.find("<body>"));
  size_t at = std::string::npos;
  for (int i = 0; i <= n; ++i) {
    at = cabeca.find(seletor + " {", at == std::string::npos ? 0 : at + 1);
    if (at == std::string::npos) return "";
  }
  const size_t abre = cabeca.find('{', at) + 1;
  return cabeca.substr(abre, cabeca.find('}', abre) - abre);
}

// The value of the property `nome` (any case) in a rule's declarations, "" when absent.
std::string Valor(const std::string& regra, const std::string& nome) {
  std::istringstream declaracoes(regra);
  for (std::string d; std::getline(declaracoes, d, ';');) {
    std::string chave = d.substr(0, d.find(':'));
    std::erase(chave, ' ');
    std::transform(chave.begin(), chave.end(), chave.begin(), ::tolower);
    if (chave == nome) return d.substr(d.find_first_not_of(' ', d.find(':') + 1));
  }
  return "";
}

// A length in pixels ("768px", or a bare "792"); 0 when absent.
int Px(const std::string& regra, const std::string& nome) {
  return std::atoi(Valor(regra, nome).c_str());
}

// The width a monospaced font gives each character under a rule: 0.6 em plus the spacing.
double Avanco(const std::string& regra) {
  return 0.6 * Px(regra, "font-size") + Px(regra, "letter-spacing");
}

// The rule that styles the div holding `texto`: its class, or the default div rule.
std::string RegraDoTexto(const std::string& doc, const std::string& texto) {
  const size_t fim = doc.find(">" + texto + "</div>");
  if (fim == std::string::npos) return "";
  const size_t inicio = doc.rfind("<div ", fim);
  const std::string div = doc.substr(inicio, fim - inicio);
  if (div.find("class=\"") == std::string::npos) return Regra(doc, "div");
  const size_t nome = div.find("class=\"") + 7;
  return Regra(doc, "." + div.substr(nome, div.find('"', nome) - nome));
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
  // What the export wrote after the head.
  std::string Corpo() {
    const std::string doc = LeArquivo(arquivo);
    const std::string conteudo = "<body><nowrap><div class=\"conteudo\">";
    const size_t at = doc.find(conteudo);
    EXPECT_NE(at, std::string::npos);
    return at == std::string::npos ? "" : doc.substr(at + conteudo.size());
  }
  std::string arquivo;
  const TAtributos cpi12{TAtributo::aComprimir12};
};

}  // namespace

TEST_F(Html, AnEmptyStoreWritesTheHeadThenTheTail) {
  rd->MostrarProgresso = false;  // the export shows its progress anyway
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(Corpo(), kFim);
  EXPECT_NE(LeArquivo(arquivo).find("charset=windows-1252"), std::string::npos);
  ASSERT_EQ(janelas.progressos.size(), 1u);
  EXPECT_EQ(janelas.progressos[0].caption, "Gerando HTML...");
  EXPECT_EQ(janelas.progressos[0].rotulo, arquivo);
  EXPECT_EQ(janelas.progressosFechados, 1);
}

TEST_F(Html, TheHeadFollowsTheDefaultPitchLinesMarginsAndColours) {
  // As "content width; sheet; text area and its place; printed: margins, size; paper, ink".
  const auto geometria = [](const std::string& doc) {
    const std::string folha = Regra(doc, ".Folha"), pagina = Regra(doc, ".pagina"),
                      margens = Regra(doc, "@page"), impressa = Regra(doc, ".Folha", 1);
    std::ostringstream s;
    s << Px(Regra(doc, ".conteudo"), "width") << "; " << Px(folha, "width") << 'x'
      << Px(folha, "height") << "; " << Px(pagina, "width") << 'x' << Px(pagina, "height") << '+'
      << Px(pagina, "left") << '+' << Px(pagina, "top") << "; " << Px(margens, "margin-left") << ','
      << Px(margens, "margin-top") << ' ' << Px(impressa, "width") << 'x' << Px(impressa, "height")
      << "; " << Valor(folha, "background-color") << ' ' << Valor(pagina, "background") << ' '
      << Valor(Regra(doc, "div"), "color");
    return s.str();
  };
  // 80 x 96/10 = 768 by 66 x 16 = 1056, margins of 5 mm = 19 pixels.
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(geometria(LeArquivo(arquivo)),
            "806; 806x1094; 768x1056+19+19; 19,19 768x1056; #FFFFFF #FFFFFF #000000");
  // 136 x 96/17 = 768.0 by 66 x 12 = 792; margins 38, 19, 26, 11 pixels.
  rd->FonteTamanhoPadrao = TSize::S17cpp;
  rd->TamanhoQteLPP = TLinha::Oito;
  rd->TamanhoQteColunas = 136;
  rd->Margens = TMargens{10, 5, 7, 3};
  rd->OpcoesPreview.CorPapelPreview = 0xE0FFFF;  // light yellow
  rd->OpcoesPreview.CorLetraPreview = 0x000080;  // dark red
  rd->ConfiguraComandos(rd->Impressora, rd->TamanhoQteLinhas, rd->TamanhoQteLPP);
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(geometria(LeArquivo(arquivo)),
            "825; 825x829; 768x792+38+26; 38,26 768x792; #FFFFE0 #FFFFE0 #800000");
  // A text in the ink colour names no colour of its own.
  rd->ImpF(2, 3, "dez", {TAtributo::aNormal10}, 0x000080);
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_EQ(Corpo(), kFolha + "<div class=\"f10\" style=\"top:12px;left:11px;\">dez</div>" + kFim);
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
    std::istringstream bmp(BmpUniforme(c.largura, c.altura, 0x80, 0x80, 0x80));
    std::ostringstream base64;
    CodificaBase64(bmp, base64);  // checked against the standard vectors
    EXPECT_NE(Corpo().find("base64," + base64.str() + "\""), std::string::npos) << c.campos;
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
  // The name is the title, escaped as any text.
  rd->OnSave = [](TRDprint&, std::string& nome) { nome += ".<novo>&"; };
  ASSERT_TRUE(rd->GravaHTML(arquivo));
  EXPECT_NE(
      LeArquivo(arquivo + ".<novo>&").find("<title>" + arquivo + ".&lt;novo&gt;&amp;</title>"),
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

TEST_F(Html, APictureLargerThanTheFilesTakeIsRefusedBeforeItsPixelsAreMade) {
  rd->Imagens.push_back(std::make_unique<TImagemRGB>(1, 1));
  // 75,590 pixels wide; 30,236 pixels a side.
  for (const char* campos : {"000002000000000", "000000800008000"}) {
    EstadoRelatorio().paginas->Limpa();
    rd->AdicionaComando(1, 1, "G", campos, normal, clBlack);
    EscreveArquivo(arquivo, "anterior");
    plataforma.erros.clear();
    EXPECT_FALSE(rd->GravaHTML(arquivo)) << campos;
    EXPECT_EQ(LeArquivo(arquivo), "anterior");
    EXPECT_EQ(plataforma.erros,
              std::vector<std::string>{
                  "A imagem 0 do relat\xF3rio n\xE3o cabe no HTML: cada lado deve ter no m\xE1ximo "
                  "65500 pixels, e a imagem no m\xE1ximo 100 milh\xF5"
                  "es de pixels. Corrija o tamanho "
                  "da imagem e gere o HTML de novo."});
  }
}

TEST_F(Html, TextOfEachPitchIsDrawnAtThatPitchsWidth) {
  // Courier New advances 0.6 em a character: a class's size and spacing must give the pitch's
  // width (96 / cpi pixels) within 10 %, and neighbouring pitches differ by more than that.
  rd->TamanhoQteColunas = 136;
  for (const TLinhaPitch& padrao : kPitches) {
    SCOPED_TRACE(padrao.cpi);
    EstadoRelatorio().paginas->Limpa();
    rd->FonteTamanhoPadrao = padrao.tamanho;
    rd->ConfiguraComandos(rd->Impressora, rd->TamanhoQteLinhas, rd->TamanhoQteLPP);
    // Expanded text is twice the default pitch's width, or the 5-cpi width over that pitch.
    std::vector<std::pair<std::string, double>> larguras = {
        {"largo", (padrao.cpi == 5 ? 96.0 : 192.0) / padrao.cpi}};
    rd->ImpF(1, 1, "largo", {padrao.atributo, TAtributo::aExpandido}, clBlack);
    int linha = 2;
    for (const TLinhaPitch& p : kPitches) {
      if (p.atributo == TAtributo::aExpandido) continue;
      larguras.emplace_back("cpi" + std::to_string(p.cpi), 96.0 / p.cpi);
      rd->ImpF(linha++, 1, larguras.back().first, {p.atributo}, clBlack);
    }
    ASSERT_TRUE(rd->GravaHTML(arquivo));
    const std::string doc = LeArquivo(arquivo);
    for (const auto& [texto, largura] : larguras)
      EXPECT_NEAR(Avanco(RegraDoTexto(doc, texto)), largura, largura / 10) << texto;
    // Each class is defined once.
    for (const TLinhaPitch& p : kPitches)
      for (const char* tipo : {".f", ".e"})
        EXPECT_EQ(Regra(doc, tipo + std::string(p.digitos), 1), "") << tipo << p.digitos;
  }
}
