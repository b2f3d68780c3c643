// The pictures the report engine's windows draw for themselves: the progress window's three
// animation strips and Cancel glyph, the preview's tool bar glyphs and its two hand cursors.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>

namespace report::forms {

// The fuchsia the animation strips are drawn on (replaced by the window colour when shown).
constexpr QRgb kFundoFigura = 0xFFFF00FF;

// An animation strip of 210 x 34 pixels: six frames of 35 x 34 side by side on fuchsia.
enum class Animacao { Leitura, Impressao, Gravacao };
QImage FaixaAnimacao(Animacao a);

// The glyph of the progress window's Cancelar button.
QIcon IconeCancelar();

// The glyphs of the preview's tool bar.
enum class GlifoPreview {
  Imprimir,
  Setup,
  PDF,
  Email,
  Salvar,
  Abrir,
  Procurar,
  Primeira,
  Anterior,
  Direto,
  Proxima,
  Ultima,
  Largura,
  Inteira,
  Aumenta,
  Diminui,
  Fechar
};
QIcon IconePreview(GlifoPreview g);

// The preview's hand cursors, 32 x 32 with the hot spot at (10, 12): open (cursor 101, "Mao")
// and grabbing (cursor 102, "Pegou").
QCursor CursorMao();
QCursor CursorPegou();

}  // namespace report::forms
