// proposta-cli: the proposal program's commands without a window, for batch use and acceptance
// tests. Messages are written in UTF-8; see --help.
#include <clocale>
#include <iostream>

#include "base/Erros.h"
#include "cli/Comandos.h"
#include "cli/Manual.h"
#include "platform/CodePage.h"
#include "platform/SignalSetup.h"
#include "proposta_versao.h"

namespace cli {

static std::vector<Comando>& Tabela() {
  static std::vector<Comando> t;
  return t;
}

Registro::Registro(Comando c) { Tabela().push_back(std::move(c)); }
const std::vector<Comando>& Todos() { return Tabela(); }

void Saida(const std::string& t) { std::cout << platform::messageToTerminal(t) << std::endl; }
void Erro(const std::string& t) { std::cerr << platform::messageToTerminal(t) << std::endl; }

bool Opcao(std::vector<std::string>& args, const std::string& nome, std::string& valor) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == nome && i + 1 < args.size()) {
      valor = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return true;
    }
    if (args[i].rfind(nome + "=", 0) == 0) {
      valor = args[i].substr(nome.size() + 1);
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool Bandeira(std::vector<std::string>& args, const std::string& nome) {
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == nome) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  return false;
}

// The opening text of --help and of the manual page.
static const char kDescricao[] =
    "Comandos da digitação de proposta sem janela. Saída 0: sucesso; 1: recusa pelas regras\n"
    "do programa (nada é gravado); 2: arquivo ilegível ou que não pôde ser gravado, ou uso\n"
    "incorreto (nada é alterado no disco, salvo um arquivo regravado no lugar: a mensagem\n"
    "diz onde está a cópia segura do conteúdo novo).\n";

static void Ajuda(std::ostream& o) {
  o << "Uso: proposta-cli COMANDO [ARGUMENTOS]\n\n" << kDescricao << "\n";
  for (const auto& c : Todos()) o << "  " << c.uso << "\n" << c.ajuda << "\n\n";
}

}  // namespace cli

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  platform::installSignalHandlers();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--version") {
    std::cout << "proposta-cli " PROPOSTA_VERSAO "\n";
    return cli::kSucesso;
  }
  // The manual page (roff), made from the table at build time.
  if (!args.empty() && args[0] == "--manual") {
    cli::Manual(std::cout, cli::kDescricao);
    return cli::kSucesso;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "ajuda") {
    cli::Ajuda(args.empty() ? std::cerr : std::cout);
    return args.empty() ? cli::kErro : cli::kSucesso;
  }
  std::string nome = args[0];
  args.erase(args.begin());
  for (const auto& c : cli::Todos()) {
    if (c.nome != nome) continue;
    if (cli::Bandeira(args, "--help")) {
      std::cout << "Uso: proposta-cli " << c.uso << "\n" << c.ajuda << "\n";
      return cli::kSucesso;
    }
    try {
      return c.executa(args);
    } catch (const base::Exception& e) {
      cli::Erro(e.Mensagem());
      return cli::kErro;
    } catch (const std::exception& e) {
      std::cerr << e.what() << std::endl;
      return cli::kErro;
    }
  }
  std::cerr << "proposta-cli: comando desconhecido: " << nome << " (veja --help)\n";
  return cli::kErro;
}
