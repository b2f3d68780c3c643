// The checks of a proposal before it is sent, on the same figures the letter prints.
#include "app/Conferencia.h"

#include "app/Documentos.h"
#include "app/ValoresCarta.h"
#include "base/Formato.h"
#include "base/Texto.h"

namespace app {

namespace {

std::string Dinheiro(int64_t centavos) { return base::FormatFixo("#,##0.00", centavos, 2); }

// The findings of one item of the letter.
void ConfereItem(const LinhaItem& item, Contagem preco, const TermosProposta& t,
                 std::vector<Pendencia>& r) {
  auto acha = [&](std::string motivo) {
    r.push_back({item.ordem, std::string(item.lote), motivo});
  };
  if (preco == 0) {
    acha("sem valor num lote cotado: preencha o valor ou retire o lote inteiro.");
    return;
  }
  if (base::Trim(item.marca).empty()) acha("cotado sem marca: informe a marca do produto.");
  if (static_cast<int>(item.marca.size()) > t.limiteMarca)
    acha("a marca tem " + std::to_string(item.marca.size()) + " caracteres; o portal aceita " +
         std::to_string(t.limiteMarca) + ".");
  Contagem passo = 1;
  for (int i = t.casasDecimais; i < 4; ++i) passo *= 10;
  if (preco % passo != 0)
    acha("o valor unit\xE1rio " + base::FormatFixo("#,##0.0000", preco) + " tem mais de " +
         std::to_string(t.casasDecimais) + " casas decimais, o limite do edital.");
}

// Printed totals that do not add up to the printed lot and global totals.
void ConfereSomas(const ValoresCarta& v, std::vector<Pendencia>& r) {
  for (const ValorLote& l : v.lotes) {
    const int64_t programa = CentavosImpressos(l.totalPrograma);
    if (l.lote.empty() || programa == l.centavos) continue;
    r.push_back({std::nullopt, l.lote,
                 "os totais dos itens impressos (duas casas) somam " + Dinheiro(l.centavos) +
                     ", mas o total do lote calculado pelo programa \xE9 " + Dinheiro(programa) +
                     "; a carta imprime " + Dinheiro(l.centavos) +
                     ". Ajuste os valores unit\xE1rios para duas casas."});
  }
  const int64_t programa = CentavosImpressos(v.totalPrograma);
  if (programa != v.centavos)
    r.push_back({std::nullopt,
                 {},
                 "Total da proposta: os totais dos itens impressos somam R$ " +
                     Dinheiro(v.centavos) + ", mas o total calculado pelo programa \xE9 R$ " +
                     Dinheiro(programa) + "; a carta imprime R$ " + Dinheiro(v.centavos) + "."});
}

// The company's and the terms' data.
void ConfereDados(const PerfilEmpresa& p, const TermosProposta& t, std::vector<Pendencia>& r) {
  auto acha = [&](std::string motivo) { r.push_back({std::nullopt, {}, std::move(motivo)}); };
  if (t.validadeDias <= 0) acha("Validade da proposta n\xE3o informada: preencha-a nos termos.");
  if (base::Trim(p.representante).empty())
    acha("Representante legal n\xE3o informado no perfil da empresa.");
  if (auto e = RecusaCNPJ(p.cnpj)) acha(*e);
  if (auto e = RecusaCPF(p.cpf)) acha("Representante: " + *e);
}

}  // namespace

std::vector<Pendencia> ConfereProposta(const TTabelaItens& tabela, const PerfilEmpresa& perfil,
                                       const TermosProposta& termos) {
  std::vector<Pendencia> r;
  const ValoresCarta v = CalculaValores(tabela);
  for (const ValorItem& i : v.itens) ConfereItem(tabela.Linha(i.linha), i.preco, termos, r);
  ConfereSomas(v, r);
  ConfereDados(perfil, termos, r);
  return r;
}

std::string TextoPendencia(const Pendencia& p) {
  std::string onde;
  if (p.ordem)
    onde = "Item " + base::FormatFixo("00000", *p.ordem, 0) +
           (p.lote.empty() ? "" : " (lote " + p.lote + ")") + ": ";
  else if (!p.lote.empty())
    onde = "Lote " + p.lote + ": ";
  return onde + p.motivo;
}

}  // namespace app
