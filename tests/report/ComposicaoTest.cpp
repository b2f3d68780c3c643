// The component's defaults, the page command layout and the composition operations.
#include <cstdlib>

#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

TEST_F(RelatorioTeste, AFreshComponentPrintsEightyColumnsAtOnceThroughTheSpoolerAsAnEpson) {
  // Nothing set: 66 lines at 6 per inch, 80 columns of 10 cpi, accents in the printer's code
  // page, no preview.
  ASSERT_TRUE(rd->Abrir());
  EXPECT_TRUE(rd->ImpF(1, 80, "|", normal, clBlack));
  EXPECT_FALSE(rd->ImpF(1, 81, "|", normal, clBlack));
  EXPECT_TRUE(rd->ImpF(1, 1, "Relat\xF3rio", normal, clBlack));
  ASSERT_TRUE(rd->Fechar());
  const std::string& bytes = plataforma.bytesImpressos;
  EXPECT_EQ(bytes.substr(0, 5), "\x1B\x32\x1B\x43\x42");
  EXPECT_NE(bytes.find("Relat\xA2rio" + std::string(70, ' ') + "|"), std::string::npos);
  // Ordinals stored in files and settings.
  EXPECT_EQ(static_cast<int>(TModelo::Daruma), 6);
  EXPECT_EQ(static_cast<int>(TSize::S15cpp), 5);
  EXPECT_EQ(static_cast<int>(TStatBut::Invisivel), 2);
}

TEST_F(RelatorioTeste, ImpFStoresTheFixedLayoutCommand) {
  ASSERT_TRUE(rd->Abrir());
  EXPECT_TRUE(rd->ImpF(3, 20, "Produto:", normal, clBlack));
  EXPECT_TRUE(rd->ImpF(1, 1, "azul", normal, 0xFF0000));
  EXPECT_TRUE(rd->ImpF(2, 5, "nenhuma", normal, clNone));
  EXPECT_EQ(Loja(),
            (std::vector<std::string>{"0001001001016T0000FFazul", "0001002005016T000000nenhuma",
                                      "0001003020016T000000Produto:"}));
}

TEST_F(RelatorioTeste, ImpCentralizadoMovesTheColumnLeftByHalfTheText) {
  rd->TamanhoQteColunas = 136;
  ASSERT_TRUE(rd->Abrir());
  const struct {
    int coluna;
    std::string texto;
    const char* esperado;
  } casos[] = {{66, "Listagem de Produto", "057"},
               {66, std::string(136, '='), "001"},
               {10, "abcd", "008"},
               {10, "abc", "009"},
               {10, "a", "010"},
               {10, "ab", "009"}};
  int linha = 1;
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    ASSERT_TRUE(rd->ImpCentralizado(linha, c.coluna, c.texto, normal, clBlack));
    std::vector<std::string> loja = Loja();
    ASSERT_EQ(loja.size(), 1u);
    EXPECT_EQ(loja[0].substr(7, 3), c.esperado) << c.texto;
    EXPECT_EQ(loja[0][13], 'X');
  }
  // A 12-cpi text is narrower: 10 characters of 10/12 cells shift by 4, not 5.
  EstadoRelatorio().paginas->Limpa();
  rd->ImpCentralizado(1, 20, "0123456789", TAtributos{TAtributo::aComprimir12}, clBlack);
  EXPECT_EQ(Loja()[0].substr(7, 3), "016");
}

TEST_F(RelatorioTeste, AttributeNumbersFollowTheDefaultPitch) {
  rd->FonteTamanhoPadrao = TSize::S12cpp;
  ASSERT_TRUE(rd->Abrir());
  const struct {
    TAtributos fonte;
    const char* numero;
  } casos[] = {{TAtributos{TAtributo::aNegrito}, "034"},
               {TAtributos{TAtributo::aItalico, TAtributo::aNormal10}, "017"},
               {TAtributos{}, "032"},
               {TAtributos{TAtributo::aExpandido}, "040"},
               {TAtributos{TAtributo::aSublinhado, TAtributo::aComprimir15}, "260"},
               {TAtributos{TAtributo::aComprimir20, TAtributo::aComprimir17}, "192"}};
  for (const auto& c : casos) {
    EstadoRelatorio().paginas->Limpa();
    rd->ImpF(1, 1, "x", c.fonte, clBlack);
    EXPECT_EQ(Loja().at(0).substr(10, 3), c.numero);
  }
}

