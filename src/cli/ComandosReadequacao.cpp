// proposta-cli readequar: the adjustment of a lot or of the whole proposal to a final bid, shown as
// the review window shows it, and with --aplicar written into the process file as regravar writes.
#include "app/Alteracoes.h"
#include "app/Proposta.h"
#include "app/Readequacao.h"
#include "cli/Comandos.h"
#include "platform/CodePage.h"

namespace cli {

namespace {

constexpr const char* kUso =
    "readequar ARQUIVO.xml (--lote LOTE | --total) --lance VALOR [--casas 2|4] [--aplicar]";

// The request from the arguments; false (after saying how to call it) when they do not make one.
bool LePedido(std::vector<std::string>& args, app::PedidoReadequacao& pedido, bool& aplicar) {
  std::string lote, lance, casas = "2";
  const bool temLote = Opcao(args, "--lote", lote);
  const bool total = Bandeira(args, "--total");
  const bool temLance = Opcao(args, "--lance", lance);
  Opcao(args, "--casas", casas);
  aplicar = Bandeira(args, "--aplicar");
  if (temLote == total || !temLance || args.size() != 1 || args[0].rfind("--", 0) == 0) {
    Erro(std::string("uso: proposta-cli ") + kUso);
    return false;
  }
  if (casas != "2" && casas != "4") {
    Erro("Casas decimais inv\xE1lidas: " + platform::utf8ToCp1252(casas) +
         " (os pre\xE7os unit\xE1rios t\xEAm --casas 2 ou --casas 4).");
    return false;
  }
  auto valor = app::LeDinheiro(lance);
  if (!valor) {
    Erro("Lance inv\xE1lido: " + platform::utf8ToCp1252(lance) +
         " (escreva o valor em reais, por exemplo 3.605,06).");
    return false;
  }
  if (temLote) pedido.lote = platform::utf8ToCp1252(lote);
  pedido.lance = *valor;
  pedido.casas = casas == "2" ? 2 : 4;
  return true;
}

int Readequar(std::vector<std::string> args) {
  app::PedidoReadequacao pedido;
  bool aplicar = false;
  if (!LePedido(args, pedido, aplicar)) return kErro;
  app::TProposta p;
  p.FormCreate();
  p.AbrirProcesso(args[0]);
  app::ReadequacaoProposta r = app::ReadequaTabela(p.ClientDataSet1, pedido);
  if (!r.recusa.empty()) {
    Erro(r.recusa);
    return kRecusa;
  }
  std::string revisao = app::TextoRevisao(p.ClientDataSet1, r.alteracoes);
  revisao.pop_back();  // the last line's end: Saida ends the line
  Saida(revisao);
  if (!aplicar) return kSucesso;
  app::AplicaAlteracoes(p, r.alteracoes);
  if (p.FormClose() == app::TProposta::Fechamento::Recusado) return kRecusa;
  Saida("Pre\xE7os readequados gravados em " + platform::utf8ToCp1252(args[0]) + ".");
  return kSucesso;
}

Registro readequar(
    {"readequar", kUso,
     "    Readequa os pre\xC3\xA7os de um lote (ou da proposta toda) ao lance final: nenhum\n"
     "    pre\xC3\xA7o sobe, nenhum fica abaixo de um passo (0,01 ou 0,0001 com --casas 4),\n"
     "    o desconto \xC3\xA9 proporcional aos pre\xC3\xA7os e o total fica no lance ou o mais\n"
     "    perto dele por baixo. Mostra a revis\xC3\xA3o; com --aplicar regrava o arquivo como\n"
     "    regravar. Na recusa mostra o motivo e sai com 1.",
     Readequar});

}  // namespace

}  // namespace cli
