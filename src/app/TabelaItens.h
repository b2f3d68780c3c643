// The item table: the products of the open process in memory, one row per item, always ordered by
// `lote` (stable, byte order, empty first), with the per-lot sums `totallote` (sum of valor) and
// `qtotallote` (sum of valor x quantidade) kept current on every post and delete. It has a current
// row and the edit cycle (edit, assign field texts, post, cancel) the data-aware controls bind to.
// The texts of all rows live in one arena per table, so loading a large process allocates a few
// blocks instead of one per text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ArenaTextos.h"
#include "app/Moeda.h"

namespace app {

// The fields, in their order, then the two per-lot aggregates.
enum class Campo {
  ordem,
  lote,
  codigo,
  nome,
  descricao,
  marca,
  quantidade,
  valor,
  apuracao,
  totallote,
  qtotallote
};

// The values of one row, owning its texts (a row being built or edited). An empty text is a null
// text; numbers may be null.
struct Item {
  std::optional<int32_t> ordem;
  std::string lote, codigo, nome, descricao, marca, apuracao;
  std::optional<double> quantidade, valor;
};

// The values of one row as the table holds them: the texts are views into the table's arena (or,
// while loading, into wherever the reader keeps them), valid until the row is changed or the table
// is reset.
struct LinhaItem {
  std::optional<int32_t> ordem;
  std::string_view lote, codigo, nome, descricao, marca, apuracao;
  std::optional<double> quantidade, valor;
};

// Where a row stands in its lot group.
struct PosicaoGrupo {
  bool primeiro = false, ultimo = false;  // a single-row group is both
};

// The caption Label6 takes for an item's criterion (`apuracao`): "1" and "2" have theirs, any
// other leaves the label as it is.
std::optional<std::string> TextoCriterio(std::string_view apuracao);
// Whether a row's criterion shows on Label6 when the row becomes current.
bool MostraCriterio(const LinhaItem& linha);

class TTabelaItens {
 public:
  enum class Estado { Fechada, Navegando, Editando, Inserindo };

  TTabelaItens();
  ~TTabelaItens();
  TTabelaItens(const TTabelaItens&) = delete;
  TTabelaItens& operator=(const TTabelaItens&) = delete;

  // Field by name, ignoring letter case ("valor", "Valor"); nullopt when there is none.
  static std::optional<Campo> CampoPorNome(std::string_view nome);
  static const char* NomeCampo(Campo c);
  // Width of a text field (longer texts are cut when stored); 0 for unbounded or numbers.
  static size_t Largura(Campo c);

  // Discards every row and opens an empty table.
  void Reinicia();
  // Takes the rows of `outra` (which is left closed) in one step: a load builds a separate table
  // and swaps it in only when the whole file was read.
  void TrocaConteudo(TTabelaItens& outra);
  // Appends a fully built row in bulk (no events; the index is rebuilt by FimCarga). The texts are
  // cut to their fields' widths and copied into the table.
  void CarregaLinha(const Item& item);
  // Loading without copies: the table takes over the storage the texts of the rows point into
  // (the file image they were read from, say), and rows whose texts are views into it are loaded
  // as they are (only cut to their widths).
  void AdotaTextos(TArenaTextos& textos) { textos_.Incorpora(textos); }
  void CarregaLinhaSemCopia(const LinhaItem& valores);
  void Reserva(size_t linhas) {
    guardadas_.reserve(linhas);
    ordem_.reserve(linhas);
  }
  void FimCarga();

  Estado EstadoAtual() const { return estado_; }
  // Counts the rows changed by posts and deletes since the table was filled (a pending edit counts
  // too), so a caller can tell whether anything typed is not written yet.
  long Alteracoes() const { return alteracoes_ + (estado_ == Estado::Editando ? 1 : 0); }
  // Puts the count back to a value Alteracoes() gave: the rows posted since were put back as they
  // were, so nothing is left to write.
  void RestauraAlteracoes(long alteracoes) {
    alteracoes_ = alteracoes - (estado_ == Estado::Editando ? 1 : 0);
  }
  bool Aberta() const { return estado_ != Estado::Fechada; }
  bool Vazia() const;  // also true when closed
  int NumLinhas() const;

  // Navigation; each posts a row being edited first. Raise EDatabaseError on a closed table.
  void Primeiro();
  void Proximo();
  void Anterior();
  void Ultimo();
  void MovePor(int n);
  // 1-based position of the current row (0 when empty); setting it moves there.
  int NumeroLinha() const;
  void IrParaLinha(int numero);
  bool Fim() const { return eof_; }
  bool Inicio() const { return bof_; }
  // Ends a walk from the first row to the last that read the rows without moving: the table is
  // left as moving row by row would leave it (the last row current, at the end), notifying only
  // the visits that leave a trace: the last row for which `marca` holds, then the last row.
  void TerminaPercurso(const std::function<bool(const LinhaItem&)>& marca);

