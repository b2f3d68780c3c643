// The proposal commands without a window: the zero-value check, Gerar Arquivo, the rewrite on
// close, the total and the captions.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/Proposta.h"
#include "app/RegrasEntrada.h"
#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDpaginas.h"
#include "support/Arquivos.h"
#include "support/Falhas.h"
#include "support/PastasUsuario.h"
#include "support/PlataformaRoteiro.h"

using namespace app;

namespace {

struct ItemArquivo {
  std::string ordem, valor, quantidade, lote, apuracao = "1";
};

std::string Processo(const std::vector<ItemArquivo>& itens) {
  std::string s = "<processo label=\"20240015\" descricao=\"Preg\xE3o\" totalitens=\"" +
                  std::to_string(itens.size()) + "\">\r\n<produtos>\r\n";
  for (const auto& i : itens)
    s += teste::Crlf(
        {"<produto>", " <ordem>" + i.ordem + "</ordem>", " <codigo>C" + i.ordem + "</codigo>",
         " <nome>Item " + i.ordem + "</nome>", " <descricao>d</descricao>", " <marca></marca>",
         " <quantidade>" + i.quantidade + "</quantidade>", " <valor>" + i.valor + "</valor>",
         " <apuracao>" + i.apuracao + "</apuracao>", " <lote>" + i.lote + "</lote>", "</produto>"});
  return s + "</produtos>\r\n</processo>\r\n";
}

const std::string kRecusaLote1 =
    "Exite(m) item(ns) do lote 1 com valor zerado; preencha o valor para que o arquivo seja "
    "gerado.\r"
    "Caso n\xE3o queira que este lote participe, exclua todas as suas propostas.";

class PropostaTest : public ::testing::Test {
 protected:
  teste::PastaTemporaria pasta;
  teste::PlataformaRoteiro tela;
  platform::ScopedPlatform usa{tela};
  TProposta p;

  std::string Abre(const std::string& bytes, const std::string& nome = "pregao15.xml") {
    std::string caminho = pasta / nome;
    teste::Grava(caminho, bytes);
    p.FormCreate();
    p.AbrirProcesso(caminho);
    return caminho;
  }
};

}  // namespace

TEST_F(PropostaTest, ZeroValueCheckReportsThePricedLotAndLeavesItsRowCurrent) {
  Abre(Processo(
      {{"1", "10", "1", "1"}, {"2", "0", "1", "1"}, {"3", "0", "1", "2"}, {"4", "", "1", "2"}}));
  EXPECT_TRUE(p.VerificaValorZerado());
  ASSERT_EQ(tela.mensagens.size(), 1u);
  EXPECT_EQ(tela.mensagens[0], kRecusaLote1);
  EXPECT_EQ(p.ClientDataSet1.ComoInteiro(Campo::ordem), 2);

  // Lot 2 alone (all prices zero or empty) does not take part and passes.
  p.ClientDataSet1.Primeiro();
  p.ClientDataSet1.Apaga();
  p.ClientDataSet1.Apaga();
  EXPECT_FALSE(p.VerificaValorZerado());
  EXPECT_TRUE(p.ClientDataSet1.Fim());
}

TEST_F(PropostaTest, ItemsWithoutLotTakeNoPartButEveryNamedLotIsChecked) {
  struct Caso {
    std::vector<ItemArquivo> itens;
    bool recusa;
    int ordem;  // the current row's item after the check
  } casos[] = {
      // An unpriced item without a lot does not stop the check of lot 1 after it.
      {{{"1", "", "1", ""}, {"2", "10", "1", "1"}, {"3", "0", "1", "1"}}, true, 3},
      // Priced and unpriced items without a lot, every named lot complete: passes.
      {{{"1", "", "1", ""}, {"2", "7", "1", ""}, {"3", "10", "1", "1"}}, false, 3},
      // Only items without a lot: nothing to check.
      {{{"1", "5", "1", ""}, {"2", "", "1", ""}}, false, 2},
  };
  for (const Caso& c : casos) {
    tela.mensagens.clear();
    Abre(Processo(c.itens));
    EXPECT_EQ(p.VerificaValorZerado(), c.recusa);
    EXPECT_EQ(tela.mensagens,
              c.recusa ? std::vector<std::string>{kRecusaLote1} : std::vector<std::string>{});
    EXPECT_EQ(p.ClientDataSet1.ComoInteiro(Campo::ordem), c.ordem);
  }
}

