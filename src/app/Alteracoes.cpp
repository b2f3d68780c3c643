#include "app/Alteracoes.h"

#include <algorithm>
#include <map>

#include "app/Proposta.h"
#include "app/TabelaItens.h"
#include "base/Erros.h"
#include "base/Formato.h"

namespace app {

const char* NomeSituacao(SituacaoAlteracao s) {
  switch (s) {
    case SituacaoAlteracao::Nova:
      return "Nova";
    case SituacaoAlteracao::Alterada:
      return "Alterada";
    case SituacaoAlteracao::Igual:
      return "Igual";
    case SituacaoAlteracao::Recusada:
      return "Recusada";
    case SituacaoAlteracao::SemCorrespondencia:
      return "Sem correspond\xEAncia";
    case SituacaoAlteracao::VariasCorrespondencias:
      return "V\xE1rias correspond\xEAncias";
  }
  return "";
}

bool Aplicavel(const AlteracaoItem& a) {
  return a.linhaTabela > 0 &&
         (a.situacao == SituacaoAlteracao::Nova || a.situacao == SituacaoAlteracao::Alterada) &&
         (!a.marcaDepois.empty() || a.valorDepois);
}

bool Escolhida(const LoteAlteracoes& l, const EscolhaAlteracoes& e, size_t i) {
  return Aplicavel(l.itens[i]) && (e.empty() || (i < e.size() && e[i]));
}

const std::vector<ColunaRevisao>& ColunasRevisao() {
  static const std::vector<ColunaRevisao> colunas = {
      {"Ord.", 6, true},
      {"C\xF3"
       "digo",
       11, false},
      {"Nome", 30, false},
      {"Marca atual", 20, false},
      {"Marca nova", 20, false},
      {"Valor atual", 14, true},
      {"Valor novo", 14, true},
      {"Situa\xE7\xE3o", 24, false},
      {"Motivo", 40, false},
      {"Linha", 6, true},
  };
  return colunas;
}

std::string FormataPreco(Contagem c) { return base::FormatFixo("#,##0.00##", c); }

std::string TextoCelula(const AlteracaoItem& a, size_t c) {
  auto preco = [](const std::optional<Contagem>& v) {
    return v ? FormataPreco(*v) : std::string();
  };
  switch (c) {
    case 0:
      return a.ordem;
    case 1:
      return a.codigo;
    case 2:
      return a.nome;
    case 3:
      return a.marcaAntes;
    case 4:
      return a.marcaDepois.empty() ? a.marcaAntes : a.marcaDepois;
    case 5:
      return preco(a.valorAntes);
    case 6:
      return preco(a.valorDepois ? a.valorDepois : a.valorAntes);
    case 7:
      return NomeSituacao(a.situacao);
    case 8:
      return a.motivo;
    case 9:
      return a.linhaOrigem > 0 ? std::to_string(a.linhaOrigem) : std::string();
    default:
      return {};
  }
}

namespace {

// The new price count of each table row the choice changes (0-based row -> count).
std::map<int, Contagem> PrecosNovos(const TTabelaItens& t, const LoteAlteracoes& l,
                                    const EscolhaAlteracoes& e) {
  std::map<int, Contagem> novos;
  for (size_t i = 0; i < l.itens.size(); ++i) {
    const AlteracaoItem& a = l.itens[i];
    if (Escolhida(l, e, i) && a.valorDepois && a.linhaTabela <= t.NumLinhas())
      novos[static_cast<int>(a.linhaTabela) - 1] = *a.valorDepois;
  }
  return novos;
}

}  // namespace

TotaisAlteracoes CalculaTotais(const TTabelaItens& t, const LoteAlteracoes& l,
                               const EscolhaAlteracoes& e) {
  TotaisAlteracoes r;
  if (!t.Aberta()) return r;
  std::map<int, Contagem> novos = PrecosNovos(t, l, e);
  // The lots the chosen rows touch (a brand alone changes no total, but its lot is still shown).
  std::vector<bool> loteTocado(static_cast<size_t>(t.NumLinhas()), false);
  for (size_t i = 0; i < l.itens.size(); ++i)
    if (Escolhida(l, e, i) && l.itens[i].linhaTabela <= t.NumLinhas())
      loteTocado[static_cast<size_t>(l.itens[i].linhaTabela - 1)] = true;
  TotalLote atual;
  bool tocado = false;
  for (int i = 0; i < t.NumLinhas(); ++i) {
    const LinhaItem& it = t.Linha(i);
    const double q = it.quantidade.value_or(0.0);
    const Contagem antes = ParaFixo(it.valor.value_or(0.0));
    auto novo = novos.find(i);
    const Contagem depois = novo == novos.end() ? antes : novo->second;
    if (t.GrupoDaLinha(i).primeiro) {
      atual = TotalLote{std::string(it.lote), 0, 0};
      tocado = false;
    }
    atual.antes = SomaProduto(antes, q, atual.antes);
    atual.depois = SomaProduto(depois, q, atual.depois);
    tocado = tocado || loteTocado[static_cast<size_t>(i)];
    r.propostaAntes = SomaProduto(antes, q, r.propostaAntes);
    r.propostaDepois = SomaProduto(depois, q, r.propostaDepois);
    if (t.GrupoDaLinha(i).ultimo && tocado) r.lotes.push_back(atual);
  }
  return r;
}

std::vector<std::string> TextoTotais(const TotaisAlteracoes& t) {
  std::vector<std::string> linhas;
  for (const TotalLote& l : t.lotes)
    linhas.push_back("Lote " + (l.lote.empty() ? std::string("(sem lote)") : l.lote) + ": R$ " +
                     FormataDinheiro(l.antes) + " -> R$ " + FormataDinheiro(l.depois));
  linhas.push_back("Total da proposta: R$ " + FormataDinheiro(t.propostaAntes) + " -> R$ " +
                   FormataDinheiro(t.propostaDepois));
  return linhas;
}

namespace {

// A text cut or padded to a width, on the left or the right.
std::string Coluna(std::string texto, const ColunaRevisao& c) {
  size_t w = static_cast<size_t>(c.largura);
  if (texto.size() > w) texto.resize(w);
  std::string espaco(w - texto.size(), ' ');
  return c.aDireita ? espaco + texto : texto + espaco;
}

// One line of the text rendering from the cells' texts.
template <typename Celula>
std::string Linha(Celula celula) {
  std::string linha;
  const auto& colunas = ColunasRevisao();
  for (size_t c = 0; c < colunas.size(); ++c) {
    if (c) linha += ' ';
    linha += Coluna(celula(c), colunas[c]);
  }
  while (!linha.empty() && linha.back() == ' ') linha.pop_back();
  return linha + "\n";
}

}  // namespace

std::string TextoRevisao(const TTabelaItens& tabela, const LoteAlteracoes& l) {
  std::string s = l.origem + "\n";
  s += Linha([](size_t c) { return std::string(ColunasRevisao()[c].titulo); });
  for (const AlteracaoItem& a : l.itens) s += Linha([&](size_t c) { return TextoCelula(a, c); });
  for (const std::string& t : TextoTotais(CalculaTotais(tabela, l))) s += t + "\n";
  return s;
}

namespace {

// Whether the table row (1-based) is still the item the change was made for.
bool MesmoItem(const TTabelaItens& t, long linha, const std::string& ordem,
               const std::string& codigo) {
  if (linha < 1 || linha > t.NumLinhas()) return false;
  const LinhaItem& it = t.Linha(static_cast<int>(linha) - 1);
  std::string o = it.ordem ? std::to_string(*it.ordem) : std::string();
  return o == ordem && it.codigo == codigo.substr(0, TTabelaItens::Largura(Campo::codigo));
}

// Assigns a brand and a price to the current row and posts it, as typing them would.
void GravaLinha(TTabelaItens& t, const std::string& marca, const std::optional<double>& valor) {
  t.Edita();
  t.AtribuiTexto(Campo::marca, marca);
  if (valor)
    t.AtribuiDouble(Campo::valor, *valor);
  else
    t.Limpa(Campo::valor);
  t.Grava();
}

// Runs f, then makes row `atual` current again, also when f raises.
template <typename F>
void VoltaALinha(TTabelaItens& t, int atual, F f) {
  auto volta = [&] {
    if (t.NumLinhas() > 0) t.IrParaLinha(atual);
  };
  try {
    f();
  } catch (...) {
    volta();
    throw;
  }
  volta();
}

// Applies one change to its row (posting a row being typed first); what undoes it.
DesfazerAlteracoes::Linha AplicaLinha(TTabelaItens& t, const AlteracaoItem& a) {
  t.IrParaLinha(static_cast<int>(a.linhaTabela));
  DesfazerAlteracoes::Linha u;
  u.linha = static_cast<int>(a.linhaTabela);
  const LinhaItem& antes = t.Linha(u.linha - 1);
  u.ordem = antes.ordem;
  u.codigo = std::string(antes.codigo);
  u.marcaAntes = std::string(antes.marca);
  u.valorAntes = antes.valor;
  GravaLinha(t, a.marcaDepois.empty() ? u.marcaAntes : a.marcaDepois,
             a.valorDepois ? std::optional<double>(static_cast<double>(*a.valorDepois) / 10000.0)
                           : u.valorAntes);
  const LinhaItem& depois = t.Linha(u.linha - 1);
  u.marcaDepois = std::string(depois.marca);
  u.valorDepois = depois.valor;
  return u;
}

// Runs f with the posts it makes kept by the journal as one block, written however f ends.
template <typename F>
void EmBloco(TRecuperacaoDigitacao& diario, F f) {
  diario.IniciaBloco();
  try {
    f();
  } catch (...) {
    diario.TerminaBloco();
    throw;
  }
  diario.TerminaBloco();
}

// Puts applied rows back as they were, last first. The table is then as it was found, its count
// of changes included (closing has nothing new to write), and the journal keeps none of it.
void Devolve(TProposta& p, long alteracoes, std::vector<DesfazerAlteracoes::Linha>& linhas) {
  TTabelaItens& t = p.ClientDataSet1;
  for (auto u = linhas.rbegin(); u != linhas.rend(); ++u) {
    t.IrParaLinha(u->linha);
    GravaLinha(t, u->marcaAntes, u->valorAntes);
  }
  linhas.clear();
  t.RestauraAlteracoes(alteracoes);
  p.Recuperacao().DescartaBloco();
}

// Applies the chosen rows, all or none: a cancel or a refused row puts back those applied.
void AplicaTodas(TProposta& p, const LoteAlteracoes& l, const EscolhaAlteracoes& e,
                 const ContinuaAlteracoes& continua, DesfazerAlteracoes& d) {
  TTabelaItens& t = p.ClientDataSet1;
  const long alteracoes = t.Alteracoes();
  size_t total = 0;
  for (size_t i = 0; i < l.itens.size(); ++i) total += Escolhida(l, e, i) ? 1 : 0;
  try {
    for (size_t i = 0; i < l.itens.size(); ++i) {
      if (!Escolhida(l, e, i)) continue;
      d.linhas.push_back(AplicaLinha(t, l.itens[i]));
      if (continua && !continua(d.linhas.size(), total)) {
        Devolve(p, alteracoes, d.linhas);
        return;
      }
    }
  } catch (...) {
    t.Cancela();  // the refused row's own edit
    Devolve(p, alteracoes, d.linhas);
    throw;
  }
}

}  // namespace

DesfazerAlteracoes AplicaAlteracoes(TProposta& p, const LoteAlteracoes& l,
                                    const EscolhaAlteracoes& e,
                                    const ContinuaAlteracoes& continua) {
  TTabelaItens& t = p.ClientDataSet1;
  DesfazerAlteracoes d;
  d.origem = l.origem;
  d.processo = p.edit1;
  if (!t.Aberta()) return d;
  for (size_t i = 0; i < l.itens.size(); ++i) {
    const AlteracaoItem& a = l.itens[i];
    if (Escolhida(l, e, i) && !MesmoItem(t, a.linhaTabela, a.ordem, a.codigo))
      throw base::Exception("O item " + a.ordem + " (" + a.codigo +
                            ") mudou de lugar na tabela; nada foi alterado. Refa\xE7"
                            "a a revis\xE3o.");
  }
  // A row being typed is posted first, on its own: a price the table refuses there stops
  // everything before the list starts, and the typing stays.
  if (t.NumLinhas() > 0) t.IrParaLinha(t.NumeroLinha());
  EmBloco(p.Recuperacao(),
          [&] { VoltaALinha(t, t.NumeroLinha(), [&] { AplicaTodas(p, l, e, continua, d); }); });
  return d;
}

namespace {

// The row (1-based) of an applied change now: where it was, or where the same item went; 0 when
// the item is gone.
int Localiza(const TTabelaItens& t, const DesfazerAlteracoes::Linha& u) {
  auto mesmo = [&](int linha) {
    const LinhaItem& it = t.Linha(linha - 1);
    return it.ordem == u.ordem && it.codigo == u.codigo;
  };
  if (u.linha >= 1 && u.linha <= t.NumLinhas() && mesmo(u.linha)) return u.linha;
  for (int i = 1; i <= t.NumLinhas(); ++i)
    if (mesmo(i)) return i;
  return 0;
}

}  // namespace

ResultadoDesfazer DesfazAlteracoes(TProposta& p, const DesfazerAlteracoes& d) {
  TTabelaItens& t = p.ClientDataSet1;
  ResultadoDesfazer r;
  if (!t.Aberta() || d.processo != p.edit1) {
    r.mantidas = static_cast<int>(d.linhas.size());
    return r;
  }
  if (t.NumLinhas() > 0) t.IrParaLinha(t.NumeroLinha());  // a row being typed is posted first
  EmBloco(p.Recuperacao(), [&] {
    VoltaALinha(t, t.NumeroLinha(), [&] {
      for (auto u = d.linhas.rbegin(); u != d.linhas.rend(); ++u) {
        const int linha = Localiza(t, *u);
        // A row typed over since keeps what the user typed.
        if (linha == 0 || t.Linha(linha - 1).marca != u->marcaDepois ||
            t.Linha(linha - 1).valor != u->valorDepois) {
          ++r.mantidas;
          continue;
        }
        t.IrParaLinha(linha);
        GravaLinha(t, u->marcaAntes, u->valorAntes);
        ++r.desfeitas;
      }
    });
  });
  return r;
}

}  // namespace app
