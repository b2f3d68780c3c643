#include "app/TabelaItens.h"

#include <algorithm>
#include <cmath>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"

namespace app {

using base::EConvertError;
using base::EDatabaseError;

namespace {
const char* const kNomes[] = {"ordem",      "lote",  "codigo",   "nome",      "descricao", "marca",
                              "quantidade", "valor", "apuracao", "totallote", "qtotallote"};

bool EhAgregado(Campo c) { return c == Campo::totallote || c == Campo::qtotallote; }

std::string* TextoDe(Item& i, Campo c) {
  switch (c) {
    case Campo::lote:
      return &i.lote;
    case Campo::codigo:
      return &i.codigo;
    case Campo::nome:
      return &i.nome;
    case Campo::descricao:
      return &i.descricao;
    case Campo::marca:
      return &i.marca;
    case Campo::apuracao:
      return &i.apuracao;
    default:
      return nullptr;
  }
}

const std::string* TextoDe(const Item& i, Campo c) { return TextoDe(const_cast<Item&>(i), c); }

std::optional<double>* NumeroDe(Item& i, Campo c) {
  if (c == Campo::quantidade) return &i.quantidade;
  if (c == Campo::valor) return &i.valor;
  return nullptr;
}

bool PorLote(const Item& a, const Item& b) { return a.lote < b.lote; }

// A key whose integer order is the byte order of a lot text of at most 5 bytes: the bytes
// big-endian, then the length (so a prefix sorts first).
uint64_t ChaveLote(const std::string& lote) {
  uint64_t k = 0;
  for (size_t i = 0; i < 5; ++i) {
    k <<= 8;
    if (i < lote.size()) k |= static_cast<unsigned char>(lote[i]);
  }
  return (k << 8) | lote.size();
}

std::string TextoDoItem(const Item& i, Campo c) {
  if (c == Campo::ordem) return i.ordem ? base::IntToStr(*i.ordem) : std::string();
  if (c == Campo::quantidade || c == Campo::valor) {
    const auto& v = c == Campo::quantidade ? i.quantidade : i.valor;
    return v ? base::FloatToStr(*v) : std::string();
  }
  return *TextoDe(i, c);
}

std::string ExibicaoDoItem(const Item& i, Campo c) {
  if (c == Campo::quantidade || c == Campo::valor) {
    const auto& v = c == Campo::quantidade ? i.quantidade : i.valor;
    return v ? base::FormatFloat("0.0000", *v) : std::string();
  }
  return TextoDoItem(i, c);
}
}  // namespace

TTabelaItens::TTabelaItens() = default;
TTabelaItens::~TTabelaItens() = default;

std::optional<Campo> TTabelaItens::CampoPorNome(std::string_view nome) {
  for (int i = 0; i <= static_cast<int>(Campo::qtotallote); ++i)
    if (base::SameText(nome, kNomes[i])) return static_cast<Campo>(i);
  return std::nullopt;
}

const char* TTabelaItens::NomeCampo(Campo c) { return kNomes[static_cast<int>(c)]; }

size_t TTabelaItens::Largura(Campo c) {
  switch (c) {
    case Campo::lote:
      return 5;
    case Campo::codigo:
      return 11;
    case Campo::nome:
      return 45;
    case Campo::marca:
      return 20;
    case Campo::apuracao:
      return 1;
    default:
      return 0;
  }
}

void TTabelaItens::ExigeAberta() const {
  if (estado_ == Estado::Fechada)
    throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TTabelaItens::ExigeEdicao() const {
  ExigeAberta();
  if (estado_ != Estado::Editando && estado_ != Estado::Inserindo)
    throw EDatabaseError("Dataset not in edit or insert mode");
}

void TTabelaItens::Notifica() {
  if (aoMudarDados) aoMudarDados();
}

void TTabelaItens::Reinicia() {
  linhas_.clear();
  grupos_.clear();
  grupoDaLinha_.clear();
  estado_ = Estado::Navegando;
  atual_ = -1;
  eof_ = bof_ = true;
  cargaPendente_ = false;
  alteracoes_ = 0;
  Notifica();
}

void TTabelaItens::TrocaConteudo(TTabelaItens& outra) {
  if (estado_ == Estado::Editando || estado_ == Estado::Inserindo) estado_ = Estado::Navegando;
  if (outra.cargaPendente_) outra.FimCarga();
  linhas_.swap(outra.linhas_);
  grupos_.swap(outra.grupos_);
  grupoDaLinha_.swap(outra.grupoDaLinha_);
  alteracoes_ = 0;
  estado_ = Estado::Navegando;
  outra.linhas_.clear();
  outra.grupos_.clear();
  outra.grupoDaLinha_.clear();
  outra.estado_ = Estado::Fechada;
  outra.atual_ = -1;
  Primeiro();
}

void TTabelaItens::CarregaLinha(Item item) {
  if (estado_ == Estado::Fechada) estado_ = Estado::Navegando;
  for (Campo c : {Campo::lote, Campo::codigo, Campo::nome, Campo::marca, Campo::apuracao}) {
    std::string& t = *TextoDe(item, c);
    if (t.size() > Largura(c)) t.resize(Largura(c));
  }
  linhas_.push_back(std::move(item));
  cargaPendente_ = true;
}

void TTabelaItens::FimCarga() {
  if (!cargaPendente_) return;
  cargaPendente_ = false;
  if (!std::is_sorted(linhas_.begin(), linhas_.end(), PorLote)) {
    // Sort small keys, then move each row once: rows are large and lots are at most 5 bytes.
    std::vector<std::pair<uint64_t, uint32_t>> ordem(linhas_.size());
    for (size_t i = 0; i < linhas_.size(); ++i)
      ordem[i] = {ChaveLote(linhas_[i].lote), static_cast<uint32_t>(i)};
    std::sort(ordem.begin(), ordem.end());
    std::vector<Item> ordenadas;
    ordenadas.reserve(linhas_.size());
    for (const auto& [chave, i] : ordem) ordenadas.push_back(std::move(linhas_[i]));
    linhas_.swap(ordenadas);
  }
  RefazGrupos();
  atual_ = linhas_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = linhas_.empty();
}

bool TTabelaItens::Vazia() const { return estado_ == Estado::Fechada || linhas_.empty(); }
int TTabelaItens::NumLinhas() const { return static_cast<int>(linhas_.size()); }

void TTabelaItens::RefazGrupos() {
  grupos_.clear();
  grupoDaLinha_.assign(linhas_.size(), 0);
  int n = NumLinhas();
  for (int i = 0; i < n;) {
    int j = i + 1;
    while (j < n && linhas_[static_cast<size_t>(j)].lote == linhas_[static_cast<size_t>(i)].lote)
      ++j;
    grupos_.push_back(Soma{i, j, std::nullopt, std::nullopt});
    for (int k = i; k < j; ++k)
      grupoDaLinha_[static_cast<size_t>(k)] = static_cast<int>(grupos_.size()) - 1;
    RefazSomas(static_cast<int>(grupos_.size()) - 1);
    i = j;
  }
}

void TTabelaItens::RefazSomas(int g) {
  Soma& s = grupos_[static_cast<size_t>(g)];
  s.valor.reset();
  s.valorQuantidade.reset();
  for (int k = s.inicio; k < s.fim; ++k) {
    const Item& it = linhas_[static_cast<size_t>(k)];
    if (it.valor) s.valor = s.valor.value_or(0.0) + *it.valor;
    if (it.valor && it.quantidade)
      s.valorQuantidade = s.valorQuantidade.value_or(0.0) + *it.valor * *it.quantidade;
  }
}

void TTabelaItens::Verifica() {
  if (estado_ == Estado::Editando || estado_ == Estado::Inserindo) Grava();
}

void TTabelaItens::Primeiro() {
  ExigeAberta();
  Verifica();
  atual_ = linhas_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = linhas_.empty();
  Notifica();
}

void TTabelaItens::Ultimo() {
  ExigeAberta();
  Verifica();
  atual_ = NumLinhas() - 1;
  eof_ = true;
  bof_ = linhas_.empty();
  Notifica();
}

void TTabelaItens::MovePor(int n) {
  ExigeAberta();
  Verifica();
  if (linhas_.empty()) {
    eof_ = bof_ = true;
    return;
  }
  bof_ = eof_ = false;
  long alvo = static_cast<long>(atual_) + n;
  if (alvo >= NumLinhas()) {
    alvo = NumLinhas() - 1;
    eof_ = true;
  } else if (alvo < 0) {
    alvo = 0;
    bof_ = true;
  }
  bool moveu = alvo != atual_;
  atual_ = static_cast<int>(alvo);
  if (moveu) Notifica();
}

void TTabelaItens::Proximo() { MovePor(1); }
void TTabelaItens::Anterior() { MovePor(-1); }

int TTabelaItens::NumeroLinha() const {
  return (estado_ == Estado::Fechada || atual_ < 0) ? 0 : atual_ + 1;
}

void TTabelaItens::IrParaLinha(int numero) {
  ExigeAberta();
  if (linhas_.empty()) return;
  MovePor(std::clamp(numero, 1, NumLinhas()) - 1 - atual_);
  bof_ = atual_ == 0 && numero <= 1;
  eof_ = false;
}

void TTabelaItens::Insere() {
  ExigeAberta();
  Verifica();
  pendente_ = Item{};
  estado_ = Estado::Inserindo;
}

void TTabelaItens::Edita() {
  ExigeAberta();
  if (estado_ == Estado::Editando || estado_ == Estado::Inserindo) return;
  if (linhas_.empty() || atual_ < 0) return;  // the grid adds no rows: nothing to edit
  pendente_ = linhas_[static_cast<size_t>(atual_)];
  estado_ = Estado::Editando;
}

void TTabelaItens::Grava() {
  ExigeEdicao();
  if (aoAtualizarDados) aoAtualizarDados();
  ++alteracoes_;
  if (estado_ == Estado::Editando) {
    Item& linha = linhas_[static_cast<size_t>(atual_)];
    bool mudouLote = linha.lote != pendente_.lote;
    linha = std::move(pendente_);
    pendente_ = Item{};
    estado_ = Estado::Navegando;
    if (!mudouLote) {
      RefazSomas(grupoDaLinha_[static_cast<size_t>(atual_)]);
    } else {
      Item p = std::move(linhas_[static_cast<size_t>(atual_)]);
      linhas_.erase(linhas_.begin() + atual_);
      auto pos = std::upper_bound(linhas_.begin(), linhas_.end(), p, PorLote);
      atual_ = static_cast<int>(pos - linhas_.begin());
      linhas_.insert(pos, std::move(p));
      RefazGrupos();
    }
  } else {
    Item p = std::move(pendente_);
    pendente_ = Item{};
    estado_ = Estado::Navegando;
    auto pos = std::upper_bound(linhas_.begin(), linhas_.end(), p, PorLote);
    atual_ = static_cast<int>(pos - linhas_.begin());
    linhas_.insert(pos, std::move(p));
    RefazGrupos();
  }
  eof_ = bof_ = false;
  Notifica();
  if (aoGravar) aoGravar();
}

void TTabelaItens::Cancela() {
  if (estado_ != Estado::Editando && estado_ != Estado::Inserindo) return;
  estado_ = Estado::Navegando;
  pendente_ = Item{};
  Notifica();
}

void TTabelaItens::Apaga() {
  ExigeAberta();
  if (estado_ == Estado::Inserindo) {
    Cancela();
    return;
  }
  if (linhas_.empty() || atual_ < 0)
    throw EDatabaseError("Cannot perform this operation on an empty dataset");
  if (aoApagar) aoApagar();
  estado_ = Estado::Navegando;
  pendente_ = Item{};
  ++alteracoes_;
  linhas_.erase(linhas_.begin() + atual_);
  RefazGrupos();
  if (atual_ >= NumLinhas()) atual_ = NumLinhas() - 1;
  eof_ = linhas_.empty();
  bof_ = linhas_.empty();
  Notifica();
}

const Item& TTabelaItens::Atual() const {
  ExigeAberta();
  static const Item vazio;
  if (estado_ == Estado::Editando || estado_ == Estado::Inserindo) return pendente_;
  if (atual_ < 0) return vazio;
  return linhas_[static_cast<size_t>(atual_)];
}

Item& TTabelaItens::ParaEscrita() {
  ExigeEdicao();
  return pendente_;
}

std::optional<double> TTabelaItens::Agregado(Campo c) const {
  ExigeAberta();
  if (atual_ < 0 || estado_ == Estado::Inserindo) return std::nullopt;
  return AgregadoDaLinha(atual_, c);
}

bool TTabelaItens::Nulo(Campo c) const {
  if (EhAgregado(c)) return !Agregado(c).has_value();
  const Item& i = Atual();
  if (c == Campo::ordem) return !i.ordem;
  if (c == Campo::quantidade) return !i.quantidade;
  if (c == Campo::valor) return !i.valor;
  return TextoDe(i, c)->empty();
}

std::string TTabelaItens::ComoTexto(Campo c) const {
  if (EhAgregado(c)) {
    auto v = Agregado(c);
    return v ? base::FloatToStr(*v) : std::string();
  }
  return TextoDoItem(Atual(), c);
}

int32_t TTabelaItens::ComoInteiro(Campo c) const {
  if (c == Campo::ordem) return Atual().ordem.value_or(0);
  if (c == Campo::quantidade || c == Campo::valor || EhAgregado(c)) {
    double d = ComoDouble(c);
    if (!(d > -2147483649.0 && d < 2147483648.0))
      throw EConvertError("Invalid variant type conversion");
    return static_cast<int32_t>(std::nearbyint(d));
  }
  std::string t = ComoTexto(c);
  return t.empty() ? 0 : base::StrToInt(t);
}

double TTabelaItens::ComoDouble(Campo c) const {
  if (EhAgregado(c)) return Agregado(c).value_or(0.0);
  const Item& i = Atual();
  if (c == Campo::ordem) return i.ordem.value_or(0);
  if (c == Campo::quantidade) return i.quantidade.value_or(0.0);
  if (c == Campo::valor) return i.valor.value_or(0.0);
  const std::string& t = *TextoDe(i, c);
  return t.empty() ? 0.0 : base::StrToFloat(t);
}

Contagem TTabelaItens::ComoFixo(Campo c) const { return ParaFixo(ComoDouble(c)); }

PosicaoGrupo TTabelaItens::Grupo() const {
  ExigeAberta();
  if (atual_ < 0) return {};
  return GrupoDaLinha(atual_);
}

void TTabelaItens::AtribuiTexto(Campo c, std::string_view texto) {
  if (EhAgregado(c))
    throw EDatabaseError(std::string("Field '") + NomeCampo(c) + "' cannot be modified");
  Item& i = ParaEscrita();
  if (c == Campo::ordem) {
    if (texto.empty()) {
      i.ordem.reset();
    } else {
      int32_t v;
      if (!base::TryStrToInt(texto, v))
        throw EConvertError("'" + std::string(texto) +
                            "' is not a valid integer value for field '" + NomeCampo(c) + "'");
      i.ordem = v;
    }
    Notifica();
    return;
  }
  if (auto* n = NumeroDe(i, c)) {
    if (texto.empty()) {
      n->reset();
    } else {
      double v;
      if (!base::TryStrToFloat(texto, v))
        throw EConvertError("'" + std::string(texto) +
                            "' is not a valid floating point value for field '" + NomeCampo(c) +
                            "'");
      *n = v;
    }
    Notifica();
    return;
  }
  std::string& t = *TextoDe(i, c);
  size_t largura = Largura(c);
  t.assign(largura && texto.size() > largura ? texto.substr(0, largura) : texto);
  Notifica();
}

void TTabelaItens::AtribuiInteiro(Campo c, int32_t v) {
  if (c == Campo::ordem) {
    ParaEscrita().ordem = v;
    Notifica();
    return;
  }
  if (c == Campo::quantidade || c == Campo::valor) {
    AtribuiDouble(c, v);
    return;
  }
  AtribuiTexto(c, base::IntToStr(v));
}

void TTabelaItens::AtribuiDouble(Campo c, double v) {
  if (auto* n = NumeroDe(ParaEscrita(), c)) {
    *n = v;
    Notifica();
    return;
  }
  if (c == Campo::ordem) {
    AtribuiInteiro(c, static_cast<int32_t>(std::nearbyint(v)));
    return;
  }
  AtribuiTexto(c, base::FloatToStr(v));
}

void TTabelaItens::Limpa(Campo c) { AtribuiTexto(c, ""); }

std::string TTabelaItens::TextoExibicao(Campo c) const {
  if (EhAgregado(c)) return ClientDataSet1totalloteGetText(c);
  return ExibicaoDoItem(Atual(), c);
}

std::string TTabelaItens::ClientDataSet1totalloteGetText(Campo c) const {
  ExigeAberta();
  if (atual_ < 0) return {};
  return TextoExibicaoDaLinha(atual_, c);
}

const Item& TTabelaItens::Linha(int linha) const {
  if (linha == atual_ && (estado_ == Estado::Editando)) return pendente_;
  return linhas_.at(static_cast<size_t>(linha));
}

std::optional<double> TTabelaItens::AgregadoDaLinha(int linha, Campo c) const {
  const Soma& s = grupos_.at(static_cast<size_t>(grupoDaLinha_.at(static_cast<size_t>(linha))));
  return c == Campo::totallote ? s.valor : s.valorQuantidade;
}

PosicaoGrupo TTabelaItens::GrupoDaLinha(int linha) const {
  const Soma& s = grupos_.at(static_cast<size_t>(grupoDaLinha_.at(static_cast<size_t>(linha))));
  return PosicaoGrupo{linha == s.inicio, linha == s.fim - 1};
}

std::string TTabelaItens::TextoExibicaoDaLinha(int linha, Campo c) const {
  if (EhAgregado(c)) {
    if (!GrupoDaLinha(linha).ultimo) return {};
    auto v = AgregadoDaLinha(linha, c);
    return v ? base::FormatFloat("R$ #,##0.00", *v) : std::string();
  }
  return ExibicaoDoItem(Linha(linha), c);
}

}  // namespace app
