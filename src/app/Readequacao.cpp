#include "app/Readequacao.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <numeric>

#include "app/TabelaItens.h"
#include "base/Erros.h"

namespace app {

namespace {

// Totals from here on are refused: far beyond any proposal, and below it the exactness argument
// of Limpo holds.
constexpr Contagem kLimiteTotal = Contagem{1} << 50;
// How far from a half a product's fraction must be for its rounding not to depend on the running
// sum it is added to (the sum's rounding error is below 2^-13 under kLimiteTotal).
constexpr long double kMargemMeio = 1.0L / 4096;
// The halvings of the search for the proportional factor.
constexpr int kMeiasDoFator = 40;

std::string Reais(Contagem c) { return "R$ " + FormataDinheiro(c); }

// A whole extended value as a count: through a double when that is exact, which spares the
// rounding-mode switch of a direct conversion (the hot loops below do this millions of times).
inline Contagem Inteiro(long double inteiro) {
  return std::fabs(inteiro) < 0x1p53L ? static_cast<Contagem>(static_cast<double>(inteiro))
                                      : static_cast<Contagem>(inteiro);
}
// v rounded to a whole value, ties to even, for 0 <= v < 2^63: with the 64-bit x87 significand,
// adding 2^63 leaves no fraction and the addition itself rounds (cheaper than frndint).
inline long double Redonda(long double v) {
#if LDBL_MANT_DIG == 64
  constexpr long double k2a63 = 0x1p63L;
  return (v + k2a63) - k2a63;
#else
  return __builtin_rintl(v);
#endif
}
// The largest whole value not above v, for 0 <= v < 2^63.
inline long double Piso(long double v) {
  const long double r = Redonda(v);
  return r > v ? r - 1.0L : r;
}
// Produto (count x quantity in extended precision), inline: the hot loops call it millions of
// times.
inline long double Vezes(Contagem c, double q) {
  return static_cast<long double>(c) * static_cast<long double>(q);
}
// ArredondaContagem for the values an adjustment reaches (far below any overflow), inline.
inline Contagem Redondo(long double v) { return Inteiro(Redonda(v)); }
// A whole value 0 <= x < 2^63 as a count, without a conversion instruction: x + 2^63 has the
// exponent 63, so its 64-bit significand is x + 2^63 itself.
inline Contagem DoSignificando(long double x) {
#if LDBL_MANT_DIG == 64
  const long double y = x + 0x1p63L;
  uint64_t m = 0;
  std::memcpy(&m, &y, sizeof m);
  return static_cast<Contagem>(m - (uint64_t{1} << 63));
#else
  return static_cast<Contagem>(x);
#endif
}

// The adjustment of one list of items: the steps of each price (k x passo), moved first in
// proportion, then by the residue, then made exact against the program's running sum. Amounts are
// those of Moeda (extended products rounded ties to even), computed inline and always the same way
// (a branch on whether an amount is whole goes each way at random on a mixed list, and costs more
// than it saves). Lists of n items are few and filled as they grow (not zeroed first): on 100,000
// items, each first touch of a page costs about as much as the work on it.
class Ajuste {
 public:
  // Goes once through the items: the amounts of one step of each summed, and the program's total
  // at the current prices and with every price at its minimum (one step, or its own price when it
  // does not count), summed as SomaProduto sums them (exact while below kLimiteTotal).
  Ajuste(const std::vector<ItemReadequacao>& itens, Contagem lance, Contagem passo)
      : itens_(itens), lance_(lance), passo_(passo), n_(itens.size()) {
    long double antes = 0.0L, minimo = 0.0L;
    for (size_t i = 0; i < n_; ++i) {
      const ItemReadequacao& it = itens[i];
      if (Ajustavel(i)) degraus_ += static_cast<long double>(passo) * it.quantidade;
      antes = Redonda(Vezes(it.preco, it.quantidade) + antes);
      minimo = Redonda(Vezes((Ajustavel(i) ? 1 : Maximo(i)) * passo, it.quantidade) + minimo);
      if (!(antes < static_cast<long double>(kLimiteTotal))) return;  // refused as too large
    }
    totalAntes_ = Inteiro(antes);
    totalMinimo_ = Inteiro(minimo);
  }

