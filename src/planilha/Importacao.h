// Reading brands and prices back from a sheet: which columns hold what (our own sheet is known by
// its header; a supplier's sheet is mapped by the user, and the mapping is remembered for its
// layout), which item each row is (by item number, code or product name; several candidates are
// never guessed between), and what would change. Nothing here changes the item table: the result
// is a list of proposed changes for the review.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Alteracoes.h"
#include "app/Moeda.h"
#include "app/TabelaItens.h"
#include "planilha/Layout.h"
#include "planilha/Planilha.h"

namespace planilha {

// How a row finds its item.
enum class Criterio { Ordem, Codigo, Nome };
const char* NomeCriterio(Criterio c);  // "ordem", "codigo", "nome"
std::optional<Criterio> CriterioDoNome(std::string_view nome);

// Which 0-based column holds what, and how rows are matched. Rows up to `linhaCabecalho` (a
// sheet row number; 0 for none) are not items.
struct Mapeamento {
  std::optional<int> ordem, codigo, nome, marca, valor;
  Criterio por = Criterio::Codigo;
  long linhaCabecalho = 0;
  bool operator==(const Mapeamento&) const = default;
};

// "codigo=A,marca=H,valor=I" (also ordem= and nome=); nullopt with `erro` for what is not that.
std::optional<Mapeamento> LeColunas(std::string_view texto, std::string& erro);
// The same text for a mapping.
std::string TextoColunas(const Mapeamento& m);
// What is missing for the mapping to be used (the key column of its criterion, a brand or price
// column); empty when it can be used.
std::string FaltaNoMapeamento(const Mapeamento& m);

// The first rows of a worksheet (at most n), for the window and for recognising the layout.
std::optional<ErroPlanilha> PrimeirasLinhas(const ArquivoPlanilha& arquivo, size_t aba, size_t n,
                                            std::vector<LinhaPlanilha>& linhas);
// Our own sheet: its header among the first rows gives the mapping (by item number, the code
// and product checked too).
std::optional<Mapeamento> LayoutProprio(const std::vector<LinhaPlanilha>& primeiras);
// The header row of a supplier's sheet for a mapping: the last of the first rows whose price cell
// holds a text that is not a price ("Preço"); 0 when none.
long CabecalhoProvavel(const std::vector<LinhaPlanilha>& primeiras, const Mapeamento& m);
// A first guess for a supplier's sheet: in the first row whose titles name a brand or a price
// column ("Marca", "Preço", "Valor unitário"), the columns whose titles say what they hold (a
// title with "total" is never the price); rows matched by code when a code column is named, by
// product name otherwise. An empty mapping when no row has such titles.
Mapeamento MapeamentoSugerido(const std::vector<LinhaPlanilha>& primeiras);
// The layout of a sheet as a key for the remembered mappings: the header row's texts compared
// without case, accents and repeated blanks.
std::string AssinaturaLayout(const LinhaPlanilha& cabecalho);

// The proposed changes of an import (the shared review's list; its origin is the sheet's file
// name) and what the user must know before applying them (Windows-1252).
struct Importacao {
  app::LoteAlteracoes alteracoes;
  std::vector<std::string> avisos;
};

// Reads worksheet `aba` with the mapping and proposes, for every item of the table (in table
// order) and every sheet row that names no item, what would change. `processo` is the open
// process's number as shown: our own sheet made for another process is refused. `continua` is
// asked now and then with the rows read so far; false cancels (the result is then an error).
std::optional<ErroPlanilha> Importa(const ArquivoPlanilha& arquivo, size_t aba, const Mapeamento& m,
                                    const app::TTabelaItens& tabela, std::string_view processo,
                                    Importacao& resultado,
                                    const std::function<bool(long)>& continua = {});

}  // namespace planilha
