// The report engine on a 100,000-item listing: composing it (commands per second, pages), then
// writing it as text, printer and RDP files (bytes per second), with the process's peak memory.
// Composition is also run on 25,000 and 50,000 items to show that it grows linearly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "ListagemBench.h"

namespace {

using bench::Compoe;
using bench::PicoMemoriaMB;
using bench::Tabela;

void BM_CompoeListagem(benchmark::State& state) {
  app::TTabelaItens& tabela = Tabela(static_cast<int>(state.range(0)));
  size_t comandos = 0;
  int paginas = 0;
  for (auto _ : state) {
    Compoe(tabela, [&](report::TRDprint& rd) {
      comandos = report::EstadoRelatorio().paginas->Quantidade();
      paginas = rd.TotalPaginas();
    });
  }
  state.counters["comandos"] = static_cast<double>(comandos);
  state.counters["paginas"] = paginas;
  state.counters["comandos/s"] = benchmark::Counter(static_cast<double>(comandos),
                                                    benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pico_MB"] = PicoMemoriaMB();
  state.SetComplexityN(static_cast<int64_t>(comandos));
}
BENCHMARK(BM_CompoeListagem)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Composes the 100,000-item listing once and times `grava` inside its preview.
void MedeGravacao(benchmark::State& state, const char* nome,
                  const std::function<void(report::TRDprint&, const std::string&)>& grava) {
  const std::string arquivo =
      (std::filesystem::temp_directory_path() / ("bench_report_" + std::to_string(getpid()) + nome))
          .string();
  uintmax_t bytes = 0;
  size_t comandos = 0;
  Compoe(Tabela(100000), [&](report::TRDprint& rd) {
    comandos = report::EstadoRelatorio().paginas->Quantidade();
    for (auto _ : state) grava(rd, arquivo);
    bytes = std::filesystem::file_size(arquivo);
  });
  std::filesystem::remove(arquivo);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["arquivo_MB"] = bytes / 1048576.0;
  state.counters["comandos/s"] = benchmark::Counter(static_cast<double>(comandos),
                                                    benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pico_MB"] = PicoMemoriaMB();
}

void BM_GravaTXT(benchmark::State& state) {
  MedeGravacao(state, ".txt", [](report::TRDprint& rd, const std::string& a) { rd.GravaTXT(a); });
}
void BM_GravaPRN(benchmark::State& state) {
  MedeGravacao(state, ".prn", [](report::TRDprint& rd, const std::string& a) {
    rd.Impressora = report::TModelo::Epson;
    rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
    rd.GravaPRN(a);
  });
}
void BM_GravaRDP(benchmark::State& state) {
  MedeGravacao(state, ".rdp", [](report::TRDprint& rd, const std::string& a) { rd.GravaRDP(a); });
}
BENCHMARK(BM_GravaTXT)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravaPRN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravaRDP)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