  // The program's total at the current prices; kLimiteTotal when it reaches that.
  Contagem TotalAntes() const { return totalAntes_; }
  // The program's total with every price at its minimum (below TotalAntes' limit).
  Contagem TotalMinimo() const { return totalMinimo_; }

  // The new prices; total is the program's total at them.
  std::vector<Contagem> Executa(Contagem& total) {
    const Contagem separada = Residuo(
        Proporcional(static_cast<long double>(lance_) / static_cast<long double>(totalAntes_)));
    // The separate sum is the program's total when no amount rounds by the running sum it joins
    // (and the running sum itself says so); otherwise the running sum is made exact.
    total = TodosLimpos() && Exato() == separada ? separada : Exata();
    for (Contagem& k : k_) k *= passo_;
    return std::move(k_);
  }

 private:
  // Whether the item's price changes the total at all (zero quantities stay at their price).
  bool Ajustavel(size_t i) const { return itens_[i].quantidade > 0.0; }
  // The steps of the item's old price (cut down to a step).
  Contagem Maximo(size_t i) const { return itens_[i].preco / passo_; }

  // round(k x passo x quantidade + soma), the program's running sum step (SomaProduto).
  Contagem ComSoma(size_t i, Contagem k, Contagem soma) const {
    return Redondo(Vezes(k * passo_, itens_[i].quantidade) + static_cast<long double>(soma));
  }
  // The item's amount at k steps, alone (rounded to a count, ties to even).
  Contagem Custo(size_t i, Contagem k) const { return ComSoma(i, k, 0); }
  // Whether the item's amount at k steps rounds the same way whatever running sum it joins: a
  // whole product, or a fraction clear of one half.
  bool Limpo(size_t i, Contagem k) const {
    long double x = Vezes(k * passo_, itens_[i].quantidade);
    long double fr = x - Piso(x);
    return fr == 0.0L || std::fabs(fr - 0.5L) > kMargemMeio;
  }

  // The item's price scaled by f and cut to a step (at least one step, at most its own price);
  // with the remainder of the cut, which orders the residue: -1 below one step, else the fraction
  // in units of 2^-63 (exact: at or above one, the extended value has no bits below 2^-63).
  Contagem Passos(size_t i, long double f, Contagem* resto = nullptr) const {
    long double v =
        static_cast<long double>(itens_[i].preco) * f / static_cast<long double>(passo_);
    long double piso = Piso(v);
    if (resto) *resto = piso < 1.0L ? -1 : DoSignificando((v - piso) * 0x1p63L);
    return std::clamp(Inteiro(piso), Contagem{1}, Maximo(i));
  }

  // The largest factor whose cut prices stay within the bid, starting from the bid over the total
  // (the one-step floor of small prices may push that above the bid; the cuts usually leave room),
  // by halving. Each halving only needs to know whether its factor fits: the steps grow with the
  // factor, so a factor at or below one known to fit fits, and one at or above one known not to
  // fit does not. Such an interval is first found close to the answer and narrowed around it, by
  // interpolation; the halvings then look at the few factors inside it, and at the few items
  // whose steps change there. Then the steps at the factor found and their remainders; gives their
  // separate sum.
  Contagem Proporcional(long double f) {
    const bool cabeEmF = Cerca(f);
    long double baixo = cabeEmF ? f : 0.0L, alto = cabeEmF ? 1.0L : f;
    Aproxima();
    for (int volta = 0; volta < kMeiasDoFator; ++volta) {
      const long double meio = (baixo + alto) / 2;
      (Cabe(meio) ? baixo : alto) = meio;
    }
    k_.reserve(n_);
    resto_.reserve(n_);
    Contagem separada = 0;
    for (size_t i = 0; i < n_; ++i) {
      Contagem resto = 0;
      k_.push_back(Ajustavel(i) ? Passos(i, baixo, &resto) : Maximo(i));
      resto_.push_back(resto);
      if (Ajustavel(i)) separada += Custo(i, k_.back());
    }
    return separada;
  }

