// A temporary folder for a test, removed with its contents at the end, and small file helpers.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

class TempFolder {
 public:
  explicit TempFolder(const std::string& infix = "t") {
    const char* base = std::getenv("TMPDIR");
    std::string templ =
        std::string(base && *base ? base : "/tmp") + "/proposta-" + infix + "-XXXXXX";
    char* made = ::mkdtemp(templ.data());
    path_ = made ? std::string(made) : std::string();
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing "/".
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes bytes as the whole file (test set-up only).
inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The whole file, or empty when it cannot be read.
inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A shell script at path that appends its name, working folder and arguments (one per line, in
// brackets) to logPath, then runs extra (more shell lines); made executable.
inline void writeLoggingScript(const std::string& path, const std::string& name,
                               const std::string& logPath, const std::string& extra = "") {
  writeFile(path,
            "#!/bin/sh\n"
            "{ echo \"run " +
                name +
                "\"; echo \"cwd=$(pwd)\";"
                " for a in \"$@\"; do echo \"arg=[$a]\"; done; } >> '" +
                logPath + "'\n" + extra);
  ::chmod(path.c_str(), 0755);
}

}  // namespace testsupport
