#include "app/Readequacao.h"

#include <algorithm>
#include <cmath>
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

std::string Reais(Contagem c) { return "R$ " + FormataDinheiro(c); }

// The adjustment of one list of items: the steps of each price (k x passo), moved first in
// proportion, then by the residue, then made exact against the program's running sum.
class Ajuste {
 public:
  Ajuste(const std::vector<ItemReadequacao>& itens, Contagem lance, Contagem passo)
      : itens_(itens), lance_(lance), passo_(passo), n_(itens.size()), maximo_(n_), k_(n_) {
    for (size_t i = 0; i < n_; ++i) maximo_[i] = itens[i].preco / passo;
  }

  // Whether the item's price changes the total at all (zero quantities stay at their price).
  bool Ajustavel(size_t i) const { return itens_[i].quantidade > 0.0; }

  // The price of every item at its minimum: one step, or its own price when it does not count.
  std::vector<Contagem> PrecosMinimos() const {
    std::vector<Contagem> p(n_);
    for (size_t i = 0; i < n_; ++i) p[i] = (Ajustavel(i) ? 1 : maximo_[i]) * passo_;
    return p;
  }

  std::vector<Contagem> Executa(Contagem totalAntes) {
    Proporcional(static_cast<long double>(lance_) / static_cast<long double>(totalAntes));
    Residuo(SomaSeparada());
    if (!TodosLimpos() || Exato() != SomaSeparada()) Exata();
    std::vector<Contagem> p(n_);
    for (size_t i = 0; i < n_; ++i) p[i] = k_[i] * passo_;
    return p;
  }

 private:
  // The item's amount at k steps, alone (rounded to a count, ties to even).
  Contagem Custo(size_t i, Contagem k) const {
    return ArredondaContagem(Produto(k * passo_, itens_[i].quantidade));
  }
  // Whether the item's amount at k steps rounds the same way whatever running sum it joins: a
  // whole product, or a fraction clear of one half.
  bool Limpo(size_t i, Contagem k) const {
    long double x = Produto(k * passo_, itens_[i].quantidade);
    long double fr = x - std::floor(x);
    return fr == 0.0L || std::fabs(fr - 0.5L) > kMargemMeio;
  }
  Contagem SomaSeparada() const {
    Contagem s = 0;
    for (size_t i = 0; i < n_; ++i)
      if (Ajustavel(i)) s += Custo(i, k_[i]);
    return s;
  }

  // Every price scaled by f and cut to a step (at least one step), and the order in which the
  // residue goes: largest remainder first, ties by ordem, then by table order.
  void Escala(long double f, std::vector<long double>* resto) {
    for (size_t i = 0; i < n_; ++i) {
      if (!Ajustavel(i)) {
        k_[i] = maximo_[i];
        continue;
      }
      long double v =
          static_cast<long double>(itens_[i].preco) * f / static_cast<long double>(passo_);
      long double piso = std::floor(v);
      k_[i] = std::clamp(static_cast<Contagem>(piso), Contagem{1}, maximo_[i]);
      if (resto) (*resto)[i] = piso < 1.0L ? -1.0L : v - piso;
    }
  }

  // The largest factor whose cut prices stay within the bid, starting from the bid over the total
  // (the one-step floor of small prices may push that above the bid; the cuts usually leave room).
  void Proporcional(long double f) {
    Escala(f, nullptr);
    long double baixo = 0.0L, alto = f;
    if (SomaSeparada() <= lance_) {
      baixo = f;
      alto = 1.0L;
    }
    for (int i = 0; i < 40; ++i) {
      long double meio = (baixo + alto) / 2;
      Escala(meio, nullptr);
      if (SomaSeparada() <= lance_)
        baixo = meio;
      else
        alto = meio;
    }
    f = baixo;
    std::vector<long double> resto(n_, -2.0L);
    Escala(f, &resto);
    ordem_.clear();
    for (size_t i = 0; i < n_; ++i)
      if (Ajustavel(i)) ordem_.push_back(static_cast<uint32_t>(i));
    std::sort(ordem_.begin(), ordem_.end(), [&](uint32_t a, uint32_t b) {
      if (resto[a] != resto[b]) return resto[a] > resto[b];
      if (itens_[a].ordem != itens_[b].ordem) return itens_[a].ordem < itens_[b].ordem;
      return a < b;
    });
  }

  // The residue: one step each in the order of remainders while it fits, then as many steps as
  // still fit, in the same order; after this no price can take one more step within the bid.
  void Residuo(Contagem soma) {
    Contagem folga = lance_ - soma;
    for (uint32_t i : ordem_) {
      if (k_[i] >= maximo_[i]) continue;
      Contagem d = Custo(i, k_[i] + 1) - Custo(i, k_[i]);
      if (d <= folga) {
        ++k_[i];
        folga -= d;
      }
    }
    for (uint32_t i : ordem_) {
      if (k_[i] >= maximo_[i] || Custo(i, k_[i] + 1) - Custo(i, k_[i]) > folga) continue;
      const Contagem base = Custo(i, k_[i]);
      Contagem lo = k_[i] + 1, hi = maximo_[i];  // lo fits; find the last that does
      while (lo < hi) {
        Contagem meio = lo + (hi - lo + 1) / 2;
        if (Custo(i, meio) - base <= folga)
          lo = meio;
        else
          hi = meio - 1;
      }
      folga -= Custo(i, lo) - base;
      k_[i] = lo;
    }
  }

