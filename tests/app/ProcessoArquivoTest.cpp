// The process file: reading by line position and tag, the header, multi-line descriptions, the
// failures, and the writer's exact bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "app/ProcessoArquivo.h"
#include "base/Erros.h"
#include "base/Texto.h"
#include "platform/AtomicFile.h"
#include "support/Arquivos.h"
#include "support/Falhas.h"

using namespace app;

namespace {

// One item's 11 lines as the writer produces them.
std::string ItemBytes(const std::string& ordem, const std::string& codigo, const std::string& nome,
                      const std::string& descricao, const std::string& marca,
                      const std::string& quantidade, const std::string& valor,
                      const std::string& apuracao, const std::string& lote) {
  return teste::Crlf({"<produto>", " <ordem>" + ordem + "</ordem>",
                      " <codigo>" + codigo + "</codigo>", " <nome>" + nome + "</nome>",
                      " <descricao>" + descricao + "</descricao>", " <marca>" + marca + "</marca>",
                      " <quantidade>" + quantidade + "</quantidade>",
                      " <valor>" + valor + "</valor>", " <apuracao>" + apuracao + "</apuracao>",
                      " <lote>" + lote + "</lote>", "</produto>"});
}

std::string Cabecalho(const std::string& n, const std::string& desc = "Preg\xE3o 15 & compras") {
  return "<processo label=\"20240015\" descricao=\"" + desc + "\" totalitens=\"" + n +
         "\">\r\n<produtos>\r\n";
}

std::string Fim() { return "</produtos>\r\n</processo>\r\n"; }

// Runs `le` over a table holding the open process (item 9) and expects it to fail with
// `mensagem` (an `Erro`), the open process untouched.
template <class Erro, class Le>
void FalhaMantendoOAberto(Le le, const std::string& mensagem) {
  TTabelaItens t;
  LerProcessoDeBytes(Cabecalho("1") + ItemBytes("9", "Z", "z", "d", "", "1", "1", "1", "1") + Fim(),
                     t);
  EXPECT_EQ(teste::ErroDe<Erro>([&] { le(t); }), mensagem);
  ASSERT_EQ(t.NumLinhas(), 1) << mensagem;
  EXPECT_EQ(t.Linha(0).ordem, 9);
}

}  // namespace

TEST(ExtrairValor, TakesTheTextBetweenTheFirstTagsByPosition) {
  EXPECT_EQ(ExtrairValor(" <marca>  Acme  </marca>", "<marca>", "</marca>"), "  Acme  ");
  EXPECT_EQ(ExtrairValor(" <marca></marca>", "<marca>", "</marca>"), "");
  EXPECT_EQ(ExtrairValor(" <Marca>x</Marca>", "<marca>", "</marca>"), "");  // tags keep their case
  EXPECT_EQ(ExtrairValor("</marca> <marca>x", "<marca>", "</marca>"),
            "");  // closing before opening
  EXPECT_EQ(ExtrairValor(" <marca>a & <b></marca>", "<marca>", "</marca>"), "a & <b>");
  EXPECT_EQ(ExtrairValor("", "<marca>", "</marca>"), "");
}

TEST(LerCabecalho, ProcessAndQuotationHeaders) {
  auto p =
      LerCabecalho("<processo label=\"20240015\" descricao=\"Compra & venda\" totalitens=\"12\">");
  EXPECT_FALSE(p.cotacao);
  EXPECT_EQ(p.label5, "2024/0015");
  EXPECT_EQ(p.descricao, "Compra & venda");
  EXPECT_EQ(p.totalItens, 12);
  EXPECT_EQ(p.primeirosQuatro, "<pro");

  auto c =
      LerCabecalho("<cotacao label=\"2024/0007AB\" descricao=\"Cota\xE7\xE3o\" totalitens=\"3\">");
  EXPECT_TRUE(c.cotacao);
  EXPECT_EQ(c.label5, "2024/0007AB");
  EXPECT_EQ(c.descricao, "Cota\xE7\xE3o");
  EXPECT_EQ(c.totalItens, 3);
}

