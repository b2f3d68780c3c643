// Damaged copies of a file for the readers' robustness tests: a few random byte changes, cuts,
// insertions of characters that matter to the format, and truncations.
#pragma once

#include <random>
#include <string>
#include <string_view>

namespace teste {

// A copy of `original` with 1 to `maxMudancas` random damages, using characters from `pedacos`.
inline std::string Danifica(const std::string& original, std::mt19937& rng,
                            std::string_view pedacos, int maxMudancas) {
  std::string b = original;
  int mudancas = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxMudancas));
  auto pedaco = [&] { return pedacos[rng() % pedacos.size()]; };
  for (int m = 0; m < mudancas && !b.empty(); ++m) {
    size_t pos = rng() % b.size();
    switch (rng() % 4) {
      case 0:
        b[pos] = pedaco();
        break;
      case 1:
        b.erase(pos, 1 + rng() % 40);
        break;
      case 2:
        b.insert(pos, std::string(1 + rng() % 5, pedaco()));
        break;
      default:
        b.resize(pos);
        break;
    }
  }
  return b;
}

}  // namespace teste
