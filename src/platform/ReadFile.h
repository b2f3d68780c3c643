// Reading a whole file the program was given (a process file, a report file) into memory without
// hanging or running out of memory on what is not a file: only a regular file is read (a FIFO, a
// device or a folder is refused without blocking), a file larger than the limit is refused before
// it is read, and a read error is an error, never an early end of the file.
#pragma once

#include <cstddef>
#include <string>

#include "platform/ByteSink.h"

namespace platform {

// Why a file could not be read: the system's error number when a call failed (ENOENT for a
// missing file, EIO for a read error...), or 0 with `notRegular` set when the path is not a regular
// file, or EFBIG when the file is larger than the limit. `text` says it for the user
// (Windows-1252).
struct ReadError {
  int code = 0;
  bool notRegular = false;
  std::string text;
};

// Reads the whole regular file at `path` into `bytes`; false (bytes cleared, `error` filled) on
// any failure.
bool readRegularFile(const std::string& path, size_t limit, std::string& bytes, ReadError& error);

// Makes the next read fail with errnoValue once `afterBytes` bytes have been read, as a failing
// disk would (tests); errnoValue 0 clears it.
void failReadForTesting(size_t afterBytes, int errnoValue);

}  // namespace platform