TEST_F(PropostaTest, GerarArquivoWritesTheProposalBesideTheProcess) {
  std::string processo = Abre(Processo({{"1", "10", "2", "1"}, {"2", "5,5", "1", "1"}}));
  std::string original = teste::Le(processo);
  tela.respostasEntrada.push_back("ACME");
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Gerado);
  ASSERT_EQ(tela.entradas.size(), 1u);
  EXPECT_EQ(tela.entradas[0].titulo + "|" + tela.entradas[0].rotulo,
            "Digite o nome da empresa:|Empresa");
  std::string proposta = pasta / "pregao15ACME.xml";
  EXPECT_EQ(p.CaminhoUltimaProposta(), proposta);
  std::string esperado = original.substr(0, original.size()) + "<fornecedor>ACME</fornecedor>\r\n";
  EXPECT_EQ(teste::Le(proposta), esperado);
  EXPECT_EQ(tela.mensagens.back(), "O arquivo foi gerado com Sucesso!\rem: " + proposta);
  EXPECT_TRUE(p.gerado);
  EXPECT_EQ(p.alturaJanela, 640);
  EXPECT_TRUE(p.progresso.visivel);
  EXPECT_EQ(p.progresso.maximo, 2);
  EXPECT_EQ(p.progresso.posicao, 2);

  // After a generation, closing rewrites nothing, also for another file opened later.
  std::string outro = Abre(Processo({{"1", "", "1", ""}}), "outro.xml");
  p.gerado = true;
  std::string antes = teste::Le(outro);
  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::marca, "X");
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::NadaAFazer);
  EXPECT_EQ(teste::Le(outro), antes);
}

TEST_F(PropostaTest, GerarArquivoCancelledNameAndRefusals) {
  // Nothing open: nothing happens.
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::NadaAberto);
  EXPECT_TRUE(tela.entradas.empty());

  std::string processo = Abre(Processo({{"1", "10", "1", "1"}, {"2", "", "1", "1"}}));
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Recusada);
  EXPECT_TRUE(tela.entradas.empty());  // refused before asking
  EXPECT_EQ(tela.mensagens.back(), kRecusaLote1);

  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::valor, "3");
  p.ClientDataSet1.Grava();

  // A name that would leave the folder is refused and asked for again, the box holding it, until
  // an acceptable one comes; nothing is written before.
  const std::string kRecusaNome = *RecusaNomeEmpresa("/");
  tela.respostasEntrada = {"../fora", "A:B", "ACME"};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Gerado);
  EXPECT_EQ(tela.valoresEntrada, (std::vector<std::string>{"", "../fora", "A:B"}));
  EXPECT_EQ(tela.mensagens.size(), 4u);
  EXPECT_EQ(tela.mensagens[1], kRecusaNome);
  EXPECT_EQ(tela.mensagens[2], kRecusaNome);
  EXPECT_EQ(p.CaminhoUltimaProposta(), pasta / "pregao15ACME.xml");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pasta.caminho()), {}), 2);

  // An empty name is refused like the others; Cancel, also after a refusal, stops with nothing
  // written (the process file is not overwritten).
  const std::string antes = teste::Le(processo);
  tela.mensagens.clear();
  p.gerado = false;
  tela.respostasEntrada = {"", "a|b", std::nullopt};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Cancelada);
  EXPECT_EQ(tela.mensagens, (std::vector<std::string>{*RecusaNomeEmpresa(""), kRecusaNome}));
  EXPECT_EQ(teste::Le(processo), antes);
  EXPECT_FALSE(p.gerado);
}

