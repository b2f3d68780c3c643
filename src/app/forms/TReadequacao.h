// "Readequar ao lance": a small dialog for the lot (or the whole proposal), the final bid and the
// decimals the edital allows; then the review of the new prices, then they are applied.
#pragma once

#include <QDialog>
#include <optional>

#include "app/Readequacao.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QDialogButtonBox;

namespace app::forms {

class TForm1;

class TDialogoReadequacao : public QDialog {
  Q_OBJECT

 public:
  TDialogoReadequacao(const TTabelaItens& tabela, QWidget* pai = nullptr);

  // What the user asked for; nullopt while the bid typed is not a money value.
  std::optional<PedidoReadequacao> Pedido() const;

  QComboBox* cbLote;
  QLineEdit* edLance;
  QComboBox* cbCasas;
  QLabel* lbAviso;
  QDialogButtonBox* botoes;

 private:
  void Confirma();
};

// The command of the Ferramentas menu.
void ReadequarAoLance(TForm1& janela);

}  // namespace app::forms
