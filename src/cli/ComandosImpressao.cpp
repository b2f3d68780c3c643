// proposta-cli impressoras and imprimir: the printers of the spooler with the model each one maps
// to, and the item listing (or a report file) printed on a printer with the settings the print
// setup dialog would set.
#include "app/Listagem.h"
#include "app/ProcessoArquivo.h"
#include "base/Texto.h"
#include "cli/Comandos.h"
#include "cli/ComponenteCli.h"
#include "cli/OpcoesImpressao.h"
#include "platform/CodePage.h"
#include "platform/cups/CupsHeadlessPlatform.h"
#include "report/RDjanelas.h"
#include "report/RDmodelos.h"
#include "report/RDprint.h"

namespace cli {

namespace {

// True for a report file name (.rdp, any case).
bool ERelatorio(const std::string& nome) {
  const size_t ponto = nome.find_last_of('.');
  return ponto != std::string::npos && base::LowerCase(nome.substr(ponto + 1)) == "rdp";
}

// proposta-cli impressoras: every queue with its port and the model its name or description maps
// to (the program's mapping), the current one marked.
int Impressoras(const std::vector<std::string>& args) {
  if (!args.empty()) {
    Erro("Uso: proposta-cli impressoras");
    return kErro;
  }
  platform::cups::CupsHeadlessPlatform plataforma;
  platform::ScopedPlatform guarda(plataforma);
  const std::vector<platform::PrinterInfo> lista = plataforma.printers();
  if (lista.empty()) {
    Saida(platform::utf8ToCp1252(
        "Nenhuma impressora instalada. Instale uma fila no servidor de impressão (lpadmin) e "
        "liste de novo."));
    return kSucesso;
  }
  const auto atual = plataforma.currentPrinter();
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  for (const auto& p : lista) {
    rd.MapeiaImpressora(p);
    const bool eAtual = atual && atual->deviceName == p.deviceName;
    Saida((eAtual ? "* " : "  ") + p.deviceName +
          (p.description.empty() ? "" : " (" + p.description + ")"));
    Saida("    porta: " + p.port);
    Saida("    modelo: " + report::NomeModelo(rd, rd.Impressora) + " (--modelo " +
          report::Modelo(rd.Impressora).chave + ")");
  }
  return kSucesso;
}

// proposta-cli imprimir: the listing composed (or the report file loaded), then what the setup
// dialog does on Ok with the options given, then the print job on the chosen printer.
int Imprimir(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  OpcoesImpressao opcoes;
  std::string fila, licitante, cnpj;
  if (!LeOpcoesImpressao(args, opcoes)) return kErro;
  Opcao(args, "--impressora", fila);
  report::TModelo modelo = report::TModelo::Epson;
  bool temModelo = false;
  if (!LeModelo(args, modelo, &temModelo)) return kErro;
  Opcao(args, "--licitante", licitante);
  Opcao(args, "--cnpj", cnpj);
  if (args.size() != 1) {
    Erro(
        "Uso: proposta-cli imprimir (ARQUIVO.xml | RELATORIO.rdp) [--impressora FILA] "
        "[--modelo M] " +
        std::string(kUsoOpcoesImpressao) + " [--licitante NOME --cnpj DIGITOS]");
    return kErro;
  }
  const std::string entrada = args[0];

  platform::cups::CupsHeadlessPlatform plataforma;
  platform::ScopedPlatform guarda(plataforma);
  const std::string filaCp1252 = platform::utf8ToCp1252(fila);
  if (!fila.empty() && !plataforma.setCurrentPrinter(filaCp1252)) {
    Erro(platform::utf8ToCp1252("A impressora \"" + fila +
                                "\" não foi encontrada. Veja as impressoras com: proposta-cli "
                                "impressoras"));
    return kErro;
  }
  if (!plataforma.currentPrinter()) {
    Erro(platform::utf8ToCp1252(
        "Nenhuma impressora instalada. Instale uma fila no servidor de impressão (lpadmin)."));
    return kErro;
  }

  JanelasComPreview janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  LigaErros(rd);
  bool grafica = false, impresso = false;
  // What the setup dialog does on Ok, then the print job.
  janelas.noPreview = [&](report::TRDprint& r) {
    if (ERelatorio(entrada) && !r.LeRDP(entrada)) return;
    if (temModelo) r.Impressora = modelo;
    if (r.Impressora == report::TModelo::Grafico) {
      grafica = true;
      return;
    }
    std::string nome;
    report::ImpressoraAtual(nome, r.PortaComunicacao);
    r.ConfiguraComandos(r.Impressora, r.TamanhoQteLinhas, r.TamanhoQteLPP);
    AplicaOpcoesImpressao(opcoes);
    impresso = r.ImprimeRelatorio("");
  };

  if (ERelatorio(entrada)) {
    rd.OpcoesPreview.Preview = true;
    if (!rd.Abrir()) return kErro;
    rd.Fechar();
  } else {
    app::TTabelaItens tabela;
    const app::CabecalhoProcesso cabecalho = app::LerProcesso(entrada, tabela);
    app::TListagem listagem(rd, tabela);
    listagem.Label5Caption = cabecalho.label5;
    listagem.Licitante = platform::utf8ToCp1252(licitante);
    listagem.CNPJ = cnpj;
    listagem.BitBtn2Click();  // an empty table shows "Selecione um arquivo de processo!"
    if (tabela.Vazia()) return kRecusa;
  }
  if (grafica) {
    const auto atual = plataforma.currentPrinter();
    Erro(platform::utf8ToCp1252("A impressora \"") + (atual ? atual->deviceName : "") +
         platform::utf8ToCp1252(
             "\" é gráfica: a linha de comando imprime só em impressoras de texto. Informe o "
             "modelo com --modelo (") +
         report::ListaDeChaves() + ") ou imprima pela janela do programa.");
    return kErro;
  }
  return impresso ? kSucesso : kErro;
}

Registro impressoras({"impressoras", "impressoras",
                      "    Lista as impressoras do servidor de impress\xC3\xA3o com a porta e o "
                      "modelo que o nome (ou a\n"
                      "    descri\xC3\xA7\xC3\xA3o) de cada uma d\xC3\xA1; * marca a impressora "
                      "atual (a padr\xC3\xA3o).",
                      Impressoras});
Registro imprimir(
    {"imprimir",
     "imprimir (ARQUIVO.xml | RELATORIO.rdp) [--impressora FILA] [--modelo M] [--paginas "
     "1,3,5-12]\n    [--par-impar todas|impares|pares] [--copias N] [--sem-agrupar] [--inversa] "
     "[--licitante NOME --cnpj DIGITOS]",
     "    Comp\xC3\xB5"
     "e a listagem (ou l\xC3\xAA o relat\xC3\xB3rio) e a imprime na impressora FILA "
     "(padr\xC3\xA3o: "
     "a atual)\n"
     "    com as escolhas da configura\xC3\xA7\xC3\xA3o da impress\xC3\xA3o; sem --modelo, o "
     "modelo "
     "vem do nome da\n"
     "    impressora. S\xC3\xB3 impressoras de texto (bytes crus pela fila). Sa\xC3\xAD"
     "da 2: erro de impress\xC3\xA3o.",
     Imprimir});

}  // namespace

}  // namespace cli
