#include "platform/PendingFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/FaultInjection.h"
#include "platform/SignalSetup.h"

namespace platform {

namespace {

constexpr char kPrefix[] = ".proposta-";
constexpr char kSuffix[] = ".tmp";
constexpr size_t kRandom = 6;
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kAttempts = 100;

// A fresh temporary name of ours: ".proposta-" + six random letters or digits + ".tmp".
std::string randomName() {
  static std::random_device random;
  std::string name = kPrefix;
  for (size_t i = 0; i < kRandom; ++i) name += kAlphabet[random() % (sizeof kAlphabet - 1)];
  return name + kSuffix;
}

// Links an open file (unnamed or not) to `name` in the folder, never replacing anything there.
int linkFd(int fd, int dirfd, const std::string& name) {
  if (::linkat(fd, "", dirfd, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
  if (errno != ENOENT && errno != EPERM) return errno;
  // Without the capability AT_EMPTY_PATH needs, the file is reached through /proc.
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, dirfd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  return errno;
}

}  // namespace

// True for ".proposta-" + six letters or digits + ".tmp".
bool isOurTemporaryName(const std::string& name) {
  constexpr size_t prefix = sizeof kPrefix - 1, suffix = sizeof kSuffix - 1;
  if (name.size() != prefix + kRandom + suffix) return false;
  if (name.compare(0, prefix, kPrefix) != 0) return false;
  if (name.compare(prefix + kRandom, suffix, kSuffix) != 0) return false;
  for (size_t i = prefix; i < prefix + kRandom; ++i) {
    char c = name[i];
    bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return true;
}

// A temporary file of ours nobody holds locked belongs to a writer that died: it goes.
void removeStaleTemporaries(int dirfd) {
  int rfd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rfd < 0) return;
  DIR* d = ::fdopendir(rfd);
  if (!d) {
    ::close(rfd);
    return;
  }
  while (struct dirent* e = ::readdir(d)) {
    if (!isOurTemporaryName(e->d_name)) continue;
    int f = ::openat(rfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (f < 0) continue;
    struct stat st {};
    if (::fstat(f, &st) == 0 && S_ISREG(st.st_mode) && ::flock(f, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(rfd, e->d_name, 0);
    ::close(f);
  }
  ::closedir(d);
}

// Removes whatever temporary name is left and closes the file.
PendingFile::~PendingFile() { discard(); }

// An unnamed file first; a temporary name of ours where the file system has no unnamed files.
int PendingFile::create(int dirfd, const std::string& folder, mode_t mode) {
  if (injectedFailure(AtomicStep::Create)) return errno;
  dirfd_ = dirfd;
  folder_ = folder;
  if (!injectedFailure(AtomicStep::Unnamed))
    fd_ = ::openat(dirfd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  if (fd_ >= 0) {
    ::flock(fd_, LOCK_EX);
    return 0;
  }
  // The name is recorded for the signal handler before the file exists, so that no instant
  // leaves it unrecorded.
  for (int i = 0; i < kAttempts; ++i) {
    tempName_ = randomName();
    slot_ = registerTemporary((folder_ + "/" + tempName_).c_str());
    fd_ = ::openat(dirfd, tempName_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC,
                   mode);
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_EX);
      return 0;
    }
    int err = errno;
    forgetName();
    tempName_.clear();
    if (err != EEXIST) return err;
  }
  return EEXIST;
}

// An unnamed file is linked in under a fresh temporary name (recorded for the signal handler
// first, so that a signal right after the link still removes it).
int PendingFile::linkTemporary() {
  if (!tempName_.empty()) return 0;
  if (injectedFailure(AtomicStep::Link)) return errno;
  for (int i = 0; i < kAttempts; ++i) {
    tempName_ = randomName();
    slot_ = registerTemporary((folder_ + "/" + tempName_).c_str());
    int err = linkFd(fd_, dirfd_, tempName_);
    if (err == 0) return 0;
    forgetName();
    tempName_.clear();
    if (err != EEXIST) return err;
  }
  return EEXIST;
}

// Closes the descriptor; the lock goes with it.
int PendingFile::close() {
  int fd = fd_;
  fd_ = -1;
  if (injectedFailure(AtomicStep::Close)) {
    int err = errno;
    ::close(fd);
    return err;
  }
  return ::close(fd) == 0 ? 0 : errno;
}

// The one step that makes the new content visible under the final name.
int PendingFile::renameOver(const std::string& name) {
  if (injectedFailure(AtomicStep::Rename) ||
      ::renameat(dirfd_, tempName_.c_str(), dirfd_, name.c_str()) != 0)
    return errno;
  forgetName();
  tempName_.clear();
  return 0;
}

// The final name without replacing anything: linked, then the temporary name (if any) removed.
int PendingFile::linkAs(const std::string& name) {
  if (injectedFailure(AtomicStep::Link)) return errno;
  if (tempName_.empty()) return linkFd(fd_, dirfd_, name);
  if (::linkat(dirfd_, tempName_.c_str(), dirfd_, name.c_str(), 0) != 0) return errno;
  ::unlinkat(dirfd_, tempName_.c_str(), 0);
  forgetName();
  tempName_.clear();
  return 0;
}

// Drops the file: its temporary name is removed, its descriptor closed.
void PendingFile::discard() {
  if (!tempName_.empty()) {
    ::unlinkat(dirfd_, tempName_.c_str(), 0);
    forgetName();
    tempName_.clear();
  }
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// The signal handler no longer has to remove the temporary name.
void PendingFile::forgetName() {
  forgetTemporary(slot_);
  slot_ = -1;
}

}  // namespace platform