TEST_F(PropostaTest, AnExistingProposalIsReplacedOnlyWhenTheUserConfirms) {
  ::setenv("SOURCE_DATE_EPOCH", "0", 1);  // dates in UTC
  std::string processo = Abre(Processo({{"1", "10", "2", "1"}}));
  std::string proposta = pasta / "pregao15ACME.xml";
  tela.respostasEntrada = {"ACME", "ACME", "ACME"};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Gerado);
  EXPECT_TRUE(tela.caixas.empty());  // nothing to replace yet
  const std::string primeira = teste::Le(proposta);
  const std::chrono::sys_time<std::chrono::nanoseconds> quando =
      std::chrono::sys_days{std::chrono::year{2024} / 3 / 5} + std::chrono::hours{14} +
      std::chrono::minutes{7};
  std::filesystem::last_write_time(proposta,
                                   std::filesystem::file_time_type::clock::from_sys(quando));

  // A new price, then No (the default): the proposal stays as it was.
  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::valor, "11");
  p.ClientDataSet1.Grava();
  tela.respostasCaixa = {platform::mb::IDNO, platform::mb::IDYES};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Cancelada);
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(tela.caixas[0].texto, "J\xE1 existe o arquivo da proposta:\r" + proposta +
                                      "\rgravado em 05/03/2024 \xE0s 14:07, total R$ 20,00"
                                      "\r\rSubstituir?");
  EXPECT_EQ(tela.caixas[0].estilo,
            platform::mb::YESNO | platform::mb::ICONQUESTION | platform::mb::DEFBUTTON2);
  EXPECT_EQ(teste::Le(proposta), primeira);
  // Yes: replaced with the new price.
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Gerado);
  EXPECT_NE(teste::Le(proposta).find("<valor>11</valor>"), std::string::npos);
  EXPECT_NE(teste::Le(processo).find("<valor>10</valor>"), std::string::npos);
  ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(PropostaTest, OpeningAProcessWhoseProposalIsNewerOffersTheProposalsValues) {
  std::string processo = Abre(Processo({{"1", "", "2", "1"}, {"2", "", "1", "1"}}));
  const std::string original = teste::Le(processo);
  std::string proposta = pasta / "pregao15ACME.xml";
  std::string comValores = Processo({{"1", "3", "2", "1"}, {"2", "4", "1", "1"}});
  // Files that look like proposals but are not: another process, a proposal of another company
  // name, an older one.
  teste::Grava(pasta / "pregao150.xml", comValores);
  teste::Grava(pasta / "pregao15XY.xml", comValores + "<fornecedor>Z</fornecedor>\r\n");
  teste::Grava(proposta, comValores + "<fornecedor>ACME</fornecedor>\r\n");
  auto hora = std::filesystem::last_write_time(processo);
  for (const char* nome : {"pregao150.xml", "pregao15XY.xml"})
    std::filesystem::last_write_time(pasta / nome, hora + std::chrono::hours(2));
  std::filesystem::last_write_time(proposta, hora + std::chrono::hours(1));

  struct Caso {
    int resposta;
    const char* valor1;  // item 1's price after opening
    bool alterado;
  } casos[] = {{platform::mb::IDNO, "0", false}, {platform::mb::IDYES, "3", true}};
  for (const Caso& c : casos) {
    tela.caixas.clear();
    tela.respostasCaixa = {c.resposta};
    p.AbrirNaJanela(processo);
    ASSERT_EQ(tela.caixas.size(), 1u);
    EXPECT_EQ(tela.caixas[0].texto.find("Existe um arquivo de proposta deste processo mais "
                                        "recente que ele:\r" +
                                        proposta + "\rgravado em "),
              0u);
    EXPECT_NE(tela.caixas[0].texto.find(", total R$ 10,00\r"), std::string::npos);
    p.ClientDataSet1.Primeiro();
    EXPECT_EQ(p.ClientDataSet1.ComoTexto(Campo::valor), c.valor1);
    EXPECT_EQ(p.edit1, processo);
    EXPECT_EQ(p.TemAlteracoes(), c.alterado);
  }
  // The close writes the proposal's values into the process file.
  EXPECT_TRUE(p.PodeFechar());
  EXPECT_NE(teste::Le(processo).find("<valor>3</valor>"), std::string::npos);
  EXPECT_EQ(teste::Le(processo).find("fornecedor"), std::string::npos);

  // An older proposal is not offered.
  std::filesystem::last_write_time(
      proposta, std::filesystem::last_write_time(processo) - std::chrono::hours(1));
  tela.caixas.clear();
  p.AbrirNaJanela(processo);
  EXPECT_TRUE(tela.caixas.empty());
  (void)original;
}

