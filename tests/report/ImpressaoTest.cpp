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

TEST_F(TrabalhoImpressao, CopiesCollationOrderAndSelection) {
  const struct {
    int paginas, copias;
    bool agrupar, inversa;
    const char* intervalo;
    int parImpar;
    V esperado;
  } casos[] = {
      {3, 2, true, false, "", 0, {"1", "2", "3", "1", "2", "3"}},
      {3, 2, false, false, "", 0, {"1", "1", "2", "2", "3", "3"}},
      {3, 2, true, true, "", 0, {"3", "2", "1", "3", "2", "1"}},
      {3, 2, false, true, "", 0, {"3", "3", "2", "2", "1", "1"}},
      {5, 1, true, false, "9", 0, {}},
      {5, 1, true, false, "1-4", 1, {"1", "3"}},
      {5, 1, true, false, "1-4", 2, {"2", "4"}},
      {5, 1, true, false, "", 2, {"2", "4"}},
      {5, 1, true, false, "4,2,2", 0, {"4", "2", "2"}},
      {5, 0, true, false, "", 0, {}},
  };
  for (const auto& c : casos) {
    ReiniciaEstadoRelatorio();
    janelas.grafica.registro.clear();
    Compoe(c.paginas);
    TEstadoRelatorio& e = EstadoRelatorio();
    e.Copias = c.copias;
    e.Agrupar = c.agrupar;
    e.OrdemInversa = c.inversa;
    e.IntervaloPaginas = c.intervalo;
    e.ParImpar = c.parImpar;
    rd->ImprimeRelatorio("");
    EXPECT_EQ(Paginas(), c.esperado)
        << c.copias << c.agrupar << c.inversa << c.intervalo << c.parImpar;
    rd->Abortar();
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
