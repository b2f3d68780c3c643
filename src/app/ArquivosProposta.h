// What the user is told about the files around an open process before something is replaced or
// chosen: a proposal file's date and total, the proposal generated from a process that is newer
// than the process file, whether a file is UTF-8 text, why a write failed, and a folder that can
// be written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/Moeda.h"
#include "app/TabelaItens.h"
#include "base/Erros.h"

namespace app {

// The proposal total of a table: the running rounded sum of price count x quantity.
Contagem TotalDaTabela(const TTabelaItens& tabela);

// The path, then "gravado em dd/mm/aaaa às hh:mm, total R$ 1.234,56" (Windows-1252); the total is
// left out when the file cannot be read as a process document.
std::string DescreveArquivoProposta(const std::string& caminho);

// The newest proposal generated from the process file at caminhoProcesso that is newer than it: a
// file of the same folder named by the proposal rule (the process path without ".xml", a company
// name, ".xml") whose "fornecedor" line holds that name.
std::optional<std::string> PropostaMaisRecente(const std::string& caminhoProcesso);

// True when the bytes are valid UTF-8 holding at least one character beyond ASCII: a process file
// written that way shows its accented letters wrong.
bool TextoUtf8(std::string_view bytes);

// Why a write failed, for the user ("sem permissão para gravar nesta pasta (I/O error 13)").
std::string MotivoFalhaGravacao(const base::EInOutError& erro);

// The path offered for saving after writing `caminhoQueFalhou` failed: the same file name in the
// user's home folder when it can be written, else the same path again.
std::string SugestaoEmPastaGravavel(const std::string& caminhoQueFalhou);

}  // namespace app