TEST_F(PropostaTest, TheOpenDialogStartsInTheFolderOfTheOpenOrLastProcess) {
  teste::PastasUsuario usuario;
  p.BitBtn1Click();
  std::string processo = pasta / "pregao15.xml";
  teste::Grava(processo, Processo({{"1", "", "1", ""}}));
  tela.arquivosAbrir.push_back(processo);
  p.BitBtn1Click();
  p.BitBtn1Click();
  // The next run starts where this one last opened a process.
  TProposta outra;
  outra.BitBtn1Click();
  ASSERT_EQ(tela.dialogos.size(), 4u);
  EXPECT_EQ(tela.dialogos[0].folder, usuario / "casa");
  EXPECT_EQ(tela.dialogos[2].folder, pasta.caminho());
  EXPECT_EQ(tela.dialogos[2].filter, "*.xml|*.xml");
  EXPECT_EQ(tela.dialogos[3].folder, pasta.caminho());
  EXPECT_EQ(p.edit1, processo);
  EXPECT_TRUE(tela.caixas.empty());
}

TEST_F(PropostaTest, AUtf8ProcessFileOpensWithAWarning) {
  struct Caso {
    const char* descricao;
    bool aviso;
  } casos[] = {{"Preg\xC3\xA3o", true}, {"Preg\xE3o", false}, {"Pregao", false}};
  for (const Caso& c : casos) {
    tela.caixas.clear();
    std::string bytes = Processo({{"1", "", "1", ""}});
    bytes.replace(bytes.find("Preg\xE3o"), 5, c.descricao);
    std::string caminho = pasta / "utf8.xml";
    teste::Grava(caminho, bytes);
    p.AbrirNaJanela(caminho);
    EXPECT_EQ(p.edit1, caminho);
    EXPECT_EQ(tela.caixas.size(), c.aviso ? 1u : 0u) << c.descricao;
    if (c.aviso) {
      EXPECT_EQ(tela.caixas[0].estilo, platform::mb::OK | platform::mb::ICONEXCLAMATION);
    }
  }
}

TEST_F(PropostaTest, AFailedGenerationNamesTheFileAndOffersAnotherFolder) {
  Abre(Processo({{"1", "10", "1", "1"}}));
  teste::PastaTemporaria casa;
  const char* casaAntes = std::getenv("HOME");
  std::string casaOriginal = casaAntes ? casaAntes : "";
  ::setenv("HOME", casa.caminho().c_str(), 1);
  const std::string proposta = pasta / "pregao15ACME.xml";

  // No: nothing generated, no success message.
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
  tela.respostasEntrada.push_back("ACME");
  tela.respostasCaixa = {platform::mb::IDNO};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Cancelada);
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(tela.caixas[0].texto,
            "O arquivo da proposta n\xE3o p\xF4"
            "de ser gravado:\r" +
                proposta +
                "\rsem permiss\xE3o para gravar nesta pasta (I/O error "
                "13).\r\rGravar a proposta em outra pasta?");
  EXPECT_FALSE(p.gerado);
  EXPECT_TRUE(tela.mensagens.empty());
  EXPECT_FALSE(std::filesystem::exists(proposta));

  // Yes: the save dialog proposes the file name in a folder that can be written.
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
  tela.respostasEntrada.push_back("ACME");
  tela.respostasCaixa = {platform::mb::IDYES};
  const std::string outra = casa / "proposta.xml";
  tela.respostasSalvar = {outra};
  EXPECT_EQ(p.BitBtn3Click(), TProposta::Geracao::Gerado);
  EXPECT_EQ(tela.sugestoesSalvar, (std::vector<std::string>{casa / "pregao15ACME.xml"}));
  EXPECT_NE(teste::Le(outra).find("<fornecedor>ACME</fornecedor>"), std::string::npos);
  EXPECT_EQ(tela.mensagens.back(), "O arquivo foi gerado com Sucesso!\rem: " + outra);
  EXPECT_TRUE(p.gerado);
  ::setenv("HOME", casaOriginal.c_str(), 1);

  // The command-line road still raises the error.
  p.gerado = false;
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
  EXPECT_THROW(p.GerarArquivo("B"), base::EInOutError);
}

