// TUpDown: the up-down arrows attached to the right of an edit box. The arrows (and the Up and
// Down keys, in the edit or on the arrows) step the number in the edit between a minimum and a
// maximum; what is typed into the edit is left to the edit.
#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace report {

class TUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TUpDown(QWidget* parent = nullptr);

  // Attaches the arrows to the right edge of `edit`, whose number they step.
  void Associa(QLineEdit* edit);
  void DefineFaixa(int minimo, int maximo);
  // The position, kept within the range; setting it writes the number into the edit.
  void DefinePosicao(int p);
  // One step up (+1) or down (-1) from the number the edit shows (the position when the edit
  // holds no number), kept within the range.
  void Passo(int sentido);

  QToolButton* Acima() const { return acima_; }
  QToolButton* Abaixo() const { return abaixo_; }

 protected:
  bool eventFilter(QObject* alvo, QEvent* evento) override;
  void keyPressEvent(QKeyEvent* evento) override;
  void resizeEvent(QResizeEvent* evento) override;

 private:
  QToolButton* acima_;
  QToolButton* abaixo_;
  QLineEdit* edit_ = nullptr;
  int minimo_ = 0, maximo_ = 100, posicao_ = 0;
};

}  // namespace report
