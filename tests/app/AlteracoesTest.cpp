// Proposed changes applied to an open proposal: they take the road of typed values (lot sums,
// recovery journal, the file written on close), are checked before anything changes, undo as one
// step without losing what was typed afterwards, and their totals match the program's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/Alteracoes.h"
#include "app/DiarioRecuperacao.h"
#include "app/Proposta.h"
#include "base/Erros.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

using namespace app;

namespace {

// Lot 1: item 1 (10 x 1,50, brand "Bic"), item 2 (2,5 x 1,20); lot 2: item 3 (4, no price).
std::string Processo() {
  struct I {
    const char *ordem, *marca, *qtd, *valor, *lote;
  };
  std::string s =
      "<processo label=\"20240021\" descricao=\"Preg\xE3o\" totalitens=\"3\">\r\n<produtos>\r\n";
  for (const I& i :
       {I{"1", "Bic", "10", "1,5", "1"}, I{"2", "", "2,5", "1,2", "1"}, I{"3", "", "4", "", "2"}}) {
    std::string o = i.ordem;
    s += teste::Crlf({"<produto>", " <ordem>" + o + "</ordem>", " <codigo>C-" + o + "</codigo>",
                      " <nome>Item " + o + "</nome>", " <descricao>d</descricao>",
                      " <marca>" + std::string(i.marca) + "</marca>",
                      " <quantidade>" + std::string(i.qtd) + "</quantidade>",
                      " <valor>" + std::string(i.valor) + "</valor>", " <apuracao>1</apuracao>",
                      " <lote>" + std::string(i.lote) + "</lote>", "</produto>"});
  }
  return s + "</produtos>\r\n</processo>\r\n";
}

AlteracaoItem Item(long linha, const std::string& ordem, const std::string& marca,
                   std::optional<Contagem> valor,
                   SituacaoAlteracao s = SituacaoAlteracao::Alterada) {
  AlteracaoItem a;
  a.linhaTabela = linha;
  a.ordem = ordem;
  a.codigo = "C-" + ordem;
  a.marcaDepois = marca;
  a.valorDepois = valor;
  a.situacao = s;
  return a;
}

class Alteracoes : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_DATA_HOME", (pasta / "dados").c_str(), 1);
    processo = pasta / "pregao.xml";
    teste::Grava(processo, Processo());
    p.FormCreate();
    p.AbrirProcesso(processo);
  }
  const LinhaItem& Linha(int i) { return p.ClientDataSet1.Linha(i - 1); }
  // Another process file, whose opening lets go of this one's journal.
  std::string Outro() {
    const std::string outro = pasta / "outro.xml";
    teste::Grava(outro, Processo());
    return outro;
  }

  teste::PastaTemporaria pasta{"alteracoes"};
  teste::PlataformaRoteiro plataforma;
  platform::ScopedPlatform escopo{plataforma};
  std::string processo;
  TProposta p;
};

TEST_F(Alteracoes, OnlyMatchedNewOrChangedRowsWithAValueApply) {
  struct Caso {
    SituacaoAlteracao s;
    long linha;
    const char* marca;
    std::optional<Contagem> valor;
    bool aplica;
  } casos[] = {
      {SituacaoAlteracao::Nova, 1, "X", std::nullopt, true},
      {SituacaoAlteracao::Alterada, 1, "", 10000, true},
      {SituacaoAlteracao::Alterada, 1, "", std::nullopt, false},
      {SituacaoAlteracao::Alterada, 0, "X", 10000, false},
      {SituacaoAlteracao::Igual, 1, "X", 10000, false},
      {SituacaoAlteracao::Recusada, 1, "X", 10000, false},
      {SituacaoAlteracao::SemCorrespondencia, 1, "X", 10000, false},
      {SituacaoAlteracao::VariasCorrespondencias, 1, "X", 10000, false},
  };
  for (const Caso& c : casos)
    EXPECT_EQ(Aplicavel(Item(c.linha, "1", c.marca, c.valor, c.s)), c.aplica)
        << NomeSituacao(c.s) << " linha " << c.linha;
}