TEST_F(PropostaTest, CloseRewritesTheProcessFileWithTheTypedValues) {
  std::string processo = Abre(Processo({{"1", "", "2", ""}, {"2", "", "1", ""}}));
  p.ClientDataSet1.Primeiro();
  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::marca, "Acme");
  p.ClientDataSet1.AtribuiTexto(Campo::valor, "12,5");  // still pending: the close posts it
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::Regravado);
  std::string escrito = teste::Le(processo);
  EXPECT_NE(
      escrito.find(" <marca>Acme</marca>\r\n <quantidade>2</quantidade>\r\n <valor>12,5</valor>"),
      std::string::npos);
  EXPECT_NE(escrito.find(" <ordem>2</ordem>"), std::string::npos);
  EXPECT_EQ(p.alturaJanela, 640);
  EXPECT_TRUE(tela.mensagens.empty());

  // A refusal writes nothing.
  std::string recusado =
      Abre(Processo({{"1", "1", "1", "1"}, {"2", "", "1", "1"}}), "recusado.xml");
  std::string antes = teste::Le(recusado);
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::Recusado);
  EXPECT_EQ(teste::Le(recusado), antes);
}

TEST_F(PropostaTest, CloseThatCannotWriteRaisesAndKeepsTheFile) {
  std::string processo = Abre(Processo({{"1", "", "1", ""}}));
  std::string antes = teste::Le(processo);
  for (auto passo :
       {platform::AtomicStep::Create, platform::AtomicStep::Write, platform::AtomicStep::Sync,
        platform::AtomicStep::Link, platform::AtomicStep::Rename}) {
    platform::failAtomicStepForTesting(passo, 1, 5);
    EXPECT_EQ(teste::ErroDe<base::EInOutError>([&] { p.FormClose(); }), "I/O error 5");
    EXPECT_EQ(teste::Le(processo), antes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pasta.caminho()), {}), 1);
  }
}

TEST_F(PropostaTest, TotalButtonRoundsTheRunningSumAndRestoresTheRow) {
  EXPECT_THROW(p.btn1Click(), base::EDatabaseError);  // nothing opened yet
  EXPECT_EQ(p.btn1, "Valor Total da Proposta");

  Abre(Processo({{"1", "0,0003", "0,5", "1"},
                 {"2", "0,0003", "0,5", "1"},
                 {"3", "0,005", "1", "1"},
                 {"4", "1000", "1234,5", "2"}}));
  p.ClientDataSet1.IrParaLinha(3);
  p.btn1Click();
  // 2 + 2 + 50 + 12345000000 ten-thousandths.
  EXPECT_EQ(p.TotalProposta(), 12345000054);
  EXPECT_EQ(p.btn1, "Vr. Total da Prop.: R$ 1.234.500,01");
  EXPECT_EQ(p.ClientDataSet1.NumeroLinha(), 3);

  // Editing a price resets the caption when the edits are posted.
  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::valor, "1");
  p.ClientDataSet1.Grava();
  EXPECT_EQ(p.btn1, "Valor Total da Proposta");
}

