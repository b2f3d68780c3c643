#include "planilha/Importacao.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <unordered_map>

#include "base/Formato.h"
#include "base/Texto.h"
#include "planilha/Valores.h"
#include "platform/CodePage.h"

namespace planilha {

namespace {

using app::AlteracaoItem;
using app::SituacaoAlteracao;

struct NomeDoCriterio {
  Criterio criterio;
  const char* nome;
};
constexpr NomeDoCriterio kCriterios[] = {
    {Criterio::Ordem, "ordem"}, {Criterio::Codigo, "codigo"}, {Criterio::Nome, "nome"}};

struct CampoMapeado {
  const char* nome;
  std::optional<int> Mapeamento::*coluna;
};
constexpr CampoMapeado kCampos[] = {{"ordem", &Mapeamento::ordem},
                                    {"codigo", &Mapeamento::codigo},
                                    {"nome", &Mapeamento::nome},
                                    {"marca", &Mapeamento::marca},
                                    {"valor", &Mapeamento::valor}};

// The beginnings of the titles that say what a supplier's column holds (compared as product names
// are: without case, accents and repeated blanks).
struct TituloConhecido {
  std::optional<int> Mapeamento::*coluna;
  std::vector<std::string_view> inicios;
};
const TituloConhecido kTitulos[] = {
    {&Mapeamento::ordem, {"item", "ordem"}},
    {&Mapeamento::codigo, {"cod"}},
    {&Mapeamento::nome, {"produto", "descricao", "nome"}},
    {&Mapeamento::marca, {"marca", "fabricante"}},
    {&Mapeamento::valor, {"preco", "valor", "vl"}},
};

// The field a title names, if any.
const TituloConhecido* CampoDoTitulo(const std::string& titulo) {
  if (titulo.find("total") != std::string::npos) return nullptr;
  for (const TituloConhecido& t : kTitulos)
    for (std::string_view inicio : t.inicios)
      if (titulo.starts_with(inicio)) return &t;
  return nullptr;
}

// The key column of a criterion.
std::optional<int> ColunaChave(const Mapeamento& m) {
  switch (m.por) {
    case Criterio::Ordem:
      return m.ordem;
    case Criterio::Codigo:
      return m.codigo;
    case Criterio::Nome:
      break;
  }
  return m.nome;
}

// The key of a text as the criterion compares it.
std::string Chave(Criterio por, std::string_view texto) {
  if (por == Criterio::Nome) return NomeComparavel(texto);
  return base::Trim(texto);
}

// Texts equal once blanks and control characters at both ends are dropped (the common case, equal
// as they stand, costs one comparison).
bool IguaisSemBrancos(std::string_view a, std::string_view b) {
  return a == b || base::Trim(a) == base::Trim(b);
}

// Names equal as the product-name criterion compares them.
bool MesmoNome(std::string_view a, std::string_view b) {
  return a == b || NomeComparavel(a) == NomeComparavel(b);
}

// The texts that identify a sheet row, read once for the digest and the matching.
struct Identidade {
  std::string ordem, codigo, nome;
  Identidade(const LinhaPlanilha& l, const Mapeamento& m) {
    if (m.ordem) ordem = TextoDaCelula(l.Em(*m.ordem));
    if (m.codigo) codigo = TextoDaCelula(l.Em(*m.codigo));
    if (m.nome) nome = TextoDaCelula(l.Em(*m.nome));
  }
  // The text of the key column of a criterion.
  const std::string& DoCriterio(Criterio por) const {
    return por == Criterio::Ordem ? ordem : por == Criterio::Codigo ? codigo : nome;
  }
};

// The matching of one import: the table's items by key, the proposals per item (built in place,
// in table order: an item not yet named has linhaTabela 0), and the rows that name no item.
class Casamento {
 public:
  Casamento(const Mapeamento& m, const app::TTabelaItens& t) : m_(m), t_(t) {
    porItem_.resize(static_cast<size_t>(t.NumLinhas()));
    indice_.reserve(static_cast<size_t>(t.NumLinhas()));
    for (int i = 0; i < t.NumLinhas(); ++i) {
      const auto [lugar, novo] = indice_.try_emplace(ChaveDoItem(i), i);
      if (!novo) lugar->second = kVarios;
    }
  }

