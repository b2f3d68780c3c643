// The report files: RDP written and read back, the text file and the printer file; every output
// written into memory as into its file.
#include <cerrno>
#include <cstdlib>
#include <random>

#include "platform/AtomicFile.h"
#include "platform/ByteSink.h"
#include "report/RelatorioTeste.h"
#include "support/Danifica.h"

using namespace report;
using teste::RelatorioTeste;

namespace {

const std::string kCab6 = "<< RDprint 6.0 - Deltress Sistemas >>\r\n";
const std::string kAviso = "<< ESTE  ARQUIVO N\xC3O DEVE SER EDITADO >>\r\n";

// Memory that takes the first `aceita` bytes and fails at the write that goes beyond them.
class SinkCheio : public platform::MemorySink {
 public:
  explicit SinkCheio(size_t aceita) : aceita_(aceita) {}
  bool write(std::string_view b) override {
    if (bytes().size() + b.size() > aceita_)
      return fail(ENOSPC, "N\xE3o h\xE1 espa\xE7o no disco.");
    return MemorySink::write(b);
  }

 private:
  size_t aceita_;
};

class Arquivos : public RelatorioTeste {
 protected:
  void SetUp() override {
    rd->MostrarProgresso = true;
    ASSERT_TRUE(rd->Abrir());
  }
  // An RDP file with the given command lines and count.
  std::string Rdp(const std::string& cabecalho, const std::string& contagem,
                  const std::vector<std::string>& linhas,
                  const std::string& controle = "000066\r\n000080\r\n6\r\nF10\r\n\r\n") {
    std::string s = cabecalho + "\r\n" + kAviso + contagem + "\r\nTitulo\r\n" + controle;
    for (const auto& l : linhas) s += l + "\r\n";
    return s;
  }
  std::vector<std::string> Comandos(int n) {
    std::vector<std::string> r;
    for (int i = 1; i <= n; ++i)
      r.push_back("0001" + std::string(i < 10 ? "00" : "0") + std::to_string(i) + "001016T000000x");
    return r;
  }
  std::vector<std::string> Caixas() const {
    std::vector<std::string> r;
    for (const auto& c : plataforma.caixas) r.push_back(c.texto);
    return r;
  }
};

}  // namespace

TEST_F(Arquivos, GravaRDPWritesControlLinesAndTheStore) {
  rd->TitulodoRelatorio = "Teste";
  rd->FonteEstiloPadrao = TStyle{TEstilo::Ssublinhado, TEstilo::Snegrito};
  rd->ImpF(2, 3, "x", {TAtributo::aNormal10, TAtributo::aNegrito}, clBlack);
  rd->ImpF(1, 1, "Ol\xE1 &PAGE&", normal, clBlack);
  std::string arquivo = Caminho("r.rdp");
  rd->GravaRDP(arquivo);
  EXPECT_EQ(LeArquivo(arquivo),
            kCab6 + kAviso +
                "000002\r\nTeste\r\n000066\r\n000080\r\n6\r\nF10\r\nNS\r\n"
                "0001001001016T000000Ol\xE1 &PAGE&\r\n0001002003018T000000x\r\n");
  ASSERT_EQ(janelas.progressos.size(), 1u);
  EXPECT_EQ(janelas.progressos[0].caption, "Gravando...");
  EXPECT_EQ(janelas.progressos[0].rotulo, arquivo);
  EXPECT_EQ(janelas.progressos[0].maximo, 2);
  EXPECT_EQ(janelas.progressosFechados, 1);
}

TEST_F(Arquivos, GravaRDPOfThreePagesOf120Commands) {
  for (int p = 1; p <= 3; ++p) {
    if (p > 1) rd->NovaPagina();
    for (int l = 1; l <= 40; ++l) rd->ImpF(l, 1, "linha", normal, clBlack);
  }
  rd->TamanhoQteLPP = TLinha::Oito;
  rd->FonteTamanhoPadrao = TSize::S17cpp;
  platform::MemorySink saida;
  ASSERT_TRUE(rd->EscreveRDP(saida, "r.rdp").ok);
  ASSERT_TRUE(saida.finished());
  const std::string& s = saida.bytes();
  EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), 129);
  EXPECT_EQ(s.substr(kCab6.size() + kAviso.size(), 8), "000120\r\n");
  EXPECT_NE(s.find("\r\n8\r\nF17\r\n\r\n0001001"), std::string::npos);
}

