// The progress window protocol as the engine follows it.
#include "report/RDprogresso.h"

#include "report/RDestado.h"

namespace report {

// Creates and shows the window when asked; clears the cancel request.
ProgressoRelatorio::ProgressoRelatorio(TRDprint& rd, bool mostrar, const TConfigProgresso& config) {
  if (mostrar) {
    janela_ = JanelasRelatorio().CriaProgresso(rd);
    if (janela_) janela_->Mostra(config);
  }
  EstadoRelatorio().cancelamento = false;
}

// Closes the window.
ProgressoRelatorio::~ProgressoRelatorio() {
  if (janela_) janela_->Fecha();
}

// Steps the bar and repaints.
void ProgressoRelatorio::Passo() {
  if (janela_) {
    janela_->Passo();
    janela_->Repinta();
  }
}

// Repaints the window.
void ProgressoRelatorio::Repinta() {
  if (janela_) janela_->Repinta();
}

// The cancel request.
bool ProgressoRelatorio::Cancelado() { return EstadoRelatorio().cancelamento; }

}  // namespace report
