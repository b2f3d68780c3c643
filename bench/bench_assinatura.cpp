// Signing the 2,001-page listing PDF (100,000 items, 5.8 MB) with an A1 certificate: the whole
// command (read, qpdf's look at the file, the incremental update, SHA-256 over the byte range,
// the RSA signature, the signed copy written atomically and synced), into tmpfs and to disk, beside
// the floor of SHA-256 alone over the same bytes. The certificate is made at start with openssl.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ListagemBench.h"
#include "signing/AssinaDocumento.h"
#include "signing/CAdES.h"

namespace {

// A folder of this run under `base`, with the listing PDF and an A1 file.
struct Material {
  std::string pasta, pdf, pfx;
  explicit Material(const std::string& base) {
    pasta = base + "/bench_assinatura_" + std::to_string(getpid());
    std::filesystem::create_directories(pasta);
    pdf = pasta + "/listagem.pdf";
    pfx = pasta + "/a1.pfx";
    bench::Compoe(bench::Tabela(100000), [&](report::TRDprint& rd) { rd.GravaPDF(pdf); });
    const std::string cmd =
        "cd '" + pasta +
        "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem "
        "-days 30 -subj '/CN=BENCH:12345678909' >/dev/null 2>&1 && openssl pkcs12 -export "
        "-inkey k.pem -in c.pem -out a1.pfx -passout pass:bench >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) std::abort();
  }
  ~Material() { std::filesystem::remove_all(pasta); }
};

const signing::Assinante& A1(const Material& m) {
  static signing::Assinante a;
  static bool carregado = false;
  if (!carregado) {
    signing::ErroAssinatura e;
    carregado = signing::CarregaA1(m.pfx, "bench", a, e);
  }
  return a;
}

// The whole signing of the listing, the signed copy in `base`.
void BM_AssinaPDF(benchmark::State& state, const std::string& base) {
  Material m(base);
  const signing::Assinante& a = A1(m);
  for (auto _ : state) {
    signing::ErroAssinatura e;
    if (!signing::AssinaDocumento(a, m.pdf, e)) state.SkipWithError(e.mensagem.c_str());
  }
  state.counters["arquivo_MB"] = double(std::filesystem::file_size(m.pdf)) / 1048576.0;
  state.SetBytesProcessed(int64_t(std::filesystem::file_size(m.pdf)) * state.iterations());
}

// The floor: SHA-256 over the same bytes, already in memory.
void BM_Sha256Piso(benchmark::State& state) {
  Material m("/dev/shm");
  std::ifstream f(m.pdf, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  const std::string bytes = s.str();
  for (auto _ : state) {
    signing::ResumoSha256 r;
    r.Acrescenta(bytes);
    benchmark::DoNotOptimize(r.Final());
  }
  state.SetBytesProcessed(int64_t(bytes.size()) * state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(BM_AssinaPDF, tmpfs, std::string("/dev/shm"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AssinaPDF, disco, std::filesystem::current_path().string())
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sha256Piso)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
