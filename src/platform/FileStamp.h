// What tells whether a file changed since it was read: its size and modification time, to the
// nanosecond the file system keeps.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct FileStamp {
  int64_t size = 0;
  int64_t seconds = 0;      // modification time, seconds since the epoch
  int64_t nanoseconds = 0;  // and the part of a second
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path (symbolic links followed); 0 or the errno.
int stampOf(const std::string& path, FileStamp& stamp);

}  // namespace platform
