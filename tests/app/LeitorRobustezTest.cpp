// The reader against damaged files: whatever the bytes, it either reads a table or raises one of
// the program's errors, never crashes, and never changes the table it was given on failure.
#include <gtest/gtest.h>

#include <random>

#include "app/ProcessoArquivo.h"
#include "base/Erros.h"
#include "support/Arquivos.h"
#include "support/Danifica.h"

TEST(LeitorRobustez, DamagedCopiesOfTheExampleNeverCrash) {
  const std::string original = teste::Le(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml");
  ASSERT_FALSE(original.empty());
  std::mt19937 rng(20261209);
  const std::string pedacos =
      "<>/\"\r\n\x1A"
      "09,-e ";
  int lidos = 0, recusados = 0;
  for (int caso = 0; caso < 3000; ++caso) {
    std::string b = teste::Danifica(original, rng, pedacos, 6);
    app::TTabelaItens t;
    t.Reinicia();
    try {
      app::LerProcessoDeBytes(b, t);
      ++lidos;
    } catch (const base::Exception&) {
      ++recusados;
      EXPECT_TRUE(t.Vazia());
    }
  }
  EXPECT_GT(lidos, 0);
  EXPECT_GT(recusados, 0);
}

TEST(LeitorRobustez, HugeItemCountsStopAtTheFirstMissingItem) {
  app::TTabelaItens t;
  std::string b = "<processo label=\"1\" descricao=\"d\" totalitens=\"2147483647\">\r\n";
  EXPECT_THROW(app::LerProcessoDeBytes(b, t), base::EConvertError);
  EXPECT_THROW(app::LerProcessoDeBytes("<processo totalitens=\"99999999999\">", t),
               base::EConvertError);
}
