// DesenhaPagina: the page's entries collected from the store, the paper drawn (preview) or left
// bare (print), then every entry in store order: lines, frames, semigraphic strings, pictures and
// text strips stretched to their pitch.
#include "report/RDdesenho.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/Erros.h"
#include "platform/Platform.h"
#include "report/RDcomando.h"
#include "report/RDestado.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"

namespace report {

namespace {

constexpr TColor kCinzaRemalina = 0xC0C0C0;
constexpr TColor kFuroRemalina = 0x808080;
constexpr TColor kZebra = 0xECFEE9;
constexpr TColor kGuiaMargem = 0xD8D8D8;
constexpr TColor kFundoMarca = 0x80FFFF;  // light yellow
constexpr double K = 96 / 25.4;           // page units per millimetre

// A computed coordinate as an integer; one that does not fit raises "Arithmetic overflow".
int Inteiro(double v) {
  if (!(v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()))
    throw base::EIntOverflow("Arithmetic overflow");
  return static_cast<int>(v);
}
// Rounds to the nearest integer, halves to even.
int Arredonda(double v) { return Inteiro(std::nearbyint(v)); }
// Truncates toward zero.
int Trunca(double v) { return Inteiro(std::trunc(v)); }

// Page units of n characters drawn at `cpi` in a report whose default cell factor is `fator`:
// 96 / cpi each, or twice the default cell when expanded (5 cpi).
double LarguraCaracteres(size_t n, int cpi, double fator) {
  const double base = static_cast<double>(n) * 8;
  return cpi != 5 ? base * 12 / cpi : base * fator * 2;
}

// The page's entries in store order (raw codes and highlights left out), then the search mark
// when it belongs to this page.
std::vector<std::string> ColetaPagina(int pagina) {
  const TEstadoRelatorio& e = EstadoRelatorio();
  std::vector<std::string> lista;
  if (e.paginas)
    e.paginas->ParaCadaDaPagina(pagina, [&](std::string_view c) {
      if (CodigoDe(c) != 'C' && CodigoDe(c) != 'M') lista.emplace_back(c);
      return true;
    });
  const std::string& marca = e.MarcaBusca;
  if (!marca.empty() && CampoDe(marca, kCampoPagina) == PrefixoPagina(pagina))
    lista.push_back(marca);
  return lista;
}

// The paper of the preview: colour, continuous-form edges and feed holes, striped lines, margin
// guide and border.
void DesenhaPapel(const TRDprint& rd, const TRDFolha& f, TMetafile& figura, TMetafileCanvas& c) {
  const int R = f.LarguraRemalina;
  c.Brush.SetColor(rd.OpcoesPreview.CorPapelPreview);
  c.Font.Color = rd.OpcoesPreview.CorLetraPreview;
  const int W = 2 * R + f.LarguraTexto + f.MargemEsquerda + f.MargemDireita;
  const int H = f.AlturaTexto + f.MargemSuperior + f.MargemInferior;
  figura.Width = W;
  figura.Height = H;
  c.FillRect({0, 0, W - 1, H - 1});
  if (rd.OpcoesPreview.Remalina) {
    c.Pen.Color = kCinzaRemalina;
    c.Pen.Style = TPenStyle::psDot;
    c.MoveTo(34, 0);
    c.LineTo(34, H - 1);
    c.MoveTo(W - 35, 0);
    c.LineTo(W - 35, H - 1);
    c.Pen.Style = TPenStyle::psSolid;
    c.Pen.Color = kCinzaRemalina;
    c.Brush.SetColor(kFuroRemalina);
    for (int k = 1; k <= H / 48; ++k) {
      const int t = (k - 1) * 48 + 24;
      c.Ellipse(10, t, 21, t + 11);
      c.Ellipse(W - 21, t, W - 10, t + 11);
    }
  }
  if (rd.OpcoesPreview.PaginaZebrada) {
    c.Brush.SetColor(kZebra);
    c.Pen.Style = TPenStyle::psClear;
    for (int k = 1; k <= rd.TamanhoQteLinhas - 1; k += 2)
      c.Rectangle(R + f.MargemEsquerda - 2, (k - 1) * f.AlturaLinha + f.MargemSuperior,
                  R + f.LarguraTexto + f.MargemEsquerda + 2, k * f.AlturaLinha + f.MargemSuperior);
  }
  c.Pen.Style = TPenStyle::psDot;
  c.Pen.Color = kGuiaMargem;
  const int esquerda = R + f.MargemEsquerda - 2, direita = W - f.MargemDireita - R + 2;
  const int topo = f.MargemSuperior - 2, base = H - f.MargemInferior + 2;
  c.MoveTo(esquerda, topo);
  c.LineTo(direita, topo);
  c.LineTo(direita, base);
  c.LineTo(esquerda, base);
  c.LineTo(esquerda, topo);
  c.Pen.Style = TPenStyle::psSolid;
  c.Pen.Color = clBlack;
  c.MoveTo(0, 0);
  c.LineTo(W - 1, 0);
  c.LineTo(W - 1, H - 1);
  c.LineTo(0, H - 1);
  c.LineTo(0, 0);
  c.Pen.Style = TPenStyle::psSolid;
  c.Pen.Color = rd.OpcoesPreview.CorLetraPreview;
}

// A point of the line tables: a horizontal and a vertical base plus offsets. Horizontal bases:
// 'c' cx, 'd' cx + dx, 'x' x, '8' x + 8; vertical: 'c' cy, 'd' cy + dy, 'y' y, 'L' y + L.
struct PontoTabela {
  char bx;
  int ox;
  char by;
  int oy;
};
using CaminhoTabela = std::vector<PontoTabela>;
using DesenhoTabela = std::vector<CaminhoTabela>;

// The strokes of "H" by style (0..3), single and double.
const DesenhoTabela kHorizontal[4][2] = {
    {{{{'c', 0, 'c', 0}, {'d', 0, 'c', 0}}},
     {{{'c', 0, 'c', -2}, {'d', 0, 'c', -2}}, {{'c', 0, 'c', 1}, {'d', 0, 'c', 1}}}},
    {{{{'c', 0, 'L', 0}, {'c', 0, 'c', 0}, {'d', 0, 'c', 0}, {'d', 0, 'L', 0}}},
     {{{'c', -2, 'L', 0}, {'c', -2, 'c', -2}, {'d', 1, 'c', -2}, {'d', 1, 'L', 0}},
      {{'c', 1, 'L', 0}, {'c', 1, 'c', 1}, {'d', -2, 'c', 1}, {'d', -2, 'L', 0}}}},
    {{{{'c', 0, 'y', 0}, {'c', 0, 'c', 0}, {'d', 0, 'c', 0}, {'d', 0, 'y', 0}}},
     {{{'c', -2, 'y', 0}, {'c', -2, 'c', 1}, {'d', 1, 'c', 1}, {'d', 1, 'y', 0}},
      {{'c', 1, 'y', 0}, {'c', 1, 'c', -2}, {'d', -2, 'c', -2}, {'d', -2, 'y', 0}}}},
    {{{{'c', 0, 'c', 0}, {'d', 0, 'c', 0}},
      {{'c', 0, 'y', 0}, {'c', 0, 'L', 0}},
      {{'d', 0, 'y', 0}, {'d', 0, 'L', 0}}},
     {{{'c', 1, 'y', 0}, {'c', 1, 'c', -2}, {'d', -2, 'c', -2}, {'d', -2, 'y', 0}},
      {{'c', 1, 'L', 0}, {'c', 1, 'c', 1}, {'d', -2, 'c', 1}, {'d', -2, 'L', 0}},
      {{'c', -2, 'y', 0}, {'c', -2, 'L', 0}},
      {{'d', 1, 'y', 0}, {'d', 1, 'L', 0}}}},
};

// The strokes of "V" by style (0..3), single and double.
const DesenhoTabela kVertical[4][2] = {
    {{{{'c', 0, 'c', 0}, {'c', 0, 'd', 0}}},
     {{{'c', -2, 'c', 0}, {'c', -2, 'd', 0}}, {{'c', 1, 'c', 0}, {'c', 1, 'd', 0}}}},
    {{{{'8', 0, 'c', 0}, {'c', 0, 'c', 0}, {'c', 0, 'd', 0}, {'8', 0, 'd', 0}}},
     {{{'8', 0, 'c', -2}, {'c', -2, 'c', -2}, {'c', -2, 'd', 1}, {'8', 0, 'd', 1}},
      {{'8', 0, 'c', 1}, {'c', 1, 'c', 1}, {'c', 1, 'd', -2}, {'8', 0, 'd', -2}}}},
    {{{{'x', 0, 'c', 0}, {'c', 0, 'c', 0}, {'c', 0, 'd', 0}, {'x', 0, 'd', 0}}},
     {{{'x', 0, 'c', -2}, {'c', 1, 'c', -2}, {'c', 1, 'd', 1}, {'x', 0, 'd', 1}},
      {{'x', 0, 'c', 1}, {'c', -2, 'c', 1}, {'c', -2, 'd', -2}, {'x', 0, 'd', -2}}}},
    {{{{'c', 0, 'c', 0}, {'c', 0, 'd', 0}},
      {{'x', 0, 'c', 0}, {'8', 0, 'c', 0}},
      {{'x', 0, 'd', 0}, {'8', 0, 'd', 0}}},
     {{{'8', 0, 'c', 1}, {'c', 1, 'c', 1}, {'c', 1, 'd', -2}, {'8', 0, 'd', -2}},
      {{'x', 0, 'c', 1}, {'c', -2, 'c', 1}, {'c', -2, 'd', -2}, {'x', 0, 'd', -2}},
      {{'x', 0, 'c', -2}, {'8', 0, 'c', -2}},
      {{'x', 0, 'd', 1}, {'8', 0, 'd', 1}}}},
};

// The frame "F" as closed paths, single and double.
const DesenhoTabela kMoldura[2] = {
    {{{'c', 0, 'c', 0}, {'d', 0, 'c', 0}, {'d', 0, 'd', 0}, {'c', 0, 'd', 0}, {'c', 0, 'c', 0}}},
    {{{'c', -2, 'c', -2},
      {'d', 1, 'c', -2},
      {'d', 1, 'd', 1},
      {'c', -2, 'd', 1},
      {'c', -2, 'c', -2}},
     {{'c', 1, 'c', 1},
      {'d', -2, 'c', 1},
      {'d', -2, 'd', -2},
      {'c', 1, 'd', -2},
      {'c', 1, 'c', 1}}},
};

// The values a line table's points are built from.
struct BasesLinha {
  int x, y, cx, cy, dx, dy, L, largura;
  // The horizontal coordinate of a table point.
  int X(const PontoTabela& p) const {
    switch (p.bx) {
      case 'c':
        return cx + p.ox;
      case 'd':
        return cx + dx + p.ox;
      case 'x':
        return x + p.ox;
      default:
        return x + largura + p.ox;
    }
  }
  // The vertical coordinate of a table point.
  int Y(const PontoTabela& p) const {
    switch (p.by) {
      case 'c':
        return cy + p.oy;
      case 'd':
        return cy + dy + p.oy;
      case 'y':
        return y + p.oy;
      default:
        return y + L + p.oy;
    }
  }
};

// Draws every path of a table entry.
void DesenhaTabela(TMetafileCanvas& c, const DesenhoTabela& tabela, const BasesLinha& b) {
  for (const CaminhoTabela& caminho : tabela) {
    c.MoveTo(b.X(caminho[0]), b.Y(caminho[0]));
    for (size_t i = 1; i < caminho.size(); ++i) c.LineTo(b.X(caminho[i]), b.Y(caminho[i]));
  }
}

// "H", "V" and "F": the end line, end column, double flag and (H, V) end style of the text.
// A field that does not convert raises its conversion error (also a missing end style).
void DesenhaLinha(TMetafileCanvas& c, const TRDFolha& f, const TComando& d, int x, int y) {
  const TLinhaComando l = DecodificaLinha(d);
  const int fimLinha = l.LinhaFinal.Valor();
  const int fimColuna = l.ColunaFinal.Valor();
  const bool dupla = l.Dupla;
  const int estilo = d.Codigo == 'F' ? 0 : l.Estilo.Valor();
  c.Pen.Color = d.Cor;
  c.Pen.Width = 1;
  BasesLinha b{};
  b.x = x;
  b.y = y;
  b.L = f.AlturaLinha;
  b.largura = f.LarguraBase;
  b.cx = x + f.MeiaLargura;
  b.cy = y + f.MeiaAltura;
  b.dx = Arredonda(static_cast<double>(fimColuna - d.Coluna) * f.LarguraBase * f.FatorLargura);
  b.dy = Inteiro(static_cast<double>(fimLinha - d.Linha) * f.AlturaLinha);
  if (d.Codigo == 'F')
    DesenhaTabela(c, kMoldura[dupla], b);
  else if (estilo >= 0 && estilo <= 3)
    DesenhaTabela(c, (d.Codigo == 'H' ? kHorizontal : kVertical)[estilo][dupla], b);
}

// "G": picture `indice` of the list at its own size, at a size in millimetres, or at one given
// side with its proportions kept. The index is checked before the size is read.
void DesenhaFigura(TMetafileCanvas& c, const TRDprint& rd, const TComando& d, int x, int y) {
  const TFiguraComando campos = DecodificaFigura(d);
  const int indice = campos.Indice.Valor();
  if (indice < 0 || static_cast<size_t>(indice) >= rd.Imagens.size())
    throw base::EListError("List index out of bounds (" + std::to_string(indice) + ")");
  const int largura = campos.Largura.Valor();
  const int altura = campos.Altura.Valor();
  const TImagemRGB* origem = rd.Imagens[static_cast<size_t>(indice)].get();
  // A picture without pixels has nothing to show (and no proportions to keep).
  if (!origem || origem->largura <= 0 || origem->altura <= 0) return;
  auto bitmap = std::make_shared<const TImagemRGB>(*origem);
  const double bw = bitmap->largura, bh = bitmap->altura;
  int w, h;
  if (largura == 0 && altura == 0) {
    w = bitmap->largura;
    h = bitmap->altura;
  } else if (largura != 0 && altura != 0) {
    w = Arredonda(largura * K);
    h = Arredonda(altura * K);
  } else if (largura != 0) {
    w = Trunca(largura * K);
    h = Arredonda(w / bw * bh);
  } else {
    h = Arredonda(altura * K);
    w = Arredonda(h / bh * bw);
  }
  c.StretchDraw({x, y, Inteiro(static_cast<double>(x) + w), Inteiro(static_cast<double>(y) + h)},
                std::move(bitmap), true);
}

// One stroke path of a semigraphic glyph, in cell coordinates (a, b).
using Traco = std::vector<std::pair<int, int>>;
struct Glifo {
  char codigo;
  std::vector<Traco> tracos;
};

// The 22 semigraphic glyphs.
const Glifo kGlifos[] = {
    {'=', {{{0, 5}, {8, 5}}, {{0, 8}, {8, 8}}}},
    {'I', {{{3, 0}, {3, 16}}, {{6, 0}, {6, 16}}}},
    {'#',
     {{{0, 5}, {3, 5}, {3, 0}},
      {{6, 0}, {6, 5}, {8, 5}},
      {{8, 8}, {6, 8}, {6, 16}},
      {{0, 8}, {3, 8}, {3, 16}}}},
    {'[',
     {{{3, 0}, {3, 16}}, {{6, 5}, {8, 5}}, {{6, 0}, {6, 5}}, {{6, 8}, {8, 8}}, {{6, 8}, {6, 16}}}},
    {']',
     {{{0, 5}, {3, 5}}, {{3, 0}, {3, 5}}, {{0, 8}, {3, 8}}, {{3, 8}, {3, 16}}, {{6, 0}, {6, 16}}}},
    {'T',
     {{{6, 8}, {8, 8}}, {{6, 8}, {6, 16}}, {{0, 8}, {3, 8}}, {{3, 8}, {3, 16}}, {{0, 5}, {8, 5}}}},
    {'V',
     {{{0, 5}, {3, 5}}, {{3, 0}, {3, 5}}, {{6, 5}, {8, 5}}, {{6, 0}, {6, 5}}, {{0, 8}, {8, 8}}}},
    {'A', {{{3, 5}, {8, 5}}, {{6, 8}, {8, 8}}, {{3, 5}, {3, 16}}, {{6, 8}, {6, 16}}}},
    {'B', {{{0, 5}, {6, 5}}, {{0, 8}, {3, 8}}, {{3, 8}, {3, 16}}, {{6, 5}, {6, 16}}}},
    {'C', {{{0, 5}, {3, 5}}, {{0, 8}, {6, 8}}, {{3, 0}, {3, 5}}, {{6, 0}, {6, 8}}}},
    {'D', {{{6, 5}, {8, 5}}, {{4, 8}, {8, 8}}, {{3, 0}, {3, 8}}, {{6, 0}, {6, 5}}}},
    {'-', {{{0, 7}, {8, 7}}}},
    {'i', {{{4, 0}, {4, 16}}}},
    {'+', {{{0, 7}, {8, 7}}, {{4, 0}, {4, 16}}}},
    {'t', {{{0, 7}, {8, 7}}, {{4, 7}, {4, 16}}}},
    {'v', {{{0, 7}, {8, 7}}, {{4, 0}, {4, 7}}}},
    {'<', {{{4, 0}, {4, 16}}, {{4, 7}, {8, 7}}}},
    {'>', {{{4, 0}, {4, 16}}, {{0, 7}, {4, 7}}}},
    {'a', {{{4, 7}, {8, 7}}, {{4, 7}, {4, 16}}}},
    {'b', {{{0, 7}, {4, 7}}, {{4, 7}, {4, 16}}}},
    {'c', {{{0, 7}, {4, 7}}, {{4, 0}, {4, 7}}}},
    {'d', {{{4, 7}, {8, 7}}, {{4, 0}, {4, 7}}}},
};

// "B": each glyph's strokes in a strip of 8 units per character, stretched to the default cell.
void DesenhaSemigrafico(TMetafileCanvas& c, const TRDFolha& f, const TComando& d, int x, int y) {
  const std::string& t = d.Texto;
  auto faixa = std::make_shared<TMetafile>();
  faixa->Width = Inteiro(static_cast<double>(t.size()) * 8);
  faixa->Height = f.AlturaLinha;
  {
    TMetafileCanvas g(*faixa);
    g.Pen.Color = d.Cor;
    for (size_t j = 1; j <= t.size(); ++j) {
      const Glifo* glifo = nullptr;
      for (const Glifo& candidato : kGlifos)
        if (candidato.codigo == t[j - 1]) glifo = &candidato;
      if (!glifo) continue;
      const int ox = Inteiro((static_cast<double>(j) - 2) * 8 + f.MeiaAltura);
      const int oy = f.MeiaLargura;
      for (const Traco& traco : glifo->tracos) {
        g.MoveTo(ox + traco[0].first, oy + traco[0].second);
        for (size_t i = 1; i < traco.size(); ++i)
          g.LineTo(ox + traco[i].first, oy + traco[i].second);
      }
    }
  }
  const int direita = Arredonda(static_cast<double>(t.size()) * 8 * f.FatorLargura + x);
  c.StretchDraw({x, y, direita, y + f.AlturaLinha}, std::move(faixa));
}

// A text in a strip of 8 units per character, aligned by its measured width ("D", "X") and
// stretched to the width its pitch gives.
void DesenhaTexto(TMetafileCanvas& c, const TRDFolha& f, const TComando& d, bool preview, int x,
                  int y) {
  const std::string& texto = d.Texto;
  const size_t n = texto.size();
  auto faixa = std::make_shared<TMetafile>();
  faixa->Width = Inteiro(static_cast<double>(n) * 8);
  faixa->Height = f.AlturaLinha;
  {
    TMetafileCanvas t(*faixa);
    t.Font.Name = f.NomeFonte;
    t.Font.Size = f.TamanhoFonte;
    t.Font.Color = d.Cor;
    t.Font.Style = {};
    if (d.Sublinhado) t.Font.Style.Inclui(TFontStyle::fsUnderline);
    if (d.Negrito) t.Font.Style.Inclui(TFontStyle::fsBold);
    if (d.Italico) t.Font.Style.Inclui(TFontStyle::fsItalic);
    t.Pen.Color = d.Cor;
    t.Brush.SetColor(clWhite);
    t.Brush.SetStyle(TBrushStyle::bsClear);
    if (preview && d.Codigo == 'M') t.Brush.SetColor(kFundoMarca);
    if (d.Codigo == 'D')
      x = Inteiro(static_cast<double>(x) + faixa->Width - t.TextWidth(texto));
    else if (d.Codigo == 'X')
      x = Inteiro(x + Arredonda((faixa->Width - static_cast<double>(t.TextWidth(texto))) / 2));
    t.TextOut(0, 0, texto);
  }
  const int direita = Arredonda(LarguraCaracteres(n, d.Cpi, f.FatorLargura) + x);
  c.StretchDraw({x, y, direita, y + f.AlturaLinha}, std::move(faixa));
}

// Readies the picture: decorated as paper in the preview, a white text area otherwise.
void PreparaFigura(TRDprint& rd, const TRDFolha& f, TMetafile& Figura, TMetafileCanvas& c,
                   bool Preview) {
  c.Font.Name = f.NomeFonte;
  c.Font.Size = f.TamanhoFonte;
  c.Pen.Style = TPenStyle::psSolid;
  if (Preview) {
    DesenhaPapel(rd, f, Figura, c);
    return;
  }
  Figura.Width = f.LarguraTexto;
  Figura.Height = f.AlturaTexto;
  c.Brush.SetColor(clWhite);
  c.Brush.SetStyle(TBrushStyle::bsClear);
  c.Font.Color = clBlack;
  c.Pen.Style = TPenStyle::psSolid;
  c.Pen.Color = clBlack;
  c.FillRect({0, 0, Figura.Width - 1, Figura.Height - 1});
}

// Draws one decoded entry at its line and column.
void DesenhaComando(TMetafileCanvas& c, TRDprint& rd, const TRDFolha& f, const TComando& d,
                    bool Preview) {
  int x = Arredonda((d.Coluna - 1.0) * f.LarguraBase * f.FatorLargura);
  int y = Inteiro((d.Linha - 1.0) * f.AlturaLinha);
  if (Preview) {
    x = Inteiro(static_cast<double>(x) + f.LarguraRemalina + f.MargemEsquerda);
    y = Inteiro(static_cast<double>(y) + f.MargemSuperior);
  }
  switch (d.Codigo) {
    case 'G':
      DesenhaFigura(c, rd, d, x, y);
      return;
    case 'H':
    case 'V':
    case 'F':
      DesenhaLinha(c, f, d, x, y);
      return;
    case 'B':
      if (!d.Texto.empty()) DesenhaSemigrafico(c, f, d, x, y);
      return;
    default:
      if (!d.Texto.empty()) DesenhaTexto(c, f, d, Preview, x, y);
  }
}

}  // namespace

// Draws one page into the picture, decorated as paper in the preview.
void DesenhaPagina(TRDprint& rd, int Pagina, TMetafile& Figura, bool Preview) {
  TEstadoRelatorio& e = EstadoRelatorio();
  const TRDFolha& f = e.folha;
  if (Preview) e.PaginaAtual = Pagina;
  const std::vector<std::string> entradas = ColetaPagina(Pagina);

  TMetafileCanvas c(Figura);
  PreparaFigura(rd, f, Figura, c, Preview);
  TLeitorComandos leitor(rd);
  for (const std::string& comando : entradas) {
    if (!Preview && rd.MostrarProgresso) {
      platform::current().processMessages();
      if (e.cancelamento) {
        if (rd.OnCancel) rd.OnCancel(rd);
        break;
      }
    }
    // An entry whose fixed fields do not decode has been reported ("Erro #10"); drawing it would
    // repeat the fields of the entry before it.
    if (const TComando* lido = leitor.Le(comando)) DesenhaComando(c, rd, f, *lido, Preview);
  }
}

}  // namespace report
