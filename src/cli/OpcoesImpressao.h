// The print settings of the command line, as the print setup dialog sets them, for every command
// that prints or writes printer bytes: --paginas, --par-impar, --copias, --sem-agrupar, --inversa;
// and the printer models by their command-line names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/RDtipos.h"

namespace cli {

// The settings given (those not given keep what Abrir set).
struct OpcoesImpressao {
  std::optional<std::string> paginas;  // IntervaloPaginas, "." and ";" already turned into ","
  std::optional<int> parImpar;         // 0 every page, 1 odd pages, 2 even pages
  std::optional<int> copias;           // 1 to 9999
  bool semAgrupar = false;
  bool inversa = false;
  bool Alguma() const { return paginas || parImpar || copias || semAgrupar || inversa; }
};

// The usage text of the options.
extern const char* const kUsoOpcoesImpressao;

// Takes the options out of args; false (after a message saying what to type) on a bad value.
bool LeOpcoesImpressao(std::vector<std::string>& args, OpcoesImpressao& opcoes);
// Puts the given options into the open report's print settings.
void AplicaOpcoesImpressao(const OpcoesImpressao& opcoes);

// The model of a command-line name (epson, rima, hp, grafico, personalizado, bobina, daruma),
// without regard to case; false for any other name.
bool ModeloDaChave(const std::string& chave, report::TModelo& modelo);
// The command-line name of a model.
std::string ChaveDoModelo(report::TModelo modelo);

}  // namespace cli
