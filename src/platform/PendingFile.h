// A file's new content while it is being written in a folder: an unnamed file (O_TMPFILE) where
// the file system has them, otherwise a file under our one recognisable temporary name,
// ".proposta-XXXXXX.tmp". It gets a name only when complete; a temporary name of ours is locked
// while in use, so a later save in the folder can tell a stale one (its writer died) and remove it.
#pragma once

#include <sys/types.h>

#include <string>

namespace platform {

// True for a name of the form our temporary files have.
bool isOurTemporaryName(const std::string& name);
// Removes the temporary files of ours in the folder whose writer is gone.
void removeStaleTemporaries(int dirfd);

class PendingFile {
 public:
  PendingFile() = default;
  // Closes the file and removes its temporary name unless it was given its final name.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the file in the folder (dirfd; folder is its path, for the signal handler's records)
  // with the permission bits `mode` less the umask; 0 or the errno.
  int create(int dirfd, const std::string& folder, mode_t mode);
  int fd() const { return fd_; }
  // True while the file has a temporary name (an unnamed file has none until linked in).
  bool named() const { return !tempName_.empty(); }

  // Gives the complete file its temporary name in the folder (an unnamed one is linked in under a
  // fresh name; a named one has it already); 0 or the errno.
  int linkTemporary();
  // Closes the file (it keeps its temporary name); 0 or the errno.
  int close();
  // Renames it over `name` in the folder; 0 or the errno (the temporary name is then removed).
  int renameOver(const std::string& name);
  // Gives it `name` in the folder without replacing anything there; EEXIST when taken.
  int linkAs(const std::string& name);
  // Removes the temporary name and closes the file.
  void discard();

 private:
  void forgetName();
  int dirfd_ = -1;
  int fd_ = -1;
  std::string folder_;
  std::string tempName_;  // empty while the file has no temporary name
  int slot_ = -1;         // the signal handler's record of tempName_
};

}  // namespace platform
