// The PDF export on the program's listing, 100,000 items (2,001 pages) and 10,000 items (201
// pages), written to a file in memory (tmpfs, /dev/shm) and on disk, beside two references on the
// same pages: zlib alone compressing the same page contents at the same level on one core (the
// floor), and Qt's QPdfWriter drawing the same texts at the same positions. Memory is the peak
// resident size during the export above what the process held before it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <QFont>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "ListagemBench.h"
#include "app/Listagem.h"
#include "app/TabelaItens.h"
#include "platform/CodePage.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"

namespace {

// The resident size now and its peak since the last reset, in MB (Linux /proc).
double Residente(const char* campo) {
  std::ifstream f("/proc/self/status");
  std::string linha;
  while (std::getline(f, linha))
    if (linha.rfind(campo, 0) == 0) return std::stod(linha.substr(std::strlen(campo))) / 1024.0;
  return 0;
}
void ZeraPico() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The processor time of every thread of the process so far, in seconds.
double CpuDoProcesso() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return uso.ru_utime.tv_sec + uso.ru_stime.tv_sec +
         (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

std::string Le(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Arquivo(const std::string& pasta, const char* nome) {
  return pasta + "/bench_pdf_" + std::to_string(getpid()) + nome;
}

// Exports the listing of n items with GravaPDF into `pasta`.
void BM_GravaPDF(benchmark::State& state, const std::string& pasta) {
  const int n = static_cast<int>(state.range(0));
  const std::string arquivo = Arquivo(pasta, ".pdf");
  double extra = 0, cpu = 0;
  int paginas = 0;
  bench::Compoe(bench::Tabela(n), [&](report::TRDprint& rd) {
    paginas = rd.TotalPaginas();
    for (auto _ : state) {
      ZeraPico();
      const double antes = Residente("VmRSS:");
      const double cpuAntes = CpuDoProcesso();
      if (!rd.GravaPDF(arquivo)) state.SkipWithError("GravaPDF failed");
      cpu += CpuDoProcesso() - cpuAntes;
      extra = std::max(extra, Residente("VmHWM:") - antes);
    }
  });
  const double bytes = static_cast<double>(std::filesystem::file_size(arquivo));
  std::filesystem::remove(arquivo);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["paginas"] = paginas;
  state.counters["arquivo_MB"] = bytes / 1048576.0;
  state.counters["pico_extra_MB"] = extra;
  // Both threads together: what the export costs on one core.
  state.counters["cpu_total_ms"] = cpu * 1000 / static_cast<double>(state.iterations());
}

// The page contents of the listing's PDF, inflated from the file GravaPDF writes.
std::vector<std::string> ConteudosDasPaginas(int n) {
  static std::map<int, std::vector<std::string>> cache;
  auto& paginas = cache[n];
  if (!paginas.empty()) return paginas;
  const std::string arquivo = Arquivo("/dev/shm", ".pdf");
  bench::Compoe(bench::Tabela(n), [&](report::TRDprint& rd) { rd.GravaPDF(arquivo); });
  const std::string pdf = Le(arquivo);
  std::filesystem::remove(arquivo);
  const std::string marca = "/Filter [/FlateDecode]\r\n >>\r\nstream\r\n";
  for (size_t p = pdf.find(marca); p != std::string::npos; p = pdf.find(marca, p + 1)) {
    const size_t inicio = p + marca.size();
    const size_t fim = pdf.find("endstream\r\nendobj", inicio);
    std::string saida(1 << 22, '\0');
    uLongf tamanho = saida.size();
    uncompress(reinterpret_cast<Bytef*>(saida.data()), &tamanho,
               reinterpret_cast<const Bytef*>(pdf.data() + inicio), fim - inicio);
    saida.resize(tamanho);
    paginas.push_back(std::move(saida));
  }
  return paginas;
}

// The floor: zlib alone compressing the same page contents, page by page, on one core.
void BM_ZlibPiso(benchmark::State& state) {
  const std::vector<std::string> paginas = ConteudosDasPaginas(static_cast<int>(state.range(0)));
  z_stream z{};
  deflateInit(&z, Z_DEFAULT_COMPRESSION);
  std::string saida;
  size_t entrada = 0, comprimido = 0;
  for (auto _ : state) {
    entrada = comprimido = 0;
    for (const std::string& p : paginas) {
      deflateReset(&z);
      saida.resize(deflateBound(&z, p.size()));
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(p.data()));
      z.avail_in = static_cast<uInt>(p.size());
      z.next_out = reinterpret_cast<Bytef*>(saida.data());
      z.avail_out = static_cast<uInt>(saida.size());
      deflate(&z, Z_FINISH);
      entrada += p.size();
      comprimido += z.total_out;
      benchmark::DoNotOptimize(saida.data());
    }
  }
  deflateEnd(&z);
  state.counters["paginas"] = static_cast<double>(paginas.size());
  state.counters["conteudo_MB"] = entrada / 1048576.0;
  state.counters["comprimido_MB"] = comprimido / 1048576.0;
}

// Qt's PDF writer drawing the same texts at the same positions (the listing has only texts):
// Courier 10 points stretched to the pitch, on 1035 x 848 point pages.
void BM_QPdfWriter(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string arquivo = Arquivo("/dev/shm", ".qt.pdf");
  bench::Compoe(bench::Tabela(n), [&](report::TRDprint& rd) {
    report::TEstadoRelatorio& e = report::EstadoRelatorio();
    for (auto _ : state) {
      QPdfWriter escritor(QString::fromStdString(arquivo));
      escritor.setResolution(72);
      escritor.setPageSize(QPageSize(QSizeF(1035, 848), QPageSize::Point));
      escritor.setPageMargins(QMarginsF(0, 0, 0, 0));
      QPainter pintor(&escritor);
      QFont fonte("Courier New");
      fonte.setPointSizeF(10);
      fonte.setStretch(120);
      pintor.setFont(fonte);
      int pagina = 1;
      const report::TPaginasRelatorio& p = *e.paginas;
      report::TLeitorComandos leitor(rd);
      for (auto pos = p.Inicio(); pos != p.Fim(); p.Avanca(pos)) {
        const report::TComando* c = leitor.Le(p.Em(pos));
        if (!c) continue;
        const report::TComando& d = *c;
        if (d.Pagina != pagina) {
          escritor.newPage();
          pagina = d.Pagina;
        }
        pintor.drawText(QPointF((d.Coluna - 1) * 7.2 + 28, d.Linha * 12 + 28 - 3),
                        QString::fromStdString(platform::cp1252ToUtf8(d.Texto)));
      }
    }
  });
  state.counters["arquivo_MB"] = std::filesystem::file_size(arquivo) / 1048576.0;
  std::filesystem::remove(arquivo);
}

void BM_GravaPDFMemoria(benchmark::State& state) { BM_GravaPDF(state, "/dev/shm"); }
void BM_GravaPDFDisco(benchmark::State& state) {
  BM_GravaPDF(state, std::filesystem::temp_directory_path().string());
}

BENCHMARK(BM_ZlibPiso)->Arg(100000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravaPDFMemoria)->Arg(100000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GravaPDFDisco)->Arg(100000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPdfWriter)->Arg(100000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Qt's writer needs a GUI application (for its fonts); the offscreen platform needs no display.
int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("SOURCE_DATE_EPOCH", "1700000000", 0);
  QGuiApplication aplicacao(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
