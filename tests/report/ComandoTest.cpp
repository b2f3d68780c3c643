// The page command as a value: what the decoder reads from stored texts, that the encoder writes
// what the decoder reads back, and how one output's reader reports, expands macros and carries
// the pitch only within itself.
#include "report/RDcomando.h"
#include "report/RDpercurso.h"
#include "report/RelatorioTeste.h"

using namespace report;
using teste::RelatorioTeste;

TEST(Comando, DecodesTheFieldsOfStoredTexts) {
  const struct {
    const char* entrada;
    int pagina, linha, coluna, atributo, cpi;
    bool expandido, sublinhado, negrito, italico;
    char codigo;
    TColor cor;
    const char* texto;
  } casos[] = {
      {"0002010005024T0000FFtexto", 2, 10, 5, 24, 5, true, false, false, false, 'T', 0xFF0000,
       "texto"},
      {"0001001001448X000000x", 1, 1, 1, 448, 17, false, false, false, false, 'X', 0, "x"},
      {"0001001001023D00ff00a&PAGE&", 1, 1, 1, 23, 10, false, true, true, true, 'D', 0x00FF00,
       "a&PAGE&"},
      {"9999999999016B000000", 9999, 999, 999, 16, 10, false, false, false, false, 'B', 0, ""},
  };
  for (const auto& c : casos) {
    TComando d;
    ASSERT_TRUE(DecodificaComando(c.entrada, d)) << c.entrada;
    EXPECT_EQ(d.Pagina, c.pagina) << c.entrada;
    EXPECT_EQ(d.Linha, c.linha) << c.entrada;
    EXPECT_EQ(d.Coluna, c.coluna) << c.entrada;
    EXPECT_EQ(d.Atributo, c.atributo) << c.entrada;
    EXPECT_EQ(d.Cpi, c.cpi) << c.entrada;
    EXPECT_EQ(d.Expandido, c.expandido) << c.entrada;
    EXPECT_EQ(d.Sublinhado, c.sublinhado) << c.entrada;
    EXPECT_EQ(d.Negrito, c.negrito) << c.entrada;
    EXPECT_EQ(d.Italico, c.italico) << c.entrada;
    EXPECT_EQ(d.Codigo, c.codigo) << c.entrada;
    EXPECT_EQ(d.Cor, c.cor) << c.entrada;
    EXPECT_EQ(d.Texto, c.texto) << c.entrada;
  }
}

TEST(Comando, AFailedDecodeLeavesTheValueAsItWas) {
  TComando d;
  ASSERT_TRUE(DecodificaComando("0003002001064T000000antes", d));
  for (const char* ruim :
       {"0001003", "00010030A1016T000000x", "0001003001016TZZ0000x", "0001003001016T0000", ""}) {
    EXPECT_FALSE(DecodificaComando(ruim, d)) << ruim;
    EXPECT_EQ(d.Pagina, 3) << ruim;
    EXPECT_EQ(d.Cpi, 17) << ruim;
    EXPECT_EQ(d.Texto, "antes") << ruim;
  }
  // Without pitch bits the value keeps the pitch decoded into it before.
  ASSERT_TRUE(DecodificaComando("0003002001007T000000x", d));
  EXPECT_EQ(d.Cpi, 17);
  EXPECT_TRUE(d.Italico && d.Negrito && d.Sublinhado);
}

TEST(Comando, TheEncoderWritesWhatTheDecoderReads) {
  const struct {
    TCabecaComando cabeca;
    const char* texto;
    const char* esperado;  // null: refused
  } casos[] = {
      {{1, 3, 20, 16, 'T', 0}, "Produto:", "0001003020016T000000Produto:"},
      {{12, 66, 136, 511, 'X', 0x123456}, "", "0012066136511X563412"},
      {{10000, 1, 1, 16, 'T', 0}, "x", nullptr},
      {{1, 1000, 1, 16, 'T', 0}, "x", nullptr},
      {{1, 1, 1, 16, 'T', -16}, "x", nullptr},  // a system colour has no RGB digits
  };
  for (const auto& c : casos) {
    std::string saida = "intocada";
    const bool ok = CodificaComando(c.cabeca, c.texto, saida);
    if (!c.esperado) {
      EXPECT_FALSE(ok) << c.texto;
      EXPECT_EQ(saida, "intocada");
      continue;
    }
    ASSERT_TRUE(ok) << c.esperado;
    EXPECT_EQ(saida, c.esperado);
    TComando d;
    ASSERT_TRUE(DecodificaComando(saida, d));
    EXPECT_EQ(d.Pagina, c.cabeca.Pagina);
    EXPECT_EQ(d.Linha, c.cabeca.Linha);
    EXPECT_EQ(d.Coluna, c.cabeca.Coluna);
    EXPECT_EQ(d.Atributo, c.cabeca.Atributo);
    EXPECT_EQ(d.Codigo, c.cabeca.Codigo);
    EXPECT_EQ(d.Cor, c.cabeca.Cor);
    EXPECT_EQ(d.Texto, c.texto);
  }
}

TEST(Comando, SingleFieldsOfAStoredEntry) {
  EXPECT_EQ(PaginaDe("0042001001016T000000x", 1), 42);
  EXPECT_EQ(PaginaDe("00x2001001016T000000x", 1), 1);
  EXPECT_EQ(CodigoDe("0001001001016B000000x"), 'B');
  EXPECT_EQ(CodigoDe("0001001001016"), '\0');
  EXPECT_EQ(TextoDe("0001001001016T000000texto"), "texto");
  EXPECT_EQ(ComOutroCodigo("0001001001016T000000x", 'M'), "0001001001016M000000x");
  EXPECT_TRUE(ComandoBemFormado("0001001001016T00aaFFx"));
  EXPECT_FALSE(ComandoBemFormado("0001001001016T00aaF"));
  EXPECT_FALSE(ComandoBemFormado("000100100101AT000000x"));
}

TEST_F(RelatorioTeste, OneOutputsReaderReportsExpandsAndKeepsItsPitchToItself) {
  rd->TitulodoRelatorio = "Meu";
  ASSERT_TRUE(rd->Abrir());
  std::vector<std::string> erros;
  rd->OnErro = [&](TRDprint&, const std::string& m) { erros.push_back(m); };

  TLeitorComandos primeiro(*rd);
  const TComando* c = primeiro.Le("0001001001064T000000&titulo& &PAGE&");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Texto, "Meu 1");
  EXPECT_EQ(c->Cpi, 17);
  EXPECT_FALSE(primeiro.Le("00010010A1016T000000x"));
  c = primeiro.Le("0001001001002T000000sem pitch");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Cpi, 17);  // within one output the pitch carries over

  TLeitorComandos segundo(*rd);  // the next output starts from the report's default pitch
  c = segundo.Le("0001001001002T000000sem pitch");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Cpi, 10);

  EXPECT_EQ(erros, (std::vector<std::string>{
                       "Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando 00010010A1016T000000x"}));
  EXPECT_TRUE(plataforma.caixas.empty());
}
