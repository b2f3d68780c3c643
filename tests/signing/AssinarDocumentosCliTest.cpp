// proposta-cli assinar-documentos: the holder and each result printed, exit 2 with nothing written
// for a file that fails, the token path through SoftHSM with the PIN from a file.
#include <gtest/gtest.h>

#include "support/ExecutaCli.h"
#include "support/MaterialAssinatura.h"

namespace {

using teste::ExecutaCli;

class AssinarDocumentosCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { material_ = new teste::MaterialAssinatura(); }
  static void TearDownTestSuite() { delete material_; }
  void SetUp() override {
    teste::Grava(pasta_ / "proposta.txt", "proposta\r\n");
    teste::Roda("'" PROPOSTA_BINARY_DIR "/proposta-cli' listagem '" PROPOSTA_SOURCE_DIR
                "/examples/pregao-exemplo.xml' --saida '" +
                (pasta_ / "listagem.pdf") + "'");
  }
  // The environment of every run: settings in the test's folder.
  std::string Ambiente(const std::string& mais = "") const {
    return "HOME='" + pasta_.caminho() + "' XDG_CONFIG_HOME='" + (pasta_ / "config") + "' " + mais;
  }

  static inline teste::MaterialAssinatura* material_ = nullptr;
  teste::PastaTemporaria pasta_{"cli-assinatura"};
};

TEST_F(AssinarDocumentosCli, A1SignsEachFileAndPrintsTheHolder) {
  auto r = ExecutaCli(
      {"assinar-documentos", pasta_ / "listagem.pdf", pasta_ / "proposta.txt", "--certificado",
       material_->Pfx("pf"), "--senha-arquivo", material_->ArquivoSegredo(teste::kSenhaA1)},
      Ambiente());
  EXPECT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("Titular: JOSÉ DA SILVA (CPF 123.456.789-09)"), std::string::npos)
      << r.saida;
  EXPECT_NE(r.saida.find("listagem.pdf: assinado em " + (pasta_ / "listagem-assinado.pdf")),
            std::string::npos)
      << r.saida;
  EXPECT_NE(r.saida.find("proposta.txt: assinado em " + (pasta_ / "proposta.txt.p7s")),
            std::string::npos)
      << r.saida;
}

TEST_F(AssinarDocumentosCli, FailuresExitTwoAndWriteNothing) {
  teste::Grava(pasta_ / "danificado.pdf", "%PDF-1.4\n1 0 obj\n");
  struct Caso {
    std::vector<std::string> args;
    const char* trecho;
  } casos[] = {
      {{pasta_ / "listagem.pdf", "--certificado", material_->Pfx("pf"), "--senha-arquivo",
        material_->ArquivoSegredo("errada")},
       "Senha incorreta"},
      {{pasta_ / "listagem.pdf", "--certificado", material_->Pfx("vencido"), "--senha-arquivo",
        material_->ArquivoSegredo(teste::kSenhaA1)},
       "venceu em 01/01/2021"},
      {{pasta_ / "danificado.pdf", "--certificado", material_->Pfx("pf"), "--senha-arquivo",
        material_->ArquivoSegredo(teste::kSenhaA1)},
       "danificado"},
      {{pasta_ / "listagem.pdf", "--token", "--modulo", "/nao/existe.so", "--pin-arquivo",
        material_->ArquivoSegredo("1")},
       "n\xC3\xA3o existe"},
      {{pasta_ / "listagem.pdf"}, "uso:"},
  };
  for (const auto& c : casos) {
    auto antes = teste::Nomes(pasta_.caminho());
    std::vector<std::string> args{"assinar-documentos"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = ExecutaCli(args, Ambiente());
    EXPECT_EQ(r.codigo, 2) << r.saida;
    EXPECT_NE(r.saida.find(c.trecho), std::string::npos) << r.saida;
    EXPECT_EQ(teste::Nomes(pasta_.caminho()), antes) << r.saida;
  }
}

TEST_F(AssinarDocumentosCli, TokenSignsWithPinFileAndRemembersTheModule) {
  teste::TokenSoftHsm token(*material_, "pj");
  auto r = ExecutaCli(
      {"assinar-documentos", pasta_ / "listagem.pdf", "--token", "--modulo", teste::kModuloSoftHsm,
       "--certificado-id", "01", "--pin-arquivo", material_->ArquivoSegredo(teste::kPinToken)},
      Ambiente(token.Ambiente()));
  EXPECT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("CNPJ 12.345.678/0001-95"), std::string::npos) << r.saida;
  EXPECT_EQ(teste::Le(pasta_ / "config/proposta/modulo-pkcs11"),
            std::string(teste::kModuloSoftHsm) + "\n");
  r = ExecutaCli({"assinar-documentos", pasta_ / "proposta.txt", "--token", "--pin-arquivo",
                  material_->ArquivoSegredo("999999")},
                 Ambiente(token.Ambiente()));
  EXPECT_EQ(r.codigo, 2) << "the remembered module, a wrong PIN: " << r.saida;
  EXPECT_NE(r.saida.find("PIN incorreto"), std::string::npos) << r.saida;
  EXPECT_FALSE(std::filesystem::exists(pasta_ / "proposta.txt.p7s"));
}

}  // namespace
