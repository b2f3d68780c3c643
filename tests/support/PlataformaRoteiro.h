// The one scripted platform of the tests: every box, dialog, message pump, pause and web address
// is recorded; every answer comes from a script the test fills (unscripted questions are answered
// as a user who confirms, unscripted open dialogs are cancelled); raw printer jobs keep their
// bytes.
#pragma once

#include <deque>
#include <functional>
#include <memory>
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
  struct Trabalho {
    std::string impressora, documento;
  };

  // What the program showed, in Windows-1252.
  std::vector<std::string> erros, mensagens, urls;
  std::vector<Caixa> caixas;
  std::vector<Entrada> entradas;
  std::vector<std::string> valoresEntrada;  // the text each input box showed when it opened
  int dialogosAbrir = 0;
  int mensagensProcessadas = 0;
  std::vector<int> pausas;  // sleepMs calls (the test never sleeps)

  // The answers, consumed in order.
  std::deque<int> respostasCaixa;                           // default IDYES / IDOK
  std::deque<std::optional<std::string>> respostasEntrada;  // nullopt = Cancel; default confirms
  std::deque<std::optional<std::string>> arquivosAbrir;     // nullopt or "" = Cancel; default too
  std::function<void()> aoProcessar;                        // runs at every message pump
  bool abreEnderecos = true;  // false: the desktop has no handler for the addresses given
  std::deque<std::string> respostasSalvar;   // plain save dialog answers; "" or none = Cancel
  std::vector<std::string> sugestoesSalvar;  // the file name each plain save dialog offered
  // File dialogs with a folder and a type: what each was asked with, and the save answers (the
  // name typed and the type chosen; nullopt = Cancel, also when none is left).
  std::vector<platform::FileDialogOptions> dialogos;
  struct Salvar {
    std::string nome;
    int tipo;
  };
  std::deque<std::optional<Salvar>> arquivosSalvar;

  // Printers: the current one, the installed ones, and the raw jobs started on them.
  std::optional<platform::PrinterInfo> impressora;
  std::vector<platform::PrinterInfo> impressoras;
  bool aceitaTrabalho = true;               // false: startRawJob fails with erroTrabalho
  platform::SinkError erroTrabalho{5, ""};  // the spooler's error when a job is refused
  bool trabalhoFalhaAoEscrever = false;
  std::vector<Trabalho> trabalhos;  // every job started
  int trabalhosTerminados = 0;      // jobs whose finish() succeeded
  std::string bytesImpressos;       // every byte written to any job

  void showApplicationError(const std::string& m) override { erros.push_back(m); }
  void showMessage(const std::string& m) override { mensagens.push_back(m); }

  // Records the box and answers from the script (Yes to a question, OK otherwise).
  int messageBox(const std::string& texto, const std::string& titulo, int estilo) override {
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

  // Records the question and answers from the script (the value confirmed unchanged by default).
  bool inputQuery(const std::string& titulo, const std::string& rotulo,
                  std::string& valor) override {
    entradas.push_back({titulo, rotulo});
    valoresEntrada.push_back(valor);
    if (respostasEntrada.empty()) return true;
    auto r = respostasEntrada.front();
    respostasEntrada.pop_front();
    if (!r) return false;
    valor = *r;
    return true;
  }

  // Answers the open dialog from the script (Cancel by default).
  std::optional<std::string> openFileDialog(const std::string&, const std::string&,
                                            const std::string&) override {
    ++dialogosAbrir;
    if (arquivosAbrir.empty()) return std::nullopt;
    auto r = arquivosAbrir.front();
    arquivosAbrir.pop_front();
    if (r && r->empty()) return std::nullopt;
    return r;
  }

  // Answers the plain save dialog from the script (Cancel by default).
  std::optional<std::string> saveFileDialog(const std::string&, const std::string&,
                                            const std::string&, const std::string& nome) override {
    sugestoesSalvar.push_back(nome);
    if (respostasSalvar.empty()) return std::nullopt;
    std::string r = respostasSalvar.front();
    respostasSalvar.pop_front();
    if (r.empty()) return std::nullopt;
    return r;
  }
  // The dialogs with a folder and a type: recorded, then answered from the scripts above.
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

  bool openUrl(const std::string& url) override {
    urls.push_back(url);
    return abreEnderecos;
  }
  void processMessages() override {
    ++mensagensProcessadas;
    if (aoProcessar) aoProcessar();
  }
  void sleepMs(int ms) override { pausas.push_back(ms); }

  std::optional<platform::PrinterInfo> currentPrinter() override { return impressora; }
  std::vector<platform::PrinterInfo> printers() override { return impressoras; }
  // A job whose bytes go to bytesImpressos, or null with erroTrabalho when jobs are refused.
  std::unique_ptr<platform::RawPrintJob> startRawJob(const std::string& printerName,
                                                     const std::string& docName,
                                                     platform::SinkError& erro) override {
    if (!aceitaTrabalho) {
      erro = erroTrabalho;
      return nullptr;
    }
    trabalhos.push_back({printerName, docName});
    return std::make_unique<TrabalhoGravado>(*this);
  }

 private:
  // A raw job that keeps its bytes in the platform and fails where the script says.
  class TrabalhoGravado : public platform::RawPrintJob {
   public:
    explicit TrabalhoGravado(PlataformaRoteiro& p) : p_(p) {}
    bool startPage() override { return true; }
    bool write(const std::string& bytes) override {
      if (p_.trabalhoFalhaAoEscrever) return falha();
      p_.bytesImpressos += bytes;
      return true;
    }
    bool endPage() override { return true; }
    bool finish() override {
      ++p_.trabalhosTerminados;
      return true;
    }
    const platform::SinkError& error() const override { return erro_; }

   private:
    bool falha() {
      erro_ = platform::SinkError{5, "falha no trabalho"};
      return false;
    }
    PlataformaRoteiro& p_;
    platform::SinkError erro_;
  };
};

}  // namespace teste
