// The terms of a written proposal for one process: the purchasing body, the validity, delivery,
// payment and warranty, notes, the declarations, and what the edital allows (decimals of a price,
// the length of a brand). Kept per process in the user's data folder (never beside the process
// file), found again when the same process is reopened; new processes start from the user's own
// defaults, kept once for all processes in the configuration folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// Texts are Windows-1252.
struct TermosProposta {
  std::string perfil;     // the company profile chosen for this proposal
  std::string orgao;      // the purchasing body, addressee of the letter
  int validadeDias = 60;  // 0: not stated
  std::string prazoEntrega, localEntrega, condicoesPagamento, garantia, observacoes;
  int casasDecimais = 2;  // decimals the edital allows in a unit price: 2 or 4
  int limiteMarca = 50;   // characters the bidding portal takes in a brand: 20, 40 or 50
  std::vector<std::string> declaracoes;
};

// A text field of the terms: key in the file, command-line option (empty: none), label in the
// window, member. One table for every reader.
struct CampoTermos {
  const char* chave;
  const char* opcao;
  const char* rotulo;
  std::string TermosProposta::*membro;
};
const std::vector<CampoTermos>& CamposTermos();

// The values the edital settings may take.
inline constexpr int kCasasPermitidas[] = {2, 4};
inline constexpr int kLimitesMarca[] = {20, 40, 50};

// Why the terms cannot be kept (what to fix), or std::nullopt.
std::optional<std::string> RecusaTermos(const TermosProposta& termos);

// The built-in defaults: validity of 60 days and the usual declarations.
TermosProposta TermosDeFabrica();

// What reading found: the terms (stored, or the defaults), whether they were stored, and a
// damaged file kept aside or an unreadable one (then `bloqueado`: it is not written over).
struct TermosLidos {
  TermosProposta termos;
  bool guardados = false;
  std::string erro;
  bool bloqueado = false;
};

// The user's defaults: $XDG_CONFIG_HOME/proposta/termos-padrao.json, or the built-in ones.
TermosLidos LeTermosPadrao();
// Writes them atomically (raises base::EInOutError); the refusal when they are not acceptable.
std::optional<std::string> GravaTermosPadrao(const TermosProposta& termos);

// The file of a process: $XDG_DATA_HOME/proposta/termos/NUMERO-HASH.json, the process told apart
// by its number and its description.
std::string CaminhoTermos(const std::string& numero, const std::string& descricao);
// The terms of the process, or the user's defaults when none were kept.
TermosLidos LeTermos(const std::string& numero, const std::string& descricao);
// Keeps them for the process (raises base::EInOutError); the refusal when they are not acceptable
// or the file there is unreadable.
std::optional<std::string> GravaTermos(const std::string& numero, const std::string& descricao,
                                       const TermosProposta& termos);

}  // namespace app
