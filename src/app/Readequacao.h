// Adjusting a proposal to a final bid: new unit prices, in the program's counts, none above the
// old one nor below one step (0,01 or 0,0001), the discount spread in proportion to the prices,
// whose total - computed as the program computes it, the running rounded sum of price x quantity
// in table order - is at most the bid and maximal: no single price can go up one step without the
// total passing the bid. The residue goes by largest remainders, ties by `ordem`, so the same input
// always gives the same prices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Alteracoes.h"
#include "app/Moeda.h"

namespace app {

class TTabelaItens;

// One priced item to adjust, in table order.
struct ItemReadequacao {
  Contagem preco = 0;       // the current price (at least one step)
  double quantidade = 0.0;  // not negative
  int32_t ordem = 0;        // breaks ties of the residue
};

struct Readequado {
  std::vector<Contagem> precos;  // the new prices, one per item
  Contagem totalAntes = 0, totalDepois = 0;
  std::string recusa;  // why it cannot be done (Windows-1252); empty when done
  bool Feito() const { return recusa.empty(); }
};

// The step of a number of decimals of unit prices (2 -> 100, 4 -> 1); 0 for any other.
Contagem PassoDeCasas(int casas);
// The running rounded total of the items at the given prices (the program's own sum).
Contagem TotalDe(const std::vector<ItemReadequacao>& itens, const std::vector<Contagem>& precos);
// The new prices for a bid. Refused: a bid at or above the current total, below what the minimum
// prices give, an item priced below one step.
Readequado Readequa(const std::vector<ItemReadequacao>& itens, Contagem lance, int casas);

// Reads a money value as typed ("3.605,06", "3605,06", "R$ 10"): at most four decimals; nullopt
// when it is not one.
std::optional<Contagem> LeDinheiro(std::string_view texto);

// The adjustment of the open proposal: one lot (its `lote` text) or, without one, every item.
struct PedidoReadequacao {
  std::optional<std::string> lote;
  Contagem lance = 0;
  int casas = 2;
};
struct ReadequacaoProposta {
  LoteAlteracoes alteracoes;  // every priced item of the lot or proposal, changed or not
  std::string recusa;         // empty when done
  Contagem totalAntes = 0, totalDepois = 0;
};
// Builds the proposed changes from the item table. Refused also: a lot that does not exist, a lot
// with prices and unpriced items, negative quantities or prices.
ReadequacaoProposta ReadequaTabela(const TTabelaItens& tabela, const PedidoReadequacao& pedido);

}  // namespace app
