// Terms files: one JSON object per process, and the user's defaults in the same shape.
#include "app/TermosProposta.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/ArquivoJson.h"
#include "platform/CodePage.h"
#include "platform/UserFolders.h"

namespace app {

const std::vector<CampoTermos>& CamposTermos() {
  static const std::vector<CampoTermos> campos = {
      {"perfil", "--perfil", "Perfil da empresa", &TermosProposta::perfil},
      {"orgao", "--orgao", "\xD3rg\xE3o licitante", &TermosProposta::orgao},
      {"prazo_entrega", "--entrega", "Prazo de entrega", &TermosProposta::prazoEntrega},
      {"local_entrega", "--local-entrega", "Local de entrega", &TermosProposta::localEntrega},
      {"condicoes_pagamento", "--pagamento",
       "Condi\xE7\xF5"
       "es de pagamento",
       &TermosProposta::condicoesPagamento},
      {"garantia", "--garantia", "Garantia", &TermosProposta::garantia},
      {"observacoes", "",
       "Observa\xE7\xF5"
       "es",
       &TermosProposta::observacoes},
  };
  return campos;
}

namespace {

template <size_t N>
bool Permitido(const int (&valores)[N], int v) {
  return std::find(std::begin(valores), std::end(valores), v) != std::end(valores);
}

// An integer member, or the default when absent or not a number.
int Inteiro(const nlohmann::json& o, const char* chave, int padrao) {
  auto it = o.find(chave);
  return it != o.end() && it->is_number_integer() ? it->get<int>() : padrao;
}

TermosProposta TermosDeJson(const nlohmann::json& o, const TermosProposta& base) {
  TermosProposta t = base;
  for (const CampoTermos& c : CamposTermos())
    if (o.contains(c.chave)) t.*c.membro = TextoDeJson(o, c.chave);
  t.validadeDias = Inteiro(o, "validade_dias", t.validadeDias);
  t.casasDecimais = Inteiro(o, "casas_decimais", t.casasDecimais);
  t.limiteMarca = Inteiro(o, "limite_marca", t.limiteMarca);
  if (auto it = o.find("declaracoes"); it != o.end() && it->is_array()) {
    t.declaracoes.clear();
    for (const nlohmann::json& d : *it)
      if (d.is_string()) t.declaracoes.push_back(platform::utf8ToCp1252(d.get<std::string>()));
  }
  return t;
}

nlohmann::json JsonDeTermos(const TermosProposta& t) {
  nlohmann::json o = nlohmann::json::object();
  o["formato"] = 1;
  for (const CampoTermos& c : CamposTermos()) o[c.chave] = TextoJson(t.*c.membro);
  o["validade_dias"] = t.validadeDias;
  o["casas_decimais"] = t.casasDecimais;
  o["limite_marca"] = t.limiteMarca;
  nlohmann::json d = nlohmann::json::array();
  for (const std::string& s : t.declaracoes) d.push_back(TextoJson(s));
  o["declaracoes"] = d;
  return o;
}

// Reads a terms file over `base`.
TermosLidos Le(const std::string& caminho, const TermosProposta& base) {
  TermosLidos r;
  r.termos = base;
  if (caminho.empty()) return r;
  LeituraJson l = LeJson(caminho);
  r.erro = l.erro;
  r.bloqueado = l.bloqueado;
  if (l.documento) {
    r.termos = TermosDeJson(*l.documento, base);
    r.guardados = true;
  }
  return r;
}

// Writes terms to a file unless refused or blocked.
std::optional<std::string> Grava(const std::string& caminho, const TermosProposta& t) {
  if (auto e = RecusaTermos(t)) return e;
  if (caminho.empty())
    return std::string("Sem pasta pessoal (HOME): os termos n\xE3o podem ser guardados.");
  if (LeituraJson l = LeJson(caminho); l.bloqueado) return l.erro;
  GravaJson(caminho, JsonDeTermos(t));
  return std::nullopt;
}

// 64-bit FNV-1a of a text.
uint64_t Resumo(const std::string& s) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

}  // namespace

std::optional<std::string> RecusaTermos(const TermosProposta& t) {
  if (t.validadeDias < 0 || t.validadeDias > 3650)
    return std::string("A validade da proposta vai de 1 a 3650 dias (0: n\xE3o informada).");
  if (!Permitido(kCasasPermitidas, t.casasDecimais))
    return std::string("As casas decimais permitidas pelo edital s\xE3o 2 ou 4.");
  if (!Permitido(kLimitesMarca, t.limiteMarca))
    return std::string("O limite da marca no portal \xE9 de 20, 40 ou 50 caracteres.");
  return std::nullopt;
}

TermosProposta TermosDeFabrica() {
  TermosProposta t;
  t.declaracoes = {
      "Declaramos que nos pre\xE7os propostos est\xE3o inclu\xED"
      "das todas as despesas com tributos, fretes, seguros, encargos sociais e trabalhistas e "
      "quaisquer outras que incidam sobre o fornecimento.",
      "Declaramos que os produtos ofertados atendem a todas as especifica\xE7\xF5"
      "es exigidas no edital e que aceitamos todas as suas condi\xE7\xF5"
      "es.",
  };
  return t;
}

TermosLidos LeTermosPadrao() {
  const std::string pasta = platform::userConfigFolder();
  return Le(pasta.empty() ? std::string() : pasta + "/termos-padrao.json", TermosDeFabrica());
}

std::optional<std::string> GravaTermosPadrao(const TermosProposta& termos) {
  const std::string pasta = platform::userConfigFolder();
  return Grava(pasta.empty() ? std::string() : pasta + "/termos-padrao.json", termos);
}

std::string CaminhoTermos(const std::string& numero, const std::string& descricao) {
  const std::string pasta = platform::userDataFolder();
  if (pasta.empty()) return {};
  std::string nome;
  for (char c : numero.substr(0, 40))
    nome += std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80
                ? c
                : '_';
  char resumo[24];
  std::snprintf(resumo, sizeof resumo, "%016llx",
                static_cast<unsigned long long>(Resumo(numero + "\n" + descricao)));
  return pasta + "/termos/" + nome + "-" + resumo + ".json";
}

TermosLidos LeTermos(const std::string& numero, const std::string& descricao) {
  TermosLidos padrao = LeTermosPadrao();
  TermosLidos r = Le(CaminhoTermos(numero, descricao), padrao.termos);
  if (r.erro.empty()) r.erro = padrao.erro;
  return r;
}

std::optional<std::string> GravaTermos(const std::string& numero, const std::string& descricao,
                                       const TermosProposta& termos) {
  return Grava(CaminhoTermos(numero, descricao), termos);
}

}  // namespace app
