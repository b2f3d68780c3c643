// The page store's blocks, arena and searches.
#include "report/RDpaginas.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace report {

namespace {
inline unsigned char Minuscula(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
}  // namespace

// Case-insensitive three-way comparison of whole strings.
int ComparaComando(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    x = Minuscula(x);
    y = Minuscula(y);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Copies a text into the arena; its bytes never move afterwards.
TPaginasRelatorio::Ref TPaginasRelatorio::Guarda(std::string_view texto) {
  if (texto.size() > UINT32_MAX) throw std::length_error("comando longo demais");
  if (texto.size() > livre_) {
    // Blocks grow from 16 KB to kArena, so a short report takes little memory.
    const size_t bloco = arena_.size() >= 6 ? kArena : (size_t(16) << 10) << arena_.size();
    size_t tamanho = std::max(bloco, texto.size());
    arena_.push_back(
        std::make_unique_for_overwrite<char[]>(tamanho));  // pages untouched until used
    cursor_ = arena_.back().get();
    livre_ = tamanho;
  }
  if (!texto.empty()) std::memcpy(cursor_, texto.data(), texto.size());
  Ref r{cursor_, static_cast<uint32_t>(texto.size())};
  cursor_ += texto.size();
  livre_ -= texto.size();
  return r;
}

// Inserts a command after every entry that does not compare greater.
void TPaginasRelatorio::Insere(std::string_view comando) {
  auto texto = [](const Ref& r) { return std::string_view(r.texto, r.tamanho); };
  // Fast path: not below the last entry.
  if (blocos_.empty() || ComparaComando(comando, texto(blocos_.back().back())) >= 0) {
    if (blocos_.empty() || blocos_.back().size() >= kMaxBloco) {
      blocos_.emplace_back();
      blocos_.back().reserve(kMaxBloco);
    }
    blocos_.back().push_back(Guarda(comando));
    ++quantidade_;
    return;
  }
  // The first block whose last entry compares greater holds the place.
  auto bloco = std::upper_bound(blocos_.begin(), blocos_.end(), comando,
                                [&](std::string_view c, const std::vector<Ref>& b) {
                                  return ComparaComando(c, texto(b.back())) < 0;
                                });
  auto lugar = std::upper_bound(
      bloco->begin(), bloco->end(), comando,
      [&](std::string_view c, const Ref& r) { return ComparaComando(c, texto(r)) < 0; });
  bloco->insert(lugar, Guarda(comando));
  ++quantidade_;
  if (bloco->size() > kMaxBloco) {
    std::vector<Ref> metade(bloco->begin() + static_cast<long>(bloco->size() / 2), bloco->end());
    bloco->resize(bloco->size() / 2);
    blocos_.insert(bloco + 1, std::move(metade));
  }
}

// Removes every entry and frees the arena.
void TPaginasRelatorio::Limpa() {
  blocos_.clear();
  arena_.clear();
  livre_ = 0;
  cursor_ = nullptr;
  quantidade_ = 0;
}

// The last entry.
std::string_view TPaginasRelatorio::Ultimo() const {
  const Ref& r = blocos_.back().back();
  return {r.texto, r.tamanho};
}

// Walks the blocks to the entry at an index.
TPaginasRelatorio::Posicao TPaginasRelatorio::NaOrdem(size_t indice) const {
  for (size_t b = 0; b < blocos_.size(); ++b) {
    if (indice < blocos_[b].size()) return {b, indice};
    indice -= blocos_[b].size();
  }
  return Fim();
}

// The entry before p, crossing into the previous non-empty block.
bool TPaginasRelatorio::Recua(Posicao& p) const {
  if (p.indice > 0) {
    --p.indice;
    return true;
  }
  for (size_t b = p.bloco; b-- > 0;) {
    if (!blocos_[b].empty()) {
      p = {b, blocos_[b].size() - 1};
      return true;
    }
  }
  return false;
}

// Binary search for the first entry whose page field is not below `prefixo`.
TPaginasRelatorio::Posicao TPaginasRelatorio::PrimeiraComPrefixo(std::string_view prefixo) const {
  auto abaixo = [&](const Ref& r) {
    return ComparaComando(CampoDe({r.texto, r.tamanho}, kCampoPagina), prefixo) < 0;
  };
  auto bloco = std::partition_point(blocos_.begin(), blocos_.end(),
                                    [&](const std::vector<Ref>& b) { return abaixo(b.back()); });
  if (bloco == blocos_.end()) return Fim();
  auto lugar = std::partition_point(bloco->begin(), bloco->end(), abaixo);
  return Normaliza(
      {static_cast<size_t>(bloco - blocos_.begin()), static_cast<size_t>(lugar - bloco->begin())});
}

}  // namespace report