TEST_F(Arquivos, WritersFireThePendingFootOnceAndOnSaveMayRename) {
  int rodapes = 0;
  rd->OnBeforeNewPage = [&](TRDprint& r, int p) {
    ++rodapes;
    r.ImpF(60, 1, "rodape " + std::to_string(p), {TAtributo::aNormal10}, 0);
  };
  rd->OnSave = [&](TRDprint&, std::string& nome) { nome += ".novo"; };
  std::string arquivo = Caminho("r.txt");
  rd->GravaTXT(arquivo);
  rd->GravaRDP(Caminho("r.rdp"));
  EXPECT_EQ(rodapes, 1);
  EXPECT_NE(LeArquivo(arquivo + ".novo").find("rodape 1"), std::string::npos);
  EXPECT_NE(LeArquivo(Caminho("r.rdp.novo")).find("rodape 1"), std::string::npos);
}

TEST_F(Arquivos, ACancelledOrFailedSaveLeavesThePreviousFile) {
  for (int l = 1; l <= 10; ++l) rd->ImpF(l, 1, "x", normal, clBlack);
  std::string arquivo = Caminho("r.rdp");
  EscreveArquivo(arquivo, "anterior");
  int cancelados = 0;
  rd->OnCancel = [&](TRDprint&) { ++cancelados; };
  janelas.cancelaNoPasso = 3;
  rd->GravaRDP(arquivo);
  EXPECT_EQ(cancelados, 1);
  EXPECT_EQ(LeArquivo(arquivo), "anterior");

  janelas.cancelaNoPasso = 0;
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);
  rd->GravaRDP(arquivo);
  platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 0, 0);
  EXPECT_EQ(LeArquivo(arquivo), "anterior");
  EXPECT_EQ(Caixas(), std::vector<std::string>{"Erro na grava\xE7"
                                               "ao do arquivo...\r\rArquivo: " +
                                               arquivo});

  rd->GravaRDP(Caminho("falta/r.rdp"));
  EXPECT_EQ(Caixas().back(),
            "Erro na abertura do arquivo...\r\rArquivo: " + Caminho("falta/r.rdp"));
  rd->GravaTXT(Caminho("falta/r.txt"));
  EXPECT_EQ(Caixas().back(),
            "Erro na Abertura do arquivo...\r\rArquivo: " + Caminho("falta/r.txt"));
}

TEST_F(Arquivos, LeRDPReadsEveryAcceptedHeader) {
  for (const char* cabecalho :
       {"<< RDprint 6.0 - Deltress Sistemas >>", "<< RDprint 5.0 - Deltress Sistemas >>",
        "<< RDprint 4.0 - Deltress Inform\xE1tica >>"}) {
    std::string arquivo = Caminho("l.rdp");
    std::vector<std::string> linhas = Comandos(3);
    std::reverse(linhas.begin(), linhas.end());  // inserted at their sorted place
    EscreveArquivo(arquivo,
                   Rdp(cabecalho, "000003", linhas, "000050\r\n000132\r\n8\r\nF12\r\nNS\r\n"));
    rd->LeRDP(arquivo);
    EXPECT_EQ(Loja(), Comandos(3));
    EXPECT_EQ(rd->TitulodoRelatorio, "Titulo");
    EXPECT_EQ(rd->TamanhoQteLinhas, 50);
    EXPECT_EQ(rd->TamanhoQteColunas, 132);
    EXPECT_EQ(rd->TamanhoQteLPP, TLinha::Oito);
    EXPECT_EQ(rd->FonteTamanhoPadrao, TSize::S12cpp);
    EXPECT_EQ(rd->FonteEstiloPadrao, (TStyle{TEstilo::Snegrito, TEstilo::Ssublinhado}));
    EXPECT_EQ(EstadoRelatorio().comandos.CpiPadrao, 12);
    EXPECT_EQ(EstadoRelatorio().folha.AlturaLinha, 12);
  }
  EXPECT_TRUE(plataforma.caixas.empty());
  EXPECT_EQ(janelas.progressos.back().caption, "Lendo...");
  EXPECT_EQ(janelas.progressos.back().maximo, 3);
}

