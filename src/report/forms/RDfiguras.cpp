// The report windows' own pictures, drawn with QPainter. The animation frames are drawn without
// antialiasing so that every background pixel stays exactly fuchsia.
#include "report/forms/RDfiguras.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace report::forms {

namespace {

constexpr int kQuadroLargura = 35, kQuadroAltura = 34, kQuadros = 6;

// A sheet of paper with a border and, optionally, `linhas` grey text lines.
void Folha(QPainter& p, const QRect& r, int linhas) {
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  p.setPen(QColor(128, 128, 128));
  for (int i = 0; i < linhas; ++i) {
    int y = r.top() + 4 + 3 * i;
    if (y > r.bottom() - 3) break;
    p.drawLine(r.left() + 3, y, r.right() - 3 - (i % 3) * 2, y);
  }
}

// Frame k of the reading strip: a written page and a magnifier going down its lines.
void QuadroLeitura(QPainter& p, int k) {
  Folha(p, QRect(4, 2, 21, 29), 8);
  const int cx = 18 - (k % 2) * 5, cy = 8 + 3 * k;
  p.setPen(QPen(QColor(120, 70, 20), 3));
  p.drawLine(cx + 4, cy + 4, cx + 9, cy + 9);
  p.setPen(QPen(QColor(20, 20, 20), 1));
  p.setBrush(QColor(190, 225, 250));
  p.drawEllipse(QPoint(cx, cy), 5, 5);
}

// Frame k of the printing strip: a printer taking paper in and giving a printed page out.
void QuadroImpressao(QPainter& p, int k) {
  Folha(p, QRect(10, 1, 15, 13 - k), 0);
  p.setPen(QColor(40, 40, 40));
  p.setBrush(QColor(150, 150, 160));
  p.drawRect(2, 11, 30, 12);
  p.setBrush(QColor(90, 90, 100));
  p.drawRect(6, 19, 22, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(k % 2 ? QColor(0, 200, 0) : QColor(0, 90, 0));
  p.drawRect(27, 13, 3, 2);
  Folha(p, QRect(9, 22, 17, 3 + 2 * k), k);
}

// Frame k of the writing strip: a page filling with lines and a pencil at the line being written.
void QuadroGravacao(QPainter& p, int k) {
  QRect folha(4, 2, 22, 30);
  Folha(p, folha, 0);
  p.setPen(QColor(20, 20, 120));
  for (int i = 0; i <= k; ++i) {
    int y = folha.top() + 5 + 4 * i;
    int fim = i < k ? folha.right() - 4 : folha.left() + 4 + 2 * (k + 1);
    p.drawLine(folha.left() + 3, y, fim, y);
  }
  const int x = folha.left() + 4 + 2 * (k + 1), y = folha.top() + 5 + 4 * k;
  QPolygon lapis;
  lapis << QPoint(x, y) << QPoint(x + 3, y - 2) << QPoint(x + 9, y - 10) << QPoint(x + 6, y - 12)
        << QPoint(x, y - 4);
  p.setPen(QColor(60, 40, 0));
  p.setBrush(QColor(240, 190, 40));
  p.drawPolygon(lapis);
  p.setBrush(QColor(40, 40, 40));
  p.drawRect(x, y - 2, 1, 1);
}

// A transparent square to draw a tool bar glyph on.
QPixmap Tela(int lado) {
  QPixmap px(lado, lado);
  px.fill(Qt::transparent);
  return px;
}

// A triangle pointing left or right, with an optional bar before it.
void Seta(QPainter& p, bool esquerda, bool barra, qreal deslocamento = 0) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 60, 140));
  QPolygonF t;
  if (esquerda)
    t << QPointF(12 + deslocamento, 3) << QPointF(12 + deslocamento, 13)
      << QPointF(6 + deslocamento, 8);
  else
    t << QPointF(4 + deslocamento, 3) << QPointF(4 + deslocamento, 13)
      << QPointF(10 + deslocamento, 8);
  p.drawPolygon(t);
  if (barra) p.drawRect(QRectF(esquerda ? 3 : 11, 3, 2, 10));
}