  // Whether the separate sums are the program's running sum for these prices and for every
  // single step up from them.
  bool TodosLimpos() const {
    for (uint32_t i : ordem_)
      if (!Limpo(i, k_[i]) || (k_[i] < maximo_[i] && !Limpo(i, k_[i] + 1))) return false;
    return true;
  }

  // The program's running sum of the items at their steps.
  Contagem Exato() const {
    Contagem t = 0;
    for (size_t i = 0; i < n_; ++i) t = SomaProduto(k_[i] * passo_, itens_[i].quantidade, t);
    return t;
  }

  // Some amounts round by the running sum they join (halves): the total is taken from the running
  // sum itself, lowered (last remainders first) until within the bid, then raised while the
  // running sum allows.
  void Exata() {
    Contagem total = Exato();
    while (total > lance_) {
      Contagem falta = total - lance_;
      bool baixou = false;
      for (auto it = ordem_.rbegin(); it != ordem_.rend() && falta > 0; ++it) {
        if (k_[*it] <= 1) continue;
        const Contagem d = Custo(*it, k_[*it]) - Custo(*it, k_[*it] - 1);
        if (d <= 0) continue;  // alone it would not lower the total
        falta -= d;
        --k_[*it];
        baixou = true;
      }
      if (!baixou) {
        // Only the running sum's halves stand above the bid: from every price at one step (whose
        // total the bid was checked against), the raising below finds the prices again.
        for (uint32_t i : ordem_) k_[i] = 1;
      }
      total = Exato();
    }
    Sobe(total);
  }

  // The running sums after each item, and the last item whose rounding depends on them.
  void Parciais(size_t desde) {
    parcial_.resize(n_);
    Contagem t = desde ? parcial_[desde - 1] : 0;
    for (size_t i = desde; i < n_; ++i)
      parcial_[i] = t = SomaProduto(k_[i] * passo_, itens_[i].quantidade, t);
    ultimoSujo_ = -1;
    for (size_t i = n_; i-- > 0;)
      if (Ajustavel(i) && !Limpo(i, k_[i])) {
        ultimoSujo_ = static_cast<long>(i);
        break;
      }
  }

  // The running total with item i at k steps and the others as they are: after the last item that
  // rounds by the sum, the difference carries to the end unchanged.
  Contagem TotalCom(size_t i, Contagem k) const {
    Contagem t = SomaProduto(k * passo_, itens_[i].quantidade, i ? parcial_[i - 1] : 0);
    Contagem d = t - parcial_[i];
    for (size_t j = i + 1; j < n_; ++j) {
      if (d == 0 || static_cast<long>(j) > ultimoSujo_) break;
      t = SomaProduto(k_[j] * passo_, itens_[j].quantidade, t);
      d = t - parcial_[j];
    }
    return parcial_[n_ - 1] + d;
  }

  // Raises each price, in the order of remainders, by as many steps as the running sum allows
  // (the sum grows with every price, so the steps are searched by halving); a step whose own item
  // already takes more than the room (bar the count a half can carry on) is not tried. Again until
  // nothing moves, as a raise can change how the halves after it round.
  void Sobe(Contagem total) {
    Parciais(0);
    for (bool subiu = true; subiu;) {
      subiu = false;
      for (uint32_t i : ordem_) {
        if (k_[i] >= maximo_[i]) continue;
        const Contagem antes = i ? parcial_[i - 1] : 0;
        const Contagem um = SomaProduto((k_[i] + 1) * passo_, itens_[i].quantidade, antes);
        if (um - parcial_[i] - 2 > lance_ - total || TotalCom(i, k_[i] + 1) > lance_) continue;
        Contagem lo = k_[i] + 1, hi = maximo_[i];  // lo fits; find the last that does
        while (lo < hi) {
          const Contagem meio = lo + (hi - lo + 1) / 2;
          if (TotalCom(i, meio) <= lance_)
            lo = meio;
          else
            hi = meio - 1;
        }
        total = TotalCom(i, lo);
        k_[i] = lo;
        Parciais(i);
        subiu = true;
      }
    }
  }

  const std::vector<ItemReadequacao>& itens_;
  const Contagem lance_, passo_;
  const size_t n_;
  std::vector<Contagem> maximo_;  // the steps of each old price (cut down to a step)
  std::vector<Contagem> k_;       // the steps of each new price
  std::vector<uint32_t> ordem_;   // the items whose price counts, in the order of the residue
  std::vector<Contagem> parcial_;
  long ultimoSujo_ = -1;
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
  std::vector<Contagem> atuais(itens.size());
  for (size_t i = 0; i < itens.size(); ++i) atuais[i] = itens[i].preco;
  Ajuste ajuste(itens, lance, passo);
  Contagem minimo = 0;
  try {
    r.totalAntes = TotalDe(itens, atuais);
    minimo = TotalDe(itens, ajuste.PrecosMinimos());
  } catch (const base::Exception&) {
    r.totalAntes = kLimiteTotal;
  }
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
  r.precos = ajuste.Executa(r.totalAntes);
  r.totalDepois = TotalDe(itens, r.precos);
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
