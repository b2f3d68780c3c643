#include "platform/SyncedAppend.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileCalls.h"

namespace platform {

namespace {

// Takes the file's exclusive lock without waiting; 0 or the errno.
int lockFile(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno == EAGAIN ? EWOULDBLOCK : errno;
  }
  return 0;
}

}  // namespace

// Closes the file.
SyncedAppendFile::~SyncedAppendFile() { close(); }

// Closes the file; its lock goes with it.
void SyncedAppendFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  length_ = 0;
  path_.clear();
}

// Creates the file exclusively, locks it, writes and syncs its first bytes.
int SyncedAppendFile::create(const std::string& path, std::string_view first) {
  close();
  int fd =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) return errno;
  int err = lockFile(fd);
  if (!err) err = writeAll(fd, first);
  if (!err && ::fdatasync(fd) != 0) err = errno;
  if (err) {
    ::unlink(path.c_str());
    ::close(fd);
    return err;
  }
  syncFolder(folderOf(path));  // the best that can be done: the change has happened
  fd_ = fd;
  length_ = static_cast<off_t>(first.size());
  path_ = path;
  return 0;
}

// Opens an existing file for appending and locks it.
int SyncedAppendFile::open(const std::string& path) {
  close();
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
  if (fd < 0) return errno;
  int err = lockFile(fd);
  off_t end = err ? 0 : ::lseek(fd, 0, SEEK_END);
  if (!err && end < 0) err = errno;
  if (err) {
    ::close(fd);
    return err;
  }
  fd_ = fd;
  length_ = end;
  path_ = path;
  return 0;
}

// Cuts the file back to a length it had.
int SyncedAppendFile::keepOnly(off_t length) {
  if (fd_ < 0) return EBADF;
  if (length > length_) return EINVAL;
  length_ = length;
  if (::ftruncate(fd_, length) != 0 || ::fdatasync(fd_) != 0) return errno;
  return 0;
}

// Appends bytes and syncs them; a failed append is cut off again.
int SyncedAppendFile::append(std::string_view bytes) {
  if (fd_ < 0) return EBADF;
  // A failed append before this one may have left part of its bytes: they go first.
  off_t end = ::lseek(fd_, 0, SEEK_END);
  if (end < 0) return errno;
  if (end != length_ && ::ftruncate(fd_, length_) != 0) return errno;
  int err = writeAll(fd_, bytes);
  if (!err && ::fdatasync(fd_) != 0) err = errno;
  if (err) {
    // Whatever part of the record got out is cut off; if even that fails, the next append tries.
    if (::ftruncate(fd_, length_) == 0) ::fdatasync(fd_);
    return err;
  }
  length_ += static_cast<off_t>(bytes.size());
  return 0;
}

// Renames without replacing (RENAME_NOREPLACE, or a link and an unlink).
int renameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a second name, then the first one goes.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
      int err = errno;
      ::unlink(to.c_str());
      return err;
    }
  }
  syncFolder(folderOf(to));
  return 0;
}

// Removes a file and syncs its folder.
int removeFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return errno == ENOENT ? 0 : errno;
  syncFolder(folderOf(path));
  return 0;
}

}  // namespace platform