TEST_F(PropostaTest, CaptionsFollowTheCurrentRow) {
  Abre(Processo({{"7", "", "1", "1", "2"}, {"3", "", "1", "1", "9"}, {"1", "", "1", "", "1"}}));
  EXPECT_EQ(p.titulo, "Digita\xE7\xE3o de Proposta - Item 1 de 3");
  EXPECT_EQ(p.label6, "Crit\xE9rio: Menor Pre\xE7o Unit\xE1rio do Item");
  p.ClientDataSet1.Proximo();
  EXPECT_EQ(p.titulo, "Digita\xE7\xE3o de Proposta - Item 7 de 3");
  EXPECT_EQ(p.label6, "Crit\xE9rio: Menor Pre\xE7o Total do Item");
  p.ClientDataSet1.Proximo();  // apuracao 9 keeps the previous criterion
  EXPECT_EQ(p.label6, "Crit\xE9rio: Menor Pre\xE7o Total do Item");
  EXPECT_EQ(p.label5, "2024/0015");
  EXPECT_EQ(p.memo2, "Preg\xE3o");
}

TEST_F(PropostaTest, LoadingLeavesTheCriterionOfTheLastItemReadThenTheFirstRows) {
  // Every item read changes the data: the criterion is the last "1" or "2" in file order (an
  // "apuracao" is cut to its one character), unless the first row in lot order has its own; with
  // none at all the label keeps what it showed. A file that fails to load changes nothing.
  const std::string kUnitario = "Crit\xE9rio: Menor Pre\xE7o Unit\xE1rio do Item";
  const std::string kTotal = "Crit\xE9rio: Menor Pre\xE7o Total do Item";
  struct Caso {
    std::string bytes, label6;
  } casos[] = {
      {Processo({{"1", "", "1", "2", "2"}, {"2", "", "1", "3", "1"}, {"3", "", "1", "1", ""}}),
       kUnitario},
      {Processo({{"1", "", "1", "1", "2"}, {"2", "", "1", "2", "1"}}), kTotal},
      {Processo({{"1", "", "1", "2", "12"}, {"2", "", "1", "1", "x"}}), kUnitario},
      {Processo({{"1", "", "1", "1", "x"}}), kUnitario},  // as the previous file left it
      {Processo({{"1", "", "1", "1", "2"}, {"2", "abc", "1", "1", "2"}}), kUnitario},  // fails
  };
  for (const auto& c : casos) {
    std::string caminho = pasta / "criterio.xml";
    teste::Grava(caminho, c.bytes);
    try {
      p.AbrirProcesso(caminho);
    } catch (const base::EConvertError&) {
    }
    EXPECT_EQ(p.label6, c.label6) << c.bytes;
  }
}

TEST_F(PropostaTest, AFailedOpenKeepsTableHeaderAndPath) {
  std::string bom = Abre(Processo({{"1", "2", "1", "1"}}));
  std::string ruim = pasta / "ruim.xml";
  teste::Grava(ruim, "<cotacao label=\"2024/0007AB\" descricao=\"x\" totalitens=\"2\">\r\n");
  EXPECT_THROW(p.AbrirProcesso(ruim), base::EConvertError);
  EXPECT_EQ(p.edit1, bom);
  EXPECT_EQ(p.label2, "Processo:");
  EXPECT_EQ(p.label5, "2024/0015");
  EXPECT_EQ(p.ClientDataSet1.NumLinhas(), 1);

  // Cancelling the dialog changes nothing either.
  tela.arquivosAbrir.push_back("");
  p.BitBtn1Click();
  EXPECT_EQ(p.edit1, bom);
}

namespace {
// Report windows that record what the preview was shown and whether the bar was visible then.
class PreviewGravado : public report::TJanelasSemTela {
 public:
  explicit PreviewGravado(const TProposta& p) : p_(p) {}
  void MostraPreview(report::TRDprint&) override {
    ++vezes;
    barraVisivel = p_.progresso.visivel;
    comandos.clear();
    if (auto& paginas = report::EstadoRelatorio().paginas)
      paginas->ParaCada([&](std::string_view c) { comandos.emplace_back(c); });
  }
  int vezes = 0;
  bool barraVisivel = false;
  std::vector<std::string> comandos;

