#include "app/forms/TDBGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

#include "app/forms/Aparencia.h"
#include "app/forms/ModeloGrade.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

namespace {
// The field's default display width in characters (texts: their width; numbers and totals: 10).
int LarguraExibicao(Campo c) {
  size_t largura = TTabelaItens::Largura(c);
  return largura ? static_cast<int>(largura) : 10;
}
}  // namespace

// The grid with its options: titles, row indicator, resizable columns, lines, whole-row selection.
TDBGrid::TDBGrid(QWidget* parent, TModeloGrade* modelo) : QTableView(parent), modelo_(modelo) {
  setModel(modelo);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(true);
  setShowGrid(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  QHeaderView* titulos = horizontalHeader();
  titulos->setSectionResizeMode(QHeaderView::Interactive);
  titulos->setHighlightSections(false);
  titulos->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  titulos->setFont(FonteJanela(kPixels8pt, true));
  titulos->setFixedHeight(19);
  QHeaderView* indicador = verticalHeader();
  indicador->setSectionResizeMode(QHeaderView::Fixed);
  indicador->setDefaultSectionSize(17);
  indicador->setMinimumSectionSize(10);
  indicador->setFixedWidth(12);
  indicador->setDefaultAlignment(Qt::AlignCenter);
  indicador->setHighlightSections(false);
  QFont fonteIndicador = FonteJanela(8);
  indicador->setFont(fonteIndicador);
  setStyleSheet(QStringLiteral(
      "QHeaderView::section { background-color: rgb(215,228,242); border: none;"
      " border-right: 1px solid rgb(160,160,160); border-bottom: 1px solid rgb(160,160,160);"
      " padding-left: 2px; }"
      "QHeaderView::section:horizontal { color: rgb(128,0,0); }"
      "QHeaderView::section:vertical { padding-left: 0px; color: black; }"));
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& atual, const QModelIndex&) {
            if (!mostrando_ && atual.isValid() && aoMudarLinha) aoMudarLinha(atual.row());
          });
  AjustaLarguras();
}

// Given widths where set; the others the larger of the field's display width in "0"s and the
// title, plus a small margin.
void TDBGrid::AjustaLarguras() {
  QFontMetrics celula(font());
  QFontMetrics titulo(horizontalHeader()->font());
  for (int i = 0; i < 9; ++i) {
    const ColunaGrade& c = kColunasGrade[i];
    int largura = c.largura;
    if (!largura) {
      largura = LarguraExibicao(c.campo) * celula.horizontalAdvance(QChar('0'));
      largura = std::max(largura, titulo.horizontalAdvance(platform::toQString(c.titulo)));
      largura += 4;
    }
    setColumnWidth(i, largura);
  }
}

// Makes the row current and visible without reporting it as the user's move.
void TDBGrid::MostraLinha(int linha) {
  mostrando_ = true;
  if (linha < 0 || linha >= modelo_->rowCount()) {
    selectionModel()->clear();
  } else {
    int coluna = currentIndex().isValid() ? currentIndex().column() : 0;
    QModelIndex i = modelo_->index(linha, coluna);
    if (i != currentIndex() || !selectionModel()->isRowSelected(linha, QModelIndex()))
      selectionModel()->setCurrentIndex(
          i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
  }
  mostrando_ = false;
}

// Ctrl+Delete goes to the window; other keys move as a grid does.
void TDBGrid::keyPressEvent(QKeyEvent* e) {
  if (aoSincronizar) aoSincronizar();
  if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) {
    e->accept();
    if (aoApagar) aoApagar();
    return;
  }
  QTableView::keyPressEvent(e);
}

}  // namespace app::forms
