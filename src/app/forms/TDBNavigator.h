// The navigator: four flat buttons (first, prior, next, last) that move the item table's current
// row and never take the focus; a button is disabled where it cannot move.
#pragma once

#include <QToolButton>
#include <QWidget>
#include <functional>

#include "app/forms/Figuras.h"

namespace app::forms {

class TDBNavigator : public QWidget {
  Q_OBJECT

 public:
  explicit TDBNavigator(QWidget* parent);

  QToolButton* Botao(BotaoNavegador b) const { return botoes_[static_cast<int>(b)]; }
  // Enables the buttons: all off on a closed or empty table, first/prior off at the start,
  // next/last off at the end.
  void Atualiza(bool aberta, bool vazia, bool inicio, bool fim);

  // A button was clicked.
  std::function<void(BotaoNavegador)> aoClicar;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  QToolButton* botoes_[4];
};

}  // namespace app::forms
