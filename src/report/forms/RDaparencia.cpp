// Colours and fonts of the report engine's windows.
#include "report/forms/RDaparencia.h"

#include <QPalette>
#include <QWidget>

#include "report/RDTools.h"

namespace report::forms {

// A TColor as a Qt colour (system colours from the one table the PDF export uses too).
QColor CorQt(TColor cor) {
  const uint32_t rgb = CorRGB(cor);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// Liberation Sans at 11 pixels.
QFont FonteArial8(bool negrito) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  f.setBold(negrito);
  return f;
}

// Background and text colours of a window.
void DefineCores(QWidget* janela, const QColor& fundo, const QColor& texto) {
  QPalette p = janela->palette();
  p.setColor(QPalette::Window, fundo);
  p.setColor(QPalette::Button, fundo);
  p.setColor(QPalette::WindowText, texto);
  p.setColor(QPalette::ButtonText, texto);
  janela->setPalette(p);
  janela->setAutoFillBackground(true);
}

// The text colour of one control.
void DefineCorTexto(QWidget* controle, const QColor& texto) {
  QPalette p = controle->palette();
  p.setColor(QPalette::WindowText, texto);
  p.setColor(QPalette::ButtonText, texto);
  controle->setPalette(p);
}

}  // namespace report::forms
