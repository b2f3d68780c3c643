// The commands of proposta-cli. Each source file of this folder registers its own commands with a
// static Registro, so the tool grows by adding a file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cli {

// Exit codes: 0 success, 1 a refusal of the program's own rules, 2 a file that cannot be read or
// written (or a usage error).
constexpr int kSucesso = 0, kRecusa = 1, kErro = 2;

struct Comando {
  std::string nome;
  std::string uso;    // one line: "total ARQUIVO.xml"
  std::string ajuda;  // what it does, a few lines (UTF-8)
  std::function<int(const std::vector<std::string>& args)> executa;
};

// Adds a command to the tool's table (at static initialisation).
struct Registro {
  explicit Registro(Comando c);
};

const std::vector<Comando>& Todos();

// Terminal output: the program's Windows-1252 texts, written as UTF-8.
void Saida(const std::string& textoCp1252);
void Erro(const std::string& textoCp1252);

// Reads "--name VALUE" from args (removing both); returns false when absent.
bool Opcao(std::vector<std::string>& args, const std::string& nome, std::string& valor);
// True (and removes it) when the flag is present.
bool Bandeira(std::vector<std::string>& args, const std::string& nome);

}  // namespace cli
