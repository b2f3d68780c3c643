#include "app/forms/MenuFerramentas.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "app/forms/AssinaturaDocumentos.h"
#include "app/forms/CartaJanelas.h"
#include "app/forms/JanelaPlanilha.h"
#include "app/forms/TReadequacao.h"
#include "app/forms/TRevisaoAlteracoes.h"
#include "app/forms/proposta.h"
#include "proposta_versao.h"

namespace app::forms {

namespace {
// "Sobre": the program's name and version, and where its guide is.
void Sobre(TForm1& janela) {
  QMessageBox::about(
      &janela, QStringLiteral("Sobre"),
      QStringLiteral("Digitação de Proposta\nVersão %1\n\nGuia do usuário (Ajuda):\n%2")
          .arg(QStringLiteral(PROPOSTA_VERSAO), QString::fromUtf8(TForm1::EnderecoAjuda())));
}
}  // namespace

// The table, in menu order.
const std::vector<ComandoFerramenta>& ComandosFerramentas() {
  static const std::vector<ComandoFerramenta> tabela = {
      {"&Perfis da empresa...", "Ctrl+Shift+P", ComandoPerfis, true},
      {"&Termos da proposta...", "Ctrl+Shift+T", ComandoTermos, false},
      {"Proposta &Comercial (carta)", "Ctrl+Shift+C", ComandoCarta, false},
      {"Con&ferir proposta", "Ctrl+Shift+K", ComandoConferir, false},
      {"Assinar &documentos...", "Ctrl+Shift+A", AbreAssinaturaDocumentos, false},
      {"E&xportar planilha...", "Ctrl+Shift+E", ExportarPlanilha, true},
      {"&Importar planilha...", "Ctrl+Shift+I", ImportarPlanilha, false},
      {"&Readequar ao lance...", "Ctrl+Shift+L", ReadequarAoLance, true},
      {"D&esfazer altera\u00e7\u00f5es", "Ctrl+Shift+D", DesfazUltimasAlteracoes, false},
      {"&Sobre...", "Ctrl+F1", Sobre, true},
  };
  return tabela;
}

// Fills the menu bar with "&Ferramentas" and its commands, each run at the window's error
// boundary.
void CriaMenuFerramentas(TForm1& janela, QMenuBar* barra) {
  QMenu* menu = barra->addMenu(QStringLiteral("&Ferramentas"));
  for (const ComandoFerramenta& c : ComandosFerramentas()) {
    if (c.separadorAntes && !menu->isEmpty()) menu->addSeparator();
    QAction* a = menu->addAction(QString::fromUtf8(c.titulo));
    a->setShortcut(QKeySequence(QString::fromUtf8(c.atalho)));
    a->setShortcutContext(Qt::WindowShortcut);
    auto executa = c.executa;
    QObject::connect(a, &QAction::triggered, &janela,
                     [&janela, executa] { janela.ExecutaComando([&] { executa(janela); }); });
  }
}

}  // namespace app::forms
