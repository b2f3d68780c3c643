// What the spreadsheet fuzz targets share: every cell a reader hands over is read as a price and
// as a brand, as the import reads them, and the row's cells must be indexable.
#pragma once

#include <cstdlib>

#include "fuzz/AlvoFuzz.h"
#include "planilha/Leitores.h"
#include "planilha/Valores.h"

namespace teste {

inline bool ExercitaLinha(const planilha::LinhaPlanilha& l) {
  for (const planilha::Celula& c : l.celulas) {
    app::Contagem v = 0;
    std::string texto;
    if (planilha::LePreco(c, v, texto) == planilha::Leitura::Aceita && v < 0) std::abort();
    texto.clear();
    std::string marca;
    if (planilha::LeMarca(c, marca, texto) == planilha::Leitura::Aceita && marca.size() > 20)
      std::abort();
  }
  return true;
}

}  // namespace teste
