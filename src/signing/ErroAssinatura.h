// Why a signature could not be made, as one value: the kind of failure (the window and the
// command-line tool decide on it) and the message for the user, in Windows-1252, which always says
// what happened in the program's words and what to do; a library's own text only follows it.
#pragma once

#include <string>

namespace signing {

enum class Falha {
  Nenhuma,
  SenhaErrada,         // the PKCS#12 file's password
  ArquivoCertificado,  // the certificate file cannot be read or is not PKCS#12
  SemChavePrivada,     // the file or token holds no key for the certificate
  PinErrado,           // the token refused the PIN
  TokenBloqueado,      // the PIN is locked
  SemToken,            // no token or card in any reader of the module
  ModuloNaoCarrega,    // the PKCS#11 library cannot be loaded
  CertificadoVencido,  // expired or not yet valid
  PdfCriptografado,
  PdfDanificado,
  ArquivoIlegivel,    // a document that cannot be read
  ArquivoNaoGravado,  // the signed copy cannot be written
  AssinaturaFalhou,   // the key refused to sign (or signed wrongly)
};

struct ErroAssinatura {
  Falha falha = Falha::Nenhuma;
  std::string mensagem;  // Windows-1252

  explicit operator bool() const { return falha != Falha::Nenhuma; }
};

// Fills `erro` and returns false, so that failures read `return Falhou(erro, ...)`.
inline bool Falhou(ErroAssinatura& erro, Falha falha, std::string mensagem) {
  erro.falha = falha;
  erro.mensagem = std::move(mensagem);
  return false;
}

// The first error OpenSSL queued on this thread (its reason text), emptying the queue; empty when
// there is none. Follows the program's own message, never stands alone.
std::string MotivoOpenSSL();

}  // namespace signing
