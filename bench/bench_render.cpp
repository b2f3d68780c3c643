// The page renderer on the 100,000-item listing (2,001 pages): DesenhaPagina of a full page into
// the recorded picture, its replay into a 1380 x 1130 image (the preview at 100 %), and both
// together, which is what a page turn costs; the first page drawn and replayed with cold font
// caches is the "first_ms" counter. The preview's goals: first paint under 100 ms, a page turn
// under 16 ms.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <functional>

#include "ListagemBench.h"
#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDdesenho.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDpintura.h"

namespace {

// The preview's image of a picture at 100 %.
void Reproduz(const report::TMetafile& m, QImage& img) {
  img.fill(Qt::white);
  QPainter p(&img);
  report::DesenhaMetafile(p, m, QRectF(0, 0, img.width(), img.height()));
}

// Draws and replays page 1 cold, then runs `passo(rd, pagina, figura, imagem)` over pages
// 1000..2000 of the listing.
void MedePaginas(
    benchmark::State& state,
    const std::function<void(report::TRDprint&, int, report::TMetafile&, QImage&)>& passo) {
  bench::Compoe(bench::Tabela(100000), [&](report::TRDprint& rd) {
    report::TMetafile figura;
    QImage imagem(1380, 1130, QImage::Format_RGB32);
    QElapsedTimer primeira;
    primeira.start();
    report::DesenhaPagina(rd, 1, figura, true);
    Reproduz(figura, imagem);
    state.counters["first_ms"] = primeira.nsecsElapsed() / 1e6;
    int pagina = 1000;
    size_t operacoes = 0;
    for (auto _ : state) {
      passo(rd, pagina, figura, imagem);
      operacoes = figura.Operacoes.size();
      pagina = pagina < 2000 ? pagina + 1 : 1000;
    }
    state.counters["operacoes"] = static_cast<double>(operacoes);
  });
}

void BM_DesenhaPagina(benchmark::State& state) {
  MedePaginas(state, [](report::TRDprint& rd, int p, report::TMetafile& f, QImage&) {
    report::DesenhaPagina(rd, p, f, true);
  });
}
void BM_ReproduzPagina(benchmark::State& state) {
  // Replays the first page (a full one) again and again.
  MedePaginas(state,
              [](report::TRDprint&, int, report::TMetafile& f, QImage& img) { Reproduz(f, img); });
}
void BM_TrocaDePagina(benchmark::State& state) {
  MedePaginas(state, [](report::TRDprint& rd, int p, report::TMetafile& f, QImage& img) {
    report::DesenhaPagina(rd, p, f, true);
    Reproduz(f, img);
  });
}
BENCHMARK(BM_DesenhaPagina)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReproduzPagina)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrocaDePagina)->Unit(benchmark::kMillisecond);

}  // namespace

// Qt's fonts need a GUI application; the offscreen platform serves when there is no display.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication aplicacao(argc, argv);
  report::InstalaMedidorQt();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
