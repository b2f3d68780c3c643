// The sheet to write, cell by cell in the layout's columns, and the writer of each format.
#pragma once

#include <string>
#include <vector>

#include "app/Moeda.h"
#include "app/TabelaItens.h"
#include "planilha/Layout.h"
#include "platform/ByteSink.h"

namespace planilha::detalhe {

// One item row: the texts in UTF-8 (the formats' own encoding), the numbers as the program holds
// them.
struct LinhaExportada {
  std::string ordem;  // empty when null
  std::string lote, codigo, produto, descricao, apuracao, marca;
  std::optional<double> quantidade;
  std::optional<app::Contagem> valor;  // empty for a null or zero price: the cell to fill
  app::Contagem total = 0;             // valor x quantidade, rounded
};

struct Folha {
  std::vector<LinhaExportada> linhas;
  Identificacao id;  // processo in UTF-8
};

Folha MontaFolha(const app::TTabelaItens& tabela, std::string_view processo);
// The sheet row (1-based) of the identification row: one empty row below the items.
inline long LinhaIdentificacao(const Folha& f) { return static_cast<long>(f.linhas.size()) + 3; }

bool EscreveCsv(const Folha& f, platform::ByteSink& destino);
bool EscreveXlsx(const Folha& f, platform::ByteSink& destino, std::string& erro);
bool EscreveOds(const Folha& f, platform::ByteSink& destino, std::string& erro);

// The UTF-8 header text of a column.
std::string Titulo(const DescricaoColuna& c);

}  // namespace planilha::detalhe
