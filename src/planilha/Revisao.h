// The review of an import as text (the command-line tool prints it) and the application of its
// accepted rows to the item table, through the same edit cycle typed values take.
#pragma once

#include <string>

#include "app/TabelaItens.h"
#include "planilha/Importacao.h"

namespace planilha {

// One line per item or sheet row with its status, then the counts (Windows-1252).
std::string TextoRevisao(const Importacao& imp);
// Applies the new and changed rows (each row edited and posted); returns how many.
int Aplica(const Importacao& imp, app::TTabelaItens& tabela);

}  // namespace planilha
