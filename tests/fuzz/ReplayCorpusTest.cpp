// Every input kept for a fuzz target (its seed corpus and each input that ever found a fault) runs
// through the target again under the test build's sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/AlvoFuzz.h"

namespace {

std::string LeTudo(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(CorpusFuzz, EveryKeptInputRunsCleanThroughItsTarget) {
  const std::filesystem::path raiz =
      std::filesystem::path(PROPOSTA_SOURCE_DIR) / "tests/fuzz/corpus";
  ASSERT_FALSE(teste::AlvosFuzz().empty());
  for (const auto& [nome, alvo] : teste::AlvosFuzz()) {
    const auto pasta = raiz / nome;
    ASSERT_TRUE(std::filesystem::is_directory(pasta)) << "sem corpus para o alvo " << nome;
    size_t entradas = 0;
    for (const auto& arquivo : std::filesystem::directory_iterator(pasta)) {
      if (!arquivo.is_regular_file()) continue;
      SCOPED_TRACE(arquivo.path().string());
      alvo(LeTudo(arquivo.path()));
      ++entradas;
    }
    EXPECT_GT(entradas, 0u) << nome;
  }
}

}  // namespace
