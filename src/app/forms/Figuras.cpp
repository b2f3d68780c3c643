#include "app/forms/Figuras.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "app/forms/Aparencia.h"
#include "report/forms/RDfiguras.h"

namespace app::forms {

// The maker's logo: a blue emblem with the maker's initials over its trade.
QPixmap DesenhaLogo() {
  QPixmap px(99, 100);
  px.fill(Qt::white);
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fundo(0, 6, 0, 70);
  fundo.setColorAt(0, QColor(40, 110, 200));
  fundo.setColorAt(1, QColor(10, 50, 130));
  p.setPen(Qt::NoPen);
  p.setBrush(fundo);
  p.drawRoundedRect(QRectF(8, 6, 83, 64), 12, 12);
  p.setBrush(QColor(250, 190, 30));
  QPolygonF seta;
  seta << QPointF(18, 58) << QPointF(50, 40) << QPointF(81, 58) << QPointF(50, 50);
  p.drawPolygon(seta);
  p.setPen(Qt::white);
  QFont f = FonteJanela(30, true);
  p.setFont(f);
  p.drawText(QRectF(8, 4, 83, 44), Qt::AlignCenter, QStringLiteral("VEK"));
  p.setPen(QColor(10, 50, 130));
  p.setFont(FonteJanela(10, true));
  p.drawText(QRectF(0, 72, 99, 13), Qt::AlignCenter, QStringLiteral("Solução em"));
  p.drawText(QRectF(0, 85, 99, 13), Qt::AlignCenter, QString::fromUtf8("Gestão Municipal"));
  return px;
}

namespace {
// A 16 x 16 transparent picture to draw a glyph on.
QPixmap Tela() {
  QPixmap px(16, 16);
  px.fill(Qt::transparent);
  return px;
}
}  // namespace

// One navigator arrow: a dark triangle, with a bar for first and last.
QIcon IconeNavegador(BotaoNavegador b) {
  QPixmap px = Tela();
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  bool esquerda = b == BotaoNavegador::Primeiro || b == BotaoNavegador::Anterior;
  QPolygonF tri;
  if (esquerda)
    tri << QPointF(11, 3) << QPointF(11, 13) << QPointF(5, 8);
  else
    tri << QPointF(5, 3) << QPointF(5, 13) << QPointF(11, 8);
  p.drawPolygon(tri);
  if (b == BotaoNavegador::Primeiro) p.drawRect(QRectF(3, 3, 2, 10));
  if (b == BotaoNavegador::Ultimo) p.drawRect(QRectF(11, 3, 2, 10));
  return QIcon(px);
}

// The glyph of a command button.
QIcon IconeGlifo(Glifo g) {
  // The folder and the diskette are the preview's own.
  using report::forms::GlifoPreview;
  if (g == Glifo::Abrir) return report::forms::IconePreview(GlifoPreview::Abrir);
  if (g == Glifo::Gerar) return report::forms::IconePreview(GlifoPreview::Salvar);
  QPixmap px = Tela();
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  switch (g) {
    case Glifo::Abrir:
    case Glifo::Gerar:
      break;
    case Glifo::Ajuda:  // a question mark in a blue disc
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(30, 100, 210));
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setPen(Qt::white);
      p.setFont(FonteJanela(12, true));
      p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
      break;
    case Glifo::Relatorio:  // a page with lines
      p.setPen(QColor(90, 90, 90));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 1.5, 10, 13));
      for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
      break;
    case Glifo::Assinar: {  // a pen over a signature stroke
      QPainterPath traco;
      traco.moveTo(1, 13);
      traco.cubicTo(4, 8, 6, 16, 9, 12);
      p.setPen(QPen(QColor(20, 20, 140), 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawPath(traco);
      p.setPen(QPen(QColor(160, 30, 30), 2.5));
      p.drawLine(QPointF(9, 10), QPointF(15, 2));
      break;
    }
  }
  return QIcon(px);
}

}  // namespace app::forms
