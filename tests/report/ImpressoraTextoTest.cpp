// Character printers: the byte streams of every model, the page translation and the output
// channel. Expected bytes are written from the command tables.
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

// Bytes from their values.
std::string X(std::initializer_list<int> valores) {
  std::string s;
  for (int v : valores) s += static_cast<char>(v);
  return s;
}

class ImpressoraTexto : public RelatorioTeste {
 protected:
  // Opens a report for `modelo` and opens the spooler channel, forgetting the start sequence.
  void AbreCanal(TModelo modelo = TModelo::Epson) {
    rd->Impressora = modelo;
    ASSERT_TRUE(rd->Abrir());
    ASSERT_TRUE(rd->IniciaDocumento(""));
    plataforma.bytesImpressos.clear();
  }
  std::string Pagina(int p = 1) {
    plataforma.bytesImpressos.clear();
    rd->ImprimePaginaTexto(p);
    return plataforma.bytesImpressos;
  }
  const TAtributos negrito{TAtributo::aNormal10, TAtributo::aNegrito};
};

const std::string kResetEpson =
    X({0x1B, 0x50, 0x12, 0x1B, 0x57, 0x30, 0x1B, 0x35, 0x1B, 0x48, 0x1B, 0x2D, 0x30});

}  // namespace

TEST_F(ImpressoraTexto, WorkedExampleEpson) {
  AbreCanal();
  rd->ImpF(3, 3, "AB", normal, clBlack);
  rd->ImpF(3, 10, "CD", negrito, clBlack);
  std::string esperado =
      X({0x0A, 0x0D, 0x0A, 0x0D, 0x20, 0x20, 0x41, 0x42}) +
      X({0x20, 0x20, 0x20, 0x20, 0x20, 0x12, 0x1B, 0x50, 0x1B, 0x47, 0x43, 0x44}) + kResetEpson +
      X({0x12, 0x1B, 0x50}) + X({0x0C});
  EXPECT_EQ(Pagina(), esperado);
}

TEST_F(ImpressoraTexto, WholeStreamOfEachModel) {
  const std::string pagina = "A" + X({0x0A, 0x0D});
  const struct {
    TModelo modelo;
    std::string inicio, negrito, reset, fonte, salto, fim;
  } casos[] = {
      {TModelo::Epson, X({0x1B, 0x32, 0x1B, 0x43, 66}), X({0x12, 0x1B, 0x50, 0x1B, 0x47}),
       kResetEpson, X({0x12, 0x1B, 0x50}), X({0x0C}), X({0x1B, 0x40})},
      {TModelo::Rima, X({0x1B, 0x32, 0x1B, 0x43, 66}), X({0x1E, 0x30, 0x1B, 0x45}),
       X({0x1E, 0x30, 0x1B, 0x35, 0x1B, 0x46, 0x1B, 0x2D, 0x30}), X({0x1E, 0x30}), X({0x0C}),
       X({0x1B, 0x40})},
      {TModelo::HP, "\x1B&l6D\x1B&l66P", "\x1B(s10H\x1B(s3B",
       "\x1B(s0B\x1B(s0S\x1B&d@\x1B(s10H\x1B(12U\x1B&l0L", "\x1B(s10H", "\x1B&l0H",
       X({0x1B, 0x45})},
      {TModelo::Daruma, X({0x1B, 0x33, 0x21, 0x1B, 0x43, 66}), X({0x0E, 0x1B, 0x47}),
       X({0x0E, 0x0C, 0x1B, 0x57, 0x32, 0x1B, 0x34, 0x30, 0x1B, 0x46, 0x1B, 0x2D, 0x30}), X({0x0E}),
       X({0x0A}), X({0x1B, 0x40})},
      {TModelo::Bobina, "", "", "", "", "", ""},
      {TModelo::Personalizado, X({0x1B, 0x32, 0x1B, 0x43, 66}), X({0x12, 0x1B, 0x50, 0x1B, 0x45}),
       X({0x1B, 0x50, 0x12, 0x14, 0x1B, 0x35, 0x1B, 0x46, 0x1B, 0x2D, 0x30}), X({0x12, 0x1B, 0x50}),
       X({0x0C}), X({0x1B, 0x40})},
  };
  for (const auto& c : casos) {
    ReiniciaEstadoRelatorio();
    plataforma.bytesImpressos.clear();
    rd->Impressora = c.modelo;
    ASSERT_TRUE(rd->Abrir());
    rd->ImpF(1, 1, "A", normal, clBlack);
    rd->ImpF(2, 1, "B", negrito, clBlack);
    rd->ImprimeRelatorio("");
    std::string esperado = c.inicio + c.reset + c.fonte + pagina + c.negrito + "B" + c.reset +
                           c.fonte + c.salto + c.fim;
    EXPECT_EQ(plataforma.bytesImpressos, esperado) << static_cast<int>(c.modelo);
    rd->Abortar();
  }
}

