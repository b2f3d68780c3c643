// Reading a given file whole: regular files only, opened without blocking, with a size limit.
#include "platform/ReadFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/CodePage.h"

namespace platform {

namespace {

// What kind of thing a non-regular file is, in the user's words.
const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "uma pasta";
  if (S_ISFIFO(mode)) return "um pipe (FIFO)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "um dispositivo";
  if (S_ISSOCK(mode)) return "um socket";
  return "um arquivo especial";
}

// A read failure a test asked for: the read after `afterBytes` bytes fails with `err`.
struct InjectedReadFailure {
  size_t afterBytes = 0;
  int err = 0;
};
InjectedReadFailure injected;

// Asks the kernel to back the aligned 2 MiB pieces of a large buffer with huge pages before it is
// first written: one page fault per 2 MiB instead of one per 4 KiB, which is most of the time a
// fresh process spends reading a file of tens of megabytes. Harmless where huge pages are off.
void adviseHugePages(char* buffer, size_t size) {
  constexpr uintptr_t kHuge = uintptr_t(2) << 20;
  if (size < 2 * kHuge) return;
  uintptr_t start = (reinterpret_cast<uintptr_t>(buffer) + kHuge - 1) & ~(kHuge - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(kHuge - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

// Fills the error and clears the bytes; always false.
bool failed(ReadError& error, std::string& bytes, int code, bool notRegular, std::string text) {
  bytes.clear();
  error = ReadError{code, notRegular, utf8ToCp1252(text)};
  return false;
}

}  // namespace

// Arms (or clears) the injected read failure.
void failReadForTesting(size_t afterBytes, int errnoValue) {
  injected = InjectedReadFailure{afterBytes, errnoValue};
}

// Opens without blocking, checks the kind and size, then reads every byte.
bool readRegularFile(const std::string& path, size_t limit, std::string& bytes, ReadError& error) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    int e = errno;
    return failed(error, bytes, e, false, path + ": " + std::strerror(e));
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    int e = errno;
    return failed(error, bytes, e, false, path + ": " + std::strerror(e));
  }
  if (!S_ISREG(st.st_mode))
    return failed(error, bytes, 0, true,
                  path + " não é um arquivo comum (é " + kindOf(st.st_mode) + ").");
  if (static_cast<unsigned long long>(st.st_size) > limit)
    return failed(error, bytes, EFBIG, false,
                  path + " é grande demais (" + std::to_string(st.st_size) + " bytes; o limite é " +
                      std::to_string(limit) + " bytes).");
  // Back to blocking reads for a regular file.
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  // One read call, or the failure a test asked for once `got` bytes are in.
  auto readSome = [&](char* into, size_t want, size_t got) -> ssize_t {
    if (injected.err != 0 && got >= injected.afterBytes) {
      errno = injected.err;
      injected = InjectedReadFailure{};
      return -1;
    }
    if (injected.err != 0) want = std::min(want, injected.afterBytes - got);
    return ::read(fd, into, want);
  };
  // The announced size is read straight into place; a file that grew meanwhile is read on in
  // pieces, still under the limit.
  bytes.clear();
  bytes.reserve(static_cast<size_t>(st.st_size));
  adviseHugePages(bytes.data(), bytes.capacity());
  bytes.assign(static_cast<size_t>(st.st_size), '\0');
  size_t got = 0;
  bool grew = true;
  while (got < bytes.size()) {
    ssize_t n = readSome(bytes.data() + got, bytes.size() - got, got);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      return failed(error, bytes, e, false, path + ": " + std::strerror(e));
    }
    if (n == 0) {
      grew = false;  // the file shrank meanwhile: what is there is all of it
      break;
    }
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  char buffer[1 << 16];
  while (grew) {
    ssize_t n = readSome(buffer, sizeof buffer, bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      return failed(error, bytes, e, false, path + ": " + std::strerror(e));
    }
    if (n == 0) break;
    // A file that grows while it is read past the limit is refused the same way.
    if (bytes.size() + static_cast<size_t>(n) > limit)
      return failed(error, bytes, EFBIG, false,
                    path + " é grande demais (o limite é " + std::to_string(limit) + " bytes).");
    bytes.append(buffer, static_cast<size_t>(n));
  }
  error = ReadError{};
  return true;
}

}  // namespace platform
