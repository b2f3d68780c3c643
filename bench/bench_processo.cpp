// Reading, totalling and rewriting a 100,000-item process file (about 28 MB: the tags alone take
// 207 bytes per item), each beside its floor: splitting the same bytes into lines without parsing,
// and writing the same bytes. The peak memory of a reading is measured in a fresh process that
// reads the file once (this program run again with --ler-uma-vez), beside the goal of twice the
// file's size plus 50 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ProcessoArquivo.h"
#include "app/Proposta.h"
#include "platform/AtomicFile.h"

namespace {

constexpr int kItens = 100000;

// A process file of kItens items in 50 lots, written as the purchasing body would.
const std::string& Arquivo() {
  static const std::string bytes = [] {
    std::string s =
        "<processo label=\"20240015\" descricao=\"Preg\xE3o eletr\xF4nico de teste\" "
        "totalitens=\"" +
        std::to_string(kItens) + "\">\r\n<produtos>\r\n";
    for (int i = 1; i <= kItens; ++i) {
      s += "<produto>\r\n <ordem>" + std::to_string(i) + "</ordem>\r\n <codigo>" +
           std::to_string(1000000 + i) + "</codigo>\r\n <nome>Produto n\xBA " + std::to_string(i) +
           "</nome>\r\n <descricao>Especifica\xE7\xE3o do item " + std::to_string(i) +
           "</descricao>\r\n <marca>Marca " + std::to_string(i % 97) + "</marca>\r\n <quantidade>" +
           std::to_string(1 + i % 300) + "</quantidade>\r\n <valor>" + std::to_string(i % 1000) +
           "," + std::to_string(i % 100) + "</valor>\r\n <apuracao>1</apuracao>\r\n <lote>" +
           std::to_string(1 + i % 50) + "</lote>\r\n</produto>\r\n";
    }
    return s + "</produtos>\r\n</processo>\r\n";
  }();
  return bytes;
}

std::string Temporario(const char* nome) {
  return (std::filesystem::temp_directory_path() / (std::string("bench-processo-") + nome))
      .string();
}

long PicoKiB() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_maxrss;
}

void BM_DividirLinhas(benchmark::State& st) {
  const std::string& b = Arquivo();
  for (auto _ : st) {
    size_t linhas = 0, bytes = 0;
    std::string_view resto(b);
    while (!resto.empty()) {
      size_t lf = resto.find('\n');
      std::string_view l = resto.substr(0, lf);
      bytes += l.size();
      ++linhas;
      resto = lf == std::string_view::npos ? std::string_view() : resto.substr(lf + 1);
    }
    benchmark::DoNotOptimize(linhas + bytes);
  }
  st.counters["MB"] = static_cast<double>(b.size()) / 1e6;
}

void BM_LerProcesso(benchmark::State& st) {
  std::string caminho = Temporario("ler.xml");
  std::ofstream(caminho, std::ios::binary) << Arquivo();
  for (auto _ : st) {
    app::TTabelaItens t;
    app::LerProcesso(caminho, t);
    benchmark::DoNotOptimize(t.NumLinhas());
  }
  st.counters["pico_MB"] = static_cast<double>(PicoKiB()) / 1024.0;
  std::filesystem::remove(caminho);
}

// The path of this program, to run it again.
std::string EstePrograma() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// One reading in a fresh process: its peak memory (resident set, the process's own few MB
// included) and its time, first page faults included.
void BM_LeituraNumProcessoNovo(benchmark::State& st) {
  std::string caminho = Temporario("novo.xml");
  std::ofstream(caminho, std::ios::binary) << Arquivo();
  double picoMB = 0, ms = 0;
  for (auto _ : st) {
    std::string comando = EstePrograma() + " --ler-uma-vez " + caminho;
    FILE* saida = ::popen(comando.c_str(), "r");
    if (!saida || std::fscanf(saida, "%lf %lf", &picoMB, &ms) != 2) st.SkipWithError("no child");
    if (saida) ::pclose(saida);
  }
  double arquivoMB = static_cast<double>(Arquivo().size()) / (1024.0 * 1024.0);
  st.counters["pico_MB"] = picoMB;
  st.counters["meta_MB"] = 2 * arquivoMB + 50;
  st.counters["leitura_ms"] = ms;
  std::filesystem::remove(caminho);
}

void BM_TotalProposta(benchmark::State& st) {
  app::TProposta p;
  app::LerProcessoDeBytes(Arquivo(), p.ClientDataSet1);
  for (auto _ : st) {
    p.btn1Click();
    benchmark::DoNotOptimize(p.btn1);
  }
}

void BM_GravarMesmosBytes(benchmark::State& st) {
  std::string caminho = Temporario("bytes.xml");
  for (auto _ : st) platform::writeFileAtomically(caminho, Arquivo());
  std::filesystem::remove(caminho);
}

void BM_RegravarProcesso(benchmark::State& st) {
  std::string caminho = Temporario("regravar.xml");
  app::TTabelaItens t;
  auto cab = app::LerProcessoDeBytes(Arquivo(), t);
  for (auto _ : st) app::EscreveDocumento(caminho, t, cab.label5, cab.descricao, std::nullopt);
  std::filesystem::remove(caminho);
}

}  // namespace

BENCHMARK(BM_DividirLinhas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LerProcesso)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeituraNumProcessoNovo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TotalProposta)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravarMesmosBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegravarProcesso)->Unit(benchmark::kMillisecond);
// The benchmarks; with --ler-uma-vez FILE, reads FILE once and prints the peak resident set in MB
// and the milliseconds taken.
int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--ler-uma-vez") == 0) {
    auto inicio = std::chrono::steady_clock::now();
    {
      app::TTabelaItens t;
      app::LerProcesso(argv[2], t);
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio)
                    .count();
    std::printf("%.1f %.1f\n", static_cast<double>(PicoKiB()) / 1024.0, ms);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
