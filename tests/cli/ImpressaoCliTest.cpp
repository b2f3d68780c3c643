// proposta-cli impressoras and imprimir on a private CUPS server, and the page, copy and order
// options of a printer file: the queues listed with their ports and models, the exact bytes of a
// printed listing, and printing errors that exit 2 with what to do.
#include <gtest/gtest.h>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"
#include "support/ServidorCups.h"

namespace {

// Runs proposta-cli with a fixed date; the private server is reached through CUPS_SERVER.
teste::ResultadoCli RodaCli(const std::vector<std::string>& args) {
  return teste::ExecutaCli(args, "SOURCE_DATE_EPOCH=1700000000 LC_ALL=pt_BR.UTF-8");
}

// A process file of 100 priced items in three lots: a listing of three pages.
std::string Processo() {
  std::string s =
      "<processo label=\"20240015\" descricao=\"Preg\xE3o de teste\" totalitens=\"100\">\r\n"
      "<produtos>\r\n";
  for (int i = 1; i <= 100; ++i) {
    const std::string n = std::to_string(i);
    s += "<produto>\r\n <ordem>" + n + "</ordem>\r\n <codigo>" + std::to_string(1000 + i) +
         "</codigo>\r\n <nome>Produto " + n + "</nome>\r\n <descricao>Item " + n +
         "</descricao>\r\n <marca>Marca</marca>\r\n <quantidade>" + n +
         "</quantidade>\r\n <valor>" + n + ",5</valor>\r\n <apuracao>1</apuracao>\r\n <lote>" +
         std::to_string(1 + i / 40) + "</lote>\r\n</produto>\r\n";
  }
  return s + "</produtos>\r\n</processo>\r\n";
}

// The Epson document start (6 lines per inch, 66 lines, reset, 10 cpi) and end (initialise).
const std::string kInicioEpson =
    "\x1B\x32\x1B\x43\x42\x1B\x50\x12\x1B\x57\x30\x1B\x35\x1B\x48\x1B\x2D\x30\x12\x1B\x50";
const std::string kFimEpson = "\x1B\x40";

std::vector<std::string> Palavras(const std::string& opcoes) {
  std::vector<std::string> r;
  std::istringstream s(opcoes);
  for (std::string p; s >> p;) r.push_back(p);
  return r;
}

class ImpressaoCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cups.ok()) GTEST_SKIP() << cups.motivo();
    teste::Grava(processo, Processo());
  }
  // The printer file of the listing with these options.
  std::string Prn(const std::string& opcoes, const std::string& modelo = "epson") {
    std::vector<std::string> args = {"listagem",      processo,   "--saida",
                                     pasta / "l.prn", "--modelo", modelo};
    for (const auto& p : Palavras(opcoes)) args.push_back(p);
    auto r = RodaCli(args);
    EXPECT_EQ(r.codigo, 0) << opcoes << ": " << r.saida;
    return teste::Le(pasta / "l.prn");
  }
  teste::ServidorCups cups;
  teste::PastaTemporaria pasta;
  const std::string processo = pasta / "processo.xml";
};

}  // namespace

TEST_F(ImpressaoCli, PrinterFileOptionsSelectCopyAndOrderThePages) {
  std::string p[4];
  for (int k = 1; k <= 3; ++k) {
    const std::string prn = Prn("--paginas " + std::to_string(k));
    ASSERT_EQ(prn.substr(0, kInicioEpson.size()), kInicioEpson);
    ASSERT_EQ(prn.substr(prn.size() - kFimEpson.size()), kFimEpson);
    p[k] = prn.substr(kInicioEpson.size(), prn.size() - kInicioEpson.size() - kFimEpson.size());
    ASSERT_EQ(p[k].back(), '\x0C');
  }
  ASSERT_NE(p[1], p[2]);
  const struct {
    const char* opcoes;
    std::string paginas;
  } casos[] = {
      {"", p[1] + p[2] + p[3]},
      {"--paginas 1-3 --copias 2", p[1] + p[2] + p[3] + p[1] + p[2] + p[3]},
      {"--copias 2 --sem-agrupar", p[1] + p[1] + p[2] + p[2] + p[3] + p[3]},
      {"--copias 2 --inversa", p[3] + p[2] + p[1] + p[3] + p[2] + p[1]},
      {"--par-impar impares", p[1] + p[3]},
      {"--par-impar pares --paginas 1;2.3", p[2]},
      {"--paginas 3,1 --inversa", p[1] + p[3]},
  };
  for (const auto& c : casos)
    EXPECT_EQ(Prn(c.opcoes), kInicioEpson + c.paginas + kFimEpson) << c.opcoes;
}

