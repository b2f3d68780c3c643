// Raw jobs on a private CUPS server: the bytes arrive unchanged under the report's title, and
// every way a queue can refuse or lose a job gives its error number and what to do, without
// hanging.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/cups/CupsErrors.h"
#include "platform/cups/CupsPrinters.h"
#include "support/ServidorCups.h"

using platform::cups::CupsOptions;
using platform::cups::CupsPrinters;

namespace {

class TrabalhoCups : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cups.ok()) GTEST_SKIP() << cups.motivo();
  }
  // The names of the queue's jobs the server still lists (none: every job has ended).
  std::string Pendentes(const std::string& fila) {
    std::string saida;
    cups.Executa("lpstat -o " + fila, &saida);
    return saida;
  }
  teste::ServidorCups cups;
};

// The name of the queue's last completed job.
std::string NomeDoUltimoTrabalho(const std::string& fila) {
  cups_job_t* jobs = nullptr;
  const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, fila.c_str(), 0, CUPS_WHICHJOBS_COMPLETED);
  std::string nome = n > 0 ? jobs[n - 1].title : "";
  cupsFreeJobs(n, jobs);
  return nome;
}

}  // namespace

TEST_F(TrabalhoCups, TheBytesArriveUnchangedUnderTheTitle) {
  ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
  std::string todos;
  for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
  CupsPrinters p;
  platform::SinkError erro;
  auto job = p.startRawJob("lx300", "Relat\xF3rio de itens", erro);
  ASSERT_TRUE(job) << erro.text;
  EXPECT_TRUE(job->startPage());
  EXPECT_TRUE(job->write(todos));
  EXPECT_TRUE(job->write(""));
  EXPECT_TRUE(job->write("\x1B@fim\x0C"));
  EXPECT_TRUE(job->endPage());
  EXPECT_TRUE(job->finish()) << job->error().text;
  EXPECT_EQ(cups.Capturado("lx300"), todos + "\x1B@fim\x0C");
  EXPECT_EQ(NomeDoUltimoTrabalho("lx300"), "Relat\xC3\xB3rio de itens");
  EXPECT_FALSE(job->write("depois"));  // a finished job takes nothing more
}

TEST_F(TrabalhoCups, AJobAbandonedBeforeItsEndIsCancelled) {
  ASSERT_EQ(cups.AdicionaFila("lx300", ""), "");
  CupsPrinters p;
  platform::SinkError erro;
  {
    auto job = p.startRawJob("lx300", "abandonado", erro);
    ASSERT_TRUE(job);
    ASSERT_TRUE(job->write("meia pagina"));
  }
  EXPECT_EQ(Pendentes("lx300"), "");
  EXPECT_EQ(cups.Capturado("lx300"), "");
}

TEST_F(TrabalhoCups, QueuesThatRefuseAJobSayWhatToDo) {
  ASSERT_EQ(cups.AdicionaFila("parada", ""), "");
  ASSERT_EQ(cups.Executa("cupsdisable -r 'sem papel' parada"), 0);
  ASSERT_EQ(cups.AdicionaFila("recusa", ""), "");
  ASSERT_EQ(cups.Executa("cupsreject recusa"), 0);
  const struct {
    const char* fila;
    int codigo;
    std::vector<std::string> trechos;  // UTF-8
  } casos[] = {
      {"nenhuma",
       0x0406,
       {"A impressora \"nenhuma\" não existe", "A impressora ou classe não existe."}},
      {"parada", 0x050A, {"está parada. Inicie-a com: cupsenable parada", "\rsem papel"}},
      {"recusa", 0x0506, {"Libere-a com: cupsaccept recusa", "não está aceitando trabalhos"}},
  };
  CupsPrinters p;
  for (const auto& c : casos) {
    platform::SinkError erro;
    EXPECT_FALSE(p.startRawJob(c.fila, "x", erro)) << c.fila;
    EXPECT_EQ(erro.code, c.codigo) << c.fila;
    for (const auto& t : c.trechos)
      EXPECT_NE(erro.text.find(platform::utf8ToCp1252(t)), std::string::npos)
          << c.fila << ": " << platform::cp1252ToUtf8(erro.text);
  }
  EXPECT_EQ(Pendentes("parada"), "");
}

TEST_F(TrabalhoCups, AJobTheQueueCannotPrintFailsWithoutHanging) {
  ASSERT_EQ(cups.AdicionaFila("aborta", "", "falha:/x", "-o printer-error-policy=abort-job"), "");
  ASSERT_EQ(cups.AdicionaFila("para", "", "falha:/x", "-o printer-error-policy=stop-printer"), "");
  ASSERT_EQ(cups.AdicionaFila("retem", "", "falha:/x"), "");  // the default policy holds the job
  ASSERT_EQ(cups.AdicionaFila("lenta", "", "lento:" + cups.pasta() + "/lenta.prn"), "");
  const struct {
    const char* fila;
    int codigo;
    const char* trecho;  // UTF-8
    bool fica;           // the job stays in the queue
  } casos[] = {
      {"aborta", platform::cups::kJobAborted, "interrompeu o trabalho", false},
      {"para", platform::cups::kPrinterStopped, "cupsenable para\rimpressora desligada", false},
      {"retem", platform::cups::kJobHeld, "ficou retido na fila \"retem\"", false},
      {"lenta", platform::cups::kJobTimeout, "em 1 s de espera; ele continua na fila", true},
  };
  CupsOptions opcoes;
  opcoes.jobTimeout = std::chrono::milliseconds(1000);
  int esperas = 0;
  opcoes.whileWaiting = [&] { ++esperas; };
  CupsPrinters p(opcoes);
  for (const auto& c : casos) {
    platform::SinkError erro;
    auto job = p.startRawJob(c.fila, "x", erro);
    ASSERT_TRUE(job) << c.fila << ": " << erro.text;
    ASSERT_TRUE(job->write("dados"));
    EXPECT_FALSE(job->finish()) << c.fila;
    EXPECT_EQ(job->error().code, c.codigo) << c.fila;
    EXPECT_NE(job->error().text.find(platform::utf8ToCp1252(c.trecho)), std::string::npos)
        << c.fila << ": " << platform::cp1252ToUtf8(job->error().text);
    job.reset();
    EXPECT_EQ(Pendentes(c.fila).empty(), !c.fica) << c.fila << ": " << Pendentes(c.fila);
  }
  EXPECT_GT(esperas, 0);
}
