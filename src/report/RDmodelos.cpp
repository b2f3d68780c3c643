#include "report/RDmodelos.h"

#include "report/RDprint.h"

namespace report {

// One name per model, in the order of TModelo.
std::string NomeModelo(const TRDprint& rd, TModelo modelo) {
  static const char* const nomes[] = {"Epson - Matriciais e compat\xEDveis",
                                      "Rima / Emilia",
                                      "HP Deskjet/Laser (PCL 3)",
                                      "Gr\xE1"
                                      "fico - Compat\xEDvel com Windows",
                                      nullptr,
                                      "Bobina / Cupom",
                                      "Daruma DR700"};
  if (modelo == TModelo::Personalizado) return rd.ImpressoraPersonalizada.NomeImpressora;
  return nomes[static_cast<int>(modelo)];
}

}  // namespace report
