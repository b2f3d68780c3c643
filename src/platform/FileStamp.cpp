#include "platform/FileStamp.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {

// Reads the size and modification time of the file.
int stampOf(const std::string& path, FileStamp& stamp) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  stamp = FileStamp{static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                    static_cast<int64_t>(st.st_mtim.tv_nsec)};
  return 0;
}

}  // namespace platform
