// Proposals built in memory for the tests and the benchmarks: an item from its number, lot, brand,
// quantity and price; an item table loaded with such items; a supplier's letter data.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/CartaProposta.h"
#include "app/TabelaItens.h"

namespace teste {

// Item `ordem` of lot `lote`, coded "C<ordem>" and named "Produto <ordem>".
inline app::Item ItemProposta(int ordem, const std::string& lote, const std::string& marca,
                              double quantidade, std::optional<double> valor) {
  app::Item i;
  i.ordem = ordem;
  i.lote = lote;
  i.codigo = "C" + std::to_string(ordem);
  i.nome = "Produto " + std::to_string(ordem);
  i.marca = marca;
  i.quantidade = quantidade;
  i.valor = valor;
  return i;
}

// Empties the table and loads the items, as reading a process file does.
inline void CarregaItens(app::TTabelaItens& tabela, const std::vector<app::Item>& itens) {
  tabela.Reinicia();
  for (const app::Item& i : itens) tabela.CarregaLinha(i);
  tabela.FimCarga();
}

// A supplier in Campinas with a valid CPF for its representative, a CNPJ in the new
// alphanumeric form, the factory terms and process "2024/0015".
inline app::DadosCarta DadosCartaTeste() {
  app::DadosCarta d;
  d.perfil.nome = "Matriz";
  d.perfil.razaoSocial = "Papelaria Alfa Ltda";
  d.perfil.cnpj = "12abc34501de35";
  d.perfil.municipio = "Campinas";
  d.perfil.uf = "SP";
  d.perfil.representante = "Maria da Silva";
  d.perfil.cpf = "52998224725";
  d.termos = app::TermosDeFabrica();
  d.termos.orgao = "Prefeitura de Campinas";
  d.numeroProcesso = "2024/0015";
  d.descricao = "Aquisi\xE7\xE3o de material";
  return d;
}

}  // namespace teste