  // The first interval of the search, from f: each step of the factor adds about the total, and
  // each item's cut loses about half a step, so the answer lies a little above f, by about the
  // items' half steps over the total; a quarter more is taken. When that guess misses (the
  // one-step floor, a few items), the interval goes on from the side of f that it saw, up to
  // 1 or down to 0, where the steps no longer change. Whether f itself fits.
  bool Cerca(long double f) {
    const long double total = static_cast<long double>(totalAntes_);
    Intervalo(f, std::min(1.0L, f + 0.625L * degraus_ / total));
    const bool cabeEmF = somaBaixo_ <= lance_;
    if (!cabeEmF) {
      const long double g =
          std::max(0.0L, f - 1.25L * static_cast<long double>(somaBaixo_ - lance_) / total);
      Intervalo(g, f);
      if (somaBaixo_ > lance_ && g > 0.0L) Intervalo(0.0L, g);
    } else if (somaAlto_ <= lance_ && fatorAlto_ < 1.0L) {
      Intervalo(fatorAlto_, 1.0L);
    }
    return cabeEmF;
  }

  // The interval [a, b] of the search: the separate sums at its ends, the items whose steps differ
  // between them (with those steps) and the separate sum of the others.
  void Intervalo(long double a, long double b) {
    fatorBaixo_ = a;
    fatorAlto_ = b;
    fixos_ = 0;
    vivos_.clear();
    vivos_.reserve(n_);
    Contagem emA = 0, emB = 0;
    for (size_t i = 0; i < n_; ++i) {
      if (!Ajustavel(i)) continue;
      const Contagem ka = Passos(i, a), kb = Passos(i, b), custo = Custo(i, ka);
      if (ka == kb) {
        fixos_ += custo;
        continue;
      }
      emA += custo;
      emB += Custo(i, kb);
      vivos_.push_back({static_cast<uint32_t>(i), ka, kb, 0, 0});
    }
    somaBaixo_ = fixos_ + emA;
    somaAlto_ = fixos_ + emB;
  }

  // Whether the cut prices at factor g stay within the bid, from the ends of the interval when
  // they tell.
  bool Cabe(long double g) {
    if (g <= fatorBaixo_) return somaBaixo_ <= lance_;
    if (g >= fatorAlto_) return somaAlto_ <= lance_;
    return Corta(g);
  }

  // The separate sum at factor g, inside the interval, which becomes its new lower end (when
  // within the bid) or upper end; true when within the bid. Items with the same steps at both
  // ends leave the scaling for good.
  bool Corta(long double g) {
    Contagem soma = fixos_;
    for (Vivo& v : vivos_) {
      v.meio = Passos(v.i, g);
      soma += v.custoMeio = Custo(v.i, v.meio);
    }
    const bool cabe = soma <= lance_;
    (cabe ? fatorBaixo_ : fatorAlto_) = g;
    (cabe ? somaBaixo_ : somaAlto_) = soma;
    size_t ficam = 0;
    for (const Vivo& v : vivos_) {
      const Contagem baixo = cabe ? v.meio : v.baixo, alto = cabe ? v.alto : v.meio;
      if (baixo == alto)
        fixos_ += v.custoMeio;
      else
        vivos_[ficam++] = {v.i, baixo, alto, 0, 0};
    }
    vivos_.resize(ficam);
    return cabe;
  }

  // Narrows the interval (one end within the bid, the other above it) around the factor that a
  // straight line between its ends gives: the sums are nearly proportional to the factor, so a
  // tight window around that estimate usually holds the answer; when it does not, the window
  // widens the next time.
  void Aproxima() {
    long double janela = 0x1p-20L;
    for (int volta = 0;
         volta < 16 && vivos_.size() > 64 && somaBaixo_ <= lance_ && somaAlto_ > lance_; ++volta) {
      const long double largura = fatorAlto_ - fatorBaixo_;
      const long double g =
          fatorBaixo_ + largura * (static_cast<long double>(lance_ - somaBaixo_) /
                                   static_cast<long double>(somaAlto_ - somaBaixo_));
      const long double w = largura * janela;
      bool acertou = true;
      if (g - w > fatorBaixo_ && g - w < fatorAlto_) acertou = Corta(g - w);
      if (g + w > fatorBaixo_ && g + w < fatorAlto_) acertou = !Corta(g + w) && acertou;
      janela = acertou ? 0x1p-20L : 0x1p-4L;
    }
  }

