// A spreadsheet as the import sees it: worksheets streamed row by row, each row a list of cells
// that hold nothing, a number or a text (Windows-1252), whatever the file's format (CSV, XLSX,
// ODS). Readers never hold a whole sheet: they hand each row to a callback and forget it. A file
// that cannot be read is reported as a value naming the file and what to do.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace planilha {

// Limits that keep a damaged or hostile file from exhausting the machine.
constexpr size_t kLimiteArquivo = size_t(256) << 20;        // bytes of the file itself
constexpr size_t kLimiteDescompactado = size_t(512) << 20;  // bytes unpacked from a package
constexpr size_t kLimiteEntradas = 10000;                   // entries of a package
constexpr long kLimiteLinhas = 300000;                      // rows of a sheet that hold something
constexpr int kLimiteColunas = 16384;                       // columns of a row (XFD)

enum class TipoCelula { Vazia, Numero, Texto };

struct Celula {
  TipoCelula tipo = TipoCelula::Vazia;
  double numero = 0;  // Numero: the value (a formula's computed value)
  // Numero: the value as the file writes it ("43.5"), when it does; Texto: the text
  // (Windows-1252).
  std::string texto;
  bool formula = false;
};

// One row that holds something; linha is the sheet's own 1-based row number, and the cells are
// indexed by 0-based column (absent cells at the end are not there).
struct LinhaPlanilha {
  long linha = 0;
  std::vector<Celula> celulas;
  // The cell of a column, or an empty one.
  const Celula& Em(int coluna) const;
};

enum class Formato { Csv, Xlsx, Ods };

// Why a file could not be read: the whole message for the user (Windows-1252), which names the
// file and says what to do.
struct ErroPlanilha {
  std::string mensagem;
};

// A row handed to the caller; returning false stops the reading (cancelled).
using RecebeLinha = std::function<bool(const LinhaPlanilha&)>;
// The columns to take (by 0-based index), or null for every column.
using FiltroColunas = const std::vector<bool>*;

// A sheet file read into memory, with its format known.
class ArquivoPlanilha {
 public:
  // Reads the file (a regular file up to kLimiteArquivo) and recognises its format by content:
  // a zip package holding a workbook or an OpenDocument spreadsheet, otherwise text (CSV). Old
  // binary workbooks and password-protected ones are refused here.
  static std::optional<ErroPlanilha> Abre(const std::string& caminho, ArquivoPlanilha& destino);
  // The same over bytes already in memory (`nome` names the file in messages).
  static std::optional<ErroPlanilha> DeBytes(std::string bytes, const std::string& nome,
                                             ArquivoPlanilha& destino);

  Formato formato() const { return formato_; }
  const std::string& nome() const { return nome_; }
  // The worksheets' names (Windows-1252), in workbook order; a CSV has one, named after nothing.
  std::optional<ErroPlanilha> Abas(std::vector<std::string>& nomes) const;
  // Streams the rows of worksheet `aba` (0-based) that hold something. With `colunas`, only the
  // cells of the columns it marks are taken (the others read as empty).
  std::optional<ErroPlanilha> LeLinhas(size_t aba, const RecebeLinha& recebe,
                                       FiltroColunas colunas = nullptr) const;

 private:
  std::string bytes_;
  std::string nome_;
  Formato formato_ = Formato::Csv;
};

// The message for a file: "Não foi possível ler a planilha NOME: MOTIVO" + what to do.
ErroPlanilha Erro(const std::string& nome, const std::string& motivo);

// Column letters: 0 -> "A", 26 -> "AA"; and back (nullopt for what is not a column name).
std::string NomeColuna(int coluna);
std::optional<int> ColunaDoNome(std::string_view nome);

}  // namespace planilha
