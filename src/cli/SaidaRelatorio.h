// The output of the report commands of proposta-cli (listagem, exportar, carta): the file to
// write, chosen by its extension, with the printer model and print options of a .prn output.
#pragma once

#include <string>
#include <vector>

#include "cli/OpcoesImpressao.h"
#include "report/RDprint.h"

namespace cli {

struct Destino {
  std::string saida;
  report::TModelo modelo = report::TModelo::Epson;
  OpcoesImpressao impressao;  // pages, copies and order of a .prn output
};

// An output format: the extension of the file name (matched without regard to case) and the
// writer that produces it.
struct Formato {
  const char* extensao;
  bool (*grava)(report::TRDprint& rd, const Destino& d);
};

// Reads --saida, --modelo and the print options; null (after a message) on a usage error, else
// the output format.
const Formato* LeDestino(std::vector<std::string>& args, Destino& d);

// What the print options do for a printer file (UTF-8), for the commands' help.
extern const char* const kAjudaOpcoesPrn;

}  // namespace cli