  // The order in which the residue goes: largest remainder of the cut first, ties by ordem, then
  // by table order. Lists of items in that order hold their indices only (a tenth of the memory
  // of their keys, which a list of 100,000 items pays for in page faults).
  bool Antes(uint32_t a, uint32_t b) const {
    if (resto_[a] != resto_[b]) return resto_[a] > resto_[b];
    if (itens_[a].ordem != itens_[b].ordem) return itens_[a].ordem < itens_[b].ordem;
    return a < b;
  }
  // What one more step of item i adds to its amount.
  Contagem Degrau(size_t i) const { return Custo(i, k_[i] + 1) - Custo(i, k_[i]); }
  // The most steps of item i, from one more than it has up to its maximum, for which cabe holds:
  // it holds one step up, and it holds for fewer steps wherever it holds for more.
  template <typename Cabe>
  Contagem UltimoQueCabe(size_t i, Cabe cabe) const {
    Contagem lo = k_[i] + 1, hi = Maximo(i);
    while (lo < hi) {
      const Contagem meio = lo + (hi - lo + 1) / 2;
      if (cabe(meio))
        lo = meio;
      else
        hi = meio - 1;
    }
    return lo;
  }

  // The residue: one step each in the order of remainders while it fits, then as many steps as
  // still fit, in the same order; after this no price can take one more step within the bid. The
  // room only shrinks, so an item whose next step does not fit it now never takes one, and one
  // passed over in the first round is passed over in the second: the first round goes through
  // the items whose step fits in order, a chunk at a time (the next items of the order selected,
  // then sorted), dropping after each chunk those that no longer fit; the second looks only at
  // the items that took a step. Gives the separate sum after it.
  Contagem Residuo(Contagem soma) {
    Contagem folga = lance_ - soma;
    std::vector<uint32_t> cabem;
    cabem.reserve(n_);
    std::vector<uint32_t> subiram;
    for (size_t i = 0; i < n_; ++i)
      if (Ajustavel(i) && k_[i] < Maximo(i) && Degrau(i) <= folga)
        cabem.push_back(static_cast<uint32_t>(i));
    EmOrdem(
        cabem,
        [&](uint32_t i) {
          const Contagem d = Degrau(i);
          if (d <= folga) {
            ++k_[i];
            folga -= d;
            subiram.push_back(i);
          }
          return true;
        },
        [&](uint32_t i) { return Degrau(i) <= folga; });
    for (uint32_t i : subiram) {
      if (k_[i] >= Maximo(i) || Degrau(i) > folga) continue;
      const Contagem base = Custo(i, k_[i]);
      k_[i] = UltimoQueCabe(i, [&](Contagem k) { return Custo(i, k) - base <= folga; });
      folga -= Custo(i, k_[i]) - base;
    }
    return lance_ - folga;
  }

  // Goes through v in the order of remainders, a chunk at a time (the next items of the order
  // selected, then sorted), calling visita for each until it returns false (then false); after
  // each chunk, only the items for which fica holds are kept for the next.
  template <typename Visita, typename Fica>
  bool EmOrdem(std::vector<uint32_t>& v, Visita visita, Fica fica) const {
    const auto antes = [this](uint32_t a, uint32_t b) { return Antes(a, b); };
    size_t pedaco = 64;
    for (auto inicio = v.begin(); inicio != v.end(); pedaco *= 2) {
      auto corte = v.end();
      if (static_cast<size_t>(v.end() - inicio) > pedaco) {
        corte = inicio + static_cast<std::ptrdiff_t>(pedaco);
        std::nth_element(inicio, corte, v.end(), antes);
      }
      std::sort(inicio, corte, antes);
      for (auto j = inicio; j != corte; ++j)
        if (!visita(*j)) return false;
      v.erase(std::remove_if(corte, v.end(), [&](uint32_t i) { return !fica(i); }), v.end());
      inicio = corte;
    }
    return true;
  }

  // Whether the separate sums are the program's running sum for these prices and for every
  // single step up from them.
  bool TodosLimpos() const {
    for (size_t i = 0; i < n_; ++i)
      if (Ajustavel(i) && (!Limpo(i, k_[i]) || (k_[i] < Maximo(i) && !Limpo(i, k_[i] + 1))))
        return false;
    return true;
  }

