// The preview's search over the page store and the whole-report match list.
#include "report/RDbusca.h"

#include <algorithm>
#include <array>

#include "report/RDTools.h"
#include "report/RDcomando.h"
#include "report/RDestado.h"

namespace report {

namespace {

// The byte-for-byte folding the search compares under: RemoveAcentos, then (unless case matters)
// a..z upper-cased. Built from RemoveAcentos itself, one byte at a time.
class Dobra {
 public:
  explicit Dobra(bool diferenciaMaiusculas) {
    for (int c = 0; c < 256; ++c) {
      unsigned char r =
          static_cast<unsigned char>(RemoveAcentos(std::string(1, static_cast<char>(c)))[0]);
      if (!diferenciaMaiusculas && r >= 'a' && r <= 'z') r = static_cast<unsigned char>(r - 32);
      tabela_[static_cast<size_t>(c)] = static_cast<char>(r);
    }
  }
  // The folded copy of `texto` in `destino`.
  void Aplica(std::string_view texto, std::string& destino) const {
    destino.resize(texto.size());
    for (size_t i = 0; i < texto.size(); ++i)
      destino[i] = tabela_[static_cast<unsigned char>(texto[i])];
  }
  // The folding for a case flag (tables built once).
  static const Dobra& Para(bool diferenciaMaiusculas) {
    static const Dobra com(true), sem(false);
    return diferenciaMaiusculas ? com : sem;
  }

 private:
  std::array<char, 256> tabela_{};
};

// The decimal number of a fixed field (non-digits read as 0).
int32_t Numero(std::string_view entrada, TCampoComando campo) {
  int32_t n = 0;
  for (char c : CampoDe(entrada, campo)) n = n * 10 + ((c >= '0' && c <= '9') ? c - '0' : 0);
  return n;
}

// Whether a store entry is a text the search sees (letters T, D and X).
bool EhTexto(std::string_view e) {
  const char c = CodigoDe(e);
  return c == 'T' || c == 'D' || c == 'X';
}

// Tells whether an entry is a T, D or X text holding the folded search text.
class Comparador {
 public:
  Comparador(bool diferenciaMaiusculas, std::string_view texto)
      : dobra_(Dobra::Para(diferenciaMaiusculas)) {
    dobra_.Aplica(texto, procurado_);
  }
  bool Confere(std::string_view entrada) {
    if (!EhTexto(entrada)) return false;
    std::string_view texto = TextoDe(entrada);
    if (texto.size() < procurado_.size()) return false;
    dobra_.Aplica(texto, area_);
    return area_.find(procurado_) != std::string::npos;
  }

 private:
  const Dobra& dobra_;
  std::string procurado_, area_;
};

// The results for an entry found at an index: its page, line + 1 and column + text length.
TAchado AchadoDe(std::string_view entrada, int32_t indice) {
  TAchado a;
  a.pagina = Numero(entrada, kCampoPagina);
  a.linha = Numero(entrada, kCampoLinha) + 1;
  a.coluna = Numero(entrada, kCampoColuna) + static_cast<int32_t>(TextoDe(entrada).size());
  a.indice = indice;
  return a;
}

// The search mark (the entry with its letter replaced by M) and the results for an entry.
void Marca(std::string_view entrada, int32_t indice, TAchado& achado) {
  EstadoRelatorio().MarcaBusca = ComOutroCodigo(entrada, 'M');
  achado = AchadoDe(entrada, indice);
}

// A line of the grid: the texts of its T, D and X entries placed from their columns.
std::string ComponheLinha(const std::vector<std::string_view>& entradas) {
  std::string linha;
  for (std::string_view e : entradas) {
    if (!EhTexto(e)) continue;
    std::string_view texto = TextoDe(e);
    size_t inicio = static_cast<size_t>(std::max(Numero(e, kCampoColuna), 1) - 1);
    if (linha.size() < inicio + texto.size()) linha.resize(inicio + texto.size(), ' ');
    linha.replace(inicio, texto.size(), texto);
  }
  size_t fim = linha.find_last_not_of(' ');
  size_t comeco = linha.find_first_not_of(' ');
  return fim == std::string::npos ? std::string() : linha.substr(comeco, fim - comeco + 1);
}

}  // namespace

// The search routine of the find dialog.
bool ProcuraTexto(bool paraBaixo, bool diferenciaMaiusculas, std::string_view texto,
                  int32_t& posicao, TAchado& achado) {
  TEstadoRelatorio& e = EstadoRelatorio();
  e.MarcaBusca.clear();
  achado = TAchado{};
  if (texto.empty()) return false;
  Comparador comparador(diferenciaMaiusculas, texto);
  const TPaginasRelatorio* loja = e.paginas.get();
  const int64_t ultimo = loja ? static_cast<int64_t>(loja->Quantidade()) - 1 : -1;
  if (posicao < 0) posicao = 0;
  if (posicao > ultimo) posicao = static_cast<int32_t>(ultimo);
  if (posicao < 0) return false;

  auto p = loja->NaOrdem(static_cast<size_t>(posicao));
  int32_t i = posicao;
  while (true) {
    std::string_view entrada = loja->Em(p);
    if (comparador.Confere(entrada)) {
      Marca(entrada, i, achado);
      posicao = paraBaixo ? i + 1 : i - 1;
      return true;
    }
    if (paraBaixo) {
      loja->Avanca(p);
      if (p == loja->Fim()) return false;
      ++i;
    } else {
      if (!loja->Recua(p)) return false;
      --i;
    }
  }
}

// Every match of the store, with the text of its line.
std::vector<TOcorrencia> ListaOcorrencias(bool diferenciaMaiusculas, std::string_view texto) {
  std::vector<TOcorrencia> lista;
  const TPaginasRelatorio* loja = EstadoRelatorio().paginas.get();
  if (texto.empty() || !loja) return lista;
  Comparador comparador(diferenciaMaiusculas, texto);
  std::vector<std::string_view> linha;  // the entries of the line being read
  size_t primeiraDaLinha = 0;           // its first match in `lista`
  auto fechaLinha = [&] {
    if (primeiraDaLinha < lista.size()) {
      std::string composta = ComponheLinha(linha);
      for (size_t k = primeiraDaLinha; k < lista.size(); ++k) lista[k].textoLinha = composta;
    }
    linha.clear();
    primeiraDaLinha = lista.size();
  };
  int32_t i = 0;
  for (auto p = loja->Inicio(); p != loja->Fim(); loja->Avanca(p), ++i) {
    std::string_view entrada = loja->Em(p);
    if (!linha.empty() &&
        entrada.substr(0, kCampoLinha.fim()) != linha.front().substr(0, kCampoLinha.fim()))
      fechaLinha();
    linha.push_back(entrada);
    if (comparador.Confere(entrada)) lista.push_back({AchadoDe(entrada, i), std::string()});
  }
  fechaLinha();
  return lista;
}

// Marks the entry at an index.
bool MarcaEntrada(int32_t indice, TAchado& achado) {
  const TPaginasRelatorio* loja = EstadoRelatorio().paginas.get();
  if (!loja || indice < 0 || static_cast<size_t>(indice) >= loja->Quantidade()) return false;
  std::string_view entrada = loja->Em(loja->NaOrdem(static_cast<size_t>(indice)));
  if (entrada.size() <= kCampoCodigo.inicio) return false;
  Marca(entrada, indice, achado);
  return true;
}

}  // namespace report
