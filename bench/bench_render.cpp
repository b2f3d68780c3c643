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

#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "report/RDdesenho.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDpintura.h"

namespace {

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

// Windows whose preview runs a function while the composed listing is open.
class JanelasBench : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override { noPreview(rd); }
};

// Composes the 100,000-item listing and runs `f` while it is open.
void ComListagem(const std::function<void(report::TRDprint&)>& f) {
  static app::TTabelaItens tabela;
  if (tabela.Vazia()) GeraTabela(tabela, 100000);
  JanelasBench janelas;
  janelas.noPreview = f;
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
  ComListagem([&](report::TRDprint& rd) {
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
