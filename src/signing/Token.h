// Certificates of A3 tokens and smart cards through a PKCS#11 module (libp11): the module is
// loaded, the certificates of every token present are listed without a PIN, and a login with the
// PIN gives a signer whose private key never leaves the token. Also the modules the system knows
// (p11-kit's configuration) and the one the user gave, remembered in the settings folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "signing/Certificado.h"
#include "signing/ErroAssinatura.h"

namespace signing {

// A certificate on a token, as listed before the PIN.
struct CertificadoToken {
  std::string token;   // the token's label
  std::string id;      // its CKA_ID in hex: what --certificado-id names
  std::string rotulo;  // its label
  DadosTitular titular;
};

class SessaoToken {
 public:
  // Loads `modulo` and lists the certificates with a private key of every token present; null
  // with ModuloNaoCarrega or SemToken.
  static std::shared_ptr<SessaoToken> Abre(const std::string& modulo, ErroAssinatura& erro);
  ~SessaoToken();
  SessaoToken(const SessaoToken&) = delete;
  SessaoToken& operator=(const SessaoToken&) = delete;

  const std::vector<CertificadoToken>& Certificados() const { return lista_; }

  // Logs into the token of certificate `indice` with `pin` (never kept) and fills `assinante`;
  // false with PinErrado (the tries left when the token says), TokenBloqueado or SemChavePrivada.
  static bool Entra(const std::shared_ptr<SessaoToken>& sessao, size_t indice,
                    const std::string& pin, Assinante& assinante, ErroAssinatura& erro);

  struct Estado;

 private:
  SessaoToken() = default;
  bool Lista(ErroAssinatura& erro);
  std::unique_ptr<Estado> e_;
  std::vector<CertificadoToken> lista_;
};

// The modules to offer: the one remembered first, then those of p11-kit's configuration, each
// once, only those whose file exists.
std::vector<std::string> ModulosConhecidos();

// The module path the user gave last, or empty.
std::string ModuloLembrado();
// Keeps `modulo` for the next time in $XDG_CONFIG_HOME/proposta (written atomically); false with
// the reason when it could not be written (signing goes on).
bool LembraModulo(const std::string& modulo, std::string& erro);

}  // namespace signing
