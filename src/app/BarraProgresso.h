// The main window's shared progress bar FProgresso, as the writers and the listing set it.
#pragma once

namespace app {

struct BarraProgresso {
  int minimo = 0, maximo = 100, posicao = 0, passo = 1;
  bool visivel = false;
};

}  // namespace app
