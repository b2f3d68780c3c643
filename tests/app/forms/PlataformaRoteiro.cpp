#include "PlataformaRoteiro.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace teste {

// Records the box and answers from the script (OK by default).
int PlataformaRoteiro::messageBox(const std::string& texto, const std::string& titulo, int estilo) {
  caixas.push_back({texto, titulo, estilo});
  if (respostasCaixa.empty()) {
    int botoes = estilo & 0x0F;
    return botoes == platform::mb::YESNO || botoes == platform::mb::YESNOCANCEL
               ? platform::mb::IDYES
               : platform::mb::IDOK;
  }
  int r = respostasCaixa.front();
  respostasCaixa.pop_front();
  return r;
}

// Records the question and answers from the script (an empty confirmed text by default).
bool PlataformaRoteiro::inputQuery(const std::string& titulo, const std::string& rotulo,
                                   std::string& valor) {
  entradas.push_back({titulo, rotulo});
  if (respostasEntrada.empty()) return true;
  auto r = respostasEntrada.front();
  respostasEntrada.pop_front();
  if (!r) return false;
  valor = *r;
  return true;
}

// Answers the open dialog from the script (Cancel by default).
std::optional<std::string> PlataformaRoteiro::openFileDialog(const std::string&, const std::string&,
                                                             const std::string&) {
  ++dialogosAbrir;
  if (arquivosAbrir.empty()) return std::nullopt;
  auto r = arquivosAbrir.front();
  arquivosAbrir.pop_front();
  return r;
}

// Writes bytes to a file.
void GravaArquivo(const std::string& caminho, const std::string& bytes) {
  std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
  f << bytes;
  if (!f) throw std::runtime_error("cannot write fixture " + caminho);
}

// Reads a whole file ("" when missing).
std::string LeArquivo(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A process file in the written layout.
std::string ProcessoFixture(const std::string& label, const std::string& descricao,
                            const std::vector<ItemFixture>& itens) {
  std::string s = "<processo label=\"" + label + "\" descricao=\"" + descricao +
                  "\" totalitens=\"" + std::to_string(itens.size()) + "\">\r\n<produtos>\r\n";
  for (const ItemFixture& i : itens) {
    s += "<produto>\r\n";
    s += " <ordem>" + i.ordem + "</ordem>\r\n";
    s += " <codigo>" + i.codigo + "</codigo>\r\n";
    s += " <nome>" + i.nome + "</nome>\r\n";
    s += " <descricao>" + i.descricao + "</descricao>\r\n";
    s += " <marca>" + i.marca + "</marca>\r\n";
    s += " <quantidade>" + i.quantidade + "</quantidade>\r\n";
    s += " <valor>" + i.valor + "</valor>\r\n";
    s += " <apuracao>" + i.apuracao + "</apuracao>\r\n";
    s += " <lote>" + i.lote + "</lote>\r\n";
    s += "</produto>\r\n";
  }
  s += "</produtos>\r\n</processo>\r\n";
  return s;
}

}  // namespace teste
