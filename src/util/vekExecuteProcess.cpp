#include "util/vekExecuteProcess.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "util/vekCommandLine.h"

extern char** environ;

namespace util {

namespace {

// The folder part of a path (up to its last separator), empty when it has none.
std::string folderOf(const std::string& path) {
  size_t p = path.find_last_of('/');
  if (p == std::string::npos) return {};
  return p == 0 ? std::string("/") : path.substr(0, p);
}

// True when path names a regular file (after links) that this process may execute.
bool isExecutableFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) return false;
  return ::access(path.c_str(), X_OK) == 0;
}

// Waits for the child to end, retrying when a signal interrupts the wait.
void waitForChild(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) break;
  }
}

}  // namespace

// Starts the program in its own folder and waits for it.
bool runAndWait(const std::string& path, const std::string& parameters, int /*showMode*/) {
  if (path.empty() || !isExecutableFile(path)) return false;

  // The working folder changes before the program is loaded, so load it by its absolute path.
  std::error_code ec;
  std::string program = std::filesystem::absolute(path, ec).string();
  if (ec) return false;
  std::string folder = folderOf(path);

  std::vector<std::string> args = splitCommandLine(parameters);
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(path.c_str()));
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  if (!folder.empty() && posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  // glibc reports a failed chdir or exec in the child as the error result of posix_spawn.
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  waitForChild(pid);
  return true;
}

}  // namespace util
