#include "platform/qt/QtCaixas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <vector>

#include "platform/Platform.h"

namespace platform {

// The buttons, icon and default button a style value asks for.
EstiloCaixa estiloCaixa(int style) {
  using B = QMessageBox;
  std::vector<B::StandardButton> ordem;
  B::StandardButton escape = B::NoButton;
  switch (style & 0x0F) {
    case mb::OKCANCEL:
      ordem = {B::Ok, B::Cancel};
      escape = B::Cancel;
      break;
    case 0x02:
      ordem = {B::Abort, B::Retry, B::Ignore};
      break;
    case mb::YESNOCANCEL:
      ordem = {B::Yes, B::No, B::Cancel};
      escape = B::Cancel;
      break;
    case mb::YESNO:
      ordem = {B::Yes, B::No};
      break;
    case 0x05:
      ordem = {B::Retry, B::Cancel};
      escape = B::Cancel;
      break;
    default:
      ordem = {B::Ok};
      escape = B::Ok;
      break;
  }
  EstiloCaixa e;
  for (auto b : ordem) e.botoes |= b;
  e.escape = escape;
  switch (style & 0xF0) {
    case mb::ICONHAND:
      e.icone = B::Critical;
      break;
    case mb::ICONQUESTION:
      e.icone = B::Question;
      break;
    case mb::ICONEXCLAMATION:
      e.icone = B::Warning;
      break;
    case mb::ICONASTERISK:
      e.icone = B::Information;
      break;
    default:
      e.icone = B::NoIcon;
      break;
  }
  size_t padrao = static_cast<size_t>((style >> 8) & 0x0F);
  e.padrao = ordem[padrao < ordem.size() ? padrao : 0];
  return e;
}

// The identifier of a pressed button.
int idDoBotao(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok:
      return mb::IDOK;
    case QMessageBox::Cancel:
      return mb::IDCANCEL;
    case QMessageBox::Abort:
      return 3;
    case QMessageBox::Retry:
      return 4;
    case QMessageBox::Ignore:
      return 5;
    case QMessageBox::Yes:
      return mb::IDYES;
    case QMessageBox::No:
      return mb::IDNO;
    default:
      return mb::IDCANCEL;
  }
}

// The caption of a button, one per standard button the boxes use.
QString textoDoBotao(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok:
      return QStringLiteral("OK");
    case QMessageBox::Cancel:
      return QStringLiteral("Cancelar");
    case QMessageBox::Abort:
      return QStringLiteral("Anular");
    case QMessageBox::Retry:
      return QStringLiteral("Repetir");
    case QMessageBox::Ignore:
      return QStringLiteral("Ignorar");
    case QMessageBox::Yes:
      return QStringLiteral("Sim");
    case QMessageBox::No:
      return QStringLiteral("N\u00E3o");
    default:
      return QString();
  }
}

// Captions every button and sets the text format to plain text.
void traduzCaixa(QMessageBox& box) {
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  for (QAbstractButton* b : box.buttons()) {
    QString texto = textoDoBotao(box.standardButton(b));
    if (!texto.isEmpty()) b->setText(texto);
  }
}

int larguraParaTitulo(const QString& titulo) {
  // The window manager draws the title, usually bold and larger than the text; the room of the
  // window icon and the close button comes on top.
  QFont fonte = QApplication::font();
  fonte.setBold(true);
  fonte.setPointSizeF(fonte.pointSizeF() * 1.2);
  constexpr int kFolga = 96;
  return QFontMetrics(fonte).horizontalAdvance(titulo) + kFolga;
}

void moldaCaixa(QDialog& box) {
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  const int largura = larguraParaTitulo(box.windowTitle());
  // The boxes size themselves from their layouts: a spacer across the message box's grid, a
  // strut in the input box's column, hold the width.
  if (auto* grade = qobject_cast<QGridLayout*>(box.layout()))
    grade->addItem(new QSpacerItem(largura, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                   grade->rowCount(), 0, 1, grade->columnCount());
  else if (auto* coluna = qobject_cast<QBoxLayout*>(box.layout()))
    coluna->addStrut(largura);
  else
    box.setMinimumWidth(largura);
}

}  // namespace platform
