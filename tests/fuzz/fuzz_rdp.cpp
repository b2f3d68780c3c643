// Fuzz target: loading a report file from memory never crashes or reads out of bounds, whatever
// its lines hold, and neither does writing what was loaded as text, HTML, PDF or a report file
// again (the input's length picks the writer, so each run stays short).
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "fuzz/AlvoFuzz.h"
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

// A folder of the target's own for the files it writes (in memory where the system has it).
const std::string& Pasta() {
  static const std::string pasta = [] {
    std::string modelo = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") +
                         std::string("/fuzz-rdp-XXXXXX");
    const char* p = mkdtemp(modelo.data());
    return p ? std::string(p) : std::string("/tmp");
  }();
  return pasta;
}

void LeEGrava(std::string_view entrada) {
  static PlataformaMuda muda;
  static platform::ScopedPlatform instalada(muda);
  static report::TRDprint rd;
  rd.MostrarProgresso = false;
  rd.OnErro = [](report::TRDprint&, const std::string&) {};
  if (!rd.LeRDPDeMemoria(entrada, "fuzz")) return;
  switch (entrada.size() % 5) {
    case 0:
      rd.GravaTXT(Pasta() + "/saida.txt");
      break;
    case 1:
      rd.GravaHTML(Pasta() + "/saida.htm");
      break;
    case 2:
      rd.GravaPDF(Pasta() + "/saida.pdf");
      break;
    case 3:
      rd.GravaRDP(Pasta() + "/saida.rdp");
      break;
    default:
      break;  // reading alone
  }
}

}  // namespace

PROPOSTA_ALVO_FUZZ("rdp", LeEGrava)