TEST_F(Alteracoes, AppliedRowsArePostedLikeTypedOnesAndUndoneInOneStep) {
  p.ClientDataSet1.IrParaLinha(3);
  const std::optional<double> semPreco = Linha(3).valor;  // an empty price reads as it reads
  LoteAlteracoes l{"planilha.xlsx",
                   {Item(1, "1", "", 12500), Item(2, "2", "Faber", 10000),
                    Item(3, "3", "Acme", 20000, SituacaoAlteracao::Nova),
                    Item(0, "9", "Nada", 1, SituacaoAlteracao::SemCorrespondencia)}};
  DesfazerAlteracoes d = AplicaAlteracoes(p, l);

  EXPECT_EQ(Linha(1).marca, "Bic");  // an empty proposed brand keeps the brand
  EXPECT_EQ(Linha(1).valor, 1.25);
  EXPECT_EQ(Linha(2).marca, "Faber");
  EXPECT_EQ(Linha(3).valor, 2.0);
  EXPECT_EQ(p.ClientDataSet1.NumeroLinha(), 3);  // the current row stays
  EXPECT_EQ(p.ClientDataSet1.AgregadoDaLinha(0, Campo::qtotallote), 10 * 1.25 + 2.5 * 1.0);
  EXPECT_EQ(p.TotalProposta(), 12500 * 10 + 10000 * 25 / 10 + 20000 * 4);
  EXPECT_TRUE(p.TemAlteracoes());
  // Each applied row is in the recovery journal, as a typed one would be.
  ConteudoDiario diario = LeDiario(teste::Le(p.Recuperacao().CaminhoDiario()));
  ASSERT_EQ(diario.registros.size(), 3u);
  EXPECT_EQ(diario.registros[2].marca, "Acme");
  EXPECT_EQ(diario.registros[2].valor, 2.0);

  ResultadoDesfazer r = DesfazAlteracoes(p, d);
  EXPECT_EQ(r.desfeitas, 3);
  EXPECT_EQ(Linha(1).valor, 1.5);
  EXPECT_EQ(Linha(2).marca, "");
  EXPECT_EQ(Linha(3).valor, semPreco);
  EXPECT_EQ(Linha(3).marca, "");
  EXPECT_EQ(p.ClientDataSet1.AgregadoDaLinha(0, Campo::qtotallote), 10 * 1.5 + 2.5 * 1.2);
  EXPECT_EQ(LeDiario(teste::Le(p.Recuperacao().CaminhoDiario())).registros.size(), 6u);
}

TEST_F(Alteracoes, UndoKeepsWhatWasTypedAfterwards) {
  DesfazerAlteracoes d =
      AplicaAlteracoes(p, {"x", {Item(1, "1", "", 12500), Item(2, "2", "", 10000)}});
  TTabelaItens& t = p.ClientDataSet1;
  t.IrParaLinha(2);
  t.Edita();
  t.AtribuiTexto(Campo::valor, "3");  // typed, not posted yet: undo posts it first
  ResultadoDesfazer r = DesfazAlteracoes(p, d);
  EXPECT_EQ(r.desfeitas, 1);
  EXPECT_EQ(r.mantidas, 1);
  EXPECT_EQ(Linha(1).valor, 1.5);
  EXPECT_EQ(Linha(2).valor, 3.0);
}

TEST_F(Alteracoes, ARowThatIsNoLongerTheItemChangesNothing) {
  AlteracaoItem errado = Item(2, "1", "", 1);  // row 2 holds item 2
  EXPECT_THROW(AplicaAlteracoes(p, {"x", {Item(1, "1", "", 12500), errado}}), base::Exception);
  EXPECT_EQ(Linha(1).valor, 1.5);
  EXPECT_FALSE(p.TemAlteracoes());
}