TEST(LerCabecalho, AForeignFirstLineFailsOnTheItemCount) {
  EXPECT_EQ(teste::ErroDe<base::EConvertError>([&] { LerCabecalho("<?xml version=\"1.0\"?>"); }),
            "'' is not a valid integer value");
}

TEST(LerProcesso, ReadsItemsIntoLotOrderWithMultiLineDescriptions) {
  std::string bytes =
      Cabecalho("3") +
      ItemBytes("1", "123456789012345", "Caneta", "Azul", " Bic ", "10", "1,5", "1", "2") +
      "<produto>\r\n <ordem>2</ordem>\r\n <codigo>C2</codigo>\r\n <nome>Papel</nome>\r\n"
      " <descricao>A\r\nB\r\nC</descricao>\r\n <marca></marca>\r\n "
      "<quantidade>12,5</quantidade>\r\n"
      " <valor></valor>\r\n <apuracao>2</apuracao>\r\n <lote>1</lote>\r\n</produto>\r\n" +
      ItemBytes("3", "C3", "Clipe", "Caixa", "", "3", "0,25", "1", "") + Fim();
  TTabelaItens t;
  auto cab = LerProcessoDeBytes(bytes, t);
  EXPECT_EQ(cab.totalItens, 3);
  ASSERT_EQ(t.NumLinhas(), 3);
  // Index order: empty lot first, then "1", then "2".
  EXPECT_EQ(t.Linha(0).ordem, 3);
  EXPECT_EQ(t.Linha(1).ordem, 2);
  EXPECT_EQ(t.Linha(2).ordem, 1);
  EXPECT_EQ(t.Linha(1).descricao, " A B C");
  EXPECT_EQ(t.Linha(1).valor, 0.0);  // an empty price reads as 0
  EXPECT_EQ(t.Linha(1).quantidade, 12.5);
  EXPECT_EQ(t.Linha(2).codigo, "12345678901");  // cut to the field's width
  EXPECT_EQ(t.Linha(2).marca, " Bic ");         // blanks inside the tags belong to the value
  EXPECT_EQ(t.NumeroLinha(), 1);
}

TEST(LerProcesso, LineEndingsCarriageReturnsAndEndOfFileByte) {
  std::string lf =
      "<processo label=\"00010002\" descricao=\"d\" totalitens=\"1\">\n<produtos>\n<produto>\n"
      " <ordem>7</ordem>\n <codigo>X</codigo>\n <nome>N\rome</nome>\n <descricao>D</descricao>\n"
      " <marca>M</marca>\n <quantidade>1</quantidade>\n <valor>2</valor>\n <apuracao>1</apuracao>\n"
      " <lote>1</lote>\n</produto>\n</produtos>\n\x1A garbage after the end";
  TTabelaItens t;
  auto cab = LerProcessoDeBytes(lf, t);
  EXPECT_EQ(cab.label5, "0001/0002");
  ASSERT_EQ(t.NumLinhas(), 1);
  EXPECT_EQ(t.Linha(0).nome, "Nome");  // a lone CR is dropped

  // The 1A byte ends the file even in the middle of the items: the rest reads as empty lines.
  std::string cortado =
      Cabecalho("1") +
      "<produto>\r\n <ordem>1</ordem>\r\n <codigo>X</codigo>\r\n <nome>N</nome>\r\n"
      " <descricao>D</descricao>\r\n <marca>M</marca>\x1A\r\n <quantidade>1</quantidade>\r\n";
  TTabelaItens t2;
  EXPECT_EQ(teste::ErroDe<base::EConvertError>([&] { LerProcessoDeBytes(cortado, t2); }),
            "'' is not a valid floating point value");  // quantidade of a missing line
}

