// Starting an external program and waiting until it ends (the signing launcher's two programs).
#pragma once

#include <string>

namespace util {

// Starts the program at path with the parameters text, split into arguments by the Windows
// command-line rules (see vekCommandLine.h), with the folder part of path as working folder, and
// waits without a time limit until it has ended. The path goes as one argument, so blanks in it
// need no quoting. showMode (the system's show-window value) has no meaning here and is ignored.
// True when the program could be started; the exit code is not looked at. A path that does not
// exist or is not an executable file gives false.
bool runAndWait(const std::string& path, const std::string& parameters, int showMode);

}  // namespace util
