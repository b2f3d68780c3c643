// The page command as a value: what the decoder reads from stored texts, that the encoder writes
// what the decoder reads back, and how one output's reader reports, expands macros and carries
// the pitch only within itself; how each drawing output reacts to the sub-fields of lines, frames
// and pictures.
#include <cstdlib>

#include "base/Erros.h"
#include "report/RDcomando.h"
#include "report/RDdesenho.h"
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

TEST(Comando, DrawingSubFieldsAreReadFromTheirPlaces) {
  // A value of -1 stands for "does not convert"; the characters are what the field holds.
  auto valor = [](const TSubcampo& s) { return s.valor ? *s.valor : -1; };
  const struct {
    const char* texto;
    int a, b, c;             // end line, end column, style / index, width, height
    const char* caracteres;  // of the third field
    bool dupla;
  } casos[] = {
      {"0000500008D2", 5, 8, 2, "2", true},
      {"0000500008S", 5, 8, -1, "", false},
      {"00a05 0012$D", -1, 12, -1, "D", false},
      {"00005", 5, -1, -1, "", false},
      {"", -1, -1, -1, "", false},
      {"000020001000030", 2, 10, 0, "0", false},
  };
  for (const auto& c : casos) {
    TComando d;
    d.Texto = c.texto;
    const TLinhaComando l = DecodificaLinha(d);
    EXPECT_EQ(valor(l.LinhaFinal), c.a) << c.texto;
    EXPECT_EQ(valor(l.ColunaFinal), c.b) << c.texto;
    EXPECT_EQ(valor(l.Estilo), c.c) << c.texto;
    EXPECT_EQ(l.Estilo.texto, c.caracteres) << c.texto;
    EXPECT_EQ(l.Dupla, c.dupla) << c.texto;
    const TFiguraComando f = DecodificaFigura(d);
    EXPECT_EQ(valor(f.Indice), c.a) << c.texto;
    EXPECT_EQ(valor(f.Largura), c.b) << c.texto;
  }
  TComando d;
  d.Texto = "00001000020000x";
  const TFiguraComando f = DecodificaFigura(d);
  EXPECT_EQ(f.Altura.texto, "0000x");
  EXPECT_THROW(f.Altura.Valor(), base::EConvertError);
  EXPECT_EQ(f.Largura.Valor(), 2);
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

namespace {

// The drawing commands' sub-fields as each output reacts to them. A reaction is written as
// "=" and the well-formed text the output treats the entry as ("=" alone: as if it were not there),
// "#10" (reported to OnErro and left out: the output is what it is without the entry), or "!" and
// the message of the failure (the renderer raises it, an export fails with it and keeps the old
// file).
class Subcampos : public RelatorioTeste {
 protected:
  Subcampos() {
    ::setenv("SOURCE_DATE_EPOCH", "1796817600", 1);  // the same PDF dates in every export
    rd->TamanhoQteColunas = 136;
    EXPECT_TRUE(rd->Abrir());
    auto imagem = std::make_unique<TImagemRGB>(4, 2);
    for (size_t k = 0; k < imagem->pixels.size(); ++k)
      imagem->pixels[k] = static_cast<uint8_t>(40 * k);
    rd->Imagens.push_back(std::move(imagem));
    rd->OnErro = [this](TRDprint&, const std::string& m) { erros.push_back(m); };
  }
  ~Subcampos() override { ::unsetenv("SOURCE_DATE_EPOCH"); }

  using Saida = std::string (Subcampos::*)();
  // The page drawn bare: each operation's kind and rectangle, or what it raised.
  std::string Desenho() {
    TMetafile m;
    try {
      DesenhaPagina(*rd, 1, m, false);
    } catch (const base::Exception& e) {
      return "!" + e.Mensagem();
    }
    std::string s;
    for (const TOperacaoDesenho& op : m.Operacoes) {
      const TRect& r = op.Rect;
      s += std::to_string(static_cast<int>(op.Tipo)) + ":" + std::to_string(r.Left) + "," +
           std::to_string(r.Top) + "," + std::to_string(r.Right) + "," + std::to_string(r.Bottom) +
           " ";
    }
    return s;
  }
  // An export's bytes, or the message it failed with.
  std::string Exporta(TResultado (TRDprint::*escreve)(std::string)) {
    const std::string arquivo = Caminho("saida");
    const TResultado r = (rd.get()->*escreve)(arquivo);
    if (!r.ok) return "!" + r.mensagem;
    return LeArquivo(arquivo);
  }
  std::string Html() { return Exporta(&TRDprint::EscreveHTML); }
  std::string Pdf() { return Exporta(&TRDprint::EscrevePDF); }

  // The output of a page holding a text and, when given, one entry of `letra` with `texto`.
  std::string Com(Saida saida, char letra, const char* texto) {
    auto& paginas = *EstadoRelatorio().paginas;
    paginas.Limpa();
    paginas.Insere(teste::Comando(1, 1, 1, 16, 'T', "antes"));
    if (texto) paginas.Insere(teste::Comando(1, 2, 3, 16, letra, texto, "00FF00"));
    erros.clear();
    return (this->*saida)();
  }

  // Checks each output's reaction to `texto`.
  void Confere(char letra, const char* texto, const std::string& desenho, const std::string& html,
               const std::string& pdf) {
    Confere(&Subcampos::Desenho, "desenho", letra, texto, desenho);
    Confere(&Subcampos::Html, "html", letra, texto, html);
    Confere(&Subcampos::Pdf, "pdf", letra, texto, pdf);
  }
  // Checks one output's reaction to `texto`.
  void Confere(Saida saida, const char* nome, char letra, const char* texto,
               const std::string& reacao) {
    const std::string obtido = Com(saida, letra, texto);
    const std::vector<std::string> reportados = erros;
    const std::string contexto = std::string(nome) + " " + letra + texto;
    if (reacao[0] == '!') {
      EXPECT_EQ(obtido, reacao) << contexto;
      EXPECT_TRUE(reportados.empty()) << contexto;
    } else if (reacao == "#10") {
      EXPECT_EQ(obtido, Com(saida, letra, nullptr)) << contexto;
      EXPECT_EQ(reportados,
                std::vector<std::string>{"Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " +
                                         teste::Comando(1, 2, 3, 16, letra, texto, "00FF00")})
          << contexto;
    } else {
      const char* igual = reacao.size() > 1 ? reacao.c_str() + 1 : nullptr;  // "=": no entry
      EXPECT_EQ(obtido, Com(saida, letra, igual)) << contexto;
      EXPECT_TRUE(reportados.empty()) << contexto;
    }
  }

  std::vector<std::string> erros;
};

}  // namespace

TEST_F(Subcampos, EachOutputKeepsItsOwnReactionToSubFieldsThatDoNotConvert) {
  const std::string nao = " is not a valid integer value";
  const struct {
    char letra;
    const char* texto;
    std::string desenho, html, pdf;
  } casos[] = {
      // Lines: end line, end column, "D" for double, end style (H and V).
      {'H', "00a0500008S0", "!'00a05'" + nao, "#10", "!'00a05'" + nao},
      {'H', "0000500a08S0", "!'00a08'" + nao, "#10", "!'00a08'" + nao},
      {'H', "00005", "!''" + nao, "#10", "!''" + nao},
      {'H', "", "!''" + nao, "=", "!''" + nao},
      {'H', "0000500008S", "!''" + nao, "=0000500008S0", "=0000500008S0"},
      {'H', "0000500008Dx", "!'x'" + nao, "=0000500008D0", "!'x'" + nao},
      {'H', "0000500008S7", "=", "=0000500008S0", "=0000500008S9"},
      {'H', " 0005$0008S0", "=0000500008S0", "=0000500008S0", "=0000500008S0"},
      {'V', "0000500008D", "!''" + nao, "=0000500008D3", "=0000500008D0"},
      {'V', "000050000", "!''" + nao, "=0000500000S0", "=0000500000S0"},
      // Frames have no end style.
      {'F', "00005xxxxxS", "!'xxxxx'" + nao, "#10", "!'xxxxx'" + nao},
      {'F', "0000500008", "=0000500008S", "=0000500008S", "=0000500008S"},
      {'F', "0000500008Dx", "=0000500008D", "=0000500008D", "=0000500008D"},
      // Pictures: index into the picture list, width and height in millimetres.
      {'G', "0000a0000000000", "!'0000a'" + nao, "#10", "!'0000a'" + nao},
      {'G', "000010000000000", "!List index out of bounds (1)", "!List index out of bounds (1)",
       "!List index out of bounds (1)"},
      {'G', "00001000x000000", "!List index out of bounds (1)", "#10", "!'000x0'" + nao},
      {'G', "0000000000", "!''" + nao, "#10", "!''" + nao},
      {'G', "00000 0010$000A", "=000000001000010", "=000000001000010", "=000000001000010"},
  };
  for (const auto& c : casos) Confere(c.letra, c.texto, c.desenho, c.html, c.pdf);
}
