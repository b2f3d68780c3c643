// Signing one document with a signer: a PDF gets a PAdES signature in an incremental update,
// written beside it as NOME-assinado.pdf; any other file a detached CAdES signature NOME.p7s
// beside it. The signed copy takes its place atomically and only when complete; the original is
// never changed, and a failure leaves nothing behind.
#pragma once

#include <string>
#include <vector>

#include "signing/Certificado.h"
#include "signing/ErroAssinatura.h"

namespace signing {

// A name ending in ".pdf", in any case.
bool EhPdf(const std::string& caminho);

// Where the signed copy (or the signature) of `caminho` goes.
std::string CaminhoAssinado(const std::string& caminho);

// The documents proposed for signing in a process's folder: its PDFs that are not signed copies,
// then the proposal file written last (when there is one), sorted by name.
std::vector<std::string> DocumentosParaAssinar(const std::string& processo,
                                               const std::string& proposta);

// Signs `caminho` (UTF-8 path) and writes CaminhoAssinado(caminho); false with the reason
// (ArquivoIlegivel, PdfCriptografado, PdfDanificado, AssinaturaFalhou, ArquivoNaoGravado).
bool AssinaDocumento(const Assinante& assinante, const std::string& caminho, ErroAssinatura& erro);

}  // namespace signing
