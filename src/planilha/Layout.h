// The layout of the sheet the program exports: one table of its columns (title, what it holds,
// width) that the writers and the import share, and the identification row that lets the import
// recognise a sheet made for another process or whose codes or product names were edited.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/TabelaItens.h"
#include "planilha/Planilha.h"

namespace planilha {

enum class ColunaExportada {
  Ordem,
  Lote,
  Codigo,
  Produto,
  Descricao,
  Quantidade,
  Apuracao,
  Marca,
  ValorUnitario,
  ValorTotal
};

struct DescricaoColuna {
  ColunaExportada coluna;
  const char* titulo;  // the header cell (Windows-1252)
  double largura;      // in characters
  bool editavel;       // unlocked under the sheet's protection
};

// The columns in sheet order (column A first).
const std::array<DescricaoColuna, 10>& ColunasExportadas();
int IndiceColuna(ColunaExportada c);

// The first cell of the identification row, below the items.
extern const char* const kTituloIdentificacao;

// What the identification row holds.
struct Identificacao {
  std::string processo;  // the process number as shown ("2024/0015")
  long itens = 0;
  std::string resumo;  // digest of the items' ordem, código and produto, 16 hexadecimal digits
  bool operator==(const Identificacao&) const = default;
};

// Accumulates the digest, item after item.
class Resumo {
 public:
  void Item(std::string_view ordem, std::string_view codigo, std::string_view produto);
  std::string Hex() const;

 private:
  void Mistura(std::string_view s);
  uint64_t h_ = 1469598103934665603ull;
};

// The identification of the table's items.
Identificacao IdentificacaoDaTabela(const app::TTabelaItens& tabela, std::string_view processo);
// The identification row read back, when `linha` is one.
std::optional<Identificacao> LeIdentificacao(const LinhaPlanilha& linha);

}  // namespace planilha