  void Linha(const LinhaPlanilha& l, const Identidade& id) {
    const std::string chave = Chave(m_.por, id.DoCriterio(m_.por));
    const bool temValores = Preenchida(l, m_.marca) || Preenchida(l, m_.valor);
    if (chave.empty()) {
      if (temValores)
        SemItem(l, id, SituacaoAlteracao::SemCorrespondencia,
                "a linha n\xE3o diz qual \xE9 o item");
      return;
    }
    const auto achou = indice_.find(chave);
    if (achou == indice_.end()) {
      SemItem(l, id, SituacaoAlteracao::SemCorrespondencia,
              "nenhum item com " + std::string(NomeCriterio(m_.por)) + " \"" + chave + "\"");
      return;
    }
    if (achou->second == kVarios) {
      SemItem(l, id, SituacaoAlteracao::VariasCorrespondencias, "itens " + ItensDaChave(chave));
      return;
    }
    Item(l, id, achou->second);
  }

  void Resultado(std::vector<AlteracaoItem>& itens) {
    for (size_t i = 0; i < porItem_.size(); ++i) {
      if (porItem_[i].linhaTabela != 0) continue;
      porItem_[i] = DoItem(static_cast<int>(i));
      porItem_[i].motivo = "n\xE3o est\xE1 na planilha";
    }
    itens = std::move(porItem_);
    itens.reserve(itens.size() + semItem_.size());
    std::move(semItem_.begin(), semItem_.end(), std::back_inserter(itens));
  }

 private:
  // The numbers of the items that share a key, listed once per key.
  const std::string& ItensDaChave(const std::string& chave) {
    auto [lugar, novo] = varios_.try_emplace(chave);
    if (novo)
      for (int i = 0; i < t_.NumLinhas(); ++i)
        if (ChaveDoItem(i) == chave)
          lugar->second += (lugar->second.empty() ? "" : ", ") + Ordem(i);
    return lugar->second;
  }

  static bool Preenchida(const LinhaPlanilha& l, const std::optional<int>& coluna) {
    return coluna && l.Em(*coluna).tipo != TipoCelula::Vazia;
  }

  std::string Ordem(int i) const {
    const auto& o = t_.Linha(i).ordem;
    return o ? base::IntToStr(*o) : std::string();
  }

  std::string ChaveDoItem(int i) const {
    const app::LinhaItem& l = t_.Linha(i);
    switch (m_.por) {
      case Criterio::Ordem:
        return Ordem(i);
      case Criterio::Codigo:
        return Chave(Criterio::Codigo, l.codigo);
      case Criterio::Nome:
        break;
    }
    return NomeComparavel(l.nome);
  }

  AlteracaoItem DoItem(int i) const {
    const app::LinhaItem& l = t_.Linha(i);
    AlteracaoItem r;
    r.linhaTabela = i + 1;
    r.ordem = Ordem(i);
    r.codigo = l.codigo;
    r.nome = l.nome;
    r.marcaAntes = l.marca;
    if (l.valor) r.valorAntes = app::ParaFixo(*l.valor);
    return r;
  }

  void SemItem(const LinhaPlanilha& l, const Identidade& id, SituacaoAlteracao s,
               std::string motivo) {
    AlteracaoItem r;
    r.ordem = id.ordem;
    r.codigo = id.codigo;
    r.nome = id.nome;
    if (m_.marca) r.marcaDepois = TextoDaCelula(l.Em(*m_.marca));
    r.situacao = s;
    r.motivo = std::move(motivo);
    r.linhaOrigem = l.linha;
    semItem_.push_back(std::move(r));
  }

