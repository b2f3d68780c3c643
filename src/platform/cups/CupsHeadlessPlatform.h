// The headless platform with the printers of CUPS: boxes to stderr and confirming answers as
// headless, but the real queues and raw jobs (the command-line tool prints on it).
#pragma once

#include "platform/Platform.h"
#include "platform/cups/CupsPrinters.h"

namespace platform::cups {

class CupsHeadlessPlatform : public HeadlessPlatform {
 public:
  explicit CupsHeadlessPlatform(CupsOptions options = {}) : printers_(std::move(options)) {}

  std::optional<PrinterInfo> currentPrinter() override { return printers_.currentPrinter(); }
  std::vector<PrinterInfo> printers() override { return printers_.printers(); }
  bool setCurrentPrinter(const std::string& printerName) override {
    return printers_.setCurrentPrinter(printerName);
  }
  std::unique_ptr<RawPrintJob> startRawJob(const std::string& printerName,
                                           const std::string& docName, SinkError& error) override {
    return printers_.startRawJob(printerName, docName, error);
  }

 private:
  CupsPrinters printers_;
};

}  // namespace platform::cups