  // The program's running sum of the items at their steps.
  Contagem Exato() const {
    Contagem t = 0;
    for (size_t i = 0; i < n_; ++i) t = ComSoma(i, k_[i], t);
    return t;
  }

  // Some amounts round by the running sum they join (halves): the total is taken from the running
  // sum itself, lowered (last remainders first) until within the bid, then raised while the
  // running sum allows. Every adjustable item takes part, in the order of remainders; the
  // lowering needs only the last few of that order, so the order is found from its end, a chunk
  // at a time, as far as the lowering goes.
  Contagem Exata() {
    std::vector<uint32_t> vezes;
    vezes.reserve(n_);
    for (size_t i = 0; i < n_; ++i)
      if (Ajustavel(i)) vezes.push_back(static_cast<uint32_t>(i));
    const auto antes = [this](uint32_t a, uint32_t b) { return Antes(a, b); };
    size_t emOrdem = 0;            // the last emOrdem of vezes are the end of the order, in order
    auto ultimo = [&](size_t r) {  // the r-th item from the end of the order
      while (r >= emOrdem) {
        const size_t resto = vezes.size() - emOrdem;
        const size_t mais = std::min(resto, std::max<size_t>(64, emOrdem));
        const auto fim = vezes.begin() + static_cast<std::ptrdiff_t>(resto);
        const auto corte = fim - static_cast<std::ptrdiff_t>(mais);
        if (mais < resto) std::nth_element(vezes.begin(), corte, fim, antes);
        std::sort(corte, fim, antes);
        emOrdem += mais;
      }
      return vezes[vezes.size() - 1 - r];
    };
    Parciais(0);
    Contagem total = parcial_.back();
    while (total > lance_) {
      Contagem falta = total - lance_;
      bool baixou = false;
      for (size_t r = 0; r < vezes.size() && falta > 0; ++r) {
        const uint32_t i = ultimo(r);
        if (k_[i] <= 1) continue;
        const Contagem d = Custo(i, k_[i]) - Custo(i, k_[i] - 1);
        if (d <= 0) continue;  // alone it would not lower the total
        falta -= d;
        --k_[i];
        baixou = true;
      }
      if (!baixou) {
        // Only the running sum's halves stand above the bid: from every price at one step (whose
        // total the bid was checked against), the raising below finds the prices again.
        for (uint32_t i : vezes) k_[i] = 1;
      }
      Parciais(0);
      total = parcial_.back();
    }
    return Sobe(vezes, total);
  }

  // The running sums after each item, and the items whose rounding depends on them, in table
  // order: from the start, or after the steps of item `desde` changed. An item that rounds the same
  // way whatever sum it joins adds what it added before, so a change of the sum before it carries
  // through it unchanged: only the items that round by the sum are worked out again.
  void Parciais(size_t desde) {
    if (desde == 0) {
      parcial_.resize(n_);
      sujos_.clear();
      Contagem t = 0;
      for (size_t i = 0; i < n_; ++i) {
        parcial_[i] = t = ComSoma(i, k_[i], t);
        if (Ajustavel(i) && !Limpo(i, k_[i])) sujos_.push_back(static_cast<uint32_t>(i));
      }
      return;
    }
    auto lugar = std::lower_bound(sujos_.begin(), sujos_.end(), desde);
    const bool estava = lugar != sujos_.end() && *lugar == desde;
    if (Ajustavel(desde) && !Limpo(desde, k_[desde])) {
      if (!estava) sujos_.insert(lugar, static_cast<uint32_t>(desde));
    } else if (estava) {
      sujos_.erase(lugar);
    }
    Contagem d = ComSoma(desde, k_[desde], parcial_[desde - 1]) - parcial_[desde];
    parcial_[desde] += d;
    size_t j = desde + 1;
    // Once the difference is gone, nothing after it changes.
    for (auto s = std::upper_bound(sujos_.begin(), sujos_.end(), desde); d != 0; ++s) {
      const size_t ate = s == sujos_.end() ? n_ : *s;
      for (; j < ate; ++j) parcial_[j] += d;
      if (s == sujos_.end()) break;
      const Contagem novo = ComSoma(j, k_[j], parcial_[j - 1]);
      d = novo - parcial_[j];
      parcial_[j++] = novo;
    }
  }

