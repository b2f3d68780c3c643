// Adjusting 100,000 items to a final bid (the goal: at most 50 ms): the prices alone, whole
// quantities (every amount a whole count) and fractional ones (halves and long fractions, whose
// rounding follows the running sum); and the whole proposal from the item table, review list
// included. Beside them, the floor: the program's running total of the same items once.
#include <benchmark/benchmark.h>

#include <random>

#include "app/Readequacao.h"
#include "app/TabelaItens.h"

namespace {

constexpr int kItens = 100000;

// kItens items priced 1,00 to 5.000,00 in cents; whole quantities 1 to 300, or a mix of
// fractional ones.
std::vector<app::ItemReadequacao> Itens(bool fracionadas) {
  std::mt19937_64 g(42);
  const double fracoes[] = {0.5, 2.5, 0.333, 1.75, 12.345, 7.2, 3, 10};
  std::vector<app::ItemReadequacao> v(kItens);
  for (int i = 0; i < kItens; ++i) {
    app::Contagem preco = (100 + static_cast<app::Contagem>(g() % 500000)) * 100;
    double q =
        fracionadas ? fracoes[g() % std::size(fracoes)] : 1.0 + static_cast<double>(g() % 300);
    v[static_cast<size_t>(i)] = {preco, q, i + 1};
  }
  return v;
}

app::Contagem Lance(const std::vector<app::ItemReadequacao>& itens) {
  std::vector<app::Contagem> precos;
  for (const auto& it : itens) precos.push_back(it.preco);
  return app::TotalDe(itens, precos) / 100 * 83;  // 17% off, a whole cent
}

void BM_Readequa(benchmark::State& st) {
  const auto itens = Itens(st.range(0) != 0);
  const app::Contagem lance = Lance(itens);
  for (auto _ : st) {
    app::Readequado r = app::Readequa(itens, lance, 2);
    if (!r.Feito()) st.SkipWithError(r.recusa.c_str());
    benchmark::DoNotOptimize(r.precos.data());
    st.counters["folga"] = static_cast<double>(lance - r.totalDepois);
  }
}
BENCHMARK(BM_Readequa)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TotalDosMesmosItens(benchmark::State& st) {
  const auto itens = Itens(false);
  std::vector<app::Contagem> precos;
  for (const auto& it : itens) precos.push_back(it.preco);
  for (auto _ : st) benchmark::DoNotOptimize(app::TotalDe(itens, precos));
}
BENCHMARK(BM_TotalDosMesmosItens)->Unit(benchmark::kMillisecond);

// The whole proposal of a 100,000-item table in 50 lots, up to the list the review shows.
void BM_ReadequaTabela(benchmark::State& st) {
  const auto itens = Itens(false);
  app::TTabelaItens t;
  t.Reinicia();
  for (const auto& it : itens) {
    app::Item i;
    i.ordem = it.ordem;
    i.codigo = std::to_string(1000000 + it.ordem);
    i.nome = "Produto " + std::to_string(it.ordem);
    i.lote = std::to_string(1 + it.ordem % 50);
    i.quantidade = it.quantidade;
    i.valor = static_cast<double>(it.preco) / 10000.0;
    t.CarregaLinha(i);
  }
  t.FimCarga();
  const app::Contagem lance = Lance(itens);
  for (auto _ : st) {
    app::ReadequacaoProposta r = app::ReadequaTabela(t, {std::nullopt, lance, 2});
    if (!r.recusa.empty()) st.SkipWithError(r.recusa.c_str());
    benchmark::DoNotOptimize(r.alteracoes.itens.data());
  }
}
BENCHMARK(BM_ReadequaTabela)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
