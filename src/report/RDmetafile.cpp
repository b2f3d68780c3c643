// The recording canvas and the text measurer it asks.
#include "report/RDmetafile.h"

namespace report {

namespace {
TMedidorTexto& Medidor() {
  static TMedidorTexto medidor;
  return medidor;
}
}  // namespace

// Installs the text measurer (empty: 8 units per character).
void InstalaMedidorTexto(TMedidorTexto medidor) { Medidor() = std::move(medidor); }

// The bottom left pixel's colour (black for an empty bitmap).
TColor CorTransparenteAutomatica(const TImagemRGB& imagem) {
  if (imagem.largura <= 0 || imagem.altura <= 0) return clBlack;
  const uint8_t* p = imagem.Pixel(0, imagem.altura - 1);
  return p[0] | (p[1] << 8) | (p[2] << 16);
}

// A canvas on `figura`, whose operations it replaces.
TMetafileCanvas::TMetafileCanvas(TMetafile& figura) : figura_(figura) { figura_.Operacoes.clear(); }

// Appends an operation with the current state.
TOperacaoDesenho& TMetafileCanvas::Nova(TOperacaoDesenho::TTipo tipo, const TRect& r) {
  TOperacaoDesenho& op = figura_.Operacoes.emplace_back();
  op.Tipo = tipo;
  op.Rect = r;
  op.Pen = Pen;
  op.Brush = Brush;
  return op;
}

// Moves the pen.
void TMetafileCanvas::MoveTo(int x, int y) {
  Nova(TOperacaoDesenho::TTipo::MoveTo, {x, y, x, y});
  x_ = x;
  y_ = y;
}

// A line from the pen position to (x, y).
void TMetafileCanvas::LineTo(int x, int y) {
  Nova(TOperacaoDesenho::TTipo::LineTo, {x_, y_, x, y});
  x_ = x;
  y_ = y;
}

// A rectangle outlined with the pen and filled with the brush.
void TMetafileCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Nova(TOperacaoDesenho::TTipo::Rectangle, {x1, y1, x2, y2});
}

// An ellipse inscribed in the rectangle.
void TMetafileCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Nova(TOperacaoDesenho::TTipo::Ellipse, {x1, y1, x2, y2});
}

// Fills with the brush; a clear brush paints nothing and records nothing.
void TMetafileCanvas::FillRect(const TRect& r) {
  if (Brush.Style() == TBrushStyle::bsClear) return;
  Nova(TOperacaoDesenho::TTipo::FillRect, r);
}

// A text in the current font, on the brush's background when the brush is solid.
void TMetafileCanvas::TextOut(int x, int y, std::string_view texto) {
  TOperacaoDesenho& op = Nova(TOperacaoDesenho::TTipo::TextOut, {x, y, x, y});
  op.Font = Font;
  op.Texto = texto;
}

// The width of a text in the current font.
int TMetafileCanvas::TextWidth(std::string_view texto) const {
  if (const TMedidorTexto& m = Medidor()) return m(Font, texto);
  return static_cast<int>(texto.size()) * 8;
}

// Another picture stretched into r.
void TMetafileCanvas::StretchDraw(const TRect& r, std::shared_ptr<const TMetafile> figura) {
  Nova(TOperacaoDesenho::TTipo::StretchDrawFigura, r).Figura = std::move(figura);
}

// A bitmap stretched into r, optionally leaving out its automatic transparent colour.
void TMetafileCanvas::StretchDraw(const TRect& r, std::shared_ptr<const TImagemRGB> imagem,
                                  bool transparente) {
  TOperacaoDesenho& op = Nova(TOperacaoDesenho::TTipo::StretchDrawImagem, r);
  op.Transparente = transparente;
  op.Imagem = std::move(imagem);
}

}  // namespace report
