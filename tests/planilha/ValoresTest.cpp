// Prices and brands as the import reads them from cells: exact counts, the Brazilian text format,
// refusals instead of silent rounding or cutting.
#include <gtest/gtest.h>

#include "planilha/Valores.h"

namespace {

using planilha::Celula;
using planilha::Leitura;
using planilha::TipoCelula;

Celula Texto(const std::string& t) { return {TipoCelula::Texto, 0, t, false}; }
Celula Numero(double v, bool formula = false) { return {TipoCelula::Numero, v, "", formula}; }

struct CasoPreco {
  Celula celula;
  Leitura esperada;
  app::Contagem valor;  // when accepted
};

TEST(PrecoDaCelula, TextsAndNumbersGiveExactCountsOrAreRefused) {
  const CasoPreco casos[] = {
      {Texto("1.234,56"), Leitura::Aceita, 12345600},
      {Texto("43,5"), Leitura::Aceita, 435000},
      {Texto("R$ 43,50"), Leitura::Aceita, 435000},
      {Texto("R$43,5"), Leitura::Aceita, 435000},
      {Texto(" 0,0001 "), Leitura::Aceita, 1},
      {Texto("1.234.567,8"), Leitura::Aceita, 12345678000},
      {Texto("1.234.567"), Leitura::Aceita, 12345670000},
      {Texto("43.5"), Leitura::Aceita, 435000},
      {Texto("43.50"), Leitura::Aceita, 435000},
      {Texto("12"), Leitura::Aceita, 120000},
      {Texto("1.234"), Leitura::Recusada, 0},    // thousand or one and a bit?
      {Texto("0,00001"), Leitura::Recusada, 0},  // a fifth decimal is never rounded away
      {Texto("12,3,4"), Leitura::Recusada, 0},
      {Texto("1.23,4"), Leitura::Recusada, 0},
      {Texto("-5,00"), Leitura::Recusada, 0},
      {Texto("abc"), Leitura::Recusada, 0},
      {Texto("#DIV/0!"), Leitura::Recusada, 0},
      {Texto("R$ "), Leitura::Vazia, 0},
      {Celula{}, Leitura::Vazia, 0},
      {Numero(43.5), Leitura::Aceita, 435000},
      {Numero(0.1 + 0.2, true), Leitura::Aceita, 3000},  // a formula's binary noise
      {Numero(1234.5678), Leitura::Aceita, 12345678},
      {Numero(0), Leitura::Aceita, 0},
      {Numero(1.23456), Leitura::Recusada, 0},
      {Numero(0.00001), Leitura::Recusada, 0},
      {Numero(-1), Leitura::Recusada, 0},
      {Numero(1e20), Leitura::Recusada, 0},
  };
  for (const CasoPreco& c : casos) {
    SCOPED_TRACE(c.celula.tipo == TipoCelula::Numero ? std::to_string(c.celula.numero)
                                                     : c.celula.texto);
    app::Contagem v = -1;
    std::string motivo;
    EXPECT_EQ(planilha::LePreco(c.celula, v, motivo), c.esperada);
    if (c.esperada == Leitura::Aceita) {
      EXPECT_EQ(v, c.valor);
    }
    EXPECT_EQ(motivo.empty(), c.esperada != Leitura::Recusada) << motivo;
  }
}

TEST(MarcaDaCelula, FollowsTheEntryRulesAndRefusesWhatIsTooLong) {
  struct Caso {
    Celula celula;
    Leitura esperada;
    std::string marca;
  } casos[] = {
      {Texto("Acme"), Leitura::Aceita, "Acme"},
      {Texto("Ind\xFAstria S\xE3o Jo\xE3o"), Leitura::Aceita, "Industria Sao Joao"},
      {Texto("A/B:C*D'E"), Leitura::Aceita, "ABCDE"},
      {Texto("  Acme  "), Leitura::Aceita, "Acme"},
      {Numero(3), Leitura::Aceita, "3"},
      {Texto("12345678901234567890"), Leitura::Aceita, "12345678901234567890"},
      {Texto("123456789012345678901"), Leitura::Recusada, ""},
      {Texto("///"), Leitura::Vazia, ""},
      {Celula{}, Leitura::Vazia, ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.celula.texto);
    std::string marca, motivo;
    EXPECT_EQ(planilha::LeMarca(c.celula, marca, motivo), c.esperada);
    EXPECT_EQ(marca, c.marca);
  }
}

TEST(NomeComparavel, IgnoresCaseAccentsAndRepeatedBlanks) {
  EXPECT_EQ(planilha::NomeComparavel("  Caneta   ESFEROGR\xC1"
                                     "FICA azul "),
            "caneta esferografica azul");
  EXPECT_EQ(planilha::NomeComparavel("L\xE1pis\tPRETO"), "lapis preto");
}

}  // namespace
