// The proposal letter of 100,000 items beside the item listing of the same table, composed on the
// same engine: time per item of each (the letter must be at least as fast per item), commands and
// pages, and the check of the same proposal.
#include <benchmark/benchmark.h>

#include "ListagemBench.h"
#include "app/CartaProposta.h"
#include "app/Conferencia.h"
#include "support/ItensProposta.h"

namespace {

constexpr int kItens = 100000;

// Counters per item, so the two compositions compare side by side.
void Contadores(benchmark::State& state, size_t comandos, int paginas) {
  state.counters["comandos"] = static_cast<double>(comandos);
  state.counters["paginas"] = paginas;
  state.counters["itens/s"] =
      benchmark::Counter(kItens, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pico_MB"] = bench::PicoMemoriaMB();
}

void BM_CompoeListagem(benchmark::State& state) {
  app::TTabelaItens& tabela = bench::Tabela(kItens);
  size_t comandos = 0;
  int paginas = 0;
  for (auto _ : state)
    bench::Compoe(tabela, [&](report::TRDprint& rd) {
      comandos = report::EstadoRelatorio().paginas->Quantidade();
      paginas = rd.TotalPaginas();
    });
  Contadores(state, comandos, paginas);
}
BENCHMARK(BM_CompoeListagem)->Unit(benchmark::kMillisecond);

void BM_CompoeCarta(benchmark::State& state) {
  app::TTabelaItens& tabela = bench::Tabela(kItens);
  const app::DadosCarta dados = teste::DadosCartaTeste();
  size_t comandos = 0;
  int paginas = 0;
  for (auto _ : state) {
    bench::JanelasBench janelas;
    janelas.noPreview = [&](report::TRDprint& rd) {
      comandos = report::EstadoRelatorio().paginas->Quantidade();
      paginas = rd.TotalPaginas();
    };
    report::JanelasInstaladas guarda(janelas);
    report::ReiniciaEstadoRelatorio();
    report::TRDprint rd;
    app::ConfiguraCarta(rd, dados.numeroProcesso);
    rd.PortaComunicacao = "bench";
    app::TCartaProposta carta(rd, tabela, dados);
    carta.Emite();
  }
  Contadores(state, comandos, paginas);
}
BENCHMARK(BM_CompoeCarta)->Unit(benchmark::kMillisecond);

void BM_ConfereProposta(benchmark::State& state) {
  app::TTabelaItens& tabela = bench::Tabela(kItens);
  const app::DadosCarta dados = teste::DadosCartaTeste();
  size_t achados = 0;
  for (auto _ : state) achados = app::ConfereProposta(tabela, dados.perfil, dados.termos).size();
  state.counters["pendencias"] = static_cast<double>(achados);
  state.counters["itens/s"] =
      benchmark::Counter(kItens, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ConfereProposta)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
