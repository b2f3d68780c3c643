#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

// The user's home folder: $HOME when it is absolute, otherwise the account's; empty when none.
std::string homeFolder() {
  if (const char* h = std::getenv("HOME"); h && h[0] == '/') return h;
  struct passwd pw {
  }, *r = nullptr;
  char buf[4096];
  if (::getpwuid_r(::geteuid(), &pw, buf, sizeof buf, &r) == 0 && r && r->pw_dir[0] == '/')
    return r->pw_dir;
  return {};
}

namespace {

// The folder named by an XDG variable when it is absolute, else the home folder's default one;
// then our own folder inside it.
std::string ourFolder(const char* variable, const char* underHome) {
  const char* xdg = std::getenv(variable);
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/proposta";
  std::string home = homeFolder();
  if (home.empty()) return {};
  return home + underHome + "/proposta";
}

}  // namespace

// Our folder in the user's cache folder.
std::string userCacheFolder() { return ourFolder("XDG_CACHE_HOME", "/.cache"); }

// Our folder in the user's data folder.
std::string userDataFolder() { return ourFolder("XDG_DATA_HOME", "/.local/share"); }

// Our folder in the user's settings folder.
std::string userConfigFolder() { return ourFolder("XDG_CONFIG_HOME", "/.config"); }

// Creates the folder with the ones above it, then checks it is a folder.
int makeFolders(const std::string& folder) {
  if (folder.empty()) return ENOENT;
  for (size_t p = 1; p <= folder.size(); ++p) {
    if (p < folder.size() && folder[p] != '/') continue;
    if (::mkdir(folder.substr(0, p).c_str(), 0700) != 0 && errno != EEXIST) return errno;
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

}  // namespace platform
