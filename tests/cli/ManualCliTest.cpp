// The manual page of proposta-cli and the version of both programs: the page, rendered by groff
// as man shows it, holds every command and every option that --help lists, with no roff
// warning; both programs give the same version.

// GCC 12 warns that std::function members of <regex>'s automaton may be used uninitialized, inside
// the standard library's own code (a false positive of that release, gone in GCC 13); this file is
// the only user of <regex>, so the warning is off here alone.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "support/Arquivos.h"
#include "support/ExecutaCli.h"

namespace {

// The commands that --help lists: the first word of each two-space indented usage line.
std::vector<std::string> Comandos(const std::string& ajuda) {
  std::vector<std::string> nomes;
  std::istringstream linhas(ajuda);
  std::string linha;
  static const std::regex uso("^  ([a-z][a-z0-9-]*)( .*)?$");
  std::smatch m;
  while (std::getline(linhas, linha))
    if (std::regex_match(linha, m, uso)) nomes.push_back(m[1]);
  return nomes;
}

// Every "--option" a text mentions.
std::set<std::string> Opcoes(const std::string& texto) {
  static const std::regex opcao("--[a-z][a-z0-9-]*");
  std::set<std::string> r;
  for (std::sregex_iterator i(texto.begin(), texto.end(), opcao), fim; i != fim; ++i)
    r.insert(i->str());
  return r;
}

}  // namespace

TEST(ManualCli, ThePageListsEveryCommandAndOptionOfTheHelpWithoutRoffWarnings) {
  teste::PastaTemporaria pasta;
  std::string pagina = pasta / "proposta-cli.1";
  ASSERT_EQ(
      teste::ExecutaComando("'" PROPOSTA_BINARY_DIR "/proposta-cli' --manual >'" + pagina + "'")
          .codigo,
      0);
  // groff as man runs it (UTF-8 input through preconv); -ww -z: every warning, no output.
  auto avisos = teste::ExecutaComando("preconv '" + pagina + "' | groff -man -ww -z -Tutf8 2>&1");
  ASSERT_EQ(avisos.codigo, 0);
  EXPECT_EQ(avisos.saida, "");
  // The rendered text, with hyphens as typed and no line breaks inside words.
  auto texto = teste::ExecutaComando("preconv '" + pagina +
                                     "' | groff -man -Tascii -P-cbou -rLL=300n -rHY=0 2>&1");
  ASSERT_EQ(texto.codigo, 0);

  auto ajuda = teste::ExecutaCli({"--help"});
  ASSERT_EQ(ajuda.codigo, 0);
  std::vector<std::string> comandos = Comandos(ajuda.saida);
  ASSERT_GE(comandos.size(), 8u);
  for (const std::string& c : comandos) {
    SCOPED_TRACE(c);
    EXPECT_NE(texto.saida.find("\n       " + c), std::string::npos) << texto.saida;
    auto doComando = teste::ExecutaCli({c, "--help"});
    for (const std::string& o : Opcoes(doComando.saida))
      EXPECT_NE(texto.saida.find(o), std::string::npos) << o;
  }
}

TEST(ManualCli, BothProgramsGiveTheSameVersion) {
  struct Caso {
    const char* programa;
  } casos[] = {{"proposta"}, {"proposta-cli"}};
  std::set<std::string> versoes;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.programa);
    auto r = teste::ExecutaComando("ASAN_OPTIONS=detect_leaks=0 '" PROPOSTA_BINARY_DIR "/" +
                                   std::string(c.programa) + "' --version 2>&1");
    EXPECT_EQ(r.codigo, 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(
        r.saida, m, std::regex(std::string(c.programa) + " ([0-9]{4}\\.[0-9]{2}\\.[0-9]{2})\n")))
        << r.saida;
    versoes.insert(m[1]);
  }
  EXPECT_EQ(versoes.size(), 1u);
}
