// The manual page of proposta-cli, from the table of commands.
#include "cli/Manual.h"

#include <sstream>

#include "cli/Comandos.h"
#include "proposta_versao.h"

namespace cli {

namespace {

// One line of text as roff takes it literally: backslashes and hyphens escaped, and a line that
// would start with a control character ("." or "'") guarded.
std::string Roff(const std::string& linha) {
  std::string r;
  if (!linha.empty() && (linha[0] == '.' || linha[0] == '\'')) r = "\\&";
  for (char c : linha) {
    if (c == '\\') {
      r += "\\e";
    } else if (c == '-') {
      r += "\\-";
    } else {
      r += c;
    }
  }
  return r;
}

// The text's lines without their indentation, as roff lines of one filled paragraph.
void Paragrafo(std::ostream& o, const std::string& texto) {
  std::istringstream linhas(texto);
  std::string linha;
  while (std::getline(linhas, linha)) {
    size_t inicio = linha.find_first_not_of(' ');
    if (inicio != std::string::npos) o << Roff(linha.substr(inicio)) << "\n";
  }
}

// A usage as one line: the continuation lines of a long usage joined with spaces.
std::string UmaLinha(const std::string& uso) {
  std::string r;
  std::istringstream linhas(uso);
  std::string linha;
  while (std::getline(linhas, linha)) {
    size_t inicio = linha.find_first_not_of(' ');
    if (inicio == std::string::npos) continue;
    if (!r.empty()) r += ' ';
    r += linha.substr(inicio);
  }
  return r;
}

}  // namespace

void Manual(std::ostream& o, const std::string& descricao) {
  o << ".TH PROPOSTA\\-CLI 1 \"\" \"proposta " PROPOSTA_VERSAO
       "\" \"Comandos do usu\xC3\xA1rio\"\n"
       // Options are never broken across lines, and lines are not stretched to the margin.
       ".nh\n.ad l\n"
       ".SH NOME\n"
       "proposta\\-cli \\- comandos da digita\xC3\xA7\xC3\xA3o de proposta sem janela\n"
       ".SH SINOPSE\n"
       ".B proposta\\-cli\n"
       ".I COMANDO\n"
       "[\\fIARGUMENTOS\\fR]\n"
       ".br\n"
       ".B proposta\\-cli\n"
       ".I COMANDO\n"
       ".B \\-\\-help\n"
       ".br\n"
       ".B proposta\\-cli \\-\\-help\n"
       "|\n"
       ".B \\-\\-version\n"
       ".SH DESCRI\xC3\x87\xC3\x83O\n";
  Paragrafo(o, descricao);
  o << ".SH COMANDOS\n";
  for (const Comando& c : Todos()) {
    o << ".TP\n.B " << Roff(UmaLinha(c.uso)) << "\n";
    Paragrafo(o, c.ajuda);
  }
  o << ".SH AMBIENTE\n"
       ".TP\n.B XDG_CACHE_HOME\n"
       "Onde fica a c\xC3\xB3pia segura de um arquivo regravado no lugar "
       "(padr\xC3\xA3o: ~/.cache/proposta).\n"
       ".TP\n.B XDG_DATA_HOME\n"
       "Onde fica o di\xC3\xA1rio de recupera\xC3\xA7\xC3\xA3o (padr\xC3\xA3o: "
       "~/.local/share/proposta).\n"
       ".TP\n.B XDG_CONFIG_HOME\n"
       "Onde ficam perfis, termos e mapeamentos de colunas (padr\xC3\xA3o: ~/.config/proposta).\n"
       ".SH \"VEJA TAMB\xC3\x89M\"\n"
       ".BR proposta (1)\n";
}

}  // namespace cli
