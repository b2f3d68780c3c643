// Fuzz target: decoding one page command (fixed fields, attribute number, colour, macros) must
// never read out of bounds, whatever the line holds.
#include <string>

#include "fuzz/AlvoFuzz.h"
#include "report/RDcomando.h"
#include "report/RDprint.h"

namespace {

// Decodes the input as a page command of an open report.
void DecodificaQualquer(std::string_view entrada) {
  static report::TRDprint rd;
  rd.OnErro = [](report::TRDprint&, const std::string&) {};
  report::TComando c;
  if (report::DecodificaComando(entrada, c)) {
    std::string recodificado;
    if (report::CodificaComando(c, c.Texto, recodificado)) (void)recodificado.size();
  }
  (void)rd.SubstituiMacros(entrada);
}

}  // namespace

PROPOSTA_ALVO_FUZZ("comando", DecodificaQualquer)
