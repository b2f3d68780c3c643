// The one way out for bytes. Every writer of the program (report files, printer streams, PDF,
// HTML) writes through a ByteSink; each destination is one implementation in a file of its own:
// a file replaced atomically, a device or port written directly, memory (tests), a spooler job.
// A sink reports failure as a value: write() and finish() return false, and error() keeps the
// first failure (the system's error number, when there is one, and a text for the user).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Why an output failed.
struct SinkError {
  int code = 0;      // the system's error number, 0 when the failure has none
  std::string text;  // what went wrong, for the user (Windows-1252)
};

class ByteSink {
 public:
  // A sink destroyed before finish() succeeded abandons its output: an atomic file leaves the old
  // file whole, a spooler job is cancelled.
  virtual ~ByteSink() = default;
  ByteSink() = default;
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;

  // Appends bytes; false once the sink has failed (nothing more is written).
  virtual bool write(std::string_view bytes) = 0;
  // Completes the output (the file takes the target's place, the job goes to the printer); false
  // on failure. A sink that already failed does not complete.
  virtual bool finish() = 0;

  bool failed() const { return failed_; }
  const SinkError& error() const { return error_; }
  // Set when the failure may have cost the old content (a rewrite in place failed part-way): the
  // file that holds the complete new content. error().text says so; a writer that shows its own
  // words adds that text.
  const std::string& safeCopy() const { return safeCopy_; }

 protected:
  // Records the first failure; always returns false, so implementations can `return fail(...)`.
  bool fail(int code, std::string text) {
    if (!failed_) {
      failed_ = true;
      error_ = SinkError{code, std::move(text)};
    }
    return false;
  }
  // Names the safe copy of the failure (see safeCopy()).
  void keepSafeCopy(std::string path) { safeCopy_ = std::move(path); }

 private:
  bool failed_ = false;
  SinkError error_;
  std::string safeCopy_;
};

// Bytes kept in memory: what the tests read back.
class MemorySink : public ByteSink {
 public:
  bool write(std::string_view b) override {
    if (failed()) return false;
    bytes_.append(b);
    return true;
  }
  bool finish() override {
    if (failed()) return false;
    finished_ = true;
    return true;
  }
  const std::string& bytes() const { return bytes_; }
  bool finished() const { return finished_; }

 private:
  std::string bytes_;
  bool finished_ = false;
};

// The destinations, one implementation file each. Every opener returns null, with `error` filled,
// when the destination cannot be opened.

// A file that takes the place of `path` only when finish() succeeds (temporary file in the same
// folder, synced and renamed): until then, and after any failure, the old file is whole. A path
// that names something other than a regular file (a folder, a device, a FIFO) is refused.
std::unique_ptr<ByteSink> openFileSink(const std::string& path, SinkError& error);
// A device or port written directly, each write going out at once (no buffering); it must exist.
std::unique_ptr<ByteSink> openDeviceSink(const std::string& path, SinkError& error);
// The port or file a user named for direct output: an existing device (anything but a regular
// file) is written directly, a regular or new file atomically.
std::unique_ptr<ByteSink> openPortSink(const std::string& path, SinkError& error);
// A raw job named `docName` on the spooler queue `printer`, with its page started; finish() ends
// the page and the document. A sink dropped unfinished drops its job.
std::unique_ptr<ByteSink> openSpoolerSink(const std::string& printer, const std::string& docName,
                                          SinkError& error);

}  // namespace platform
