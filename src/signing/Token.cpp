#include "signing/Token.h"

#include <libp11.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/UserFolders.h"

namespace signing {

namespace {

// The PKCS#11 return values the messages tell apart.
constexpr unsigned long kPinIncorreto = 0xA0, kPinInvalido = 0xA1, kPinTamanho = 0xA2,
                        kPinBloqueado = 0xA4, kDispositivoRemovido = 0x32, kTokenAusente = 0xE0;

constexpr const char* kArquivoModulo = "/modulo-pkcs11";

// Where p11-kit keeps its module files, and where it looks for a module named without a folder.
const char* const kPastasConfiguracaoP11[] = {"/usr/share/p11-kit/modules", "/etc/pkcs11/modules"};
const char* const kPastasModulos[] = {"/usr/lib/x86_64-linux-gnu/pkcs11/", "/usr/lib/pkcs11/"};
// Modules of p11-kit that never hold a signer's key.
const char* const kModulosSemChave[] = {"p11-kit-trust", "p11-kit-client"};

std::string Hex(const unsigned char* p, size_t n) {
  static const char* kHex = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) (s += kHex[p[i] >> 4]) += kHex[p[i] & 0xF];
  return s;
}

// The PKCS#11 code of the last libp11 error (its reason), the queue emptied.
unsigned long CodigoPkcs11() {
  unsigned long e = ERR_peek_last_error();
  ERR_clear_error();
  return e ? static_cast<unsigned long>(ERR_GET_REASON(e)) : 0;
}

// The module paths of p11-kit's configuration files in `pasta`.
void ModulosDaConfiguracao(const std::string& pasta, std::vector<std::string>& modulos) {
  std::error_code ec;
  for (const auto& arquivo : std::filesystem::directory_iterator(pasta, ec)) {
    if (arquivo.path().extension() != ".module") continue;
    std::ifstream f(arquivo.path());
    for (std::string linha; std::getline(f, linha);) {
      if (linha.rfind("module:", 0) != 0) continue;
      std::string m = linha.substr(7);
      m.erase(0, m.find_first_not_of(" \t"));
      m.erase(m.find_last_not_of(" \t\r") + 1);
      if (m.empty() || m.front() == '/') {
        modulos.push_back(m);
        continue;
      }
      for (const char* p : kPastasModulos) modulos.push_back(p + m);
    }
  }
}

}  // namespace

struct SessaoToken::Estado {
  PKCS11_CTX* ctx = nullptr;
  bool carregado = false;
  PKCS11_SLOT* slots = nullptr;
  unsigned int nslots = 0;
  struct Item {
    PKCS11_SLOT* slot;
    PKCS11_CERT* certificado;
  };
  std::vector<Item> itens;
  std::vector<std::pair<PKCS11_SLOT*, unsigned int>> releituras;  // fresh looks after a refusal
  std::string modulo;
};

SessaoToken::~SessaoToken() {
  if (!e_) return;
  for (auto [slots, n] : e_->releituras) PKCS11_release_all_slots(e_->ctx, slots, n);
  if (e_->slots) PKCS11_release_all_slots(e_->ctx, e_->slots, e_->nslots);
  if (e_->carregado) PKCS11_CTX_unload(e_->ctx);
  if (e_->ctx) PKCS11_CTX_free(e_->ctx);
}

// Loads the module, then lists.
std::shared_ptr<SessaoToken> SessaoToken::Abre(const std::string& modulo, ErroAssinatura& erro) {
  std::shared_ptr<SessaoToken> s(new SessaoToken());
  s->e_ = std::make_unique<Estado>();
  s->e_->modulo = modulo;
  s->e_->ctx = PKCS11_CTX_new();
  const std::string nome = platform::utf8ToCp1252(modulo);
  if (::access(modulo.c_str(), R_OK) != 0) {
    Falhou(erro, Falha::ModuloNaoCarrega,
           "O m\xF3"
           "dulo PKCS#11 " +
               nome +
               " n\xE3o existe. Instale o programa do fabricante do token ou indique o caminho da "
               "biblioteca (.so) dele.");
    return nullptr;
  }
  if (!s->e_->ctx || PKCS11_CTX_load(s->e_->ctx, modulo.c_str()) != 0) {
    std::string motivo = MotivoOpenSSL();
    Falhou(erro, Falha::ModuloNaoCarrega,
           "O m\xF3"
           "dulo PKCS#11 " +
               nome +
               " n\xE3o p\xF4"
               "de ser carregado" +
               (motivo.empty() ? "" : " (" + motivo + ")") +
               ". Confira se \xE9 a biblioteca do token (.so) para este sistema de 64 bits.");
    return nullptr;
  }
  s->e_->carregado = true;
  if (!s->Lista(erro)) return nullptr;
  return s;
}

