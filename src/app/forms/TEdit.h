// The main window's edits with focus marking (edtlicitante, MeditCNPJ, and the base of the
// data-aware edits): a line edit that tells its window when the focus enters and leaves it. An
// entry is every arrival of the focus except the window coming back (after a dialog, a menu or
// another program) to the edit it was on; the edit entered by the keyboard or by the program gets
// its whole text selected, while a mouse click places the cursor.
#pragma once

#include <QLineEdit>
#include <functional>

namespace app::forms {

// True for the reasons the focus comes and goes with the window's activation or a popup, not
// because it moved between controls.
bool FocoDaJanela(Qt::FocusReason razao);

class TEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEdit(QWidget* parent);

  // Focus arrives (after the text was selected) / leaves.
  std::function<void()> OnEnter;
  std::function<void()> OnExit;

  // True between an entry and the leaving that follows it.
  bool Entrou() const { return entrou_; }
  // Leaving: the edit's own work, then OnExit. The window calls it for an edit that lost the focus
  // while the window was inactive, which no focus event reports.
  void Sai();

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  // A subclass's work on entry, before the text is selected.
  virtual void AntesDeEntrar() {}
  // A subclass's work on leaving; false keeps the focus here (OnExit does not run).
  virtual bool PodeSair() { return true; }

 private:
  bool entrou_ = false;
};

}  // namespace app::forms
