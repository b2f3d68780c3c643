// The print job: page list, passes, copies, collation, order, odd/even pages, cancel and events.
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

class TrabalhoImpressao : public RelatorioTeste {
 protected:
  // Opens a graphic report with one command on each of `paginas` pages.
  void Compoe(int paginas) {
    rd->Impressora = TModelo::Grafico;
    ASSERT_TRUE(rd->Abrir());
    for (int p = 1; p <= paginas; ++p) {
      if (p > 1) rd->NovaPagina();
      rd->ImpF(1, 1, "p", normal, clBlack);
    }
  }
  // The pages the graphic printer received, in order.
  std::vector<std::string> Paginas() const {
    std::vector<std::string> r;
    for (const auto& s : janelas.grafica.registro)
      if (s != "I" && s != "N" && s != "F") r.push_back(s);
    return r;
  }
};

using V = std::vector<std::string>;

}  // namespace

TEST(PlanoImpressao, PagesPassesAndCopiesFollowTheSettings) {
  using P = std::vector<int>;
  const struct {
    int total, copias;
    bool agrupar, inversa;
    const char* intervalo;
    int parImpar;
    P paginas;
    int passes, copiasPorPagina, passos;
  } casos[] = {
      {3, 2, true, false, "", 0, {1, 2, 3}, 2, 1, 6},
      {3, 2, false, false, "", 0, {1, 2, 3}, 1, 2, 6},
      {3, 2, true, true, "", 0, {3, 2, 1}, 2, 1, 6},
      {3, 2, false, true, "", 0, {3, 2, 1}, 1, 2, 6},
      {5, 1, true, false, "9", 0, {}, 1, 1, 1},  // a page beyond the report still counts a step
      {5, 1, true, false, "1-4", 1, {1, 3}, 1, 1, 4},
      {5, 1, true, false, "1-4", 2, {2, 4}, 1, 1, 4},
      {5, 1, true, false, "", 2, {2, 4}, 1, 1, 5},
      {5, 1, true, true, "4,2,2,7", 0, {2, 2, 4}, 1, 1, 4},
      {5, 0, true, false, "", 0, {1, 2, 3, 4, 5}, 0, 1, 0},
      {5, -1, false, false, "", 0, {1, 2, 3, 4, 5}, 1, -1, 0},
      {1, 1, true, false, "", 0, {1}, 1, 1, 1},
  };
  for (const auto& c : casos) {
    TAjustesImpressao a;
    a.Copias = c.copias;
    a.Agrupar = c.agrupar;
    a.OrdemInversa = c.inversa;
    a.IntervaloPaginas = c.intervalo;
    a.ParImpar = c.parImpar;
    const TPlanoImpressao plano = PaginasAImprimir(a, c.total);
    const std::string caso = std::to_string(c.copias) + (c.agrupar ? " agrupa" : "") +
                             (c.inversa ? " inversa " : " ") + c.intervalo + " " +
                             std::to_string(c.parImpar);
    EXPECT_EQ(plano.paginas, c.paginas) << caso;
    EXPECT_EQ(plano.passes, c.passes) << caso;
    EXPECT_EQ(plano.copiasPorPagina, c.copiasPorPagina) << caso;
    EXPECT_EQ(plano.passosProgresso, c.passos) << caso;
  }
}

TEST_F(TrabalhoImpressao, ThePlanIsPrintedPassByPass) {
  const struct {
    bool agrupar;
    V esperado;
  } casos[] = {
      {true, {"1", "2", "1", "2"}},
      {false, {"1", "1", "2", "2"}},
  };
  for (const auto& c : casos) {
    ReiniciaEstadoRelatorio();
    janelas.grafica.registro.clear();
    Compoe(2);
    EstadoRelatorio().Copias = 2;
    EstadoRelatorio().Agrupar = c.agrupar;
    EXPECT_TRUE(rd->ImprimeRelatorio(""));
    EXPECT_EQ(Paginas(), c.esperado) << c.agrupar;
    rd->Abortar();
  }
}

TEST_F(RelatorioTeste, APrinterThatFailsOnPageOneIsNotFedTheOtherPages) {
  const struct {
    const char* caso;
    bool spooler;
    const char* porta;
    std::vector<std::string> caixas, erros;
  } casos[] = {
      {"spooler", true, "nenhuma", {"Error 5\r\rfalha no trabalho"}, {}},
      {"dispositivo cheio", false, "/dev/full", {}, {"Erro #03 - I/O 28 /dev/full"}},
  };
  for (const auto& c : casos) {
    ReiniciaEstadoRelatorio();
    TRDprint r;
    r.PortaComunicacao = c.porta;
    r.UsaGerenciadorImpr = c.spooler;
    r.Impressora = TModelo::Bobina;  // no start sequence: page 1 carries the first bytes
    ASSERT_TRUE(r.Abrir());
    for (int p = 1; p <= 4; ++p) {
      if (p > 1) r.NovaPagina();
      r.ImpF(1, 1, "pagina", normal, clBlack);
    }
    std::vector<std::string> erros;
    r.OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
    plataforma.caixas.clear();
    plataforma.trabalhoFalhaAoEscrever = true;
    janelas.passosDados = 0;
    EXPECT_FALSE(r.ImprimeRelatorio("")) << c.caso;
    EXPECT_EQ(janelas.passosDados, 1) << c.caso;  // the job stopped after page 1
    std::vector<std::string> caixas;
    for (const auto& x : plataforma.caixas) caixas.push_back(x.texto);
    EXPECT_EQ(caixas, c.caixas) << c.caso;
    EXPECT_EQ(erros, c.erros) << c.caso;
  }
}

