// What to tell the user when a printer device or port cannot be written directly (a parallel, USB
// or serial device, or a file): a Portuguese text that says what to do.
#pragma once

#include <string>

namespace platform::cups {

// The explanation of system error `err` (an errno value) on the device or file `path` (the path
// as opened, UTF-8), in Windows-1252.
std::string explainDeviceError(int err, const std::string& path);

}  // namespace platform::cups
