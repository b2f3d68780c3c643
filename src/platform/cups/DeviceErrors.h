// What to tell the user when a printer device or port cannot be written directly (a parallel, USB
// or serial device, or a file): a Portuguese text that says what to do.
#pragma once

#include <string>

namespace platform::cups {

// The explanation of system error `err` (an errno value) on the device or file `path`
// (Windows-1252 text; the path as typed).
std::string explainDeviceError(int err, const std::string& path);

}  // namespace platform::cups
