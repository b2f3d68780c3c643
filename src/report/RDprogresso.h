// The engine's side of the progress window protocol: create and show the window (when asked),
// step and repaint it after each unit of work, close it however the operation ends.
#pragma once

#include <chrono>
#include <memory>

#include "report/RDjanelas.h"

namespace report {

class ProgressoRelatorio {
 public:
  // Shows a progress window when `mostrar`; always clears the cancel request.
  ProgressoRelatorio(TRDprint& rd, bool mostrar, const TConfigProgresso& config);
  // Closes the window (re-enabling the other windows).
  ~ProgressoRelatorio();
  ProgressoRelatorio(const ProgressoRelatorio&) = delete;
  ProgressoRelatorio& operator=(const ProgressoRelatorio&) = delete;

  // Advances the bar by one and repaints.
  void Passo();
  // Repaints.
  void Repinta();
  // After one entry of a long loop: lets pending messages through and repaints (at most every
  // few milliseconds: entries come far faster than anyone can click or see) and, when the window
  // is shown, steps it; false (after firing OnCancel) when the user asked to cancel.
  bool Entrada();

 private:
  TRDprint& rd_;
  bool mostrar_;
  std::chrono::steady_clock::time_point proximaVez_{};  // the next message pump of Entrada
  std::unique_ptr<TJanelaProgresso> janela_;
};

}  // namespace report