TEST_F(ImpressoraTexto, HpExpandedFollowsTheDefaultPitch) {
  rd->Impressora = TModelo::HP;
  rd->FonteTamanhoPadrao = TSize::S12cpp;
  rd->ConfiguraComandos(TModelo::HP, 66, TLinha::Oito);
  EXPECT_EQ(EstadoRelatorio().comandos.Sequencia(TAtributo::aExpandido), "\x1B(s6H");
  EXPECT_EQ(EstadoRelatorio().comandos.LinhasPorPolegada, "\x1B&l8D");
  rd->FonteTamanhoPadrao = TSize::S05cpp;
  rd->ConfiguraComandos(TModelo::HP, 66, TLinha::Seis);
  EXPECT_EQ(EstadoRelatorio().comandos.Sequencia(TAtributo::aExpandido), "\x1B(s6H");  // kept
  EXPECT_EQ(EstadoRelatorio().comandos.FontePadrao, "\x1B(s6H");
  EXPECT_EQ(EstadoRelatorio().comandos.CpiPadrao, 5);
  rd->FonteTamanhoPadrao = TSize::S17cpp;
  rd->FonteEstiloPadrao = TStyle{TEstilo::Snegrito, TEstilo::Sitalico};
  rd->ConfiguraComandos(TModelo::HP, 72, TLinha::Seis);
  EXPECT_EQ(EstadoRelatorio().comandos.Sequencia(TAtributo::aExpandido), "\x1B(s8.33H");
  EXPECT_EQ(EstadoRelatorio().comandos.TamanhoPagina, "\x1B&l72P");
  EXPECT_EQ(EstadoRelatorio().comandos.FontePadrao, "\x1B(s1S\x1B(s3B\x1B(s16.67H");
  EXPECT_EQ(EstadoRelatorio().comandos.AtributoPadrao, 67);
  // The sequence kept at 5 cpi is the command set's, also when another model set it.
  rd->ConfiguraComandos(TModelo::Epson, 66, TLinha::Seis);
  rd->FonteTamanhoPadrao = TSize::S05cpp;
  rd->ConfiguraComandos(TModelo::HP, 66, TLinha::Seis);
  EXPECT_EQ(EstadoRelatorio().comandos.Sequencia(TAtributo::aExpandido), "\x1BW1");
}

TEST_F(ImpressoraTexto, CursorMovesWithBlanksAndBackspaces) {
  AbreCanal();
  rd->ImpF(1, 1, "ABCDE", normal, clBlack);
  rd->ImpF(1, 3, "X", normal, clBlack);
  EXPECT_EQ(Pagina(), "ABCDE" + X({8, 8, 8}) + "X" + X({0x0C}));
}

TEST_F(ImpressoraTexto, OtherPitchReturnsTheHeadToWhereTheTextBegan) {
  AbreCanal();
  rd->ImpF(1, 1, "AB", TAtributos{TAtributo::aComprimir12}, clBlack);
  rd->ImpF(1, 2, "C", normal, clBlack);
  EXPECT_EQ(Pagina(), X({0x12, 0x1B, 0x4D}) + "AB" + X({8, 8}) + kResetEpson +
                          X({0x12, 0x1B, 0x50}) + " C" + X({0x0C}));
}

TEST_F(ImpressoraTexto, RawCodesFramesAndSkippedLetters) {
  AbreCanal();
  rd->AdicionaComando(1, 5, "C", "27 15", normal, clBlack);
  rd->ImpF(1, 5, "X", normal, clBlack);
  rd->AdicionaComando(2, 1, "B", "a-b", normal, clBlack);
  rd->AdicionaComando(2, 4, "H", "0000200010D0", normal, clBlack);
  rd->AdicionaComando(2, 4, "G", "000000000000000", normal, clBlack);
  rd->AdicionaComando(2, 6, "D", "dir", normal, clBlack);
  EXPECT_EQ(Pagina(), "    " + X({0x1B, 0x0F}) + "X" + X({0x0A, 0x0D, 0xDA, 0xC4, 0xBF}) + "  dir" +
                          X({0x0C}));
}

