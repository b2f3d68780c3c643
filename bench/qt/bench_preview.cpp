// The preview window on the 100,000-item listing (2,001 pages): opening it up to the first page
// painted, turning a page (drawn and painted), and the find command for a text on the last page
// (the search over the whole store, the page drawn and scrolled to the match), plus the list of
// every match; the preview's save command writing HTML and PDF with the progress window on
// screen, beside the same writers with no window (as proposta-cli runs them). Memory: the
// resident size the page store adds, and what an open preview adds on top.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "ListagemBench.h"
#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDjanelasQt.h"
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

// A platform whose save dialog answers at once (type and name), pumping Qt's events as the
// program's platform does.
class PlataformaSalvar : public platform::HeadlessPlatform {
 public:
  std::string nome;
  int tipo = 0;
  std::optional<std::string> chooseFileToSave(platform::FileDialogOptions& o) override {
    o.type = tipo;
    return nome;
  }
  void processMessages() override { QCoreApplication::processEvents(); }
};

const char* const kTipos[] = {"html", "pdf"};  // the save dialog's first two types

// The preview's save command (Ctrl+S) writing the whole listing, the progress window shown.
void BM_SalvaDaJanela(benchmark::State& state) {
  PlataformaSalvar plataforma;
  platform::ScopedPlatform guarda(plataforma);
  report::forms::TJanelasQt janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  plataforma.tipo = static_cast<int>(state.range(0));
  plataforma.nome = "/tmp/bench-preview-salvar";
  auto w = Abre();
  for (auto _ : state) w->btSALVARClick();
  state.SetLabel(kTipos[state.range(0)]);
}
BENCHMARK(BM_SalvaDaJanela)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same writers with no window, as the command line runs them.
void BM_SalvaSemJanela(benchmark::State& state) {
  const std::string arquivo = std::string("/tmp/bench-preview-salvar.") + kTipos[state.range(0)];
  for (auto _ : state) {
    if (state.range(0) == 0)
      relatorio->GravaHTML(arquivo);
    else
      relatorio->GravaPDF(arquivo);
  }
  state.SetLabel(kTipos[state.range(0)]);
}
BENCHMARK(BM_SalvaSemJanela)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

// Composes the listing and runs the benchmarks inside its preview.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication aplicacao(argc, argv);
  benchmark::Initialize(&argc, argv);
  report::InstalaMedidorQt();
  double antes = 0;
  bench::Compoe(
      bench::Tabela(100000),
      [](report::TRDprint& rd) {
        relatorio = &rd;
        benchmark::RunSpecifiedBenchmarks();
      },
      [&](report::TRDprint& rd) {
        antes = MemoriaMB();
        rd.OnBeforeNewPage = [&](report::TRDprint&, int) { memoriaLoja = MemoriaMB() - antes; };
      });
  benchmark::Shutdown();
  return 0;
}
