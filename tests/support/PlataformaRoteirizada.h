// A platform for tests: records every box it is asked to show and answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace teste {

class PlataformaRoteirizada : public platform::HeadlessPlatform {
 public:
  std::vector<std::string> mensagens;  // showMessage texts
  std::vector<std::string> erros;      // showApplicationError texts
  struct Caixa {
    std::string texto, titulo;
    int estilo;
  };
  std::vector<Caixa> caixas;                 // messageBox calls
  std::deque<int> respostasCaixa;            // button ids to answer; IDOK when empty
  std::deque<std::string> respostasEntrada;  // input box answers; "\x01" stands for Cancel
  std::vector<std::string> entradas;         // "caption|prompt" of each input box
  std::vector<std::string> valoresEntrada;   // the text each input box started with
  std::deque<std::string> arquivosAbrir;     // open dialog answers; "" = cancelled
  std::vector<std::string> enderecos;        // openUrl calls
  int mensagensProcessadas = 0;

  void showMessage(const std::string& m) override { mensagens.push_back(m); }
  void showApplicationError(const std::string& m) override { erros.push_back(m); }
  int messageBox(const std::string& texto, const std::string& titulo, int estilo) override {
    caixas.push_back({texto, titulo, estilo});
    if (respostasCaixa.empty()) return platform::mb::IDOK;
    int r = respostasCaixa.front();
    respostasCaixa.pop_front();
    return r;
  }
  bool inputQuery(const std::string& titulo, const std::string& rotulo,
                  std::string& valor) override {
    entradas.push_back(titulo + "|" + rotulo);
    valoresEntrada.push_back(valor);
    if (respostasEntrada.empty()) return false;
    std::string r = respostasEntrada.front();
    respostasEntrada.pop_front();
    if (r == "\x01") return false;
    valor = r;
    return true;
  }
  std::optional<std::string> openFileDialog(const std::string&, const std::string&,
                                            const std::string&) override {
    if (arquivosAbrir.empty()) return std::nullopt;
    std::string r = arquivosAbrir.front();
    arquivosAbrir.pop_front();
    if (r.empty()) return std::nullopt;
    return r;
  }
  void openUrl(const std::string& url) override { enderecos.push_back(url); }
  void processMessages() override { ++mensagensProcessadas; }
  void sleepMs(int) override {}
};

}  // namespace teste
