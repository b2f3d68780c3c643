// The print settings of the command line, as the print setup dialog sets them, for every command
// that prints or writes printer bytes: --paginas, --par-impar, --copias, --sem-agrupar, --inversa;
// and the printer model by its command-line name (--modelo).
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

// Takes --modelo out of args into modelo (*dado says whether it was given); false (after a
// message listing the models) for a name the table does not know.
bool LeModelo(std::vector<std::string>& args, report::TModelo& modelo, bool* dado = nullptr);

}  // namespace cli
