#include "platform/cups/CupsPrinters.h"

#include <cups/cups.h>
#include <strings.h>

#include "platform/CodePage.h"
#include "platform/cups/CupsRawJob.h"

namespace platform::cups {

namespace {

// One queue as the spooler lists it.
struct Queue {
  PrinterInfo info;
  bool isDefault = false;
};

// The spooler's option `name` of a destination (UTF-8), or "".
std::string optionOf(const cups_dest_t& d, const char* name) {
  const char* v = cupsGetOption(name, d.num_options, d.options);
  return v ? v : "";
}

// Every queue of the spooler (instances left out), read afresh.
std::vector<Queue> readQueues() {
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<Queue> queues;
  for (int i = 0; i < n; ++i) {
    const cups_dest_t& d = dests[i];
    if (d.instance) continue;
    Queue q;
    q.info.deviceName = utf8ToCp1252(d.name);
    std::string uri = optionOf(d, "device-uri");
    if (uri.empty()) uri = optionOf(d, "printer-uri-supported");
    q.info.port = utf8ToCp1252(portFromDeviceUri(uri));
    q.info.description = utf8ToCp1252(optionOf(d, "printer-info"));
    q.info.makeAndModel = utf8ToCp1252(optionOf(d, "printer-make-and-model"));
    q.isDefault = d.is_default != 0;
    queues.push_back(std::move(q));
  }
  cupsFreeDests(n, dests);
  return queues;
}

// Queue names compare as the spooler compares them: without regard to case.
bool sameName(const std::string& a, const std::string& b) {
  return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

// Keeps the options of the raw jobs.
CupsPrinters::CupsPrinters(CupsOptions options) : options_(std::move(options)) {}

// The queues' descriptions.
std::vector<PrinterInfo> CupsPrinters::printers() {
  std::vector<PrinterInfo> r;
  for (Queue& q : readQueues()) r.push_back(std::move(q.info));
  return r;
}

// The chosen queue, the default one or the first one.
std::optional<PrinterInfo> CupsPrinters::currentPrinter() {
  std::vector<Queue> queues = readQueues();
  if (queues.empty()) return std::nullopt;
  if (!current_.empty())
    for (Queue& q : queues)
      if (sameName(q.info.deviceName, current_)) return std::move(q.info);
  for (Queue& q : queues)
    if (q.isDefault) return std::move(q.info);
  return std::move(queues.front().info);
}

// Remembers the queue when it exists.
bool CupsPrinters::setCurrentPrinter(const std::string& printerName) {
  for (const Queue& q : readQueues())
    if (sameName(q.info.deviceName, printerName)) {
      current_ = q.info.deviceName;
      return true;
    }
  return false;
}

// A raw job on the queue.
std::unique_ptr<RawPrintJob> CupsPrinters::startRawJob(const std::string& printerName,
                                                       const std::string& docName,
                                                       SinkError& error) {
  return openCupsRawJob(printerName, docName, options_, error);
}

// "parallel:/dev/lp0" -> "/dev/lp0", "serial:/dev/ttyS0?baud=9600" -> "/dev/ttyS0",
// "file:///x" -> "/x"; any other URI stays as it is.
std::string portFromDeviceUri(std::string_view uri) {
  for (std::string_view scheme : {"parallel:", "serial:", "file:"}) {
    if (uri.substr(0, scheme.size()) != scheme) continue;
    std::string_view path = uri.substr(scheme.size());
    if (path.substr(0, 2) == "//") path.remove_prefix(2);  // file://host/x or file:///x
    if (path.empty() || path.front() != '/') {
      const size_t slash = path.find('/');
      if (slash == std::string_view::npos) return std::string(uri);
      path.remove_prefix(slash);
    }
    path = path.substr(0, path.find('?'));
    return std::string(path);
  }
  return std::string(uri);
}

}  // namespace platform::cups
