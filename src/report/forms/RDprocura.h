// The preview's find dialog: the text to find, match case, the direction (down preset) and the
// find button, shown without a modal loop beside the preview. There is no whole-word option.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace report::forms {

class TDialogoProcura : public QDialog {
 public:
  explicit TDialogoProcura(QWidget* pai);

  // The text (Windows-1252) and the options as the user left them.
  std::string Texto() const;
  void DefineTexto(const std::string& texto);
  bool ParaBaixo() const;
  bool DiferenciaMaiusculas() const;

  // Run by the find button (the preview's FindDialog1Find).
  std::function<void()> OnFind;

  QLineEdit* edTexto;
  QCheckBox* chkMaiusculas;
  QRadioButton* rbAcima;
  QRadioButton* rbAbaixo;
  QPushButton* btLocalizar;
  QPushButton* btCancelar;
};

}  // namespace report::forms
