// Signing documents with an A1 file: the holder's fields, the refusals, the PDF signatures as
// pdfsig and qpdf judge them (a second signature, a changed byte) and the .p7s as openssl cms
// verifies it. The test material is made by tests/support/MaterialAssinatura.h.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Clock.h"
#include "signing/AssinaDocumento.h"
#include "support/MaterialAssinatura.h"
#include "support/PDF.h"

namespace fs = std::filesystem;

namespace {

using signing::Falha;
using teste::Executa;
using teste::Le;

class Assinatura : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    material_ = new teste::MaterialAssinatura();
    pdfLista_ = material_->pasta / "listagem.pdf";
    teste::Roda("'" PROPOSTA_BINARY_DIR "/proposta-cli' listagem '" PROPOSTA_SOURCE_DIR
                "/examples/pregao-exemplo.xml' --saida '" +
                pdfLista_ + "'");
  }
  static void TearDownTestSuite() { delete material_; }

  // The A1 signer of `nome`.
  static signing::Assinante A1(const std::string& nome) {
    signing::Assinante a;
    signing::ErroAssinatura e;
    EXPECT_TRUE(signing::CarregaA1(material_->Pfx(nome), teste::kSenhaA1, a, e)) << e.mensagem;
    return a;
  }
  // pdfsig's report on a file, with the test CA trusted.
  static std::string Pdfsig(const std::string& pdf) {
    return Executa("pdfsig -nssdir '" + material_->BancoNss() + "' '" + pdf + "'").saida;
  }
  // A copy of `origem` in the test's folder.
  std::string Copia(const std::string& origem, const std::string& nome) {
    std::string d = pasta_ / nome;
    fs::copy_file(origem, d);
    return d;
  }

  static inline teste::MaterialAssinatura* material_ = nullptr;
  static inline std::string pdfLista_;
  teste::PastaTemporaria pasta_{"assinatura"};
};

size_t Conta(const std::string& texto, const std::string& trecho) {
  size_t n = 0;
  for (size_t p = texto.find(trecho); p != std::string::npos; p = texto.find(trecho, p + 1)) ++n;
  return n;
}

// The CMS inside the last signature dictionary of a signed PDF.
std::string CmsDoPdf(const std::string& pdf) {
  size_t p = pdf.rfind("/Contents <") + 11;
  std::string der;
  for (; pdf[p] != '>'; p += 2) der += char(std::stoi(pdf.substr(p, 2), nullptr, 16));
  while (!der.empty() && der.back() == '\0') der.pop_back();
  return der;
}

TEST_F(Assinatura, HolderFieldsComeFromTheIcpBrasilOtherNames) {
  struct Caso {
    const char* nome;
    std::string titular, documento;
  } casos[] = {
      {"pf", "JOS\xC9 DA SILVA", "CPF 123.456.789-09"},
      {"pj", "EMPRESA EXEMPLO LTDA", "CNPJ 12.345.678/0001-95"},
  };
  for (const auto& c : casos) {
    signing::Assinante a = A1(c.nome);
    EXPECT_EQ(a.titular.nome, c.titular) << c.nome;
    EXPECT_EQ(a.titular.Documento(), c.documento) << c.nome;
    EXPECT_EQ(a.titular.emissor, "AC Teste das Propostas") << c.nome;
    ASSERT_EQ(a.cadeia.size(), 1u) << "the CA travels with the certificate";
  }
}

TEST_F(Assinatura, ValidityRefusesExpiredAndWarnsWithinThirtyDays) {
  struct Caso {
    const char* nome;
    bool aceito;
    bool aviso;
  } casos[] = {{"pf", true, false}, {"proximo", true, true}, {"vencido", false, false}};
  for (const auto& c : casos) {
    std::string aviso;
    signing::ErroAssinatura e;
    bool ok = signing::VerificaValidade(A1(c.nome).titular, platform::nowSeconds(), aviso, e);
    EXPECT_EQ(ok, c.aceito) << c.nome;
    EXPECT_EQ(!aviso.empty(), c.aviso) << c.nome << aviso;
    if (!ok) {
      EXPECT_NE(e.mensagem.find("venceu em 01/01/2021"), std::string::npos) << e.mensagem;
    }
  }
}

