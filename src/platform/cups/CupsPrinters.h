// The printers of the CUPS spooler, for the platform layer of the window program and of the
// command-line tool (no Qt here): the queues with their ports and descriptions, the current
// printer of this process, and raw jobs streamed to a queue and followed until it printed them.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform::cups {

struct CupsOptions {
  // The longest wait for a finished job to be printed (or given up) by its queue.
  std::chrono::milliseconds jobTimeout{60000};
  // Called between two looks at a finished job's state (the window program keeps painting).
  std::function<void()> whileWaiting;
};

class CupsPrinters {
 public:
  explicit CupsPrinters(CupsOptions options = {});

  // The queues (instances left out), in the spooler's order.
  std::vector<PrinterInfo> printers();
  // The queue made current here if it still exists, else the default queue, else the first one.
  std::optional<PrinterInfo> currentPrinter();
  // Makes the named queue current (names compare without regard to case); false when unknown.
  bool setCurrentPrinter(const std::string& printerName);
  // Creates a raw job named docName on the queue and opens its document; null with `error` set
  // when the queue does not exist, is stopped, refuses jobs or the spooler cannot be reached.
  std::unique_ptr<RawPrintJob> startRawJob(const std::string& printerName,
                                           const std::string& docName, SinkError& error);

 private:
  CupsOptions options_;
  std::string current_;  // empty: the spooler's default
};

// The port of a queue from its device URI: the path of a local device or file
// ("parallel:/dev/lp0", "serial:/dev/ttyS0?baud=9600", "file:/x", "file:///x"), else the URI.
std::string portFromDeviceUri(std::string_view uri);

}  // namespace platform::cups
