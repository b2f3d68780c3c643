// What the report commands of proposta-cli share around the report component: windows whose
// preview does what the command does in it (save, print), and the engine's numbered errors on the
// terminal.
#pragma once

#include <functional>
#include <string>

#include "cli/Comandos.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"

namespace cli {

// Windows whose preview runs the command's own work on the open report.
class JanelasComPreview : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override {
    if (noPreview) noPreview(rd);
  }
};

// Numbered errors of the engine go to the terminal.
inline void LigaErros(report::TRDprint& rd) {
  rd.OnErro = [](report::TRDprint&, const std::string& m) { Erro(m); };
}

}  // namespace cli