TEST_F(ImpressoraTexto, AccentsBySetting) {
  AbreCanal();
  rd->ImpF(1, 1, "Relat\xF3rio", normal, clBlack);
  EXPECT_EQ(Pagina(), "Relat\xA2rio" + X({0x0C}));
  rd->Acentuacao = TAcento::SemAcento;
  EXPECT_EQ(Pagina(), "Relatorio" + X({0x0C}));
  rd->Acentuacao = TAcento::Transliterate;
  rd->Impressora = TModelo::Rima;
  EXPECT_EQ(rd->ConverteAcentos("Relat\xF3rio"), "Relatorio");
}

TEST_F(ImpressoraTexto, AnEmptyPageSendsOnlyTheFormFeed) {
  AbreCanal();
  rd->ImpF(1, 1, "x", normal, clBlack);
  EXPECT_EQ(Pagina(2), X({0x0C}));
}

TEST_F(ImpressoraTexto, ACancelRequestStopsThePageWithoutTheFormFeed) {
  AbreCanal();
  for (int l = 1; l <= 5; ++l) rd->ImpF(l, 1, "L", normal, clBlack);
  const std::string inteira = Pagina();
  // Wherever the request comes, what was made of the page goes out, whole entries only, without
  // the form feed.
  EXPECT_TRUE(CancelaEmCadaPoll([&] { return Pagina(); },
                                [&](const std::string& bytes, bool cancelado) {
                                  const size_t n = cancelado ? bytes.size() : inteira.size();
                                  EXPECT_EQ(bytes, inteira.substr(0, n));
                                  EXPECT_TRUE(!cancelado || bytes.empty() || bytes.back() == 'L');
                                }));
}

TEST_F(ImpressoraTexto, MapeamentoChoosesTheModelByRowOrder) {
  const struct {
    const char* nome;
    TModelo modelo;
  } casos[] = {{"EPSON Stylus C45", TModelo::Grafico},
               {"DARUMA DR700", TModelo::Daruma},
               {"Generic / Text Only", TModelo::Epson},
               {"Bematech MP-20", TModelo::Bobina},
               {"Impressora PCL 5", TModelo::HP},
               {"Emilia PC", TModelo::Rima},
               {"", TModelo::Grafico},
               {"Qualquer", TModelo::Grafico}};
  for (const auto& c : casos) {
    rd->Impressora = TModelo::Personalizado;
    rd->MapeiaImpressora(c.nome);
    EXPECT_EQ(rd->Impressora, c.modelo) << c.nome;
  }
  rd->Mapeamento = {"//EPSON=HP", "SEM IGUAL", "epson=desconhecido", "EPSON=EPSON", "LX=outro"};
  rd->MapeiaImpressora("Epson LX");
  EXPECT_EQ(rd->Impressora, TModelo::Grafico);  // the first matching row names no known model
  rd->Mapeamento = {"lx=outro"};
  rd->MapeiaImpressora("Epson LX");
  EXPECT_EQ(rd->Impressora, TModelo::Personalizado);
}

TEST_F(ImpressoraTexto, DirectOutputToAFileOrAMissingPort) {
  rd->UsaGerenciadorImpr = false;
  rd->Impressora = TModelo::Bobina;
  ASSERT_TRUE(rd->Abrir());
  rd->ImpF(1, 2, "oi", normal, clBlack);
  rd->PortaComunicacao = Caminho("porta.prn");
  rd->ImprimeRelatorio("");
  EXPECT_EQ(LeArquivo(rd->PortaComunicacao), " oi");

  std::vector<std::string> erros;
  int depois = 0;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  rd->PortaComunicacao = Caminho("falta/porta.prn");
  rd->ImprimeRelatorio("");
  EXPECT_EQ(erros, std::vector<std::string>{"Erro #03 - I/O 2 " + rd->PortaComunicacao});
  EXPECT_EQ(depois, 0);
}

TEST_F(ImpressoraTexto, ASpoolerThatRefusesTheJobShowsTheError) {
  rd->Impressora = TModelo::Epson;
  ASSERT_TRUE(rd->Abrir());
  rd->ImpF(1, 1, "x", normal, clBlack);
  plataforma.aceitaTrabalho = false;
  int depois = 0;
  rd->OnAfterPrint = [&](TRDprint&) { ++depois; };
  rd->ImprimeRelatorio("");
  ASSERT_EQ(plataforma.caixas.size(), 1u);
  EXPECT_EQ(plataforma.caixas[0].texto, "Error 5");
  EXPECT_EQ(depois, 0);
  EXPECT_TRUE(plataforma.bytesImpressos.empty());
}
