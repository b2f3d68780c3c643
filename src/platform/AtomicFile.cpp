#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "base/Erros.h"

namespace platform {

namespace {

struct Injected {
  AtomicStep step;
  int remaining = 0;
  int err = 0;
};
Injected injected{AtomicStep::Create, 0, 0};

// True (with errno set) when the test asked this step to fail now.
bool injectedFailure(AtomicStep step) {
  if (injected.remaining <= 0 || injected.step != step) return false;
  if (--injected.remaining > 0) return false;
  errno = injected.err;
  return true;
}

std::string folderOf(const std::string& path) {
  auto p = path.find_last_of('/');
  if (p == std::string::npos) return ".";
  if (p == 0) return "/";
  return path.substr(0, p);
}

constexpr size_t kBufferSize = 1 << 20;

}  // namespace

void failAtomicStepForTesting(AtomicStep step, int occurrence, int errnoValue) {
  injected = Injected{step, occurrence, errnoValue};
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
  std::string tmpl = path_ + ".XXXXXX";
  std::vector<char> nome(tmpl.begin(), tmpl.end());
  nome.push_back('\0');
  if (injectedFailure(AtomicStep::Create)) throw base::ErroDeArquivo(errno);
  fd_ = mkstemp(nome.data());
  if (fd_ < 0) throw base::ErroDeArquivo(errno);
  temp_ = nome.data();
  // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
  struct stat st {};
  mode_t mode;
  if (stat(path_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd_, mode);
  buffer_.reserve(kBufferSize);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!done_) {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
  }
}

void AtomicFileWriter::fail(int err) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  temp_.clear();
  done_ = true;
  throw base::ErroDeArquivo(err);
}

void AtomicFileWriter::flushBuffer() {
  writeAll(buffer_);
  buffer_.clear();
}

void AtomicFileWriter::writeAll(std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n;
    if (injectedFailure(AtomicStep::Write))
      n = -1;
    else
      n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void AtomicFileWriter::write(std::string_view bytes) {
  if (done_) throw base::ErroDeArquivo(EBADF);
  if (buffer_.size() + bytes.size() > kBufferSize) {
    flushBuffer();
    if (bytes.size() >= kBufferSize) {
      writeAll(bytes);
      return;
    }
  }
  buffer_.append(bytes);
}

void AtomicFileWriter::commit() {
  if (done_) throw base::ErroDeArquivo(EBADF);
  flushBuffer();
  if (injectedFailure(AtomicStep::Sync) || ::fsync(fd_) != 0) fail(errno);
  int fd = fd_;
  fd_ = -1;
  if (injectedFailure(AtomicStep::Close)) {
    int err = errno;
    ::close(fd);
    fail(err);
  }
  if (::close(fd) != 0) fail(errno);
  if (injectedFailure(AtomicStep::Rename) || ::rename(temp_.c_str(), path_.c_str()) != 0)
    fail(errno);
  done_ = true;
  // The new name is in place; make the folder entry durable too.
  int dfd = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY);
  bool folderFailed = injectedFailure(AtomicStep::SyncFolder);
  int err = errno;
  if (dfd >= 0) {
    if (!folderFailed && ::fsync(dfd) != 0 && errno != EINVAL) {
      folderFailed = true;
      err = errno;
    }
    ::close(dfd);
  }
  if (folderFailed) throw base::ErroDeArquivo(err);
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter w(path);
  w.write(bytes);
  w.commit();
}

}  // namespace platform
