// Test support for the report engine: a clean report state per test with the scripted platform of
// tests/support installed, and scripted windows (progress that cancels on request, a recording
// graphic printer).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Erros.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

namespace teste {

// A page command string: page, line, column, attribute, letter, colour, text.
inline std::string Comando(int pagina, int linha, int coluna, int atributo, char letra,
                           const std::string& texto, const char* cor = "000000") {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%03d%03d%03d%c", pagina, linha, coluna, atributo, letra);
  return buf + std::string(cor) + texto;
}

// A progress window that counts its steps and raises the cancel request at step `cancelaNoPasso`.
class ProgressoTeste : public report::TJanelaProgresso {
 public:
  ProgressoTeste(std::vector<report::TConfigProgresso>& mostrados, int cancelaNoPasso,
                 int& fechados, int& passosDados)
      : mostrados_(mostrados),
        cancela_(cancelaNoPasso),
        fechados_(fechados),
        passosDados_(passosDados) {}
  void Mostra(const report::TConfigProgresso& c) override { mostrados_.push_back(c); }
  void Passo() override {
    ++passosDados_;
    if (++passos_ == cancela_) report::EstadoRelatorio().cancelamento = true;
  }
  void Repinta() override {}
  void Fecha() override { ++fechados_; }

 private:
  std::vector<report::TConfigProgresso>& mostrados_;
  int cancela_;
  int passos_ = 0;
  int& fechados_;
  int& passosDados_;
};

// A graphic printer that records what it is asked to do ("I" start, "N" new page, page numbers).
class ImpressoraGraficaTeste : public report::TImpressoraGrafica {
 public:
  std::vector<std::string> registro;
  bool aceita = true;
  int falhaNaPagina = 0;  // a page whose drawing raises, as a malformed entry does
  bool IniciaDocumento(report::TPrinterOrientation, const std::string&) override {
    registro.push_back("I");
    return aceita;
  }
  void NovaPagina() override { registro.push_back("N"); }
  void ImprimePaginaGrafica(report::TRDprint&, int pagina) override {
    if (pagina == falhaNaPagina) throw base::EConvertError("'00a05' is not a valid integer value");
    registro.push_back(std::to_string(pagina));
  }
  void FinalizaDocumento() override { registro.push_back("F"); }
  void AbandonaDocumento() override { registro.push_back("A"); }
};

class JanelasTeste : public report::TJanelasRelatorio {
 public:
  std::function<void(report::TRDprint&)> aoPreview;
  bool confirmaSetup = true;
  int cancelaNoPasso = 0;
  std::vector<report::TConfigProgresso> progressos;
  int progressosFechados = 0;
  int passosDados = 0;  // steps of every progress window shown
  ImpressoraGraficaTeste grafica;
  bool temGrafica = true;

  void MostraPreview(report::TRDprint& rd) override {
    if (aoPreview) aoPreview(rd);
  }
  bool MostraSetup(report::TRDprint&) override { return confirmaSetup; }
  std::unique_ptr<report::TJanelaProgresso> CriaProgresso(report::TRDprint&) override {
    return std::make_unique<ProgressoTeste>(progressos, cancelaNoPasso, progressosFechados,
                                            passosDados);
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
  ~RelatorioTeste() override { report::ReiniciaEstadoRelatorio(); }

  // All commands of the page store, in order.
  static std::vector<std::string> Loja() {
    std::vector<std::string> r;
    if (auto& p = report::EstadoRelatorio().paginas)
      p->ParaCada([&](std::string_view c) { r.emplace_back(c); });
    return r;
  }
  static std::string LeArquivo(const std::string& caminho) { return Le(caminho); }
  static void EscreveArquivo(const std::string& caminho, const std::string& bytes) {
    Grava(caminho, bytes);
  }
  // A fresh path in the test's own temporary folder.
  std::string Caminho(const std::string& nome) {
    if (!pasta_) pasta_ = std::make_unique<PastaTemporaria>("report");
    return *pasta_ / nome;
  }

  // Runs `opera` (which returns what it made) with the cancel request raised at its k-th poll,
  // for k = 1 to 20, and hands `confere` what was made each time and whether the request stopped
  // it; OnCancel must fire exactly once when it did. True when some request stopped it part-way,
  // after something was made.
  template <class Opera, class Confere>
  bool CancelaEmCadaPoll(Opera opera, Confere confere) {
    int cancelados = 0, polls = 0, pedido = 0;
    rd->OnCancel = [&](report::TRDprint&) { ++cancelados; };
    plataforma.aoProcessar = [&] {
      if (++polls == pedido) report::EstadoRelatorio().cancelamento = true;
    };
    bool parouNoMeio = false;
    for (pedido = 1; pedido <= 20; ++pedido) {
      cancelados = polls = 0;
      const auto feito = opera();
      const bool cancelado = report::EstadoRelatorio().cancelamento;
      report::EstadoRelatorio().cancelamento = false;
      EXPECT_EQ(cancelados, cancelado ? 1 : 0) << "poll " << pedido;
      confere(feito, cancelado);
      parouNoMeio |= cancelado && !feito.empty();
    }
    plataforma.aoProcessar = nullptr;
    rd->OnCancel = nullptr;
    return parouNoMeio;
  }

  PlataformaRoteiro plataforma;
  JanelasTeste janelas;
  std::unique_ptr<report::TRDprint> rd;
  const report::TAtributos normal{report::TAtributo::aNormal10};

 private:
  platform::ScopedPlatform guardaPlataforma_;
  report::JanelasInstaladas guardaJanelas_;
  std::unique_ptr<PastaTemporaria> pasta_;
};

}  // namespace teste
