// The windows and devices the report engine reaches without knowing them: the preview window, the
// print setup dialog, the progress window and a graphic page printer. The Qt layer (or a test)
// installs its own; the headless defaults show nothing: the preview returns at once, the setup
// confirms without change, the progress never cancels and there is no graphic printer.
#pragma once

#include <memory>
#include <string>

#include "report/RDtipos.h"

namespace report {

class TRDprint;

// What the progress window shows for one operation.
struct TConfigProgresso {
  std::string caption;  // "Imprimindo...", "Gravando...", "Lendo..."
  std::string rotulo;   // the report title or the file name
  int maximo = 0;
  TColor cor = clBtnFace;
  TColor corFonte = clBlack;
};

// One progress window, shown without a modal loop for one long operation. Its Cancelar button
// (after confirmation) raises the cancel request of the report state.
class TJanelaProgresso {
 public:
  virtual ~TJanelaProgresso() = default;
  // Disables the other windows, shows the window with the bar at 0.
  virtual void Mostra(const TConfigProgresso& config) = 0;
  // Advances the bar by one step.
  virtual void Passo() = 0;
  // Repaints (and animates) the window.
  virtual void Repinta() = 0;
  // Re-enables exactly the windows disabled by Mostra and closes the window.
  virtual void Fecha() = 0;
};

// A printer drawing whole pages (the graphic model).
class TImpressoraGrafica {
 public:
  virtual ~TImpressoraGrafica() = default;
  // Begins a print document with the orientation, title and a copy count of 1; false on failure.
  virtual bool IniciaDocumento(TPrinterOrientation orientacao, const std::string& titulo) = 0;
  // Starts a new printer page (before every page after the first).
  virtual void NovaPagina() = 0;
  // Draws page `pagina` of the store onto the current printer page.
  virtual void ImprimePaginaGrafica(TRDprint& rd, int pagina) = 0;
  // Ends the print document.
  virtual void FinalizaDocumento() = 0;
  // Abandons the print document after an error escaped a page: what the device cannot take back
  // may have been printed, but nothing more is sent and a file is left as it was.
  virtual void AbandonaDocumento() = 0;
};

// The engine's windows.
class TJanelasRelatorio {
 public:
  virtual ~TJanelasRelatorio() = default;
  // Shows the preview window modally; returns when it closes.
  virtual void MostraPreview(TRDprint& rd) = 0;
  // Shows the setup dialog filled from the print settings; true when the user confirmed (the
  // dialog has then written the chosen values back into the component and the print settings).
  virtual bool MostraSetup(TRDprint& rd) = 0;
  // A new progress window owned by the component.
  virtual std::unique_ptr<TJanelaProgresso> CriaProgresso(TRDprint& rd) = 0;
  // The graphic page printer, or null when there is none.
  virtual TImpressoraGrafica* ImpressoraGrafica() = 0;
};

// The headless windows.
class TJanelasSemTela : public TJanelasRelatorio {
 public:
  void MostraPreview(TRDprint&) override {}
  bool MostraSetup(TRDprint&) override { return true; }
  std::unique_ptr<TJanelaProgresso> CriaProgresso(TRDprint& rd) override;
  TImpressoraGrafica* ImpressoraGrafica() override { return nullptr; }
};

// The windows in use: the headless ones until others are installed.
TJanelasRelatorio& JanelasRelatorio();
// Installs j (not owned); null restores the headless windows.
void InstalaJanelas(TJanelasRelatorio* j);

// Makes j current for the lifetime of the guard.
class JanelasInstaladas {
 public:
  explicit JanelasInstaladas(TJanelasRelatorio& j);
  ~JanelasInstaladas();
  JanelasInstaladas(const JanelasInstaladas&) = delete;
  JanelasInstaladas& operator=(const JanelasInstaladas&) = delete;

 private:
  TJanelasRelatorio* anterior_;
};

}  // namespace report
