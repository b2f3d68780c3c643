// The item table: lot order, per-lot sums, group positions, field rules, and the edit cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/TabelaItens.h"
#include "base/Erros.h"

using namespace app;

namespace {

Item Novo(int ordem, std::string lote, std::optional<double> valor, double quantidade = 1) {
  Item i;
  i.ordem = ordem;
  i.lote = std::move(lote);
  i.valor = valor;
  i.quantidade = quantidade;
  return i;
}

// A table loaded with the given rows.
void Carrega(TTabelaItens& t, std::initializer_list<Item> itens) {
  t.Reinicia();
  for (const auto& i : itens) t.CarregaLinha(i);
  t.FimCarga();
}

std::vector<int> Ordens(const TTabelaItens& t) {
  std::vector<int> r;
  for (int i = 0; i < t.NumLinhas(); ++i) r.push_back(*t.Linha(i).ordem);
  return r;
}

}  // namespace

TEST(TabelaItens, LotIndexIsStableByteOrderWithEmptyFirst) {
  TTabelaItens t;
  Carrega(t, {Novo(1, "9", 1), Novo(2, "10", 1), Novo(3, "", 1), Novo(4, "a", 1), Novo(5, "A", 1),
              Novo(6, "10", 1), Novo(7, "", 1)});
  EXPECT_EQ(Ordens(t), (std::vector<int>{3, 7, 2, 6, 1, 5, 4}));

  // A row inserted and posted takes its place after the rows of equal lot.
  t.Insere();
  t.AtribuiTexto(Campo::ordem, "8");
  t.AtribuiTexto(Campo::lote, "10");
  t.Grava();
  EXPECT_EQ(Ordens(t), (std::vector<int>{3, 7, 2, 6, 8, 1, 5, 4}));
  EXPECT_EQ(t.NumeroLinha(), 5);
}

TEST(TabelaItens, ManyRowsSortLikeAStableSortAndKeepTheirTextsThroughEdits) {
  // Lots of one to seven bytes (cut to five), upper bytes and prefixes included, in a table large
  // enough to be sorted by keys; then rows move to other lots, go and come, and the table is
  // handed to another: every row keeps its texts.
  std::mt19937 rng(1209);
  const std::string letras = "019a \x80\xE9\xFF";
  std::vector<Item> itens;
  for (int i = 0; i < 3000; ++i) {
    Item it = Novo(i, "", i);
    size_t n = rng() % 8;
    for (size_t k = 0; k < n; ++k) it.lote += letras[rng() % letras.size()];
    it.nome = "Produto " + std::to_string(i);
    itens.push_back(it);
  }
  TTabelaItens t;
  t.Reinicia();
  for (const auto& i : itens) t.CarregaLinha(i);
  t.FimCarga();
  std::vector<Item> esperado = itens;
  for (auto& i : esperado) i.lote = i.lote.substr(0, 5);
  std::stable_sort(esperado.begin(), esperado.end(),
                   [](const Item& a, const Item& b) { return a.lote < b.lote; });
  std::vector<int> ordens;
  for (const auto& i : esperado) ordens.push_back(*i.ordem);
  ASSERT_EQ(Ordens(t), ordens);

  for (int k = 0; k < 200; ++k) {
    t.IrParaLinha(static_cast<int>(rng() % static_cast<unsigned>(t.NumLinhas())) + 1);
    if (k % 3 == 0) {
      t.Apaga();
      continue;
    }
    t.Edita();
    t.AtribuiTexto(Campo::lote, std::string(1, letras[rng() % letras.size()]));
    t.AtribuiTexto(Campo::marca, "Marca " + std::to_string(k));
    t.Grava();
  }
  TTabelaItens outra;
  outra.TrocaConteudo(t);
  for (int i = 0; i < outra.NumLinhas(); ++i) {
    const LinhaItem& l = outra.Linha(i);
    EXPECT_EQ(l.nome, "Produto " + std::to_string(*l.ordem));
    if (i > 0) {
      EXPECT_LE(outra.Linha(i - 1).lote, l.lote);
    }
  }
}

