// The spreadsheet round trip of a 100,000-item process: exporting it as XLSX, ODS and CSV, and
// importing each back (reading, matching, the review built), measured in the same run as
// LibreOffice converting the same XLSX (its floor for opening it). Goals: the XLSX import in at
// most 1 s and at least 10 times faster than LibreOffice, the CSV import in at most 150 ms, and
// the import's peak memory at most 100 MB above the table (measured in a forked child). The
// LibreOffice benchmark times our XLSX import beside it and prints the ratio.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ListagemBench.h"
#include "planilha/Exportacao.h"
#include "planilha/Importacao.h"

namespace {

constexpr int kItens = 100000;

// The generated table of kItens items the report benchmarks use.
app::TTabelaItens& Tabela() {
  static app::TTabelaItens tabela;
  static const bool pronta = (bench::GeraTabela(tabela, kItens), true);
  (void)pronta;
  return tabela;
}

const std::string& Exportada(planilha::Formato f) {
  static std::string bytes[3];
  std::string& b = bytes[static_cast<int>(f)];
  if (b.empty()) {
    platform::MemorySink sink;
    std::string erro;
    if (!planilha::Exporta(f, Tabela(), "2024/0015", sink, erro)) std::abort();
    b = sink.bytes();
  }
  return b;
}

void BM_Exportar(benchmark::State& st) {
  const auto f = static_cast<planilha::Formato>(st.range(0));
  Tabela();
  size_t bytes = 0;
  for (auto _ : st) {
    platform::MemorySink sink;
    std::string erro;
    planilha::Exporta(f, Tabela(), "2024/0015", sink, erro);
    bytes = sink.bytes().size();
  }
  st.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

// One whole import: format recognised, header found, every row read and matched.
size_t Importa(planilha::Formato f) {
  planilha::ArquivoPlanilha a;
  if (planilha::ArquivoPlanilha::DeBytes(Exportada(f), "bench", a)) std::abort();
  std::vector<planilha::LinhaPlanilha> primeiras;
  planilha::PrimeirasLinhas(a, 0, 5, primeiras);
  const auto m = planilha::LayoutProprio(primeiras);
  planilha::Importacao imp;
  if (!m || planilha::Importa(a, 0, *m, Tabela(), "2024/0015", imp)) std::abort();
  return imp.alteracoes.itens.size();
}

void BM_Importar(benchmark::State& st) {
  const auto f = static_cast<planilha::Formato>(st.range(0));
  Exportada(f);
  for (auto _ : st) benchmark::DoNotOptimize(Importa(f));
  st.counters["itens/s"] =
      benchmark::Counter(kItens, benchmark::Counter::kIsIterationInvariantRate);
}

long KiB(const char* campo) {
  std::ifstream s("/proc/self/status");
  std::string linha;
  while (std::getline(s, linha))
    if (linha.rfind(campo, 0) == 0) return std::atol(linha.c_str() + std::strlen(campo));
  return 0;
}

// The import's peak memory above what the process holds (the table, the file in memory): one
// import in a forked child, its high-water mark against its resident size at the start. The
// child first hands the heap's free memory back (the earlier benchmarks' leftovers), or the
// import would reuse pages already counted as resident and seem to cost nothing.
void BM_PicoImportacao(benchmark::State& st) {
  const auto f = static_cast<planilha::Formato>(st.range(0));
  Exportada(f);
  long acima = 0;
  for (auto _ : st) {
    int canal[2];
    if (pipe(canal) != 0) std::abort();
    const pid_t filho = fork();
    if (filho == 0) {
      std::FILE* zera = std::fopen("/proc/self/clear_refs", "w");
      malloc_trim(0);
      if (zera) std::fputs("5", zera), std::fclose(zera);  // resets the high-water mark
      const long antes = KiB("VmRSS:");
      Importa(f);
      const long delta = KiB("VmHWM:") - antes;
      (void)!write(canal[1], &delta, sizeof delta);
      _exit(0);
    }
    (void)!read(canal[0], &acima, sizeof acima);
    close(canal[0]);
    close(canal[1]);
    waitpid(filho, nullptr, 0);
  }
  st.counters["MB_acima"] = static_cast<double>(acima) / 1024.0;
}

// LibreOffice opening the same XLSX (converting it to CSV, the least it does with a file).
void BM_LibreOfficeAbreXlsx(benchmark::State& st) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    st.SkipWithError("soffice n\xE3o est\xE1 instalado");
    return;
  }
  const auto pasta = std::filesystem::temp_directory_path() / "bench-planilha-soffice";
  std::filesystem::create_directories(pasta);
  { std::ofstream(pasta / "itens.xlsx", std::ios::binary) << Exportada(planilha::Formato::Xlsx); }
  const std::string p = pasta.string();
  const std::string cmd = "cd '" + p + "' && HOME='" + p +
                          "' soffice -env:UserInstallation=file://" + p +
                          "/perfil --headless --norestore --convert-to csv --outdir saida "
                          "itens.xlsx >/dev/null 2>&1";
  std::system(cmd.c_str());  // first start creates the profile: not measured
  using Relogio = std::chrono::steady_clock;
  const auto inicio = Relogio::now();
  for (auto _ : st)
    if (std::system(cmd.c_str()) != 0) st.SkipWithError("soffice falhou");
  const double libreOffice =
      std::chrono::duration<double>(Relogio::now() - inicio).count() / st.iterations();
  std::filesystem::remove_all(pasta);
  // Our import of the same file, timed here too: the goal is a ratio within one run.
  double nosso = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto t0 = Relogio::now();
    Importa(planilha::Formato::Xlsx);
    nosso = std::min(nosso, std::chrono::duration<double>(Relogio::now() - t0).count());
  }
  st.counters["importacao_ms"] = nosso * 1000;
  st.counters["vezes_mais_rapido"] = libreOffice / nosso;
}

using F = planilha::Formato;
BENCHMARK(BM_Exportar)
    ->Arg(int(F::Xlsx))
    ->Arg(int(F::Ods))
    ->Arg(int(F::Csv))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Importar)
    ->Arg(int(F::Xlsx))
    ->Arg(int(F::Ods))
    ->Arg(int(F::Csv))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicoImportacao)
    ->Arg(int(F::Xlsx))
    ->Arg(int(F::Ods))
    ->Arg(int(F::Csv))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibreOfficeAbreXlsx)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
