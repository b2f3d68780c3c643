// Writing a file where users keep it without ever losing it. The new content is written beside the
// target as an unnamed file (or under our temporary name), synced, and renamed over the target
// only when complete; the folder is synced after. A symbolic link is followed (its target is
// written, in its own folder); the file's permissions (and owner and group as root) are kept.
// Where that cannot be done (the folder takes no new files, the file has other hard links, its
// owner could not be kept), the new content first goes to a safe copy in the user's cache folder
// and the file is then rewritten in place, after the room for its new length was reserved (a full
// disk is found before the old content is touched). On any failure before the new content is in
// place the old file is whole, nothing is left behind and an EInOutError ("I/O error %d") is
// raised.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/FaultInjection.h"

namespace platform {

// Streams bytes into a new version of a file; nothing changes at the target until commit().
class AtomicFileWriter {
 public:
  // Prepares the new file for `path`; raises EInOutError when the file cannot be written (a
  // folder, a file the user may not write, a missing folder...).
  explicit AtomicFileWriter(std::string path);
  // Abandons the new content unless commit() succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Appends bytes (buffered); raises EInOutError on a write failure.
  void write(std::string_view bytes);
  // Puts the new content in place; raises EInOutError when it could not. When the file was
  // rewritten in place and that failed, the message says where the safe copy is.
  void commit();
  const std::string& path() const { return path_; }
  // After commit(): 0, or the system's error number when the new file is in place but its last
  // step failed (its folder could not be synced): it may not survive a power cut.
  int durabilityError() const;
  // After a failed commit(): the safe copy kept when the file was being rewritten in place (the
  // file may be incomplete), otherwise empty.
  const std::string& safeCopyKept() const;

 private:
  struct State;
  void writeAll(std::string_view bytes);
  void flushBuffer();
  [[noreturn]] void fail(int err);
  void commitInPlace();
  std::string path_;
  std::unique_ptr<State> s_;
};

// What a completed write has to tell.
struct WriteResult {
  int durabilityError = 0;  // see AtomicFileWriter::durabilityError
  bool durable() const { return durabilityError == 0; }
};

// Writes bytes as the whole new content of path.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

// What a user reads after a rewrite in place failed part-way (Windows-1252): the file may be
// incomplete, and where the complete new content is kept.
std::string inPlaceFailureText(const std::string& safeCopy);

// The warning for a file that was written but whose folder could not be synced (Windows-1252).
std::string durabilityWarning(const std::string& path, int err);

}  // namespace platform
