// Item and lot figures of the proposal letter.
#include "app/ValoresCarta.h"

namespace app {

int64_t CentavosImpressos(Contagem c) { return c >= 0 ? (c + 50) / 100 : -((-c + 50) / 100); }

namespace {

bool Precificado(const LinhaItem& item) { return item.valor.value_or(0.0) != 0.0; }

// Whether each row takes part: priced, or in a lot with some price.
std::vector<bool> Participantes(const TTabelaItens& tabela) {
  const int n = tabela.NumLinhas();
  std::vector<bool> r(n, false);
  for (int i = 0; i < n;) {
    const std::string_view lote = tabela.Linha(i).lote;
    int fim = i + 1;
    while (fim < n && tabela.Linha(fim).lote == lote) ++fim;
    bool algum = false;
    for (int j = i; j < fim; ++j) algum = algum || Precificado(tabela.Linha(j));
    for (int j = i; j < fim; ++j) r[j] = lote.empty() ? Precificado(tabela.Linha(j)) : algum;
    i = fim;
  }
  return r;
}

}  // namespace

ValoresCarta CalculaValores(const TTabelaItens& tabela) {
  ValoresCarta v;
  const std::vector<bool> participa = Participantes(tabela);
  const int n = tabela.NumLinhas();
  for (int i = 0; i < n; ++i) {
    const LinhaItem& item = tabela.Linha(i);
    const Contagem preco = ParaFixo(item.valor.value_or(0.0));
    const double quantidade = item.quantidade.value_or(0.0);
    v.totalPrograma = SomaProduto(preco, quantidade, v.totalPrograma);
    if (!participa[i]) continue;
    if (v.lotes.empty() || v.lotes.back().lote != item.lote)
      v.lotes.push_back({std::string(item.lote), v.itens.size(), v.itens.size(), 0, 0});
    ValorLote& lote = v.lotes.back();
    const Contagem total = ArredondaContagem(Produto(preco, quantidade));
    v.itens.push_back({i, preco, total, CentavosImpressos(total)});
    lote.ultimo = v.itens.size();
    lote.totalPrograma = SomaProduto(preco, quantidade, lote.totalPrograma);
    lote.centavos += v.itens.back().centavos;
    v.centavos += v.itens.back().centavos;
  }
  return v;
}

}  // namespace app
