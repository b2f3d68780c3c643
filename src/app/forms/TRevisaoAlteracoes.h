// The review of proposed changes: every item with its current and proposed brand and price, its
// status (with the reason and the source row), and the lot and proposal totals that applying them
// would give. The user applies every row, the selected rows, or cancels; nothing changes before.
// Also the main window's entry points: review and apply a list, and undo the last list applied.
#pragma once

#include <QDialog>

#include "app/Alteracoes.h"

class QLabel;
class QPushButton;
class QTableView;

namespace app::forms {

class TForm1;

class TRevisaoAlteracoes : public QDialog {
  Q_OBJECT

 public:
  TRevisaoAlteracoes(const TTabelaItens& tabela, const LoteAlteracoes& lote,
                     QWidget* pai = nullptr);

  // After the dialog was accepted: the rows to apply (every row, or the selected ones).
  const EscolhaAlteracoes& Escolha() const { return escolha_; }

  QTableView* Grade;
  QLabel* Totais;
  QPushButton* btTodas;
  QPushButton* btSelecionadas;
  QPushButton* btCancelar;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void AtualizaTotais();
  EscolhaAlteracoes Selecionadas() const;
  void Aplica(bool todas);

  const TTabelaItens& tabela_;
  const LoteAlteracoes& lote_;
  EscolhaAlteracoes escolha_;
};

// Shows the review of a list for the window's proposal and, when the user applies, applies it
// (a long list under the progress window, whose Cancelar leaves every item as it was) and keeps
// what undoes it for "Desfazer alterações". True when something was applied.
bool RevisaEAplica(TForm1& janela, const LoteAlteracoes& lote);
// "Desfazer alterações": undoes the last list applied to the open process, in one step.
void DesfazUltimasAlteracoes(TForm1& janela);

}  // namespace app::forms