TEST_F(Assinatura, CertificateFileErrorsAreTold) {
  teste::Grava(pasta_ / "texto.pfx", "isto nao e um certificado");
  struct Caso {
    std::string arquivo, senha;
    Falha falha;
    const char* trecho;
  } casos[] = {
      {material_->Pfx("pf"), "errada", Falha::SenhaErrada, "Senha incorreta"},
      {pasta_ / "texto.pfx", teste::kSenhaA1, Falha::ArquivoCertificado, "n\xE3o \xE9 um "},
      {pasta_ / "falta.pfx", teste::kSenhaA1, Falha::ArquivoCertificado, "ler o arquivo"},
  };
  for (const auto& c : casos) {
    signing::Assinante a;
    signing::ErroAssinatura e;
    EXPECT_FALSE(signing::CarregaA1(c.arquivo, c.senha, a, e));
    EXPECT_EQ(e.falha, c.falha) << e.mensagem;
    EXPECT_NE(e.mensagem.find(c.trecho), std::string::npos) << e.mensagem;
  }
}

// Both kinds of cross-reference section: the program's own table and a stream (object streams).
TEST_F(Assinatura, PdfSignatureIsValidAndCoversTheWholeFile) {
  std::string fluxo = pasta_ / "fluxo.pdf";
  teste::Roda("qpdf --object-streams=generate '" + pdfLista_ + "' '" + fluxo + "'");
  signing::Assinante a = A1("pf");
  for (const std::string& original : {Copia(pdfLista_, "tabela.pdf"), fluxo}) {
    const std::string antes = Le(original);
    signing::ErroAssinatura e;
    ASSERT_TRUE(signing::AssinaDocumento(a, original, e)) << e.mensagem;
    const std::string assinado = signing::CaminhoAssinado(original);
    EXPECT_EQ(Le(original), antes) << "the original never changes";
    EXPECT_EQ(Le(assinado).substr(0, antes.size()), antes) << "an incremental update";
    std::string relatorio = Pdfsig(assinado);
    EXPECT_NE(relatorio.find("Signature is Valid"), std::string::npos) << relatorio;
    EXPECT_NE(relatorio.find("Certificate is Trusted"), std::string::npos) << relatorio;
    EXPECT_NE(relatorio.find("Total document signed"), std::string::npos) << relatorio;
    EXPECT_NE(relatorio.find("ETSI.CAdES.detached"), std::string::npos) << relatorio;
    teste::ValidaPDF(assinado);
  }
}

