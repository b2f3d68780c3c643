// The recovery journal of a process file: the brands and prices posted into its rows (and the rows
// deleted) since the file was last written, one record per post, so that a crash or a power cut
// loses at most the row being typed. This unit is its name and its layout, written and read;
// TRecuperacaoDigitacao keeps it while the process is open.
//
// Layout: lines ending in LF; each ends with a TAB and the CRC-32 of the bytes before that TAB, in
// 8 hexadecimal digits, so a record cut short by a crash is told from a whole one. Fields are
// separated by TAB; texts are the program's own bytes (Windows-1252; the path as the file system
// has it) with "\", TAB, LF, CR and the other control characters escaped ("\\", "\t", "\n", "\r",
// "\xHH"), so they come back whatever they hold.
//   first line  "diario-proposta" 1 path size mtime-seconds mtime-nanoseconds
//   a post      "G" moment position ordem codigo marca valor
//   a deletion  "A" moment position ordem codigo
//   a block     "B" moment count, then that many posts and deletions written at once (a list of
//               changes applied in one step): a block cut short by a crash is left out whole, so
//               recovery never replays part of it
// The moment is in seconds since the epoch; the position is the row's 0-based place in table
// order; ordem and valor are empty when null, valor in the shortest form that reads back as the
// same double ("12.5").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStamp.h"

namespace app {

// One posted or deleted row: where it was and, for a post, its brand and price after the post.
struct RegistroDiario {
  enum class Tipo { Gravado, Apagado };
  Tipo tipo = Tipo::Gravado;
  int64_t momento = 0;
  int32_t posicao = 0;
  std::optional<int32_t> ordem;
  std::string codigo, marca;
  std::optional<double> valor;
  bool operator==(const RegistroDiario&) const = default;
};

// What a journal's bytes hold.
struct ConteudoDiario {
  // Vazio: nothing a crash could have left typed (no bytes, or a first line cut short). Danificado:
  // a line that is not whole comes before whole records, so they cannot be trusted in order.
  enum class Estado { Vazio, Valido, Danificado };
  Estado estado = Estado::Vazio;
  std::string caminho;          // the process file it belongs to
  platform::FileStamp carimbo;  // that file's stamp when it was opened
  std::vector<RegistroDiario> registros;
  size_t bytesValidos = 0;  // the first line and the whole records; what follows is a torn record
};

// The journal's file name for a process file's absolute path: 16 hexadecimal digits of a hash of
// the path, "-", the file's own name (cut to 120 bytes) and ".diario".
std::string NomeDiario(const std::string& caminhoAbsoluto);
// The name a journal is kept under when it is put aside: its name with the reason and the date and
// time before ".diario" ("...pregao.xml.nao-confere-20240501-103000.diario"), and "-n" from the
// second attempt on.
std::string NomeDeLado(const std::string& nome, std::string_view motivo, int64_t momento,
                       int tentativa);

std::string CodificaCabecalho(const std::string& caminho, const platform::FileStamp& carimbo);
std::string CodificaRegistro(const RegistroDiario& r);
// A block of records: its first line and the records' lines, to be written (and synced) at once.
std::string CodificaBloco(const std::vector<RegistroDiario>& registros, int64_t momento);
// Reads a journal's bytes; a torn last record (or a torn tail, a block cut short included) is left
// out.
ConteudoDiario LeDiario(std::string_view bytes);

}  // namespace app
