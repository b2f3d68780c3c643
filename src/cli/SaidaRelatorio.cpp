// Output files of the report commands by extension.
#include "cli/SaidaRelatorio.h"

#include "base/Texto.h"
#include "cli/Comandos.h"
#include "platform/CodePage.h"

namespace cli {

namespace {

// The output formats: the one place where a format is tied to the writer that produces it.
const Formato kFormatos[] = {
    {"rdp", [](report::TRDprint& rd, const Destino& d) { return rd.GravaRDP(d.saida); }},
    {"txt", [](report::TRDprint& rd, const Destino& d) { return rd.GravaTXT(d.saida); }},
    {"prn",
     [](report::TRDprint& rd, const Destino& d) {
       rd.Impressora = d.modelo;
       rd.ConfiguraComandos(rd.Impressora, rd.TamanhoQteLinhas, rd.TamanhoQteLPP);
       AplicaOpcoesImpressao(d.impressao);
       return rd.GravaPRN(d.saida);
     }},
    {"html", [](report::TRDprint& rd, const Destino& d) { return rd.GravaHTML(d.saida); }},
    {"pdf", [](report::TRDprint& rd, const Destino& d) { return rd.GravaPDF(d.saida); }},
};
const char kExtensoes[] = ".rdp, .txt, .prn, .html ou .pdf";

// The format of the output file's extension, or null.
const Formato* FormatoDaSaida(const std::string& saida) {
  const size_t ponto = saida.find_last_of('.');
  if (ponto == std::string::npos || saida.find('/', ponto) != std::string::npos) return nullptr;
  const std::string ext = base::LowerCase(saida.substr(ponto + 1));
  for (const Formato& f : kFormatos)
    if (ext == f.extensao) return &f;
  return nullptr;
}

}  // namespace

const Formato* LeDestino(std::vector<std::string>& args, Destino& d) {
  if (!Opcao(args, "--saida", d.saida) || d.saida.empty()) {
    Erro(std::string("Falta --saida SAIDA (") + kExtensoes + ").");
    return nullptr;
  }
  const Formato* formato = FormatoDaSaida(d.saida);
  if (!formato) {
    Erro(
        "Extens\xE3o de sa\xED"
        "da desconhecida: " +
        platform::utf8ToCp1252(d.saida) + " (use " + kExtensoes + ").");
    return nullptr;
  }
  std::string modelo;
  if (Opcao(args, "--modelo", modelo) && !ModeloDaChave(modelo, d.modelo)) {
    Erro("Modelo desconhecido: " + platform::utf8ToCp1252(modelo) +
         " (epson, rima, hp, personalizado, bobina ou daruma).");
    return nullptr;
  }
  if (!LeOpcoesImpressao(args, d.impressao)) return nullptr;
  if (d.impressao.Alguma() && std::string(formato->extensao) != "prn") {
    Erro(
        "P\xE1ginas, c\xF3pias e ordem valem s\xF3 para a sa\xED"
        "da .prn (para imprimir: proposta-cli imprimir).");
    return nullptr;
  }
  return formato;
}

// What the print options do for a printer file (UTF-8).
const char* const kAjudaOpcoesPrn =
    "    IMPRESS\xC3\x83O, s\xC3\xB3 para .prn, como na configura\xC3\xA7\xC3\xA3o da "
    "impress\xC3\xA3o: --paginas 1,3,5-12\n"
    "    (sele\xC3\xA7\xC3\xA3o), --par-impar todas|impares|pares, --copias N (1 a 9999), "
    "--sem-agrupar\n"
    "    (cada p\xC3\xA1gina N vezes seguidas) e --inversa (da \xC3\xBAltima para a primeira).";

}  // namespace cli
