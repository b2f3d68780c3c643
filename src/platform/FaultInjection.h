// Failures on demand for the tests of the file writers: any step of a save can be made to fail
// with a chosen error number, as the system would fail it.
#pragma once

namespace platform {

// The steps of a save, in order. Unnamed is the attempt at an unnamed file (failing it makes the
// save use a temporary name); Reserve is the room taken for a file rewritten in place before its
// old content is touched; Rewrite is the write of a file in place; Count counts the steps.
enum class AtomicStep {
  Create,
  Unnamed,
  Write,
  Sync,
  Link,
  Close,
  Rename,
  SyncFolder,
  Reserve,
  Rewrite,
  Count
};

// Makes the n-th future occurrence (1-based) of `step` fail with errnoValue; 0 clears it. Each
// step keeps its own request, so two steps can be set for one save.
void failAtomicStepForTesting(AtomicStep step, int occurrence, int errnoValue);
// Clears every request.
void clearAtomicFailuresForTesting();

// True (with errno set) when a test asked this step to fail now.
bool injectedFailure(AtomicStep step);

}  // namespace platform