  // On our own sheet the row's code and product must still be the item's.
  std::string Divergencia(const Identidade& id, int i) const {
    const app::LinhaItem& item = t_.Linha(i);
    if (m_.codigo && !IguaisSemBrancos(id.codigo, item.codigo))
      return "o c\xF3"
             "digo da planilha (" +
             id.codigo + ") n\xE3o \xE9 o do item " + Ordem(i) + " (" + std::string(item.codigo) +
             ")";
    if (m_.por == Criterio::Ordem && m_.nome && !MesmoNome(id.nome, item.nome))
      return "o produto da planilha n\xE3o \xE9 o do item " + Ordem(i);
    return {};
  }

  void Item(const LinhaPlanilha& l, const Identidade& id, int i) {
    if (std::string d = Divergencia(id, i); !d.empty()) {
      SemItem(l, id, SituacaoAlteracao::SemCorrespondencia, std::move(d));
      return;
    }
    AlteracaoItem& lugar = porItem_[static_cast<size_t>(i)];
    if (lugar.linhaTabela != 0) {
      const std::string repetida = "o item " + Ordem(i) + " aparece nas linhas " +
                                   std::to_string(lugar.linhaOrigem) + " e " +
                                   std::to_string(l.linha) + " da planilha";
      Recusa(lugar, repetida);
      AlteracaoItem r = DoItem(i);
      r.linhaOrigem = l.linha;
      Recusa(r, repetida);
      semItem_.push_back(std::move(r));
      return;
    }
    lugar = DoItem(i);
    lugar.linhaOrigem = l.linha;
    Valores(l, lugar);
  }

  static void Recusa(AlteracaoItem& r, std::string motivo) {
    r.situacao = SituacaoAlteracao::Recusada;
    r.motivo = std::move(motivo);
    r.marcaDepois.clear();
    r.valorDepois.reset();
  }

  void Valores(const LinhaPlanilha& l, AlteracaoItem& r) const {
    std::string marca, motivo;
    app::Contagem valor = 0;
    // A brand the sheet gives back as the item holds it stays, even when the file's brand holds
    // a character typing would have removed.
    const bool mesmaMarca =
        m_.marca && IguaisSemBrancos(TextoDaCelula(l.Em(*m_.marca)), r.marcaAntes);
    const Leitura lm =
        m_.marca && !mesmaMarca ? LeMarca(l.Em(*m_.marca), marca, motivo) : Leitura::Vazia;
    if (lm == Leitura::Recusada) return Recusa(r, motivo);
    const Leitura lv = m_.valor ? LePreco(l.Em(*m_.valor), valor, motivo) : Leitura::Vazia;
    if (lv == Leitura::Recusada) return Recusa(r, motivo);
    if (lm == Leitura::Aceita && marca != r.marcaAntes) r.marcaDepois = marca;
    if (lv == Leitura::Aceita && valor != r.valorAntes) r.valorDepois = valor;
    if (r.marcaDepois.empty() && !r.valorDepois)
      r.situacao = SituacaoAlteracao::Igual;
    else if (r.marcaAntes.empty() && r.valorAntes.value_or(0) == 0)
      r.situacao = SituacaoAlteracao::Nova;
    else
      r.situacao = SituacaoAlteracao::Alterada;
  }

