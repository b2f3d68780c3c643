// A platform for tests: records every box it is asked to show and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
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
  std::deque<std::string> arquivosAbrir;     // open dialog answers; "" = cancelled
  std::deque<std::string> respostasSalvar;   // plain save dialog answers; "" or none = cancelled
  std::vector<std::string> sugestoesSalvar;  // the file name each plain save dialog offered
  std::vector<std::string> enderecos;        // openUrl calls
  int mensagensProcessadas = 0;
  std::function<void()> aoProcessar;  // run by every processMessages call
  // File dialogs with a folder and a type: what each was asked with, and the save answers (the
  // name typed and the type chosen; nullopt = cancelled, also when none is left).
  std::vector<platform::FileDialogOptions> dialogos;
  struct Salvar {
    std::string nome;
    int tipo;
  };
  std::deque<std::optional<Salvar>> arquivosSalvar;

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
  std::optional<std::string> chooseFileToOpen(platform::FileDialogOptions& o) override {
    dialogos.push_back(o);
    return openFileDialog(o.title, o.filter, "");
  }
  std::optional<std::string> chooseFileToSave(platform::FileDialogOptions& o) override {
    dialogos.push_back(o);
    if (arquivosSalvar.empty() || !arquivosSalvar.front()) {
      if (!arquivosSalvar.empty()) arquivosSalvar.pop_front();
      return std::nullopt;
    }
    Salvar r = *arquivosSalvar.front();
    arquivosSalvar.pop_front();
    o.type = r.tipo;
    return r.nome;
  }
  std::optional<std::string> saveFileDialog(const std::string&, const std::string&,
                                            const std::string&, const std::string& nome) override {
    sugestoesSalvar.push_back(nome);
    if (respostasSalvar.empty()) return std::nullopt;
    std::string r = respostasSalvar.front();
    respostasSalvar.pop_front();
    if (r.empty()) return std::nullopt;
    return r;
  }
  void openUrl(const std::string& url) override { enderecos.push_back(url); }
  void processMessages() override {
    ++mensagensProcessadas;
    if (aoProcessar) aoProcessar();
  }
  void sleepMs(int) override {}
};

}  // namespace teste
