// The report engine's windows on Qt, installed by the desktop program: the preview window and the
// progress window. The setup dialog and the graphic printer are still the headless ones.
#pragma once

#include <functional>
#include <string>

#include "report/RDjanelas.h"

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
  TJanelasSemTela semTela_;
};

}  // namespace report::forms