// Every end-entity certificate of every token present.
bool SessaoToken::Lista(ErroAssinatura& erro) {
  if (PKCS11_enumerate_slots(e_->ctx, &e_->slots, &e_->nslots) != 0) {
    MotivoOpenSSL();
    return Falhou(erro, Falha::SemToken,
                  "O m\xF3"
                  "dulo PKCS#11 n\xE3o listou as leitoras. Conecte o token e tente de "
                  "novo.");
  }
  bool algumToken = false;
  for (unsigned int i = 0; i < e_->nslots; ++i) {
    PKCS11_SLOT* slot = &e_->slots[i];
    if (!slot->token || !slot->token->initialized) continue;
    algumToken = true;
    PKCS11_CERT* certs = nullptr;
    unsigned int n = 0;
    if (PKCS11_enumerate_certs(slot->token, &certs, &n) != 0) continue;
    for (unsigned int k = 0; k < n; ++k) {
      PKCS11_CERT* c = &certs[k];
      if (!c->x509 || X509_check_ca(c->x509) != 0) continue;
      e_->itens.push_back({slot, c});
      lista_.push_back({platform::utf8ToCp1252(slot->token->label), Hex(c->id, c->id_len),
                        platform::utf8ToCp1252(c->label ? c->label : ""), LeTitular(c->x509)});
    }
  }
  ERR_clear_error();
  if (!algumToken)
    return Falhou(
        erro, Falha::SemToken,
        "Nenhum token ou cart\xE3o foi encontrado. Conecte o token (ou insira o cart\xE3o "
        "na leitora) e tente de novo.");
  if (lista_.empty())
    return Falhou(erro, Falha::SemChavePrivada,
                  "O token conectado n\xE3o traz nenhum certificado para assinatura.");
  return true;
}

namespace {

// The PIN flags as the token says them now (a fresh look at its slot), as a sentence. The fresh
// slot list lives as long as the session: releasing it would close the session's slots.
std::string TentativasRestantes(SessaoToken::Estado& e, PKCS11_SLOT* slot) {
  PKCS11_SLOT* novos = nullptr;
  unsigned int n = 0;
  std::string texto;
  if (PKCS11_enumerate_slots(e.ctx, &novos, &n) != 0) return texto;
  e.releituras.push_back({novos, n});
  unsigned long id = PKCS11_get_slotid_from_slot(slot);
  for (unsigned int i = 0; i < n; ++i) {
    PKCS11_TOKEN* t = novos[i].token;
    if (PKCS11_get_slotid_from_slot(&novos[i]) != id || !t) continue;
    if (t->userPinLocked)
      texto = " O PIN est\xE1 bloqueado agora; desbloqueie-o com o PUK no programa do fabricante.";
    else if (t->userPinFinalTry)
      texto = " Resta uma \xFAltima tentativa antes de o token bloquear.";
    else if (t->userPinCountLow)
      texto = " Restam poucas tentativas antes de o token bloquear.";
  }
  ERR_clear_error();
  return texto;
}

// The message for a refused login.
bool FalhaDeEntrada(unsigned long codigo, const std::string& token, const std::string& restantes,
                    ErroAssinatura& erro) {
  const std::string bloqueado = "O PIN do token " + token +
                                " est\xE1 bloqueado. Desbloqueie-o com o PUK no programa do "
                                "fabricante do token; nada foi assinado.";
  switch (codigo) {
    case kPinBloqueado:
      return Falhou(erro, Falha::TokenBloqueado, bloqueado);
    case kPinIncorreto:
    case kPinInvalido:
    case kPinTamanho:
      if (restantes.find("bloqueado agora") != std::string::npos)
        return Falhou(erro, Falha::TokenBloqueado, "PIN incorreto." + restantes);
      return Falhou(
          erro, Falha::PinErrado,
          "PIN incorreto para o token " + token + "." + restantes + " Digite o PIN novamente.");
    case kTokenAusente:
    case kDispositivoRemovido:
      return Falhou(erro, Falha::SemToken,
                    "O token " + token + " foi desconectado. Conecte-o e tente de novo.");
    default: {
      char hex[24];
      std::snprintf(hex, sizeof hex, "0x%lX", codigo);
      return Falhou(erro, Falha::PinErrado,
                    "O token " + token +
                        " recusou a entrada (c\xF3"
                        "digo PKCS#11 " +
                        hex + "). Confira o PIN e tente de novo.");
    }
  }
}

}  // namespace

