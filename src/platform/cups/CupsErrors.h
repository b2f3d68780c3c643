// What to tell the user when the spooler refuses or loses a raw job: the error number shown after
// "Error " and a Portuguese text saying what to do, followed by the spooler's own words.
#pragma once

#include <string>

#include "platform/ByteSink.h"

namespace platform::cups {

// Failures the spooler reports without a status of its own, numbered with the nearest IPP status.
constexpr int kPrinterStopped = 0x050A;  // the queue is paused (printer-is-deactivated)
constexpr int kJobAborted = 0x0504;      // the queue gave the job up (device-error)
constexpr int kJobCanceled = 0x0508;     // someone cancelled the job (job-canceled)
constexpr int kJobHeld = 0x0505;         // the job was held in the queue (temporary-error)
constexpr int kJobTimeout = 0x0405;      // no final state in time (timeout)

// What happened and where.
struct CupsFailure {
  int status = 0;          // an IPP status (cupsLastError()) or one of the numbers above
  std::string queue;       // the queue name (Windows-1252)
  std::string cupsWords;   // the spooler's own message (UTF-8, already in the user's language)
  int jobId = 0;           // the job, when there is one
  int timeoutSeconds = 0;  // for kJobTimeout
};

// The error of a failure: its number and the text for the user (Windows-1252).
SinkError explainCupsFailure(const CupsFailure& failure);

}  // namespace platform::cups
