// The page store: order, duplicates, out-of-order inserts and the search for a page's entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "report/RDpaginas.h"

using report::TPaginasRelatorio;

namespace {
std::vector<std::string> Todos(const TPaginasRelatorio& p) {
  std::vector<std::string> r;
  p.ParaCada([&](std::string_view c) { r.emplace_back(c); });
  return r;
}
std::string Comando(int pagina, int linha, int coluna, const char* texto) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%03d%03d016T000000%s", pagina, linha, coluna, texto);
  return buf;
}
}  // namespace

TEST(PaginasRelatorio, KeepsCommandsSortedIgnoringCaseAndKeepsDuplicates) {
  TPaginasRelatorio p;
  p.Insere("0001002001016T000000b");
  p.Insere("0001001001016T000000a");
  p.Insere("0001001001016T000000a");
  p.Insere("0001001001016T000000B");
  p.Insere("0001001001016T000000b");
  EXPECT_EQ(Todos(p), (std::vector<std::string>{"0001001001016T000000a", "0001001001016T000000a",
                                                "0001001001016T000000B", "0001001001016T000000b",
                                                "0001002001016T000000b"}));
  EXPECT_EQ(p.Quantidade(), 5u);
  EXPECT_EQ(p.Ultimo(), "0001002001016T000000b");
  p.Limpa();
  EXPECT_TRUE(p.Vazia());
  EXPECT_TRUE(Todos(p).empty());
}

TEST(PaginasRelatorio, ShuffledInsertsAcrossManyBlocksEndSorted) {
  std::vector<std::string> comandos;
  for (int pagina = 1; pagina <= 30; ++pagina)
    for (int linha = 1; linha <= 60; ++linha)
      for (int coluna : {1, 40, 90}) comandos.push_back(Comando(pagina, linha, coluna, "texto"));
  std::vector<std::string> esperado = comandos;  // generated in order
  std::mt19937 gerador(7);
  std::shuffle(comandos.begin(), comandos.end(), gerador);
  TPaginasRelatorio p;
  for (const auto& c : comandos) p.Insere(c);
  EXPECT_EQ(Todos(p), esperado);

  // The first entry of every page, found by binary search.
  for (int pagina : {1, 2, 17, 30}) {
    char prefixo[8];
    std::snprintf(prefixo, sizeof prefixo, "%04d", pagina);
    auto pos = p.PrimeiraComPrefixo(prefixo);
    ASSERT_NE(pos, p.Fim());
    EXPECT_EQ(p.Em(pos), Comando(pagina, 1, 1, "texto"));
  }
  EXPECT_EQ(p.PrimeiraComPrefixo("0031"), p.Fim());
}

TEST(PaginasRelatorio, AFewOutOfOrderCommandsInAnAppendedStore) {
  TPaginasRelatorio p;
  for (int pagina = 1; pagina <= 5; ++pagina)
    for (int linha = 2; linha <= 600; ++linha) p.Insere(Comando(pagina, linha, 1, "x"));
  for (int pagina = 5; pagina >= 1; --pagina) p.Insere(Comando(pagina, 1, 1, "cabecalho"));
  std::vector<std::string> todos = Todos(p);
  ASSERT_EQ(todos.size(), 5u * 600);
  EXPECT_TRUE(std::is_sorted(todos.begin(), todos.end()));
  for (int pagina = 1; pagina <= 5; ++pagina)
    EXPECT_EQ(todos[(pagina - 1) * 600], Comando(pagina, 1, 1, "cabecalho"));
}

TEST(PaginasRelatorio, PrefixSearchOnAnEmptyOrMalformedStore) {
  TPaginasRelatorio p;
  EXPECT_EQ(p.PrimeiraComPrefixo("0001"), p.Fim());
  p.Insere("00");
  p.Insere("0002001001016T000000x");
  auto pos = p.PrimeiraComPrefixo("0001");
  ASSERT_NE(pos, p.Fim());
  EXPECT_EQ(p.Em(pos), "0002001001016T000000x");
}
