#include "platform/SignalSetup.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace platform {

namespace {

// A few saves may be under way at once (a report written while a process file is saved).
constexpr int kSlots = 4;
constexpr size_t kPathMax = 4096 + 256;

struct Slot {
  std::atomic<int> state{0};  // 0 free, 1 being filled, 2 holds a path the handler removes
  char path[kPathMax];
};
Slot slots[kSlots];

std::atomic<int> deferDepth{0};
std::atomic<int> deferredSignal{0};

constexpr int kTerminating[] = {SIGINT, SIGTERM, SIGHUP};

// Removes every registered temporary file, restores the default action and lets the signal end
// the program (async-signal-safe).
void terminateBy(int sig) {
  for (Slot& s : slots)
    if (s.state.load() == 2) ::unlink(s.path);
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  ::sigaction(sig, &sa, nullptr);
  ::raise(sig);
}

// The handler of the terminating signals: ends the program now unless a deferral is active.
void onTerminatingSignal(int sig) {
  int saved = errno;
  deferredSignal.store(sig);
  if (deferDepth.load() == 0) terminateBy(sig);
  errno = saved;
}

}  // namespace

// SIGXFSZ ignored; SIGINT, SIGTERM and SIGHUP to the handler, each blocking the others.
void installSignalHandlers() {
  ::signal(SIGXFSZ, SIG_IGN);
  struct sigaction sa {};
  sa.sa_handler = onTerminatingSignal;
  sigemptyset(&sa.sa_mask);
  for (int s : kTerminating) sigaddset(&sa.sa_mask, s);
  sa.sa_flags = SA_RESTART;
  for (int s : kTerminating) {
    struct sigaction old {};
    ::sigaction(s, nullptr, &old);
    // A signal the caller's parent chose to ignore (nohup) stays ignored.
    if (old.sa_handler != SIG_IGN) ::sigaction(s, &sa, nullptr);
  }
}

// Takes a free slot and copies the path into it before marking it for the handler.
int registerTemporary(const char* path) {
  size_t n = std::strlen(path);
  if (n >= kPathMax) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int livre = 0;
    if (!slots[i].state.compare_exchange_strong(livre, 1)) continue;
    std::memcpy(slots[i].path, path, n + 1);
    slots[i].state.store(2);
    return i;
  }
  return -1;
}

// Frees the slot.
void forgetTemporary(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].state.store(0);
}

// One more reason to hold termination back.
SignalDeferral::SignalDeferral() { deferDepth.fetch_add(1); }

// The last deferral to go lets a signal that came meanwhile end the program.
SignalDeferral::~SignalDeferral() {
  if (deferDepth.fetch_sub(1) != 1) return;
  if (int sig = deferredSignal.exchange(0)) terminateBy(sig);
}

}  // namespace platform
