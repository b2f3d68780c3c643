#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include "platform/CodePage.h"
#include "platform/qt/QtCaixas.h"
#include "platform/qt/QtTexto.h"

namespace platform {

// Keeps the application title for the captions of the plain and error boxes.
QtPlatform::QtPlatform(std::string titulo) : titulo_(std::move(titulo)) {}

// The window the boxes are modal to.
QWidget* QtPlatform::parent() const {
  if (mainWindow_) return mainWindow_;
  return QApplication::activeWindow();
}

// The error box: the application title, a stop icon, OK.
void QtPlatform::showApplicationError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, toQString(titulo_), toQStringLinhas(message),
                  QMessageBox::Ok, parent());
  traduzCaixa(box);
  box.exec();
}

// The plain box: the application title, no icon, OK.
void QtPlatform::showMessage(const std::string& message) {
  QMessageBox box(QMessageBox::NoIcon, toQString(titulo_), toQStringLinhas(message),
                  QMessageBox::Ok, parent());
  traduzCaixa(box);
  box.exec();
}

// A box with the buttons and icon of the style value; returns the identifier of the button pressed.
int QtPlatform::messageBox(const std::string& text, const std::string& caption, int style) {
  EstiloCaixa e = estiloCaixa(style);
  QMessageBox box(e.icone, toQString(caption), toQStringLinhas(text), e.botoes, parent());
  box.setDefaultButton(e.padrao);
  if (e.escape != QMessageBox::NoButton) box.setEscapeButton(e.escape);
  traduzCaixa(box);
  box.exec();
  auto* clicado = box.clickedButton();
  if (!clicado)
    return idDoBotao(e.escape != QMessageBox::NoButton ? e.escape : QMessageBox::Cancel);
  return idDoBotao(box.standardButton(clicado));
}

// A one-line input box: title, prompt, the value as default text; false when cancelled.
bool QtPlatform::inputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) {
  QInputDialog d(parent());
  d.setInputMode(QInputDialog::TextInput);
  d.setWindowTitle(toQString(caption));
  d.setLabelText(toQString(prompt));
  d.setTextValue(toQString(value));
  d.setOkButtonText(textoDoBotao(QMessageBox::Ok));
  d.setCancelButtonText(textoDoBotao(QMessageBox::Cancel));
  if (auto* edit = d.findChild<QLineEdit*>()) edit->setMaxLength(255);
  if (d.exec() != QDialog::Accepted) return false;
  value = fromQString(d.textValue());
  return true;
}

// "Description|*.ext|..." as a Qt file dialog filter.
QString qtFileFilter(const std::string& filter) {
  QStringList partes = toQString(filter).split(QChar('|'));
  QStringList filtros;
  for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
    QString padroes = partes[i + 1];
    padroes.replace(QChar(';'), QChar(' '));
    filtros << partes[i] + QStringLiteral(" (") + padroes + QStringLiteral(")");
  }
  return filtros.join(QStringLiteral(";;"));
}

// The file name with the default extension added when it has none.
std::string withDefaultExtension(const std::string& fileName, const std::string& defaultExt) {
  std::string ext = defaultExt;
  if (ext.rfind("*", 0) == 0) ext.erase(0, 1);
  if (ext.rfind(".", 0) == 0) ext.erase(0, 1);
  if (ext.empty() || fileName.empty()) return fileName;
  if (!QFileInfo(pathToQString(fileName)).suffix().isEmpty()) return fileName;
  return fileName + "." + ext;
}

// The extension of a default extension given as "*.xml", ".xml" or "xml".
static QString extensaoPadrao(const std::string& defaultExt) {
  QString ext = toQString(defaultExt);
  if (ext.startsWith(QChar('*'))) ext.remove(0, 1);
  if (ext.startsWith(QChar('.'))) ext.remove(0, 1);
  return ext;
}

// The open dialog; a name typed without an extension gets the default one, so "pregao15" opens
// pregao15.xml. nullopt when cancelled.
std::optional<std::string> QtPlatform::openFileDialog(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& defaultExt) {
  QFileDialog d(parent(), toQString(title), QString(), qtFileFilter(filter));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setDefaultSuffix(extensaoPadrao(defaultExt));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return withDefaultExtension(pathFromQString(d.selectedFiles().constFirst()), defaultExt);
}

// The save dialog starting at fileName; nullopt when cancelled.
std::optional<std::string> QtPlatform::saveFileDialog(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& defaultExt,
                                                      const std::string& fileName) {
  QString escolhido = QFileDialog::getSaveFileName(parent(), toQString(title),
                                                   pathToQString(fileName), qtFileFilter(filter));
  if (escolhido.isEmpty()) return std::nullopt;
  return withDefaultExtension(pathFromQString(escolhido), defaultExt);
}

// Hands the address (a web address, or a local path) to the desktop's handler; does not wait.
void QtPlatform::openUrl(const std::string& url) {
  QString texto = toQString(url);
  QUrl destino =
      texto.startsWith(QChar('/')) ? QUrl::fromLocalFile(pathToQString(url)) : QUrl(texto);
  QDesktopServices::openUrl(destino);
}

// Lets pending window events be handled.
void QtPlatform::processMessages() { QCoreApplication::processEvents(); }

// Sleeps, in milliseconds.
void QtPlatform::sleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms > 0 ? ms : 0)); }

// No printer is offered on this platform yet.
std::optional<PrinterInfo> QtPlatform::currentPrinter() { return std::nullopt; }
std::vector<PrinterInfo> QtPlatform::printers() { return {}; }

// Raw jobs are refused with a clear text until the spooler side is built.
std::unique_ptr<RawPrintJob> QtPlatform::startRawJob(const std::string& printerName,
                                                     const std::string&, std::string& errorText) {
  errorText =
      utf8ToCp1252("A impressão direta ainda não está disponível nesta versão (impressora: ") +
      printerName + ").";
  return nullptr;
}

}  // namespace platform
