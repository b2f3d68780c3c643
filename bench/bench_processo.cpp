// Reading, totalling and rewriting a 100,000-item process file (about 25 MB: the tags alone take
// 207 bytes per item), each beside its floor: splitting the same bytes into lines without parsing,
// and writing the same bytes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

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
BENCHMARK(BM_TotalProposta)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravarMesmosBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegravarProcesso)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
