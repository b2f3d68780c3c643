// Signing with an A3 token through PKCS#11: a SoftHSM token made by the test holds the holder's
// key and certificate; the module list, the PIN refusals and the signatures made with the key
// that stays in the token.
#include <gtest/gtest.h>

#include <filesystem>

#include "signing/AssinaDocumento.h"
#include "signing/Token.h"
#include "support/ExecutaCli.h"
#include "support/MaterialAssinatura.h"

namespace {

using signing::Falha;

class Token : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    material_ = new teste::MaterialAssinatura();
    token_ = new teste::TokenSoftHsm(*material_, "pf");
  }
  static void TearDownTestSuite() {
    delete token_;
    delete material_;
  }
  void SetUp() override { ::setenv("XDG_CONFIG_HOME", (pasta_ / "config").c_str(), 1); }
  void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }

  static inline teste::MaterialAssinatura* material_ = nullptr;
  static inline teste::TokenSoftHsm* token_ = nullptr;
  teste::PastaTemporaria pasta_{"token"};
};

TEST_F(Token, ListsTheHolderCertificateWithoutThePin) {
  signing::ErroAssinatura e;
  auto sessao = signing::SessaoToken::Abre(teste::kModuloSoftHsm, e);
  ASSERT_TRUE(sessao) << e.mensagem;
  ASSERT_EQ(sessao->Certificados().size(), 1u) << "the CA on the token is not offered";
  const auto& c = sessao->Certificados().front();
  EXPECT_EQ(c.id, "01");
  EXPECT_EQ(c.token, "Token Teste");
  EXPECT_EQ(c.titular.Documento(), "CPF 123.456.789-09");
}

TEST_F(Token, ModuleAndPinFailuresAreTold) {
  struct Caso {
    std::string modulo, pin;
    Falha falha;
    const char* trecho;
  } casos[] = {
      {"/usr/lib/nao-existe/libtoken.so", teste::kPinToken, Falha::ModuloNaoCarrega,
       "n\xE3o existe"},
      {"/etc/hostname", teste::kPinToken, Falha::ModuloNaoCarrega, "carregado"},
      {teste::kModuloSoftHsm, "000000", Falha::PinErrado, "PIN incorreto"},
  };
  for (const auto& c : casos) {
    signing::ErroAssinatura e;
    auto sessao = signing::SessaoToken::Abre(c.modulo, e);
    signing::Assinante a;
    if (sessao) signing::SessaoToken::Entra(sessao, 0, c.pin, a, e);
    EXPECT_EQ(e.falha, c.falha) << c.modulo << ": " << e.mensagem;
    EXPECT_NE(e.mensagem.find(c.trecho), std::string::npos) << e.mensagem;
  }
}

TEST_F(Token, NoInitialisedTokenIsNoToken) {
  teste::PastaTemporaria vazio("softhsm-vazio");
  std::filesystem::create_directory(vazio / "tokens");
  teste::Grava(vazio / "conf", "directories.tokendir = " + (vazio / "tokens") + "\n");
  std::string antes = std::getenv("SOFTHSM2_CONF");
  ::setenv("SOFTHSM2_CONF", (vazio / "conf").c_str(), 1);
  signing::ErroAssinatura e;
  EXPECT_FALSE(signing::SessaoToken::Abre(teste::kModuloSoftHsm, e));
  ::setenv("SOFTHSM2_CONF", antes.c_str(), 1);
  EXPECT_EQ(e.falha, Falha::SemToken) << e.mensagem;
}

TEST_F(Token, SignsPdfAndP7sWithTheKeyInTheToken) {
  signing::ErroAssinatura e;
  auto sessao = signing::SessaoToken::Abre(teste::kModuloSoftHsm, e);
  ASSERT_TRUE(sessao) << e.mensagem;
  signing::Assinante a;
  ASSERT_TRUE(signing::SessaoToken::Entra(sessao, 0, teste::kPinToken, a, e)) << e.mensagem;
  EXPECT_EQ(a.cadeia.size(), 1u) << "the CA from the token";
  std::string pdf = pasta_ / "carta.pdf", txt = pasta_ / "proposta.txt";
  teste::Roda("'" PROPOSTA_BINARY_DIR "/proposta-cli' listagem '" PROPOSTA_SOURCE_DIR
              "/examples/pregao-exemplo.xml' --saida '" +
              pdf + "'");
  teste::Grava(txt, "proposta\r\n");
  ASSERT_TRUE(signing::AssinaDocumento(a, pdf, e)) << e.mensagem;
  ASSERT_TRUE(signing::AssinaDocumento(a, txt, e)) << e.mensagem;
  auto r = teste::ExecutaComando("pdfsig -nssdir '" + material_->BancoNss() + "' '" +
                                 signing::CaminhoAssinado(pdf) + "'");
  EXPECT_NE(r.saida.find("Signature is Valid"), std::string::npos) << r.saida;
  r = teste::ExecutaComando("openssl cms -verify -binary -inform DER -in '" + txt +
                            ".p7s' -content '" + txt + "' -CAfile '" + material_->ca +
                            "' -purpose any -out /dev/null");
  EXPECT_EQ(r.codigo, 0) << r.saida;
}

TEST_F(Token, RemembersTheModuleTheUserGave) {
  std::string erro;
  EXPECT_EQ(signing::ModuloLembrado(), "");
  ASSERT_TRUE(signing::LembraModulo(teste::kModuloSoftHsm, erro)) << erro;
  EXPECT_EQ(teste::Le(pasta_ / "config/proposta/modulo-pkcs11"),
            std::string(teste::kModuloSoftHsm) + "\n");
  auto modulos = signing::ModulosConhecidos();
  ASSERT_FALSE(modulos.empty());
  EXPECT_EQ(modulos.front(), teste::kModuloSoftHsm);
  EXPECT_EQ(std::count(modulos.begin(), modulos.end(), modulos.front()), 1)
      << "p11-kit's entry for the same module is not offered twice";
}

}  // namespace
