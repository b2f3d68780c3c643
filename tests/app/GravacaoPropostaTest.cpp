// What the proposal does when its files cannot be written as asked: after a failed rewrite on
// close the user saves elsewhere, closes without saving (confirmed) or goes back; a file written
// whose folder could not be synced counts as written, with a warning.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/Proposta.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolders.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"
#include "support/ProcessoGerado.h"

using app::TProposta;
using platform::mb::IDCANCEL;
using platform::mb::IDNO;
using platform::mb::IDYES;

namespace {

class GravacaoProposta : public ::testing::Test {
 protected:
  void TearDown() override { platform::clearAtomicFailuresForTesting(); }
  // Opens a three-item process and types a brand for the first item. Each call starts as a new
  // run would: the recovery journal the call before left (nothing was written) is dropped.
  void AbreEDigita() {
    std::filesystem::remove_all(platform::userDataFolder());
    teste::Grava(processo, teste::ProcessoSemPrecos(3));
    p.FormCreate();
    p.AbrirProcesso(processo);
    p.ClientDataSet1.Edita();
    p.ClientDataSet1.AtribuiTexto(app::Campo::marca, "Acme");
    p.ClientDataSet1.Grava();
  }
  teste::PastaTemporaria pasta;
  std::string processo = pasta / "p.xml";
  teste::PlataformaRoteiro tela;
  platform::ScopedPlatform usa{tela};
  TProposta p;
};

// A row: the answers to the question (and to the confirmation), the save dialog's answer (a name
// in the folder, "" for Cancel), whether the window closes and what was written elsewhere.
struct Escolha {
  const char* caso;
  std::deque<int> respostas;
  std::string salvarComo;
  bool fecha;
  std::vector<std::string> erros;
};

const Escolha kEscolhas[] = {
    {"voltar", {IDCANCEL}, "", false, {"I/O error 5"}},
    {"fechar sem gravar, sem confirmar", {IDNO, IDNO}, "", false, {"I/O error 5"}},
    {"fechar sem gravar, confirmado", {IDNO, IDYES}, "", true, {"I/O error 5"}},
    {"outro arquivo, cancelado", {IDYES}, "", false, {"I/O error 5"}},
    {"outro arquivo", {IDYES}, "outro.xml", true, {"I/O error 5"}},
    {"outro arquivo que falha",
     {IDYES},
     "nao/existe.xml",
     false,
     {"I/O error 5", "File not found"}},
};

}  // namespace

TEST_F(GravacaoProposta, AFailedRewriteOnCloseOffersAnotherFileClosingWithoutSavingOrGoingBack) {
  teste::PastaTemporaria casa;
  const std::string casaAntes = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", casa.caminho().c_str(), 1);
  for (const Escolha& e : kEscolhas) {
    SCOPED_TRACE(e.caso);
    tela = teste::PlataformaRoteiro{};
    AbreEDigita();
    std::string original = teste::Le(processo);
    tela.respostasCaixa = e.respostas;
    if (e.respostas.front() == IDYES)
      tela.respostasSalvar.push_back(e.salvarComo.empty() ? "" : pasta / e.salvarComo);
    platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);

    EXPECT_EQ(p.PodeFechar(), e.fecha);
    EXPECT_EQ(tela.erros, e.erros);
    EXPECT_EQ(teste::Le(processo), original);
    ASSERT_FALSE(tela.caixas.empty());
    EXPECT_EQ(tela.caixas[0].texto,
              "O arquivo do processo n\xE3o p\xF4"
              "de ser gravado:\r" +
                  processo +
                  "\r\rGravar o processo em outro arquivo?\r"
                  "Sim: escolher o arquivo. N\xE3o: fechar sem gravar. Cancelar: voltar \xE0 "
                  "janela.");
    EXPECT_EQ(tela.caixas[0].estilo, platform::mb::YESNOCANCEL | platform::mb::ICONQUESTION);
    // The save dialog is offered only on Yes, with the process file's name in a folder that
    // can be written (the home folder).
    EXPECT_EQ(tela.sugestoesSalvar, e.respostas.front() == IDYES
                                        ? std::vector<std::string>{casa / "p.xml"}
                                        : std::vector<std::string>{});
    bool outro = e.salvarComo == "outro.xml";
    std::vector<std::string> nomes = {"p.xml"};
    if (outro) nomes.insert(nomes.begin(), "outro.xml");
    EXPECT_EQ(teste::Nomes(pasta.caminho()), nomes);
    if (outro) {
      EXPECT_NE(teste::Le(pasta / "outro.xml").find(" <marca>Acme</marca>\r\n"), std::string::npos);
      std::filesystem::remove(pasta / "outro.xml");
    }
    platform::clearAtomicFailuresForTesting();
  }
  ::setenv("HOME", casaAntes.c_str(), 1);
}

TEST_F(GravacaoProposta, AFileWhoseFolderCannotBeSyncedCountsAsWrittenWithAWarning) {
  AbreEDigita();
  platform::failAtomicStepForTesting(platform::AtomicStep::SyncFolder, 1, EIO);
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::Regravado);
  EXPECT_FALSE(p.TemAlteracoes());
  EXPECT_EQ(p.AvisoUltimaGravacao(), platform::durabilityWarning(processo, EIO));
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(tela.caixas[0].texto, p.AvisoUltimaGravacao());
  EXPECT_EQ(tela.caixas[0].estilo, platform::mb::OK | platform::mb::ICONEXCLAMATION);

  // Gerar Arquivo: the proposal is there, so the flag is set and success is shown, then the
  // warning.
  platform::failAtomicStepForTesting(platform::AtomicStep::SyncFolder, 1, EIO);
  EXPECT_EQ(p.GerarArquivo("ACME"), TProposta::Geracao::Gerado);
  EXPECT_TRUE(p.gerado);
  std::string proposta = pasta / "pACME.xml";
  EXPECT_EQ(tela.mensagens,
            std::vector<std::string>{"O arquivo foi gerado com Sucesso!\rem: " + proposta});
  ASSERT_EQ(tela.caixas.size(), 2u);
  EXPECT_EQ(tela.caixas[1].texto, platform::durabilityWarning(proposta, EIO));

  // A durable write clears the warning.
  p.gerado = false;
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::Regravado);
  EXPECT_EQ(p.AvisoUltimaGravacao(), "");
}
