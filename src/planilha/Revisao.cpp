#include "planilha/Revisao.h"

#include <array>

#include "base/Formato.h"

namespace planilha {

namespace {

std::string Valor(const std::optional<app::Contagem>& v) {
  return v ? base::FormatFixo("#,##0.0000", *v) : std::string("-");
}

}  // namespace

std::string TextoRevisao(const Importacao& imp) {
  std::string s;
  for (const std::string& a : imp.avisos) s += "Aten\xE7\xE3o: " + a + "\r";
  std::array<int, 6> conta{};
  for (const ItemRevisto& r : imp.itens) {
    ++conta[static_cast<size_t>(r.situacao)];
    if (r.situacao == Situacao::Igual && r.linhaOrigem == 0) continue;
    s += "item " + (r.ordem.empty() ? std::string("?") : r.ordem);
    if (r.linhaOrigem) s += " (linha " + std::to_string(r.linhaOrigem) + ")";
    s += std::string(": ") + NomeSituacao(r.situacao);
    if (r.linhaTabela > 0)
      s += "; marca \"" + r.marcaAntes + "\" -> \"" +
           (r.marcaDepois.empty() ? r.marcaAntes : r.marcaDepois) + "\"; valor " +
           Valor(r.valorAntes) + " -> " + Valor(r.valorDepois ? r.valorDepois : r.valorAntes);
    if (!r.motivo.empty()) s += "; " + r.motivo;
    s += "\r";
  }
  s += std::to_string(conta[0]) + " novos, " + std::to_string(conta[1]) + " alterados, " +
       std::to_string(conta[2]) + " iguais, " + std::to_string(conta[3]) + " recusados, " +
       std::to_string(conta[4]) + " sem correspond\xEAncia, " + std::to_string(conta[5]) +
       " com v\xE1rias correspond\xEAncias.";
  return s;
}

int Aplica(const Importacao& imp, app::TTabelaItens& tabela) {
  int aplicados = 0;
  for (const ItemRevisto& r : imp.itens) {
    if ((r.situacao != Situacao::Nova && r.situacao != Situacao::Alterada) || r.linhaTabela <= 0)
      continue;
    tabela.IrParaLinha(static_cast<int>(r.linhaTabela));
    tabela.Edita();
    if (!r.marcaDepois.empty()) tabela.AtribuiTexto(app::Campo::marca, r.marcaDepois);
    if (r.valorDepois)
      tabela.AtribuiDouble(app::Campo::valor, static_cast<double>(*r.valorDepois) / 10000.0);
    tabela.Grava();
    ++aplicados;
  }
  return aplicados;
}

}  // namespace planilha
