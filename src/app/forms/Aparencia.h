// The main window's look in one place: the Linux stand-ins for its fonts and the colours of the
// window system it was drawn for (button face, window, focus yellow, fixed grid cells).
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace app::forms {

// Pixel sizes of the window's point sizes at 96 dpi: 8 pt, 10 pt, and the grid's small lot font.
constexpr int kPixels8pt = 11;
constexpr int kPixels10pt = 13;
constexpr int kPixelsLote = 8;

// A sans font of the metrics of the window's "MS Sans Serif" (Liberation Sans, fontconfig's match).
QFont FonteJanela(int pixels = kPixels8pt, bool negrito = false);

// clBtnFace, clWindow, clBtnHighlight, the focus yellow, clBlue, clRed.
QColor CorFaceBotao();
QColor CorJanela();
QColor CorRealce();
QColor CorFoco();
QColor CorAzul();
QColor CorVermelha();

// Sets a widget's text colour (edits and labels) and its background for edits.
void DefineCorTexto(QWidget* w, const QColor& c);
void DefineCorFundo(QWidget* w, const QColor& c);
// The background an edit shows now (tests and the focus marking).
QColor CorFundo(const QWidget* w);

}  // namespace app::forms
