// The preview's scroll box.
#include "report/forms/RDrolagem.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace report::forms {

// A grey box, both bars as needed and tracking.
TScroller::TScroller(QWidget* pai) : QAbstractScrollArea(pai) {
  setFocusPolicy(Qt::NoFocus);
  viewport()->setBackgroundRole(QPalette::Window);
  viewport()->setAutoFillBackground(true);
  QPalette p = viewport()->palette();
  p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Base, QColor(0x80, 0x80, 0x80));
  viewport()->setPalette(p);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  horizontalScrollBar()->setTracking(true);
  verticalScrollBar()->setTracking(true);
  horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
  verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
}

// Puts the control into the viewport.
void TScroller::DefineConteudo(QWidget* conteudo) {
  conteudo_ = conteudo;
  conteudo_->setParent(viewport());
  conteudo_->show();
  Atualiza();
}

// The control's unscrolled place.
void TScroller::Posiciona(int left, int top) {
  left_ = left;
  top_ = top;
  Atualiza();
}

// Ranges that reach the control's far edges: none while it fits the box without bars, else
// against the viewport as it is (the bars' own appearing resizes it and comes back here).
void TScroller::Atualiza() {
  if (!conteudo_ || atualizando_) return;
  atualizando_ = true;
  const QSize extensao(std::max(0, left_ + conteudo_->width()),
                       std::max(0, top_ + conteudo_->height()));
  const QSize maximo = maximumViewportSize();
  QSize vista = viewport()->size();
  if (extensao.width() <= maximo.width() && extensao.height() <= maximo.height()) vista = maximo;
  horizontalScrollBar()->setPageStep(vista.width());
  horizontalScrollBar()->setSingleStep(20);
  horizontalScrollBar()->setRange(0, std::max(0, extensao.width() - vista.width()));
  verticalScrollBar()->setPageStep(vista.height());
  verticalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setRange(0, std::max(0, extensao.height() - vista.height()));
  atualizando_ = false;
  MoveConteudo();
}

// The control at its place less the scroll positions.
void TScroller::MoveConteudo() {
  if (conteudo_)
    conteudo_->move(left_ - horizontalScrollBar()->value(), top_ - verticalScrollBar()->value());
}

// A new size changes the ranges.
void TScroller::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  Atualiza();
}

// Scrolling moves the control.
void TScroller::scrollContentsBy(int, int) { MoveConteudo(); }

// The window handles the wheel.
void TScroller::wheelEvent(QWheelEvent* e) { e->ignore(); }

}  // namespace report::forms