TEST_F(TrabalhoImpressao, EveryPageAfterTheFirstStartsANewPrinterPage) {
  Compoe(3);
  janelas.grafica.registro.clear();
  rd->ImprimeRelatorio("");
  EXPECT_EQ(janelas.grafica.registro, (V{"I", "1", "N", "2", "N", "3", "F"}));
  ASSERT_EQ(janelas.progressos.size(), 1u);
  EXPECT_EQ(janelas.progressos[0].caption, "Imprimindo...");
  EXPECT_EQ(janelas.progressos[0].rotulo, "Gerado por RDprint");
  EXPECT_EQ(janelas.progressos[0].maximo, 3);
  EXPECT_EQ(janelas.progressosFechados, 1);
}

TEST_F(TrabalhoImpressao, ACancelRequestStopsTheJobAndTakesItBack) {
  Compoe(5);
  int depois = 0;
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  janelas.cancelaNoPasso = 2;
  janelas.grafica.registro.clear();
  EXPECT_FALSE(rd->ImprimeRelatorio(""));
  EXPECT_EQ(janelas.grafica.registro, (V{"I", "1", "N", "2", "A"}));
  EXPECT_EQ(depois, 1);
  EXPECT_EQ(janelas.progressosFechados, 1);
  EXPECT_EQ(plataforma.mensagens,
            std::vector<std::string>{"Impress\xE3o cancelada: 2 p\xE1ginas tinham sido enviadas; "
                                     "o trabalho foi retirado da fila de impress\xE3o."});
}

TEST_F(TrabalhoImpressao, OnBeforePrintCanSkipTheJob) {
  Compoe(2);
  int depois = 0;
  rd->OnBeforePrint = [](TRDprint&, bool& continuar) { continuar = false; };
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  janelas.grafica.registro.clear();
  rd->ImprimeRelatorio("");
  EXPECT_TRUE(janelas.grafica.registro.empty());
  EXPECT_EQ(depois, 0);
  EXPECT_TRUE(janelas.progressos.empty());
}

TEST_F(TrabalhoImpressao, TheLastStartedPageWithoutCommandsIsNotPrinted) {
  Compoe(2);
  rd->NovaPagina();
  janelas.grafica.registro.clear();
  rd->MostrarProgresso = false;
  rd->ImprimeRelatorio("");
  EXPECT_EQ(Paginas(), (V{"1", "2"}));
  EXPECT_TRUE(janelas.progressos.empty());
}

TEST_F(TrabalhoImpressao, WithoutAGraphicPrinterNothingStarts) {
  Compoe(1);
  janelas.temGrafica = false;
  int depois = 0;
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  rd->ImprimeRelatorio("");
  EXPECT_EQ(depois, 0);
  ASSERT_EQ(plataforma.caixas.size(), 1u);
  EXPECT_EQ(plataforma.caixas[0].estilo, platform::mb::OK | platform::mb::ICONHAND);
}

TEST_F(TrabalhoImpressao, AFailedDocumentStartPrintsNothing) {
  Compoe(1);
  janelas.grafica.aceita = false;
  int depois = 0;
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  rd->ImprimeRelatorio("");
  EXPECT_EQ(janelas.grafica.registro, V{"I"});
  EXPECT_EQ(depois, 0);
  EXPECT_TRUE(janelas.progressos.empty());
}

TEST_F(TrabalhoImpressao, AnErrorInAPageAbandonsTheDocumentBeforeItReachesTheCaller) {
  Compoe(3);
  janelas.grafica.falhaNaPagina = 2;
  EXPECT_THROW(rd->ImprimeRelatorio(""), base::EConvertError);
  EXPECT_EQ(janelas.grafica.registro, (V{"I", "1", "N", "A"}));
  EXPECT_EQ(janelas.progressosFechados, 1);
}

TEST_F(TrabalhoImpressao, FecharWithoutPreviewPrintsAtOnce) {
  Compoe(2);
  janelas.grafica.registro.clear();
  ASSERT_TRUE(rd->Fechar());
  EXPECT_EQ(Paginas(), (V{"1", "2"}));
  EXPECT_FALSE(EstadoRelatorio().paginas);
}

TEST_F(TrabalhoImpressao, FecharKeepsNothingWhenAHandlerAbandonsTheReport) {
  Compoe(1);
  rd->OpcoesPreview.Preview = true;
  janelas.aoPreview = [](TRDprint& r) { r.Abortar(); };
  EXPECT_TRUE(rd->Fechar());
  EXPECT_FALSE(EstadoRelatorio().aberto);
  EXPECT_FALSE(EstadoRelatorio().previewAberto);
}