TEST_F(RelatorioTeste, BadPositionsGoOnlyToOnErro) {
  rd->TamanhoQteColunas = 136;
  ASSERT_TRUE(rd->Abrir());
  EXPECT_FALSE(rd->ImpF(3, 137, "x", normal, clBlack));
  EXPECT_TRUE(plataforma.caixas.empty());  // without OnErro nothing is reported
  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  EXPECT_FALSE(rd->ImpF(3, 137, "x", normal, clBlack));
  EXPECT_FALSE(rd->ImpF(0, 5, "x", normal, clBlack));
  EXPECT_FALSE(rd->ImpF(1000, 5, "x", normal, clBlack));
  EXPECT_TRUE(rd->ImpF(999, 136, "x", normal, clBlack));  // beyond the page length is stored
  EXPECT_EQ(erros, (std::vector<std::string>{
                       "Erro #09 - (POSI\xC7\xC3O INV\xC1LIDA) Linha 3, Coluna 137",
                       "Erro #09 - (POSI\xC7\xC3O INV\xC1LIDA) Linha 0, Coluna 5",
                       "Erro #09 - (POSI\xC7\xC3O INV\xC1LIDA) Linha 1000, Coluna 5"}));
  EXPECT_EQ(Loja().size(), 1u);
}

TEST_F(RelatorioTeste, EmptyTextsAndSystemColoursStoreNothing) {
  ASSERT_TRUE(rd->Abrir());
  EXPECT_TRUE(rd->ImpF(1, 1, "", normal, clBlack));
  EXPECT_TRUE(rd->ImpF(1, 1, "x", normal, clBtnFace));
  EXPECT_TRUE(Loja().empty());
}

TEST_F(RelatorioTeste, LinesComposedOutOfOrderAreStoredInOrder) {
  ASSERT_TRUE(rd->Abrir());
  rd->ImpF(2, 1, "segunda", normal, clBlack);
  rd->ImpF(1, 1, "primeira", normal, clBlack);
  rd->ImpF(1, 1, "primeira", normal, clBlack);
  EXPECT_EQ(Loja(), (std::vector<std::string>{"0001001001016T000000primeira",
                                              "0001001001016T000000primeira",
                                              "0001002001016T000000segunda"}));
}

TEST_F(RelatorioTeste, OperationsOnAClosedReportReportNumberedErrors) {
  EXPECT_FALSE(rd->ImpF(1, 1, "x", normal, clBlack));
  EXPECT_EQ(rd->NovaPagina(), -1);
  EXPECT_FALSE(rd->Fechar());
  EXPECT_FALSE(rd->Setup());
  ASSERT_EQ(plataforma.caixas.size(), 4u);
  EXPECT_EQ(plataforma.caixas[0].texto, "Erro #06 - (IMP/IMPF) Relat\xF3rio n\xE3o foi aberto...");
  EXPECT_EQ(plataforma.caixas[1].texto,
            "Erro #04 - (NOVA P\xC1GINA) Relat\xF3rio n\xE3o foi aberto...");
  EXPECT_EQ(plataforma.caixas[2].texto, "Erro #02 - (FECHAR) Relat\xF3rio n\xE3o foi aberto...");
  EXPECT_EQ(plataforma.caixas[3].texto, "Erro #05 - (SETUP) Relat\xF3rio n\xE3o foi aberto...");
  EXPECT_EQ(plataforma.caixas[0].estilo, platform::mb::OK | platform::mb::ICONHAND);

  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  ASSERT_TRUE(rd->Abrir());
  EXPECT_FALSE(rd->Abrir());
  EXPECT_EQ(erros, std::vector<std::string>{"Erro #01 - (ABRIR) Relat\xF3rio j\xE1 foi aberto..."});
  EXPECT_EQ(plataforma.caixas.size(), 4u);  // OnErro takes the place of the box
}

TEST_F(RelatorioTeste, PageEventsAndNovaPagina) {
  std::vector<std::string> eventos;
  rd->OnNewPage = [&](TRDprint&, int p) { eventos.push_back("new " + std::to_string(p)); };
  rd->OnBeforeNewPage = [&](TRDprint&, int p) { eventos.push_back("before " + std::to_string(p)); };
  ASSERT_TRUE(rd->Abrir());
  EXPECT_EQ(rd->NovaPagina(), 2);
  EXPECT_EQ(rd->NovaPagina(), 3);
  eventos.clear();
  EXPECT_EQ(rd->NovaPagina(), 4);
  EXPECT_EQ(eventos, (std::vector<std::string>{"before 3", "new 4"}));
  EXPECT_TRUE(rd->RodapePendente);
}