TEST_F(Arquivos, LeRDPSkipsPictureLinesAndWarnsOnAWrongCount) {
  std::string arquivo = Caminho("l.rdp");
  std::vector<std::string> linhas = Comandos(9);
  linhas.insert(linhas.begin() + 4, "0001005001016G000000000000000000000");
  EscreveArquivo(arquivo, Rdp(kCab6.substr(0, kCab6.size() - 2), "000010", linhas));
  rd->LeRDP(arquivo);
  EXPECT_EQ(Loja(), Comandos(9));
  EXPECT_TRUE(plataforma.caixas.empty());

  EscreveArquivo(arquivo, Rdp(kCab6.substr(0, kCab6.size() - 2), "000010", Comandos(9)));
  rd->LeRDP(arquivo);
  EXPECT_EQ(Loja().size(), 9u);
  ASSERT_EQ(plataforma.caixas.size(), 1u);
  EXPECT_EQ(plataforma.caixas[0].texto, "RDPrint: Erro no controle, relat\xF3rio pode causar erro");
  EXPECT_EQ(plataforma.caixas[0].estilo, platform::mb::OK | platform::mb::ICONEXCLAMATION);
}

TEST_F(Arquivos, LeRDPLeavesOutLinesWithoutTheCommandLayout) {
  std::string arquivo = Caminho("l.rdp");
  std::vector<std::string> linhas = Comandos(2);
  linhas.push_back("0001003");                // shorter than 20 characters
  linhas.push_back("00010A3001016T000000x");  // a field that is no number
  linhas.push_back("0001003001016TQQ0000x");  // a colour that is no hexadecimal
  linhas.push_back("");                       // an empty line
  EscreveArquivo(arquivo, Rdp(kCab6.substr(0, kCab6.size() - 2), "000006", linhas));
  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };
  rd->LeRDP(arquivo);
  EXPECT_EQ(Loja(), Comandos(2));
  EXPECT_EQ(erros.size(), 4u);
  EXPECT_EQ(erros[0], "Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando 0001003");
  EXPECT_EQ(Caixas(),
            std::vector<std::string>{"RDPrint: Erro no controle, relat\xF3rio pode causar erro"});
  // Every writer copes with what was read.
  rd->GravaTXT(Caminho("l.txt"));
  rd->Impressora = TModelo::Epson;
  rd->GravaPRN(Caminho("l.prn"));
  EXPECT_EQ(Caixas().size(), 1u);
}

TEST_F(Arquivos, LeRDPRefusesBadHeadersAndControlLines) {
  rd->ImpF(1, 1, "fica", normal, clBlack);
  const std::vector<std::string> antes = Loja();
  const std::string arquivo = Caminho("l.rdp");
  const std::string invalido = "Formato do arquivo \xE9 inv\xE1lido...";
  const struct {
    std::string conteudo;
    int linhas, colunas;
  } casos[] = {
      {"<< RDprint 7.0 - Deltress Sistemas >>\r\n", 66, 80},
      {kCab6 + kAviso + "muitos\r\n", 66, 80},
      {kCab6 + kAviso + "000001\r\nT\r\n000050\r\nxx\r\n", 50, 80},
      {kCab6 + kAviso + "000001\r\nT\r\n000050\r\n000070\r\n", 50, 70},  // ends early: still good
      {kCab6 + kAviso + "000001\r\nT\r\n", 50, 70},
      {kCab6 + kAviso + "000001\r\nT\r\n0\r\n000070\r\n", 50, 70},
      {kCab6 + kAviso + "000001\r\nT\r\n099999\r\n000070\r\n", 50, 70},
  };
  for (const auto& c : casos) {
    plataforma.caixas.clear();
    EscreveArquivo(arquivo, c.conteudo);
    rd->LeRDP(arquivo);
    EXPECT_EQ(rd->TamanhoQteLinhas, c.linhas);
    EXPECT_EQ(rd->TamanhoQteColunas, c.colunas);
    if (&c == &casos[3]) {
      EXPECT_TRUE(Loja().empty());  // loaded, no command, count warning
      EXPECT_EQ(Caixas(), std::vector<std::string>{
                              "RDPrint: Erro no controle, relat\xF3rio pode causar erro"});
      EstadoRelatorio().paginas->Insere(antes[0]);
    } else {
      EXPECT_EQ(Loja(), antes) << c.conteudo;
      EXPECT_EQ(Caixas(), std::vector<std::string>{invalido}) << c.conteudo;
    }
  }
  plataforma.caixas.clear();
  rd->LeRDP(Caminho("nao-existe.rdp"));
  ASSERT_EQ(Caixas().size(), 1u);
  EXPECT_EQ(Caixas()[0], "Erro na Abertura do arquivo...\r\rArquivo: " + Caminho("nao-existe.rdp"));
  plataforma.caixas.clear();
  rd->LeRDP("");
  EXPECT_TRUE(plataforma.caixas.empty());
}

