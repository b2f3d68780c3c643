// Writing a file over an existing one without ever leaving it half-written: the bytes go to a
// temporary file in the same folder, which is flushed, synced and renamed over the target, and the
// folder is synced. On any failure the old file is whole, the temporary file is removed and an
// EInOutError ("I/O error %d") is raised. Tests can make each step fail.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The steps of an atomic write, in order; a test can make one of them fail.
enum class AtomicStep { Create, Write, Sync, Close, Rename, SyncFolder };

// Makes the n-th future occurrence (1-based) of `step` fail with errnoValue; 0 clears it.
void failAtomicStepForTesting(AtomicStep step, int occurrence, int errnoValue);

// Streams bytes into a new version of a file; nothing is visible at the target until commit().
class AtomicFileWriter {
 public:
  // Creates the temporary file beside `path`; raises EInOutError when it cannot.
  explicit AtomicFileWriter(std::string path);
  // Removes the temporary file unless commit() succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Appends bytes (buffered); raises EInOutError on a write failure.
  void write(std::string_view bytes);
  // Flushes, syncs, closes, renames over the target and syncs the folder; raises on failure.
  void commit();
  const std::string& path() const { return path_; }

 private:
  void flushBuffer();
  void writeAll(std::string_view bytes);
  void fail(int err);
  std::string path_, temp_;
  std::string buffer_;
  int fd_ = -1;
  bool done_ = false;
};

// Writes bytes as the whole new content of path.
void writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