TEST_F(RelatorioTeste, HandlersComposeOnThePageTheyReceive) {
  rd->OnNewPage = [](TRDprint& r, int p) {
    r.ImpF(1, 1, "Pagina " + std::to_string(p), {TAtributo::aNormal10}, 0);
  };
  rd->OnBeforeNewPage = [](TRDprint& r, int) {
    r.ImpF(60, 1, "rodape", {TAtributo::aNormal10}, 0);
  };
  rd->OpcoesPreview.Preview = true;
  std::vector<std::string> noPreview;
  janelas.aoPreview = [&](TRDprint&) { noPreview = Loja(); };
  ASSERT_TRUE(rd->Abrir());
  rd->NovaPagina();
  ASSERT_TRUE(rd->Fechar());
  EXPECT_EQ(noPreview, (std::vector<std::string>{
                           "0001001001016T000000Pagina 1", "0001060001016T000000rodape",
                           "0002001001016T000000Pagina 2", "0002060001016T000000rodape"}));
  EXPECT_FALSE(EstadoRelatorio().paginas);
  EXPECT_FALSE(EstadoRelatorio().aberto);
}

TEST_F(RelatorioTeste, AbortarAndFechar) {
  int cancelados = 0;
  rd->OnCancel = [&](TRDprint&) { ++cancelados; };
  ASSERT_TRUE(rd->Abrir());
  EXPECT_TRUE(rd->Abortar());
  EXPECT_FALSE(EstadoRelatorio().paginas);
  int eventos = 0;
  rd->OnBeforeNewPage = [&](TRDprint&, int) { ++eventos; };
  EXPECT_TRUE(rd->Fechar());  // after Abortar: True, nothing fired
  EXPECT_EQ(eventos, 0);
  EXPECT_FALSE(rd->Abortar());
  EXPECT_EQ(plataforma.caixas.back().texto,
            "Erro #08 - (ABORTAR) Relat\xF3rio n\xE3o foi aberto...");
  EXPECT_TRUE(EstadoRelatorio().abortado);
  EXPECT_EQ(cancelados, 2);
  EXPECT_TRUE(rd->Abrir());  // a new report can be opened
}

TEST_F(RelatorioTeste, SetupCancelledOutsideThePreviewAbandonsTheReport) {
  ASSERT_TRUE(rd->Abrir());
  janelas.confirmaSetup = true;
  EXPECT_TRUE(rd->Setup());
  EXPECT_TRUE(EstadoRelatorio().aberto);
  janelas.confirmaSetup = false;
  EXPECT_FALSE(rd->Setup());
  EXPECT_FALSE(EstadoRelatorio().aberto);
  EXPECT_TRUE(EstadoRelatorio().abortado);
}

TEST_F(RelatorioTeste, AbrirTakesThePrinterPortAndModel) {
  rd->PortaComunicacao.clear();
  plataforma.impressora = platform::PrinterInfo{"EPSON LX-300+", "LPT1:", "", ""};
  rd->Impressora = TModelo::HP;
  ASSERT_TRUE(rd->Abrir());
  EXPECT_EQ(rd->PortaComunicacao, "LPT1");
  EXPECT_EQ(rd->Impressora, TModelo::Epson);
  EXPECT_EQ(EstadoRelatorio().PaginaAtual, 1);
  EXPECT_EQ(EstadoRelatorio().Copias, 1);
  rd->Abortar();
  rd->TitulodoRelatorio = "   ";
  rd->NumerodeCopias = 3;
  ASSERT_TRUE(rd->Abrir());
  EXPECT_EQ(rd->TitulodoRelatorio, "Relat\xF3rio RDprint");
  EXPECT_EQ(EstadoRelatorio().Copias, 3);
  EXPECT_EQ(EstadoRelatorio().folha.LarguraTexto, 768);   // 80 columns x 8 x 1.2
  EXPECT_EQ(EstadoRelatorio().folha.MargemEsquerda, 18);  // 5 mm
}

TEST_F(RelatorioTeste, MacrosAreReplacedAtOutput) {
  ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);  // 14/11/2023 22:13 UTC
  rd->TitulodoRelatorio = "Meu";
  ASSERT_TRUE(rd->Abrir());
  rd->NovaPagina();
  rd->NovaPagina();
  rd->ImpF(1, 1, "x", normal, clBlack);
  EXPECT_EQ(rd->SubstituiMacros("&PAGE& de &page&"), "3 de &page&");
  EXPECT_EQ(rd->SubstituiMacros("&data& &Hora& &TITULO& &DATA&"), "14/11/2023 22:13 Meu &DATA&");
  ::unsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(RelatorioTeste, TotalPaginasIsThePageOfTheLastEntry) {
  EXPECT_EQ(rd->TotalPaginas(), 1);
  ASSERT_TRUE(rd->Abrir());
  EXPECT_EQ(rd->TotalPaginas(), 1);
  rd->NovaPagina();
  rd->ImpF(1, 1, "x", normal, clBlack);
  rd->NovaPagina();
  EXPECT_EQ(EstadoRelatorio().PaginaAtual, 3);
  EXPECT_EQ(rd->TotalPaginas(), 2);
}
