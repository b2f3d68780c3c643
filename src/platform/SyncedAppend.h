// A file that grows by whole records, each on the disk before append() returns (fdatasync): what
// the program keeps so that a crash or a power cut loses nothing that was acknowledged. A failed
// append is cut off again, so the file always ends at a complete record; the file is locked while
// it is open, so a second program writing the same file is refused instead of mixing records in.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace platform {

class SyncedAppendFile {
 public:
  SyncedAppendFile() = default;
  // Closes the file (its lock goes with it).
  ~SyncedAppendFile();
  SyncedAppendFile(const SyncedAppendFile&) = delete;
  SyncedAppendFile& operator=(const SyncedAppendFile&) = delete;

  // Creates a new file (private to the user) holding `first`, synced with its folder's entry; 0 or
  // the errno (EEXIST when there is a file there already). Nothing is left behind on failure.
  int create(const std::string& path, std::string_view first);
  // Opens an existing file for appending, locked; 0 or the errno, EWOULDBLOCK when another program
  // has it open.
  int open(const std::string& path);
  // Cuts the file back to its first `length` bytes (a torn last record follows them); 0 or the
  // errno (the next append then tries again).
  int keepOnly(off_t length);
  // Appends the bytes and syncs them; 0 or the errno, the file then cut back to where it ended.
  int append(std::string_view bytes);
  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  void close();

 private:
  int fd_ = -1;
  off_t length_ = 0;  // where the last complete record ends
  std::string path_;
};

// Renames a file within its file system without replacing anything; 0 or the errno (EEXIST when
// `to` is taken). The folder is synced after, as well as it can be.
int renameWithoutReplacing(const std::string& from, const std::string& to);
// Removes a file and syncs its folder; 0 (also when it was not there) or the errno.
int removeFile(const std::string& path);

}  // namespace platform