// A magnifier with a sign inside: '+', '-' or none.
void Lupa(QPainter& p, char sinal) {
  p.setPen(QPen(QColor(110, 70, 20), 2.5));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
  p.setPen(QPen(QColor(30, 30, 30), 1.2));
  p.setBrush(QColor(200, 230, 250));
  p.drawEllipse(QPointF(7, 7), 5, 5);
  if (sinal == '+' || sinal == '-') {
    p.setPen(QPen(QColor(30, 30, 30), 1.4));
    p.drawLine(QPointF(4.5, 7), QPointF(9.5, 7));
    if (sinal == '+') p.drawLine(QPointF(7, 4.5), QPointF(7, 9.5));
  }
}

// A small page outline for the page glyphs.
void Pagina(QPainter& p, const QRectF& r) {
  p.setPen(QColor(70, 70, 70));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

// A hand of the two cursors on a 32 x 32 transparent picture: open (fingers stretched) or
// grabbing (fingers curled over the palm).
QPixmap Mao(bool fechada) {
  QPixmap px(32, 32);
  px.fill(Qt::transparent);
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath mao;
  mao.addRoundedRect(QRectF(5, 12, 17, 14), 5, 5);
  const qreal topo = fechada ? 9.5 : 2.5;
  for (int i = 0; i < 4; ++i)
    mao.addRoundedRect(QRectF(5.5 + 4 * i, topo + (i % 3 ? 0 : 1.5), 4, 14), 2, 2);
  if (fechada)
    mao.addRoundedRect(QRectF(2.5, 14, 6, 4), 2, 2);
  else
    mao.addRoundedRect(QRectF(0.5, 14, 8, 4), 2, 2);
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(Qt::white);
  p.drawPath(mao.simplified());
  p.setPen(QPen(Qt::black, 0.8));
  for (int i = 1; i < 4; ++i)
    p.drawLine(QPointF(5.5 + 4 * i, fechada ? 11.5 : 9), QPointF(5.5 + 4 * i, 15));
  return px;
}

}  // namespace

// A strip of six frames on fuchsia.
QImage FaixaAnimacao(Animacao a) {
  QImage faixa(kQuadroLargura * kQuadros, kQuadroAltura, QImage::Format_RGB32);
  faixa.fill(kFundoFigura);
  QPainter p(&faixa);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int k = 0; k < kQuadros; ++k) {
    p.save();
    p.translate(kQuadroLargura * k, 0);
    p.setClipRect(0, 0, kQuadroLargura, kQuadroAltura);
    switch (a) {
      case Animacao::Leitura:
        QuadroLeitura(p, k);
        break;
      case Animacao::Impressao:
        QuadroImpressao(p, k);
        break;
      case Animacao::Gravacao:
        QuadroGravacao(p, k);
        break;
    }
    p.restore();
  }
  return faixa;
}

// A red disc with a white cross.
QIcon IconeCancelar() {
  QPixmap px = Tela(16);
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 30, 30));
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(QPointF(5, 5), QPointF(11, 11));
  p.drawLine(QPointF(11, 5), QPointF(5, 11));
  return QIcon(px);
}

