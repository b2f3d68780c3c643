// The column mappings the user chose, remembered per sheet layout (the texts of its header row) in
// the user's settings folder ($XDG_CONFIG_HOME/proposta/colunas.json), so the next sheet of the
// same layout imports without asking again. The file is written atomically; a damaged one is put
// aside under another name and reported, never silently emptied.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "planilha/Importacao.h"

namespace planilha {

class MemoriaColunas {
 public:
  // The file in the user's settings folder.
  static std::string CaminhoPadrao();
  explicit MemoriaColunas(std::string caminho = CaminhoPadrao()) : caminho_(std::move(caminho)) {}

  // Reads the file (a missing one is an empty memory). A damaged file is renamed aside and the
  // returned warning says so and where it is; the memory then starts empty.
  std::optional<std::string> Carrega();
  std::optional<Mapeamento> Procura(const std::string& assinatura) const;
  void Lembra(const std::string& assinatura, const Mapeamento& m);
  // Writes the file; the message of a failure (Windows-1252) otherwise.
  std::optional<std::string> Grava() const;

 private:
  std::string caminho_;
  std::map<std::string, Mapeamento> mapas_;
  bool intocavel_ = false;  // a damaged file that could not be put aside: never written over
};

// The mapping a sheet needs no question for: our own layout, or the one remembered for the layout
// whose header is one of the first rows.
std::optional<Mapeamento> MapeamentoConhecido(const std::vector<LinhaPlanilha>& primeiras,
                                              const MemoriaColunas& memoria);
// Remembers the mapping the user chose for the layout of its header row (when that row is among
// the first rows) and writes the memory; the message of a failure otherwise.
std::optional<std::string> LembraMapeamento(const std::vector<LinhaPlanilha>& primeiras,
                                            const Mapeamento& m, MemoriaColunas& memoria);

}  // namespace planilha
