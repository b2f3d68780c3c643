// proposta-cli assinar: starts the document-signing application exactly as the main window's
// "&Assinar Docum. Dig." button does, optionally with its -dir and -exec parameters.
// proposta-cli assinar-documentos: signs files with an A1 certificate file or an A3 token, as the
// program's own signing window does.
#include <memory>
#include <string>
#include <vector>

#include "cli/Comandos.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"
#include "signing/AssinaDocumento.h"
#include "signing/Token.h"
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

// The options of assinar-documentos.
struct OpcoesAssinatura {
  std::string certificado, senhaArquivo, modulo, certificadoId, pinArquivo;
  bool token = false;
  std::vector<std::string> arquivos;
};

// The first line of a password or PIN file (without its line end); false with the reason.
bool LeSegredo(const std::string& caminho, std::string& segredo) {
  platform::ReadError e;
  if (!platform::readRegularFile(caminho, 4096, segredo, e)) {
    Erro("N\xE3o foi poss\xEDvel ler " + platform::utf8ToCp1252(caminho) + ": " + e.text);
    return false;
  }
  segredo = segredo.substr(0, segredo.find_first_of("\r\n"));
  return true;
}

// Reads the command line; false (after the message) on a usage error.
bool LeOpcoes(std::vector<std::string> args, OpcoesAssinatura& o) {
  bool a1 = Opcao(args, "--certificado", o.certificado);
  Opcao(args, "--senha-arquivo", o.senhaArquivo);
  o.token = Bandeira(args, "--token");
  Opcao(args, "--modulo", o.modulo);
  Opcao(args, "--certificado-id", o.certificadoId);
  Opcao(args, "--pin-arquivo", o.pinArquivo);
  for (const auto& a : args) {
    if (a.rfind("--", 0) == 0) {
      Erro("assinar-documentos: argumento desconhecido: " + platform::utf8ToCp1252(a) +
           " (veja --help)");
      return false;
    }
    o.arquivos.push_back(a);
  }
  if (o.arquivos.empty() || a1 == o.token || (a1 && o.senhaArquivo.empty()) ||
      (o.token && o.pinArquivo.empty())) {
    Erro(
        "uso: proposta-cli assinar-documentos ARQUIVO... (--certificado A1.pfx --senha-arquivo "
        "F | --token [--modulo LIB] [--certificado-id ID] --pin-arquivo F)");
    return false;
  }
  return true;
}

// The token's signer: the module (given, remembered or known), the certificate (by id, or the
// only one), the PIN.
bool AssinanteDoToken(const OpcoesAssinatura& o, signing::Assinante& a,
                      signing::ErroAssinatura& erro) {
  std::string modulo = o.modulo;
  if (modulo.empty()) {
    auto conhecidos = signing::ModulosConhecidos();
    if (conhecidos.empty())
      return signing::Falhou(erro, signing::Falha::ModuloNaoCarrega,
                             "Nenhum m\xF3"
                             "dulo PKCS#11 foi encontrado; indique a biblioteca do "
                             "token com --modulo.");
    modulo = conhecidos.front();
  }
  auto sessao = signing::SessaoToken::Abre(modulo, erro);
  if (!sessao) return false;
  std::string aviso;
  if (!o.modulo.empty() && !signing::LembraModulo(o.modulo, aviso)) Erro(aviso);
  const auto& lista = sessao->Certificados();
  size_t escolhido = lista.size();
  for (size_t i = 0; i < lista.size(); ++i)
    if (lista[i].id == o.certificadoId || (o.certificadoId.empty() && lista.size() == 1))
      escolhido = i;
  if (escolhido == lista.size()) {
    for (const auto& c : lista)
      Erro("  " + c.id + "  " + c.titular.nome + " " + c.titular.Documento() + " (token " +
           c.token + ")");
    return signing::Falhou(erro, signing::Falha::SemChavePrivada,
                           o.certificadoId.empty()
                               ? "O token tem mais de um certificado; escolha um com "
                                 "--certificado-id (lista acima)."
                               : "Nenhum certificado do token tem o id " + o.certificadoId + ".");
  }
  std::string pin;
  if (!LeSegredo(o.pinArquivo, pin)) return signing::Falhou(erro, signing::Falha::PinErrado, "");
  return signing::SessaoToken::Entra(sessao, escolhido, pin, a, erro);
}

// Shows the holder and refuses an expired certificate.
bool ApresentaTitular(const signing::Assinante& a) {
  const auto& t = a.titular;
  Saida("Titular: " + t.nome + (t.Documento().empty() ? "" : " (" + t.Documento() + ")") +
        "; emitido por " + t.emissor + "; v\xE1lido at\xE9 " + t.VenceEm());
  std::string aviso;
  signing::ErroAssinatura erro;
  if (!signing::VerificaValidade(t, platform::nowSeconds(), aviso, erro)) {
    Erro(erro.mensagem);
    return false;
  }
  if (!aviso.empty()) Erro(aviso);
  return true;
}

// Signs every file; exit 2 when the certificate cannot be used or any file was not signed.
int AssinarDocumentos(const std::vector<std::string>& argumentos) {
  OpcoesAssinatura o;
  if (!LeOpcoes(argumentos, o)) return kErro;
  signing::Assinante a;
  signing::ErroAssinatura erro;
  std::string senha;
  bool pronto = o.token ? AssinanteDoToken(o, a, erro)
                        : LeSegredo(o.senhaArquivo, senha) &&
                              signing::CarregaA1(o.certificado, senha, a, erro);
  if (!pronto) {
    if (!erro.mensagem.empty()) Erro(erro.mensagem);
    return kErro;
  }
  if (!ApresentaTitular(a)) return kErro;
  int saida = kSucesso;
  for (const auto& arquivo : o.arquivos) {
    signing::ErroAssinatura e;
    const std::string nome = platform::utf8ToCp1252(arquivo);
    if (signing::AssinaDocumento(a, arquivo, e)) {
      Saida(nome + ": assinado em " + platform::utf8ToCp1252(signing::CaminhoAssinado(arquivo)));
    } else {
      Erro(nome + ": " + e.mensagem);
      saida = kErro;
    }
  }
  return saida;
}

const Registro registroAssinarDocumentos(Comando{
    "assinar-documentos",
    "assinar-documentos ARQUIVO... (--certificado A1.pfx --senha-arquivo F | --token "
    "[--modulo LIB] [--certificado-id ID] --pin-arquivo F)",
    "    Assina cada arquivo com um certificado ICP-Brasil: um PDF recebe uma assinatura PAdES\n"
    "    (gravada ao lado como NOME-assinado.pdf, o original não muda); outro arquivo, uma\n"
    "    assinatura destacada NOME.p7s. O certificado vem de um arquivo A1 (.pfx/.p12, senha na\n"
    "    primeira linha de F) ou de um token A3 pelo módulo PKCS#11 (--modulo LIB, lembrado para\n"
    "    a próxima vez; PIN na primeira linha de F). Escreve o titular e o resultado de cada\n"
    "    arquivo. Saída 2 quando algum arquivo não foi assinado (nada é gravado para ele).",
    AssinarDocumentos});

}  // namespace

}  // namespace cli
