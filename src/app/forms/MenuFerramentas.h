// The commands beyond the window's own buttons: the "&Ferramentas" menu of the main window's menu
// bar (above the client area, so no control of the window moves). One table, one row per command in
// menu order; each capability's window code supplies the row's function. Every row has a shortcut.
#pragma once

#include <vector>

class QMenuBar;

namespace app::forms {

class TForm1;

struct ComandoFerramenta {
  const char* titulo;  // menu text (UTF-8), "&" before the mnemonic letter
  const char* atalho;  // QKeySequence text ("Ctrl+Shift+E")
  void (*executa)(TForm1& janela);
  bool separadorAntes;  // a separator line above this row
};

// The table, in menu order.
const std::vector<ComandoFerramenta>& ComandosFerramentas();

// Fills the window's menu bar with the table's menu.
void CriaMenuFerramentas(TForm1& janela, QMenuBar* barra);

}  // namespace app::forms
