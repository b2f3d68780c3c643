// The report engine's windows on Qt, installed by the desktop program: the preview window, the
// print setup dialog, the progress window and the graphic printer (the current printer through
// QPrinter).
#pragma once

#include <functional>
#include <string>

#include "report/RDjanelas.h"
#include "report/forms/RDimpressoraGrafica.h"

namespace report::forms {

class TJanelasQt : public TJanelasRelatorio {
 public:
  // The folder the preview's file dialogs open in (the open process file's); empty: the
  // current folder.
  std::function<std::string()> pastaDialogos;

  void MostraPreview(TRDprint& rd) override;
  bool MostraSetup(TRDprint& rd) override;
  std::unique_ptr<TJanelaProgresso> CriaProgresso(TRDprint& rd) override;
  TImpressoraGrafica* ImpressoraGrafica() override;

 private:
  TImpressoraGraficaQt impressora_;
};

}  // namespace report::forms
