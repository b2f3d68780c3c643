#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include "base/Erros.h"
#include "platform/CodePage.h"
#include "platform/FileCalls.h"
#include "platform/PendingFile.h"
#include "platform/SignalSetup.h"
#include "platform/UserFolders.h"

namespace platform {

namespace {

// What a test asked of each step: fail at the `remaining`-th occurrence from now, with `err`.
struct Injected {
  int remaining = 0;
  int err = 0;
};
Injected injected[static_cast<int>(AtomicStep::Count)];

constexpr size_t kBufferSize = 1 << 20;
constexpr int kMaxLinks = 40;

// A descriptor closed with its owner.
struct UniqueFd {
  int fd = -1;
  UniqueFd() = default;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }
  // Closes the descriptor held; 0 or the errno of close.
  int reset(int nova = -1) {
    int r = 0;
    if (fd >= 0 && ::close(fd) != 0) r = errno;
    fd = nova;
    return r;
  }
};

// The last part of a path.
std::string nameOf(const std::string& path) {
  auto p = path.find_last_of('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

// Follows symbolic links to the file they end at; true when it exists (st then describes it).
bool resolveTarget(const std::string& path, std::string& target, struct stat& st) {
  target = path;
  for (int hops = 0;; ++hops) {
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return false;
      throw base::ErroDeArquivo(errno);
    }
    if (!S_ISLNK(st.st_mode)) return true;
    if (hops == kMaxLinks) throw base::ErroDeArquivo(ELOOP);
    std::vector<char> link(static_cast<size_t>(st.st_size) + 2);
    ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) throw base::ErroDeArquivo(errno);
    if (static_cast<size_t>(n) >= link.size()) throw base::ErroDeArquivo(ENAMETOOLONG);
    std::string to(link.data(), static_cast<size_t>(n));
    target = to.starts_with('/') ? to : folderOf(target) + "/" + to;
  }
}

// Gives the new file the old one's owner, group and permission bits; false when it cannot.
bool keepOwnerAndMode(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
    uid_t uid = now.st_uid != old.st_uid ? old.st_uid : static_cast<uid_t>(-1);
    if (::fchown(fd, uid, old.st_gid) != 0) return false;
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// True when the file carries extended attributes (an access control list among them) that a new
// file would not have; the security label a new file gets from the system's policy does not count.
bool hasOwnAttributes(const std::string& path) {
  ssize_t n = ::listxattr(path.c_str(), nullptr, 0);
  if (n <= 0) return false;
  std::vector<char> names(static_cast<size_t>(n));
  n = ::listxattr(path.c_str(), names.data(), names.size());
  if (n < 0) return true;
  for (size_t at = 0; at < static_cast<size_t>(n);) {
    std::string name(names.data() + at);
    if (name != "security.selinux") return true;
    at += name.size() + 1;
  }
  return false;
}

// The safe copy's name: the file's name (cut to 200 bytes, at a character boundary), a dot and the
// local date and time, and "-n" from the second attempt on.
std::string safeCopyName(const std::string& name, int attempt) {
  std::string base = name;
  if (base.size() > 200) {
    size_t cut = 200;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
    base.resize(cut);
  }
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string result = base + "." + stamp;
  if (attempt > 0) result += "-" + std::to_string(attempt + 1);
  return result;
}

// Syncs a folder's entries (or fails as a test asked); 0 or the errno.
int syncSavedFolder(const std::string& folder) {
  if (injectedFailure(AtomicStep::SyncFolder)) return errno;
  return syncFolder(folder);
}

// Writes all bytes to fd, retrying interrupted and partial writes; 0 or the errno.
int writeFully(int fd, const char* p, size_t left, AtomicStep step) {
  while (left > 0) {
    ssize_t n = injectedFailure(step) ? -1 : ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return 0;
}

// Takes the room for `size` bytes of the file without changing it (its length stays), so that a
// full disk is found before the old content is overwritten; 0 or the errno. A file system that
// cannot reserve room is written without it.
int reserveRoom(int fd, off_t size) {
  if (injectedFailure(AtomicStep::Reserve)) return errno;
  if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return 0;
  return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
}

// The error of a rewrite in place that failed: "I/O error %d", and where the safe copy is.
base::EInOutError inPlaceFailure(int err, const std::string& safeCopy) {
  return base::EInOutError(
      base::ErroDeArquivo(err).Mensagem() + "\r\r" + inPlaceFailureText(safeCopy), err);
}

}  // namespace

// The file may be incomplete; the complete new content is in the safe copy.
std::string inPlaceFailureText(const std::string& safeCopy) {
  return "O arquivo pode ter ficado incompleto. O conte\xFA"
         "do novo completo est\xE1 guardado em:\r" +
         utf8ToCp1252(safeCopy) +
         "\rCopie-o para o lugar do arquivo quando o problema for "
         "resolvido.";
}

// Records which occurrence of which step a test wants to fail.
void failAtomicStepForTesting(AtomicStep step, int occurrence, int errnoValue) {
  injected[static_cast<int>(step)] = Injected{occurrence, errnoValue};
}

// Forgets every request of the tests.
void clearAtomicFailuresForTesting() {
  for (Injected& i : injected) i = Injected{};
}

// Counts the occurrences of a step a test chose; true (errno set) at the chosen one.
bool injectedFailure(AtomicStep step) {
  Injected& i = injected[static_cast<int>(step)];
  if (i.remaining <= 0 || --i.remaining > 0) return false;
  errno = i.err;
  return true;
}

struct AtomicFileWriter::State {
  std::string target;  // the file written: `path` with symbolic links followed
  std::string folder, name;
  UniqueFd dir;       // the target's folder
  UniqueFd cacheDir;  // in place: the folder of the safe copy
  UniqueFd targetFd;  // in place: the target, open for writing
  // The new content: beside the target, or the safe copy when in place (declared after the
  // folders, so it goes before them).
  PendingFile pending;
  bool inPlace = false;
  std::string cache, safeCopy;
  std::string buffer;
  off_t size = 0;
  bool done = false;
  int durabilityError = 0;
};

// Decides how the file will be replaced and creates the file for its new content.
AtomicFileWriter::AtomicFileWriter(std::string path)
    : path_(std::move(path)), s_(std::make_unique<State>()) {
  State& s = *s_;
  struct stat st {};
  bool exists = resolveTarget(path_, s.target, st);
  s.folder = folderOf(s.target);
  s.name = nameOf(s.target);
  if (exists) {
    if (S_ISDIR(st.st_mode)) throw base::ErroDeArquivo(EISDIR);
    if (!S_ISREG(st.st_mode)) throw base::ErroDeArquivo(EINVAL);
    // Refused as opening it for writing would be: a renamed file must not bypass its permissions.
    if (::faccessat(AT_FDCWD, s.target.c_str(), W_OK, AT_EACCESS) != 0)
      throw base::ErroDeArquivo(errno);
  }
  s.dir.reset(::open(s.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (s.dir.fd < 0) throw base::ErroDeArquivo(errno);

  // A rename would separate the file from its other links, or drop its extended attributes.
  bool inPlace = exists && (st.st_nlink > 1 || hasOwnAttributes(s.target));
  if (!inPlace) {
    removeStaleTemporaries(s.dir.fd);
    int err = s.pending.create(s.dir.fd, s.folder, exists ? st.st_mode & 0777 : 0666);
    if (err) {
      // A folder that takes no new file: the file itself may still be written.
      if (!exists || (err != EACCES && err != EPERM && err != EROFS))
        throw base::ErroDeArquivo(err);
      inPlace = true;
    } else if (exists && !keepOwnerAndMode(s.pending.fd(), st)) {
      s.pending.discard();
      inPlace = true;
    }
  }
  if (inPlace) {
    s.targetFd.reset(::open(s.target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (s.targetFd.fd < 0) throw base::ErroDeArquivo(errno);
    s.cache = userCacheFolder();
    if (s.cache.empty()) throw base::ErroDeArquivo(ENOENT);
    if (int err = makeFolders(s.cache)) throw base::ErroDeArquivo(err);
    s.cacheDir.reset(::open(s.cache.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (s.cacheDir.fd < 0) throw base::ErroDeArquivo(errno);
    removeStaleTemporaries(s.cacheDir.fd);
    if (int err = s.pending.create(s.cacheDir.fd, s.cache, 0600)) throw base::ErroDeArquivo(err);
    s.inPlace = true;
  }
  s.buffer.reserve(kBufferSize);
}

// Members abandon the new content: an unnamed file vanishes, a temporary name is removed.
AtomicFileWriter::~AtomicFileWriter() = default;

// Whether the committed file's last step (the folder's sync) failed.
int AtomicFileWriter::durabilityError() const { return s_->durabilityError; }

// The safe copy a failed rewrite in place left.
const std::string& AtomicFileWriter::safeCopyKept() const { return s_->safeCopy; }

// Drops the new content (the safe copy too: the target was not touched) and raises the error.
void AtomicFileWriter::fail(int err) {
  s_->pending.discard();
  if (!s_->safeCopy.empty()) ::unlink(s_->safeCopy.c_str());
  s_->safeCopy.clear();
  s_->done = true;
  throw base::ErroDeArquivo(err);
}

// Writes the buffered bytes out.
void AtomicFileWriter::flushBuffer() {
  writeAll(s_->buffer);
  s_->buffer.clear();
}

// Writes bytes to the new content's file; a failure abandons it.
void AtomicFileWriter::writeAll(std::string_view bytes) {
  if (int err = writeFully(s_->pending.fd(), bytes.data(), bytes.size(), AtomicStep::Write))
    fail(err);
  s_->size += static_cast<off_t>(bytes.size());
}

// Buffers bytes, writing out whole buffers.
void AtomicFileWriter::write(std::string_view bytes) {
  State& s = *s_;
  if (s.done) throw base::ErroDeArquivo(EBADF);
  if (s.buffer.size() + bytes.size() > kBufferSize) {
    flushBuffer();
    if (bytes.size() >= kBufferSize) {
      writeAll(bytes);
      return;
    }
  }
  s.buffer.append(bytes);
}

// Syncs the new content, names it and renames it over the target, then syncs the folder.
void AtomicFileWriter::commit() {
  State& s = *s_;
  if (s.done) throw base::ErroDeArquivo(EBADF);
  flushBuffer();
  if (injectedFailure(AtomicStep::Sync) || ::fsync(s.pending.fd()) != 0) fail(errno);
  if (s.inPlace) return commitInPlace();
  if (s.pending.named()) {
    if (int err = s.pending.close()) fail(err);
    if (int err = s.pending.renameOver(s.name)) fail(err);
  } else {
    // An unnamed file is renamed right after it is linked in, so that its name exists for as
    // short a time as possible; closing it comes after (its content is synced already).
    if (int err = s.pending.linkTemporary()) fail(err);
    if (int err = s.pending.renameOver(s.name)) fail(err);
    s.durabilityError = s.pending.close();
  }
  s.done = true;
  if (int err = syncSavedFolder(s.folder); !s.durabilityError) s.durabilityError = err;
}

// The safe copy gets its name and is made durable; then the target is rewritten from it and
// synced, with termination signals held back meanwhile. The safe copy goes once the target is
// whole; when the rewrite fails it stays, and the error says where it is. Room for the new
// length is reserved first: a full disk then leaves the old file whole.
void AtomicFileWriter::commitInPlace() {
  State& s = *s_;
  SignalDeferral deferral;
  int err = EEXIST;
  std::string name;
  for (int attempt = 0; err == EEXIST && attempt < 100; ++attempt) {
    name = safeCopyName(s.name, attempt);
    err = s.pending.linkAs(name);
  }
  if (err) fail(err);
  s.safeCopy = s.cache + "/" + name;
  if (int e = syncSavedFolder(s.cache)) fail(e);
  if (int e = reserveRoom(s.targetFd.fd, s.size)) fail(e);  // the old file is still whole

  std::vector<char> chunk(kBufferSize);
  for (off_t at = 0; at < s.size && err == 0;) {
    ssize_t n = ::pread(s.pending.fd(), chunk.data(), chunk.size(), at);
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      break;
    }
    err = writeFully(s.targetFd.fd, chunk.data(), static_cast<size_t>(n), AtomicStep::Rewrite);
    at += n;
  }
  if (!err && ::ftruncate(s.targetFd.fd, s.size) != 0) err = errno;
  if (!err && (injectedFailure(AtomicStep::Sync) || ::fsync(s.targetFd.fd) != 0)) err = errno;
  if (int e = s.targetFd.reset(); !err) err = e;
  s.pending.discard();
  s.done = true;
  if (err) throw inPlaceFailure(err, s.safeCopy);
  ::unlink(s.safeCopy.c_str());
  s.safeCopy.clear();
}

// One call: the writer, the bytes, the commit.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter w(path);
  w.write(bytes);
  w.commit();
  return WriteResult{w.durabilityError()};
}

// Says the file is there but may be lost in a power cut, and what to do.
std::string durabilityWarning(const std::string& path, int err) {
  return "O arquivo foi gravado, mas o sistema n\xE3o confirmou que ele ficou guardado no disco "
         "(" +
         base::ErroDeArquivo(err).Mensagem() + "):\r" + utf8ToCp1252(path) +
         "\rEle pode se perder numa queda de energia; grave-o de novo ou guarde uma c\xF3pia.";
}

}  // namespace platform
