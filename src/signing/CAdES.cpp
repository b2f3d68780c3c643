#include "signing/CAdES.h"

#include <openssl/cms.h>
#include <openssl/err.h>

#include <algorithm>
#include <vector>

#include "platform/Clock.h"

namespace signing {

namespace {

struct LiberaCms {
  void operator()(CMS_ContentInfo* c) const { CMS_ContentInfo_free(c); }
};
struct LiberaContexto {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

// The DER of one attribute.
std::string DerAtributo(X509_ATTRIBUTE* a) {
  unsigned char* der = nullptr;
  int n = i2d_X509_ATTRIBUTE(a, &der);
  std::string s = n > 0 ? std::string(reinterpret_cast<char*>(der), size_t(n)) : "";
  OPENSSL_free(der);
  return s;
}

// A DER length.
std::string DerTamanho(size_t n) {
  if (n < 0x80) return std::string(1, char(n));
  std::string b;
  for (; n; n >>= 8) b.insert(b.begin(), char(n & 0xFF));
  return std::string(1, char(0x80 | b.size())) + b;
}

// The signed attributes as the signature covers them: a DER SET OF, its members in the order of
// their encodings.
std::string AtributosAssinados(CMS_SignerInfo* si) {
  std::vector<std::string> itens;
  for (int i = 0; i < CMS_signed_get_attr_count(si); ++i)
    itens.push_back(DerAtributo(CMS_signed_get_attr(si, i)));
  std::sort(itens.begin(), itens.end());
  std::string corpo;
  for (const auto& s : itens) corpo += s;
  return "\x31" + DerTamanho(corpo.size()) + corpo;
}

// Content type, message digest and, when asked, signing time: what OpenSSL would add at the end,
// but without the signing time it always adds.
bool AcrescentaAtributos(CMS_SignerInfo* si, const Sha256& resumo, HoraAssinatura hora) {
  bool ok = CMS_signed_add1_attr_by_NID(si, NID_pkcs9_contentType, V_ASN1_OBJECT,
                                        OBJ_nid2obj(NID_pkcs7_data), -1) &&
            CMS_signed_add1_attr_by_NID(si, NID_pkcs9_messageDigest, V_ASN1_OCTET_STRING,
                                        resumo.data(), int(resumo.size()));
  if (ok && hora == HoraAssinatura::Incluir) {
    std::time_t agora = platform::nowSeconds();
    ASN1_TIME* t = X509_time_adj_ex(nullptr, 0, 0, &agora);
    ok = t && CMS_signed_add1_attr_by_NID(si, NID_pkcs9_signingTime, t->type, t, -1);
    ASN1_TIME_free(t);
  }
  return ok;
}

// Signs `dados` with the key (SHA-256) and checks the result against the certificate.
bool AssinaBytes(const Assinante& a, const std::string& dados, std::string& assinatura) {
  std::unique_ptr<EVP_MD_CTX, LiberaContexto> ctx(EVP_MD_CTX_new());
  size_t n = 0;
  auto* d = reinterpret_cast<const unsigned char*>(dados.data());
  if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, a.chave.get()) != 1 ||
      EVP_DigestSign(ctx.get(), nullptr, &n, d, dados.size()) != 1)
    return false;
  assinatura.assign(n, '\0');
  auto* s = reinterpret_cast<unsigned char*>(assinatura.data());
  if (EVP_DigestSign(ctx.get(), s, &n, d, dados.size()) != 1) return false;
  assinatura.resize(n);
  std::unique_ptr<EVP_MD_CTX, LiberaContexto> v(EVP_MD_CTX_new());
  EVP_PKEY* publica = X509_get0_pubkey(a.certificado.get());
  return v && publica &&
         EVP_DigestVerifyInit(v.get(), nullptr, EVP_sha256(), nullptr, publica) == 1 &&
         EVP_DigestVerify(v.get(), s, n, d, dados.size()) == 1;
}

// The signer info with its attributes and signature.
bool PreencheAssinante(CMS_ContentInfo* cms, const Assinante& a, const Sha256& resumo,
                       HoraAssinatura hora) {
  CMS_SignerInfo* si = CMS_add1_signer(cms, a.certificado.get(), a.chave.get(), EVP_sha256(),
                                       CMS_PARTIAL | CMS_BINARY | CMS_CADES | CMS_NOSMIMECAP);
  if (!si || !AcrescentaAtributos(si, resumo, hora)) return false;
  for (const auto& x : a.cadeia)
    if (X509_cmp(x.get(), a.certificado.get()) != 0 && !CMS_add1_cert(cms, x.get())) return false;
  std::string assinatura;
  if (!AssinaBytes(a, AtributosAssinados(si), assinatura)) return false;
  return ASN1_STRING_set(CMS_SignerInfo_get0_signature(si), assinatura.data(),
                         int(assinatura.size())) == 1;
}

}  // namespace

ResumoSha256::ResumoSha256() : ctx_(EVP_MD_CTX_new()) {
  EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr);
}
ResumoSha256::~ResumoSha256() { EVP_MD_CTX_free(ctx_); }

// More bytes into the digest.
void ResumoSha256::Acrescenta(std::string_view bytes) {
  EVP_DigestUpdate(ctx_, bytes.data(), bytes.size());
}

// The digest of everything given.
Sha256 ResumoSha256::Final() {
  Sha256 r{};
  unsigned int n = 0;
  EVP_DigestFinal_ex(ctx_, r.data(), &n);
  return r;
}

// Builds the SignedData by hand up to the signature, so the attributes are exactly ours.
bool AssinaCAdES(const Assinante& a, const Sha256& resumo, HoraAssinatura hora, std::string& der,
                 ErroAssinatura& erro) {
  std::unique_ptr<CMS_ContentInfo, LiberaCms> cms(
      CMS_sign(nullptr, nullptr, nullptr, nullptr, CMS_PARTIAL | CMS_DETACHED | CMS_BINARY));
  if (!cms || !PreencheAssinante(cms.get(), a, resumo, hora)) {
    std::string motivo = MotivoOpenSSL();
    return Falhou(erro, Falha::AssinaturaFalhou,
                  "A chave do certificado n\xE3o assinou o documento" +
                      (motivo.empty() ? std::string() : " (" + motivo + ")") +
                      ". Verifique se o token continua conectado e tente de novo.");
  }
  unsigned char* saida = nullptr;
  int n = i2d_CMS_ContentInfo(cms.get(), &saida);
  if (n <= 0)
    return Falhou(erro, Falha::AssinaturaFalhou,
                  "A assinatura n\xE3o p\xF4"
                  "de ser "
                  "montada (" +
                      MotivoOpenSSL() + ").");
  der.assign(reinterpret_cast<char*>(saida), size_t(n));
  OPENSSL_free(saida);
  return true;
}

// The certificates, the signature and room for the attributes.
size_t TamanhoEstimado(const Assinante& a) {
  size_t n = 4096 + size_t(std::max(EVP_PKEY_get_size(a.chave.get()), 512));
  n += size_t(std::max(i2d_X509(a.certificado.get(), nullptr), 0));
  for (const auto& x : a.cadeia) n += size_t(std::max(i2d_X509(x.get(), nullptr), 0));
  return n;
}

}  // namespace signing