 private:
  const TProposta& p_;
};

bool Contem(const std::vector<std::string>& comandos, const std::string& texto) {
  for (const auto& c : comandos)
    if (c.size() > 20 && c.find(texto, 20) != std::string::npos) return true;
  return false;
}
}  // namespace

TEST_F(PropostaTest, RelatorioComposesTheListingOfTheOpenProcess) {
  PreviewGravado preview(p);
  report::JanelasInstaladas usaPreview(preview);
  p.BitBtn2Click("", "");
  EXPECT_EQ(tela.mensagens, std::vector<std::string>{"Selecione um arquivo de processo!"});
  EXPECT_EQ(preview.vezes, 0);

  Abre(Processo({{"7", "2,5", "4", "2"}, {"3", "1", "1", "1"}}));
  p.BitBtn2Click("ACME Ltda", "12345678000195");
  ASSERT_EQ(preview.vezes, 1);
  EXPECT_TRUE(preview.barraVisivel);
  EXPECT_FALSE(p.progresso.visivel);
  EXPECT_TRUE(Contem(preview.comandos, "Processo: 2024/0015"));
  EXPECT_TRUE(Contem(preview.comandos, "  Licitante: ACME Ltda  CNPJ: 12.345.678/0001-95"));
  EXPECT_TRUE(Contem(preview.comandos, "00007"));
  EXPECT_TRUE(Contem(preview.comandos, "Total Lote 1:"));
  EXPECT_FALSE(report::EstadoRelatorio().aberto);

  // A lot that is not a number is listed as it stands.
  p.ClientDataSet1.Primeiro();
  p.ClientDataSet1.Edita();
  p.ClientDataSet1.AtribuiTexto(Campo::lote, "A1");
  p.ClientDataSet1.Grava();
  p.BitBtn2Click("", "");
  EXPECT_EQ(preview.vezes, 2);
  EXPECT_TRUE(Contem(preview.comandos, "Total Lote A1:"));
  EXPECT_FALSE(p.progresso.visivel);
}

TEST_F(PropostaTest, EveryWalkOfTheTableLeavesTheLastRowCurrentAsMovingRowByRowWould) {
  // Rows in lot order: ordem 3 (criterion 2), 7 (criterion 1), 5 (criterion 9), all priced.
  const std::string bytes =
      Processo({{"7", "1", "1", "2", "1"}, {"3", "1", "1", "1", "2"}, {"5", "1", "1", "3", "9"}});
  const std::string kUnitario = "Crit\xE9rio: Menor Pre\xE7o Unit\xE1rio do Item";
  PreviewGravado preview(p);
  report::JanelasInstaladas usaPreview(preview);
  const struct {
    const char* caminhada;
    std::function<void(const std::string&)> faz;
  } casos[] = {
      {"Relatorio", [&](const std::string&) { p.BitBtn2Click("", ""); }},
      {"Gerar Arquivo", [&](const std::string&) { p.GerarArquivo("ACME"); }},
      {"fechar", [&](const std::string&) { p.FormClose(); }},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.caminhada);
    const std::string caminho = Abre(bytes);
    p.ClientDataSet1.Primeiro();
    ASSERT_NE(p.label6, kUnitario);
    c.faz(caminho);
    EXPECT_EQ(p.ClientDataSet1.NumeroLinha(), 3);
    EXPECT_TRUE(p.ClientDataSet1.Fim());
    EXPECT_EQ(p.titulo, "Digita\xE7\xE3o de Proposta - Item 5 de 3");
    EXPECT_EQ(p.label6, kUnitario);  // ordem 7's, the last "1" or "2" passed
  }
}