TEST_F(Assinatura, PdfCmsCarriesSigningCertificateV2AndNoSigningTime) {
  std::string original = Copia(pdfLista_, "doc.pdf");
  signing::ErroAssinatura e;
  ASSERT_TRUE(signing::AssinaDocumento(A1("pf"), original, e)) << e.mensagem;
  teste::Grava(pasta_ / "sig.der", CmsDoPdf(Le(signing::CaminhoAssinado(original))));
  std::string dump =
      Executa("openssl cms -cmsout -print -inform DER -in '" + (pasta_ / "sig.der") + "'").saida;
  EXPECT_NE(dump.find("id-smime-aa-signingCertificateV2"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("signingTime"), std::string::npos) << dump;
  EXPECT_NE(dump.find("sha256"), std::string::npos) << dump;
  EXPECT_EQ(Conta(dump, "d.certificate:"), 2u) << "the certificate and its CA";
}

TEST_F(Assinatura, SecondSignatureKeepsTheFirstValid) {
  signing::Assinante pf = A1("pf"), pj = A1("pj");
  std::string original = Copia(pdfLista_, "doc.pdf");
  signing::ErroAssinatura e;
  ASSERT_TRUE(signing::AssinaDocumento(pf, original, e)) << e.mensagem;
  std::string uma = signing::CaminhoAssinado(original);
  ASSERT_TRUE(signing::AssinaDocumento(pj, uma, e)) << e.mensagem;
  std::string duas = signing::CaminhoAssinado(uma);
  std::string relatorio = Pdfsig(duas);
  EXPECT_EQ(Conta(relatorio, "Signature is Valid"), 2u) << relatorio;
  EXPECT_EQ(Conta(relatorio, "Total document signed"), 1u) << relatorio;
  EXPECT_NE(relatorio.find("EMPRESA EXEMPLO LTDA"), std::string::npos) << relatorio;
  EXPECT_NE(Le(duas).find("/T (Assinatura2)"), std::string::npos);
  teste::ValidaPDF(duas);
}

TEST_F(Assinatura, ChangedByteGivesDigestMismatch) {
  std::string original = Copia(pdfLista_, "doc.pdf");
  signing::ErroAssinatura e;
  ASSERT_TRUE(signing::AssinaDocumento(A1("pf"), original, e)) << e.mensagem;
  std::string bytes = Le(signing::CaminhoAssinado(original));
  size_t p = bytes.rfind("/M (D:") + 6;
  bytes[p] = bytes[p] == '2' ? '1' : '2';
  teste::Grava(pasta_ / "alterado.pdf", bytes);
  std::string relatorio = Pdfsig(pasta_ / "alterado.pdf");
  EXPECT_NE(relatorio.find("Digest Mismatch"), std::string::npos) << relatorio;
}

TEST_F(Assinatura, RefusedDocumentsWriteNothing) {
  std::string bytes = Le(pdfLista_);
  teste::Grava(pasta_ / "truncado.pdf", bytes.substr(0, bytes.size() / 2));
  teste::Grava(pasta_ / "lixo.pdf", "%PDF-1.4\nnada aqui\n");
  teste::Roda("qpdf --encrypt '' dono 256 -- '" + pdfLista_ + "' '" + (pasta_ / "aberto.pdf") +
              "'");
  teste::Roda("qpdf --encrypt usuario dono 256 -- '" + pdfLista_ + "' '" + (pasta_ / "senha.pdf") +
              "'");
  Copia(pdfLista_, "ocupado.pdf");
  fs::create_directory(pasta_ / "ocupado-assinado.pdf");
  struct Caso {
    std::string arquivo;
    Falha falha;
  } casos[] = {
      {"truncado.pdf", Falha::PdfDanificado},  {"lixo.pdf", Falha::PdfDanificado},
      {"aberto.pdf", Falha::PdfCriptografado}, {"senha.pdf", Falha::PdfCriptografado},
      {"falta.pdf", Falha::ArquivoIlegivel},   {"ocupado.pdf", Falha::ArquivoNaoGravado},
  };
  signing::Assinante a = A1("pf");
  for (const auto& c : casos) {
    auto antes = teste::Nomes(pasta_.caminho());
    signing::ErroAssinatura e;
    EXPECT_FALSE(signing::AssinaDocumento(a, pasta_ / c.arquivo, e)) << c.arquivo;
    EXPECT_EQ(e.falha, c.falha) << c.arquivo << ": " << e.mensagem;
    EXPECT_FALSE(e.mensagem.empty());
    EXPECT_EQ(teste::Nomes(pasta_.caminho()), antes) << c.arquivo;
  }
}

TEST_F(Assinatura, DetachedSignatureVerifiesWithOpensslCms) {
  std::string dados = pasta_ / "proposta.txt";
  teste::Grava(dados, std::string("linha 1\r\nlinha 2\r\n\0bin\xFF", 21));
  signing::ErroAssinatura e;
  ASSERT_TRUE(signing::AssinaDocumento(A1("pj"), dados, e)) << e.mensagem;
  ASSERT_EQ(signing::CaminhoAssinado(dados), dados + ".p7s");
  auto v = Executa("openssl cms -verify -binary -inform DER -in '" + dados + ".p7s' -content '" +
                   dados + "' -CAfile '" + material_->ca + "' -purpose any -out /dev/null");
  EXPECT_EQ(v.codigo, 0) << v.saida;
  EXPECT_NE(v.saida.find("Verification successful"), std::string::npos) << v.saida;
  teste::Grava(dados, "outro conteudo");
  v = Executa("openssl cms -verify -binary -inform DER -in '" + dados + ".p7s' -content '" + dados +
              "' -CAfile '" + material_->ca + "' -purpose any -out /dev/null");
  EXPECT_NE(v.codigo, 0) << "a changed file no longer verifies";
}

}  // namespace
