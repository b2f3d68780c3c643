// The adjustment to a final bid checked from outside, on tables of cases and on thousands of random
// lots: the total (the program's running sum) is at most the bid, no price went up or below one
// step, and no single price can take one more step without passing the bid; what cannot be done is
// refused with a message that says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/Readequacao.h"
#include "app/TabelaItens.h"
#include "base/Erros.h"
#include "support/ItensProposta.h"

using namespace app;

namespace {

std::vector<ItemReadequacao> Itens(std::initializer_list<std::pair<Contagem, double>> l) {
  std::vector<ItemReadequacao> v;
  int32_t ordem = 0;
  for (auto [preco, q] : l) v.push_back({preco, q, ++ordem});
  return v;
}

// What is wrong with an adjustment, or empty: the total, every price, and every single step up.
std::string Falha(const std::vector<ItemReadequacao>& itens, Contagem lance, int casas,
                  const Readequado& r) {
  if (!r.Feito()) return "recusado: " + r.recusa;
  const Contagem passo = PassoDeCasas(casas);
  if (r.precos.size() != itens.size()) return "numero de precos";
  if (r.totalDepois != TotalDe(itens, r.precos)) return "total informado difere do calculado";
  if (r.totalDepois > lance) return "total acima do lance";
  for (size_t i = 0; i < itens.size(); ++i) {
    const std::string item = "item " + std::to_string(i + 1) + ": ";
    if (r.precos[i] > itens[i].preco) return item + "preco subiu";
    if (r.precos[i] < passo) return item + "preco abaixo de um passo";
    if (r.precos[i] % passo) return item + "preco fora do passo";
    if (r.precos[i] + passo > itens[i].preco) continue;
    std::vector<Contagem> mais = r.precos;
    mais[i] += passo;
    if (TotalDe(itens, mais) <= lance) return item + "ainda cabe um passo";
  }
  return {};
}

// A case as text, for a failure's message.
std::string Descreve(const std::vector<ItemReadequacao>& itens, Contagem lance, int casas) {
  std::string s = ": lance " + std::to_string(lance) + ", " + std::to_string(casas) + " casas;";
  for (const ItemReadequacao& it : itens)
    s += " {" + std::to_string(it.preco) + ", " + std::to_string(it.quantidade) + ", " +
         std::to_string(it.ordem) + "}";
  return s;
}

struct Caso {
  const char* nome;
  std::vector<ItemReadequacao> itens;
  Contagem lance;
  int casas;
  std::optional<Contagem> totalEsperado;  // when the bid is reachable exactly
};

TEST(Readequacao, TableOfLotsMeetsEveryCondition) {
  const auto exemplo = Itens({{2592500, 3}, {321400, 100}, {3516900, 1}});
  const Caso casos[] = {
      // A flat 17% cut rounded per price gives 3.605,44, above the bid.
      {"exemplo, 2 casas", exemplo, 36050600, 2, 36050600},
      {"exemplo, 4 casas", exemplo, 36050600, 4, 36050600},
      {"exemplo, lance com centavo impar", exemplo, 36050700, 2, 36050700},
      {"quantidades fracionadas, 4 casas",
       Itens({{1050000, 2.5}, {23333, 0.333}, {99900, 1.75}, {70001, 0.5}}),
       2000000,
       4,
       {}},
      {"quantidades fracionadas, 2 casas",
       Itens({{1050000, 2.5}, {23300, 0.333}, {99900, 1.75}, {70000, 0.5}}),
       2000000,
       2,
       {}},
      {"metades que arredondam pelo total corrente",
       Itens({{3, 0.5}, {5, 0.5}, {7, 2.5}, {9, 1.5}, {11, 0.5}}),
       30,
       4,
       {}},
      {"um item", Itens({{100000, 3}}), 250000, 2, {}},
      {"um item, lance exato", Itens({{100000, 4}}), 360000, 2, 360000},
      {"minimo alcancado por pouco", Itens({{10000, 10}, {20000, 20}}), 3000, 2, 3000},
      {"quantidade zero fica como esta", Itens({{55500, 0}, {10000, 10}}), 50000, 2, 50000},
      {"precos com 4 casas cortados a 2", Itens({{12345, 10}, {67891, 3}}), 300000, 2, {}},
      {"quantidade minuscula", Itens({{5000000, 0.0001}, {10000, 7}}), 60000, 2, {}},
  };
  for (const Caso& c : casos) {
    Readequado r = Readequa(c.itens, c.lance, c.casas);
    EXPECT_EQ(Falha(c.itens, c.lance, c.casas, r), "") << c.nome;
    if (c.totalEsperado) {
      EXPECT_EQ(r.totalDepois, *c.totalEsperado) << c.nome;
    }
    // The same input gives the same prices.
    EXPECT_EQ(Readequa(c.itens, c.lance, c.casas).precos, r.precos) << c.nome;
  }
}

TEST(Readequacao, ResidueGoesByLargestRemainderThenOrdem) {
  // Equal items share the cut; the one step left goes to the lowest ordem.
  auto iguais = Itens({{10000, 1}, {10000, 1}, {10000, 1}});
  Readequado r = Readequa(iguais, 20000, 2);
  EXPECT_EQ(r.precos, (std::vector<Contagem>{6700, 6700, 6600}));
  std::swap(iguais[0].ordem, iguais[2].ordem);
  EXPECT_EQ(Readequa(iguais, 20000, 2).precos, (std::vector<Contagem>{6600, 6700, 6700}));
}

TEST(Readequacao, RefusalsSayWhy) {
  const auto itens = Itens({{10000, 10}, {20000, 20}});  // total 50,00; minimum 0,30
  struct Recusa {
    std::vector<ItemReadequacao> itens;
    Contagem lance;
    int casas;
    const char* trecho;
  } casos[] = {
      {itens, 500000, 2, "n\xE3o \xE9 menor que o total atual (R$ 50,00)"},
      {itens, 6000000, 2, "n\xE3o \xE9 menor"},
      {itens, 2900, 2,
       "menor que o m\xEDnimo poss\xEDvel (R$ 0,30, com todos os pre\xE7os em 0,01)"},
      {itens, 0, 2, "maior que zero"},
      {itens, 10000, 3, "2 ou 4"},
      {Itens({{50, 1}, {10000, 1}}), 5000, 2, "item 1 tem pre\xE7o (0,005) menor que 0,01"},
      {Itens({{10000, -1}}), 5000, 2, "quantidade negativa"},
      {{}, 5000, 2, "Nenhum item tem pre\xE7o"},
  };
  for (const Recusa& c : casos) {
    Readequado r = Readequa(c.itens, c.lance, c.casas);
    EXPECT_FALSE(r.Feito());
    EXPECT_NE(r.recusa.find(c.trecho), std::string::npos) << r.recusa;
  }
}

TEST(Readequacao, ThousandsOfRandomLotsMeetEveryCondition) {
  std::mt19937_64 gerador(20241209);
  const double quantidades[] = {1,   2,     3,    10,    100,    1000, 0.5,
                                2.5, 0.333, 1.75, 0.001, 12.345, 7.2,  0};
  for (int caso = 0; caso < 4000; ++caso) {
    const int casas = caso % 2 ? 2 : 4;
    const Contagem passo = PassoDeCasas(casas);
    std::vector<ItemReadequacao> itens(1 + gerador() % 25);
    for (size_t i = 0; i < itens.size(); ++i) {
      Contagem preco = passo + static_cast<Contagem>(gerador() % 5000000);
      if (gerador() % 2) preco -= preco % passo;  // mostly priced in steps already
      itens[i] = {preco, quantidades[gerador() % std::size(quantidades)],
                  static_cast<int32_t>(gerador() % 8)};  // repeated ordens: ties by position
    }
    std::vector<Contagem> atuais, minimos;
    for (const ItemReadequacao& it : itens) {
      atuais.push_back(it.preco);
      minimos.push_back(it.quantidade > 0 ? passo : it.preco - it.preco % passo);
    }
    const Contagem total = TotalDe(itens, atuais), minimo = TotalDe(itens, minimos);
    const Contagem piso = std::max<Contagem>(minimo, 1);  // a bid is more than nothing
    if (total <= piso) continue;
    const Contagem lance =
        piso + static_cast<Contagem>(gerador() % static_cast<uint64_t>(total - piso));
    Readequado r = Readequa(itens, lance, casas);
    ASSERT_EQ(Falha(itens, lance, casas, r), "")
        << "caso " << caso << Descreve(itens, lance, casas);
  }
}

// Random lots, some of hundreds of items, fractional quantities with halves, prices beyond 2^53
// counts with tiny quantities: the prices are those the first, straightforward adjustment gave
// (every halving scaling every item, a full sort before the residue), recorded as one FNV-1a digest
// of every adjusted price. A faster adjustment must give the same prices for the same input.
TEST(Readequacao, SamePricesAsTheStraightforwardAdjustment) {
  uint64_t digest = 14695981039346656037ull;
  const auto mistura = [&digest](uint64_t v) {
    for (int b = 0; b < 64; b += 8) digest = (digest ^ ((v >> b) & 0xFF)) * 1099511628211ull;
  };
  std::mt19937_64 gerador(20261210);
  const double quantidades[] = {1,     2,    3,     10,     100, 1000, 0.5, 2.5,
                                0.333, 1.75, 0.001, 12.345, 7.2, 0,    1e-6};
  int comparados = 0;
  for (int caso = 0; caso < 1500; ++caso) {
    const int casas = caso % 2 ? 2 : 4;
    const Contagem passo = PassoDeCasas(casas);
    std::vector<ItemReadequacao> itens(caso % 10 == 0 ? 100 + gerador() % 400 : 1 + gerador() % 40);
    const bool enormes = caso % 50 == 7;  // prices of 2^55 counts and more, quantity 1e-6
    // Half the items at one to three steps: their one-step floor can put the proportional cut
    // above the bid.
    const bool rasos = caso % 5 == 3;
    for (size_t i = 0; i < itens.size(); ++i) {
      Contagem preco = passo + static_cast<Contagem>(gerador() % 5000000);
      if (rasos && i % 2) preco = passo * (1 + static_cast<Contagem>(gerador() % 3));
      double q = quantidades[gerador() % std::size(quantidades)];
      if (enormes && i % 2) {
        preco = (Contagem{1} << 55) + static_cast<Contagem>(gerador() % (Contagem{1} << 56));
        q = 1e-6;
      }
      if (gerador() % 2) preco -= preco % passo;
      itens[i] = {preco, q, static_cast<int32_t>(gerador() % 8)};
    }
    std::vector<Contagem> atuais;
    for (const ItemReadequacao& it : itens) atuais.push_back(it.preco);
    Contagem total = 0;
    try {
      total = TotalDe(itens, atuais);
    } catch (const base::Exception&) {
      continue;
    }
    if (total < 2) continue;
    const Contagem lance = 1 + static_cast<Contagem>(gerador() % static_cast<uint64_t>(total - 1));
    Readequado r = Readequa(itens, lance, casas);
    if (!r.Feito()) continue;
    ++comparados;
    mistura(static_cast<uint64_t>(caso));
    for (Contagem p : r.precos) mistura(static_cast<uint64_t>(p));
  }
  EXPECT_GT(comparados, 1000);
  EXPECT_EQ(digest, 15422589718070174672ull) << comparados;
}

TEST(Readequacao, MoneyAsTyped) {
  const struct {
    const char* texto;
    std::optional<Contagem> valor;
  } casos[] = {
      {"3.605,06", 36050600},
      {"3605,06", 36050600},
      {"R$ 3.605,06", 36050600},
      {"3605.06", 36050600},
      {"3.605", 36050000},
      {"1.234.567,8", 12345678000},
      {"0,0001", 1},
      {"10", 100000},
      {"1,23456", std::nullopt},
      {"", std::nullopt},
      {"12a", std::nullopt},
      {"1,", std::nullopt},
      {"-5", std::nullopt},
      {"12.34.5", std::nullopt},
  };
  for (const auto& c : casos) EXPECT_EQ(LeDinheiro(c.texto), c.valor) << c.texto;
}

// A table of three lots: lot 1 (two items), lot 2 (one item), lot 3 without prices.
void Carrega(TTabelaItens& t, bool loteIncompleto = false) {
  teste::CarregaItens(
      t,
      {teste::ItemProposta(1, "1", "", 3, 259.25), teste::ItemProposta(2, "1", "", 100, 32.14),
       teste::ItemProposta(3, "2", "", 1, 351.69), teste::ItemProposta(4, "3", "", 5, std::nullopt),
       teste::ItemProposta(5, "3", "", 5,
                           loteIncompleto ? std::optional<double>(2.0) : std::nullopt)});
}

TEST(Readequacao, ALotOrTheWholeProposalFromTheTable) {
  TTabelaItens t;
  Carrega(t);
  ReadequacaoProposta lote = ReadequaTabela(t, {"1", 35000000, 2});
  ASSERT_EQ(lote.recusa, "");
  ASSERT_EQ(lote.alteracoes.itens.size(), 2u);
  EXPECT_EQ(lote.totalAntes, 39917500);  // 777,75 + 3.214,00
  EXPECT_LE(lote.totalDepois, 35000000);
  EXPECT_EQ(lote.alteracoes.itens[1].linhaTabela, 2);
  EXPECT_EQ(lote.alteracoes.itens[1].valorAntes, 321400);

  ReadequacaoProposta toda = ReadequaTabela(t, {std::nullopt, 36050600, 2});
  ASSERT_EQ(toda.recusa, "");
  EXPECT_EQ(toda.alteracoes.itens.size(), 3u);  // lot 3 takes no part
  EXPECT_EQ(toda.totalDepois, 36050600);
  EXPECT_EQ(toda.alteracoes.origem, "Readequa\xE7\xE3o da proposta ao lance de R$ 3.605,06");
  for (const AlteracaoItem& a : toda.alteracoes.itens)
    EXPECT_EQ(a.situacao, SituacaoAlteracao::Alterada);
}

TEST(Readequacao, TableRefusals) {
  TTabelaItens t;
  Carrega(t, true);
  const struct {
    PedidoReadequacao pedido;
    const char* recusa;
  } casos[] = {
      {{"9", 100, 2}, "O lote 9 n\xE3o existe neste processo."},
      {{std::nullopt, 100, 2}, "O lote 3 tem item sem pre\xE7o (item 4)"},
      {{"3", 100, 2}, "O lote 3 tem item sem pre\xE7o (item 4)"},
      {{"2", 40000000, 2}, "n\xE3o \xE9 menor que o total atual"},
  };
  for (const auto& c : casos) {
    ReadequacaoProposta r = ReadequaTabela(t, c.pedido);
    EXPECT_NE(r.recusa.find(c.recusa), std::string::npos) << r.recusa;
    EXPECT_TRUE(r.alteracoes.itens.empty());
  }
  Carrega(t);
  EXPECT_EQ(ReadequaTabela(t, {"3", 100, 2}).recusa,
            "O lote 3 n\xE3o tem pre\xE7os; n\xE3o h\xE1 o que readequar.");
}

}  // namespace