TEST(LerProcesso, EveryLineShapeReadsByThePositionRule) {
  // Lines as the writer writes them are read on a quick path; every other shape must give what
  // the position rule gives for the line without its CRs.
  const std::string linhas[] = {
      " <marca>Bic</marca>\r\n",
      " <marca>Bic</marca>\n",
      " <marca>B\rc</marca>\r\n",
      " <marca>a<b</marca>\r\n",
      " <marca>x</marca>resto\r\n",
      " <marca>x</marca>\r\r\n",
      "<marca>x</marca>\r\n",
      "  <marca>x</marca>\r\n",
      " <marca></marca>\r\n",
      " <marca>x</marc>\r\n",
      " <marca>x\r\n",
      " </marca><marca>x</marca>\r\n",
      " <marca>x</marca></marca>\n",
      " <marca>1234567890123456789012345</marca>\r\n",
      " <marca>x</ma\rrca>\r\n",
      " <marc\ra>x</marca>\r\n",
      " \r<marca>x</marca>\r\n",
  };
  for (const std::string& linha : linhas) {
    std::string semCr;
    for (char c : linha.substr(0, linha.find('\n')))
      if (c != '\r') semCr += c;
    std::string esperado = ExtrairValor(semCr, "<marca>", "</marca>").substr(0, 20);
    std::string bytes =
        Cabecalho("1") +
        "<produto>\r\n <ordem>1</ordem>\r\n <codigo>C</codigo>\r\n <nome>N</nome>\r\n"
        " <descricao>D</descricao>\r\n" +
        linha + " <quantidade>1</quantidade>\r\n <valor>2</valor>\r\n" +
        " <apuracao>1</apuracao>\r\n <lote>7</lote>";  // the file ends here
    TTabelaItens t;
    LerProcessoDeBytes(bytes, t);
    ASSERT_EQ(t.NumLinhas(), 1) << linha;
    EXPECT_EQ(t.Linha(0).marca, esperado) << linha;
    EXPECT_EQ(t.Linha(0).lote, "7") << linha;
    EXPECT_EQ(t.Linha(0).quantidade, 1.0) << linha;
  }
}

TEST(LerProcesso, CountsDecideHowManyItemsAreRead) {
  std::string dois = Cabecalho("1") + ItemBytes("1", "A", "a", "d", "", "1", "1", "1", "1") +
                     ItemBytes("2", "B", "b", "d", "", "1", "1", "1", "1") + Fim();
  TTabelaItens t;
  LerProcessoDeBytes(dois, t);
  EXPECT_EQ(t.NumLinhas(), 1);  // more items than announced: the extra ones are ignored

  for (const char* n : {"0", "-3"}) {
    TTabelaItens v;
    LerProcessoDeBytes(Cabecalho(n) + Fim(), v);
    EXPECT_TRUE(v.Aberta());
    EXPECT_TRUE(v.Vazia());
  }
}

TEST(LerProcesso, MalformedInputsRaiseTheirMessagesAndKeepTheTable) {
  struct Caso {
    std::string bytes, mensagem;
  } casos[] = {
      {Cabecalho("x") + Fim(), "'x' is not a valid integer value"},
      {Cabecalho("1") + ItemBytes("um", "A", "a", "d", "", "1", "1", "1", "1") + Fim(),
       "'um' is not a valid integer value"},
      {Cabecalho("1") + ItemBytes("1", "A", "a", "d", "", "1.5", "1", "1", "1") + Fim(),
       "'1.5' is not a valid floating point value"},
      {Cabecalho("1") + ItemBytes("1", "A", "a", "d", "", "1", "abc", "1", "1") + Fim(),
       "'abc' is not a valid floating point value"},
      {Cabecalho("2") + ItemBytes("1", "A", "a", "d", "", "1", "1", "1", "1") + Fim(),
       "'' is not a valid integer value"},  // lines missing at the end read as empty
      {Cabecalho("1") +
           "<produto>\r\n <ordem>5</ordem>\r\n <codigo>A</codigo>\r\n <nome>a</nome>\r\n"
           " <descricao>sem fim\r\nmais texto\r\n",
       "O arquivo terminou dentro da descri\xE7\xE3o do item 5: falta a marca </descricao>. O "
       "arquivo n\xE3o foi "
       "aberto."},
  };
  for (const auto& c : casos)
    FalhaMantendoOAberto<base::Exception>([&](TTabelaItens& t) { LerProcessoDeBytes(c.bytes, t); },
                                          c.mensagem);
}

