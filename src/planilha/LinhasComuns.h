// What every reader does with a row it has built: count it against the limit, hand it over when it
// holds something, and start the next one empty.
#pragma once

#include <charconv>
#include <optional>
#include <string>

#include "planilha/Planilha.h"

namespace planilha::detalhe {

// Cells of all rows together: a sheet of repeated rows and columns stays within this.
constexpr size_t kLimiteCelulas = 20000000;

class Entrega {
 public:
  Entrega(const std::string& nome, const RecebeLinha& recebe, FiltroColunas filtro = nullptr)
      : nome_(nome), recebe_(recebe), filtro_(filtro) {}

  // Whether the caller takes the cells of a column.
  bool Quer(long coluna) const {
    return !filtro_ ||
           (coluna >= 0 && static_cast<size_t>(coluna) < filtro_->size() && (*filtro_)[coluna]);
  }

  // The cell at a 0-based column of the row being built (the row grows to it).
  Celula& Em(int coluna) {
    if (linha_.celulas.size() <= static_cast<size_t>(coluna))
      linha_.celulas.resize(static_cast<size_t>(coluna) + 1);
    return linha_.celulas[static_cast<size_t>(coluna)];
  }
  LinhaPlanilha& Linha() { return linha_; }
  // Whether no cell of the row being built holds anything yet.
  bool Vazia() const {
    for (const Celula& c : linha_.celulas)
      if (c.tipo != TipoCelula::Vazia) return false;
    return true;
  }
  // Hands the row over when any cell holds something, then empties it. False when the reading
  // must stop: cancelled by the caller, or over the limit (then Falha() says why).
  bool Fecha(long numero) {
    while (!linha_.celulas.empty() && linha_.celulas.back().tipo == TipoCelula::Vazia)
      linha_.celulas.pop_back();
    bool continua = true;
    if (!linha_.celulas.empty()) {
      celulas_ += linha_.celulas.size();
      if (++entregues_ > kLimiteLinhas || celulas_ > kLimiteCelulas) {
        falha_ = Erro(nome_,
                      "a planilha tem mais de 300.000 linhas preenchidas, mais do que um processo "
                      "tem itens. Apague as linhas que n\xE3o s\xE3o itens ou divida a planilha");
        return false;
      }
      linha_.linha = numero;
      continua = recebe_(linha_);
    }
    // The cells are emptied, not freed: the next row reuses their storage.
    for (Celula& c : linha_.celulas) {
      c.tipo = TipoCelula::Vazia;
      c.numero = 0;
      c.texto.clear();
      c.formula = false;
    }
    return continua;
  }
  const std::optional<ErroPlanilha>& Falha() const { return falha_; }

 private:
  const std::string& nome_;
  const RecebeLinha& recebe_;
  FiltroColunas filtro_;
  LinhaPlanilha linha_;
  long entregues_ = 0;
  size_t celulas_ = 0;
  std::optional<ErroPlanilha> falha_;
};

// A number written the way XML files write them ("43.5", "1E-3"); false for anything else.
inline bool NumeroXml(std::string_view s, double& v) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace planilha::detalhe