TEST_F(Arquivos, GravaTXTLaysOutLinesAndPages) {
  rd->TamanhoQteLinhas = 6;
  rd->ImpF(2, 1, "abcdef", normal, clBlack);
  rd->ImpF(2, 3, "X", normal, clBlack);
  rd->ImpF(3, 10, "dez", normal, clBlack);
  rd->ImpF(3, 4, "qua", normal, clBlack);
  rd->AdicionaComando(4, 2, "B", "A=B", normal, clBlack);
  rd->AdicionaComando(4, 6, "C", "27 15", normal, clBlack);
  rd->ImpF(5, 1, "P\xE1gina &PAGE&", normal, clBlack);
  rd->NovaPagina();
  rd->ImpF(2, 2, "fim", normal, clBlack);
  platform::MemorySink texto;
  ASSERT_TRUE(rd->EscreveTXT(texto, "r.txt").ok);
  EXPECT_EQ(texto.bytes(),
            "\r\nabX\r\n   qua   dez\r\n +-+\r\nP\xE1gina 2\r\n\r\n"  // page 1 padded to 6 lines
            "\r\n fim\r\n");
  rd->Acentuacao = TAcento::SemAcento;
  platform::MemorySink semAcento;
  ASSERT_TRUE(rd->EscreveTXT(semAcento, "r.txt").ok);
  EXPECT_NE(semAcento.bytes().find("Pagina 2"), std::string::npos);
}

TEST_F(Arquivos, GravaTXTPadsAPageThatEndsEarly) {
  rd->ImpF(60, 1, "ultima", normal, clBlack);
  rd->NovaPagina();
  rd->ImpF(1, 1, "segunda", normal, clBlack);
  platform::MemorySink saida;
  ASSERT_TRUE(rd->EscreveTXT(saida, "r.txt").ok);
  const std::string& s = saida.bytes();
  EXPECT_EQ(
      s, std::string() +
             [] {
               std::string p;
               for (int i = 1; i < 60; ++i) p += "\r\n";
               return p;
             }() +
             "ultima\r\n" +
             [] {
               std::string p;
               for (int i = 61; i <= 66; ++i) p += "\r\n";
               return p;
             }() +
             "segunda\r\n");
}

