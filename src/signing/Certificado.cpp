#include "signing/Certificado.h"

#include <openssl/err.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"

namespace signing {

namespace {

constexpr size_t kLimiteArquivoA1 = 1 << 20;
constexpr std::time_t kAvisoVencimento = 30 * 24 * 3600;

// The ICP-Brasil otherName entries of the subject alternative name.
constexpr const char* kOidPessoaFisica = "2.16.76.1.3.1";  // birth date (8), CPF (11), ...
constexpr const char* kOidCnpj = "2.16.76.1.3.3";          // CNPJ (14)

// A name's common name (or the whole name on one line when it has none), in Windows-1252.
std::string NomeComum(const X509_NAME* nome) {
  int i = X509_NAME_get_index_by_NID(nome, NID_commonName, -1);
  if (i < 0) {
    char linha[512];
    X509_NAME_oneline(nome, linha, sizeof linha);
    return platform::utf8ToCp1252(linha);
  }
  unsigned char* utf8 = nullptr;
  int n = ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(nome, i)));
  std::string texto = n > 0 ? std::string(reinterpret_cast<char*>(utf8), size_t(n)) : "";
  OPENSSL_free(utf8);
  return platform::utf8ToCp1252(texto);
}

// The text of an otherName value (ICP-Brasil writes them as OCTET STRING, some issuers as
// PrintableString or UTF8String).
std::string TextoOutroNome(const ASN1_TYPE* valor) {
  if (!valor) return {};
  switch (valor->type) {
    case V_ASN1_OCTET_STRING:
    case V_ASN1_UTF8STRING:
    case V_ASN1_PRINTABLESTRING:
    case V_ASN1_IA5STRING: {
      const ASN1_STRING* s = valor->value.asn1_string;
      return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(s)),
                         size_t(ASN1_STRING_length(s)));
    }
    default:
      return {};
  }
}

// `n` digits of `texto` from `inicio`, or empty when they are not all digits or all zeros.
std::string Digitos(const std::string& texto, size_t inicio, size_t n) {
  if (texto.size() < inicio + n) return {};
  std::string d = texto.substr(inicio, n);
  bool digitos = std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  bool zeros = d.find_first_not_of('0') == std::string::npos;
  return digitos && !zeros ? d : std::string();
}

// Reads CPF and CNPJ from the subject alternative name.
void LeCamposIcpBrasil(X509* certificado, DadosTitular& t) {
  auto* nomes = static_cast<GENERAL_NAMES*>(
      X509_get_ext_d2i(certificado, NID_subject_alt_name, nullptr, nullptr));
  if (!nomes) return;
  for (int i = 0; i < sk_GENERAL_NAME_num(nomes); ++i) {
    const GENERAL_NAME* g = sk_GENERAL_NAME_value(nomes, i);
    if (g->type != GEN_OTHERNAME) continue;
    char oid[64];
    OBJ_obj2txt(oid, sizeof oid, g->d.otherName->type_id, 1);
    std::string valor = TextoOutroNome(g->d.otherName->value);
    if (std::string(oid) == kOidPessoaFisica) t.cpf = Digitos(valor, 8, 11);
    if (std::string(oid) == kOidCnpj) t.cnpj = Digitos(valor, 0, 14);
  }
  GENERAL_NAMES_free(nomes);
}

// Seconds since the epoch of a certificate time.
std::time_t Instante(const ASN1_TIME* t) {
  std::tm tm{};
  if (!t || ASN1_TIME_to_tm(t, &tm) != 1) return 0;
  return timegm(&tm);
}

// "dd/mm/aaaa" of a moment in the program's clock zone.
std::string Data(std::time_t t) {
  base::DataHora d = platform::dateTimeOf(t);
  char s[48];
  std::snprintf(s, sizeof s, "%02d/%02d/%04d", d.dia, d.mes, d.ano);
  return s;
}

// Files made by older tools are encrypted with ciphers that OpenSSL 3 keeps in its legacy
// provider: loaded once, beside the default one, the first time a file needs it.
void CarregaProvedorLegado() {
  static std::once_flag uma;
  std::call_once(uma, [] {
    OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER_load(nullptr, "default");
  });
}

}  // namespace

// Follows the issuers from the certificate upwards.
std::vector<X509Ptr> OrdenaCadeia(X509* certificado, STACK_OF(X509) * outros) {
  std::vector<X509Ptr> resto, cadeia;
  for (int i = 0; outros && i < sk_X509_num(outros); ++i) {
    X509* x = sk_X509_value(outros, i);
    X509_up_ref(x);
    resto.emplace_back(x);
  }
  X509* atual = certificado;
  for (bool achou = true; achou;) {
    achou = false;
    for (auto it = resto.begin(); it != resto.end(); ++it) {
      if (X509_check_issued(it->get(), atual) != X509_V_OK || X509_cmp(it->get(), atual) == 0)
        continue;
      atual = it->get();
      cadeia.push_back(std::move(*it));
      resto.erase(it);
      achou = true;
      break;
    }
  }
  for (auto& x : resto) cadeia.push_back(std::move(x));
  return cadeia;
}

