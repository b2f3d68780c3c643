// A raw job on a CUPS queue (the spooler side of RawPrintJob): the bytes streamed into the job's
// one document as they are written, then the job followed until its queue printed it.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/cups/CupsPrinters.h"

namespace platform::cups {

// Creates a raw job named docName (Windows-1252) on the queue and opens its document; null with
// `error` set when the queue cannot take it.
std::unique_ptr<RawPrintJob> openCupsRawJob(const std::string& queue, const std::string& docName,
                                            const CupsOptions& options, SinkError& error);

}  // namespace platform::cups