TEST_F(Arquivos, GravaPRNWritesThePrinterBytes) {
  rd->Impressora = TModelo::Epson;
  rd->ConfiguraComandos(TModelo::Epson, 66, TLinha::Seis);
  rd->ImpF(1, 1, "A", normal, clBlack);
  rd->NovaPagina();
  rd->ImpF(1, 1, "B", normal, clBlack);
  int eventos = 0;
  rd->OnBeforePrint = [&](TRDprint&, bool&) { ++eventos; };
  rd->OnAfterPrint = [&](TRDprint&) { ++eventos; };
  rd->PortaComunicacao = "LPT1";
  EstadoRelatorio().Copias = 2;
  EstadoRelatorio().Agrupar = false;
  std::string arquivo = Caminho("r.prn");
  rd->GravaPRN(arquivo);
  const std::string inicio = std::string("\x1B\x32\x1B\x43\x42") +
                             "\x1B\x50\x12\x1B\x57\x30\x1B\x35\x1B\x48\x1B\x2D\x30" +
                             "\x12\x1B\x50";
  EXPECT_EQ(LeArquivo(arquivo), inicio + "A\x0C" + "A\x0C" + "B\x0C" + "B\x0C" + "\x1B\x40");
  EXPECT_EQ(eventos, 0);
  EXPECT_EQ(rd->PortaComunicacao, "LPT1");
  EXPECT_EQ(EstadoRelatorio().Copias, 2);
  EXPECT_EQ(janelas.progressos.back().caption, "Gravando...");
  EXPECT_EQ(janelas.progressos.back().maximo, 4);
  EXPECT_TRUE(plataforma.bytesImpressos.empty());  // never through the spooler
}

TEST_F(Arquivos, GravaPRNRefusesTheGraphicModel) {
  rd->Impressora = TModelo::Grafico;
  rd->ImpF(1, 1, "A", normal, clBlack);
  int rodapes = 0;
  rd->OnBeforeNewPage = [&](TRDprint&, int) { ++rodapes; };
  std::string arquivo = Caminho("r.prn");
  rd->GravaPRN(arquivo);
  EXPECT_FALSE(std::filesystem::exists(arquivo));
  EXPECT_EQ(rodapes, 0);
  ASSERT_EQ(plataforma.caixas.size(), 1u);
  EXPECT_EQ(plataforma.caixas[0].estilo, platform::mb::OK | platform::mb::ICONHAND);
}

// Damaged report files: whatever the bytes, loading ends with the store readable by every writer
// (no crash, no out-of-range read), the writers still complete their output from it, and the
// report file written from what was loaded loads back as the same store. Everything stays in
// memory.
TEST_F(Arquivos, DamagedReportFilesNeverBreakTheLoaderOrTheWriters) {
  for (int l = 1; l <= 30; ++l)
    rd->ImpF(l, 1 + l % 20, "linha " + std::to_string(l) + " &PAGE& \xE7", normal, clBlack);
  rd->NovaPagina();
  rd->ImpF(2, 5, "segunda p\xE1gina", normal, 0x0000FF);
  platform::MemorySink base;
  ASSERT_TRUE(rd->EscreveRDP(base, "base.rdp").ok);
  const std::string original = base.bytes();
  ASSERT_GT(original.size(), 200u);
  rd->MostrarProgresso = false;
  std::mt19937 rng(4242);
  const std::string pedacos = "09TGXB\r\n F-\xFF";
  for (int caso = 0; caso < 400; ++caso) {
    const std::string b = teste::Danifica(original, rng, pedacos, 5);
    rd->LeRDPDeMemoria(b, "d.rdp");
    // Only lines with the whole fixed-width head may enter the store.
    const std::vector<std::string> lido = Loja();
    for (const auto& c : lido) {
      ASSERT_GE(c.size(), 20u) << c;
      for (size_t i = 0; i < 13; ++i) ASSERT_TRUE(c[i] >= '0' && c[i] <= '9') << c;
    }
    platform::MemorySink texto, relatorio;
    ASSERT_TRUE(rd->EscreveTXT(texto, "d.txt").ok) << caso;
    ASSERT_TRUE(rd->EscreveRDP(relatorio, "d2.rdp").ok) << caso;
    ASSERT_TRUE(texto.finished() && relatorio.finished()) << caso;
    plataforma.caixas.clear();
    ASSERT_TRUE(rd->CarregaRDPDeMemoria(relatorio.bytes(), "d2.rdp").ok) << caso;
    ASSERT_EQ(Loja(), lido) << caso;
  }
}

