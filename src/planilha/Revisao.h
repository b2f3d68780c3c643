// The review of an import as text: the shared review of proposed changes, preceded by what the
// user must know about the sheet and followed by how many rows have each status. Applying goes
// through the shared road (app::AplicaAlteracoes), as every proposed change does.
#pragma once

#include <string>

#include "app/TabelaItens.h"
#include "planilha/Importacao.h"

namespace planilha {

// The warnings of an import, one "Atenção: ..." line each (empty when there is none).
std::string TextoAvisos(const Importacao& imp);
// How many rows have each status: "1 nova(s), 0 alterada(s), ...".
std::string TextoContagem(const app::LoteAlteracoes& l);
// The warnings, the shared review text (every item and every sheet row, then the totals), the
// reasons too long for its column given whole, and the count per status (Windows-1252, lines
// ended by "\n").
std::string TextoRevisao(const app::TTabelaItens& tabela, const Importacao& imp);

}  // namespace planilha
