#include "app/forms/TReadequacao.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/TabelaItens.h"
#include "app/forms/TRevisaoAlteracoes.h"
#include "app/forms/proposta.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

TDialogoReadequacao::TDialogoReadequacao(const TTabelaItens& tabela, QWidget* pai) : QDialog(pai) {
  setWindowTitle(QStringLiteral("Readequar ao lance"));
  cbLote = new QComboBox(this);
  cbLote->setObjectName(QStringLiteral("cbLote"));
  cbLote->addItem(QStringLiteral("Toda a proposta"));
  // The lots in table order, the current row's lot chosen.
  const std::string atual = tabela.Vazia() ? std::string() : tabela.ComoTexto(Campo::lote);
  for (int i = 0; i < tabela.NumLinhas(); ++i) {
    if (!tabela.GrupoDaLinha(i).primeiro) continue;
    const std::string lote(tabela.Linha(i).lote);
    cbLote->addItem(lote.empty() ? QStringLiteral("(sem lote)") : platform::toQString(lote),
                    platform::toQString(lote));
    if (!atual.empty() && lote == atual) cbLote->setCurrentIndex(cbLote->count() - 1);
  }
  edLance = new QLineEdit(this);
  edLance->setObjectName(QStringLiteral("edLance"));
  edLance->setPlaceholderText(QStringLiteral("3.605,06"));
  cbCasas = new QComboBox(this);
  cbCasas->setObjectName(QStringLiteral("cbCasas"));
  cbCasas->addItem(QStringLiteral("2 (0,01)"), 2);
  cbCasas->addItem(QStringLiteral("4 (0,0001)"), 4);
  lbAviso = new QLabel(this);
  lbAviso->setTextFormat(Qt::PlainText);
  botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Readequar"));
  botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
  connect(botoes, &QDialogButtonBox::accepted, this, &TDialogoReadequacao::Confirma);
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* campos = new QFormLayout;
  campos->addRow(QStringLiteral("&Lote:"), cbLote);
  campos->addRow(QStringLiteral("Lance &final (R$):"), edLance);
  campos->addRow(QStringLiteral("Casas &decimais dos preços:"), cbCasas);
  auto* tudo = new QVBoxLayout(this);
  tudo->addLayout(campos);
  tudo->addWidget(lbAviso);
  tudo->addWidget(botoes);
  edLance->setFocus(Qt::OtherFocusReason);
}

std::optional<PedidoReadequacao> TDialogoReadequacao::Pedido() const {
  auto lance = LeDinheiro(platform::fromQString(edLance->text()));
  if (!lance) return std::nullopt;
  PedidoReadequacao p;
  if (cbLote->currentIndex() > 0) p.lote = platform::fromQString(cbLote->currentData().toString());
  p.lance = *lance;
  p.casas = cbCasas->currentData().toInt();
  return p;
}

// OK: only with a bid that is a money value.
void TDialogoReadequacao::Confirma() {
  if (Pedido()) {
    accept();
    return;
  }
  lbAviso->setText(QStringLiteral("Digite o lance em reais, por exemplo 3.605,06."));
  edLance->setFocus(Qt::OtherFocusReason);
  edLance->selectAll();
}

void ReadequarAoLance(TForm1& janela) {
  TProposta& p = janela.Proposta();
  if (p.edit1.empty() || p.ClientDataSet1.Vazia()) {
    platform::current().showMessage("Abra um processo antes de readequar.");
    return;
  }
  TDialogoReadequacao dialogo(p.ClientDataSet1, &janela);
  if (dialogo.exec() != QDialog::Accepted) return;
  ReadequacaoProposta r = ReadequaTabela(p.ClientDataSet1, *dialogo.Pedido());
  if (!r.recusa.empty()) {
    platform::current().showMessage(r.recusa);
    return;
  }
  RevisaEAplica(janela, r.alteracoes);
}

}  // namespace app::forms
