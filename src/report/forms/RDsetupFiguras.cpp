#include "report/forms/RDsetupFiguras.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <initializer_list>
#include <vector>

namespace report {

namespace {

// The transparent colour: fuchsia, never used by the drawings themselves.
const QColor kFundo(255, 0, 255);

// A picture drawn on a fuchsia background without antialiasing at its edges.
QImage Tela(int largura, int altura) {
  QImage img(largura, altura, QImage::Format_RGB888);
  img.fill(kFundo);
  return img;
}

// A QImage of Format_RGB888 as the engine's 24-bit picture.
TImagemRGB ParaRGB(const QImage& img) {
  TImagemRGB r(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y)
    std::copy_n(img.constScanLine(y), img.width() * 3, r.Pixel(0, y));
  return r;
}

// A small printer: the paper tray behind, the body, the output slot and a green lamp, in a box of
// `w` x `h` pixels at the origin.
void DesenhaImpressora(QPainter& p, int w, int h) {
  const int pw = w * 5 / 9, px = (w - pw) / 2;
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(px, 0, pw - 1, h * 5 / 8);  // paper
  p.setBrush(QColor(160, 160, 168));
  p.drawRect(0, h * 3 / 8, w - 1, h * 7 / 16);  // body
  p.setBrush(QColor(48, 48, 56));
  p.drawRect(px - 1, h * 3 / 8 + h * 7 / 16 - 2, pw + 1, 2);  // slot
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 170, 0));
  p.drawRect(w - 4 - w / 9, h * 3 / 8 + 2, w / 9 + 1, w / 9 + 1);  // lamp
  p.setPen(QColor(64, 64, 64));
  p.setBrush(Qt::white);
  p.drawRect(px, h * 13 / 16, pw - 1, h * 3 / 16 - 1);  // the printed sheet coming out
}

// Sheets in stacks, numbered at their top left corner; each stack is drawn from its first sheet
// to its last, every sheet a little lower and to the right of the one before, so that every
// number shows.
TImagemRGB Agrupamento(std::initializer_list<std::vector<int>> pilhas) {
  QImage img = Tela(93, 38);
  QPainter p(&img);
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(9);
  f.setBold(true);
  p.setFont(f);
  const int largura = 93 / static_cast<int>(pilhas.size());
  int x0 = 0;
  for (const std::vector<int>& pilha : pilhas) {
    for (size_t i = 0; i < pilha.size(); ++i) {
      const int x = x0 + 2 + static_cast<int>(i) * 6, y = 1 + static_cast<int>(i) * 5;
      p.setPen(QColor(64, 64, 64));
      p.setBrush(Qt::white);
      p.drawRect(x, y, 17, 26);
      p.setPen(Qt::black);
      p.drawText(QRect(x + 1, y, 6, 11), Qt::AlignCenter, QString::number(pilha[i]));
    }
    x0 += largura;
  }
  return ParaRGB(img);
}

}  // namespace

// The printer icon of the printer list, 18 x 16.
const TImagemRGB& IconeImpressora() {
  static const TImagemRGB icone = [] {
    QImage img = Tela(18, 16);
    QPainter p(&img);
    DesenhaImpressora(p, 18, 16);
    p.end();
    return ParaRGB(img);
  }();
  return icone;
}

// Collated: each copy whole, first page first.
const TImagemRGB& Img123123() {
  static const TImagemRGB f = Agrupamento({{1, 2, 3}, {1, 2, 3}});
  return f;
}

// Collated in reverse order.
const TImagemRGB& Img321321() {
  static const TImagemRGB f = Agrupamento({{3, 2, 1}, {3, 2, 1}});
  return f;
}

// Not collated: the copies of each page together.
const TImagemRGB& Img112233() {
  static const TImagemRGB f = Agrupamento({{1, 1}, {2, 2}, {3, 3}});
  return f;
}

// Not collated, in reverse order.
const TImagemRGB& Img332211() {
  static const TImagemRGB f = Agrupamento({{3, 3}, {2, 2}, {1, 1}});
  return f;
}

// The header icon, 32 x 32, on a transparent background.
QPixmap IconeCabecalho() {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.translate(1, 3);
  DesenhaImpressora(p, 30, 27);
  p.end();
  return QPixmap::fromImage(img);
}

}  // namespace report
