// The preview window on the 100,000-item listing (2,001 pages): opening it up to the first page
// painted, turning a page (drawn and painted), and the find command for a text on the last page
// (the search over the whole store, the page drawn and scrolled to the match), plus the list of
// every match. Memory: the resident size the page store adds, and what an open preview adds on top.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <fstream>
#include <functional>

#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDpreview.h"
#include "report/forms/RDprocura.h"

namespace {

report::TRDprint* relatorio = nullptr;  // the listing, open while the benchmarks run
double memoriaLoja = 0;                 // MB the page store added

// The resident size of the process now, in MB.
double MemoriaMB() {
  std::ifstream statm("/proc/self/statm");
  long paginas = 0, residentes = 0;
  statm >> paginas >> residentes;
  return residentes * (sysconf(_SC_PAGESIZE) / 1048576.0);
}

// A table of n items in lots of 50, with names, brands, quantities and prices.
void GeraTabela(app::TTabelaItens& t, int n) {
  t.Reinicia();
  for (int i = 1; i <= n; ++i) {
    app::Item item;
    item.ordem = i;
    item.lote = std::to_string((i - 1) / 50 + 1);
    while (item.lote.size() < 4) item.lote.insert(0, "0");
    item.nome = "Produto de teste n\xFAmero " + std::to_string(i);
    item.marca = i % 3 ? "Marca " + std::to_string(i % 97) : "";
    item.quantidade = 1 + i % 250 + (i % 4) * 0.25;
    item.valor = (i % 10000) / 100.0 + 0.1234;
    t.CarregaLinha(item);
  }
  t.FimCarga();
}

// Windows whose preview runs the benchmarks while the composed listing is open.
class JanelasBench : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override { noPreview(rd); }
};

// A preview of the listing, shown at the size of a common screen, exposed and painted.
std::unique_ptr<report::forms::TDFMPreview> Abre() {
  auto w = std::make_unique<report::forms::TDFMPreview>(*relatorio);
  w->Configura();
  w->setWindowState(Qt::WindowNoState);
  w->resize(1366, 728);
  w->show();
  for (int i = 0; i < 100 && !(w->windowHandle() && w->windowHandle()->isExposed()); ++i)
    QCoreApplication::processEvents();
  w->VISOR->repaint();
  return w;
}

// Opening: the window created, laid out, page 1 drawn and painted.
void BM_AbrePreview(benchmark::State& state) {
  static double aberta = -1;  // what the first preview of the program added
  if (aberta < 0) {
    const double antes = MemoriaMB();
    auto w = Abre();
    aberta = MemoriaMB() - antes;
  }
  for (auto _ : state) {
    auto w = Abre();
    state.PauseTiming();
    w.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["loja_MB"] = memoriaLoja;
  state.counters["preview_MB"] = aberta;
  state.counters["paginas"] = relatorio->TotalPaginas();
}
BENCHMARK(BM_AbrePreview)->Unit(benchmark::kMillisecond);

// A page turn: the next page drawn and painted (back to page 1 after the last).
void BM_ProximaPagina(benchmark::State& state) {
  auto w = Abre();
  for (auto _ : state) {
    if (w->Pagina == w->QtdPaginas) w->btPRIMEIRAClick();
    w->btPROXIMAClick();
    w->VISOR->repaint();
  }
}
BENCHMARK(BM_ProximaPagina)->Unit(benchmark::kMillisecond);

// The find command from the first entry for a text on the last page, with the page painted.
void BM_ProcuraUltimaPagina(benchmark::State& state) {
  auto w = Abre();
  // Only the grand total on the last page has it ("Vr. Total:" of every head has no blank).
  w->FindDialog1->edTexto->setText(QStringLiteral("total: "));
  for (auto _ : state) {
    report::forms::EstadoPreview().posicaoBusca = 0;
    w->FindDialog1Find();
    w->VISOR->repaint();
  }
  state.counters["pagina"] = w->Pagina;
  state.counters["exposta"] = w->windowHandle() && w->windowHandle()->isExposed();
  state.counters["entradas"] = static_cast<double>(report::EstadoRelatorio().paginas->Quantidade());
}
BENCHMARK(BM_ProcuraUltimaPagina)->Unit(benchmark::kMillisecond);

// The list of every match of a text found once per page.
void BM_ListaOcorrencias(benchmark::State& state) {
  size_t n = 0;
  for (auto _ : state) n = report::ListaOcorrencias(false, "pagina :").size();
  state.counters["ocorrencias"] = static_cast<double>(n);
}
BENCHMARK(BM_ListaOcorrencias)->Unit(benchmark::kMillisecond);

}  // namespace

// Composes the listing and runs the benchmarks inside its preview.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication aplicacao(argc, argv);
  benchmark::Initialize(&argc, argv);
  report::InstalaMedidorQt();
  app::TTabelaItens tabela;
  GeraTabela(tabela, 100000);
  JanelasBench janelas;
  janelas.noPreview = [](report::TRDprint& rd) {
    relatorio = &rd;
    benchmark::RunSpecifiedBenchmarks();
  };
  report::JanelasInstaladas guarda(janelas);
  report::ReiniciaEstadoRelatorio();
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  rd.PortaComunicacao = "bench";
  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = "2024/0001";
  listagem.Licitante = "Empresa de Teste Ltda";
  listagem.CNPJ = "12345678000195";
  const double antes = MemoriaMB();
  rd.OnBeforeNewPage = [&](report::TRDprint&, int) { memoriaLoja = MemoriaMB() - antes; };
  listagem.BitBtn2Click();
  benchmark::Shutdown();
  return 0;
}
