// The page plan of a print job, worked out from the print settings alone: which pages go out, in
// which order, how many passes and copies. Pure: no report state, no printer.
#pragma once

#include <string>
#include <vector>

namespace report {

// The print settings the plan reads (those of the report state that the setup dialog sets).
struct TAjustesImpressao {
  int Copias = 1;
  bool Agrupar = true;
  bool OrdemInversa = false;
  std::string IntervaloPaginas;  // empty: every page
  int ParImpar = 0;              // 0 every page, 1 odd pages only, 2 even pages only
};

struct TPlanoImpressao {
  // One pass: the pages in printing order (pages beyond the report and pages of the wrong parity
  // left out); each is printed `copiasPorPagina` times in a row.
  std::vector<int> paginas;
  int passes = 0;           // collated copies run the whole pass once per copy
  int copiasPorPagina = 0;  // uncollated copies repeat each page within the one pass
  int passosProgresso = 0;  // the progress bar's maximum: copies x entries of the page selection
};

// The plan for a report of `total` pages.
TPlanoImpressao PaginasAImprimir(const TAjustesImpressao& ajustes, int total);

}  // namespace report