  // The edit cycle. Insere starts a new row (posted into index order); Edita the current row.
  void Insere();
  void Edita();
  void Grava();    // fires aoAtualizarDados, stores the row, brings the lot sums up to date
  void Cancela();  // drops the pending changes
  void Apaga();    // removes the current row; the next one becomes current

  // Values of the current row (the pending values while it is edited).
  bool Nulo(Campo c) const;
  std::string ComoTexto(
      Campo c) const;                  // as stored / decimal / shortest 15-digit form; "" for null
  int32_t ComoInteiro(Campo c) const;  // null reads 0
  double ComoDouble(Campo c) const;    // null reads 0
  Contagem ComoFixo(Campo c) const;    // the double x 10000 rounded, ties to even; null reads 0
  std::optional<double> Agregado(Campo c) const;  // totallote / qtotallote of the current row
  PosicaoGrupo Grupo() const;

  // Assigning values needs edit or insert mode (EDatabaseError otherwise). Texts are cut to the
  // field's width; an empty text makes the field null. For numbers a text that does not convert is
  // refused with "'%s' is not a valid floating point value for field '%s'" (EConvertError) and the
  // row keeps its value.
  void AtribuiTexto(Campo c, std::string_view texto);
  void AtribuiInteiro(Campo c, int32_t v);
  void AtribuiDouble(Campo c, double v);
  void Limpa(Campo c);

  // Display texts: numbers with four decimals ("0.0000"), texts as stored; the aggregates through
  // ClientDataSet1totalloteGetText.
  std::string TextoExibicao(Campo c) const;
  // "R$ #,##0.00" of the aggregate on the last row of its lot, "" on the others and when null.
  std::string ClientDataSet1totalloteGetText(Campo c) const;

  // Random access for views (the grid) without moving the current row; linha is 0-based. The row
  // being edited shows its pending values.
  const LinhaItem& Linha(int linha) const;
  std::optional<double> AgregadoDaLinha(int linha, Campo c) const;
  PosicaoGrupo GrupoDaLinha(int linha) const;
  std::string TextoExibicaoDaLinha(int linha, Campo c) const;

  // Notifications for the data-aware controls: the current row or its data changed (a field
  // assignment included); the controls
  // are about to write their edited texts into the row (just before a post).
  std::function<void()> aoMudarDados;
  std::function<void()> aoAtualizarDados;
  // A row was posted (it is the current row) / the current row is about to be deleted.
  std::function<void()> aoGravar;
  std::function<void()> aoApagar;

 private:
  void ExigeAberta() const;
  void ExigeEdicao() const;
  void Verifica();  // posts a row being edited (before moving)
  void Notifica();
  void RefazGrupos(const std::vector<uint64_t>* chaves = nullptr);
  LinhaItem Atual() const;
  Item& ParaEscrita();
  void Carrega(const LinhaItem& valores, bool copia);
  LinhaItem Guarda(const LinhaItem& valores, const LinhaItem* anterior = nullptr,
                   bool copia = true);
  int PoeNaOrdem(uint32_t guardada);
  // The row at a 0-based position of the index.
  LinhaItem& Em(int posicao) { return guardadas_[ordem_[static_cast<size_t>(posicao)]]; }
  const LinhaItem& Em(int posicao) const {
    return guardadas_[ordem_[static_cast<size_t>(posicao)]];
  }

  Estado estado_ = Estado::Fechada;
  TArenaTextos textos_;
  // The stored rows (in index order once a load ends; a deleted row stays, unused) and their
  // positions in index order: deleting, inserting and moving a row to another lot move positions,
  // not rows.
  std::vector<LinhaItem> guardadas_;
  std::vector<uint32_t> ordem_;
  // A lot group and its sums. A post only marks the sums out of date; they are summed again, in
  // row order, when next read: applying a list to a lot of many thousands of rows then sums the
  // lot once, not once per row.
  struct Soma {
    int inicio = 0, fim = 0;  // [inicio, fim)
    mutable std::optional<double> valor, valorQuantidade;
    mutable bool desatualizada = true;
  };
  void RefazSomas(const Soma& s) const;
  std::vector<Soma> grupos_;
  std::vector<int> grupoDaLinha_;
  int atual_ = -1;
  bool eof_ = true, bof_ = true;
  Item pendente_;  // the row being edited or inserted
  mutable LinhaItem vistaPendente_;
  bool cargaPendente_ = false;
  long alteracoes_ = 0;
};

}  // namespace app
