// proposta-cli listagem and exportar: the item listing composed as "Relatório" does, and a report
// file loaded as the preview's open button does, written as RDP, text, printer, HTML or PDF file.
// The engine's operations say whether they succeeded; their messages go to the terminal.
#include "app/Listagem.h"
#include "app/ProcessoArquivo.h"
#include "base/Texto.h"
#include "cli/Comandos.h"
#include "cli/ComponenteCli.h"
#include "cli/OpcoesImpressao.h"
#include "cli/SaidaRelatorio.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDjanelas.h"
#include "report/RDmodelos.h"
#include "report/RDprint.h"

namespace cli {

namespace {

// proposta-cli listagem: composes the listing and writes it; 0, 1 (empty table) or 2.
int Listagem(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  Destino destino;
  std::string licitante, cnpj;
  const report::TFormato* formato = LeDestino(args, destino);
  if (!formato) return kErro;
  Opcao(args, "--licitante", licitante);
  Opcao(args, "--cnpj", cnpj);
  if (args.size() != 1) {
    Erro(
        "Uso: proposta-cli listagem ARQUIVO.xml --saida SAIDA [--licitante NOME] [--cnpj DIGITOS] "
        "[--modelo M] " +
        std::string(kUsoOpcoesImpressao));
    return kErro;
  }
  app::TTabelaItens tabela;
  const app::CabecalhoProcesso cabecalho = app::LerProcesso(args[0], tabela);

  JanelasComPreview janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  LigaErros(rd);
  bool gravado = false;
  janelas.noPreview = [&](report::TRDprint& r) { gravado = Grava(r, *formato, destino); };

  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = cabecalho.label5;
  listagem.Licitante = platform::utf8ToCp1252(licitante);
  listagem.CNPJ = cnpj;
  if (tabela.Vazia()) {
    listagem.BitBtn2Click();  // shows "Selecione um arquivo de processo!"
    return kRecusa;
  }
  listagem.BitBtn2Click();
  return gravado ? kSucesso : kErro;
}

// proposta-cli exportar: loads a report file and writes it; 0, or 2 when either step fails.
int Exportar(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  Destino destino;
  const report::TFormato* formato = LeDestino(args, destino);
  if (!formato) return kErro;
  if (args.size() != 1) {
    Erro("Uso: proposta-cli exportar RELATORIO.rdp --saida SAIDA [--modelo M] " +
         std::string(kUsoOpcoesImpressao));
    return kErro;
  }
  JanelasComPreview janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  LigaErros(rd);
  const std::string relatorio = args[0];
  bool gravado = false;
  janelas.noPreview = [&](report::TRDprint& r) {
    gravado = r.LeRDP(relatorio) && Grava(r, *formato, destino);
  };
  rd.OpcoesPreview.Preview = true;
  if (!rd.Abrir()) return kErro;
  rd.Fechar();
  return gravado ? kSucesso : kErro;
}

Registro listagem(
    {"listagem",
     "listagem ARQUIVO.xml --saida SAIDA [--licitante NOME] [--cnpj DIGITOS] [--modelo M] "
     "[IMPRESS\xC3\x83O]",
     "    \"Relat\xC3\xB3rio\" sem janela: comp\xC3\xB5"
     "e a listagem dos itens (com o licitante e o CNPJ como\n"
     "    digitados) num componente configurado como o RDprint1 do programa (136 colunas,\n"
     "    margens de 10 mm) e grava SAIDA pela extens\xC3\xA3o (mai\xC3\xBAsculas ou "
     "min\xC3\xBAsculas):\n"
     "    .rdp arquivo de relat\xC3\xB3rio, .txt texto, .prn bytes da impressora do modelo M\n"
     "    (" +
         report::ListaDeChaves() +
         "; padr\xC3\xA3o epson), .html p\xC3\xA1ginas\n"
         "    para o navegador (t\xC3\xADtulo = SAIDA como digitada), .pdf documento PDF.\n"
         "    As datas (da listagem e do PDF) seguem SOURCE_DATE_EPOCH quando definida.\n" +
         std::string(kAjudaOpcoesPrn),
     Listagem});
Registro exportar(
    {"exportar", "exportar RELATORIO.rdp --saida SAIDA [--modelo M] [IMPRESS\xC3\x83O]",
     "    L\xC3\xAA um arquivo de relat\xC3\xB3rio RDP num componente com os valores "
     "padr\xC3\xA3o\n"
     "    (margens de 5 mm; linhas, colunas, t\xC3\xADtulo, espa\xC3\xA7"
     "amento e fonte v\xC3\xAAm do arquivo)\n"
     "    e o grava pela extens\xC3\xA3o de SAIDA, como listagem: .rdp, .txt, .prn (modelo M),\n"
     "    .html ou .pdf. Um arquivo ileg\xC3\xADvel n\xC3\xA3o altera SAIDA (sa\xC3\xAD"
     "da 2).\n" +
         std::string(kAjudaOpcoesPrn),
     Exportar});

}  // namespace

}  // namespace cli
