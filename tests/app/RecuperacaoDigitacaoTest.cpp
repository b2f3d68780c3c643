// Autosave and recovery without a window: what was posted survives a run that ends without writing
// (the proposal object is dropped, as a crash drops it), comes back on "Sim" exactly as typed, and
// is never applied when it does not match the file; a clean write removes it; failing to keep it
// never stops typing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "app/DiarioRecuperacao.h"
#include "app/Proposta.h"
#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

using namespace app;

namespace {

// Three items, no brands or prices yet. The default lots put item 1 last in table order and leave
// the first row without a lot, so the zero-value check lets every close write.
std::string Processo(std::vector<std::string> lotes = {"2", "", ""}) {
  std::string s =
      "<processo label=\"20240015\" descricao=\"Preg\xE3o\" totalitens=\"3\">\r\n"
      "<produtos>\r\n";
  for (int i = 1; i <= 3; ++i) {
    std::string k = std::to_string(i);
    s += teste::Crlf({"<produto>", " <ordem>" + k + "</ordem>", " <codigo>C-" + k + "</codigo>",
                      " <nome>Item " + k + "</nome>", " <descricao>d</descricao>",
                      " <marca></marca>", " <quantidade>2</quantidade>", " <valor></valor>",
                      " <apuracao>1</apuracao>", " <lote>" + lotes[i - 1] + "</lote>",
                      "</produto>"});
  }
  return s + "</produtos>\r\n</processo>\r\n";
}

const std::string kPergunta =
    "Foram encontradas marcas e pre\xE7os digitados em 01/05/2024 10:30 que n\xE3o foram "
    "gravados. Recuperar?";

class Recuperacao : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_DATA_HOME", (pasta / "dados").c_str(), 1);
    ::setenv("SOURCE_DATE_EPOCH", "1714559400", 1);  // 01/05/2024 10:30 UTC
    processo = pasta / "pregao.xml";
    teste::Grava(processo, Processo());
  }
  void TearDown() override { ::unsetenv("SOURCE_DATE_EPOCH"); }

  // A new run of the program opening the process file.
  TProposta& Abre(const std::string& caminho) {
    p = std::make_unique<TProposta>();
    p->FormCreate();
    p->AbrirProcesso(caminho);
    return *p;
  }
  // Types a brand and a price into the row at 1-based `linha` and posts it, as brand, Enter,
  // price, Enter do.
  void Digita(int linha, const std::string& marca, const std::string& valor) {
    TTabelaItens& t = p->ClientDataSet1;
    t.IrParaLinha(linha);
    t.Edita();
    t.AtribuiTexto(Campo::marca, marca);
    t.AtribuiTexto(Campo::valor, valor);
    t.Proximo();
  }
  // What the typing of every test leaves: a tricky brand, a cleared price, a deleted row, and a
  // row still being typed when the run ends.
  void DigitaTudo() {
    Digita(1, "Fa\\ber\tC\xE1stell\x01", "12,5");
    Digita(2, "Acme", "0,0003");
    Digita(2, "Acme", "");
    p->ClientDataSet1.IrParaLinha(3);
    p->ClientDataSet1.Apaga();
    Digita(1, "Outra", "7");
    p->ClientDataSet1.Edita();
    p->ClientDataSet1.AtribuiTexto(Campo::marca, "perdida");
  }
  std::string Diario() const { return p->Recuperacao().CaminhoDiario(); }

  teste::PastaTemporaria pasta;
  teste::PlataformaRoteiro tela;
  platform::ScopedPlatform usa{tela};
  std::string processo;
  std::unique_ptr<TProposta> p;
};

}  // namespace

