// proposta-cli assinar: starts the document-signing application exactly as the main window's
// "&Assinar Docum. Dig." button does, optionally with its -dir and -exec parameters.
#include <string>
#include <vector>

#include "cli/Comandos.h"
#include "platform/CodePage.h"
#include "signing/vekDigitalSign.h"

namespace cli {

namespace {

// Runs the signing launcher; 0 when the signing application ran, 1 otherwise.
int Assinar(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  std::string pasta;
  Opcao(args, "--dir", pasta);
  bool executar = Bandeira(args, "--exec");
  if (!args.empty()) {
    Erro("assinar: argumento desconhecido: " + platform::utf8ToCp1252(args.front()) +
         " (veja --help)");
    return kErro;
  }
  return signing::executeSign(pasta, executar) ? kSucesso : kRecusa;
}

const Registro registroAssinar(Comando{
    "assinar", "assinar [--dir PASTA] [--exec]",
    "    Inicia o aplicativo de assinatura digital (razOdizazido.exe) da pasta do programa,\n"
    "    extraindo antes o pacote JSignPdf (zovUrid.exe) quando falta ou está desatualizado.\n"
    "    --dir PASTA passa -dir=PASTA ao aplicativo; --exec passa -exec. Saída 0 quando o\n"
    "    aplicativo foi executado, 1 quando não (o motivo é escrito em stderr).",
    Assinar});

}  // namespace

}  // namespace cli
