// The output of the report commands of proposta-cli (listagem, exportar, carta): the file to
// write, chosen by its extension, with the printer model and print options of a .prn output.
#pragma once

#include <string>
#include <vector>

#include "cli/OpcoesImpressao.h"
#include "report/RDformatos.h"
#include "report/RDprint.h"

namespace cli {

struct Destino {
  std::string saida;
  report::TModelo modelo = report::TModelo::Epson;
  OpcoesImpressao impressao;  // pages, copies and order of a .prn output
};

// Reads --saida, --modelo and the print options; null (after a message) on a usage error, else
// the output's format.
const report::TFormato* LeDestino(std::vector<std::string>& args, Destino& d);
// Writes the output in its format (a printer file with the model and print options given).
bool Grava(report::TRDprint& rd, const report::TFormato& formato, const Destino& d);

// What the print options do for a printer file (UTF-8), for the commands' help.
extern const char* const kAjudaOpcoesPrn;

}  // namespace cli
