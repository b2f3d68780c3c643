// The figures of a written proposal, from the item table by the program's money rules: which
// items take part (priced, or in a lot that has a price), each item's total as the program computes
// it and as printed with two decimals, and the lot and global totals both ways. The letter prints
// the printed figures (so its columns add up on paper); the check compares them with the
// program's own sums.
#pragma once

#include <string>
#include <vector>

#include "app/Moeda.h"
#include "app/TabelaItens.h"

namespace app {

// Cents of a count as "#,##0.00" shows it (halves away from zero).
int64_t CentavosImpressos(Contagem c);

struct ValorItem {
  int linha;         // the row in the item table
  Contagem preco;    // the unit price's count
  Contagem total;    // price x quantity, rounded to a count (the listing's row total)
  int64_t centavos;  // that total as printed
};

struct ValorLote {
  std::string lote;         // empty for items without a lot
  size_t primeiro, ultimo;  // range of `itens` (ultimo excluded)
  Contagem totalPrograma;   // the running rounded sum of the lot, as the listing sums it
  int64_t centavos;         // sum of the printed item totals
};

struct ValoresCarta {
  std::vector<ValorItem> itens;  // in table order
  std::vector<ValorLote> lotes;  // in table order
  Contagem totalPrograma = 0;    // the proposal total ("Valor Total da Proposta")
  int64_t centavos = 0;          // sum of the printed item totals
};

// The items of participating lots (a lot with at least one price), and priced items without a
// lot, with their figures.
ValoresCarta CalculaValores(const TTabelaItens& tabela);

}  // namespace app