TEST_F(Recuperacao, WhatWasPostedBeforeACrashIsWrittenAtTheNextCloseAsIfNeverInterrupted) {
  // The run that was never interrupted: the row still being typed is posted by the close, so it
  // is cancelled here, as the crash loses it.
  std::string referencia = pasta / "referencia.xml";
  teste::Grava(referencia, Processo());
  Abre(referencia);
  DigitaTudo();
  p->ClientDataSet1.Cancela();
  ASSERT_EQ(p->FormClose(), TProposta::Fechamento::Regravado);
  EXPECT_FALSE(std::filesystem::exists(Diario()));

  Abre(processo);
  DigitaTudo();
  std::string diario = Diario();
  p.reset();                                   // the crash
  EXPECT_EQ(teste::Le(processo), Processo());  // the process file stays as it was

  tela.respostasCaixa.push_back(platform::mb::IDYES);
  TProposta& q = Abre(processo);
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(tela.caixas[0].texto, kPergunta);
  EXPECT_EQ(tela.caixas[0].estilo, platform::mb::YESNO | platform::mb::ICONQUESTION);
  EXPECT_TRUE(q.TemAlteracoes());
  EXPECT_EQ(q.ClientDataSet1.NumeroLinha(), 1);
  EXPECT_EQ(q.ClientDataSet1.NumLinhas(), 2);
  EXPECT_EQ(*q.ClientDataSet1.AgregadoDaLinha(1, Campo::totallote), 7.0);
  ASSERT_EQ(q.FormClose(), TProposta::Fechamento::Regravado);
  EXPECT_EQ(teste::Le(processo), teste::Le(referencia));
  EXPECT_TRUE(teste::Nomes(pasta / "dados/proposta").empty());
}