TEST(TabelaItens, LotSumsSkipNullsAndFollowEveryPostAndDelete) {
  TTabelaItens t;
  Carrega(t, {Novo(1, "1", 10, 2), Novo(2, "1", std::nullopt, 5), Novo(3, "1", 2.5, 4),
              Novo(4, "2", std::nullopt)});
  t.Primeiro();
  EXPECT_EQ(t.Agregado(Campo::totallote), 12.5);
  EXPECT_EQ(t.Agregado(Campo::qtotallote), 30.0);
  t.Ultimo();
  EXPECT_FALSE(t.Agregado(Campo::totallote).has_value());  // every price of lot 2 is null
  EXPECT_EQ(t.ClientDataSet1totalloteGetText(Campo::totallote), "");

  t.IrParaLinha(2);
  t.Edita();
  t.AtribuiTexto(Campo::valor, "1,25");
  EXPECT_EQ(t.AgregadoDaLinha(0, Campo::totallote), 12.5);  // pending until posted
  t.Proximo();                                              // moving posts
  EXPECT_EQ(t.AgregadoDaLinha(0, Campo::totallote), 13.75);
  EXPECT_EQ(t.AgregadoDaLinha(2, Campo::qtotallote), 36.25);

  t.IrParaLinha(1);
  t.Apaga();
  EXPECT_EQ(*t.Linha(0).ordem, 2);  // the next row becomes current
  EXPECT_EQ(t.NumeroLinha(), 1);
  EXPECT_EQ(t.Agregado(Campo::totallote), 3.75);
  EXPECT_EQ(t.Agregado(Campo::qtotallote), 16.25);
}

// Posts to many rows of a lot, with the sums read after every post or only at the end: each
// lot's sums are those of its rows summed in row order (as a double sum, whose result depends on
// the order), never a sum left from before a post.
TEST(TabelaItens, LotSumsAfterManyPostsAreTheRowsSummedInOrder) {
  const struct {
    int linhas, posts;
    bool lePorPost;
  } casos[] = {{300, 200, true}, {300, 200, false}, {2, 5, true}, {1000, 1, false}};
  for (const auto& c : casos) {
    std::mt19937_64 g(static_cast<uint64_t>(c.linhas * 31 + c.posts));
    TTabelaItens t;
    t.Reinicia();
    for (int i = 0; i < c.linhas; ++i)
      t.CarregaLinha(Novo(i + 1, i % 7 ? "1" : "2", 0.01 * static_cast<double>(g() % 100000),
                          0.001 * static_cast<double>(g() % 10000)));
    t.FimCarga();
    for (int k = 0; k < c.posts; ++k) {
      t.IrParaLinha(1 + static_cast<int>(g() % static_cast<uint64_t>(c.linhas)));
      t.Edita();
      if (g() % 5)
        t.AtribuiDouble(Campo::valor, 0.0001 * static_cast<double>(g() % 100000000));
      else
        t.Limpa(Campo::valor);
      t.Grava();
      if (c.lePorPost) t.Agregado(Campo::qtotallote);
    }
    for (int linha = 0; linha < t.NumLinhas(); ++linha) {
      std::optional<double> valor, valorQuantidade;
      for (int i = 0; i < t.NumLinhas(); ++i) {
        const LinhaItem& it = t.Linha(i);
        if (it.lote != t.Linha(linha).lote || !it.valor) continue;
        valor = valor.value_or(0.0) + *it.valor;
        valorQuantidade = valorQuantidade.value_or(0.0) + *it.valor * *it.quantidade;
      }
      ASSERT_EQ(t.AgregadoDaLinha(linha, Campo::totallote), valor) << c.linhas << " " << linha;
      ASSERT_EQ(t.AgregadoDaLinha(linha, Campo::qtotallote), valorQuantidade) << c.linhas;
    }
  }
}

TEST(TabelaItens, TotalsAreShownOnTheLastRowOfEachLot) {
  TTabelaItens t;
  Carrega(t, {Novo(1, "", 1000.5, 2), Novo(2, "", 2), Novo(3, "7", 3)});
  EXPECT_EQ(t.TextoExibicaoDaLinha(0, Campo::totallote), "");
  EXPECT_EQ(t.TextoExibicaoDaLinha(1, Campo::totallote), "R$ 1.002,50");
  EXPECT_EQ(t.TextoExibicaoDaLinha(1, Campo::qtotallote), "R$ 2.003,00");
  EXPECT_EQ(t.TextoExibicaoDaLinha(2, Campo::totallote), "R$ 3,00");  // a single-row lot
  auto g = t.GrupoDaLinha(2);
  EXPECT_TRUE(g.primeiro && g.ultimo);
  g = t.GrupoDaLinha(0);
  EXPECT_TRUE(g.primeiro && !g.ultimo);
}

