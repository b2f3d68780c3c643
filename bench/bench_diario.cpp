// The recovery journal's cost: a posted row with its record synced to the disk, beside the same
// post in a table that keeps no journal; applying a list of 100,000 changes (a readequação, a
// spreadsheet) through the same road, in 50 lots and in a single lot (whose sums every post
// touches); and opening a 100,000-item process whose journal holds
// 2,000 records to recover, beside opening it with none.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Alteracoes.h"
#include "app/ProcessoArquivo.h"
#include "app/Proposta.h"
#include "platform/Platform.h"

namespace {

// n items in `lotes` lots, without brands or prices.
std::string Processo(int n, int lotes = 50) {
  std::string s = "<processo label=\"20240015\" descricao=\"Preg\xE3o\" totalitens=\"" +
                  std::to_string(n) + "\">\r\n<produtos>\r\n";
  for (int i = 1; i <= n; ++i)
    s += "<produto>\r\n <ordem>" + std::to_string(i) + "</ordem>\r\n <codigo>" +
         std::to_string(1000000 + i) + "</codigo>\r\n <nome>Produto " + std::to_string(i) +
         "</nome>\r\n <descricao>Especifica\xE7\xE3o do item</descricao>\r\n <marca></marca>\r\n"
         " <quantidade>" +
         std::to_string(1 + i % 300) +
         "</quantidade>\r\n <valor></valor>\r\n"
         " <apuracao>1</apuracao>\r\n <lote>" +
         std::to_string(1 + i % lotes) + "</lote>\r\n</produto>\r\n";
  return s + "</produtos>\r\n</processo>\r\n";
}

// A folder of the benchmark with the process file and the data folder.
struct Pasta {
  std::filesystem::path raiz =
      std::filesystem::temp_directory_path() / ("bench-diario-" + std::to_string(::getpid()));
  std::string processo = (raiz / "pregao.xml").string();
  explicit Pasta(int itens, int lotes = 50) {
    std::filesystem::create_directories(raiz);
    std::ofstream(processo, std::ios::binary) << Processo(itens, lotes);
    ::setenv("XDG_DATA_HOME", (raiz / "dados").c_str(), 1);
  }
  ~Pasta() { std::filesystem::remove_all(raiz); }
};

// Answers every question with Yes and shows nothing.
struct Silenciosa : platform::HeadlessPlatform {
  void showMessage(const std::string&) override {}
  int messageBox(const std::string&, const std::string&, int) override {
    return platform::mb::IDYES;
  }
};

// Types a brand and a price into the row at 0-based `linha` of t and posts it.
void Digita(app::TTabelaItens& t, int linha, int i) {
  t.IrParaLinha(linha + 1);
  t.Edita();
  t.AtribuiTexto(app::Campo::marca, "Marca " + std::to_string(i % 97));
  t.AtribuiDouble(app::Campo::valor, 1.25 + i % 1000);
  t.Grava();
}

void BM_PostSemDiario(benchmark::State& st) {
  Pasta pasta(1000);
  app::TTabelaItens t;
  app::LerProcesso(pasta.processo, t);
  int i = 0;
  for (auto _ : st) {
    Digita(t, i % 1000, i);
    ++i;
  }
}
BENCHMARK(BM_PostSemDiario);

void BM_PostComDiario(benchmark::State& st) {
  Pasta pasta(1000);
  Silenciosa tela;
  platform::ScopedPlatform usa(tela);
  app::TProposta p;
  p.AbrirProcesso(pasta.processo);
  int i = 0;
  for (auto _ : st) {
    Digita(p.ClientDataSet1, i % 1000, i);
    ++i;
  }
  st.counters["falha"] = p.Recuperacao().UltimaFalha();
}
BENCHMARK(BM_PostComDiario);

// A new price for every item of a range(0)-item process in range(1) lots, applied as one list;
// each round alternates two prices, so every row changes.
void BM_AplicaAlteracoes(benchmark::State& st) {
  const int itens = static_cast<int>(st.range(0));
  Pasta pasta(itens, static_cast<int>(st.range(1)));
  Silenciosa tela;
  platform::ScopedPlatform usa(tela);
  app::TProposta p;
  p.AbrirProcesso(pasta.processo);
  app::LoteAlteracoes lote;
  for (int i = 0; i < itens; ++i) {
    const app::LinhaItem& it = p.ClientDataSet1.Linha(i);
    app::AlteracaoItem a;
    a.linhaTabela = i + 1;
    a.ordem = std::to_string(it.ordem.value_or(0));
    a.codigo = std::string(it.codigo);
    a.situacao = app::SituacaoAlteracao::Alterada;
    lote.itens.push_back(std::move(a));
  }
  int volta = 0;
  for (auto _ : st) {
    st.PauseTiming();
    for (int i = 0; i < itens; ++i)
      lote.itens[static_cast<size_t>(i)].valorDepois = 12500 + (i % 1000) * 100 + volta % 2;
    ++volta;
    st.ResumeTiming();
    benchmark::DoNotOptimize(app::AplicaAlteracoes(p, lote).linhas.size());
  }
  st.counters["falha"] = p.Recuperacao().UltimaFalha();
  st.counters["itens/s"] = benchmark::Counter(itens, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AplicaAlteracoes)
    ->Args({1000, 50})
    ->Args({100000, 50})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// Opening 100,000 items; with range(0) records left by a run that ended without writing.
void BM_AbreERecupera(benchmark::State& st) {
  Pasta pasta(100000);
  Silenciosa tela;
  platform::ScopedPlatform usa(tela);
  const int registros = static_cast<int>(st.range(0));
  std::string diario;
  {
    app::TProposta p;
    p.AbrirProcesso(pasta.processo);
    for (int i = 0; i < registros; ++i) Digita(p.ClientDataSet1, (i * 37) % 100000, i);
    diario = p.Recuperacao().CaminhoDiario();
  }
  std::string bytes;
  if (registros) {
    std::ifstream f(diario, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), {});
  }
  for (auto _ : st) {
    st.PauseTiming();
    if (registros) std::ofstream(diario, std::ios::binary) << bytes;
    st.ResumeTiming();
    app::TProposta p;
    p.AbrirProcesso(pasta.processo);
    benchmark::DoNotOptimize(p.TemAlteracoes());
  }
}
BENCHMARK(BM_AbreERecupera)->Arg(0)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