TEST_F(Recuperacao, AJournalThatDoesNotMatchTheFileIsReportedKeptAsideAndNeverApplied) {
  struct Caso {
    const char* nome;
    std::function<void(const std::string& diario)> estraga;
    const char* motivo;
    const char* deLado;
  } casos[] = {
      {"the file was rewritten since",
       [&](const std::string&) {
         std::string outro = Processo();
         outro.replace(outro.find("<valor></valor>"), 15, "<valor>3</valor>");
         teste::Grava(processo, outro);
       },
       "o arquivo foi alterado depois que eles foram digitados", ".nao-confere-"},
      {"a record names an item the file does not have",
       [&](const std::string& diario) {
         platform::FileStamp c;
         platform::stampOf(processo, c);
         RegistroDiario r{RegistroDiario::Tipo::Gravado, 1714559400, 0, 9, "C-9", "X", 1.0};
         teste::Grava(diario, CodificaCabecalho(processo, c) + CodificaRegistro(r));
       },
       "o item de ordem 9 e c\xF3"
       "digo \"C-9\" n\xE3o est\xE1 no arquivo",
       ".nao-confere-"},
      {"a record damaged before a whole one",
       [&](const std::string& diario) {
         std::string b = teste::Le(diario);
         size_t segundo = b.find('\n') + 1;
         b[segundo + 2] ^= 1;
         teste::Grava(diario, b);
       },
       "o registro de recupera\xE7\xE3o est\xE1 danificado", ".danificado-"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    std::filesystem::remove_all(pasta / "dados");
    teste::Grava(processo, Processo());
    tela.caixas.clear();
    Abre(processo);
    Digita(1, "Acme", "5");
    Digita(2, "Bic", "6");
    std::string diario = Diario();
    p.reset();
    c.estraga(diario);
    std::string estragado = teste::Le(diario);

    TProposta& q = Abre(processo);
    ASSERT_EQ(tela.caixas.size(), 1u);
    const std::string& aviso = tela.caixas[0].texto;
    EXPECT_NE(aviso.find(c.motivo), std::string::npos) << aviso;
    std::string onde = q.Recuperacao().UltimoPostoDeLado();
    EXPECT_NE(onde.find(c.deLado), std::string::npos) << onde;
    EXPECT_NE(aviso.find("est\xE3o guardados em:\r" + onde + "\r"), std::string::npos) << aviso;
    EXPECT_EQ(teste::Le(onde), estragado);  // kept whole
    EXPECT_FALSE(std::filesystem::exists(diario));
    // Nothing of it reached the rows.
    EXPECT_FALSE(q.TemAlteracoes());
    for (int i = 0; i < q.ClientDataSet1.NumLinhas(); ++i)
      EXPECT_TRUE(q.ClientDataSet1.Linha(i).marca.empty());
  }
}

TEST_F(Recuperacao, ACleanWriteRemovesTheJournalAndItsRecordsStartOverFromTheFileWritten) {
  for (bool gera : {false, true}) {
    SCOPED_TRACE(gera ? "Gerar Arquivo" : "close");
    Abre(processo);
    Digita(1, "Acme", "5");
    Digita(2, "Bic", "6");
    Digita(3, "Cis", "7");
    std::string diario = Diario();
    ASSERT_TRUE(std::filesystem::exists(diario));
    if (gera)
      EXPECT_EQ(p->GerarArquivo("ACME"), TProposta::Geracao::Gerado);
    else
      EXPECT_EQ(p->FormClose(), TProposta::Fechamento::Regravado);
    EXPECT_FALSE(std::filesystem::exists(diario));
    // Typing goes on after the write, then a crash: the new records apply to the file written.
    Digita(1, "Depois", "8");
    p.reset();
    tela.respostasCaixa.push_back(platform::mb::IDYES);
    TProposta& q = Abre(processo);
    ASSERT_FALSE(tela.caixas.empty());
    EXPECT_EQ(tela.caixas.back().texto, kPergunta);
    EXPECT_EQ(q.ClientDataSet1.ComoTexto(Campo::marca), "Depois");
    EXPECT_EQ(q.FormClose(), TProposta::Fechamento::Regravado);
    tela.caixas.clear();
  }
}

TEST_F(Recuperacao, AProcessSavedElsewhereOnCloseIsNotOfferedAgainWhenReopened) {
  Abre(processo);
  Digita(1, "Acme", "5");
  const std::string diario = Diario();
  ASSERT_TRUE(std::filesystem::exists(diario));
  // The process file cannot be written: the user saves it elsewhere.
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
  const std::string outro = pasta / "copia.xml";
  tela.respostasCaixa = {platform::mb::IDYES};
  tela.respostasSalvar = {outro};
  EXPECT_TRUE(p->PodeFechar());
  EXPECT_NE(teste::Le(outro).find("<marca>Acme</marca>"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(diario));
  p.reset();
  tela.caixas.clear();
  Abre(processo);
  EXPECT_TRUE(tela.caixas.empty());
  EXPECT_EQ(p->ClientDataSet1.ComoTexto(Campo::marca), "");
}

TEST_F(Recuperacao, ChoosingNotToKeepTheTypingPutsTheJournalAsideOnceTheChoiceIsCarriedOut) {
  // Lot 1 priced on one item only, so the close is refused and the user confirms losing the
  // typing; or another process is opened choosing not to write this one (which may fail); or a
  // new run answers Nao to the recovery question. A new journal starts after.
  std::string outro = pasta / "outro.xml";
  teste::Grava(outro, Processo());
  struct Caso {
    const char* nome;
    std::function<void()> escolhe;
    const char* deLado;  // the reason in the name it is kept under; null: it stays in place
  } casos[] = {
      {"close refused, loss confirmed",
       [&] {
         tela.respostasCaixa.push_back(platform::mb::IDYES);
         EXPECT_TRUE(p->PodeFechar());
       },
       ".descartado-"},
      {"another process opened, Nao",
       [&] {
         tela.arquivosAbrir.push_back(outro);
         tela.respostasCaixa.push_back(platform::mb::IDNO);
         p->BitBtn1Click();
         EXPECT_EQ(p->edit1, outro);
       },
       ".descartado-"},
      {"another process that cannot be read, Nao",
       [&] {
         tela.arquivosAbrir.push_back(pasta / "falta.xml");
         tela.respostasCaixa.push_back(platform::mb::IDNO);
         EXPECT_THROW(p->BitBtn1Click(), base::EInOutError);
         EXPECT_EQ(p->edit1, processo);  // still open, with its typing
       },
       nullptr},
      {"a new run answers Nao",
       [&] {
         p.reset();
         tela.respostasCaixa.push_back(platform::mb::IDNO);
         Abre(processo);
         EXPECT_FALSE(p->TemAlteracoes());
         EXPECT_TRUE(p->ClientDataSet1.Linha(1).marca.empty());
       },
       ".nao-recuperado-20240501-103000.diario"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    std::filesystem::remove_all(pasta / "dados");
    teste::Grava(processo, Processo({"1", "1", "1"}));
    Abre(processo);
    Digita(2, "Acme", "5");
    std::string diario = Diario();
    std::string guardado = teste::Le(diario);
    c.escolhe();
    std::string onde = p->Recuperacao().UltimoPostoDeLado();
    EXPECT_EQ(onde.empty(), !c.deLado);
    if (c.deLado) {
      EXPECT_NE(onde.find(c.deLado), std::string::npos) << onde;
    }
    EXPECT_EQ(teste::Le(c.deLado ? onde : diario), guardado);
    if (p->edit1 != processo) continue;
    // The next post goes to a journal of its own, never into the one kept aside.
    Digita(1, "Bic", "6");
    EXPECT_EQ(LeDiario(teste::Le(diario)).registros.size(), c.deLado ? 1u : 2u);
  }
}

TEST_F(Recuperacao, FailingToKeepTheJournalWarnsOnceTypingGoesOnAndNothingIsLostOnceItWorks) {
  // The data folder's place is taken by a file: the journal cannot be created.
  teste::Grava(pasta / "dados", "x");
  Abre(processo);
  Digita(1, "Acme", "5");
  Digita(2, "Bic", "6");
  Digita(3, "Cis", "7");
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_TRUE(tela.caixas[0].texto.starts_with(
      "N\xE3o foi poss\xEDvel guardar as marcas e os pre\xE7os digitados para recupera\xE7\xE3o "
      "(I/O error 20:\r" +
      Diario() + ")"))
      << tela.caixas[0].texto;
  EXPECT_EQ(p->Recuperacao().UltimaFalha(), ENOTDIR);
  EXPECT_EQ(p->ClientDataSet1.Linha(2).marca, "Cis");

  // The folder can be made again: the next post puts every record kept in memory on the disk.
  std::filesystem::remove(pasta / "dados");
  Digita(1, "Dux", "8");
  EXPECT_EQ(p->Recuperacao().UltimaFalha(), 0);
  EXPECT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(LeDiario(teste::Le(Diario())).registros.size(), 4u);
}

TEST_F(Recuperacao, ATornLastRecordIsCutOffAndTheJournalGoesOnAfterTheWholeOnes) {
  Abre(processo);
  Digita(1, "Acme", "5");
  Digita(2, "Bic", "6");
  std::string diario = Diario();
  p.reset();
  std::string inteiro = teste::Le(diario);
  teste::Grava(diario, inteiro + "G\t1714559400\t2\t3\tC-3\tCi");  // the crash mid-append

  tela.respostasCaixa.push_back(platform::mb::IDYES);
  TProposta& q = Abre(processo);
  EXPECT_EQ(q.ClientDataSet1.Linha(1).marca, "Bic");
  EXPECT_EQ(teste::Le(diario), inteiro);
  Digita(3, "Cis", "7");
  ConteudoDiario d = LeDiario(teste::Le(diario));
  EXPECT_EQ(d.estado, ConteudoDiario::Estado::Valido);
  EXPECT_EQ(d.registros.size(), 3u);
}

TEST_F(Recuperacao, ASecondWindowOnTheSameProcessNeitherTakesNorMixesTheJournal) {
  Abre(processo);
  Digita(1, "Acme", "5");
  std::string guardado = teste::Le(Diario());
  // Another run opens the same file while the first one still has it: no question, a warning,
  // and its typing is not written into the first run's journal.
  TProposta segunda;
  segunda.AbrirProcesso(processo);
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_NE(tela.caixas[0].texto.find("outra janela"), std::string::npos);
  segunda.ClientDataSet1.Edita();
  segunda.ClientDataSet1.AtribuiTexto(Campo::marca, "Bic");
  segunda.ClientDataSet1.Grava();
  EXPECT_EQ(teste::Le(Diario()), guardado);
}
