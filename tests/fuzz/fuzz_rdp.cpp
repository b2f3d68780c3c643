// Fuzz target: loading a report file from memory never crashes or reads out of bounds, whatever
// its lines hold, and neither does writing what was loaded as text, HTML, PDF or a report file
// again (the input's length picks the writer, so each run stays short).
#include <iterator>
#include <string>

#include "fuzz/AlvoFuzz.h"
#include "platform/ByteSink.h"
#include "platform/Platform.h"
#include "report/RDprint.h"

namespace {

// Boxes and progress go nowhere: the target runs millions of times.
class PlataformaMuda : public platform::HeadlessPlatform {
 public:
  void showApplicationError(const std::string&) override {}
  void showMessage(const std::string&) override {}
  int messageBox(const std::string&, const std::string&, int) override { return 1; }
};

// The writers the input's length picks from; the last slot is reading alone.
using Escritor = report::TResultado (report::TRDprint::*)(platform::ByteSink&, const std::string&);
constexpr Escritor kEscritores[] = {&report::TRDprint::EscreveTXT, &report::TRDprint::EscreveHTML,
                                    &report::TRDprint::EscrevePDF, &report::TRDprint::EscreveRDP,
                                    nullptr};

void LeEGrava(std::string_view entrada) {
  static PlataformaMuda muda;
  static platform::ScopedPlatform instalada(muda);
  static report::TRDprint rd;
  rd.MostrarProgresso = false;
  rd.OnErro = [](report::TRDprint&, const std::string&) {};
  if (!rd.LeRDPDeMemoria(entrada, "fuzz")) return;
  const Escritor escreve = kEscritores[entrada.size() % std::size(kEscritores)];
  platform::MemorySink saida;
  if (escreve) (void)(rd.*escreve)(saida, "fuzz");
}

}  // namespace

PROPOSTA_ALVO_FUZZ("rdp", LeEGrava)
