// "Conferir proposta": everything that gets a written proposal disqualified or questioned, found
// before it is sent, per item and with the reason: an unpriced item of a priced lot, a priced item
// without a brand, a brand longer than the portal takes, a price with more decimals than the
// edital allows, printed item totals that do not add up to the printed lot and global totals, a
// missing validity or representative, an invalid CNPJ or CPF.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Perfis.h"
#include "app/TabelaItens.h"
#include "app/TermosProposta.h"

namespace app {

struct Pendencia {
  std::optional<int32_t> ordem;  // the item, when it concerns one
  std::string lote;              // its lot, or the lot whose total is concerned
  std::string motivo;            // what is wrong and what to do (Windows-1252)
};

// The findings, items first in table order, then the lots, the total and the company's data.
std::vector<Pendencia> ConfereProposta(const TTabelaItens& tabela, const PerfilEmpresa& perfil,
                                       const TermosProposta& termos);

// One finding as a line: "Item 00003 (lote 1): ...", "Lote 2: ...", or the reason alone.
std::string TextoPendencia(const Pendencia& p);

}  // namespace app
