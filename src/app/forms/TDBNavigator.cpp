#include "app/forms/TDBNavigator.h"

namespace app::forms {

// Four flat buttons with their arrows and hints.
TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
  const char* dicas[4] = {"First record", "Prior record", "Next record", "Last record"};
  for (int i = 0; i < 4; ++i) {
    auto b = static_cast<BotaoNavegador>(i);
    auto* botao = new QToolButton(this);
    botao->setIcon(IconeNavegador(b));
    botao->setAutoRaise(true);
    botao->setFocusPolicy(Qt::NoFocus);
    botao->setToolTip(QString::fromLatin1(dicas[i]));
    botao->setEnabled(false);
    connect(botao, &QToolButton::clicked, this, [this, b] {
      if (aoClicar) aoClicar(b);
    });
    botoes_[i] = botao;
  }
}

// Enables the buttons where they can move.
void TDBNavigator::Atualiza(bool aberta, bool vazia, bool inicio, bool fim) {
  bool ativo = aberta && !vazia;
  botoes_[0]->setEnabled(ativo && !inicio);
  botoes_[1]->setEnabled(ativo && !inicio);
  botoes_[2]->setEnabled(ativo && !fim);
  botoes_[3]->setEnabled(ativo && !fim);
}

// The buttons share the width equally.
void TDBNavigator::resizeEvent(QResizeEvent*) {
  int n = 4, x = 0;
  for (int i = 0; i < n; ++i) {
    int proximo = width() * (i + 1) / n;
    botoes_[i]->setGeometry(x, 0, proximo - x, height());
    x = proximo;
  }
}

}  // namespace app::forms
