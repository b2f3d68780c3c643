// The incremental update that adds a signature to a PDF: the original bytes stay as they are and
// are followed by a signature dictionary (with room for the CMS, covered by its /ByteRange), an
// invisible signature field on the first page, the catalog or form that lists it, and a new cross
// reference section of the same kind as the file's own. An earlier signature stays valid. The file
// is read with qpdf; encrypted and damaged files are refused.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "signing/ErroAssinatura.h"

namespace signing {

struct AtualizacaoPdf {
  std::string bytes;          // what follows the original bytes
  size_t inicioConteudo = 0;  // offset in the whole file of the "<" of /Contents
  size_t fimConteudo = 0;     // offset in the whole file just after its ">"
};

// Prepares the update for `original` with `reservado` bytes of room for the signature, signed by
// `nome` (Windows-1252) at `momento`; false (PdfCriptografado, PdfDanificado) when the file cannot
// take it.
bool PreparaAtualizacao(std::string_view original, const std::string& nome, std::time_t momento,
                        size_t reservado, AtualizacaoPdf& atualizacao, ErroAssinatura& erro);

// Puts the DER signature into the room left for it; false when it does not fit.
bool InsereAssinatura(AtualizacaoPdf& atualizacao, size_t tamanhoOriginal, const std::string& der);

}  // namespace signing