// What the rows hold, to compare a table before and after.
std::vector<std::pair<std::string, std::optional<double>>> Valores(const TTabelaItens& t) {
  std::vector<std::pair<std::string, std::optional<double>>> v;
  for (int i = 0; i < t.NumLinhas(); ++i) v.emplace_back(t.Linha(i).marca, t.Linha(i).valor);
  return v;
}

// Nothing of a list put back stays to be written: closing asks nothing, the journal holds none
// of its rows.
void NadaAGravar(TProposta& p) {
  EXPECT_FALSE(p.TemAlteracoes());
  EXPECT_TRUE(LeDiario(teste::Le(p.Recuperacao().CaminhoDiario())).registros.empty());
}

TEST_F(Alteracoes, ACancelOrARefusedRowLeavesTheTableAsItWas) {
  const auto antes = Valores(p.ClientDataSet1);
  LoteAlteracoes l{"x",
                   {Item(1, "1", "Faber", 12500), Item(2, "2", "Acme", 10000),
                    Item(3, "3", "Pilot", 20000, SituacaoAlteracao::Nova)}};
  // Cancelled after the second row: the asks came in order, and nothing stays applied.
  std::vector<size_t> perguntas;
  DesfazerAlteracoes d = AplicaAlteracoes(p, l, {}, [&](size_t feitas, size_t total) {
    EXPECT_EQ(total, 3u);
    perguntas.push_back(feitas);
    return feitas < 2;
  });
  EXPECT_EQ(perguntas, (std::vector<size_t>{1, 2}));
  EXPECT_TRUE(d.linhas.empty());
  EXPECT_EQ(Valores(p.ClientDataSet1), antes);
  EXPECT_EQ(p.ClientDataSet1.AgregadoDaLinha(0, Campo::qtotallote), 10 * 1.5 + 2.5 * 1.2);
  NadaAGravar(p);
  // A negative price is refused by the table at the second row: the first is put back.
  l.itens[1].valorDepois = -100;
  EXPECT_THROW(AplicaAlteracoes(p, l), base::Exception);
  EXPECT_EQ(Valores(p.ClientDataSet1), antes);
  EXPECT_EQ(p.ClientDataSet1.EstadoAtual(), TTabelaItens::Estado::Navegando);
  NadaAGravar(p);
  // What the journal keeps replays to the same table.
  p.AbrirProcesso(Outro());
  TProposta q;
  q.AbrirProcesso(processo);
  EXPECT_EQ(Valores(q.ClientDataSet1), antes);
}

TEST_F(Alteracoes, ARowTypedBeforeACancelledListStaysToBeWritten) {
  TTabelaItens& t = p.ClientDataSet1;
  t.IrParaLinha(2);
  t.Edita();
  t.AtribuiTexto(Campo::valor, "3");  // typed, posted by the list before it starts
  AplicaAlteracoes(p, {"x", {Item(1, "1", "Faber", 12500)}}, {},
                   [](size_t, size_t) { return false; });
  EXPECT_EQ(Linha(1).marca, "Bic");
  EXPECT_EQ(Linha(2).valor, 3.0);
  EXPECT_TRUE(p.TemAlteracoes());
  const auto diario = LeDiario(teste::Le(p.Recuperacao().CaminhoDiario())).registros;
  ASSERT_EQ(diario.size(), 1u);
  EXPECT_EQ(diario[0].valor, 3.0);
}

