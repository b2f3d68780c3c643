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

// A cell read as a price or as a brand: how the reading ends and what it gives (the count of a
// price, the brand's text) when accepted.
enum class Campo { Preco, Marca };
struct Caso {
  Campo campo;
  Celula celula;
  Leitura esperada;
  std::string lido;
};

std::string Le(const Caso& c, Leitura& leitura, std::string& motivo) {
  if (c.campo == Campo::Marca) {
    std::string marca;
    leitura = planilha::LeMarca(c.celula, marca, motivo);
    return marca;
  }
  app::Contagem v = -1;
  leitura = planilha::LePreco(c.celula, v, motivo);
  return leitura == Leitura::Aceita ? std::to_string(v) : std::string();
}

TEST(CelulaLida, PricesAreExactBrandsFollowTheEntryRulesAndTheRestIsRefused) {
  const Caso casos[] = {
      {Campo::Preco, Texto("1.234,56"), Leitura::Aceita, "12345600"},
      {Campo::Preco, Texto("43,5"), Leitura::Aceita, "435000"},
      {Campo::Preco, Texto("R$ 43,50"), Leitura::Aceita, "435000"},
      {Campo::Preco, Texto("R$43,5"), Leitura::Aceita, "435000"},
      {Campo::Preco, Texto(" 0,0001 "), Leitura::Aceita, "1"},
      {Campo::Preco, Texto("1.234.567,8"), Leitura::Aceita, "12345678000"},
      {Campo::Preco, Texto("1.234.567"), Leitura::Aceita, "12345670000"},
      {Campo::Preco, Texto("43.5"), Leitura::Aceita, "435000"},
      {Campo::Preco, Texto("43.50"), Leitura::Aceita, "435000"},
      {Campo::Preco, Texto("12"), Leitura::Aceita, "120000"},
      {Campo::Preco, Texto("1.234"), Leitura::Recusada, ""},    // thousand or one and a bit?
      {Campo::Preco, Texto("0,00001"), Leitura::Recusada, ""},  // a fifth decimal is never rounded
      {Campo::Preco, Texto("12,3,4"), Leitura::Recusada, ""},
      {Campo::Preco, Texto("1.23,4"), Leitura::Recusada, ""},
      {Campo::Preco, Texto("-5,00"), Leitura::Recusada, ""},
      {Campo::Preco, Texto("abc"), Leitura::Recusada, ""},
      {Campo::Preco, Texto("#DIV/0!"), Leitura::Recusada, ""},
      {Campo::Preco, Texto("R$ "), Leitura::Vazia, ""},
      {Campo::Preco, Celula{}, Leitura::Vazia, ""},
      {Campo::Preco, Numero(43.5), Leitura::Aceita, "435000"},
      {Campo::Preco, Numero(0.1 + 0.2, true), Leitura::Aceita, "3000"},  // a formula's noise
      {Campo::Preco, Numero(1234.5678), Leitura::Aceita, "12345678"},
      {Campo::Preco, Numero(0), Leitura::Aceita, "0"},
      {Campo::Preco, Numero(1.23456), Leitura::Recusada, ""},
      {Campo::Preco, Numero(0.00001), Leitura::Recusada, ""},
      {Campo::Preco, Numero(-1), Leitura::Recusada, ""},
      {Campo::Preco, Numero(1e20), Leitura::Recusada, ""},
      {Campo::Marca, Texto("Acme"), Leitura::Aceita, "Acme"},
      {Campo::Marca, Texto("Ind\xFAstria S\xE3o Jo\xE3o"), Leitura::Aceita, "Industria Sao Joao"},
      {Campo::Marca, Texto("A/B:C*D'E"), Leitura::Aceita, "ABCDE"},
      {Campo::Marca, Texto("  Acme  "), Leitura::Aceita, "Acme"},
      {Campo::Marca, Numero(3), Leitura::Aceita, "3"},
      {Campo::Marca, Texto("12345678901234567890"), Leitura::Aceita, "12345678901234567890"},
      {Campo::Marca, Texto("123456789012345678901"), Leitura::Recusada, ""},  // never cut
      {Campo::Marca, Texto("///"), Leitura::Vazia, ""},
      {Campo::Marca, Celula{}, Leitura::Vazia, ""},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(
        (c.campo == Campo::Preco ? "pre\xE7o " : "marca ") +
        (c.celula.tipo == TipoCelula::Numero ? std::to_string(c.celula.numero) : c.celula.texto));
    Leitura leitura = Leitura::Vazia;
    std::string motivo;
    EXPECT_EQ(Le(c, leitura, motivo), c.lido);
    EXPECT_EQ(leitura, c.esperada);
    EXPECT_EQ(motivo.empty(), c.esperada != Leitura::Recusada) << motivo;
  }
}

TEST(LePreco, AnAmbiguousPriceNamesBothReadingsOfWhatWasTyped) {
  for (const auto& [escrito, leituras] : {std::pair{"2.500", "(2.500,00 ou 2,500?)"},
                                          std::pair{"R$ 1.234", "(1.234,00 ou 1,234?)"}}) {
    app::Contagem v = -1;
    std::string motivo;
    EXPECT_EQ(planilha::LePreco(Texto(escrito), v, motivo), Leitura::Recusada);
    EXPECT_NE(motivo.find(leituras), std::string::npos) << motivo;
  }
}

TEST(NomeComparavel, IgnoresCaseAccentsAndRepeatedBlanks) {
  const struct {
    const char* nome;
    const char* comparavel;
  } casos[] = {
      {"  Caneta   ESFEROGR\xC1"
       "FICA azul ",
       "caneta esferografica azul"},
      {"L\xE1pis\tPRETO", "lapis preto"},
  };
  for (const auto& c : casos) EXPECT_EQ(planilha::NomeComparavel(c.nome), c.comparavel);
}

}  // namespace
