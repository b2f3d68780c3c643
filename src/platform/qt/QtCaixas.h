// How a message box style value of the platform interface becomes a QMessageBox (buttons and
// their Portuguese captions, icon, default button) and how the button pressed becomes the
// identifier the callers expect.
#pragma once

#include <QDialog>
#include <QMessageBox>

namespace platform {

// The buttons, icon and default button a style value asks for.
struct EstiloCaixa {
  QMessageBox::StandardButtons botoes;
  QMessageBox::Icon icone = QMessageBox::NoIcon;
  QMessageBox::StandardButton padrao = QMessageBox::NoButton;
  QMessageBox::StandardButton escape = QMessageBox::NoButton;
};

// Buttons: OK 0, OK/Cancel 1, Abort/Retry/Ignore 2, Yes/No/Cancel 3, Yes/No 4, Retry/Cancel 5
// (anything else OK); icon: stop 0x10, question 0x20, exclamation 0x30, information 0x40;
// default button: first, second 0x100, third 0x200.
EstiloCaixa estiloCaixa(int style);
// The identifier of a pressed button: OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7.
int idDoBotao(QMessageBox::StandardButton b);
// The caption of a button in the program's boxes: "OK", "Cancelar", "Anular", "Repetir",
// "Ignorar", "Sim", "Não".
QString textoDoBotao(QMessageBox::StandardButton b);
// Gives every button of a box its caption, and makes the box show its text as plain text (a
// message quoting a name from a file never renders as markup) that the mouse can select and copy.
void traduzCaixa(QMessageBox& box);
// Gives a box (or the input box) a title bar without minimise and maximise buttons, and a width
// that holds its whole title. Call after the title is set, before the box is shown.
void moldaCaixa(QDialog& box);
// The width a box needs for its title in the title bar.
int larguraParaTitulo(const QString& titulo);

}  // namespace platform
