// The process file: a line-oriented, XML-looking Windows-1252 file read strictly by line position
// and tag text (never parsed as XML), and the writer shared by the rewrite on close and by the
// proposal file. Reading is all or nothing; writing replaces the target atomically.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/TabelaItens.h"
#include "platform/AtomicFile.h"

namespace app {

// The largest process file that is read: a 100,000-item process is about 28 MB.
constexpr size_t kLimiteArquivoProcesso = size_t(1) << 30;

// What line 1 tells: the captions of Label2/Label5, Memo2's text and the announced item count;
// after a whole file was read, also the criterion its loading leaves on Label6.
struct CabecalhoProcesso {
  std::string primeirosQuatro;  // the first four characters of line 1
  bool cotacao = false;         // line 1 starts "<cot": Label2 becomes "Cotação:"
  std::string label5;     // process number as shown, "AAAA/BBBB" (11 characters for a quotation)
  std::string descricao;  // Memo2
  int32_t totalItens = 0;
  // The `apuracao` ("1" or "2") of the last item in file order that has one; empty when none.
  std::string ultimoCriterio;
};

// The value between the first opening tag and the first closing tag of a line, by position.
std::string ExtrairValor(std::string_view linha, std::string_view abre, std::string_view fecha);
// Parses line 1 (`LerCabecalho`); raises EConvertError for a count that is not an integer.
CabecalhoProcesso LerCabecalho(std::string_view linha1);

// Reads a whole process file image into `destino` (reset first). On any error `destino` is left
// as it was and the error (EConvertError, EFormatoInvalido) is raised. A first line that the
// rewrite could not write back so that it reads the same (no label attribute, say) is refused
// with EFormatoInvalido.
CabecalhoProcesso LerProcessoDeBytes(std::string_view bytes, TTabelaItens& destino);
// Reads the file at caminho the same way. It must be a regular file of at most
// kLimiteArquivoProcesso bytes; otherwise, or when it cannot be read, EInOutError: "File not
// found", "I/O error %d", or a text saying what the path is (a folder, a pipe, a device) or how
// large it is.
CabecalhoProcesso LerProcesso(const std::string& caminho, TTabelaItens& destino);

// The bytes of a process document for the table, walking it from the first row to the last (a row
// being edited is posted first); `passo` runs once per item written. With `fornecedor` it is a
// proposal file.
std::string MontaDocumento(TTabelaItens& tabela, std::string_view label5, std::string_view memo2,
                           const std::optional<std::string>& fornecedor,
                           const std::function<void()>& passo = {});
// Writes that document over caminho atomically; "I/O error %d" on failure, the old file kept whole.
// The result tells whether the written file's folder could be synced.
platform::WriteResult EscreveDocumento(const std::string& caminho, TTabelaItens& tabela,
                                       std::string_view label5, std::string_view memo2,
                                       const std::optional<std::string>& fornecedor,
                                       const std::function<void()>& passo = {});

// The proposal file beside the process file: the path without its last four characters, then the
// company name (converted to the file system's encoding), then ".xml".
std::string CaminhoProposta(const std::string& caminhoProcesso, std::string_view empresaCp1252);

}  // namespace app