TEST(TabelaItens, FieldRulesWidthsNamesAndTexts) {
  EXPECT_EQ(TTabelaItens::CampoPorNome("Valor"), Campo::valor);
  EXPECT_EQ(TTabelaItens::CampoPorNome("QTOTALLOTE"), Campo::qtotallote);
  EXPECT_FALSE(TTabelaItens::CampoPorNome("preco").has_value());

  TTabelaItens t;
  Carrega(t, {Novo(1, "1", 12.5, 10)});
  t.Edita();
  t.AtribuiTexto(Campo::codigo, "123456789012345");
  t.AtribuiTexto(Campo::marca, "Marca muito comprida demais");
  t.AtribuiTexto(Campo::nome, std::string(50, 'n'));
  t.AtribuiTexto(Campo::lote, "1234567");
  t.Grava();
  EXPECT_EQ(t.ComoTexto(Campo::codigo), "12345678901");
  EXPECT_EQ(t.ComoTexto(Campo::marca), "Marca muito comprida");
  EXPECT_EQ(t.ComoTexto(Campo::marca).size(), 20u);
  EXPECT_EQ(t.ComoTexto(Campo::nome).size(), 45u);
  EXPECT_EQ(t.ComoTexto(Campo::lote), "12345");
  EXPECT_EQ(t.ComoTexto(Campo::valor), "12,5");
  EXPECT_EQ(t.ComoTexto(Campo::quantidade), "10");
  EXPECT_EQ(t.TextoExibicao(Campo::quantidade), "10,0000");
  EXPECT_EQ(t.TextoExibicao(Campo::valor), "12,5000");
  EXPECT_EQ(t.ComoFixo(Campo::valor), 125000);
  EXPECT_EQ(t.ComoInteiro(Campo::ordem), 1);

  t.Edita();
  t.Limpa(Campo::valor);
  t.Grava();
  EXPECT_TRUE(t.Nulo(Campo::valor));
  EXPECT_EQ(t.ComoTexto(Campo::valor), "");
  EXPECT_EQ(t.ComoDouble(Campo::valor), 0.0);
  EXPECT_EQ(t.ComoFixo(Campo::valor), 0);
  EXPECT_EQ(t.TextoExibicao(Campo::valor), "");
}

TEST(TabelaItens, ARefusedPriceKeepsThePreviousValue) {
  TTabelaItens t;
  Carrega(t, {Novo(1, "1", 3)});
  t.Edita();
  try {
    t.AtribuiTexto(Campo::valor, "12.5");
    FAIL();
  } catch (const base::EConvertError& e) {
    EXPECT_EQ(e.Mensagem(), "'12.5' is not a valid floating point value for field 'valor'");
  }
  EXPECT_EQ(t.ComoDouble(Campo::valor), 3.0);
  EXPECT_THROW(t.AtribuiTexto(Campo::totallote, "1"), base::EDatabaseError);
}

TEST(TabelaItens, EditCycleEventsPostCancelAndStates) {
  TTabelaItens t;
  int mudancas = 0, atualizacoes = 0;
  t.aoMudarDados = [&] { ++mudancas; };
  t.aoAtualizarDados = [&] { ++atualizacoes; };
  Carrega(t, {Novo(1, "1", 3), Novo(2, "1", 4)});
  mudancas = 0;

  EXPECT_THROW(t.AtribuiTexto(Campo::marca, "x"), base::EDatabaseError);  // not in edit mode
  t.Primeiro();
  t.Edita();
  int antesDaMarca = mudancas;
  t.AtribuiTexto(Campo::marca, "Acme");
  EXPECT_EQ(mudancas, antesDaMarca + 1);         // a field change is a data change
  EXPECT_EQ(t.ComoTexto(Campo::marca), "Acme");  // the pending value is what the row shows
  t.Cancela();
  EXPECT_EQ(t.ComoTexto(Campo::marca), "");
  EXPECT_EQ(atualizacoes, 0);

  t.Edita();
  t.AtribuiTexto(Campo::marca, "Acme");
  int antes = mudancas;
  t.Proximo();  // posts, then moves
  EXPECT_EQ(atualizacoes, 1);
  EXPECT_GT(mudancas, antes);
  EXPECT_EQ(t.Linha(0).marca, "Acme");
  EXPECT_EQ(t.EstadoAtual(), TTabelaItens::Estado::Navegando);

  // Moving past the last row sets the end test and keeps the last row current.
  t.Proximo();
  EXPECT_TRUE(t.Fim());
  EXPECT_EQ(t.NumeroLinha(), 2);

  // A post that the controls refuse leaves the row in edit mode and does not move.
  t.aoAtualizarDados = [&] { throw base::EConvertError("recusado"); };
  t.Primeiro();
  t.Edita();
  EXPECT_THROW(t.Proximo(), base::EConvertError);
  EXPECT_EQ(t.NumeroLinha(), 1);
  EXPECT_EQ(t.EstadoAtual(), TTabelaItens::Estado::Editando);
}

