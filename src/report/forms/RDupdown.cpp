#include "report/forms/RDupdown.h"

#include <QKeyEvent>
#include <algorithm>

namespace report {

// Two arrow buttons, one above the other, repeating while held.
TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), acima_(new QToolButton(this)), abaixo_(new QToolButton(this)) {
  for (QToolButton* b : {acima_, abaixo_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  acima_->setArrowType(Qt::UpArrow);
  abaixo_->setArrowType(Qt::DownArrow);
  setFocusPolicy(Qt::StrongFocus);
  connect(acima_, &QToolButton::clicked, this, [this] { Passo(+1); });
  connect(abaixo_, &QToolButton::clicked, this, [this] { Passo(-1); });
}

// Stands at the edit's right edge, as high as the edit, and hears its Up and Down keys.
void TUpDown::Associa(QLineEdit* edit) {
  edit_ = edit;
  const QRect g = edit->geometry();
  setGeometry(g.right() + 1, g.top(), 17, g.height());
  edit->installEventFilter(this);
}

// The range, with the position moved into it.
void TUpDown::DefineFaixa(int minimo, int maximo) {
  minimo_ = minimo;
  maximo_ = std::max(minimo, maximo);
  DefinePosicao(posicao_);
}

// The position within the range, shown in the edit.
void TUpDown::DefinePosicao(int p) {
  posicao_ = std::clamp(p, minimo_, maximo_);
  if (edit_) edit_->setText(QString::number(posicao_));
}

// Steps from the edit's number.
void TUpDown::Passo(int sentido) {
  int atual = posicao_;
  if (edit_) {
    bool ok = false;
    const int n = edit_->text().toInt(&ok);
    if (ok) atual = std::clamp(n, minimo_, maximo_);
  }
  DefinePosicao(atual + sentido);
}

// Up and Down in the edit step the number.
bool TUpDown::eventFilter(QObject* alvo, QEvent* evento) {
  if (alvo == edit_ && evento->type() == QEvent::KeyPress) {
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Up || tecla == Qt::Key_Down) {
      Passo(tecla == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(alvo, evento);
}

// Up and Down on the arrows themselves.
void TUpDown::keyPressEvent(QKeyEvent* evento) {
  if (evento->key() == Qt::Key_Up || evento->key() == Qt::Key_Down)
    Passo(evento->key() == Qt::Key_Up ? +1 : -1);
  else
    QWidget::keyPressEvent(evento);
}

// The two arrows share the height.
void TUpDown::resizeEvent(QResizeEvent*) {
  const int meio = height() / 2;
  acima_->setGeometry(0, 0, width(), meio);
  abaixo_->setGeometry(0, meio, width(), height() - meio);
}

}  // namespace report