  const Mapeamento& m_;
  const app::TTabelaItens& t_;
  static constexpr int kVarios = -1;  // a key several items share
  std::unordered_map<std::string, int> indice_;
  std::unordered_map<std::string, std::string> varios_;
  std::vector<AlteracaoItem> porItem_;
  std::vector<AlteracaoItem> semItem_;
};

// The checks of our own sheet's identification row.
std::optional<ErroPlanilha> ConfereIdentificacao(const Identificacao& id, const Resumo& lido,
                                                 long linhasLidas, const app::TTabelaItens& t,
                                                 std::string_view processo, const std::string& nome,
                                                 std::vector<std::string>& avisos) {
  if (id.processo != processo)
    return ErroPlanilha{"A planilha \"" + nome + "\" foi exportada do processo " + id.processo +
                        ", n\xE3o do processo aberto (" + std::string(processo) +
                        "). Exporte a planilha deste processo e preencha-a. Nada foi alterado."};
  if (lido.Hex() != id.resumo || linhasLidas != id.itens)
    avisos.push_back(
        "Os c\xF3"
        "digos, os produtos ou as linhas da planilha foram alterados "
        "depois da exporta\xE7\xE3o: confira as linhas sem correspond\xEAncia.");
  if (IdentificacaoDaTabela(t, processo).resumo != id.resumo)
    avisos.push_back("Os itens do processo mudaram depois que a planilha foi exportada.");
  return std::nullopt;
}

}  // namespace

const char* NomeCriterio(Criterio c) { return kCriterios[static_cast<int>(c)].nome; }

std::optional<Criterio> CriterioDoNome(std::string_view nome) {
  for (const NomeDoCriterio& c : kCriterios)
    if (nome == c.nome) return c.criterio;
  return std::nullopt;
}

std::optional<Mapeamento> LeColunas(std::string_view texto, std::string& erro) {
  Mapeamento m;
  while (!texto.empty()) {
    const size_t virgula = texto.find(',');
    const std::string_view par = texto.substr(0, virgula);
    texto = virgula == std::string_view::npos ? std::string_view() : texto.substr(virgula + 1);
    const size_t igual = par.find('=');
    const CampoMapeado* campo = nullptr;
    for (const CampoMapeado& c : kCampos)
      if (par.substr(0, igual) == c.nome) campo = &c;
    const std::optional<int> coluna =
        igual == std::string_view::npos ? std::nullopt : ColunaDoNome(par.substr(igual + 1));
    if (!campo || !coluna) {
      erro = "\"" + std::string(par) +
             "\" n\xE3o \xE9 CAMPO=COLUNA (campos: ordem, codigo, nome, marca, valor; colunas "
             "A, B, ... AA)";
      return std::nullopt;
    }
    m.*(campo->coluna) = *coluna;
  }
  return m;
}

std::string TextoColunas(const Mapeamento& m) {
  std::string s;
  for (const CampoMapeado& c : kCampos)
    if (m.*(c.coluna))
      s += (s.empty() ? "" : ",") + std::string(c.nome) + "=" + NomeColuna(*(m.*(c.coluna)));
  return s;
}

std::string FaltaNoMapeamento(const Mapeamento& m) {
  if (!ColunaChave(m))
    return "Diga em que coluna est\xE1 o campo " + std::string(NomeCriterio(m.por)) +
           ", pelo qual as linhas s\xE3o comparadas com os itens.";
  if (!m.marca && !m.valor) return "Diga em que coluna est\xE3o a marca ou o valor.";
  return {};
}

std::optional<ErroPlanilha> PrimeirasLinhas(const ArquivoPlanilha& arquivo, size_t aba, size_t n,
                                            std::vector<LinhaPlanilha>& linhas) {
  linhas.clear();
  if (n == 0) return std::nullopt;
  return arquivo.LeLinhas(aba, [&](const LinhaPlanilha& l) {
    linhas.push_back(l);
    return linhas.size() < n;
  });
}

std::optional<Mapeamento> LayoutProprio(const std::vector<LinhaPlanilha>& primeiras) {
  for (const LinhaPlanilha& l : primeiras) {
    bool todas = true;
    for (const DescricaoColuna& c : ColunasExportadas())
      todas = todas && TextoDaCelula(l.Em(IndiceColuna(c.coluna))) == c.titulo;
    if (!todas) continue;
    Mapeamento m;
    m.ordem = IndiceColuna(ColunaExportada::Ordem);
    m.codigo = IndiceColuna(ColunaExportada::Codigo);
    m.nome = IndiceColuna(ColunaExportada::Produto);
    m.marca = IndiceColuna(ColunaExportada::Marca);
    m.valor = IndiceColuna(ColunaExportada::ValorUnitario);
    m.por = Criterio::Ordem;
    m.linhaCabecalho = l.linha;
    return m;
  }
  return std::nullopt;
}

long CabecalhoProvavel(const std::vector<LinhaPlanilha>& primeiras, const Mapeamento& m) {
  long cabecalho = 0;
  for (const LinhaPlanilha& l : primeiras) {
    app::Contagem v = 0;
    std::string motivo;
    const std::optional<int> coluna = m.valor ? m.valor : ColunaChave(m);
    if (!coluna) break;
    const Celula& c = l.Em(*coluna);
    const bool titulo =
        c.tipo == TipoCelula::Texto &&
        (m.valor ? LePrecoTexto(c.texto, v, motivo) == Leitura::Recusada : !cabecalho);
    if (titulo)
      cabecalho = l.linha;
    else if (c.tipo != TipoCelula::Vazia)
      break;
  }
  return cabecalho;
}

Mapeamento MapeamentoSugerido(const std::vector<LinhaPlanilha>& primeiras) {
  for (const LinhaPlanilha& l : primeiras) {
    Mapeamento m;
    for (size_t c = 0; c < l.celulas.size(); ++c) {
      const TituloConhecido* t = CampoDoTitulo(NomeComparavel(TextoDaCelula(l.celulas[c])));
      if (t && !(m.*(t->coluna))) m.*(t->coluna) = static_cast<int>(c);
    }
    if (!m.marca && !m.valor) continue;
    m.por = m.codigo ? Criterio::Codigo : m.nome ? Criterio::Nome : Criterio::Ordem;
    m.linhaCabecalho = l.linha;
    return m;
  }
  return {};
}

std::string AssinaturaLayout(const LinhaPlanilha& cabecalho) {
  std::string s;
  for (const Celula& c : cabecalho.celulas) s += NomeComparavel(TextoDaCelula(c)) + "|";
  return s;
}

std::optional<ErroPlanilha> Importa(const ArquivoPlanilha& arquivo, size_t aba, const Mapeamento& m,
                                    const app::TTabelaItens& tabela, std::string_view processo,
                                    Importacao& resultado,
                                    const std::function<bool(long)>& continua) {
  resultado = Importacao{};
  resultado.alteracoes.origem =
      platform::utf8ToCp1252(std::filesystem::path(arquivo.nome()).filename().string());
  if (std::string falta = FaltaNoMapeamento(m); !falta.empty()) return Erro(arquivo.nome(), falta);
  Casamento casamento(m, tabela);
  std::optional<Identificacao> id;
  Resumo lido;
  long linhas = 0;
  bool cancelada = false;
  // Only the mapped columns and the identification row's first four are read.
  std::vector<bool> colunas(4, true);
  for (const auto& c : {m.ordem, m.codigo, m.nome, m.marca, m.valor})
    if (c) {
      if (colunas.size() <= static_cast<size_t>(*c)) colunas.resize(static_cast<size_t>(*c) + 1);
      colunas[static_cast<size_t>(*c)] = true;
    }
  auto erro = arquivo.LeLinhas(
      aba,
      [&](const LinhaPlanilha& l) {
        if (l.linha <= m.linhaCabecalho) return true;
        // Only a text can be the identification row's title.
        if (l.Em(0).tipo == TipoCelula::Texto && (id = LeIdentificacao(l))) return false;
        if (++linhas % 1024 == 0 && continua && !continua(linhas)) {
          cancelada = true;
          return false;
        }
        const Identidade identidade(l, m);
        lido.Item(identidade.ordem, identidade.codigo, identidade.nome);
        casamento.Linha(l, identidade);
        return true;
      },
      &colunas);
  if (erro) return erro;
  if (cancelada)
    return ErroPlanilha{"A importa\xE7\xE3o de \"" + platform::utf8ToCp1252(arquivo.nome()) +
                        "\" foi cancelada. Nada foi alterado."};
  if (id) {
    if (auto e = ConfereIdentificacao(*id, lido, linhas, tabela, processo,
                                      platform::utf8ToCp1252(arquivo.nome()), resultado.avisos))
      return e;
  }
  casamento.Resultado(resultado.alteracoes.itens);
  return std::nullopt;
}

}  // namespace planilha
