// Storage for the texts of an item table: blocks that are filled one after another and never move,
// so a view into a stored text stays valid until the arena is cleared. Texts are only appended; a
// table keeps 100,000 rows in a few blocks instead of a heap block per text. An arena can also
// take over a whole text (a file image) whose parts are viewed in place, without a copy.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class TArenaTextos {
 public:
  // A copy of the text that lasts as long as the arena (an empty view for an empty text).
  std::string_view Guarda(std::string_view texto);
  // Keeps a whole text, so that views into it stay valid as long as the arena.
  void Adota(std::unique_ptr<const std::string> texto);
  // Takes over everything another arena keeps (which is left empty); views stay valid.
  void Incorpora(TArenaTextos& outra);
  // Frees every block: every view handed out before is invalid afterwards.
  void Limpa();
  // Swaps the stored texts with another arena's; views stay valid (they now belong to the other).
  void Troca(TArenaTextos& outra) noexcept;

 private:
  std::vector<std::unique_ptr<char[]>> blocos_;
  std::vector<std::unique_ptr<const std::string>> adotados_;
  char* livre_ = nullptr;
  size_t resta_ = 0;
};

}  // namespace app
