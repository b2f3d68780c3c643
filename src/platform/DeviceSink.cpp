// The byte sink of a device or port written directly (a printer device, a serial port): every
// write goes to the device at once, so each send is flushed; finish() closes it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/ByteSink.h"
#include "platform/CodePage.h"
#include "platform/FileCalls.h"
#include "platform/cups/DeviceErrors.h"

namespace platform {

namespace {

class DeviceSink : public ByteSink {
 public:
  // Takes over an open device; an unfinished sink closes it when dropped.
  DeviceSink(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~DeviceSink() override {
    if (fd_ >= 0) ::close(fd_);
  }

  // Writes every byte before returning.
  bool write(std::string_view bytes) override {
    if (failed()) return false;
    if (int e = writeAll(fd_, bytes)) return failWith(e);
    return true;
  }

  // Closes the device; a failed close is a failure.
  bool finish() override {
    if (failed()) return false;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWith(errno);
    return true;
  }

 private:
  // Closes the device and records the failure.
  bool failWith(int code) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return fail(code, cups::explainDeviceError(code, path_));
  }

  int fd_;
  std::string path_;
};

}  // namespace

// Opens an existing device for writing without waiting on it (a FIFO without a reader fails).
std::unique_ptr<ByteSink> openDeviceSink(const std::string& path, SinkError& error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = SinkError{errno, cups::explainDeviceError(errno, path)};
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    ::close(fd);
    error = SinkError{EINVAL, utf8ToCp1252(path + " é um arquivo comum, não um dispositivo.")};
    return nullptr;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return std::make_unique<DeviceSink>(fd, path);
}

// A device directly, anything else as a file replaced atomically.
std::unique_ptr<ByteSink> openPortSink(const std::string& path, SinkError& error) {
  struct stat st {};
  if (!path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return openDeviceSink(path, error);
  return openFileSink(path, error);
}

}  // namespace platform
