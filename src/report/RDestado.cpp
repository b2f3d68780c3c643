// The process-wide report state.
#include "report/RDestado.h"

#include <unistd.h>

namespace report {

namespace {
std::unique_ptr<TEstadoRelatorio>& Slot() {
  static std::unique_ptr<TEstadoRelatorio> estado = std::make_unique<TEstadoRelatorio>();
  return estado;
}
}  // namespace

// The width of one character of a pitch in default cells.
double TComandosImpressora::LarguraRelativa(int cpi) const {
  switch (cpi) {
    case 5:
      return Largura5;
    case 12:
      return Largura12;
    case 15:
      return Largura15;
    case 17:
      return Largura17;
    case 20:
      return Largura20;
    default:
      return Largura10;
  }
}

// The one report state.
TEstadoRelatorio& EstadoRelatorio() { return *Slot(); }

// Starts a clean report state.
void ReiniciaEstadoRelatorio() {
  auto& s = Slot();
  if (s->canal.dispositivo >= 0) ::close(s->canal.dispositivo);
  s = std::make_unique<TEstadoRelatorio>();
}

}  // namespace report
