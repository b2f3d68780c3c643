// The sheet as rows of cells, and the CSV writer.
#include "planilha/Escritores.h"

#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/CodePage.h"

namespace planilha::detalhe {

std::string Titulo(const DescricaoColuna& c) { return platform::cp1252ToUtf8(c.titulo); }

Folha MontaFolha(const app::TTabelaItens& tabela, std::string_view processo) {
  Folha f;
  const int n = tabela.NumLinhas();
  f.linhas.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const app::LinhaItem& l = tabela.Linha(i);
    LinhaExportada e;
    if (l.ordem) e.ordem = base::IntToStr(*l.ordem);
    e.lote = platform::cp1252ToUtf8(l.lote);
    e.codigo = platform::cp1252ToUtf8(l.codigo);
    e.produto = platform::cp1252ToUtf8(l.nome);
    e.descricao = platform::cp1252ToUtf8(base::Trim(l.descricao));
    e.apuracao = platform::cp1252ToUtf8(l.apuracao);
    e.marca = platform::cp1252ToUtf8(l.marca);
    e.quantidade = l.quantidade;
    if (l.valor && *l.valor != 0) {
      e.valor = app::ParaFixo(*l.valor);
      e.total = app::ArredondaContagem(app::Produto(*e.valor, l.quantidade.value_or(0)));
    }
    f.linhas.push_back(std::move(e));
  }
  f.id = IdentificacaoDaTabela(tabela, processo);
  f.id.processo = platform::cp1252ToUtf8(f.id.processo);
  return f;
}

namespace {

// A field, quoted when it holds the separator, a quote or a line break.
void Campo(std::string& s, std::string_view v, bool ultimo) {
  if (v.find_first_of(";\"\r\n") == std::string_view::npos) {
    s.append(v);
  } else {
    s += '"';
    for (char c : v) {
      if (c == '"') s += '"';
      s += c;
    }
    s += '"';
  }
  s += ultimo ? "\r\n" : ";";
}

}  // namespace

bool EscreveCsv(const Folha& f, platform::ByteSink& destino) {
  std::string s = "\xEF\xBB\xBF";
  const auto& colunas = ColunasExportadas();
  for (size_t i = 0; i < colunas.size(); ++i) Campo(s, Titulo(colunas[i]), i + 1 == colunas.size());
  for (const LinhaExportada& l : f.linhas) {
    Campo(s, l.ordem, false);
    Campo(s, l.lote, false);
    Campo(s, l.codigo, false);
    Campo(s, l.produto, false);
    Campo(s, l.descricao, false);
    Campo(s, l.quantidade ? base::FloatToStr(*l.quantidade) : std::string(), false);
    Campo(s, l.apuracao, false);
    Campo(s, l.marca, false);
    Campo(s, l.valor ? base::FormatFixo("0.0000", *l.valor) : std::string(), false);
    Campo(s, l.valor ? base::FormatFixo("0.00", l.total) : std::string(), true);
    if (s.size() > (size_t(1) << 20)) {
      if (!destino.write(s)) return false;
      s.clear();
    }
  }
  s += "\r\n";
  Campo(s, platform::cp1252ToUtf8(kTituloIdentificacao), false);
  Campo(s, f.id.processo, false);
  Campo(s, std::to_string(f.id.itens), false);
  Campo(s, f.id.resumo, true);
  return destino.write(s);
}

}  // namespace planilha::detalhe
