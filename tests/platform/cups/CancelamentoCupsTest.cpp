// A print cancelled from the progress window on a private CUPS server: the job leaves the queue
// with every page it had been sent, and the user is told how many pages had gone out.
#include <gtest/gtest.h>

#include "platform/cups/CupsHeadlessPlatform.h"
#include "report/RelatorioTeste.h"
#include "support/ServidorCups.h"

namespace {

// The CUPS platform, with the messages it shows recorded.
class PlataformaCupsGravada : public platform::cups::CupsHeadlessPlatform {
 public:
  std::vector<std::string> mensagens;
  void showMessage(const std::string& m) override { mensagens.push_back(m); }
};

class CancelamentoCups : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cups.ok()) GTEST_SKIP() << cups.motivo();
    ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
    ASSERT_TRUE(plataforma.setCurrentPrinter("lx300"));
    report::ReiniciaEstadoRelatorio();
  }
  void TearDown() override { report::ReiniciaEstadoRelatorio(); }
  // The jobs the server still lists for the queue.
  std::string Pendentes() {
    std::string saida;
    cups.Executa("lpstat -o lx300", &saida);
    return saida;
  }

  teste::ServidorCups cups;
  PlataformaCupsGravada plataforma;
  platform::ScopedPlatform guarda{plataforma};
  teste::JanelasTeste janelas;
  report::JanelasInstaladas guardaJanelas{janelas};
};

TEST_F(CancelamentoCups, ACancelledPrintTakesItsJobOffTheQueue) {
  const struct {
    int cancelaNoPasso;
    int copias;
    const char* mensagem;
  } casos[] = {
      {2, 1,
       "Impress\xE3o cancelada: 2 p\xE1ginas tinham sido enviadas; o trabalho foi retirado "
       "da fila de impress\xE3o."},
      {1, 50,
       "Impress\xE3o cancelada: 1 p\xE1gina tinha sido enviada; o trabalho foi retirado "
       "da fila de impress\xE3o."},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.cancelaNoPasso);
    plataforma.mensagens.clear();
    janelas.cancelaNoPasso = c.cancelaNoPasso;
    report::TRDprint rd;
    rd.PortaComunicacao = "lx300";
    rd.NumerodeCopias = c.copias;
    ASSERT_TRUE(rd.Abrir());
    rd.Impressora = report::TModelo::Epson;
    rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
    for (int p = 1; p <= 5; ++p) {
      rd.ImpF(1, 1, "Pagina " + std::to_string(p), {report::TAtributo::aNormal10}, 0);
      if (p < 5) rd.NovaPagina();
    }
    EXPECT_FALSE(rd.ImprimeRelatorio(""));
    EXPECT_EQ(plataforma.mensagens, std::vector<std::string>{c.mensagem});
    EXPECT_EQ(Pendentes(), "");
    EXPECT_EQ(cups.Capturado("lx300"), "");
    rd.Abortar();
  }

  // Printed to its end, the job reaches the printer whole.
  janelas.cancelaNoPasso = 0;
  report::TRDprint rd;
  rd.PortaComunicacao = "lx300";
  ASSERT_TRUE(rd.Abrir());
  rd.ImpF(1, 1, "Inteira", {report::TAtributo::aNormal10}, 0);
  EXPECT_TRUE(rd.ImprimeRelatorio(""));
  EXPECT_NE(cups.Capturado("lx300").find("Inteira"), std::string::npos);
  rd.Abortar();
}

}  // namespace
