// ImpressoraAtual: the device name and port of the platform's current printer.
#include "base/Texto.h"
#include "platform/Platform.h"
#include "report/RDTools.h"

namespace report {

// Reads the current printer from the platform (which asks the spooler afresh).
void ImpressoraAtual(std::string& Nome, std::string& Porta) {
  Nome.clear();
  Porta.clear();
  if (auto impressora = platform::current().currentPrinter()) {
    Nome = impressora->deviceName;
    Porta = impressora->port;
  }
  if (base::Pos("LPT", Porta) > 0) Porta = base::Copy(Porta, 1, 4);
}

}  // namespace report
