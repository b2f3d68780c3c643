// A platform for the window tests: every box, dialog and web address is recorded, and every answer
// comes from a script the test fills (unscripted questions are answered as a user who confirms).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace teste {

class PlataformaRoteiro : public platform::HeadlessPlatform {
 public:
  struct Caixa {
    std::string texto, titulo;
    int estilo;
  };
  struct Entrada {
    std::string titulo, rotulo;
  };

  // What the program showed, in Windows-1252.
  std::vector<std::string> erros, mensagens, urls;
  std::vector<Caixa> caixas;
  std::vector<Entrada> entradas;
  int dialogosAbrir = 0;

  // The answers, consumed in order.
  std::deque<int> respostasCaixa;                           // default IDOK / IDYES
  std::deque<std::optional<std::string>> respostasEntrada;  // nullopt = Cancel; default ""
  std::deque<std::optional<std::string>> arquivosAbrir;     // nullopt = Cancel; default Cancel

  void showApplicationError(const std::string& m) override { erros.push_back(m); }
  void showMessage(const std::string& m) override { mensagens.push_back(m); }
  int messageBox(const std::string& texto, const std::string& titulo, int estilo) override;
  bool inputQuery(const std::string& titulo, const std::string& rotulo,
                  std::string& valor) override;
  std::optional<std::string> openFileDialog(const std::string&, const std::string&,
                                            const std::string&) override;
  void openUrl(const std::string& url) override { urls.push_back(url); }
};

// Writes bytes to a file (test fixtures) and reads a whole file back.
void GravaArquivo(const std::string& caminho, const std::string& bytes);
std::string LeArquivo(const std::string& caminho);

// A process file of `itens` items in the written layout (CR LF lines), each given as the ten
// values ordem, codigo, nome, descricao, marca, quantidade, valor, apuracao, lote.
struct ItemFixture {
  std::string ordem, codigo, nome, descricao, marca, quantidade, valor, apuracao, lote;
};
std::string ProcessoFixture(const std::string& label, const std::string& descricao,
                            const std::vector<ItemFixture>& itens);

}  // namespace teste
