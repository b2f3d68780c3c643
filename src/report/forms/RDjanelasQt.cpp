// The Qt windows of the report engine.
#include "report/forms/RDjanelasQt.h"

#include <QApplication>

#include "report/forms/RDProgresso.h"
#include "report/forms/RDpreview.h"
#include "report/forms/RDsetup.h"

namespace report::forms {

// Creates the preview over the active window, sets it up from the component and shows it
// modally until it closes (the window it came from is active again afterwards).
void TJanelasQt::MostraPreview(TRDprint& rd) {
  QWidget* origem = QApplication::activeWindow();
  {
    TDFMPreview janela(rd, pastaDialogos ? pastaDialogos() : std::string(), origem);
    janela.Configura();
    janela.exec();
  }
  if (origem) {
    origem->activateWindow();
    QApplication::setActiveWindow(origem);
  }
}

// The print setup dialog.
bool TJanelasQt::MostraSetup(TRDprint& rd) { return MostraSetupQt(rd); }

// A progress window for one operation.
std::unique_ptr<TJanelaProgresso> TJanelasQt::CriaProgresso(TRDprint&) {
  return std::make_unique<TDFMProgresso>();
}

// The graphic printer: the platform's current printer, through QPrinter.
TImpressoraGrafica* TJanelasQt::ImpressoraGrafica() { return &impressora_; }

}  // namespace report::forms
