#include "report/RDmodelos.h"

#include "base/Texto.h"
#include "report/RDprint.h"

namespace report {

namespace {

// Modelo(m) indexes the table by ordinal.
constexpr bool EmOrdem() {
  for (size_t i = 0; i < kModelos.size(); ++i)
    if (static_cast<size_t>(kModelos[i].modelo) != i) return false;
  return true;
}
static_assert(EmOrdem(), "kModelos follows TModelo");

}  // namespace

// Looks the word up in every row's words.
bool ModeloDaPalavra(std::string_view palavra, TModelo& modelo) {
  for (const TLinhaModelo& l : kModelos)
    for (const char* p : l.palavras)
      if (p && palavra == p) {
        modelo = l.modelo;
        return true;
      }
  return false;
}

// Looks the lower-cased key up in the table.
bool ModeloDaChave(const std::string& chave, TModelo& modelo) {
  const std::string c = base::LowerCase(chave);
  for (const TLinhaModelo& l : kModelos)
    if (c == l.chave) {
      modelo = l.modelo;
      return true;
    }
  return false;
}

// The keys in table order.
std::string ListaDeChaves() {
  std::vector<std::string> chaves;
  for (const TLinhaModelo& l : kModelos)
    if (!l.grafico) chaves.emplace_back(l.chave);
  return base::ListaComOu(chaves);
}

// The row's name, or the custom printer's.
std::string NomeModelo(const TRDprint& rd, TModelo modelo) {
  const char* nome = Modelo(modelo).nome;
  return nome ? nome : rd.ImpressoraPersonalizada.NomeImpressora;
}

}  // namespace report