  // The running total with item i at k steps and the others as they are: the difference it makes
  // carries through the items that round the same way whatever sum they join.
  Contagem TotalCom(size_t i, Contagem k) const {
    Contagem d = ComSoma(i, k, i ? parcial_[i - 1] : 0) - parcial_[i];
    for (auto s = std::upper_bound(sujos_.begin(), sujos_.end(), i); s != sujos_.end() && d != 0;
         ++s)
      d = ComSoma(*s, k_[*s], parcial_[*s - 1] + d) - parcial_[*s];
    return parcial_[n_ - 1] + d;
  }

  // What one more step of item i adds to the running sum where it stands now.
  Contagem MaisUm(size_t i) const {
    return ComSoma(i, k_[i] + 1, i ? parcial_[i - 1] : 0) - parcial_[i];
  }

  // Whether item i may take a step within a room of at most teto. One more step of an item adds
  // to the running sum what it adds now give or take 2 (its amount and its amount one step up each
  // round one way or the other by the sum they join), and the raising below passes over an item
  // whose step adds more than the room and 2: an item for which this does not hold would be
  // passed over while the room stays within teto.
  bool PodeSubir(size_t i, Contagem teto) const {
    return k_[i] < Maximo(i) && MaisUm(i) - 4 <= teto;
  }

  // Raises each price, in the order of remainders, by as many steps as the running sum allows
  // (the sum grows with every price, so the steps are searched by halving); a step whose own item
  // already takes more than the room (bar the count a half can carry on) is not tried. Again until
  // nothing moves, as a raise can change how the halves after it round. Only the items that may
  // take a step in the room are looked at (chosen again, from the next in the order, when a raise
  // leaves more room than they were chosen for, as halves rounding down after it can). Starts from
  // the running sums Parciais keeps; gives the total at the end.
  Contagem Sobe(const std::vector<uint32_t>& vezes, Contagem total) {
    for (bool subiu = true; subiu;) {
      subiu = false;
      std::optional<uint32_t> depois;
      for (bool fim = false; !fim;) {
        Contagem teto = lance_ - total;
        std::vector<uint32_t> v;
        v.reserve(vezes.size());
        for (uint32_t i : vezes)
          if ((!depois || Antes(*depois, i)) && PodeSubir(i, teto)) v.push_back(i);
        fim = EmOrdem(
            v,
            [&](uint32_t i) {
              if (!Sobe(i, total)) return true;
              subiu = true;
              depois = i;
              return lance_ - total <= teto;
            },
            [&](uint32_t i) { return PodeSubir(i, teto = lance_ - total); });
      }
    }
    return total;
  }

  // Raises item i by as many steps as the running sum allows within the bid; false when it takes
  // none.
  bool Sobe(uint32_t i, Contagem& total) {
    if (k_[i] >= Maximo(i)) return false;
    if (MaisUm(i) - 2 > lance_ - total || TotalCom(i, k_[i] + 1) > lance_) return false;
    k_[i] = UltimoQueCabe(i, [&](Contagem k) { return TotalCom(i, k) <= lance_; });
    total = TotalCom(i, k_[i]);
    Parciais(i);
    return true;
  }

  // One item whose steps differ between the ends of the search's interval, and its steps and
  // amount at the factor being tried.
  struct Vivo {
    uint32_t i;
    Contagem baixo, alto, meio, custoMeio;
  };

