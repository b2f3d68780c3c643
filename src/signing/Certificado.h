// The signer's certificate: the key that signs (held in memory for an A1 file, kept inside the
// token for an A3 one), the certificate and its chain as far as it is available, and the holder's
// data read from the certificate (the ICP-Brasil fields for CPF and CNPJ). A1 files are read here;
// tokens in Token.h.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "signing/ErroAssinatura.h"

namespace signing {

struct LiberaX509 {
  void operator()(X509* x) const { X509_free(x); }
};
struct LiberaChave {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
using X509Ptr = std::unique_ptr<X509, LiberaX509>;
using ChavePtr = std::unique_ptr<EVP_PKEY, LiberaChave>;

// What the window shows about a certificate before it signs (Windows-1252 texts).
struct DadosTitular {
  std::string nome;     // the holder's name (the common name before ":")
  std::string cpf;      // 11 digits, from the ICP-Brasil field of a person, or empty
  std::string cnpj;     // 14 digits, from the ICP-Brasil field of a company, or empty
  std::string emissor;  // the issuer's common name (or its whole name)
  std::time_t validoDe = 0, validoAte = 0;

  // "CPF 123.456.789-09", "CNPJ 12.345.678/0001-90", or empty.
  std::string Documento() const;
  // "dd/mm/aaaa" of validoAte.
  std::string VenceEm() const;
};

// Reads the holder's data from a certificate.
DadosTitular LeTitular(X509* certificado);

// A certificate that can sign now: the key, the certificate, the rest of its chain. For a token
// the key only refers to the token, which `sessao` keeps open while the signer lives.
struct Assinante {
  std::shared_ptr<void> sessao;  // declared first: released after the key
  ChavePtr chave;
  X509Ptr certificado;
  std::vector<X509Ptr> cadeia;  // the issuers available, nearest first; without the certificate
  DadosTitular titular;
};

// The issuers of `certificado` among `outros`, nearest first, then the rest as they came.
std::vector<X509Ptr> OrdenaCadeia(X509* certificado, STACK_OF(X509) * outros);

// Reads an A1 file (PKCS#12) with its password into `assinante`; false with the reason (a wrong
// password, a file that is not a certificate, one without a private key).
bool CarregaA1(const std::string& caminho, const std::string& senha, Assinante& assinante,
               ErroAssinatura& erro);

// A certificate to be used at `agora`: false (CertificadoVencido) when expired or not yet valid;
// `aviso` says when it expires within 30 days, empty otherwise.
bool VerificaValidade(const DadosTitular& titular, std::time_t agora, std::string& aviso,
                      ErroAssinatura& erro);

}  // namespace signing
