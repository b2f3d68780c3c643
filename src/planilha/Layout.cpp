#include "planilha/Layout.h"

#include <cstdio>

#include "base/Formato.h"
#include "planilha/Valores.h"

namespace planilha {

const char* const kTituloIdentificacao =
    "Identifica\xE7\xE3o da planilha (n\xE3o altere esta linha)";

const std::array<DescricaoColuna, 10>& ColunasExportadas() {
  using C = ColunaExportada;
  static const std::array<DescricaoColuna, 10> tabela = {{
      {C::Ordem, "Ordem", 7, false},
      {C::Lote, "Lote", 7, false},
      {C::Codigo,
       "C\xF3"
       "digo",
       13, false},
      {C::Produto, "Produto", 40, false},
      {C::Descricao, "Descri\xE7\xE3o", 60, false},
      {C::Quantidade, "Quantidade", 13, false},
      {C::Apuracao, "Apura\xE7\xE3o", 10, false},
      {C::Marca, "Marca", 22, true},
      {C::ValorUnitario, "Valor unit\xE1rio", 16, true},
      {C::ValorTotal, "Valor total", 18, false},
  }};
  return tabela;
}

int IndiceColuna(ColunaExportada c) { return static_cast<int>(c); }

void Resumo::Mistura(std::string_view s) {
  for (unsigned char c : s) {
    h_ ^= c;
    h_ *= 1099511628211ull;
  }
}

void Resumo::Item(std::string_view ordem, std::string_view codigo, std::string_view produto) {
  Mistura(ordem);
  Mistura("\x1F");
  Mistura(codigo);
  Mistura("\x1F");
  Mistura(produto);
  Mistura("\x1E");
}

std::string Resumo::Hex() const {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h_));
  return buf;
}

Identificacao IdentificacaoDaTabela(const app::TTabelaItens& tabela, std::string_view processo) {
  Resumo r;
  const int n = tabela.NumLinhas();
  for (int i = 0; i < n; ++i) {
    const app::LinhaItem& l = tabela.Linha(i);
    r.Item(l.ordem ? base::IntToStr(*l.ordem) : std::string(), l.codigo, l.nome);
  }
  return {std::string(processo), n, r.Hex()};
}

std::optional<Identificacao> LeIdentificacao(const LinhaPlanilha& linha) {
  if (TextoDaCelula(linha.Em(0)) != kTituloIdentificacao) return std::nullopt;
  Identificacao id;
  id.processo = TextoDaCelula(linha.Em(1));
  int32_t itens = 0;
  if (!base::TryStrToInt(TextoDaCelula(linha.Em(2)), itens)) itens = -1;
  id.itens = itens;
  id.resumo = TextoDaCelula(linha.Em(3));
  return id;
}

}  // namespace planilha
