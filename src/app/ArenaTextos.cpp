#include "app/ArenaTextos.h"

#include <cstring>

namespace app {

namespace {
// Size of a block; a text longer than a quarter of it gets a block of its own, so a long
// description never leaves most of the current block unused.
constexpr size_t kBloco = size_t(256) << 10;
}  // namespace

// Copies the text into the current block, opening a new block when it does not fit.
std::string_view TArenaTextos::Guarda(std::string_view texto) {
  if (texto.empty()) return {};
  if (texto.size() > kBloco / 4) {
    blocos_.push_back(std::make_unique_for_overwrite<char[]>(texto.size()));
    char* p = blocos_.back().get();
    std::memcpy(p, texto.data(), texto.size());
    return {p, texto.size()};
  }
  if (texto.size() > resta_) {
    blocos_.push_back(std::make_unique_for_overwrite<char[]>(kBloco));
    livre_ = blocos_.back().get();
    resta_ = kBloco;
  }
  char* p = livre_;
  std::memcpy(p, texto.data(), texto.size());
  livre_ += texto.size();
  resta_ -= texto.size();
  return {p, texto.size()};
}

// Keeps the text.
void TArenaTextos::Adota(std::unique_ptr<const std::string> texto) {
  adotados_.push_back(std::move(texto));
}

// Moves the other arena's blocks and texts here; new texts keep going to this arena's block.
void TArenaTextos::Incorpora(TArenaTextos& outra) {
  for (auto& b : outra.blocos_) blocos_.push_back(std::move(b));
  for (auto& t : outra.adotados_) adotados_.push_back(std::move(t));
  outra.Limpa();
}

// Frees every block.
void TArenaTextos::Limpa() {
  blocos_.clear();
  adotados_.clear();
  livre_ = nullptr;
  resta_ = 0;
}

// Swaps blocks and the free space of the current block.
void TArenaTextos::Troca(TArenaTextos& outra) noexcept {
  blocos_.swap(outra.blocos_);
  adotados_.swap(outra.adotados_);
  std::swap(livre_, outra.livre_);
  std::swap(resta_, outra.resta_);
}

}  // namespace app
