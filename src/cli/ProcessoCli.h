// What the commands that work on a process file share: the window's message boxes as terminal
// lines, and the process file (the single positional argument) opened as "&Abrir Processo" does.
#pragma once

#include <string>
#include <vector>

#include "app/Proposta.h"
#include "cli/Comandos.h"
#include "platform/Platform.h"

namespace cli {

// Plain messages on stdout, errors on stderr.
class PlataformaTerminal : public platform::HeadlessPlatform {
 public:
  void showMessage(const std::string& m) override { Saida(m); }
  void showApplicationError(const std::string& m) override { Erro(m); }
};

// Opens ARQUIVO.xml (the single argument left) into a proposal; false, with the usage line
// shown, when the arguments are not that.
inline bool AbreProcesso(std::vector<std::string>& args, app::TProposta& p, const char* uso) {
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
    Erro(std::string("uso: proposta-cli ") + uso);
    return false;
  }
  p.FormCreate();
  p.AbrirProcesso(args[0]);
  return true;
}

}  // namespace cli
