// The look of the report engine's windows in one place: the colours of the component's settings
// (TColor values, system colours included) as Qt colours, and the Linux stand-ins of their fonts.
#pragma once

#include <QColor>
#include <QFont>

#include "report/RDtipos.h"

class QWidget;

namespace report::forms {

// A TColor as a Qt colour: red in the low byte; the system colours of the window system by their
// usual values (clBtnFace is the light grey of button faces).
QColor CorQt(TColor cor);

// "Arial" and "MS Sans Serif" at 8 points (11 pixels at 96 dpi): Liberation Sans, bold on request.
QFont FonteArial8(bool negrito = false);

// Sets a window's background colour and its text colour (labels, buttons' captions).
void DefineCores(QWidget* janela, const QColor& fundo, const QColor& texto);
// Sets the text colour of one control.
void DefineCorTexto(QWidget* controle, const QColor& texto);

}  // namespace report::forms
