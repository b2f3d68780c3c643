// Test support for the report engine: a clean report state per test, a scripted platform that
// records message boxes and raw printer jobs, and scripted windows (progress that cancels on
// request, a recording graphic printer).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"

namespace teste {

struct Caixa {
  std::string texto;
  int estilo;
};

// A raw job that keeps its bytes.
class TrabalhoGravado : public platform::RawPrintJob {
 public:
  explicit TrabalhoGravado(std::string& destino) : destino_(destino) {}
  bool startPage() override { return true; }
  bool write(const std::string& bytes) override {
    destino_ += bytes;
    return true;
  }
  bool endPage() override { return true; }
  bool finish() override { return true; }
  const platform::SinkError& error() const override { return erro_; }

 private:
  std::string& destino_;
  platform::SinkError erro_;
};

class PlataformaTeste : public platform::HeadlessPlatform {
 public:
  std::vector<Caixa> caixas;
  std::optional<platform::PrinterInfo> impressora;
  bool aceitaTrabalho = true;
  std::string bytesImpressos;
  std::function<void()> aoProcessar;

  int messageBox(const std::string& texto, const std::string&, int estilo) override {
    caixas.push_back({texto, estilo});
    return platform::mb::IDOK;
  }
  void showMessage(const std::string& texto) override { caixas.push_back({texto, -1}); }
  void processMessages() override {
    if (aoProcessar) aoProcessar();
  }
  std::optional<platform::PrinterInfo> currentPrinter() override { return impressora; }
  std::unique_ptr<platform::RawPrintJob> startRawJob(const std::string&, const std::string&,
                                                     platform::SinkError& erro) override {
    if (!aceitaTrabalho) {
      erro = platform::SinkError{5, ""};
      return nullptr;
    }
    return std::make_unique<TrabalhoGravado>(bytesImpressos);
  }
};

// A progress window that counts its steps and raises the cancel request at step `cancelaNoPasso`.
class ProgressoTeste : public report::TJanelaProgresso {
 public:
  ProgressoTeste(std::vector<report::TConfigProgresso>& mostrados, int cancelaNoPasso,
                 int& fechados)
      : mostrados_(mostrados), cancela_(cancelaNoPasso), fechados_(fechados) {}
  void Mostra(const report::TConfigProgresso& c) override { mostrados_.push_back(c); }
  void Passo() override {
    if (++passos_ == cancela_) report::EstadoRelatorio().cancelamento = true;
  }
  void Repinta() override {}
  void Fecha() override { ++fechados_; }

 private:
  std::vector<report::TConfigProgresso>& mostrados_;
  int cancela_;
  int passos_ = 0;
  int& fechados_;
};

// A graphic printer that records what it is asked to do ("I" start, "N" new page, page numbers).
class ImpressoraGraficaTeste : public report::TImpressoraGrafica {
 public:
  std::vector<std::string> registro;
  bool aceita = true;
  bool IniciaDocumento(report::TPrinterOrientation, const std::string&) override {
    registro.push_back("I");
    return aceita;
  }
  void NovaPagina() override { registro.push_back("N"); }
  void ImprimePaginaGrafica(report::TRDprint&, int pagina) override {
    registro.push_back(std::to_string(pagina));
  }
  void FinalizaDocumento() override { registro.push_back("F"); }
};

class JanelasTeste : public report::TJanelasRelatorio {
 public:
  std::function<void(report::TRDprint&)> aoPreview;
  bool confirmaSetup = true;
  int cancelaNoPasso = 0;
  std::vector<report::TConfigProgresso> progressos;
  int progressosFechados = 0;
  ImpressoraGraficaTeste grafica;
  bool temGrafica = true;

  void MostraPreview(report::TRDprint& rd) override {
    if (aoPreview) aoPreview(rd);
  }
  bool MostraSetup(report::TRDprint&) override { return confirmaSetup; }
  std::unique_ptr<report::TJanelaProgresso> CriaProgresso(report::TRDprint&) override {
    return std::make_unique<ProgressoTeste>(progressos, cancelaNoPasso, progressosFechados);
  }
  report::TImpressoraGrafica* ImpressoraGrafica() override {
    return temGrafica ? &grafica : nullptr;
  }
};

// Every report test starts from a clean report state with the scripted platform and windows.
class RelatorioTeste : public ::testing::Test {
 protected:
  RelatorioTeste() : guardaPlataforma_(plataforma), guardaJanelas_(janelas) {
    report::ReiniciaEstadoRelatorio();
    rd = std::make_unique<report::TRDprint>();
    rd->PortaComunicacao = "nenhuma";  // keeps Abrir from asking for the current printer
  }
  ~RelatorioTeste() override {
    report::ReiniciaEstadoRelatorio();
    if (!pasta_.empty()) std::filesystem::remove_all(pasta_);
  }

  // All commands of the page store, in order.
  static std::vector<std::string> Loja() {
    std::vector<std::string> r;
    if (auto& p = report::EstadoRelatorio().paginas)
      p->ParaCada([&](std::string_view c) { r.emplace_back(c); });
    return r;
  }
  static std::string LeArquivo(const std::string& caminho) {
    std::ifstream f(caminho, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static void EscreveArquivo(const std::string& caminho, const std::string& bytes) {
    std::ofstream f(caminho, std::ios::binary);
    f << bytes;
  }
  // A fresh path in the test's own temporary folder.
  std::string Caminho(const std::string& nome) {
    if (pasta_.empty()) {
      char modelo[] = "/tmp/test_report_XXXXXX";
      pasta_ = mkdtemp(modelo);
    }
    return pasta_ + "/" + nome;
  }

  PlataformaTeste plataforma;
  JanelasTeste janelas;
  std::unique_ptr<report::TRDprint> rd;
  const report::TAtributos normal{report::TAtributo::aNormal10};

 private:
  platform::ScopedPlatform guardaPlataforma_;
  report::JanelasInstaladas guardaJanelas_;
  std::string pasta_;
};

}  // namespace teste
