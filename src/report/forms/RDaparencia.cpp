// Colours and fonts of the report engine's windows.
#include "report/forms/RDaparencia.h"

#include <QPalette>
#include <QWidget>

namespace report::forms {

// A TColor as a Qt colour.
QColor CorQt(TColor cor) {
  if (cor < 0) {
    switch (static_cast<uint32_t>(cor) & 0xFF) {
      case 5:   // clWindow
      case 20:  // clBtnHighlight
        return QColor(255, 255, 255);
      case 8:   // clWindowText
      case 18:  // clBtnText
        return QColor(0, 0, 0);
      case 16:  // clBtnShadow
        return QColor(160, 160, 160);
      case 13:  // clHighlight
        return QColor(0, 120, 215);
      default:  // clBtnFace and the rest of the system colours
        return QColor(240, 240, 240);
    }
  }
  return QColor(cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF);
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
