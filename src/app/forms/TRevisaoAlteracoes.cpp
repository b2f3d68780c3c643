#include "app/forms/TRevisaoAlteracoes.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/TabelaItens.h"
#include "app/forms/proposta.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDprogresso.h"

namespace app::forms {

namespace {

// The list's rows as a table model over the shared columns (a list of 100,000 rows costs nothing
// until it is shown).
class ModeloRevisao : public QAbstractTableModel {
 public:
  ModeloRevisao(const LoteAlteracoes& l, QObject* pai) : QAbstractTableModel(pai), lote_(l) {}
  int rowCount(const QModelIndex& p) const override {
    return p.isValid() ? 0 : static_cast<int>(lote_.itens.size());
  }
  int columnCount(const QModelIndex& p) const override {
    return p.isValid() ? 0 : static_cast<int>(ColunasRevisao().size());
  }
  QVariant data(const QModelIndex& i, int papel) const override {
    const AlteracaoItem& a = lote_.itens[static_cast<size_t>(i.row())];
    const ColunaRevisao& c = ColunasRevisao()[static_cast<size_t>(i.column())];
    if (papel == Qt::DisplayRole)
      return platform::toQString(TextoCelula(a, static_cast<size_t>(i.column())));
    if (papel == Qt::TextAlignmentRole)
      return static_cast<int>((c.aDireita ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // Why a row was refused or not matched, over any cell of it: the Motivo column sits far right.
    if (papel == Qt::ToolTipRole && !a.motivo.empty()) return platform::toQString(a.motivo);
    // What applying leaves alone is greyed.
    if (papel == Qt::ForegroundRole && !Aplicavel(a))
      return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
    return {};
  }
  QVariant headerData(int s, Qt::Orientation o, int papel) const override {
    if (papel != Qt::DisplayRole || o != Qt::Horizontal) return {};
    return platform::toQString(ColunasRevisao()[static_cast<size_t>(s)].titulo);
  }

 private:
  const LoteAlteracoes& lote_;
};

// The undo record of the last list applied to a window, kept as a child of the window.
class GuardaDesfazer : public QObject {
 public:
  explicit GuardaDesfazer(QObject* pai) : QObject(pai) {
    setObjectName(QStringLiteral("desfazerAlteracoes"));
  }
  std::optional<DesfazerAlteracoes> registro;
};

GuardaDesfazer& Guarda(TForm1& janela) {
  auto* g = dynamic_cast<GuardaDesfazer*>(
      janela.findChild<QObject*>(QStringLiteral("desfazerAlteracoes"), Qt::FindDirectChildrenOnly));
  return g ? *g : *new GuardaDesfazer(&janela);
}

}  // namespace

TRevisaoAlteracoes::TRevisaoAlteracoes(const TTabelaItens& tabela, const LoteAlteracoes& lote,
                                       QWidget* pai)
    : QDialog(pai), tabela_(tabela), lote_(lote) {
  setWindowTitle(QStringLiteral("Revisar altera\u00E7\u00F5es - ") +
                 platform::toQString(lote.origem));
  auto* grade = new QTableView(this);
  Grade = grade;
  grade->setObjectName(QStringLiteral("Grade"));
  grade->setModel(new ModeloRevisao(lote, grade));
  grade->setSelectionBehavior(QAbstractItemView::SelectRows);
  grade->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grade->setTabKeyNavigation(false);
  grade->verticalHeader()->setVisible(false);
  grade->verticalHeader()->setDefaultSectionSize(grade->fontMetrics().height() + 4);
  const int larguraCaractere = grade->fontMetrics().averageCharWidth();
  for (size_t c = 0; c < ColunasRevisao().size(); ++c)
    grade->setColumnWidth(static_cast<int>(c),
                          std::min(ColunasRevisao()[c].largura, 24) * larguraCaractere + 12);

  Totais = new QLabel(this);
  Totais->setObjectName(QStringLiteral("Totais"));
  Totais->setTextFormat(Qt::PlainText);
  Totais->setTextInteractionFlags(Qt::TextSelectableByMouse);

  btTodas = new QPushButton(QStringLiteral("Aplicar &todas"), this);
  btSelecionadas = new QPushButton(QStringLiteral("Aplicar &selecionadas"), this);
  btCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
  btTodas->setDefault(true);
  connect(btTodas, &QPushButton::clicked, this, [this] { Aplica(true); });
  connect(btSelecionadas, &QPushButton::clicked, this, [this] { Aplica(false); });
  connect(btCancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(grade->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { AtualizaTotais(); });

  auto* botoes = new QHBoxLayout;
  botoes->addStretch();
  botoes->addWidget(btTodas);
  botoes->addWidget(btSelecionadas);
  botoes->addWidget(btCancelar);
  auto* tudo = new QVBoxLayout(this);
  auto* rotulo = new QLabel(QStringLiteral("&Itens:"), this);
  rotulo->setBuddy(grade);
  tudo->addWidget(rotulo);
  tudo->addWidget(grade, 1);
  tudo->addWidget(Totais);
  tudo->addLayout(botoes);
  setTabOrder(grade, btTodas);
  setTabOrder(btTodas, btSelecionadas);
  setTabOrder(btSelecionadas, btCancelar);
  resize(1180, 560);
  AtualizaTotais();
}

// The list has the focus when the window opens, on its first row.
void TRevisaoAlteracoes::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (Grade->model()->rowCount() > 0 && !Grade->currentIndex().isValid())
    Grade->setCurrentIndex(Grade->model()->index(0, 0));
  Grade->selectionModel()->clearSelection();
  Grade->setFocus(Qt::OtherFocusReason);
}

// The rows selected in the grid, one flag per row of the list.
EscolhaAlteracoes TRevisaoAlteracoes::Selecionadas() const {
  EscolhaAlteracoes e(lote_.itens.size(), false);
  for (const QModelIndex& i : Grade->selectionModel()->selectedRows())
    e[static_cast<size_t>(i.row())] = true;
  return e;
}

// The totals applying every row gives, and those of the selection when there is one.
void TRevisaoAlteracoes::AtualizaTotais() {
  auto junta = [](const std::vector<std::string>& linhas) {
    std::string s;
    for (const std::string& l : linhas) s += l + "\n";
    return s;
  };
  size_t aplicaveis = 0;
  for (const AlteracaoItem& a : lote_.itens) aplicaveis += Aplicavel(a) ? 1 : 0;
  std::string texto = std::to_string(aplicaveis) + " de " + std::to_string(lote_.itens.size()) +
                      " itens a alterar. Aplicando todas:\n" +
                      junta(TextoTotais(CalculaTotais(tabela_, lote_)));
  EscolhaAlteracoes sel = Selecionadas();
  const bool temSelecao = std::find(sel.begin(), sel.end(), true) != sel.end();
  if (temSelecao)
    texto +=
        "Aplicando as selecionadas:\n" + junta(TextoTotais(CalculaTotais(tabela_, lote_, sel)));
  while (!texto.empty() && texto.back() == '\n') texto.pop_back();
  Totais->setText(platform::toQString(texto));
  btSelecionadas->setEnabled(temSelecao);
  btTodas->setEnabled(aplicaveis > 0);
}

// Closes the dialog with the choice: every row, or the selected ones.
void TRevisaoAlteracoes::Aplica(bool todas) {
  escolha_ = todas ? EscolhaAlteracoes(lote_.itens.size(), true) : Selecionadas();
  accept();
}

namespace {

// Lists of this many rows and more are applied under the progress window.
constexpr size_t kListaLonga = 2000;

// Applies the chosen rows; a long list under the progress window, whose Cancelar puts back what
// was applied (`cancelada` then says so).
DesfazerAlteracoes AplicaComProgresso(TProposta& p, const LoteAlteracoes& lote,
                                      const EscolhaAlteracoes& e, bool& cancelada) {
  size_t escolhidas = 0;
  for (size_t i = 0; i < lote.itens.size(); ++i) escolhidas += Escolhida(lote, e, i) ? 1 : 0;
  if (escolhidas < kListaLonga) return AplicaAlteracoes(p, lote, e);
  report::TConfigProgresso config;
  config.caption = "Aplicando...";
  config.rotulo = lote.origem;
  config.maximo = 100;
  report::ProgressoRelatorio progresso(p.RDprint1, true, config);
  size_t mostrado = 0;  // the hundredths of the list shown
  return AplicaAlteracoes(p, lote, e, [&](size_t feitas, size_t total) {
    const size_t centesimos = feitas * 100 / total;
    if (centesimos == mostrado) return true;
    mostrado = centesimos;
    cancelada = !progresso.Entrada();
    return !cancelada;
  });
}

}  // namespace

bool RevisaEAplica(TForm1& janela, const LoteAlteracoes& lote) {
  TProposta& p = janela.Proposta();
  TRevisaoAlteracoes revisao(p.ClientDataSet1, lote, &janela);
  if (revisao.exec() != QDialog::Accepted) return false;
  bool cancelada = false;
  DesfazerAlteracoes d = AplicaComProgresso(p, lote, revisao.Escolha(), cancelada);
  janela.AtualizaTela();
  if (cancelada)
    platform::current().showMessage("Aplica\xE7\xE3o cancelada: nenhum item foi alterado.");
  if (d.linhas.empty()) return false;
  Guarda(janela).registro = std::move(d);
  return true;
}

void DesfazUltimasAlteracoes(TForm1& janela) {
  GuardaDesfazer& g = Guarda(janela);
  if (!g.registro || g.registro->processo != janela.Proposta().edit1) {
    platform::current().showMessage(
        "N\xE3o h\xE1 altera\xE7\xF5"
        "es a desfazer neste processo.");
    return;
  }
  const std::string origem = g.registro->origem;
  ResultadoDesfazer r = DesfazAlteracoes(janela.Proposta(), *g.registro);
  g.registro.reset();
  janela.AtualizaTela();
  std::string m =
      "Altera\xE7\xF5"
      "es desfeitas (" +
      origem + "): " + std::to_string(r.desfeitas) + " item(ns) voltaram ao que eram.";
  if (r.mantidas)
    m += "\r" + std::to_string(r.mantidas) +
         " item(ns) foram alterados depois e ficaram como est\xE3o.";
  platform::current().showMessage(m);
}

}  // namespace app::forms
