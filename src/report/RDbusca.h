// The preview's text search over the page store: the routine behind the find dialog (from a
// position, up or down, accent blind and optionally case blind, never wrapping) and the list of
// every match of the whole report. Both read the stored texts as they are (macros not expanded).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// Where a search found its text: the page, line + 1 and column + text length of the entry, and
// the entry's index in the store (-1 when nothing was found).
struct TAchado {
  int32_t pagina = 0, linha = 0, coluna = 0;
  int32_t indice = -1;
};

// The search routine. Clears the search mark and the results; scans the T, D and X entries from
// `posicao` (clamped to the store) toward the end (`paraBaixo`) or toward the first entry. On the
// first entry whose text holds `texto`, marks it, fills `achado` and moves `posicao` past it in
// the direction of the search; otherwise leaves `posicao` as clamped and returns false.
bool ProcuraTexto(bool paraBaixo, bool diferenciaMaiusculas, std::string_view texto,
                  int32_t& posicao, TAchado& achado);

// One match of the whole report: where it is and the text of its line as the grid shows it.
struct TOcorrencia {
  TAchado achado;
  std::string textoLinha;
};
// Every entry of the store that the search routine would stop at, in store order.
std::vector<TOcorrencia> ListaOcorrencias(bool diferenciaMaiusculas, std::string_view texto);

// Makes the entry at `indice` the search mark and fills `achado` from it; false (nothing changed)
// when the store has no such entry.
bool MarcaEntrada(int32_t indice, TAchado& achado);

}  // namespace report
