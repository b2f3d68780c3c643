// Proposed changes to the open proposal: a list of brands and prices for items (from a spreadsheet,
// from the adjustment to a final bid...), shown to the user before anything changes, applied
// through the same road as typed values (each row edited and posted, so the lot sums follow and
// the recovery journal keeps them) and undone as one step.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Moeda.h"

namespace app {

class TProposta;
class TTabelaItens;

enum class SituacaoAlteracao {
  Nova,
  Alterada,
  Igual,
  Recusada,
  SemCorrespondencia,
  VariasCorrespondencias
};

// One item's proposed brand and price. Texts are Windows-1252.
struct AlteracaoItem {
  long linhaTabela = 0;  // 1-based row of the item table; 0 when no item matched
  std::string ordem, codigo, nome;
  std::string marcaAntes, marcaDepois;  // marcaDepois empty: the brand stays as it is
  std::optional<Contagem> valorAntes;   // nullopt: the item has no price
  std::optional<Contagem> valorDepois;  // nullopt: the price stays as it is
  SituacaoAlteracao situacao = SituacaoAlteracao::Igual;
  std::string motivo;    // why refused / not matched
  long linhaOrigem = 0;  // the row of the source (a sheet's row), 0 if none
};

// A list of proposed changes and where it came from ("planilha.xlsx", "Readequação ao lance...").
struct LoteAlteracoes {
  std::string origem;
  std::vector<AlteracaoItem> itens;
};

// Which rows of a list to apply (one flag per row); an empty choice means every row.
using EscolhaAlteracoes = std::vector<bool>;

// The status as the review shows it ("Nova", "Alterada"...).
const char* NomeSituacao(SituacaoAlteracao s);
// Whether applying the row changes an item (a new or changed value of a matched item).
bool Aplicavel(const AlteracaoItem& a);
// Whether row i is chosen and applicable.
bool Escolhida(const LoteAlteracoes& l, const EscolhaAlteracoes& e, size_t i);

// The review's columns, shared by the window and the text rendering.
struct ColunaRevisao {
  const char* titulo;  // Windows-1252
  int largura;         // characters in the text rendering
  bool aDireita;       // numbers are right-aligned
};
const std::vector<ColunaRevisao>& ColunasRevisao();
// The text of a row's cell in column c (Windows-1252).
std::string TextoCelula(const AlteracaoItem& a, size_t c);
// A unit price as the review shows it: two decimals, up to four when the price has them.
std::string FormataPreco(Contagem c);

// The lot totals and the proposal total before and after applying a choice, as the program
// computes them (the running rounded sums). Only the lots the chosen rows touch are listed.
struct TotalLote {
  std::string lote;
  Contagem antes = 0, depois = 0;
};
struct TotaisAlteracoes {
  std::vector<TotalLote> lotes;
  Contagem propostaAntes = 0, propostaDepois = 0;
};
TotaisAlteracoes CalculaTotais(const TTabelaItens& tabela, const LoteAlteracoes& l,
                               const EscolhaAlteracoes& e = {});
// The totals as lines of text ("Lote 1: R$ 10,00 -> R$ 9,50").
std::vector<std::string> TextoTotais(const TotaisAlteracoes& t);

// The review as plain text: a header, one line per row with the columns above, then the totals.
std::string TextoRevisao(const TTabelaItens& tabela, const LoteAlteracoes& l);

// What undoes an applied list: each changed row with its values before and after the post.
struct DesfazerAlteracoes {
  struct Linha {
    int linha = 0;  // 1-based row of the table when applied
    std::optional<int32_t> ordem;
    std::string codigo;
    std::string marcaAntes, marcaDepois;
    std::optional<double> valorAntes, valorDepois;
  };
  std::string origem;
  std::string processo;  // the process file the rows belong to
  std::vector<Linha> linhas;
};

// Asked after each row applied, with the rows applied so far and the rows to apply; false
// cancels.
using ContinuaAlteracoes = std::function<bool(size_t feitas, size_t total)>;

// Applies the chosen rows to the open proposal, each as if typed: the row edited, its brand and
// price assigned, posted; the recovery journal keeps them as one block. Every chosen row is
// checked first (its table row must still be the same item); a mismatch raises base::Exception
// and nothing changes. A row the table refuses (the error escapes) or a cancel puts the rows
// applied so far back as they were: the list is applied whole or not at all (a cancel returns no
// row). The current row is kept.
DesfazerAlteracoes AplicaAlteracoes(TProposta& p, const LoteAlteracoes& l,
                                    const EscolhaAlteracoes& e = {},
                                    const ContinuaAlteracoes& continua = {});

// Undoes an applied list in one step, through the same road. A row changed again since (or gone)
// keeps what it has now.
struct ResultadoDesfazer {
  int desfeitas = 0, mantidas = 0;
};
ResultadoDesfazer DesfazAlteracoes(TProposta& p, const DesfazerAlteracoes& d);

}  // namespace app
