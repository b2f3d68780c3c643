// Fuzz target: the OpenDocument reader (zip package, content.xml with repeated rows and cells)
// refuses what it cannot read with a message and never crashes or reads out of bounds.
#include "fuzz/AlvoPlanilha.h"

namespace {

void LeOds(std::string_view entrada) {
  std::vector<std::string> abas;
  if (planilha::detalhe::AbasOds(entrada, "fuzz.ods", abas)) return;
  for (size_t i = 0; i < abas.size() && i < 3; ++i)
    planilha::detalhe::LeOds(entrada, "fuzz.ods", i, teste::ExercitaLinha);
}

}  // namespace

PROPOSTA_ALVO_FUZZ("planilha_ods", LeOds)
