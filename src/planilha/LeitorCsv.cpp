// Texts separated by semicolons (or commas, or tabs: the first line decides), in UTF-8 with or
// without a byte-order mark, fields quoted with double quotes as spreadsheets write them.
#include <algorithm>
#include <array>
#include <string>

#include "planilha/Leitores.h"
#include "planilha/LinhasComuns.h"

namespace planilha::detalhe {

namespace {

// The position of the first byte that is not valid UTF-8, or npos.
size_t PrimeiroInvalido(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2)) return i;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return i;
    i += n;
  }
  return std::string_view::npos;
}

// The separator of the first line: the most frequent of ";", "," and tab outside quotes (";"
// when none appears).
char Separador(std::string_view s) {
  std::array<size_t, 3> conta{};
  const char candidatos[] = {';', ',', '\t'};
  bool aspas = false;
  for (char c : s) {
    if (c == '"') aspas = !aspas;
    if (!aspas && (c == '\n' || c == '\r')) break;
    for (size_t k = 0; k < 3; ++k)
      if (!aspas && c == candidatos[k]) ++conta[k];
  }
  size_t melhor = 0;
  for (size_t k = 1; k < 3; ++k)
    if (conta[k] > conta[melhor]) melhor = k;
  return candidatos[melhor];
}

// Splits the text into records and fields, one pass.
class Divisor {
 public:
  Divisor(std::string_view s, Entrega& entrega) : s_(s), entrega_(entrega), sep_(Separador(s)) {}

  bool Divide() {
    long linha = 1;
    std::string aspas;  // a quoted field, unquoted
    while (i_ < s_.size()) {
      const long inicio = linha;
      int coluna = 0;
      for (;;) {
        std::string_view campo;
        const bool fimRegistro = Campo(campo, aspas, linha);
        if (!campo.empty() && coluna < kLimiteColunas && entrega_.Quer(coluna)) {
          Celula& c = entrega_.Em(coluna);
          c.tipo = TipoCelula::Texto;
          ParaCp1252(campo, c.texto);
        }
        ++coluna;
        if (fimRegistro) break;
      }
      if (!entrega_.Fecha(inicio)) return false;
      ++linha;
    }
    return true;
  }

 private:
  // Reads one field into `campo` (a piece of the text, or of `aspas` when the field is quoted);
  // true when it ended its record (or the text).
  bool Campo(std::string_view& campo, std::string& aspas, long& linha) {
    if (i_ < s_.size() && s_[i_] == '"') {
      aspas.clear();
      const bool fim = CampoEntreAspas(aspas, linha);
      campo = aspas;
      return fim;
    }
    campo = AteOFim();
    return FimDoCampo();
  }

  // The text up to the next separator or line break.
  std::string_view AteOFim() {
    const size_t inicio = i_;
    while (i_ < s_.size() && s_[i_] != sep_ && s_[i_] != '\r' && s_[i_] != '\n') ++i_;
    return s_.substr(inicio, i_ - inicio);
  }

  // Steps over the separator or line break that ends a field; true when it ended the record.
  bool FimDoCampo() {
    if (i_ == s_.size()) return true;
    const char c = s_[i_++];
    if (c == sep_) return false;
    if (c == '\r' && i_ < s_.size() && s_[i_] == '\n') ++i_;
    return true;
  }

  // A quoted field, appended to `campo`: doubled quotes are one quote; line breaks inside belong
  // to it. What follows the closing quote up to the separator is kept, as spreadsheets do.
  bool CampoEntreAspas(std::string& campo, long& linha) {
    ++i_;
    for (;;) {
      const size_t aspa = std::min(s_.find('"', i_), s_.size());
      const std::string_view trecho = s_.substr(i_, aspa - i_);
      linha += static_cast<long>(std::count(trecho.begin(), trecho.end(), '\n'));
      campo.append(trecho);
      i_ = aspa + 1;
      if (aspa == s_.size() || i_ >= s_.size() || s_[i_] != '"') break;
      campo += '"';
      ++i_;
    }
    if (i_ >= s_.size()) {
      i_ = s_.size();
      return true;
    }
    campo += AteOFim();
    return FimDoCampo();
  }

  std::string_view s_;
  Entrega& entrega_;
  char sep_;
  size_t i_ = 0;
};

}  // namespace

std::optional<ErroPlanilha> LeCsv(std::string_view bytes, const std::string& nome,
                                  const RecebeLinha& recebe, FiltroColunas colunas) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (const size_t ruim = PrimeiroInvalido(bytes); ruim != std::string_view::npos) {
    const size_t linha =
        1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + ruim, '\n'));
    return Erro(nome, "o texto n\xE3o est\xE1 em UTF-8 (linha " + std::to_string(linha) +
                          "; provavelmente em Windows-1252). Na planilha eletr\xF4nica, salve-o "
                          "como \"CSV UTF-8\" ou escolha a codifica\xE7\xE3o Unicode (UTF-8)");
  }
  Entrega entrega(nome, recebe, colunas);
  Divisor d(bytes, entrega);
  d.Divide();
  if (entrega.Falha()) return entrega.Falha();
  return std::nullopt;
}

}  // namespace planilha::detalhe
