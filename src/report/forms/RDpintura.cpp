// Replaying recorded page pictures onto a QPainter: lines and rectangles snapped to device
// pixels (never thinner than one), text in the picture's font scaled with the picture, bitmaps
// with their transparent colour masked out; and the Qt text measure of the canvases.
#include "report/forms/RDpintura.h"

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "platform/qt/QtTexto.h"
#include "report/forms/RDaparencia.h"

namespace report {

namespace {

using forms::CorQt;  // a picture colour (red in the low byte), system colours as the windows'

// Text is laid out at kAmpliacao times its size and drawn scaled back: Qt sizes fonts in whole
// pixels, and 10 points at 96 dots per inch is 13 1/3 units (4 x Size pixels at three times the
// size is whole for every point size, and small enough for Qt's glyph caches).
constexpr int kAmpliacao = 3;

// The font of a picture, kAmpliacao times its em of Size points at 96 dots per inch.
QFont FonteQt(const TFont& f) {
  QFont q(platform::toQString(f.Name));
  q.setPixelSize(std::max(1, f.Size) * 96 * kAmpliacao / 72);
  q.setBold(f.Style.Contem(TFontStyle::fsBold));
  q.setItalic(f.Style.Contem(TFontStyle::fsItalic));
  q.setUnderline(f.Style.Contem(TFontStyle::fsUnderline));
  return q;
}

// A bitmap as a QImage; with `transparente`, the pixels of `cor` become transparent.
QImage ImagemQt(const TImagemRGB& b, bool transparente, TColor cor) {
  QImage rgb(b.pixels.data(), b.largura, b.altura, b.largura * 3, QImage::Format_RGB888);
  if (!transparente) return rgb.copy();
  QImage argb = rgb.convertToFormat(QImage::Format_ARGB32);
  const QRgb chave = qRgb(cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF);
  for (int y = 0; y < argb.height(); ++y) {
    auto* linha = reinterpret_cast<QRgb*>(argb.scanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if ((linha[x] & 0xFFFFFF) == (chave & 0xFFFFFF)) linha[x] = 0;
  }
  return argb;
}

// Replays operations with the painter's world transform mapping page units to the device.
class Reprodutor {
 public:
  explicit Reprodutor(QPainter& p) : p_(p) {}

  // Every operation of a picture, in order.
  void Reproduz(const TMetafile& m) {
    for (const TOperacaoDesenho& op : m.Operacoes) {
      switch (op.Tipo) {
        case TOperacaoDesenho::TTipo::MoveTo:
          break;
        case TOperacaoDesenho::TTipo::LineTo:
          Linha(op.Rect, op.Pen);
          break;
        case TOperacaoDesenho::TTipo::Rectangle:
          Retangulo(op);
          break;
        case TOperacaoDesenho::TTipo::Ellipse:
          Elipse(op);
          break;
        case TOperacaoDesenho::TTipo::FillRect:
          if (op.Brush.Style() == TBrushStyle::bsSolid)
            Preenche(QRectF(op.Rect.Left, op.Rect.Top, op.Rect.Right - op.Rect.Left,
                            op.Rect.Bottom - op.Rect.Top),
                     CorQt(op.Brush.Color()));
          break;
        case TOperacaoDesenho::TTipo::TextOut:
          Texto(op);
          break;
        case TOperacaoDesenho::TTipo::StretchDrawFigura:
          if (op.Figura) Figura(*op.Figura, op.Rect);
          break;
        case TOperacaoDesenho::TTipo::StretchDrawImagem:
          if (op.Imagem && op.Imagem->largura > 0 && op.Imagem->altura > 0)
            p_.drawImage(RetanguloQt(op.Rect), ImagemQt(*op.Imagem, op.Transparente,
                                                        CorTransparenteAutomatica(*op.Imagem)));
          break;
      }
    }
  }

 private:
  // Fills rectangles of page units, snapped to whole device pixels and at least one wide and
  // high, so thin strokes stay crisp and never vanish when zoomed out.
  void Preenche(const std::vector<QRectF>& retangulos, const QColor& cor) {
    const QTransform t = p_.worldTransform();
    std::vector<QRect> pixels;
    pixels.reserve(retangulos.size());
    for (const QRectF& r : retangulos) {
      if (r.width() <= 0 || r.height() <= 0) continue;
      const QRectF d = t.mapRect(r);
      const int x1 = static_cast<int>(std::lround(d.left())),
                y1 = static_cast<int>(std::lround(d.top()));
      const int x2 = std::max(static_cast<int>(std::lround(d.right())), x1 + 1),
                y2 = std::max(static_cast<int>(std::lround(d.bottom())), y1 + 1);
      pixels.emplace_back(x1, y1, x2 - x1, y2 - y1);
    }
    if (pixels.empty()) return;
    const QPen caneta = p_.pen();
    const QBrush pincel = p_.brush();
    p_.setWorldTransform(QTransform());
    p_.setPen(Qt::NoPen);
    p_.setBrush(cor);
    p_.drawRects(pixels.data(), static_cast<int>(pixels.size()));
    p_.setWorldTransform(t);
    p_.setPen(caneta);
    p_.setBrush(pincel);
  }
  void Preenche(const QRectF& r, const QColor& cor) { Preenche(std::vector<QRectF>{r}, cor); }

  // A line of cells from (Left, Top) to (Right, Bottom), its end point left out; dotted pens
  // paint every other cell.
  void Linha(const TRect& r, const TPen& pen) {
    if (pen.Style == TPenStyle::psClear) return;
    const int w = std::max(pen.Width, 1);
    const QColor cor = CorQt(pen.Color);
    const int dx = r.Right - r.Left, dy = r.Bottom - r.Top;
    if (dx == 0 && dy == 0) return;
    if (dx != 0 && dy != 0) {
      QPen q(cor, w, pen.Style == TPenStyle::psDot ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
      p_.setPen(q);
      p_.drawLine(QPointF(r.Left + 0.5, r.Top + 0.5), QPointF(r.Right + 0.5, r.Bottom + 0.5));
      return;
    }
    // Horizontal or vertical: the cells from the start up to, not including, the end, the pen's
    // width across.
    const int passos = std::abs(dx + dy), sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0),
              sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    const int meio = (w - 1) / 2;
    auto celulas = [&](int de, int ate) {  // cells de..ate-1 along the line
      const int ax = r.Left + sx * de, ay = r.Top + sy * de;
      const int bx = r.Left + sx * (ate - 1), by = r.Top + sy * (ate - 1);
      return QRectF(std::min(ax, bx) - (sx ? 0 : meio), std::min(ay, by) - (sy ? 0 : meio),
                    std::abs(bx - ax) + (sx ? 1 : w), std::abs(by - ay) + (sy ? 1 : w));
    };
    std::vector<QRectF> trechos;
    if (pen.Style == TPenStyle::psSolid) {
      trechos.push_back(celulas(0, passos));
    } else {
      trechos.reserve(static_cast<size_t>(passos / 2 + 1));
      for (int i = 0; i < passos; i += 2) trechos.push_back(celulas(i, i + 1));
    }
    Preenche(trechos, cor);
  }

  // A rectangle: inside with the brush, outline with the pen; without a pen it is one unit
  // smaller in width and height, as the platform's rectangles are.
  void Retangulo(const TOperacaoDesenho& op) {
    const TRect& r = op.Rect;
    const bool semCaneta = op.Pen.Style == TPenStyle::psClear;
    if (op.Brush.Style() == TBrushStyle::bsSolid) {
      const int reduz = semCaneta ? 1 : 0;
      Preenche(QRectF(r.Left, r.Top, r.Right - r.Left - reduz, r.Bottom - r.Top - reduz),
               CorQt(op.Brush.Color()));
    }
    if (semCaneta) return;
    Linha({r.Left, r.Top, r.Right - 1, r.Top}, op.Pen);
    Linha({r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1}, op.Pen);
    Linha({r.Right - 1, r.Bottom - 1, r.Left, r.Bottom - 1}, op.Pen);
    Linha({r.Left, r.Bottom - 1, r.Left, r.Top}, op.Pen);
  }

  // An ellipse inscribed in the rectangle, smoothed.
  void Elipse(const TOperacaoDesenho& op) {
    const TRect& r = op.Rect;
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing, true);
    if (op.Pen.Style == TPenStyle::psClear) {
      p_.setPen(Qt::NoPen);
    } else {
      QPen q(CorQt(op.Pen.Color), std::max(op.Pen.Width, 1));
      if (Escala() * q.widthF() < 1) q.setCosmetic(true), q.setWidth(1);
      p_.setPen(q);
    }
    if (op.Brush.Style() == TBrushStyle::bsSolid)
      p_.setBrush(CorQt(op.Brush.Color()));
    else
      p_.setBrush(Qt::NoBrush);
    p_.drawEllipse(QRectF(r.Left + 0.5, r.Top + 0.5, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
    p_.restore();
  }

  // A text with its cell's top left corner at the point, on the brush's colour when solid.
  void Texto(const TOperacaoDesenho& op) {
    const FonteMedida& f = Fonte(op.Font);
    const QString texto = platform::toQString(op.Texto);
    const QTransform anterior = p_.worldTransform();
    p_.translate(op.Rect.Left, op.Rect.Top);
    p_.scale(1.0 / kAmpliacao, 1.0 / kAmpliacao);
    if (op.Brush.Style() == TBrushStyle::bsSolid)
      p_.fillRect(QRectF(0, 0, f.metricas.horizontalAdvance(texto), f.metricas.height()),
                  CorQt(op.Brush.Color()));
    p_.setFont(f.fonte);
    p_.setPen(CorQt(op.Font.Color));
    p_.drawText(QPointF(0, f.metricas.ascent()), texto);
    p_.setWorldTransform(anterior);
  }

  // A picture font and its metrics, made once per replay.
  struct FonteMedida {
    TFont origem;
    QFont fonte;
    QFontMetricsF metricas;
  };
  const FonteMedida& Fonte(const TFont& f) {
    for (const FonteMedida& m : fontes_)
      if (m.origem == f) return m;
    QFont q = FonteQt(f);
    return fontes_.emplace_back(FonteMedida{f, q, QFontMetricsF(q)});
  }

  // Another picture stretched into the rectangle.
  void Figura(const TMetafile& m, const TRect& r) {
    if (m.Width <= 0 || m.Height <= 0) return;
    p_.save();
    p_.translate(r.Left, r.Top);
    p_.scale(static_cast<double>(r.Right - r.Left) / m.Width,
             static_cast<double>(r.Bottom - r.Top) / m.Height);
    Reproduz(m);
    p_.restore();
  }

  // Device pixels per page unit (the smaller axis).
  double Escala() const {
    const QTransform t = p_.worldTransform();
    return std::min(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
  }

  QPainter& p_;
  std::deque<FonteMedida> fontes_;
};

}  // namespace

// Replays the picture stretched into the destination rectangle.
void DesenhaMetafile(QPainter& p, const TMetafile& m, const QRectF& destino) {
  if (m.Width <= 0 || m.Height <= 0) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.translate(destino.topLeft());
  p.scale(destino.width() / m.Width, destino.height() / m.Height);
  Reprodutor(p).Reproduz(m);
  p.restore();
}

// (left, top, right, bottom) as (x, y, width, height).
QRectF RetanguloQt(const TRect& r) {
  return QRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

// Qt font metrics at 96 dots per inch as every canvas's text measure.
void InstalaMedidorQt() {
  InstalaMedidorTexto([](const TFont& f, std::string_view texto) {
    const QFontMetricsF fm(FonteQt(f));
    return static_cast<int>(
        std::lround(fm.horizontalAdvance(platform::toQString(texto)) / kAmpliacao));
  });
}

// The bitmap at (x, y) at its own size, its automatic transparent colour left out.
void DesenhaTransparente(QPainter& p, int x, int y, const TImagemRGB& bitmap) {
  if (bitmap.largura <= 0 || bitmap.altura <= 0) return;
  p.drawImage(QPoint(x, y), ImagemQt(bitmap, true, CorTransparenteAutomatica(bitmap)));
}

}  // namespace report
