// The item grid: a table view over TModeloGrade with whole-row selection, no in-place editing,
// resizable columns, the row indicator, and Ctrl+Delete handed to the window (which asks first).
#pragma once

#include <QTableView>
#include <functional>

namespace app::forms {

class TModeloGrade;

class TDBGrid : public QTableView {
  Q_OBJECT

 public:
  TDBGrid(QWidget* parent, TModeloGrade* modelo);

  TModeloGrade* Modelo() const { return modelo_; }
  // Makes `linha` (0-based) the current, selected and visible row without telling aoMudarLinha.
  void MostraLinha(int linha);
  // Sets the column widths: the given ones, the others from the field's display width.
  void AjustaLarguras();

  // The user made another row current (0-based).
  std::function<void(int linha)> aoMudarLinha;
  // Ctrl+Delete on the current row.
  std::function<void()> aoApagar;
  // Brings the grid up to date before a key is handled (the window shows rows lazily).
  std::function<void()> aoSincronizar;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  TModeloGrade* modelo_;
  bool mostrando_ = false;
};

}  // namespace app::forms
