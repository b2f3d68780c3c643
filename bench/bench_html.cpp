// The HTML export of the 100,000-item listing (2,001 pages): bytes per second of the exported
// document and the process's peak memory, beside the floor of writing the same bytes through the
// same atomic file sink (temporary file, sync, rename). Rates are on wall-clock time, the sync
// included. Goal: at least 200 MB/s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ListagemBench.h"
#include "platform/ByteSink.h"

namespace {

// A file beside the other temporary files of this run.
std::string ArquivoTemporario(const char* nome) {
  return (std::filesystem::temp_directory_path() /
          ("bench_html_" + std::to_string(getpid()) + nome))
      .string();
}

void BM_GravaHTML(benchmark::State& state) {
  const std::string arquivo = ArquivoTemporario(".html");
  uintmax_t bytes = 0;
  size_t comandos = 0;
  bool ok = true;
  bench::Compoe(bench::Tabela(100000), [&](report::TRDprint& rd) {
    comandos = report::EstadoRelatorio().paginas->Quantidade();
    for (auto _ : state) ok = rd.GravaHTML(arquivo) && ok;
    bytes = std::filesystem::file_size(arquivo);
  });
  std::filesystem::remove(arquivo);
  if (!ok) state.SkipWithError("GravaHTML failed");
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["arquivo_MB"] = bytes / 1048576.0;
  state.counters["comandos/s"] = benchmark::Counter(static_cast<double>(comandos),
                                                    benchmark::Counter::kIsIterationInvariantRate);
  state.counters["pico_MB"] = bench::PicoMemoriaMB();
}
BENCHMARK(BM_GravaHTML)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the bytes of the same document, already in memory, written through the file sink.
void BM_GravaMesmosBytes(benchmark::State& state) {
  const std::string arquivo = ArquivoTemporario(".html");
  bench::Compoe(bench::Tabela(100000), [&](report::TRDprint& rd) { rd.GravaHTML(arquivo); });
  std::ifstream entrada(arquivo, std::ios::binary);
  const std::string documento((std::istreambuf_iterator<char>(entrada)),
                              std::istreambuf_iterator<char>());
  for (auto _ : state) {
    platform::SinkError erro;
    auto s = platform::openFileSink(arquivo, erro);
    for (size_t i = 0; i < documento.size(); i += 1 << 20)
      s->write(std::string_view(documento).substr(i, 1 << 20));
    if (!s->finish()) state.SkipWithError("write failed");
  }
  std::filesystem::remove(arquivo);
  state.SetBytesProcessed(static_cast<int64_t>(documento.size()) * state.iterations());
}
BENCHMARK(BM_GravaMesmosBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
