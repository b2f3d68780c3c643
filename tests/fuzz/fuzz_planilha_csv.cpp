// Fuzz target: the CSV reader never crashes, hangs or reads out of bounds, and every cell it
// hands over goes through the price and brand readings of the import.
#include "fuzz/AlvoPlanilha.h"

namespace {

void LeCsv(std::string_view entrada) {
  planilha::detalhe::LeCsv(entrada, "fuzz.csv", teste::ExercitaLinha);
}

}  // namespace

PROPOSTA_ALVO_FUZZ("planilha_csv", LeCsv)
