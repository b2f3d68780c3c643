#include "app/forms/TEdit.h"

#include <QFocusEvent>

namespace app::forms {

// The window's activation and popups move the focus in and out without a move between controls.
bool FocoDaJanela(Qt::FocusReason razao) {
  return razao == Qt::ActiveWindowFocusReason || razao == Qt::PopupFocusReason;
}

// A plain line edit.
TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

// The focus arrives: unless the window only came back to this edit, it is entered: the
// subclass's work, the text selected (not for a mouse click), then OnEnter.
void TEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (FocoDaJanela(e->reason()) && entrou_) return;
  entrou_ = true;
  AntesDeEntrar();
  if (e->reason() != Qt::MouseFocusReason) selectAll();
  if (OnEnter) OnEnter();
}

// The focus moves to another control: the edit is left. When the window only loses the focus,
// the edit stays entered.
void TEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (FocoDaJanela(e->reason())) return;
  Sai();
}

// Leaves the edit once: the subclass's work, then OnExit.
void TEdit::Sai() {
  if (!entrou_) return;
  entrou_ = false;
  if (!PodeSair()) return;
  if (OnExit) OnExit();
}

}  // namespace app::forms
