// The preview's side panel of every match of the whole report: a text to list, match case, and
// the matches (page, line, the line's text); choosing one shows it in the preview.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "report/RDbusca.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace report::forms {

class TModeloOcorrencias;

class TPainelOcorrencias : public QWidget {
 public:
  explicit TPainelOcorrencias(QWidget* pai);

  // Lists every match of the text in the page store (the edit shows the text).
  void Lista(const std::string& texto, bool diferenciaMaiusculas);
  // Empties the list (the page store changed).
  void Limpa();
  const std::vector<TOcorrencia>& Ocorrencias() const;

  // Run when the user chooses a match (click, Enter, or moving onto it with the keys).
  std::function<void(const TOcorrencia&)> aoEscolher;

  QLineEdit* edTexto;
  QCheckBox* chkMaiusculas;
  QPushButton* btListar;
  QPushButton* btFechar;
  QLabel* lbResumo;
  QTreeView* tvOcorrencias;

 private:
  void Escolhe(int linha);
  TModeloOcorrencias* modelo_;
};

}  // namespace report::forms
