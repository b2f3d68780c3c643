// The user's folders of a test: HOME and the XDG folders pointed into a temporary folder for the
// life of the object (and put back after), so nothing is written into the real user's home.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Arquivos.h"

namespace teste {

class PastasUsuario {
 public:
  PastasUsuario() : pasta_("usuario") {
    for (const auto& [variavel, sub] : kVariaveis) {
      const char* antes = std::getenv(variavel);
      antigos_.emplace_back(variavel, antes ? std::optional<std::string>(antes) : std::nullopt);
      ::setenv(variavel, (pasta_ / sub).c_str(), 1);
    }
  }
  ~PastasUsuario() {
    for (const auto& [variavel, valor] : antigos_) {
      if (valor)
        ::setenv(variavel, valor->c_str(), 1);
      else
        ::unsetenv(variavel);
    }
  }
  PastasUsuario(const PastasUsuario&) = delete;
  PastasUsuario& operator=(const PastasUsuario&) = delete;

  // The temporary home (HOME) and the environment for a program run by the shell.
  const std::string& home() const { return pasta_.caminho(); }
  std::string ambiente() const {
    std::string r;
    for (const auto& [variavel, sub] : kVariaveis)
      r += std::string(r.empty() ? "" : " ") + variavel + "='" + (pasta_ / sub) + "'";
    return r;
  }
  std::string operator/(const std::string& nome) const { return pasta_ / nome; }

 private:
  static constexpr std::pair<const char*, const char*> kVariaveis[] = {
      {"HOME", "casa"},
      {"XDG_CONFIG_HOME", "config"},
      {"XDG_DATA_HOME", "dados"},
      {"XDG_CACHE_HOME", "cache"},
  };
  PastaTemporaria pasta_;
  std::vector<std::pair<const char*, std::optional<std::string>>> antigos_;
};

}  // namespace teste
