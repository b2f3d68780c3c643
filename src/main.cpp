// The desktop program: `proposta [ARQUIVO.xml]`. Starts the application titled "Digitação de
// Proposta", shows the main window and, when a process file is named, opens it as if it had been
// chosen with "&Abrir Processo".
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/forms/proposta.h"
#include "platform/Platform.h"
#include "platform/SignalSetup.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtTexto.h"
#include "platform/qt/QtTraducao.h"
#include "proposta_versao.h"
#include "report/RDjanelas.h"
#include "report/forms/RDjanelasQt.h"
#include "report/forms/RDpintura.h"

// The program: the Qt platform, the report engine's windows, the main window, the message loop.
int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::puts("uso: proposta [ARQUIVO.xml]");
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("proposta " PROPOSTA_VERSAO);
    return 0;
  }
  platform::installSignalHandlers();
  QApplication aplicacao(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication::setApplicationName(QStringLiteral("proposta"));
  // The task bar names the program from its desktop entry ("Digitação de Proposta"). No
  // application display name is set: Qt would append it to the title of every window and box.
  QGuiApplication::setDesktopFileName(QStringLiteral("proposta"));
  const std::string titulo = "Digita\xE7\xE3o de Proposta";
  platform::installQtTranslations(aplicacao);

  platform::QtPlatform plataforma(titulo);
  platform::install(&plataforma);
  report::InstalaMedidorQt();
  report::forms::TJanelasQt janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  int resultado = 0;
  {
    app::forms::TForm1 Form1;
    plataforma.setMainWindow(&Form1);
    // The preview's file dialogs open in the folder of the open process file.
    janelas.pastaDialogos = [&Form1] {
      return std::filesystem::path(Form1.Proposta().edit1).parent_path().string();
    };
    Form1.show();
    if (argc > 1) {
      std::error_code erro;
      std::filesystem::path caminho = std::filesystem::absolute(argv[1], erro);
      std::string arquivo = erro ? std::string(argv[1]) : caminho.lexically_normal().string();
      QTimer::singleShot(0, &Form1, [&Form1, arquivo] { Form1.AbrirArquivo(arquivo); });
    }
    resultado = QApplication::exec();
    janelas.pastaDialogos = nullptr;
    plataforma.setMainWindow(nullptr);
  }
  report::InstalaMedidorTexto({});
  platform::install(nullptr);
  return resultado;
}
