// proposta-cli's proposal commands: total, verificar, gerar and regravar, each doing what the main
// window does for the same command on a process file.
#include "app/Proposta.h"
#include "base/Erros.h"
#include "cli/Comandos.h"
#include "cli/ProcessoCli.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"

namespace cli {

namespace {

int Total(std::vector<std::string> args) {
  app::TProposta p;
  if (!AbreProcesso(args, p, "total ARQUIVO.xml")) return kErro;
  p.btn1Click();
  Saida(p.btn1);
  return kSucesso;
}

int Verificar(std::vector<std::string> args) {
  PlataformaTerminal terminal;
  platform::ScopedPlatform usa(terminal);
  app::TProposta p;
  if (!AbreProcesso(args, p, "verificar ARQUIVO.xml")) return kErro;
  return p.VerificaValorZerado() ? kRecusa : kSucesso;
}

int Gerar(std::vector<std::string> args) {
  PlataformaTerminal terminal;
  platform::ScopedPlatform usa(terminal);
  std::string empresa;
  const bool substitui = Bandeira(args, "--substituir");
  if (!Opcao(args, "--empresa", empresa)) {
    Erro("uso: proposta-cli gerar ARQUIVO.xml --empresa NOME [--substituir]");
    return kErro;
  }
  app::TProposta p;
  if (!AbreProcesso(args, p, "gerar ARQUIVO.xml --empresa NOME [--substituir]")) return kErro;
  switch (p.GerarArquivo(platform::utf8ToCp1252(empresa), substitui)) {
    case app::TProposta::Geracao::Gerado:
      return kSucesso;
    case app::TProposta::Geracao::NadaAberto:
      return kErro;
    default:
      return kRecusa;
  }
}

int Regravar(std::vector<std::string> args) {
  PlataformaTerminal terminal;
  platform::ScopedPlatform usa(terminal);
  app::TProposta p;
  if (!AbreProcesso(args, p, "regravar ARQUIVO.xml")) return kErro;
  return p.FormClose() == app::TProposta::Fechamento::Recusado ? kRecusa : kSucesso;
}

Registro total(
    {"total", "total ARQUIVO.xml",
     "    L\xC3\xAA o arquivo como \"&Abrir Processo\" e mostra o total da proposta\n"
     "    (o texto do bot\xC3\xA3o de total, p.ex. \"Vr. Total da Prop.: R$ 1.234,56\").",
     Total});
Registro verificar(
    {"verificar", "verificar ARQUIVO.xml",
     "    Verifica os lotes: um lote com algum pre\xC3\xA7o precisa de todos os pre\xC3\xA7os.\n"
     "    Na recusa mostra a mensagem e sai com 1.",
     Verificar});
Registro gerar(
    {"gerar", "gerar ARQUIVO.xml --empresa NOME [--substituir]",
     "    \"Gerar Arquivo\" com o nome da empresa digitado: grava a proposta ao lado do\n"
     "    arquivo (ARQUIVO sem .xml + NOME + .xml). Uma proposta que j\xC3\xA1 existe s\xC3\xB3 "
     "\xC3\xA9\n"
     "    substitu\xC3\xAD"
     "da com --substituir. Na recusa nada \xC3\xA9 gravado e sai com 1.",
     Gerar});
Registro regravar({"regravar", "regravar ARQUIVO.xml",
                   "    O que fechar a janela faz: a verifica\xC3\xA7\xC3\xA3o dos lotes e o "
                   "arquivo regravado no\n"
                   "    lugar. Na recusa o arquivo fica intacto e sai com 1.",
                   Regravar});

}  // namespace

}  // namespace cli
