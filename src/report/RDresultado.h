// What an operation of the report engine tells its caller: whether it succeeded and the message
// the user reads, with the kind of box it belongs in. Operations return it; the box is shown once,
// by whoever stands at the edge (TRDprint::Comunica for the windows and the command line).
#pragma once

#include <string>
#include <utility>

namespace report {

// Where a message goes.
enum class TCaixa {
  Nenhuma,     // nothing to show
  Erro,        // the engine's error box
  Aviso,       // the engine's warning box (the operation may still have succeeded)
  Aplicacao,   // the application's error box
  Informacao,  // a plain message (what a cancelled print job had sent)
  Numerado,    // a numbered error: to OnErro when assigned, otherwise the engine's error box
};

struct TResultado {
  bool ok = true;
  TCaixa caixa = TCaixa::Nenhuma;
  std::string mensagem;

  static TResultado Sucesso() { return {}; }
  // A failure the user is told about.
  static TResultado Falha(TCaixa caixa, std::string mensagem) {
    return {false, caixa, std::move(mensagem)};
  }
  // A failure with nothing to add (the user cancelled, or was told already).
  static TResultado Interrompido() { return {false, TCaixa::Nenhuma, {}}; }
  // A success with a warning.
  static TResultado ComAviso(std::string mensagem) {
    return {true, TCaixa::Aviso, std::move(mensagem)};
  }
};

}  // namespace report
