// Output files of the report commands by extension.
#include "cli/SaidaRelatorio.h"

#include "base/Texto.h"
#include "cli/Comandos.h"
#include "platform/CodePage.h"

namespace cli {

const report::TFormato* LeDestino(std::vector<std::string>& args, Destino& d) {
  if (!Opcao(args, "--saida", d.saida) || d.saida.empty()) {
    Erro("Falta --saida SAIDA (" + report::ListaDeExtensoes() + ").");
    return nullptr;
  }
  const report::TFormato* formato = report::FormatoDoArquivo(d.saida);
  if (!formato) {
    Erro(
        "Extens\xE3o de sa\xED"
        "da desconhecida: " +
        platform::utf8ToCp1252(d.saida) + " (use " + report::ListaDeExtensoes() + ").");
    return nullptr;
  }
  if (!LeModelo(args, d.modelo)) return nullptr;
  if (!LeOpcoesImpressao(args, d.impressao)) return nullptr;
  if (d.impressao.Alguma() && !formato->impressora) {
    Erro(
        "P\xE1ginas, c\xF3pias e ordem valem s\xF3 para a sa\xED"
        "da .prn (para imprimir: proposta-cli imprimir).");
    return nullptr;
  }
  return formato;
}

// A printer file gets the model's command set and the print settings before its writer runs.
bool Grava(report::TRDprint& rd, const report::TFormato& formato, const Destino& d) {
  if (formato.impressora) {
    rd.Impressora = d.modelo;
    rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
    AplicaOpcoesImpressao(d.impressao);
  }
  return formato.grava(rd, d.saida);
}

// What the print options do for a printer file (UTF-8).
const char* const kAjudaOpcoesPrn =
    "    IMPRESS\xC3\x83O, s\xC3\xB3 para .prn, como na configura\xC3\xA7\xC3\xA3o da "
    "impress\xC3\xA3o: --paginas 1,3,5-12\n"
    "    (sele\xC3\xA7\xC3\xA3o), --par-impar todas|impares|pares, --copias N (1 a 9999), "
    "--sem-agrupar\n"
    "    (cada p\xC3\xA1gina N vezes seguidas) e --inversa (da \xC3\xBAltima para a primeira).";

}  // namespace cli
