#include "app/forms/Aparencia.h"

#include <QPalette>
#include <QWidget>

namespace app::forms {

// A sans font of the window's metrics at the given pixel size.
QFont FonteJanela(int pixels, bool negrito) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(pixels);
  f.setBold(negrito);
  return f;
}

QColor CorFaceBotao() { return QColor(240, 240, 240); }
QColor CorJanela() { return QColor(255, 255, 255); }
QColor CorRealce() { return QColor(255, 255, 255); }
QColor CorFoco() { return QColor(255, 255, 0); }
QColor CorAzul() { return QColor(0, 0, 255); }
QColor CorVermelha() { return QColor(255, 0, 0); }

// Sets a widget's text colour in every colour group (edits, memos and labels).
void DefineCorTexto(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Active, QPalette::Text, c);
  p.setColor(QPalette::Inactive, QPalette::Text, c);
  p.setColor(QPalette::Active, QPalette::WindowText, c);
  p.setColor(QPalette::Inactive, QPalette::WindowText, c);
  w->setPalette(p);
}

// Sets an edit's background in every colour group.
void DefineCorFundo(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Active, QPalette::Base, c);
  p.setColor(QPalette::Inactive, QPalette::Base, c);
  w->setPalette(p);
}

// The background an edit shows now.
QColor CorFundo(const QWidget* w) { return w->palette().color(QPalette::Active, QPalette::Base); }

}  // namespace app::forms
