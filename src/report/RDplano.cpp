// The page plan of a print job.
#include "report/RDplano.h"

#include <algorithm>

#include "report/RDTools.h"

namespace report {

namespace {

// The page selection as written (with repeats), or every page when it is empty.
std::vector<int> Selecao(const std::string& intervalo, int total) {
  std::vector<int> lista;
  if (intervalo.empty()) {
    for (int p = 1; p <= total; ++p) lista.push_back(p);
    return lista;
  }
  std::vector<std::string> textos;
  ExpandePaginas(intervalo, textos);
  lista.reserve(textos.size());
  for (const std::string& t : textos) lista.push_back(std::stoi(t));
  return lista;
}

// Whether a listed page goes out: it exists and has the parity asked for.
bool Entra(int pagina, int total, int parImpar) {
  if (pagina > total) return false;
  if (parImpar == 1) return pagina % 2 != 0;
  if (parImpar == 2) return pagina % 2 == 0;
  return true;
}

}  // namespace

// Selection, order, parity, then passes and copies.
TPlanoImpressao PaginasAImprimir(const TAjustesImpressao& ajustes, int total) {
  std::vector<int> lista = Selecao(ajustes.IntervaloPaginas, total);
  TPlanoImpressao plano;
  const int copias = std::max(ajustes.Copias, 0);
  plano.passosProgresso = copias * static_cast<int>(lista.size());
  if (ajustes.OrdemInversa) std::reverse(lista.begin(), lista.end());
  for (int p : lista)
    if (Entra(p, total, ajustes.ParImpar)) plano.paginas.push_back(p);
  plano.passes = ajustes.Agrupar ? ajustes.Copias : 1;
  plano.copiasPorPagina = ajustes.Agrupar ? 1 : ajustes.Copias;
  return plano;
}

}  // namespace report