TEST(TabelaItens, ClosedAndEmptyTables) {
  TTabelaItens t;
  EXPECT_TRUE(t.Vazia());
  EXPECT_FALSE(t.Aberta());
  try {
    t.Primeiro();
    FAIL();
  } catch (const base::EDatabaseError& e) {
    EXPECT_EQ(e.Mensagem(), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(t.ComoInteiro(Campo::ordem), base::EDatabaseError);
  t.Reinicia();
  EXPECT_TRUE(t.Vazia());
  t.Primeiro();
  EXPECT_TRUE(t.Fim());
  t.Edita();  // nothing to edit: the grid adds no rows
  EXPECT_EQ(t.EstadoAtual(), TTabelaItens::Estado::Navegando);
  EXPECT_THROW(t.Apaga(), base::EDatabaseError);

  // Deleting the last row leaves the new last row current; deleting the only row empties it.
  Carrega(t, {Novo(1, "1", 1), Novo(2, "1", 1)});
  t.Ultimo();
  t.Apaga();
  EXPECT_EQ(t.NumeroLinha(), 1);
  t.Apaga();
  EXPECT_TRUE(t.Vazia());
  EXPECT_EQ(t.NumeroLinha(), 0);
}

TEST(TabelaItens, PostingRefusesPricesNoBidCanHaveNamingTheItem) {
  const std::string kGrande =
      " \xE9 grande demais: o pre\xE7o e o total do item (pre\xE7o x quantidade) v\xE3o at\xE9 R$ "
      "922.337.203.685.477,58.";
  struct Caso {
    const char* valor;
    double quantidade;
    std::string recusa;  // empty: posted
  } casos[] = {
      {"-5", 1,
       "O pre\xE7o do item 7 n\xE3o pode ser negativo: digite o pre\xE7o unit\xE1rio, de 0 para "
       "cima."},
      {"-0,0001", 1,
       "O pre\xE7o do item 7 n\xE3o pode ser negativo: digite o pre\xE7o unit\xE1rio, de 0 para "
       "cima."},
      {"99999999999999999999", 1, "O pre\xE7o do item 7" + kGrande},
      {"922337203685477", 1, ""},  // the largest whole price the count holds
      {"922337203685477", 2, "O pre\xE7o do item 7" + kGrande},  // its amount does not fit
      {"1000000", 1e10, "O pre\xE7o do item 7" + kGrande},
      {"0", 1e300, ""},
      {"", 1, ""},
      {"12,5", 3, ""},
  };
  for (const Caso& c : casos) {
    TTabelaItens t;
    Carrega(t, {Novo(7, "1", 2, c.quantidade)});
    t.Edita();
    t.AtribuiTexto(Campo::valor, c.valor);
    if (c.recusa.empty()) {
      EXPECT_NO_THROW(t.Grava()) << c.valor;
      continue;
    }
    try {
      t.Grava();
      ADD_FAILURE() << c.valor;
    } catch (const base::EConvertError& e) {
      EXPECT_EQ(e.Mensagem(), c.recusa);
    }
    // The row stays in edit mode with what was typed; the stored price and the lot sum are kept.
    EXPECT_EQ(t.EstadoAtual(), TTabelaItens::Estado::Editando);
    EXPECT_THROW(t.Proximo(), base::EConvertError);
    t.Cancela();
    EXPECT_EQ(t.ComoDouble(Campo::valor), 2.0);
    EXPECT_EQ(t.Agregado(Campo::totallote), 2.0);
  }
  // A file's rows are loaded as they are: only posting refuses.
  TTabelaItens t;
  EXPECT_NO_THROW(Carrega(t, {Novo(1, "1", -5)}));
  EXPECT_EQ(t.ComoDouble(Campo::valor), -5.0);
}