// Login, then the key that matches the certificate, kept in the token.
bool SessaoToken::Entra(const std::shared_ptr<SessaoToken>& sessao, size_t indice,
                        const std::string& pin, Assinante& assinante, ErroAssinatura& erro) {
  Estado& e = *sessao->e_;
  const Estado::Item& item = e.itens.at(indice);
  const std::string token = sessao->lista_.at(indice).token;
  if (item.slot->token->userPinLocked) return FalhaDeEntrada(kPinBloqueado, token, "", erro);
  int entrou = 0;
  if (PKCS11_is_logged_in(item.slot, 0, &entrou) != 0 || !entrou) {
    if (PKCS11_login(item.slot, 0, pin.c_str()) != 0) {
      unsigned long codigo = CodigoPkcs11();
      return FalhaDeEntrada(codigo, token, TentativasRestantes(e, item.slot), erro);
    }
  }
  PKCS11_KEY* chave = PKCS11_find_key(item.certificado);
  EVP_PKEY* privada = chave ? PKCS11_get_private_key(chave) : nullptr;
  if (!privada) {
    MotivoOpenSSL();
    return Falhou(erro, Falha::SemChavePrivada,
                  "O token " + token + " n\xE3o tem a chave privada do certificado escolhido.");
  }
  assinante.sessao = sessao;
  assinante.chave.reset(privada);
  X509_up_ref(item.certificado->x509);
  assinante.certificado.reset(item.certificado->x509);
  // The issuers the same token holds make the chain.
  STACK_OF(X509)* outros = sk_X509_new_null();
  PKCS11_CERT* certs = nullptr;
  unsigned int n = 0;
  if (PKCS11_enumerate_certs(item.slot->token, &certs, &n) == 0)
    for (unsigned int k = 0; k < n; ++k)
      if (certs[k].x509 && X509_check_ca(certs[k].x509) != 0) sk_X509_push(outros, certs[k].x509);
  assinante.cadeia = OrdenaCadeia(item.certificado->x509, outros);
  sk_X509_free(outros);
  assinante.titular = sessao->lista_.at(indice).titular;
  ERR_clear_error();
  return true;
}

// The remembered module, then p11-kit's, each existing file once.
std::vector<std::string> ModulosConhecidos() {
  std::vector<std::string> candidatos;
  if (std::string m = ModuloLembrado(); !m.empty()) candidatos.push_back(m);
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/')
    ModulosDaConfiguracao(std::string(xdg) + "/pkcs11/modules", candidatos);
  else if (home && home[0] == '/')
    ModulosDaConfiguracao(std::string(home) + "/.config/pkcs11/modules", candidatos);
  for (const char* p : kPastasConfiguracaoP11) ModulosDaConfiguracao(p, candidatos);
  std::vector<std::string> modulos;
  for (const auto& m : candidatos) {
    bool semChave = std::any_of(std::begin(kModulosSemChave), std::end(kModulosSemChave),
                                [&](const char* n) { return m.find(n) != std::string::npos; });
    if (semChave || ::access(m.c_str(), R_OK) != 0) continue;
    if (std::find(modulos.begin(), modulos.end(), m) == modulos.end()) modulos.push_back(m);
  }
  return modulos;
}

// The first line of our settings file.
std::string ModuloLembrado() {
  std::string pasta = platform::userConfigFolder();
  if (pasta.empty()) return {};
  std::ifstream f(pasta + kArquivoModulo);
  std::string linha;
  std::getline(f, linha);
  return linha;
}

// Writes the settings file atomically.
bool LembraModulo(const std::string& modulo, std::string& erro) {
  std::string pasta = platform::userConfigFolder();
  if (int e = platform::makeFolders(pasta); e != 0) {
    erro =
        "A pasta de configura\xE7\xF5"
        "es " +
        platform::utf8ToCp1252(pasta) +
        " n\xE3o p\xF4"
        "de ser criada; o m\xF3"
        "dulo n\xE3o foi lembrado.";
    return false;
  }
  try {
    platform::writeFileAtomically(pasta + kArquivoModulo, modulo + "\n");
    return true;
  } catch (const base::EInOutError& e) {
    erro =
        "O m\xF3"
        "dulo n\xE3o foi lembrado: " +
        e.Mensagem();
    return false;
  }
}

}  // namespace signing
