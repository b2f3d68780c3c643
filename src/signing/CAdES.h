// Detached CMS signatures in the CAdES form: SHA-256, the signer's certificate identified by the
// signing-certificate-v2 attribute, the chain as far as the signer has it. The key signs the
// signed attributes once (a token is asked for one signature per document).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "signing/Certificado.h"
#include "signing/ErroAssinatura.h"

namespace signing {

using Sha256 = std::array<unsigned char, 32>;

// The SHA-256 of bytes given in parts.
class ResumoSha256 {
 public:
  ResumoSha256();
  ~ResumoSha256();
  ResumoSha256(const ResumoSha256&) = delete;
  ResumoSha256& operator=(const ResumoSha256&) = delete;
  void Acrescenta(std::string_view bytes);
  Sha256 Final();

 private:
  EVP_MD_CTX* ctx_;
};

// Whether the signed attributes carry the moment of signing: a .p7s does; a PDF signature does
// not (the moment is the signature dictionary's /M).
enum class HoraAssinatura { Incluir, Omitir };

// The DER of a CMS SignedData without content over the data whose SHA-256 is `resumo`; false with
// AssinaturaFalhou when the key refuses (a token removed, a PIN no longer valid) or its signature
// does not check against the certificate.
bool AssinaCAdES(const Assinante& assinante, const Sha256& resumo, HoraAssinatura hora,
                 std::string& der, ErroAssinatura& erro);

// A generous size for the DER AssinaCAdES will make with this signer.
size_t TamanhoEstimado(const Assinante& assinante);

}  // namespace signing