// A list is one block of the journal: a crash while it is being written (the block cut anywhere)
// recovers none of its rows, and a block on the disk recovers all of them.
TEST_F(Alteracoes, RecoveryTakesAListWholeOrNotAtAll) {
  const auto antes = Valores(p.ClientDataSet1);
  AplicaAlteracoes(p, {"x",
                       {Item(1, "1", "Faber", 12500), Item(2, "2", "Acme", 10000),
                        Item(3, "3", "Pilot", 20000, SituacaoAlteracao::Nova)}});
  const auto depois = Valores(p.ClientDataSet1);
  const std::string caminho = p.Recuperacao().CaminhoDiario();
  const std::string bytes = teste::Le(caminho);
  const size_t bloco = bytes.find("\nB\t") + 1;
  ASSERT_NE(bloco, 0u);
  EXPECT_EQ(bytes.find("\nB\t", bloco), std::string::npos);  // one block for the list
  p.AbrirProcesso(Outro());
  for (size_t corte = bloco; corte <= bytes.size(); corte += corte + 7 < bytes.size() ? 7 : 1) {
    SCOPED_TRACE(corte);
    teste::Grava(caminho, bytes.substr(0, corte));
    TProposta q;
    q.AbrirProcesso(processo);
    EXPECT_EQ(Valores(q.ClientDataSet1), corte == bytes.size() ? depois : antes);
  }
}

TEST_F(Alteracoes, ChoiceLimitsTheRowsAndTheTotalsFollowIt) {
  LoteAlteracoes l{"x", {Item(1, "1", "", 10000), Item(3, "3", "", 5000)}};
  struct Caso {
    EscolhaAlteracoes e;
    size_t lotes;
    Contagem depois;
  } casos[] = {
      {{}, 2, 10000 * 10 + 30000 + 5000 * 4},
      {{true, false}, 1, 10000 * 10 + 30000},
      {{false, true}, 1, 150000 + 30000 + 5000 * 4},
      {{false, false}, 0, 180000},
  };
  for (const Caso& c : casos) {
    TotaisAlteracoes t = CalculaTotais(p.ClientDataSet1, l, c.e);
    EXPECT_EQ(t.propostaAntes, 180000);
    EXPECT_EQ(t.propostaDepois, c.depois);
    EXPECT_EQ(t.lotes.size(), c.lotes);
  }
  TotaisAlteracoes todos = CalculaTotais(p.ClientDataSet1, l);
  EXPECT_EQ(todos.lotes[1].lote, "2");
  EXPECT_EQ(todos.lotes[1].antes, 0);
  EXPECT_EQ(todos.lotes[1].depois, 20000);
  AplicaAlteracoes(p, l, {false, true});
  EXPECT_EQ(Linha(1).valor, 1.5);
  EXPECT_EQ(Linha(3).valor, 0.5);
  EXPECT_EQ(p.TotalProposta(), 150000 + 30000 + 5000 * 4);
}

TEST_F(Alteracoes, TextRenderingShowsEveryRowAndTheTotals) {
  AlteracaoItem a = Item(1, "1", "Faber", 12345);
  a.nome = "Item 1";
  a.marcaAntes = "Bic";
  a.valorAntes = 15000;
  a.linhaOrigem = 7;
  AlteracaoItem b = Item(0, "9", "", std::nullopt, SituacaoAlteracao::SemCorrespondencia);
  b.motivo =
      "nenhum item com este c\xF3"
      "digo";
  std::string texto = TextoRevisao(p.ClientDataSet1, {"planilha.xlsx", {a, b}});
  EXPECT_EQ(texto,
            "planilha.xlsx\n"
            "  Ord. C\xF3"
            "digo      Nome                           Marca atual          "
            "Marca nova              Valor atual     Valor novo Situa\xE7\xE3o                 "
            "Motivo                                    Linha\n"
            "     1 C-1         Item 1                         Bic                  Faber    "
            "                      1,50         1,2345 Alterada                                "
            "                               7\n"
            "     9 C-9                                                                      "
            "                                          Sem correspond\xEAncia      nenhum item "
            "com este c\xF3"
            "digo\n"
            "Lote 1: R$ 18,00 -> R$ 15,35\n"
            "Total da proposta: R$ 18,00 -> R$ 15,35\n");
}

}  // namespace