TEST(LerProcesso, OnlyRegularFilesWithinTheLimitAreRead) {
  teste::PastaTemporaria pasta;
  std::string fifo = pasta / "fila.xml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string grande = pasta / "grande.xml";
  {
    std::ofstream(grande, std::ios::binary).put('<');
    std::filesystem::resize_file(grande, kLimiteArquivoProcesso + 1);  // sparse: nothing is read
  }
  std::string falhaAoLer = pasta / "memoria.xml";
  std::filesystem::create_symlink("/proc/self/mem", falhaAoLer);  // opens, then the read fails
  struct Caso {
    std::string caminho, mensagem;
  } casos[] = {
      {pasta / "nao-existe.xml", "File not found"},
      {falhaAoLer, "I/O error 5"},
      {pasta.caminho(), pasta.caminho() +
                            " n\xE3o \xE9 um arquivo comum (\xE9 uma pasta). Escolha o "
                            "arquivo .xml do processo."},
      {fifo, fifo + " n\xE3o \xE9 um arquivo comum (\xE9 um pipe (FIFO)). Escolha o arquivo .xml "
                    "do processo."},
      {"/dev/zero",
       "/dev/zero n\xE3o \xE9 um arquivo comum (\xE9 um dispositivo). Escolha o "
       "arquivo .xml do processo."},
      {grande, grande + " \xE9 grande demais (" + std::to_string(kLimiteArquivoProcesso + 1) +
                   " bytes; o limite \xE9 " + std::to_string(kLimiteArquivoProcesso) +
                   " bytes). Um processo de 100.000 itens tem cerca de 28 MB: confira se este "
                   "\xE9 o arquivo do processo."},
  };
  for (const auto& c : casos)
    FalhaMantendoOAberto<base::EInOutError>([&](TTabelaItens& t) { LerProcesso(c.caminho, t); },
                                            c.mensagem);
}

TEST(EscreveDocumento, ExactBytesOfProcessAndProposalFiles) {
  std::string entrada =
      Cabecalho("3", "  Preg\xE3o & cia \t") +
      ItemBytes("2", "B", "Papel", "Folha", "", "12,5", "", "2", "1") +
      "<produto>\r\n <ordem>1</ordem>\r\n <codigo>A</codigo>\r\n <nome>Caneta</nome>\r\n"
      " <descricao>linha um\r\nlinha dois</descricao>\r\n <marca>Bic</marca>\r\n"
      " <quantidade>10</quantidade>\r\n <valor>0,1</valor>\r\n <apuracao>1</apuracao>\r\n"
      " <lote>1</lote>\r\n</produto>\r\n" +
      ItemBytes("3", "C", "Clipe", "d", "X", "1000000", "1234567,891", "1", "") + Fim();
  TTabelaItens t;
  auto cab = LerProcessoDeBytes(entrada, t);
  // Clearing a price makes it null: written back as 0.
  t.IrParaLinha(3);
  t.Edita();
  t.Limpa(Campo::valor);
  t.Grava();

  std::string esperado =
      "<processo label=\"20240015\" descricao=\"Preg\xE3o & cia\" "
      "totalitens=\"3\">\r\n<produtos>\r\n" +
      ItemBytes("3", "C", "Clipe", "d", "X", "1000000", "1234567,891", "1", "") +
      ItemBytes("2", "B", "Papel", "Folha", "", "12,5", "0", "2", "1") +
      ItemBytes("1", "A", "Caneta", "linha um linha dois", "Bic", "10", "0", "1", "1") + Fim();
  int passos = 0;
  EXPECT_EQ(MontaDocumento(t, cab.label5, "  Preg\xE3o & cia \t", std::nullopt, [&] { ++passos; }),
            esperado);
  EXPECT_EQ(passos, 3);
  EXPECT_EQ(MontaDocumento(t, cab.label5, "  Preg\xE3o & cia \t", std::string("ACME Ltda")),
            esperado + "<fornecedor>ACME Ltda</fornecedor>\r\n");
  EXPECT_EQ(MontaDocumento(t, cab.label5, "Preg\xE3o & cia", std::string()),
            esperado + "<fornecedor></fornecedor>\r\n");

  // A quotation label is written back as a process label of its characters 1-4 and 6-9.
  TTabelaItens vazia;
  vazia.Reinicia();
  EXPECT_EQ(
      MontaDocumento(vazia, "2024/0007AB", "x", std::nullopt),
      "<processo label=\"20240007\" descricao=\"x\" totalitens=\"0\">\r\n<produtos>\r\n" + Fim());
}

