// The page store: every composed page command, kept sorted by a case-insensitive comparison of
// whole strings (duplicates kept, a new entry goes after its equals). Commands arriving in order
// are appended; out-of-order ones go into small sorted blocks, so a few of them cost little; a
// page's first entry is found by binary search. Texts live in a chunked arena and never move.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/RDcomando.h"

namespace report {

// Case-insensitive (ASCII letters) three-way comparison of whole strings.
int ComparaComando(std::string_view a, std::string_view b);

class TPaginasRelatorio {
 public:
  // A place in the store: block and index inside it.
  struct Posicao {
    size_t bloco = 0, indice = 0;
    bool operator==(const Posicao&) const = default;
  };

  TPaginasRelatorio() = default;
  TPaginasRelatorio(const TPaginasRelatorio&) = delete;
  TPaginasRelatorio& operator=(const TPaginasRelatorio&) = delete;

  // Inserts a command at its sorted place.
  void Insere(std::string_view comando);
  // Removes every entry.
  void Limpa();
  size_t Quantidade() const { return quantidade_; }
  bool Vazia() const { return quantidade_ == 0; }
  // The last entry (the store must not be empty).
  std::string_view Ultimo() const;

  // Walking the store in order.
  Posicao Inicio() const { return Normaliza({0, 0}); }
  Posicao Fim() const { return {blocos_.size(), 0}; }
  std::string_view Em(Posicao p) const {
    const Ref& r = blocos_[p.bloco][p.indice];
    return {r.texto, r.tamanho};
  }
  void Avanca(Posicao& p) const {
    ++p.indice;
    p = Normaliza(p);
  }
  // The place of the entry at 0-based index `indice` in store order (Fim() past the last).
  Posicao NaOrdem(size_t indice) const;
  // Steps back to the previous entry; false (p unchanged) at the first one.
  bool Recua(Posicao& p) const;
  // The first entry whose page field does not compare below `prefixo` (binary search).
  Posicao PrimeiraComPrefixo(std::string_view prefixo) const;
  // Calls f(std::string_view) for every entry of page `pagina` (its first four characters are
  // the page field), in store order, until f returns false; false when f stopped the walk.
  template <typename F>
  bool ParaCadaDaPagina(int pagina, F&& f) const {
    const std::string prefixo = PrefixoPagina(pagina);
    for (auto pos = PrimeiraComPrefixo(prefixo); pos != Fim(); Avanca(pos)) {
      std::string_view c = Em(pos);
      if (ComparaComando(CampoDe(c, kCampoPagina), prefixo) != 0) break;
      if (!f(c)) return false;
    }
    return true;
  }

  // Calls f(std::string_view) for every entry in order.
  template <typename F>
  void ParaCada(F&& f) const {
    for (const auto& b : blocos_)
      for (const Ref& r : b) f(std::string_view(r.texto, r.tamanho));
  }

 private:
  struct Ref {
    const char* texto;
    uint32_t tamanho;
  };
  static constexpr size_t kMaxBloco = 1024;
  static constexpr size_t kArena = 1 << 20;

  Posicao Normaliza(Posicao p) const {
    while (p.bloco < blocos_.size() && p.indice >= blocos_[p.bloco].size()) {
      ++p.bloco;
      p.indice = 0;
    }
    return p;
  }
  Ref Guarda(std::string_view texto);

  std::vector<std::vector<Ref>> blocos_;
  std::vector<std::unique_ptr<char[]>> arena_;
  size_t livre_ = 0;  // free bytes left in the last arena chunk
  char* cursor_ = nullptr;
  size_t quantidade_ = 0;
};

}  // namespace report
