#include "app/forms/JanelaPlanilha.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/forms/proposta.h"
#include "planilha/Exportacao.h"
#include "planilha/MemoriaColunas.h"
#include "planilha/Valores.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

namespace {

constexpr int kColunasAmostra = 26;

// A column chooser: "(nenhuma)" then A, B, ... as far as the sample goes.
QComboBox* Escolha(int colunas, const std::optional<int>& atual, QWidget* pai) {
  auto* c = new QComboBox(pai);
  c->addItem(QStringLiteral("(nenhuma)"), -1);
  for (int i = 0; i < colunas; ++i) c->addItem(QString::fromStdString(planilha::NomeColuna(i)), i);
  c->setCurrentIndex(atual && *atual < colunas ? *atual + 1 : 0);
  return c;
}

std::optional<int> Coluna(const QComboBox* c) {
  const int v = c->currentData().toInt();
  return v < 0 ? std::nullopt : std::optional<int>(v);
}

// The folder and name the export proposes: the process file's, as a workbook.
std::string NomeSugerido(const std::string& processo) {
  const size_t ponto = processo.rfind('.');
  return (ponto == std::string::npos ? processo : processo.substr(0, ponto)) + ".xlsx";
}

}  // namespace

TJanelaColunas::TJanelaColunas(const std::vector<planilha::LinhaPlanilha>& primeiras,
                               const planilha::Mapeamento& inicial, QWidget* pai)
    : QDialog(pai) {
  setWindowTitle(QStringLiteral("Colunas da planilha"));
  int colunas = 1;
  for (const auto& l : primeiras)
    colunas = std::max(colunas, std::min(kColunasAmostra, static_cast<int>(l.celulas.size())));
  Amostra = new QTableWidget(static_cast<int>(primeiras.size()), colunas, this);
  QStringList linhas, titulos;
  for (int c = 0; c < colunas; ++c) titulos << QString::fromStdString(planilha::NomeColuna(c));
  for (size_t i = 0; i < primeiras.size(); ++i) {
    linhas << QString::number(primeiras[i].linha);
    for (int c = 0; c < colunas; ++c)
      Amostra->setItem(
          static_cast<int>(i), c,
          new QTableWidgetItem(platform::toQString(planilha::TextoDaCelula(primeiras[i].Em(c)))));
  }
  Amostra->setHorizontalHeaderLabels(titulos);
  Amostra->setVerticalHeaderLabels(linhas);
  Amostra->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cbCodigo = Escolha(colunas, inicial.codigo, this);
  cbNome = Escolha(colunas, inicial.nome, this);
  cbOrdem = Escolha(colunas, inicial.ordem, this);
  cbMarca = Escolha(colunas, inicial.marca, this);
  cbValor = Escolha(colunas, inicial.valor, this);
  cbPor = new QComboBox(this);
  cbPor->addItem(QStringLiteral("pelo código"), static_cast<int>(planilha::Criterio::Codigo));
  cbPor->addItem(
      QStringLiteral("pelo nome do produto (sem maiúsculas, acentos e espaços repetidos)"),
      static_cast<int>(planilha::Criterio::Nome));
  cbPor->addItem(QStringLiteral("pelo número do item"),
                 static_cast<int>(planilha::Criterio::Ordem));
  cbPor->setCurrentIndex(cbPor->findData(static_cast<int>(inicial.por)));
  spCabecalho = new QSpinBox(this);
  spCabecalho->setRange(0, 1000000);
  spCabecalho->setValue(static_cast<int>(inicial.linhaCabecalho));
  spCabecalho->setSpecialValueText(QStringLiteral("nenhuma"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Código:"), cbCodigo);
  form->addRow(QStringLiteral("&Produto:"), cbNome);
  form->addRow(QStringLiteral("&Item (ordem):"), cbOrdem);
  form->addRow(QStringLiteral("&Marca:"), cbMarca);
  form->addRow(QStringLiteral("&Valor unitário:"), cbValor);
  form->addRow(QStringLiteral("C&omparar:"), cbPor);
  form->addRow(QStringLiteral("Linha de &títulos:"), spCabecalho);
  auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(botoes, &QDialogButtonBox::accepted, this, [this] { Confere(); });
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* v = new QVBoxLayout(this);
  v->addWidget(new QLabel(QStringLiteral("Primeiras linhas da planilha:"), this));
  v->addWidget(Amostra, 1);
  v->addLayout(form);
  v->addWidget(botoes);
  resize(760, 520);
}

planilha::Mapeamento TJanelaColunas::Escolhido() const {
  planilha::Mapeamento m;
  m.ordem = Coluna(cbOrdem);
  m.codigo = Coluna(cbCodigo);
  m.nome = Coluna(cbNome);
  m.marca = Coluna(cbMarca);
  m.valor = Coluna(cbValor);
  m.por = static_cast<planilha::Criterio>(cbPor->currentData().toInt());
  m.linhaCabecalho = spCabecalho->value();
  return m;
}

// Accepts only a mapping that can be used; says what is missing otherwise.
void TJanelaColunas::Confere() {
  const std::string falta = planilha::FaltaNoMapeamento(Escolhido());
  if (!falta.empty()) {
    platform::current().showMessage(falta);
    return;
  }
  accept();
}

void ExportarPlanilha(TForm1& janela) {
  TProposta& p = janela.Proposta();
  if (p.edit1.empty()) {
    platform::current().showMessage("Abra um processo antes de exportar a planilha.");
    return;
  }
  const auto destino = platform::current().saveFileDialog(
      "Exportar planilha",
      "Pasta de trabalho do Excel (*.xlsx)|*.xlsx|Planilha OpenDocument (*.ods)|*.ods|"
      "Texto CSV separado por ponto e v\xEDrgula (*.csv)|*.csv",
      "xlsx", NomeSugerido(p.edit1));
  if (!destino || destino->empty()) return;
  std::string erro;
  if (!planilha::ExportaArquivo(*destino, p.ClientDataSet1, p.label5, erro)) {
    platform::current().showMessage(erro);
    return;
  }
  platform::current().showMessage("A planilha foi gravada em " + platform::utf8ToCp1252(*destino) +
                                  ". Preencha as colunas Marca e Valor unit\xE1rio e use "
                                  "\"Importar planilha\".");
}

}  // namespace app::forms
