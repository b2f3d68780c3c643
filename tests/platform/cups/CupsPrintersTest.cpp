// The queues of a private CUPS server as the platform sees them: names, ports, descriptions, the
// current printer, and the printer model the names and descriptions map to.
#include <gtest/gtest.h>

#include "app/Listagem.h"
#include "platform/cups/CupsHeadlessPlatform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "support/ServidorCups.h"

using platform::cups::CupsPrinters;

namespace {

class FilasCups : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cups.ok()) GTEST_SKIP() << cups.motivo();
  }
  teste::ServidorCups cups;
};

// The printer of that name, or an empty one.
platform::PrinterInfo Procura(CupsPrinters& p, const std::string& nome) {
  for (const auto& i : p.printers())
    if (i.deviceName == nome) return i;
  return {};
}

}  // namespace

TEST(PortaDaFila, LocalDevicesGiveTheirPathOtherUrisStay) {
  const struct {
    const char *uri, *porta;
  } casos[] = {{"parallel:/dev/lp0", "/dev/lp0"},
               {"serial:/dev/ttyS0?baud=9600+bits=8", "/dev/ttyS0"},
               {"file:/tmp/saida.prn", "/tmp/saida.prn"},
               {"file:///tmp/saida.prn", "/tmp/saida.prn"},
               {"usb://EPSON/LX-300%2B?serial=L0001", "usb://EPSON/LX-300%2B?serial=L0001"},
               {"socket://10.0.0.5:9100", "socket://10.0.0.5:9100"},
               {"serial", "serial"},
               {"", ""}};
  for (const auto& c : casos) EXPECT_EQ(platform::cups::portFromDeviceUri(c.uri), c.porta) << c.uri;
}

TEST_F(FilasCups, QueuesAreListedWithPortDescriptionAndMakeAndModel) {
  ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
  ASSERT_EQ(cups.AdicionaFila("matricial", "Na paralela", "parallel:/dev/lp0"), "");
  ASSERT_EQ(cups.AdicionaFila("balcao", "Bematech", "serial:/dev/ttyS0?baud=9600"), "");
  ASSERT_EQ(cups.AdicionaFila("arquivo", "", "file:///dev/null"), "");
  CupsPrinters p;
  ASSERT_EQ(p.printers().size(), 4u);
  EXPECT_EQ(Procura(p, "lx300").port, "capture:" + cups.pasta() + "/lx300.prn");
  EXPECT_EQ(Procura(p, "lx300").description, "Epson LX-300+");
  EXPECT_EQ(Procura(p, "lx300").makeAndModel, "Local Raw Printer");
  EXPECT_EQ(Procura(p, "matricial").port, "/dev/lp0");
  EXPECT_EQ(Procura(p, "balcao").port, "/dev/ttyS0");
  EXPECT_EQ(Procura(p, "arquivo").port, "/dev/null");
}

TEST_F(FilasCups, TheDefaultIsCurrentUntilThisProcessChoosesAnother) {
  CupsPrinters p;
  EXPECT_FALSE(p.currentPrinter());
  EXPECT_FALSE(p.setCurrentPrinter("lx300"));
  ASSERT_EQ(cups.AdicionaFila("b-fila", ""), "");
  ASSERT_EQ(cups.AdicionaFila("lx300", ""), "");
  EXPECT_EQ(p.currentPrinter()->deviceName, "b-fila");  // no default: the first one
  ASSERT_EQ(cups.Executa("lpadmin -d lx300"), 0);
  EXPECT_EQ(p.currentPrinter()->deviceName, "lx300");
  EXPECT_TRUE(p.setCurrentPrinter("B-FILA"));
  EXPECT_EQ(p.currentPrinter()->deviceName, "b-fila");
  EXPECT_FALSE(p.setCurrentPrinter("nenhuma"));
  EXPECT_EQ(p.currentPrinter()->deviceName, "b-fila");
  std::string padrao;
  cups.Executa("lpstat -d", &padrao);
  EXPECT_NE(padrao.find("lx300"), std::string::npos) << padrao;  // the server keeps its default
  ASSERT_EQ(cups.Executa("lpadmin -x b-fila"), 0);
  EXPECT_EQ(p.currentPrinter()->deviceName, "lx300");  // a removed choice gives the default back
}

TEST_F(FilasCups, TheModelComesFromTheNameOrElseTheDescription) {
  const struct {
    const char *fila, *descricao;
    report::TModelo modelo;
  } casos[] = {{"lx300", "Epson LX-300+", report::TModelo::Epson},
               {"balcao", "Bematech MP-4200 TH", report::TModelo::Bobina},
               {"emilia1", "Epson LX-300", report::TModelo::Rima},
               {"stylus", "Epson Stylus C45", report::TModelo::Grafico},
               {"laser", "HP LaserJet 1020", report::TModelo::Grafico},
               {"sala2", "", report::TModelo::Grafico}};
  for (const auto& c : casos) ASSERT_EQ(cups.AdicionaFila(c.fila, c.descricao), "");
  platform::cups::CupsHeadlessPlatform plataforma;
  platform::ScopedPlatform guarda(plataforma);
  report::ReiniciaEstadoRelatorio();
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  for (const auto& c : casos) {
    rd.Impressora = report::TModelo::Personalizado;
    rd.MapeiaImpressora(c.fila);
    EXPECT_EQ(rd.Impressora, c.modelo) << c.fila;
  }
  // Abrir maps the current printer and takes its port.
  ASSERT_TRUE(plataforma.setCurrentPrinter("balcao"));
  ASSERT_TRUE(rd.Abrir());
  EXPECT_EQ(rd.Impressora, report::TModelo::Bobina);
  EXPECT_EQ(rd.PortaComunicacao, "capture:" + cups.pasta() + "/balcao.prn");
  rd.Abortar();
  report::ReiniciaEstadoRelatorio();
}