TEST_F(PropostaTest, OpeningAnotherProcessOffersToWriteWhatWasTyped) {
  std::string primeiro = Abre(Processo({{"1", "", "1", ""}}), "primeiro.xml");
  std::string original = teste::Le(primeiro);
  std::string segundo = pasta / "segundo.xml";
  teste::Grava(segundo, Processo({{"5", "", "1", ""}}));

  // Nothing typed: no question.
  tela.arquivosAbrir.push_back(segundo);
  p.BitBtn1Click();
  EXPECT_TRUE(tela.caixas.empty());
  EXPECT_EQ(p.edit1, segundo);

  auto digita = [&] {
    p.ClientDataSet1.Primeiro();
    p.ClientDataSet1.Edita();
    p.ClientDataSet1.AtribuiTexto(Campo::marca, "Acme");  // still pending: it counts too
  };
  p.AbrirProcesso(primeiro);
  digita();
  // Cancel: stays with the open process, the typed brand still there.
  tela.arquivosAbrir.push_back(segundo);
  tela.respostasCaixa.push_back(platform::mb::IDCANCEL);
  p.BitBtn1Click();
  ASSERT_EQ(tela.caixas.size(), 1u);
  EXPECT_EQ(tela.caixas[0].estilo, platform::mb::YESNOCANCEL | platform::mb::ICONQUESTION);
  EXPECT_EQ(p.edit1, primeiro);
  EXPECT_EQ(p.ClientDataSet1.ComoTexto(Campo::marca), "Acme");

  // No: the other process opens and the first file is left as it was.
  tela.arquivosAbrir.push_back(segundo);
  tela.respostasCaixa.push_back(platform::mb::IDNO);
  p.BitBtn1Click();
  EXPECT_EQ(p.edit1, segundo);
  EXPECT_EQ(teste::Le(primeiro), original);

  // Yes: the first file is rewritten with the brand, then the other opens.
  p.AbrirProcesso(primeiro);
  digita();
  tela.arquivosAbrir.push_back(segundo);
  tela.respostasCaixa.push_back(platform::mb::IDYES);
  p.BitBtn1Click();
  EXPECT_EQ(p.edit1, segundo);
  EXPECT_NE(teste::Le(primeiro).find("<marca>Acme</marca>"), std::string::npos);
  EXPECT_FALSE(p.TemAlteracoes());
}

TEST_F(PropostaTest, ClosingWithNothingTypedWritesNothingAndAsksNothing) {
  // A read-only file (writing fails) that nobody typed into closes quietly.
  std::string processo =
      Abre(Processo({{"2", "", "1", ""}, {"1", "10", "1", "1"}, {"3", "", "1", "1"}}));
  const std::string antes = teste::Le(processo);
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
  EXPECT_TRUE(p.PodeFechar());
  platform::clearAtomicFailuresForTesting();
  EXPECT_TRUE(tela.caixas.empty());
  EXPECT_TRUE(tela.mensagens.empty());
  EXPECT_TRUE(tela.erros.empty());
  EXPECT_EQ(teste::Le(processo), antes);
}

TEST_F(PropostaTest, ARefusedRewriteAsksBeforeLosingTheTypedValues) {
  Abre(Processo({{"1", "10", "1", "1"}, {"2", "", "1", "1"}}));
  EXPECT_EQ(p.FormClose(), TProposta::Fechamento::Recusado);
  tela.respostasCaixa = {platform::mb::IDNO, platform::mb::IDYES};
  EXPECT_FALSE(p.ConfirmaFecharSemGravar());
  EXPECT_TRUE(p.ConfirmaFecharSemGravar());
  EXPECT_EQ(tela.caixas[0].texto,
            "As marcas e os pre\xE7os digitados n\xE3o foram gravados no arquivo do processo.\r"
            "Fechar mesmo assim e perder o que foi digitado?");
  EXPECT_EQ(tela.caixas[0].estilo,
            platform::mb::YESNO | platform::mb::ICONQUESTION | platform::mb::DEFBUTTON2);
}
