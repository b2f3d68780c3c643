// The platform layer on Qt: the real message boxes, input box and file dialogs, the desktop's
// handler for web addresses, and "process pending messages"; the printers and raw jobs of CUPS.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/cups/CupsPrinters.h"

class QWidget;
class QString;

namespace platform {

class QtPlatform : public Platform {
 public:
  // titulo is the application title (Windows-1252): the caption of plain and error boxes.
  explicit QtPlatform(std::string titulo);

  // The window the boxes are modal to when no modal window is in front (the main window); null
  // means the active window.
  void setMainWindow(QWidget* w) { mainWindow_ = w; }

  void showApplicationError(const std::string& message) override;
  void showMessage(const std::string& message) override;
  int messageBox(const std::string& text, const std::string& caption, int style) override;
  bool inputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;
  std::optional<std::string> openFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& defaultExt) override;
  std::optional<std::string> saveFileDialog(const std::string& title, const std::string& filter,
                                            const std::string& defaultExt,
                                            const std::string& fileName) override;
  std::optional<std::string> chooseFileToOpen(FileDialogOptions& options) override;
  std::optional<std::string> chooseFileToSave(FileDialogOptions& options) override;
  bool openUrl(const std::string& url) override;
  void processMessages() override;
  void sleepMs(int ms) override;
  std::optional<PrinterInfo> currentPrinter() override;
  std::vector<PrinterInfo> printers() override;
  bool setCurrentPrinter(const std::string& printerName) override;
  std::unique_ptr<RawPrintJob> startRawJob(const std::string& printerName,
                                           const std::string& docName, SinkError& error) override;

 private:
  QWidget* parent() const;
  std::string titulo_;
  QWidget* mainWindow_ = nullptr;
  cups::CupsPrinters printers_;
};

// "Description|*.ext|..." as a Qt file dialog filter ("Description (*.ext);;..."); a description
// that already shows its patterns in parentheses is taken as it is.
QString qtFileFilter(const std::string& filter);
// The file name with the default extension ("*.xml" or ".xml" or "xml") added when it has none.
std::string withDefaultExtension(const std::string& fileName, const std::string& defaultExt);

}  // namespace platform
