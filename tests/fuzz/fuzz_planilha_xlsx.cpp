// Fuzz target: the workbook reader (zip package, relationships, shared texts, sheet) refuses what
// it cannot read with a message and never crashes or reads out of bounds.
#include "fuzz/AlvoPlanilha.h"

namespace {

void LeXlsx(std::string_view entrada) {
  std::vector<std::string> abas;
  if (planilha::detalhe::AbasXlsx(entrada, "fuzz.xlsx", abas)) return;
  for (size_t i = 0; i < abas.size() && i < 3; ++i)
    planilha::detalhe::LeXlsx(entrada, "fuzz.xlsx", i, teste::ExercitaLinha);
}

}  // namespace

PROPOSTA_ALVO_FUZZ("planilha_xlsx", LeXlsx)
