// How the programs meet signals while they write files: a file-size limit makes a write fail with
// EFBIG instead of killing the program, and Ctrl+C or a termination request removes the temporary
// file of a save in progress first, or waits until a file being rewritten in place is complete.
#pragma once

namespace platform {

// Ignores SIGXFSZ and installs the handler of SIGINT, SIGTERM and SIGHUP (once, at start-up).
void installSignalHandlers();

// Names the temporary file (a path) that a signal must remove before the program ends; returns a
// slot for forgetTemporary, or -1 when the path cannot be kept (it is then left to the stale-file
// cleanup of the next save in that folder).
int registerTemporary(const char* path);
// The temporary file of that slot has been renamed or removed: the handler no longer touches it.
void forgetTemporary(int slot);

// While one of these lives, SIGINT, SIGTERM and SIGHUP only take note; the last one to go lets a
// noted signal end the program.
class SignalDeferral {
 public:
  SignalDeferral();
  ~SignalDeferral();
  SignalDeferral(const SignalDeferral&) = delete;
  SignalDeferral& operator=(const SignalDeferral&) = delete;
};

}  // namespace platform
