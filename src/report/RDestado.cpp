// The process-wide report state.
#include "report/RDestado.h"

namespace report {

namespace {
std::unique_ptr<TEstadoRelatorio>& Slot() {
  static std::unique_ptr<TEstadoRelatorio> estado = std::make_unique<TEstadoRelatorio>();
  return estado;
}
}  // namespace

// The one report state.
TEstadoRelatorio& EstadoRelatorio() { return *Slot(); }

// Starts a clean report state; an open channel is abandoned with the old one.
void ReiniciaEstadoRelatorio() { Slot() = std::make_unique<TEstadoRelatorio>(); }

}  // namespace report