// One tool bar glyph, 16 x 16.
QIcon IconePreview(GlifoPreview g) {
  QPixmap px = Tela(16);
  QPainter p(&px);
  p.setRenderHint(QPainter::Antialiasing);
  switch (g) {
    case GlifoPreview::Imprimir:
      Pagina(p, QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(150, 150, 160));
      p.drawRect(QRectF(1.5, 6.5, 13, 6));
      Pagina(p, QRectF(4.5, 10.5, 7, 4));
      break;
    case GlifoPreview::Setup:
      p.setPen(QPen(QColor(60, 60, 70), 2.2));
      for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(45 * i);
        p.drawLine(QPointF(-6.5, 0), QPointF(6.5, 0));
        p.restore();
      }
      p.setBrush(QColor(190, 190, 200));
      p.setPen(QPen(QColor(60, 60, 70), 1));
      p.drawEllipse(QPointF(8, 8), 4.2, 4.2);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
      break;
    case GlifoPreview::PDF:
      Pagina(p, QRectF(2.5, 0.5, 11, 15));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(200, 20, 20));
      p.drawRect(QRectF(1, 7, 14, 6));
      p.setPen(Qt::white);
      p.setFont([] {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(6);
        f.setBold(true);
        return f;
      }());
      p.drawText(QRectF(1, 7, 14, 6), Qt::AlignCenter, QStringLiteral("PDF"));
      break;
    case GlifoPreview::Email:
      p.setPen(QColor(60, 60, 60));
      p.setBrush(QColor(250, 240, 200));
      p.drawRect(QRectF(1.5, 3.5, 13, 9));
      p.drawLine(QPointF(1.5, 3.5), QPointF(8, 9));
      p.drawLine(QPointF(14.5, 3.5), QPointF(8, 9));
      break;
    case GlifoPreview::Salvar:
      p.setPen(QColor(20, 40, 110));
      p.setBrush(QColor(50, 90, 190));
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.drawRect(QRectF(3.5, 9.5, 9, 5));
      break;
    case GlifoPreview::Abrir:
      p.setPen(QColor(150, 110, 20));
      p.setBrush(QColor(250, 210, 80));
      p.drawRect(QRectF(1.5, 4.5, 13, 9));
      p.drawRect(QRectF(1.5, 2.5, 5, 2));
      break;
    case GlifoPreview::Procurar:
      Lupa(p, ' ');
      break;
    case GlifoPreview::Primeira:
      Seta(p, true, true, 1);
      break;
    case GlifoPreview::Anterior:
      Seta(p, true, false);
      break;
    case GlifoPreview::Direto:
      Pagina(p, QRectF(3.5, 1.5, 9, 13));
      p.setPen(QPen(QColor(20, 60, 140), 1.6));
      p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
      p.drawLine(QPointF(8.5, 5.5), QPointF(10.5, 8));
      p.drawLine(QPointF(8.5, 10.5), QPointF(10.5, 8));
      break;
    case GlifoPreview::Proxima:
      Seta(p, false, false);
      break;
    case GlifoPreview::Ultima:
      Seta(p, false, true, -1);
      break;
    case GlifoPreview::Largura:
      Pagina(p, QRectF(0.5, 3.5, 15, 9));
      p.setPen(QPen(QColor(20, 60, 140), 1.2));
      p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
      p.drawLine(QPointF(2.5, 8), QPointF(4.5, 6));
      p.drawLine(QPointF(2.5, 8), QPointF(4.5, 10));
      p.drawLine(QPointF(13.5, 8), QPointF(11.5, 6));
      p.drawLine(QPointF(13.5, 8), QPointF(11.5, 10));
      break;
    case GlifoPreview::Inteira:
      Pagina(p, QRectF(3.5, 0.5, 9, 15));
      p.setPen(QColor(150, 150, 150));
      for (int y = 3; y <= 12; y += 2) p.drawLine(QPointF(5, y + 0.5), QPointF(11, y + 0.5));
      break;
    case GlifoPreview::Aumenta:
      Lupa(p, '+');
      break;
    case GlifoPreview::Diminui:
      Lupa(p, '-');
      break;
    case GlifoPreview::Fechar:
      p.setPen(QColor(90, 50, 20));
      p.setBrush(QColor(170, 110, 60));
      p.drawRect(QRectF(3.5, 1.5, 9, 13));
      p.setBrush(QColor(250, 210, 80));
      p.drawEllipse(QPointF(10, 8.5), 1, 1);
      break;
  }
  return QIcon(px);
}

// The open hand, hot spot (10, 12).
QCursor CursorMao() { return QCursor(Mao(false), 10, 12); }

// The grabbing hand, hot spot (10, 12).
QCursor CursorPegou() { return QCursor(Mao(true), 10, 12); }

}  // namespace report::forms
