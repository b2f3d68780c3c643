// The grid's view of the item table: nine columns read straight from the rows (no copy), the lot
// totals through their display handler, and the row indicator of the current row. It never
// rebuilds on a data change: the window tells it when the row count changed or rows were repainted.
#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include "app/TabelaItens.h"

namespace app::forms {

// One grid column: its field, title and width (0: the field's default width).
struct ColunaGrade {
  Campo campo;
  const char* titulo;  // Windows-1252
  int largura;
};
// The nine columns, in order.
extern const ColunaGrade kColunasGrade[9];

class TModeloGrade : public QAbstractTableModel {
  Q_OBJECT

 public:
  TModeloGrade(const TTabelaItens& tabela, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The table was reset or loaded: the rows are taken again.
  void Reinicia();
  // The row count no longer matches the table.
  bool Desatualizado() const;
  // Values may have changed: the visible cells are repainted.
  void Repinta();
  // Moves the row indicator (0-based row, -1 none) and its edit mark.
  void MarcaLinhaAtual(int linha, bool editando);

 private:
  const TTabelaItens& tabela_;
  int linhas_ = 0;
  int linhaAtual_ = -1;
  bool editando_ = false;
  QFont fonteLote_;
};

}  // namespace app::forms
