// The platform layer: the few services the window system used to give the program (message boxes,
// input box, file dialogs, printers and raw printer jobs, the shell, "process pending messages").
// The core calls only this interface; the headless implementation (here) shows no window, writes
// every box to stderr in UTF-8 and answers as a user who confirms; src/platform/qt has the real
// one; tests install scripted ones. Every text crossing this interface is Windows-1252; file paths
// are the file system's own bytes (UTF-8).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ByteSink.h"

namespace platform {

// Message box style values and the identifiers of the buttons pressed, as the system defines them.
namespace mb {
constexpr int OK = 0x00, OKCANCEL = 0x01, YESNOCANCEL = 0x03, YESNO = 0x04;
constexpr int ICONHAND = 0x10, ICONQUESTION = 0x20, ICONEXCLAMATION = 0x30, ICONASTERISK = 0x40;
constexpr int DEFBUTTON2 = 0x100;  // the second button is the default (Enter answers it)
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
}  // namespace mb

// One of the installed printers (a spooler queue).
struct PrinterInfo {
  std::string deviceName;    // the queue name, as jobs are sent to it ("lx300")
  std::string port;          // the device's path for a queue on a local device ("/dev/lp0"),
                             // otherwise the device URI ("usb://EPSON/LX-300+", "LPT1:")
  std::string description;   // what the queue says it is ("Epson LX-300+"), may be empty
  std::string makeAndModel;  // the driver's make and model ("Local Raw Printer"), may be empty
};

// A file dialog's settings: title, filter ("Description|*.ext|..."), the folder it opens in, the
// proposed file name and the selected file type (0-based index of a filter pair). The dialog
// writes the type the user chose back into `type`.
struct FileDialogOptions {
  std::string title, filter, folder, fileName;
  int type = 0;
};

// A raw print job on a spooler queue: bytes pass to the printer untouched. A job destroyed before
// finish() handed it over is cancelled on the spooler.
class RawPrintJob {
 public:
  virtual ~RawPrintJob() = default;
  // Each returns false on failure; error() then says why.
  virtual bool startPage() = 0;
  virtual bool write(const std::string& bytes) = 0;
  virtual bool endPage() = 0;
  // Ends the document and closes the printer; true only when the spooler printed the job.
  virtual bool finish() = 0;
  // The first failure: the spooler's error number and what to do about it.
  virtual const SinkError& error() const = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The application's error box for an error that escaped a handler (the program goes on).
  virtual void showApplicationError(const std::string& message) = 0;
  // A plain message box with an OK button, captioned with the application title.
  virtual void showMessage(const std::string& message) = 0;
  // A message box with the system's style value; returns the identifier of the button pressed.
  virtual int messageBox(const std::string& text, const std::string& caption, int style) = 0;
  // A one-line input box; false when cancelled (value is then left as given).
  virtual bool inputQuery(const std::string& caption, const std::string& prompt,
                          std::string& value) = 0;
  // File dialogs: filter as "Description|*.ext|..."; an empty result means cancelled.
  virtual std::optional<std::string> openFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& defaultExt) = 0;
  virtual std::optional<std::string> saveFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& defaultExt,
                                                    const std::string& fileName) = 0;
  // File dialogs opening in a folder with a selectable type; an empty result means cancelled. By
  // default they fall back to the plain dialogs above (the type then stays as given).
  virtual std::optional<std::string> chooseFileToOpen(FileDialogOptions& options);
  virtual std::optional<std::string> chooseFileToSave(FileDialogOptions& options);
  // Opens a web address or document with the desktop's handler; the result is not waited for.
  // False when no handler could be started for it.
  virtual bool openUrl(const std::string& url) = 0;
  // Lets pending window messages be handled (repaints, the progress window's Cancel button).
  virtual void processMessages() = 0;
  // Sleeps, in milliseconds.
  virtual void sleepMs(int ms) = 0;

  // Printers, read afresh from the spooler on every call. The current printer is the one made
  // current in this process, else the spooler's default printer, else the first one listed.
  virtual std::optional<PrinterInfo> currentPrinter() = 0;
  virtual std::vector<PrinterInfo> printers() = 0;
  // Makes the named printer current for this process; false when there is no such printer.
  virtual bool setCurrentPrinter(const std::string& printerName) = 0;
  // Starts a raw job named docName on the printer; null with `error` set on failure.
  virtual std::unique_ptr<RawPrintJob> startRawJob(const std::string& printerName,
                                                   const std::string& docName,
                                                   SinkError& error) = 0;
};

// The platform in use: the headless one until another is installed.
Platform& current();
// Installs p (not owned) as the platform in use; null restores the headless one.
void install(Platform* p);

// The headless platform: no windows, boxes to stderr, confirming answers, no printers.
class HeadlessPlatform : public Platform {
 public:
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
  bool openUrl(const std::string& url) override;
  void processMessages() override {}
  void sleepMs(int ms) override;
  std::optional<PrinterInfo> currentPrinter() override { return std::nullopt; }
  std::vector<PrinterInfo> printers() override { return {}; }
  bool setCurrentPrinter(const std::string&) override { return false; }
  std::unique_ptr<RawPrintJob> startRawJob(const std::string& printerName,
                                           const std::string& docName, SinkError& error) override;
};

// Makes p current for the lifetime of the guard (tests and the command-line tool).
class ScopedPlatform {
 public:
  explicit ScopedPlatform(Platform& p);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform* previous_;
};

}  // namespace platform
