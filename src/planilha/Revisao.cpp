#include "planilha/Revisao.h"

#include <string_view>

namespace planilha {

namespace {

using app::SituacaoAlteracao;

// The count line's words, in the order the line gives them.
struct RotuloContagem {
  SituacaoAlteracao situacao;
  const char* rotulo;
};
constexpr RotuloContagem kRotulos[] = {
    {SituacaoAlteracao::Nova, "nova(s)"},
    {SituacaoAlteracao::Alterada, "alterada(s)"},
    {SituacaoAlteracao::Igual, "igual(is)"},
    {SituacaoAlteracao::Recusada, "recusada(s)"},
    {SituacaoAlteracao::SemCorrespondencia, "sem correspond\xEAncia"},
    {SituacaoAlteracao::VariasCorrespondencias, "com v\xE1rias correspond\xEAncias"},
};

// The width of the review's reason column in the text rendering.
size_t LarguraMotivo() {
  for (const app::ColunaRevisao& c : app::ColunasRevisao())
    if (std::string_view(c.titulo) == "Motivo") return static_cast<size_t>(c.largura);
  return 0;
}

// The reasons the review's column cuts, whole, each with its sheet row (what to do is at the end).
std::string MotivosInteiros(const app::LoteAlteracoes& l) {
  std::string s;
  const size_t largura = LarguraMotivo();
  for (const app::AlteracaoItem& a : l.itens) {
    if (a.motivo.size() <= largura) continue;
    s += "Linha " + std::to_string(a.linhaOrigem);
    if (!a.ordem.empty()) s += " (item " + a.ordem + ")";
    s += ": " + a.motivo + "\n";
  }
  return s;
}

}  // namespace

std::string TextoAvisos(const Importacao& imp) {
  std::string s;
  for (const std::string& a : imp.avisos) s += "Aten\xE7\xE3o: " + a + "\n";
  return s;
}

std::string TextoContagem(const app::LoteAlteracoes& l) {
  std::string s;
  for (const RotuloContagem& r : kRotulos) {
    size_t n = 0;
    for (const app::AlteracaoItem& a : l.itens) n += a.situacao == r.situacao ? 1 : 0;
    s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + r.rotulo;
  }
  return s + ".";
}

std::string TextoRevisao(const app::TTabelaItens& tabela, const Importacao& imp) {
  return TextoAvisos(imp) + app::TextoRevisao(tabela, imp.alteracoes) +
         MotivosInteiros(imp.alteracoes) + TextoContagem(imp.alteracoes) + "\n";
}

}  // namespace planilha
