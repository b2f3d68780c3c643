#include "app/forms/ModeloGrade.h"

#include <QColor>

#include "app/forms/Aparencia.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

const ColunaGrade kColunasGrade[9] = {
    {Campo::ordem, "Ord:", 30},
    {Campo::lote, "Lote:", 50},
    {Campo::codigo,
     "C\xF3"
     "digo:",
     0},
    {Campo::nome, "Nome:", 204},
    {Campo::marca, "Marca:", 0},
    {Campo::quantidade, "Quantidade:", 0},
    {Campo::valor, "Valor:", 79},
    {Campo::totallote, "Total Unit. p/ Lote:", 0},
    {Campo::qtotallote, "Total por Lote:", 0},
};

// A model over the table; the rows are taken on Reinicia.
TModeloGrade::TModeloGrade(const TTabelaItens& tabela, QObject* parent)
    : QAbstractTableModel(parent), tabela_(tabela), fonteLote_(FonteJanela(kPixelsLote)) {}

// Rows known to the view (the table's rows at the last Reinicia).
int TModeloGrade::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : linhas_;
}

// The nine columns.
int TModeloGrade::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 9; }

// A cell: the field's display text of that row; lot totals only on a lot's last row, in red.
QVariant TModeloGrade::data(const QModelIndex& index, int role) const {
  int linha = index.row();
  if (!index.isValid() || linha >= tabela_.NumLinhas() || !tabela_.Aberta()) return {};
  const ColunaGrade& c = kColunasGrade[index.column()];
  switch (role) {
    case Qt::DisplayRole:
      return platform::toQString(tabela_.TextoExibicaoDaLinha(linha, c.campo));
    case Qt::FontRole:
      if (c.campo == Campo::lote) return fonteLote_;
      return {};
    case Qt::ForegroundRole:
      if (c.campo == Campo::totallote || c.campo == Campo::qtotallote) return CorVermelha();
      return {};
    case Qt::TextAlignmentRole:
      if (c.campo == Campo::ordem || c.campo == Campo::quantidade || c.campo == Campo::valor)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

// Column titles; the row indicator (an arrow, "I" while the row is edited) on the current row.
QVariant TModeloGrade::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= 9) return {};
    return platform::toQString(kColunasGrade[section].titulo);
  }
  if (section == linhaAtual_) return editando_ ? QStringLiteral("I") : QString(QChar(0x25B6));
  return QString();
}

// Cells are selectable, never editable.
Qt::ItemFlags TModeloGrade::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// The table was reset or loaded: the rows are taken again.
void TModeloGrade::Reinicia() {
  beginResetModel();
  linhas_ = tabela_.Aberta() ? tabela_.NumLinhas() : 0;
  linhaAtual_ = -1;
  endResetModel();
}

// The row count no longer matches the table.
bool TModeloGrade::Desatualizado() const {
  return linhas_ != (tabela_.Aberta() ? tabela_.NumLinhas() : 0);
}

// Values may have changed: one range notice, which the view turns into one repaint.
void TModeloGrade::Repinta() {
  if (linhas_ > 0) emit dataChanged(index(0, 0), index(linhas_ - 1, 8), {Qt::DisplayRole});
}

// Moves the row indicator.
void TModeloGrade::MarcaLinhaAtual(int linha, bool editando) {
  if (linha == linhaAtual_ && editando == editando_) return;
  int anterior = linhaAtual_;
  linhaAtual_ = linha;
  editando_ = editando;
  if (anterior >= 0 && anterior < linhas_) emit headerDataChanged(Qt::Vertical, anterior, anterior);
  if (linha >= 0 && linha < linhas_) emit headerDataChanged(Qt::Vertical, linha, linha);
}

}  // namespace app::forms