TEST(EscreveDocumento, RoundTripOfTheExampleIsStable) {
  std::string original = teste::Le(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml");
  ASSERT_FALSE(original.empty());
  TTabelaItens t;
  auto cab = LerProcessoDeBytes(original, t);
  std::string uma = MontaDocumento(t, cab.label5, cab.descricao, std::nullopt);
  TTabelaItens t2;
  auto cab2 = LerProcessoDeBytes(uma, t2);
  EXPECT_EQ(cab2.label5, cab.label5);
  EXPECT_EQ(cab2.totalItens, t.NumLinhas());
  ASSERT_EQ(t2.NumLinhas(), t.NumLinhas());
  for (int i = 0; i < t.NumLinhas(); ++i) {
    EXPECT_EQ(t2.Linha(i).ordem, t.Linha(i).ordem);
    EXPECT_EQ(t2.Linha(i).valor, t.Linha(i).valor);
    EXPECT_EQ(t2.Linha(i).quantidade, t.Linha(i).quantidade);
    EXPECT_EQ(t2.Linha(i).descricao.substr(t2.Linha(i).descricao.find_first_not_of(' ')),
              t.Linha(i).descricao.substr(t.Linha(i).descricao.find_first_not_of(' ')));
  }
  // Written once, the file is a fixed point of read + write.
  EXPECT_EQ(MontaDocumento(t2, cab2.label5, cab2.descricao, std::nullopt), uma);
}

TEST(EscreveDocumento, AFirstLineThatOpensReadsBackTheSameAfterARewrite) {
  // A well-formed first line is written back byte for byte, and so is one whose label is shorter
  // than eight characters (no stray quote). A first line the rewrite could not write back so that
  // it reads the same is refused when the file is opened: no label attribute (the caption would
  // hold the count's attribute), or a description holding the count's attribute (a later count
  // would not read back). A quotation is rewritten as a process, with its label's characters 1-4
  // and 6-9.
  const std::string kRecusa =
      "A primeira linha do arquivo n\xE3o segue o formato <processo label=\"AAAABBBB\" "
      "descricao=\"...\" totalitens=\"N\">, e o programa n\xE3o conseguiria regrav\xE1-la sem "
      "estragar o cabe\xE7"
      "alho. O arquivo n\xE3o foi aberto: corrija a primeira linha ou pe\xE7"
      "a ao \xF3rg\xE3o um novo arquivo do processo.";
  struct Caso {
    std::string linha, regravada;  // regravada empty: refused
  } casos[] = {
      {"<processo label=\"20240015\" descricao=\"Preg\xE3o & cia\" totalitens=\"1\">",
       "<processo label=\"20240015\" descricao=\"Preg\xE3o & cia\" totalitens=\"1\">"},
      {"<processo label=\"1234567\" descricao=\"d\" totalitens=\"1\">",
       "<processo label=\"1234567\" descricao=\"d\" totalitens=\"1\">"},
      {"<processo label=\"12\" descricao=\"d\" totalitens=\"1\">",
       "<processo label=\"12\" descricao=\"d\" totalitens=\"1\">"},
      {"<processo label=\"20240015\" descricao=\"  d \" totalitens=\"1\">",
       "<processo label=\"20240015\" descricao=\"d\" totalitens=\"1\">"},
      {"<cotacao label=\"2024/0007AB\" descricao=\"c\" totalitens=\"1\">",
       "<processo label=\"20240007\" descricao=\"c\" totalitens=\"1\">"},
      {"<processo totalitens=\"1\">", ""},
      {"<processo label=\"20240015\" descricao=\"ver totalitens=\"1\">\" totalitens=\"1\">", ""},
  };
  for (const auto& c : casos) {
    std::string bytes = c.linha + "\r\n<produtos>\r\n" +
                        ItemBytes("1", "A", "a", "d", "", "1", "1", "1", "1") + Fim();
    TTabelaItens t;
    if (c.regravada.empty()) {
      LerProcessoDeBytes(Cabecalho("0") + Fim(), t);
      EXPECT_EQ(teste::ErroDe<base::EFormatoInvalido>([&] { LerProcessoDeBytes(bytes, t); }),
                kRecusa)
          << c.linha;
      EXPECT_TRUE(t.Vazia());
      continue;
    }
    auto cab = LerProcessoDeBytes(bytes, t);
    std::string uma = MontaDocumento(t, cab.label5, cab.descricao, std::nullopt);
    EXPECT_EQ(uma.substr(0, uma.find("\r\n")), c.regravada);
    TTabelaItens t2;
    auto cab2 = LerProcessoDeBytes(uma, t2);
    if (!cab.cotacao) {
      EXPECT_EQ(cab2.label5, cab.label5) << c.linha;
    }
    EXPECT_EQ(cab2.descricao, base::Trim(cab.descricao)) << c.linha;
    EXPECT_EQ(cab2.totalItens, 1) << c.linha;
    ASSERT_EQ(t2.NumLinhas(), 1);
    EXPECT_EQ(MontaDocumento(t2, cab2.label5, cab2.descricao, std::nullopt), uma) << c.linha;
    // A rewrite after the only item was deleted still reads back.
    t2.Apaga();
    TTabelaItens t3;
    EXPECT_EQ(LerProcessoDeBytes(MontaDocumento(t2, cab2.label5, cab2.descricao, std::nullopt), t3)
                  .totalItens,
              0);
  }
}

TEST(EscreveDocumento, AFailedWriteLeavesTheOldFileWhole) {
  teste::PastaTemporaria pasta;
  std::string alvo = pasta / "pregao.xml";
  std::string antigo = Cabecalho("0") + Fim();
  teste::Grava(alvo, antigo);
  TTabelaItens t;
  LerProcessoDeBytes(Cabecalho("1") + ItemBytes("1", "A", "a", "d", "", "1", "1", "1", "1") + Fim(),
                     t);
  platform::failAtomicStepForTesting(platform::AtomicStep::Write, 1, 28 /* ENOSPC */);
  EXPECT_EQ(teste::ErroDe<base::EInOutError>(
                [&] { EscreveDocumento(alvo, t, "2024/0015", "d", std::nullopt); }),
            "I/O error 28");
  EXPECT_EQ(teste::Le(alvo), antigo);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pasta.caminho()), {}), 1);
}

TEST(CaminhoProposta, CompanyNameBeforeTheExtension) {
  EXPECT_EQ(CaminhoProposta("/dados/pregao15.xml", "ACME"), "/dados/pregao15ACME.xml");
  EXPECT_EQ(CaminhoProposta("/dados/pregao15.xml", ""), "/dados/pregao15.xml");
  EXPECT_EQ(CaminhoProposta("/dados/p.xml", "Jos\xE9"),
            "/dados/pJos\xC3\xA9.xml");  // 1252 name, UTF-8 path
}
