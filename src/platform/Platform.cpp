#include "platform/Platform.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "platform/CodePage.h"

namespace platform {

namespace {
HeadlessPlatform& headless() {
  static HeadlessPlatform p;
  return p;
}
Platform* installed = nullptr;
}  // namespace

Platform& current() { return installed ? *installed : headless(); }
void install(Platform* p) { installed = p; }

ScopedPlatform::ScopedPlatform(Platform& p) : previous_(installed) { installed = &p; }
ScopedPlatform::~ScopedPlatform() { installed = previous_; }

// The open dialog with a folder and a type, on the plain dialog.
std::optional<std::string> Platform::chooseFileToOpen(FileDialogOptions& options) {
  return openFileDialog(options.title, options.filter, "");
}

// The save dialog with a folder and a type, on the plain dialog (the name proposed in the folder).
std::optional<std::string> Platform::chooseFileToSave(FileDialogOptions& options) {
  std::string nome = options.fileName;
  if (!options.folder.empty() && !nome.empty() && nome.front() != '/')
    nome = options.folder + (options.folder.back() == '/' ? "" : "/") + nome;
  return saveFileDialog(options.title, options.filter, "", nome);
}

void HeadlessPlatform::showApplicationError(const std::string& message) {
  std::cerr << "Erro: " << messageToTerminal(message) << '\n';
}

void HeadlessPlatform::showMessage(const std::string& message) {
  std::cerr << messageToTerminal(message) << '\n';
}

int HeadlessPlatform::messageBox(const std::string& text, const std::string& caption, int style) {
  std::cerr << messageToTerminal(caption) << ": " << messageToTerminal(text) << '\n';
  int botoes = style & 0x0F;
  return (botoes == mb::YESNO || botoes == mb::YESNOCANCEL) ? mb::IDYES : mb::IDOK;
}

bool HeadlessPlatform::inputQuery(const std::string& caption, const std::string& prompt,
                                  std::string& value) {
  std::cerr << messageToTerminal(caption) << " / " << messageToTerminal(prompt) << ": "
            << messageToTerminal(value) << '\n';
  return true;
}

std::optional<std::string> HeadlessPlatform::openFileDialog(const std::string&, const std::string&,
                                                            const std::string&) {
  return std::nullopt;
}

std::optional<std::string> HeadlessPlatform::saveFileDialog(const std::string&, const std::string&,
                                                            const std::string&,
                                                            const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  return fileName;
}

bool HeadlessPlatform::openUrl(const std::string& url) {
  std::cerr << "Abrir: " << url << '\n';
  return false;
}

void HeadlessPlatform::sleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// No printer here: every raw job is refused.
std::unique_ptr<RawPrintJob> HeadlessPlatform::startRawJob(const std::string& printerName,
                                                           const std::string&, SinkError& error) {
  error = SinkError{0, utf8ToCp1252("Nenhuma impressora disponível: ") + printerName +
                           utf8ToCp1252(". Imprima pelo programa com janela ou instale a fila no "
                                        "servidor de impressão.")};
  return nullptr;
}

}  // namespace platform
