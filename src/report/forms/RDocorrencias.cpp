// The side panel of every match.
#include "report/forms/RDocorrencias.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/qt/QtTexto.h"

namespace report::forms {

// The matches as a three-column table: page, line of the grid, the line's text.
class TModeloOcorrencias : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  std::vector<TOcorrencia> itens;

  // Replaces the matches.
  void Define(std::vector<TOcorrencia> novos) {
    beginResetModel();
    itens = std::move(novos);
    endResetModel();
  }
  // One row per match.
  int rowCount(const QModelIndex& pai) const override {
    return pai.isValid() ? 0 : static_cast<int>(itens.size());
  }
  // Page, line, text.
  int columnCount(const QModelIndex& pai) const override { return pai.isValid() ? 0 : 3; }
  // The cell texts (the line as stored, not the search's line + 1).
  QVariant data(const QModelIndex& i, int papel) const override {
    if (!i.isValid() || static_cast<size_t>(i.row()) >= itens.size()) return {};
    const TOcorrencia& o = itens[static_cast<size_t>(i.row())];
    if (papel == Qt::TextAlignmentRole && i.column() < 2)
      return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (papel != Qt::DisplayRole) return {};
    switch (i.column()) {
      case 0:
        return o.achado.pagina;
      case 1:
        return o.achado.linha - 1;
      default:
        return platform::toQString(o.textoLinha);
    }
  }
  // The column titles.
  QVariant headerData(int secao, Qt::Orientation o, int papel) const override {
    if (o != Qt::Horizontal || papel != Qt::DisplayRole) return {};
    static const char* const titulos[] = {"P\xE1gina", "Linha", "Texto"};
    return secao >= 0 && secao < 3 ? platform::toQString(titulos[secao]) : QVariant();
  }
};

// The text line with Listar and the close button, match case, the summary and the list.
TPainelOcorrencias::TPainelOcorrencias(QWidget* pai) : QWidget(pai) {
  setObjectName(QStringLiteral("PainelOcorrencias"));
  edTexto = new QLineEdit(this);
  edTexto->setObjectName(QStringLiteral("edOcorrencias"));
  btListar = new QPushButton(QStringLiteral("Listar"), this);
  btListar->setObjectName(QStringLiteral("btListar"));
  btFechar = new QPushButton(QStringLiteral("X"), this);
  btFechar->setToolTip(QStringLiteral("Fechar a lista"));
  btFechar->setFixedWidth(24);
  chkMaiusculas =
      new QCheckBox(platform::toQString("Diferenciar mai\xFAsculas/min\xFAsculas"), this);
  lbResumo = new QLabel(this);
  modelo_ = new TModeloOcorrencias(this);
  tvOcorrencias = new QTreeView(this);
  tvOcorrencias->setObjectName(QStringLiteral("ListaOcorrencias"));
  tvOcorrencias->setRootIsDecorated(false);
  tvOcorrencias->setUniformRowHeights(true);
  tvOcorrencias->setAlternatingRowColors(true);
  tvOcorrencias->setModel(modelo_);
  tvOcorrencias->header()->setStretchLastSection(true);
  tvOcorrencias->setColumnWidth(0, 50);
  tvOcorrencias->setColumnWidth(1, 40);

  auto* topo = new QHBoxLayout;
  topo->addWidget(edTexto, 1);
  topo->addWidget(btListar);
  topo->addWidget(btFechar);
  auto* coluna = new QVBoxLayout(this);
  coluna->setContentsMargins(4, 4, 4, 4);
  coluna->addLayout(topo);
  coluna->addWidget(chkMaiusculas);
  coluna->addWidget(lbResumo);
  coluna->addWidget(tvOcorrencias, 1);

  auto listar = [this] {
    Lista(platform::fromQString(edTexto->text()), chkMaiusculas->isChecked());
  };
  connect(btListar, &QPushButton::clicked, this, listar);
  connect(edTexto, &QLineEdit::returnPressed, this, listar);
  connect(btFechar, &QPushButton::clicked, this, &QWidget::hide);
  connect(tvOcorrencias, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { Escolhe(i.row()); });
  connect(tvOcorrencias, &QTreeView::activated, this,
          [this](const QModelIndex& i) { Escolhe(i.row()); });
  connect(tvOcorrencias->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& i) {
            if (i.isValid()) Escolhe(i.row());
          });
}

// Every match of the text.
void TPainelOcorrencias::Lista(const std::string& texto, bool diferenciaMaiusculas) {
  edTexto->setText(platform::toQString(texto));
  chkMaiusculas->setChecked(diferenciaMaiusculas);
  modelo_->Define(ListaOcorrencias(diferenciaMaiusculas, texto));
  const size_t n = modelo_->itens.size();
  if (texto.empty())
    lbResumo->clear();
  else if (n == 0)
    lbResumo->setText(platform::toQString("Nenhuma ocorr\xEAncia."));
  else
    lbResumo->setText(QString::number(n) +
                      platform::toQString(n == 1 ? " ocorr\xEAncia." : " ocorr\xEAncias."));
}

// An empty list.
void TPainelOcorrencias::Limpa() {
  modelo_->Define({});
  lbResumo->clear();
}

// The matches listed.
const std::vector<TOcorrencia>& TPainelOcorrencias::Ocorrencias() const { return modelo_->itens; }

// Hands the chosen match over.
void TPainelOcorrencias::Escolhe(int linha) {
  if (linha < 0 || static_cast<size_t>(linha) >= modelo_->itens.size()) return;
  if (aoEscolher) aoEscolher(modelo_->itens[static_cast<size_t>(linha)]);
}

}  // namespace report::forms
