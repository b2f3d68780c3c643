// The pictures the window draws for itself at start-up: the maker's logo (99 x 100), the glyphs of
// the command buttons and the four navigator arrows.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace app::forms {

// The maker's logo, 99 x 100 pixels.
QPixmap DesenhaLogo();

// Navigator buttons, in their order.
enum class BotaoNavegador { Primeiro, Anterior, Proximo, Ultimo };
QIcon IconeNavegador(BotaoNavegador b);

// Glyphs of the command buttons.
enum class Glifo { Abrir, Gerar, Ajuda, Relatorio, Assinar };
QIcon IconeGlifo(Glifo g);

}  // namespace app::forms
