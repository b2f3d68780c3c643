// The folder "&Abrir Processo" opens its dialog in: that of the process open now, else that of the
// last process opened in this or an earlier run (kept in the user's settings folder), else the
// home folder. A folder that no longer exists is passed over.
#pragma once

#include <optional>
#include <string>

namespace app {

// The settings file: $XDG_CONFIG_HOME/proposta/pastas.json; empty without a home folder.
std::string CaminhoPastas();

// Where the open dialog starts, and what the user must hear about the settings file (a damaged
// one is put aside and said so; Windows-1252).
struct PastaInicial {
  std::string pasta;  // a path (empty without a home folder)
  std::optional<std::string> aviso;
};
PastaInicial PastaInicialAbrir(const std::string& processoAberto,
                               const std::string& arquivo = CaminhoPastas());

// Keeps the folder of the process file `processo` for the next run; the message (Windows-1252)
// when it could not.
std::optional<std::string> LembraPastaProcesso(const std::string& processo,
                                               const std::string& arquivo = CaminhoPastas());

}  // namespace app