// The first queued OpenSSL reason, the queue emptied.
std::string MotivoOpenSSL() {
  unsigned long e = ERR_peek_error();
  std::string texto;
  if (e) {
    const char* r = ERR_reason_error_string(e);
    texto = r ? r : "erro " + std::to_string(e);
  }
  ERR_clear_error();
  return texto;
}

// The holder's document, formatted.
std::string DadosTitular::Documento() const {
  if (cnpj.size() == 14)
    return "CNPJ " + cnpj.substr(0, 2) + "." + cnpj.substr(2, 3) + "." + cnpj.substr(5, 3) + "/" +
           cnpj.substr(8, 4) + "-" + cnpj.substr(12);
  if (cpf.size() == 11)
    return "CPF " + cpf.substr(0, 3) + "." + cpf.substr(3, 3) + "." + cpf.substr(6, 3) + "-" +
           cpf.substr(9);
  return {};
}

// The last day of validity.
std::string DadosTitular::VenceEm() const { return Data(validoAte); }

// Name, documents, issuer and validity of a certificate.
DadosTitular LeTitular(X509* certificado) {
  DadosTitular t;
  t.nome = NomeComum(X509_get_subject_name(certificado));
  if (auto p = t.nome.find(':'); p != std::string::npos) t.nome.resize(p);
  t.emissor = NomeComum(X509_get_issuer_name(certificado));
  t.validoDe = Instante(X509_get0_notBefore(certificado));
  t.validoAte = Instante(X509_get0_notAfter(certificado));
  LeCamposIcpBrasil(certificado, t);
  return t;
}

// Opens the PKCS#12 file: the MAC tells a wrong password from a damaged file.
bool CarregaA1(const std::string& caminho, const std::string& senha, Assinante& assinante,
               ErroAssinatura& erro) {
  std::string bytes;
  platform::ReadError le;
  if (!platform::readRegularFile(caminho, kLimiteArquivoA1, bytes, le))
    return Falhou(erro, Falha::ArquivoCertificado,
                  "N\xE3o foi poss\xEDvel ler o arquivo do certificado " +
                      platform::utf8ToCp1252(caminho) + ": " + le.text);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::unique_ptr<PKCS12, decltype(&PKCS12_free)> p12(d2i_PKCS12(nullptr, &p, long(bytes.size())),
                                                      PKCS12_free);
  if (!p12) {
    MotivoOpenSSL();
    return Falhou(erro, Falha::ArquivoCertificado,
                  "O arquivo " + platform::utf8ToCp1252(caminho) +
                      " n\xE3o \xE9 um certificado A1 (PKCS#12, .pfx ou .p12).");
  }
  if (!PKCS12_verify_mac(p12.get(), senha.c_str(), int(senha.size()))) {
    MotivoOpenSSL();
    return Falhou(erro, Falha::SenhaErrada,
                  "Senha incorreta para o certificado " + platform::utf8ToCp1252(caminho) +
                      ". Digite a senha do arquivo .pfx novamente.");
  }
  EVP_PKEY* chave = nullptr;
  X509* certificado = nullptr;
  STACK_OF(X509)* outros = nullptr;
  if (!PKCS12_parse(p12.get(), senha.c_str(), &chave, &certificado, &outros)) {
    MotivoOpenSSL();
    CarregaProvedorLegado();
    if (!PKCS12_parse(p12.get(), senha.c_str(), &chave, &certificado, &outros))
      return Falhou(erro, Falha::ArquivoCertificado,
                    "O certificado " + platform::utf8ToCp1252(caminho) +
                        " n\xE3o p\xF4"
                        "de ser aberto (" +
                        MotivoOpenSSL() + ").");
  }
  assinante.chave.reset(chave);
  assinante.certificado.reset(certificado);
  if (!chave || !certificado) {
    sk_X509_pop_free(outros, X509_free);
    return Falhou(erro, Falha::SemChavePrivada,
                  "O arquivo " + platform::utf8ToCp1252(caminho) +
                      " n\xE3o traz a chave privada do certificado; exporte o certificado com a "
                      "chave privada.");
  }
  assinante.cadeia = OrdenaCadeia(certificado, outros);
  sk_X509_pop_free(outros, X509_free);
  assinante.titular = LeTitular(certificado);
  return true;
}

// Refuses a certificate outside its validity, warns within 30 days of its end.
bool VerificaValidade(const DadosTitular& t, std::time_t agora, std::string& aviso,
                      ErroAssinatura& erro) {
  aviso.clear();
  if (agora > t.validoAte)
    return Falhou(erro, Falha::CertificadoVencido,
                  "O certificado de " + t.nome + " venceu em " + t.VenceEm() +
                      ". Renove o certificado ou escolha outro; nada foi assinado.");
  if (agora < t.validoDe)
    return Falhou(erro, Falha::CertificadoVencido,
                  "O certificado de " + t.nome + " s\xF3 \xE9 v\xE1lido a partir de " +
                      Data(t.validoDe) + "; nada foi assinado.");
  if (t.validoAte - agora <= kAvisoVencimento)
    aviso = "Aten\xE7\xE3o: o certificado de " + t.nome + " vence em " + t.VenceEm() +
            ". Providencie a renova\xE7\xE3o.";
  return true;
}

}  // namespace signing
