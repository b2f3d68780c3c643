// Runs the built proposta-cli (or another program) as a user would, for the tool's tests.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "support/Arquivos.h"

namespace teste {

struct ResultadoCli {
  int codigo;
  std::string saida;  // stdout and stderr together
};

// Runs a shell command line and collects its standard output.
inline ResultadoCli ExecutaComando(const std::string& cmd) {
  FILE* f = popen(cmd.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), f)) > 0) out.append(buf.data(), n);
  int st = pclose(f);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

// Runs proposta-cli (the built one unless `programa` names a copy) with the arguments (each quoted
// for the shell), with `ambiente` (for example "SOURCE_DATE_EPOCH=1700000000") in front of the
// command.
inline ResultadoCli ExecutaCli(const std::vector<std::string>& args,
                               const std::string& ambiente = "",
                               const std::string& programa = PROPOSTA_BINARY_DIR "/proposta-cli") {
  std::string cmd = ambiente + (ambiente.empty() ? "" : " ") + "'" + programa + "'";
  for (const auto& a : args) {
    std::string q;
    for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    cmd += " '" + q + "'";
  }
  return ExecutaComando(cmd + " 2>&1");
}

// The example process with its lot 1 complete (item 3, its only unpriced item, at 2,4), so that
// the lot check lets the commands write it.
inline std::string ExemploLote1Completo() {
  std::string s = Le(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml");
  s.replace(s.find(" <valor></valor>"), 16, " <valor>2,4</valor>");
  return s;
}

}  // namespace teste
