#include "cli/OpcoesImpressao.h"

#include "base/Texto.h"
#include "cli/Comandos.h"
#include "platform/CodePage.h"
#include "report/RDTools.h"
#include "report/RDestado.h"
#include "report/RDmodelos.h"

namespace cli {

namespace {

// The page selection as the dialog's key filter leaves it; false when it holds anything but
// digits, ",", "-", ".", ";" and blanks, or names no page.
bool SelecaoDePaginas(const std::string& texto, std::string& selecao) {
  selecao.clear();
  for (char c : texto) {
    if (c == '.' || c == ';')
      selecao += ',';
    else if ((c >= '0' && c <= '9') || c == ',' || c == '-' || c == ' ')
      selecao += c;
    else
      return false;
  }
  std::vector<std::string> paginas;
  report::ExpandePaginas(selecao, paginas);
  return !paginas.empty();
}

}  // namespace

const char* const kUsoOpcoesImpressao =
    "[--paginas 1,3,5-12] [--par-impar todas|impares|pares] [--copias N] [--sem-agrupar] "
    "[--inversa]";

// Each option checked on its own, with a message that says what to type.
bool LeOpcoesImpressao(std::vector<std::string>& args, OpcoesImpressao& o) {
  std::string valor;
  if (Opcao(args, "--paginas", valor)) {
    std::string selecao;
    if (!SelecaoDePaginas(valor, selecao)) {
      Erro("P\xE1ginas inv\xE1lidas: " + platform::utf8ToCp1252(valor) +
           " (digite p\xE1ginas e intervalos separados por v\xEDrgula, por exemplo 1,3,5-12).");
      return false;
    }
    o.paginas = selecao;
  }
  if (Opcao(args, "--par-impar", valor)) {
    const std::string v = base::LowerCase(valor);
    if (v == "todas")
      o.parImpar = 0;
    else if (v == "impares")
      o.parImpar = 1;
    else if (v == "pares")
      o.parImpar = 2;
    else {
      Erro("--par-impar inv\xE1lido: " + platform::utf8ToCp1252(valor) +
           " (use todas, impares ou pares).");
      return false;
    }
  }
  if (Opcao(args, "--copias", valor)) {
    const bool digitos = !valor.empty() && valor.size() <= 4 &&
                         valor.find_first_not_of("0123456789") == std::string::npos;
    if (!digitos || std::stoi(valor) < 1) {
      Erro("N\xFAmero de c\xF3pias inv\xE1lido: " + platform::utf8ToCp1252(valor) +
           " (digite um n\xFAmero de 1 a 9999).");
      return false;
    }
    o.copias = std::stoi(valor);
  }
  o.semAgrupar = Bandeira(args, "--sem-agrupar");
  o.inversa = Bandeira(args, "--inversa");
  return true;
}

// The print settings of the open report.
void AplicaOpcoesImpressao(const OpcoesImpressao& o) {
  report::TEstadoRelatorio& e = report::EstadoRelatorio();
  if (o.paginas) e.IntervaloPaginas = *o.paginas;
  if (o.parImpar) e.ParImpar = *o.parImpar;
  if (o.copias) e.Copias = *o.copias;
  if (o.semAgrupar) e.Agrupar = false;
  if (o.inversa) e.OrdemInversa = true;
}

// The key looked up in the table of models.
bool LeModelo(std::vector<std::string>& args, report::TModelo& modelo, bool* dado) {
  std::string chave;
  const bool dada = Opcao(args, "--modelo", chave);
  if (dado) *dado = dada;
  if (!dada || report::ModeloDaChave(chave, modelo)) return true;
  Erro("Modelo desconhecido: " + platform::utf8ToCp1252(chave) + " (" + report::ListaDeChaves() +
       ").");
  return false;
}

}  // namespace cli
