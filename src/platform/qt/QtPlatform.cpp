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

namespace {
// The printers' options on this platform: windows keep painting while a finished raw job is
// followed.
cups::CupsOptions opcoesImpressoras() {
  cups::CupsOptions o;
  o.whileWaiting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  return o;
}
}  // namespace

// Keeps the application title for the captions of the plain and error boxes.
QtPlatform::QtPlatform(std::string titulo)
    : titulo_(std::move(titulo)), printers_(opcoesImpressoras()) {}

// The window the boxes are modal to: the modal window in front (a preview, a progress window),
// else the main window.
QWidget* QtPlatform::parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (mainWindow_) return mainWindow_;
  return QApplication::activeWindow();
}

// The error box: the application title, a stop icon, OK.
void QtPlatform::showApplicationError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, toQString(titulo_), toQStringLinhas(message),
                  QMessageBox::Ok, parent());
  traduzCaixa(box);
  moldaCaixa(box);
  box.exec();
}

// The plain box: the application title, no icon, OK.
void QtPlatform::showMessage(const std::string& message) {
  QMessageBox box(QMessageBox::NoIcon, toQString(titulo_), toQStringLinhas(message),
                  QMessageBox::Ok, parent());
  traduzCaixa(box);
  moldaCaixa(box);
  box.exec();
}

// A box with the buttons and icon of the style value; returns the identifier of the button pressed.
int QtPlatform::messageBox(const std::string& text, const std::string& caption, int style) {
  EstiloCaixa e = estiloCaixa(style);
  QMessageBox box(e.icone, toQString(caption), toQStringLinhas(text), e.botoes, parent());
  box.setDefaultButton(e.padrao);
  if (e.escape != QMessageBox::NoButton) box.setEscapeButton(e.escape);
  traduzCaixa(box);
  moldaCaixa(box);
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
  moldaCaixa(d);
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
    QString descricao = partes[i].trimmed();
    if (descricao.endsWith(QStringLiteral("(") + padroes + QStringLiteral(")")))
      filtros << descricao;
    else
      filtros << partes[i] + QStringLiteral(" (") + padroes + QStringLiteral(")");
  }
  return filtros.join(QStringLiteral(";;"));
}

// The extension of a default extension given as "*.xml", ".xml" or "xml".
static std::string extensaoPadrao(const std::string& defaultExt) {
  std::string ext = defaultExt;
  if (ext.rfind("*", 0) == 0) ext.erase(0, 1);
  if (ext.rfind(".", 0) == 0) ext.erase(0, 1);
  return ext;
}

// The file name with the default extension added when it has none.
std::string withDefaultExtension(const std::string& fileName, const std::string& defaultExt) {
  const std::string ext = extensaoPadrao(defaultExt);
  if (ext.empty() || fileName.empty()) return fileName;
  if (!QFileInfo(pathToQString(fileName)).suffix().isEmpty()) return fileName;
  return fileName + "." + ext;
}

// The open dialog; a name typed without an extension gets the default one, so "pregao15" opens
// pregao15.xml. nullopt when cancelled.
std::optional<std::string> QtPlatform::openFileDialog(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& defaultExt) {
  QFileDialog d(parent(), toQString(title), QString(), qtFileFilter(filter));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setDefaultSuffix(toQString(extensaoPadrao(defaultExt)));
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

namespace {
// A file dialog opening in options.folder with the type options.type selected; the chosen type
// comes back in options.type. Nothing asks about overwriting: the caller decides the final name.
std::optional<std::string> dialogoDeArquivo(QWidget* pai, FileDialogOptions& options, bool salvar) {
  // The dialog shows (and gives back) each filter with its blanks simplified: so are ours, so the
  // chosen one is found among them ("Arquivo Texto  (*.TXT)" has two blanks).
  QStringList filtros = qtFileFilter(options.filter).split(QStringLiteral(";;"));
  for (QString& f : filtros) f = f.simplified();
  QFileDialog d(pai, toQString(options.title), pathToQString(options.folder));
  d.setNameFilters(filtros);
  if (options.type >= 0 && options.type < filtros.size()) d.selectNameFilter(filtros[options.type]);
  d.setAcceptMode(salvar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d.setFileMode(salvar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!options.fileName.empty()) d.selectFile(pathToQString(options.fileName));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  qsizetype tipo = filtros.indexOf(d.selectedNameFilter());
  if (tipo >= 0) options.type = static_cast<int>(tipo);
  return pathFromQString(d.selectedFiles().constFirst());
}
}  // namespace

// The open dialog in a folder; nullopt when cancelled.
std::optional<std::string> QtPlatform::chooseFileToOpen(FileDialogOptions& options) {
  return dialogoDeArquivo(parent(), options, false);
}

// The save dialog in a folder with a selectable type; nullopt when cancelled.
std::optional<std::string> QtPlatform::chooseFileToSave(FileDialogOptions& options) {
  return dialogoDeArquivo(parent(), options, true);
}

// Hands the address (a web address, or a local path) to the desktop's handler; does not wait.
// False when no handler could be started.
bool QtPlatform::openUrl(const std::string& url) {
  QString texto = toQString(url);
  QUrl destino =
      texto.startsWith(QChar('/')) ? QUrl::fromLocalFile(pathToQString(url)) : QUrl(texto);
  return QDesktopServices::openUrl(destino);
}

// Lets pending window events be handled.
void QtPlatform::processMessages() { QCoreApplication::processEvents(); }

// Sleeps, in milliseconds.
void QtPlatform::sleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms > 0 ? ms : 0)); }

// The printers of CUPS.
std::optional<PrinterInfo> QtPlatform::currentPrinter() { return printers_.currentPrinter(); }
std::vector<PrinterInfo> QtPlatform::printers() { return printers_.printers(); }
bool QtPlatform::setCurrentPrinter(const std::string& printerName) {
  return printers_.setCurrentPrinter(printerName);
}

// A raw job on a CUPS queue.
std::unique_ptr<RawPrintJob> QtPlatform::startRawJob(const std::string& printerName,
                                                     const std::string& docName, SinkError& error) {
  return printers_.startRawJob(printerName, docName, error);
}

}  // namespace platform