TEST_F(ImpressaoCli, ImprimirSendsTheBytesOfThePrinterFileToTheQueue) {
  ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
  ASSERT_EQ(cups.AdicionaFila("balcao", "Bematech MP-4200 TH"), "");
  const struct { const char *fila, *modelo; } filas[] = {{"lx300", "epson"}, {"balcao", "bobina"}};
  const char* opcoes[] = {"--copias 2 --sem-agrupar --inversa --paginas 1,3",
                          "--copias 3 --paginas 2-3 --par-impar pares"};
  for (const auto& f : filas)
    for (const char* o : opcoes) {
      const std::string esperado = Prn(o, f.modelo);
      const std::string antes = cups.Capturado(f.fila);
      std::vector<std::string> args = {"imprimir", processo, "--impressora", f.fila};
      for (const auto& p : Palavras(o)) args.push_back(p);
      auto r = RodaCli(args);
      ASSERT_EQ(r.codigo, 0) << f.fila << " " << o << ": " << r.saida;
      EXPECT_EQ(cups.Capturado(f.fila).substr(antes.size()), esperado) << f.fila << " " << o;
    }
  // A report file prints as it was saved, on the default queue.
  ASSERT_EQ(cups.Executa("lpadmin -d balcao"), 0);
  ASSERT_EQ(RodaCli({"listagem", processo, "--saida", pasta / "l.rdp"}).codigo, 0);
  const std::string antes = cups.Capturado("balcao");
  auto r = RodaCli({"imprimir", pasta / "l.rdp", "--paginas", "2"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_EQ(cups.Capturado("balcao").substr(antes.size()), Prn("--paginas 2", "bobina"));
}

TEST_F(ImpressaoCli, ImpressorasListsEachQueueWithItsPortAndModel) {
  ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
  ASSERT_EQ(cups.AdicionaFila("laser", "HP LaserJet 1020", "parallel:/dev/lp0"), "");
  ASSERT_EQ(cups.Executa("lpadmin -d lx300"), 0);
  auto r = RodaCli({"impressoras"});
  ASSERT_EQ(r.codigo, 0) << r.saida;
  EXPECT_NE(r.saida.find("* lx300 (Epson LX-300+)\n    porta: capture:" + cups.pasta() +
                         "/lx300.prn\n    modelo: Epson - Matriciais e compat\xC3\xADveis "
                         "(--modelo epson)\n"),
            std::string::npos)
      << r.saida;
  EXPECT_NE(r.saida.find("  laser (HP LaserJet 1020)\n    porta: /dev/lp0\n    modelo: "
                         "Gr\xC3\xA1"
                         "fico - Compat\xC3\xADvel com Windows (--modelo grafico)\n"),
            std::string::npos)
      << r.saida;
}

TEST_F(ImpressaoCli, PrintingErrorsExitTwoAndSayWhatToDo) {
  ASSERT_EQ(cups.AdicionaFila("lx300", "Epson LX-300+"), "");
  ASSERT_EQ(cups.AdicionaFila("parada", "Epson FX-2170"), "");
  ASSERT_EQ(cups.AdicionaFila("laser", "HP LaserJet"), "");
  ASSERT_EQ(cups.Executa("cupsdisable parada"), 0);
  const struct {
    std::vector<std::string> args;
    std::string trecho;  // UTF-8
  } casos[] = {
      {{"--impressora", "parada"},
       "Error 1290\n\nA impressora \"parada\" está parada. Inicie-a com: cupsenable parada"},
      {{"--impressora", "nenhuma"},
       "A impressora \"nenhuma\" não foi encontrada. Veja as impressoras com: proposta-cli "
       "impressoras"},
      {{"--impressora", "laser"}, "\"laser\" é gráfica"},
      {{"--impressora", "lx300", "--copias", "abc"}, "Número de cópias inválido: abc"},
      {{"--impressora", "lx300", "--copias", "0"}, "Número de cópias inválido: 0"},
      {{"--impressora", "lx300", "--paginas", "1,a"}, "Páginas inválidas: 1,a"},
      {{"--impressora", "lx300", "--paginas", "7-5"}, "Páginas inválidas: 7-5"},
      {{"--impressora", "lx300", "--par-impar", "algumas"}, "--par-impar inválido: algumas"},
      {{"--impressora", "lx300", "--modelo", "laser"}, "Modelo desconhecido: laser"},
  };
  for (const auto& c : casos) {
    std::vector<std::string> args = {"imprimir", processo};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = RodaCli(args);
    EXPECT_EQ(r.codigo, 2) << c.trecho << ": " << r.saida;
    EXPECT_NE(r.saida.find(c.trecho), std::string::npos) << r.saida;
  }
  EXPECT_EQ(cups.Capturado("lx300"), "");
  EXPECT_EQ(cups.Capturado("parada"), "");
  auto r = RodaCli({"listagem", processo, "--saida", pasta / "l.txt", "--copias", "2"});
  EXPECT_EQ(r.codigo, 2);
  EXPECT_NE(r.saida.find("valem s\xC3\xB3 para a sa\xC3\xAD"
                         "da .prn"),
            std::string::npos)
      << r.saida;
}
