// The preview's search over a store of several blocks (split by out-of-order inserts): walking by
// index and backwards across blocks, the clamping at both ends, and the search on an empty store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "report/RDbusca.h"
#include "report/RDestado.h"
#include "report/RelatorioTeste.h"

using report::EstadoRelatorio;
using report::TAchado;

namespace {

// A T entry at a page, line and column.
std::string Entrada(int pagina, int linha, int coluna, const std::string& texto) {
  return teste::Comando(pagina, linha, coluna, 16, 'T', texto);
}

// 3,000 entries inserted in shuffled order (so blocks split and differ in size); entry 0 holds
// "alvo" and so does the last one.
class Busca : public ::testing::Test {
 protected:
  Busca() {
    report::ReiniciaEstadoRelatorio();
    auto& p = EstadoRelatorio().paginas;
    p = std::make_unique<report::TPaginasRelatorio>();
    std::vector<std::string> todas;
    for (int i = 0; i < 3000; ++i)
      todas.push_back(Entrada(1 + i / 60, 1 + i % 60, 1, i == 0 || i == 2999 ? "o alvo" : "texto"));
    std::mt19937 g(7);
    std::shuffle(todas.begin(), todas.end(), g);
    for (const auto& e : todas) p->Insere(e);
  }
  ~Busca() override { report::ReiniciaEstadoRelatorio(); }
};

}  // namespace

// NaOrdem and Recua walk the same order as ParaCada, across every block boundary.
TEST_F(Busca, IndexAndBackwardWalkFollowStoreOrder) {
  const auto& p = *EstadoRelatorio().paginas;
  std::vector<std::string> ordem;
  p.ParaCada([&](std::string_view c) { ordem.emplace_back(c); });
  auto pos = p.NaOrdem(ordem.size() - 1);
  for (size_t i = ordem.size(); i-- > 0;) {
    ASSERT_EQ(p.Em(pos), ordem[i]) << i;
    ASSERT_EQ(p.Em(p.NaOrdem(i)), ordem[i]) << i;
    ASSERT_EQ(p.Recua(pos), i > 0) << i;
  }
  EXPECT_EQ(p.NaOrdem(ordem.size()), p.Fim());
}

// Upward from the end crosses every block to the first entry, and finds it again from there;
// downward from the start reaches the last and finds it again. Positions out of range are clamped.
TEST_F(Busca, FindsBothEndsAgainAndClampsThePosition) {
  TAchado a;
  int32_t posicao = 2998;
  ASSERT_TRUE(report::ProcuraTexto(false, false, "ALVO", posicao, a));
  EXPECT_EQ(a.indice, 0);
  EXPECT_EQ(posicao, -1);
  ASSERT_TRUE(report::ProcuraTexto(false, false, "ALVO", posicao, a));
  EXPECT_EQ(a.indice, 0);
  EXPECT_EQ(a.pagina, 1);
  EXPECT_EQ(a.linha, 2);
  EXPECT_EQ(a.coluna, 1 + 6);

  posicao = 1;
  ASSERT_TRUE(report::ProcuraTexto(true, false, "alvo", posicao, a));
  EXPECT_EQ(a.indice, 2999);
  EXPECT_EQ(posicao, 3000);
  ASSERT_TRUE(report::ProcuraTexto(true, false, "alvo", posicao, a));
  EXPECT_EQ(a.indice, 2999);
  EXPECT_EQ(EstadoRelatorio().MarcaBusca, "0050060001016M000000o alvo");

  posicao = 500;
  EXPECT_FALSE(report::ProcuraTexto(true, true, "ALVO", posicao, a));
  EXPECT_EQ(posicao, 500);
  EXPECT_TRUE(EstadoRelatorio().MarcaBusca.empty());
  EXPECT_EQ(a.indice, -1);
}

// An empty or missing store finds nothing and does not fail; an empty text finds nothing.
TEST(BuscaSemLoja, FindsNothingInAnEmptyStore) {
  report::ReiniciaEstadoRelatorio();
  TAchado a;
  int32_t posicao = 5;
  EXPECT_FALSE(report::ProcuraTexto(true, false, "x", posicao, a));
  EstadoRelatorio().paginas = std::make_unique<report::TPaginasRelatorio>();
  EXPECT_FALSE(report::ProcuraTexto(false, false, "x", posicao, a));
  EXPECT_EQ(posicao, -1);
  EstadoRelatorio().paginas->Insere(Entrada(1, 1, 1, "x"));
  EXPECT_FALSE(report::ProcuraTexto(true, false, "", posicao, a));
  EXPECT_TRUE(report::ListaOcorrencias(false, "").empty());
  EXPECT_FALSE(report::MarcaEntrada(1, a));
  report::ReiniciaEstadoRelatorio();
}
