// The progress window protocol as the engine follows it.
#include "report/RDprogresso.h"

#include <chrono>

#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"

namespace report {

// Creates and shows the window when asked; clears the cancel request.
ProgressoRelatorio::ProgressoRelatorio(TRDprint& rd, bool mostrar, const TConfigProgresso& config)
    : rd_(rd), mostrar_(mostrar) {
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

// One entry of a long loop done: messages, the bar, and the cancel request. Entries come by the
// hundred thousand: the clock is read once per entry, and the window repaints only when messages
// are let through.
bool ProgressoRelatorio::Entrada() {
  constexpr auto kIntervalo = std::chrono::milliseconds(10);
  const auto agora = std::chrono::steady_clock::now();
  const bool vez = agora >= proximaVez_;
  if (vez) {
    platform::current().processMessages();
    proximaVez_ = agora + kIntervalo;
  }
  if (!mostrar_) return true;
  if (janela_) {
    janela_->Passo();
    if (vez) janela_->Repinta();
  }
  if (!EstadoRelatorio().cancelamento) return true;
  if (rd_.OnCancel) rd_.OnCancel(rd_);
  return false;
}

}  // namespace report
