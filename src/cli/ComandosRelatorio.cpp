// proposta-cli listagem and exportar: the item listing composed as "Relatório" does, and a report
// file loaded as the preview's open button does, written as RDP, text or printer file.
#include <algorithm>
#include <functional>

#include "app/Listagem.h"
#include "app/ProcessoArquivo.h"
#include "base/Texto.h"
#include "cli/Comandos.h"
#include "cli/OpcoesImpressao.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"

namespace cli {

namespace {

// The headless platform that also remembers whether an error box was shown.
class PlataformaRelatorio : public platform::HeadlessPlatform {
 public:
  bool falhou = false;
  int messageBox(const std::string& texto, const std::string& titulo, int estilo) override {
    if ((estilo & 0xF0) == platform::mb::ICONHAND) falhou = true;
    return HeadlessPlatform::messageBox(texto, titulo, estilo);
  }
};

// Windows whose preview does what the user would do in it: save the report.
class JanelasGravacao : public report::TJanelasSemTela {
 public:
  std::function<void(report::TRDprint&)> noPreview;
  void MostraPreview(report::TRDprint& rd) override {
    if (noPreview) noPreview(rd);
  }
};

enum class Formato { RDP, TXT, PRN };

// The output format by the extension of the file name.
bool FormatoDaSaida(const std::string& saida, Formato& f) {
  const size_t ponto = saida.find_last_of('.');
  if (ponto == std::string::npos || saida.find('/', ponto) != std::string::npos) return false;
  const std::string ext = base::LowerCase(saida.substr(ponto + 1));
  if (ext == "rdp")
    f = Formato::RDP;
  else if (ext == "txt")
    f = Formato::TXT;
  else if (ext == "prn")
    f = Formato::PRN;
  else
    return false;
  return true;
}

// The options shared by both commands; false (after a message) on a usage error.
struct Destino {
  std::string saida;
  Formato formato = Formato::RDP;
  report::TModelo modelo = report::TModelo::Epson;
  OpcoesImpressao impressao;  // pages, copies and order of a .prn output
};
bool LeDestino(std::vector<std::string>& args, Destino& d) {
  if (!Opcao(args, "--saida", d.saida) || d.saida.empty()) {
    Erro("Falta --saida SAIDA (.rdp, .txt ou .prn).");
    return false;
  }
  if (!FormatoDaSaida(d.saida, d.formato)) {
    Erro(
        "Extens\xE3o de sa\xED"
        "da desconhecida: " +
        platform::utf8ToCp1252(d.saida) + " (use .rdp, .txt ou .prn).");
    return false;
  }
  std::string modelo;
  if (Opcao(args, "--modelo", modelo) && !ModeloDaChave(modelo, d.modelo)) {
    Erro("Modelo desconhecido: " + platform::utf8ToCp1252(modelo) +
         " (epson, rima, hp, personalizado, bobina ou daruma).");
    return false;
  }
  if (!LeOpcoesImpressao(args, d.impressao)) return false;
  if (d.impressao.Alguma() && d.formato != Formato::PRN) {
    Erro(
        "P\xE1ginas, c\xF3pias e ordem valem s\xF3 para a sa\xED"
        "da .prn (para imprimir: proposta-cli imprimir).");
    return false;
  }
  return true;
}

// Writes the open report as the destination says.
void Grava(report::TRDprint& rd, const Destino& d) {
  switch (d.formato) {
    case Formato::RDP:
      rd.GravaRDP(d.saida);
      break;
    case Formato::TXT:
      rd.GravaTXT(d.saida);
      break;
    case Formato::PRN:
      rd.Impressora = d.modelo;
      rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
      AplicaOpcoesImpressao(d.impressao);
      rd.GravaPRN(d.saida);
      break;
  }
}

// Numbered errors go to the terminal; an I/O error of the printer file is a failure.
void LigaErros(report::TRDprint& rd, PlataformaRelatorio& plataforma) {
  rd.OnErro = [&plataforma](report::TRDprint&, const std::string& m) {
    Erro(m);
    if (m.rfind("Erro #03", 0) == 0) plataforma.falhou = true;
  };
}

int Listagem(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  Destino destino;
  std::string licitante, cnpj;
  if (!LeDestino(args, destino)) return kErro;
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

  PlataformaRelatorio plataforma;
  platform::ScopedPlatform guarda(plataforma);
  JanelasGravacao janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  LigaErros(rd, plataforma);
  janelas.noPreview = [&](report::TRDprint& r) { Grava(r, destino); };

  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = cabecalho.label5;
  listagem.Licitante = platform::utf8ToCp1252(licitante);
  listagem.CNPJ = cnpj;
  if (tabela.Vazia()) {
    listagem.BitBtn2Click();  // shows "Selecione um arquivo de processo!"
    return kRecusa;
  }
  listagem.BitBtn2Click();
  return plataforma.falhou ? kErro : kSucesso;
}

int Exportar(const std::vector<std::string>& argumentos) {
  std::vector<std::string> args = argumentos;
  Destino destino;
  if (!LeDestino(args, destino)) return kErro;
  if (args.size() != 1) {
    Erro("Uso: proposta-cli exportar RELATORIO.rdp --saida SAIDA [--modelo M] " +
         std::string(kUsoOpcoesImpressao));
    return kErro;
  }
  PlataformaRelatorio plataforma;
  platform::ScopedPlatform guarda(plataforma);
  JanelasGravacao janelas;
  report::JanelasInstaladas guardaJanelas(janelas);
  report::TRDprint rd;
  LigaErros(rd, plataforma);
  const std::string relatorio = args[0];
  janelas.noPreview = [&](report::TRDprint& r) {
    r.LeRDP(relatorio);
    if (!plataforma.falhou) Grava(r, destino);
  };
  rd.OpcoesPreview.Preview = true;
  if (!rd.Abrir()) return kErro;
  rd.Fechar();
  return plataforma.falhou ? kErro : kSucesso;
}

// What the print options do for a printer file (UTF-8).
const char* const kAjudaOpcoesPrn =
    "    IMPRESS\xC3\x83O, s\xC3\xB3 para .prn, como na configura\xC3\xA7\xC3\xA3o da "
    "impress\xC3\xA3o: --paginas 1,3,5-12\n"
    "    (sele\xC3\xA7\xC3\xA3o), --par-impar todas|impares|pares, --copias N (1 a 9999), "
    "--sem-agrupar\n"
    "    (cada p\xC3\xA1gina N vezes seguidas) e --inversa (da \xC3\xBAltima para a primeira).";

Registro listagem(
    {"listagem",
     "listagem ARQUIVO.xml --saida SAIDA [--licitante NOME] [--cnpj DIGITOS] [--modelo M] "
     "[IMPRESS\xC3\x83O]",
     "    \"Relat\xC3\xB3rio\" sem janela: comp\xC3\xB5"
     "e a listagem dos itens (com o licitante e o CNPJ\n"
     "    como digitados) e grava SAIDA pela extens\xC3\xA3o: .rdp, .txt ou .prn (bytes da "
     "impressora\n"
     "    do modelo M: epson, rima, hp, personalizado, bobina ou daruma; padr\xC3\xA3o epson).\n"
     "    A data segue SOURCE_DATE_EPOCH quando definida.\n" +
         std::string(kAjudaOpcoesPrn),
     Listagem});
Registro exportar({"exportar",
                   "exportar RELATORIO.rdp --saida SAIDA [--modelo M] [IMPRESS\xC3\x83O]",
                   "    L\xC3\xAA um arquivo de relat\xC3\xB3rio RDP e o grava como .rdp, .txt ou "
                   ".prn (modelo M).\n" +
                       std::string(kAjudaOpcoesPrn),
                   Exportar});

}  // namespace

}  // namespace cli
