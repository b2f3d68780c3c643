// The preview's scroll box: a grey area with scroll bars around one control placed at a fixed
// position, as a scroll box of the window system does it. The scroll range reaches the control's
// right and bottom edges; scrolling moves the control, never resizes it. The box takes no focus
// and leaves the wheel to its window.
#pragma once

#include <QAbstractScrollArea>

namespace report::forms {

class TScroller : public QAbstractScrollArea {
 public:
  explicit TScroller(QWidget* pai);

  // The control shown in the box (it becomes a child of the viewport).
  void DefineConteudo(QWidget* conteudo);
  // Places the control at (left, top) of the unscrolled box and updates the scroll bars.
  void Posiciona(int left, int top);
  int ConteudoLeft() const { return left_; }
  int ConteudoTop() const { return top_; }
  // Recomputes the scroll ranges after the control's size changed.
  void Atualiza();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void MoveConteudo();
  QWidget* conteudo_ = nullptr;
  int left_ = 0, top_ = 0;
  bool atualizando_ = false;
};

}  // namespace report::forms
