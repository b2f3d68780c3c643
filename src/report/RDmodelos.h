// The printer models by name, as the print setup dialog lists them (item n is the model of
// ordinal n) and the command-line tool shows them.
#pragma once

#include <string>

#include "report/RDtipos.h"

namespace report {

class TRDprint;

// The name of a model; the custom model is named by the component's ImpressoraPersonalizada.
std::string NomeModelo(const TRDprint& rd, TModelo modelo);

}  // namespace report
