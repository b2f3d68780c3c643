// The report engine on a 100,000-item listing: composing it (commands per second, pages), then
// writing it as text, printer and RDP files (bytes per second), with the process's peak memory.
// Composition is also run on 25,000 and 50,000 items to show that it grows linearly.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"

namespace {

// A table of n items in lots of 50, with names, brands, quantities and prices.
void GeraTabela(app::TTabelaItens& t, int n) {
  t.Reinicia();
  for (int i = 1; i <= n; ++i) {
    app::Item item;
    item.ordem = i;
    item.lote = std::to_string((i - 1) / 50 + 1);
    while (item.lote.size() < 4) item.lote.insert(0, "0");  // lots sort as numbers
    item.nome = "Produto de teste n\xFAmero " + std::to_string(i);
    item.marca = i % 3 ? "Marca " + std::to_string(i % 97) : "";
    item.quantidade = 1 + i % 250 + (i % 4) * 0.25;
    item.valor = (i % 10000) / 100.0 + 0.1234;
    t.CarregaLinha(item);
  }
  t.FimCarga();
}

// Windows whose preview runs a function while the composed report is open.
class JanelasBench : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override {
    if (noPreview) noPreview(rd);
  }
};

double PicoMemoriaMB() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return uso.ru_maxrss / 1024.0;
}

// Composes the listing of `tabela` and calls `noPreview` while it is open.
void Compoe(app::TTabelaItens& tabela, const std::function<void(report::TRDprint&)>& noPreview) {
  JanelasBench janelas;
  janelas.noPreview = noPreview;
  report::JanelasInstaladas guarda(janelas);
  report::ReiniciaEstadoRelatorio();
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  rd.PortaComunicacao = "bench";
  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = "2024/0001";
  listagem.Licitante = "Empresa de Teste Ltda";
  listagem.CNPJ = "12345678000195";
  listagem.BitBtn2Click();
}

app::TTabelaItens& Tabela(int n) {
  static std::map<int, std::unique_ptr<app::TTabelaItens>> tabelas;
  auto& t = tabelas[n];
  if (!t) {
    t = std::make_unique<app::TTabelaItens>();
    GeraTabela(*t, n);
  }
  return *t;
}

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
