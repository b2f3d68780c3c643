// The find dialog.
#include "report/forms/RDprocura.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/QtTexto.h"

namespace report::forms {

// The text line, match case, the direction group with "down" checked, Localizar and Cancelar.
TDialogoProcura::TDialogoProcura(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FindDialog1"));
  setWindowTitle(QStringLiteral("Localizar"));
  setModal(false);

  auto* rotulo = new QLabel(platform::toQString("Locali&zar:"), this);
  edTexto = new QLineEdit(this);
  edTexto->setObjectName(QStringLiteral("edTexto"));
  rotulo->setBuddy(edTexto);
  chkMaiusculas =
      new QCheckBox(platform::toQString("&Diferenciar mai\xFAsculas/min\xFAsculas"), this);
  chkMaiusculas->setObjectName(QStringLiteral("chkMaiusculas"));

  auto* direcao = new QGroupBox(platform::toQString("Dire\xE7\xE3o"), this);
  rbAcima = new QRadioButton(QStringLiteral("Para &cima"), direcao);
  rbAbaixo = new QRadioButton(QStringLiteral("Para &baixo"), direcao);
  rbAbaixo->setChecked(true);
  auto* linhaDirecao = new QHBoxLayout(direcao);
  linhaDirecao->addWidget(rbAcima);
  linhaDirecao->addWidget(rbAbaixo);

  btLocalizar = new QPushButton(platform::toQString("&Localizar pr\xF3xima"), this);
  btLocalizar->setObjectName(QStringLiteral("btLocalizar"));
  btLocalizar->setDefault(true);
  btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);

  auto* grade = new QGridLayout(this);
  grade->addWidget(rotulo, 0, 0);
  grade->addWidget(edTexto, 0, 1, 1, 2);
  grade->addWidget(chkMaiusculas, 1, 0, 1, 2);
  grade->addWidget(direcao, 2, 0, 1, 2);
  auto* botoes = new QVBoxLayout;
  botoes->addWidget(btLocalizar);
  botoes->addWidget(btCancelar);
  botoes->addStretch();
  grade->addLayout(botoes, 0, 3, 3, 1);
  grade->setSizeConstraint(QLayout::SetFixedSize);

  connect(btLocalizar, &QPushButton::clicked, this, [this] {
    if (OnFind) OnFind();
  });
  connect(btCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

// The text as typed, in Windows-1252.
std::string TDialogoProcura::Texto() const { return platform::fromQString(edTexto->text()); }

// Puts a text into the line.
void TDialogoProcura::DefineTexto(const std::string& texto) {
  edTexto->setText(platform::toQString(texto));
}

// The direction option.
bool TDialogoProcura::ParaBaixo() const { return rbAbaixo->isChecked(); }

// The match case option.
bool TDialogoProcura::DiferenciaMaiusculas() const { return chkMaiusculas->isChecked(); }

}  // namespace report::forms
