#include "app/TabelaItens.h"

#include <algorithm>
#include <cmath>

#include "app/RegrasEntrada.h"
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

// The text fields of a row, in the order they are stored.
constexpr Campo kTextos[] = {Campo::lote,      Campo::codigo, Campo::nome,
                             Campo::descricao, Campo::marca,  Campo::apuracao};

// The text of a field of a row (the owned text of one being built or edited, the view of a
// stored one); null for a number.
template <class Linha>
auto TextoDe(Linha& i, Campo c) -> decltype(&i.lote) {
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

std::string_view TextoDe(const LinhaItem& i, Campo c) {
  return *TextoDe(const_cast<LinhaItem&>(i), c);
}

std::optional<double>* NumeroDe(Item& i, Campo c) {
  if (c == Campo::quantidade) return &i.quantidade;
  if (c == Campo::valor) return &i.valor;
  return nullptr;
}

// A row's values as views into the owned texts of `i`.
LinhaItem Vista(const Item& i) {
  return LinhaItem{i.ordem, i.lote,     i.codigo,     i.nome, i.descricao,
                   i.marca, i.apuracao, i.quantidade, i.valor};
}

// An owned copy of a row's values.
Item Copia(const LinhaItem& i) {
  return Item{i.ordem,
              std::string(i.lote),
              std::string(i.codigo),
              std::string(i.nome),
              std::string(i.descricao),
              std::string(i.marca),
              std::string(i.apuracao),
              i.quantidade,
              i.valor};
}

// A key whose integer order is the byte order of a lot text of at most 5 bytes: the bytes
// big-endian, then the length (so a prefix sorts first). 48 bits.
uint64_t ChaveLote(std::string_view lote) {
  uint64_t k = 0;
  for (size_t i = 0; i < 5; ++i) {
    k <<= 8;
    if (i < lote.size()) k |= static_cast<unsigned char>(lote[i]);
  }
  return (k << 8) | lote.size();
}

// The positions of the rows in the stable order of their 48-bit keys: a least-significant-byte
// radix sort that skips the bytes every key shares (lots usually differ in one or two bytes).
std::vector<uint32_t> OrdemEstavel(const std::vector<uint64_t>& chaves) {
  const size_t n = chaves.size();
  std::vector<uint32_t> ordem(n), outra(n);
  for (size_t i = 0; i < n; ++i) ordem[i] = static_cast<uint32_t>(i);
  for (int byte = 0; byte < 6; ++byte) {
    const int desloca = byte * 8;
    size_t conta[257] = {};
    for (uint64_t k : chaves) ++conta[((k >> desloca) & 0xFF) + 1];
    if (conta[((chaves[0] >> desloca) & 0xFF) + 1] == n) continue;  // all alike: order kept
    for (int d = 0; d < 256; ++d) conta[d + 1] += conta[d];
    for (uint32_t i : ordem) outra[conta[(chaves[i] >> desloca) & 0xFF]++] = i;
    ordem.swap(outra);
  }
  return ordem;
}

std::string TextoDoItem(const LinhaItem& i, Campo c) {
  if (c == Campo::ordem) return i.ordem ? base::IntToStr(*i.ordem) : std::string();
  if (c == Campo::quantidade || c == Campo::valor) {
    const auto& v = c == Campo::quantidade ? i.quantidade : i.valor;
    return v ? base::FloatToStr(*v) : std::string();
  }
  return std::string(TextoDe(i, c));
}

std::string ExibicaoDoItem(const LinhaItem& i, Campo c) {
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
  guardadas_.clear();
  ordem_.clear();
  textos_.Limpa();
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
  guardadas_.swap(outra.guardadas_);
  ordem_.swap(outra.ordem_);
  textos_.Troca(outra.textos_);
  grupos_.swap(outra.grupos_);
  grupoDaLinha_.swap(outra.grupoDaLinha_);
  alteracoes_ = 0;
  estado_ = Estado::Navegando;
  outra.guardadas_.clear();
  outra.ordem_.clear();
  outra.textos_.Limpa();
  outra.grupos_.clear();
  outra.grupoDaLinha_.clear();
  outra.estado_ = Estado::Fechada;
  outra.atual_ = -1;
  Primeiro();
}

void TTabelaItens::CarregaLinha(const Item& item) { Carrega(Vista(item), true); }

void TTabelaItens::CarregaLinhaSemCopia(const LinhaItem& valores) { Carrega(valores, false); }

void TTabelaItens::Carrega(const LinhaItem& valores, bool copia) {
  if (estado_ == Estado::Fechada) estado_ = Estado::Navegando;
  ordem_.push_back(static_cast<uint32_t>(guardadas_.size()));
  guardadas_.push_back(Guarda(valores, nullptr, copia));
  cargaPendente_ = true;
}

// The row with its texts cut to their widths and (with `copia`) kept in the arena; a text equal to
// the one of `anterior` (the row it replaces) keeps that row's copy.
LinhaItem TTabelaItens::Guarda(const LinhaItem& valores, const LinhaItem* anterior, bool copia) {
  LinhaItem r = valores;
  for (Campo c : kTextos) {
    std::string_view& t = *TextoDe(r, c);
    size_t largura = Largura(c);
    if (largura && t.size() > largura) t = t.substr(0, largura);
    if (anterior && TextoDe(*anterior, c) == t)
      t = TextoDe(*anterior, c);
    else if (copia)
      t = textos_.Guarda(t);
  }
  return r;
}

void TTabelaItens::FimCarga() {
  if (!cargaPendente_) return;
  cargaPendente_ = false;
  // The rows are stored in index order once, so that walking the table afterwards (writers, the
  // listing, the grid) reads memory in order; later moves and deletes only move positions.
  bool identidade = true;
  for (size_t i = 0; i < ordem_.size() && identidade; ++i) identidade = ordem_[i] == i;
  if (!identidade || guardadas_.size() != ordem_.size()) {
    std::vector<LinhaItem> compactas;
    compactas.reserve(ordem_.size());
    for (uint32_t g : ordem_) compactas.push_back(guardadas_[g]);
    guardadas_.swap(compactas);
    for (size_t i = 0; i < ordem_.size(); ++i) ordem_[i] = static_cast<uint32_t>(i);
  }
  std::vector<uint64_t> chaves(guardadas_.size());
  for (size_t i = 0; i < guardadas_.size(); ++i) chaves[i] = ChaveLote(guardadas_[i].lote);
  if (!std::is_sorted(chaves.begin(), chaves.end())) {
    std::vector<uint32_t> ordem = OrdemEstavel(chaves);
    std::vector<uint64_t> ordenadas(chaves.size());
    for (size_t k = 0; k < ordem.size(); ++k) ordenadas[k] = chaves[ordem[k]];
    chaves.swap(ordenadas);
    // Rows move in place, cycle by cycle (no second copy of the table): position k takes the row
    // at ordem[k]; a position done is marked by ordem[k] == k.
    for (uint32_t k = 0; k < ordem.size(); ++k) {
      if (ordem[k] == k) continue;
      LinhaItem guardada = guardadas_[k];
      uint32_t j = k;
      while (ordem[j] != k) {
        uint32_t de = ordem[j];
        guardadas_[j] = guardadas_[de];
        ordem[j] = j;
        j = de;
      }
      guardadas_[j] = guardada;
      ordem[j] = j;
    }
  }
  RefazGrupos(&chaves);
  atual_ = ordem_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = ordem_.empty();
}

// Places a stored row at its index position (after the rows of the same lot); returns that
// position.
int TTabelaItens::PoeNaOrdem(uint32_t guardada) {
  auto pos = std::upper_bound(
      ordem_.begin(), ordem_.end(), guardada,
      [this](uint32_t a, uint32_t b) { return guardadas_[a].lote < guardadas_[b].lote; });
  int posicao = static_cast<int>(pos - ordem_.begin());
  ordem_.insert(pos, guardada);
  return posicao;
}

bool TTabelaItens::Vazia() const { return estado_ == Estado::Fechada || ordem_.empty(); }
int TTabelaItens::NumLinhas() const { return static_cast<int>(ordem_.size()); }

// Rebuilds the lot groups and their sums; with the lots' keys by position (equal keys, equal
// lots) the rows' texts need not be compared.
void TTabelaItens::RefazGrupos(const std::vector<uint64_t>* chaves) {
  grupos_.clear();
  grupoDaLinha_.assign(ordem_.size(), 0);
  int n = NumLinhas();
  auto mesmoLote = [&](int a, int b) {
    if (chaves) return (*chaves)[static_cast<size_t>(a)] == (*chaves)[static_cast<size_t>(b)];
    return Em(a).lote == Em(b).lote;
  };
  for (int i = 0; i < n;) {
    int j = i + 1;
    while (j < n && mesmoLote(j, i)) ++j;
    grupos_.push_back(Soma{i, j, std::nullopt, std::nullopt, true});
    for (int k = i; k < j; ++k)
      grupoDaLinha_[static_cast<size_t>(k)] = static_cast<int>(grupos_.size()) - 1;
    i = j;
  }
}

// The sums of a group, in row order (a double sum depends on its order).
void TTabelaItens::RefazSomas(const Soma& s) const {
  s.desatualizada = false;
  s.valor.reset();
  s.valorQuantidade.reset();
  for (int k = s.inicio; k < s.fim; ++k) {
    const LinhaItem& it = Em(k);
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
  atual_ = ordem_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = ordem_.empty();
  Notifica();
}

void TTabelaItens::Ultimo() {
  ExigeAberta();
  Verifica();
  atual_ = NumLinhas() - 1;
  eof_ = true;
  bof_ = ordem_.empty();
  Notifica();
}

void TTabelaItens::MovePor(int n) {
  ExigeAberta();
  Verifica();
  if (ordem_.empty()) {
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
  if (ordem_.empty()) return;
  MovePor(std::clamp(numero, 1, NumLinhas()) - 1 - atual_);
  bof_ = atual_ == 0 && numero <= 1;
  eof_ = false;
}

std::optional<std::string> TextoCriterio(std::string_view apuracao) {
  if (apuracao == "1") return "Crit\xE9rio: Menor Pre\xE7o Unit\xE1rio do Item";
  if (apuracao == "2") return "Crit\xE9rio: Menor Pre\xE7o Total do Item";
  return std::nullopt;
}

bool MostraCriterio(const LinhaItem& linha) { return TextoCriterio(linha.apuracao).has_value(); }

void TTabelaItens::TerminaPercurso(const std::function<bool(const LinhaItem&)>& marca) {
  ExigeAberta();
  const int n = NumLinhas();
  for (int i = n - 2; i >= 0; --i) {
    if (marca(Linha(i))) {
      IrParaLinha(i + 1);
      break;
    }
  }
  Ultimo();
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
  if (ordem_.empty() || atual_ < 0) return;  // the grid adds no rows: nothing to edit
  pendente_ = Copia(Em(atual_));
  estado_ = Estado::Editando;
}

void TTabelaItens::Grava() {
  ExigeEdicao();
  if (aoAtualizarDados) aoAtualizarDados();
  // A price no bid can have stays in the row being edited, refused.
  if (auto recusa = RecusaPreco(pendente_.ordem ? base::IntToStr(*pendente_.ordem) : std::string(),
                                pendente_.valor, pendente_.quantidade))
    throw EConvertError(*recusa);
  ++alteracoes_;
  if (estado_ == Estado::Editando) {
    LinhaItem& linha = Em(atual_);
    bool mudouLote = linha.lote != pendente_.lote;
    linha = Guarda(Vista(pendente_), &linha);
    pendente_ = Item{};
    estado_ = Estado::Navegando;
    if (!mudouLote) {
      grupos_[static_cast<size_t>(grupoDaLinha_[static_cast<size_t>(atual_)])].desatualizada = true;
    } else {
      uint32_t guardada = ordem_[static_cast<size_t>(atual_)];
      ordem_.erase(ordem_.begin() + atual_);
      atual_ = PoeNaOrdem(guardada);
      RefazGrupos();
    }
  } else {
    guardadas_.push_back(Guarda(Vista(pendente_)));
    pendente_ = Item{};
    estado_ = Estado::Navegando;
    atual_ = PoeNaOrdem(static_cast<uint32_t>(guardadas_.size() - 1));
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
  if (ordem_.empty() || atual_ < 0)
    throw EDatabaseError("Cannot perform this operation on an empty dataset");
  if (aoApagar) aoApagar();
  estado_ = Estado::Navegando;
  pendente_ = Item{};
  ++alteracoes_;
  ordem_.erase(ordem_.begin() + atual_);
  RefazGrupos();
  if (atual_ >= NumLinhas()) atual_ = NumLinhas() - 1;
  eof_ = ordem_.empty();
  bof_ = ordem_.empty();
  Notifica();
}

LinhaItem TTabelaItens::Atual() const {
  ExigeAberta();
  if (estado_ == Estado::Editando || estado_ == Estado::Inserindo) return Vista(pendente_);
  if (atual_ < 0) return {};
  return Em(atual_);
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
  const LinhaItem i = Atual();
  if (c == Campo::ordem) return !i.ordem;
  if (c == Campo::quantidade) return !i.quantidade;
  if (c == Campo::valor) return !i.valor;
  return TextoDe(i, c).empty();
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
  const LinhaItem i = Atual();
  if (c == Campo::ordem) return i.ordem.value_or(0);
  if (c == Campo::quantidade) return i.quantidade.value_or(0.0);
  if (c == Campo::valor) return i.valor.value_or(0.0);
  std::string_view t = TextoDe(i, c);
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

const LinhaItem& TTabelaItens::Linha(int linha) const {
  if (linha == atual_ && (estado_ == Estado::Editando)) {
    vistaPendente_ = Vista(pendente_);
    return vistaPendente_;
  }
  return guardadas_[ordem_.at(static_cast<size_t>(linha))];
}

std::optional<double> TTabelaItens::AgregadoDaLinha(int linha, Campo c) const {
  const Soma& s = grupos_.at(static_cast<size_t>(grupoDaLinha_.at(static_cast<size_t>(linha))));
  if (s.desatualizada) RefazSomas(s);
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