  const std::vector<ItemReadequacao>& itens_;
  const Contagem lance_, passo_;
  const size_t n_;
  long double degraus_ = 0.0L;  // the amounts of one step of every item, summed
  Contagem totalAntes_ = kLimiteTotal, totalMinimo_ = 0;
  std::vector<Contagem> k_;      // the steps of each new price
  std::vector<Contagem> resto_;  // the remainders of the cut at the proportional factor
  // The interval of the search for the factor: its ends, their separate sums, the items whose
  // steps differ between the ends and the separate sum of the others.
  long double fatorBaixo_ = 0.0L, fatorAlto_ = 1.0L;
  Contagem somaBaixo_ = 0, somaAlto_ = 0, fixos_ = 0;
  std::vector<Vivo> vivos_;
  std::vector<Contagem> parcial_;
  std::vector<uint32_t> sujos_;  // the items whose amount rounds by the sum, in table order
};

}  // namespace

Contagem PassoDeCasas(int casas) { return casas == 2 ? 100 : casas == 4 ? 1 : 0; }

Contagem TotalDe(const std::vector<ItemReadequacao>& itens, const std::vector<Contagem>& precos) {
  Contagem t = 0;
  for (size_t i = 0; i < itens.size(); ++i) t = SomaProduto(precos[i], itens[i].quantidade, t);
  return t;
}

namespace {

// What refuses a list of items before any price is worked out; empty when it can be adjusted.
std::string RecusaItens(const std::vector<ItemReadequacao>& itens, Contagem passo) {
  if (!passo) return "As casas decimais dos pre\xE7os devem ser 2 ou 4.";
  if (itens.empty()) return "Nenhum item tem pre\xE7o; n\xE3o h\xE1 o que readequar.";
  for (const ItemReadequacao& it : itens) {
    if (!(it.quantidade >= 0.0) || !std::isfinite(it.quantidade))
      return "O item " + std::to_string(it.ordem) +
             " tem quantidade negativa ou inv\xE1lida; corrija o arquivo do processo.";
    if (it.preco < passo)
      return "O item " + std::to_string(it.ordem) + " tem pre\xE7o (" + FormataPreco(it.preco) +
             ") menor que " + FormataPreco(passo) +
             "; corrija o pre\xE7o ou readeque com 4 casas decimais.";
  }
  return {};
}

}  // namespace

Readequado Readequa(const std::vector<ItemReadequacao>& itens, Contagem lance, int casas) {
  Readequado r;
  const Contagem passo = PassoDeCasas(casas);
  r.recusa = RecusaItens(itens, passo);
  if (!r.Feito()) return r;
  Ajuste ajuste(itens, lance, passo);
  r.totalAntes = ajuste.TotalAntes();
  const Contagem minimo = ajuste.TotalMinimo();
  if (r.totalAntes >= kLimiteTotal || lance >= kLimiteTotal)
    r.recusa = "Os valores s\xE3o grandes demais para readequar.";
  else if (lance <= 0)
    r.recusa = "O lance deve ser maior que zero.";
  else if (lance >= r.totalAntes)
    r.recusa = "O lance (" + Reais(lance) + ") n\xE3o \xE9 menor que o total atual (" +
               Reais(r.totalAntes) + "); n\xE3o h\xE1 o que readequar.";
  else if (minimo > lance)
    r.recusa = "O lance (" + Reais(lance) + ") \xE9 menor que o m\xEDnimo poss\xEDvel (" +
               Reais(minimo) + ", com todos os pre\xE7os em " + FormataPreco(passo) +
               "); confira o valor do lance.";
  if (!r.Feito()) return r;
  r.precos = ajuste.Executa(r.totalDepois);
  return r;
}

std::optional<Contagem> LeDinheiro(std::string_view texto) {
  std::string s;
  for (char c : texto)
    if (c != ' ') s += c;
  if (s.rfind("R$", 0) == 0) s.erase(0, 2);
  size_t virgula = s.find(',');
  std::string inteira = s.substr(0, virgula), decimais;
  if (virgula != std::string::npos) decimais = s.substr(virgula + 1);
  // Without a comma, a single point followed by other than three digits is the decimal point.
  size_t ponto = inteira.rfind('.');
  if (virgula == std::string::npos && ponto != std::string::npos && inteira.find('.') == ponto &&
      inteira.size() - ponto - 1 != 3) {
    decimais = inteira.substr(ponto + 1);
    inteira.resize(ponto);
  }
  // Points left are thousands separators, in groups of three.
  std::string digitos;
  for (size_t i = 0; i < inteira.size(); ++i) {
    if (inteira[i] == '.' && i > 0 && (inteira.size() - i - 1) % 4 == 3) continue;
    digitos += inteira[i];
  }
  auto soDigitos = [](const std::string& d) {
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (digitos.empty() || digitos.size() > 13 || decimais.size() > 4 || !soDigitos(digitos) ||
      !soDigitos(decimais) || (virgula != std::string::npos && decimais.empty()))
    return std::nullopt;
  decimais.resize(4, '0');
  return std::stoll(digitos) * 10000 + std::stoll(decimais);
}

namespace {

// One row of the table that the adjustment looks at.
struct LinhaEscopo {
  int linha;  // 0-based
  Contagem preco;
};

// The rows of the lot (or of every lot) with their prices, or why they cannot be adjusted: a
// lot priced in part, a negative price.
std::string Escopo(const TTabelaItens& t, const PedidoReadequacao& pedido,
                   std::vector<LinhaEscopo>& linhas) {
  bool loteExiste = false;
  for (int inicio = 0; inicio < t.NumLinhas();) {
    int fim = inicio + 1;
    while (fim < t.NumLinhas() && !t.GrupoDaLinha(fim).primeiro) ++fim;
    const std::string lote(t.Linha(inicio).lote);
    const bool noEscopo = !pedido.lote || *pedido.lote == lote;
    loteExiste = loteExiste || noEscopo;
    std::optional<int32_t> semPreco;
    bool comPreco = false;
    for (int i = inicio; i < fim && noEscopo; ++i) {
      const LinhaItem& it = t.Linha(i);
      if (it.valor && *it.valor < 0.0)
        return "O item " + std::to_string(it.ordem.value_or(0)) +
               " tem pre\xE7o negativo; corrija-o antes de readequar.";
      Contagem p = ParaFixo(it.valor.value_or(0.0));
      if (p > 0) {
        linhas.push_back({i, p});
        comPreco = true;
      } else if (!semPreco) {
        semPreco = it.ordem.value_or(0);
      }
    }
    // Items without a lot stand alone: one without a price simply takes no part.
    if (comPreco && semPreco && !lote.empty())
      return "O lote " + lote + " tem item sem pre\xE7o (item " + std::to_string(*semPreco) +
             "); preencha os pre\xE7os do lote, ou zere o lote todo, antes de readequar.";
    inicio = fim;
  }
  if (pedido.lote && !loteExiste)
    return "O lote " + *pedido.lote + " n\xE3o existe neste processo.";
  if (linhas.empty())
    return pedido.lote
               ? "O lote " + *pedido.lote + " n\xE3o tem pre\xE7os; n\xE3o h\xE1 o que readequar."
               : std::string("Nenhum item tem pre\xE7o; n\xE3o h\xE1 o que readequar.");
  return {};
}

}  // namespace

ReadequacaoProposta ReadequaTabela(const TTabelaItens& t, const PedidoReadequacao& pedido) {
  ReadequacaoProposta r;
  r.alteracoes.origem = (pedido.lote ? "Readequa\xE7\xE3o do lote " + *pedido.lote
                                     : std::string("Readequa\xE7\xE3o da proposta")) +
                        " ao lance de " + Reais(pedido.lance);
  std::vector<LinhaEscopo> linhas;
  try {
    r.recusa = Escopo(t, pedido, linhas);
  } catch (const base::Exception&) {
    r.recusa = "Os valores s\xE3o grandes demais para readequar.";
  }
  if (!r.recusa.empty()) return r;
  std::vector<ItemReadequacao> itens;
  itens.reserve(linhas.size());
  for (const LinhaEscopo& l : linhas) {
    const LinhaItem& it = t.Linha(l.linha);
    itens.push_back({l.preco, it.quantidade.value_or(0.0), it.ordem.value_or(0)});
  }
  Readequado novo = Readequa(itens, pedido.lance, pedido.casas);
  r.recusa = novo.recusa;
  r.totalAntes = novo.totalAntes;
  r.totalDepois = novo.totalDepois;
  if (!novo.Feito()) return r;
  r.alteracoes.itens.reserve(linhas.size());
  for (size_t i = 0; i < linhas.size(); ++i) {
    const LinhaItem& it = t.Linha(linhas[i].linha);
    AlteracaoItem a;
    a.linhaTabela = linhas[i].linha + 1;
    a.ordem = it.ordem ? std::to_string(*it.ordem) : std::string();
    a.codigo = std::string(it.codigo);
    a.nome = std::string(it.nome);
    a.marcaAntes = std::string(it.marca);
    a.valorAntes = linhas[i].preco;
    a.valorDepois = novo.precos[i];
    a.situacao =
        novo.precos[i] == linhas[i].preco ? SituacaoAlteracao::Igual : SituacaoAlteracao::Alterada;
    r.alteracoes.itens.push_back(std::move(a));
  }
  return r;
}

}  // namespace app