// The memory versions of the outputs write exactly the bytes their file versions write.
TEST_F(Arquivos, EveryOutputWritesIntoMemoryWhatItWritesIntoItsFile) {
  ::setenv("SOURCE_DATE_EPOCH", "1796817600", 1);  // the same PDF dates in both
  rd->Impressora = TModelo::Epson;
  rd->ConfiguraComandos(TModelo::Epson, 66, TLinha::Seis);
  rd->ImpF(1, 1, "Ol\xE1 &PAGE&", normal, clBlack);
  rd->AdicionaComando(2, 1, "B", "a-b", normal, clBlack);
  rd->AdicionaComando(3, 1, "H", "0000300010S0", normal, 0x0000FF);
  rd->NovaPagina();
  rd->ImpF(2, 4, "fim", {TAtributo::aComprimir17, TAtributo::aNegrito}, clBlack);
  using Arquivo = TResultado (TRDprint::*)(std::string);
  using Memoria = TResultado (TRDprint::*)(platform::ByteSink&, const std::string&);
  const struct {
    const char* nome;
    Arquivo arquivo;
    Memoria memoria;
  } saidas[] = {
      {"r.rdp", &TRDprint::EscreveRDP, &TRDprint::EscreveRDP},
      {"r.txt", &TRDprint::EscreveTXT, &TRDprint::EscreveTXT},
      {"r.prn", &TRDprint::EscrevePRN, &TRDprint::EscrevePRN},
      {"r.html", &TRDprint::EscreveHTML, &TRDprint::EscreveHTML},
      {"r.pdf", &TRDprint::EscrevePDF, &TRDprint::EscrevePDF},
  };
  for (const auto& s : saidas) {
    const std::string caminho = Caminho(s.nome);
    ASSERT_TRUE(((*rd).*s.arquivo)(caminho).ok) << s.nome;
    platform::MemorySink memoria;
    ASSERT_TRUE(((*rd).*s.memoria)(memoria, caminho).ok) << s.nome;
    EXPECT_TRUE(memoria.finished()) << s.nome;
    EXPECT_EQ(memoria.bytes(), LeArquivo(caminho)) << s.nome;
  }
  ::unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_TRUE(plataforma.caixas.empty());
}

// A sink that fails: each output says so in its own words and leaves it unfinished.
TEST_F(Arquivos, AFailingSinkGetsEachOutputsMessage) {
  rd->Impressora = TModelo::Epson;
  rd->ConfiguraComandos(TModelo::Epson, 66, TLinha::Seis);
  rd->ImpF(1, 1, "texto", normal, clBlack);
  using Memoria = TResultado (TRDprint::*)(platform::ByteSink&, const std::string&);
  const std::string cheio = "N\xE3o h\xE1 espa\xE7o no disco.";
  const struct {
    Memoria escreve;
    size_t aceita;
    TCaixa caixa;
    std::string mensagem;
  } casos[] = {
      {&TRDprint::EscreveRDP, 0, TCaixa::Erro,
       "Erro na grava\xE7\xE3o do Registro de Controle...saida"},
      {&TRDprint::EscreveRDP, 140, TCaixa::Erro,
       "Erro na grava\xE7"
       "ao do arquivo...\r\rArquivo: saida"},
      {&TRDprint::EscreveTXT, 0, TCaixa::Erro,
       "Erro na grava\xE7"
       "ao do arquivo...\r\rArquivo: saida"},
      {&TRDprint::EscrevePRN, 0, TCaixa::Numerado,
       "Erro #03 - I/O " + std::to_string(ENOSPC) + " saida"},
      {&TRDprint::EscrevePRN, 21, TCaixa::Numerado,
       "Erro #03 - I/O " + std::to_string(ENOSPC) + " saida"},
      {&TRDprint::EscreveHTML, 0, TCaixa::Aplicacao, cheio},
      {&TRDprint::EscrevePDF, 0, TCaixa::Aplicacao, cheio},
  };
  for (const auto& c : casos) {
    SinkCheio saida(c.aceita);
    const TResultado r = ((*rd).*c.escreve)(saida, "saida");
    EXPECT_FALSE(r.ok) << c.mensagem;
    EXPECT_EQ(r.caixa, c.caixa) << c.mensagem;
    EXPECT_EQ(r.mensagem, c.mensagem);
    EXPECT_FALSE(saida.finished()) << c.mensagem;
  }
  EXPECT_FALSE(EstadoRelatorio().canal.saida);  // no channel is left on the caller's sink
  EXPECT_TRUE(plataforma.caixas.empty());
}
