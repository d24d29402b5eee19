// One copy of KWIX per log-on: whether this start runs it or hands its command to the copy
// that runs already, and the exit code when it ends at once. Platform-free, so each answer
// the system can give is tested without Windows.
#ifndef KWIX_APP_SINGLEINSTANCE_H
#define KWIX_APP_SINGLEINSTANCE_H

#include "app/CommandLine.h"

// What the system answers about the mutex "KWIX_Running", which the running copy owns.
enum class MutexAnswer {
  Ours,       // nobody owned it; now this copy does
  Abandoned,  // its owner ended without letting it go; now this copy owns it
  Held,       // another copy owns it; to a look-up, it exists
  Missing,    // to a look-up: there is none
  Denied,     // access denied: a copy with more rights (run as administrator) made it
  Failed      // any other failure
};

// What the start asks of the system. The Windows build answers with the named mutex and the
// running copy's pad window; tests stand in for it.
class InstanceHost {
 public:
  virtual ~InstanceHost() = default;
  // Creates or opens the mutex and tries to own it at once. Owned, it stays this copy's until
  // the copy ends; otherwise no handle stays open.
  virtual MutexAnswer ClaimMutex() = 0;
  // Whether the mutex exists, opened and closed at once: it owns nothing, so a copy starting
  // at the same moment still finds the mutex free.
  virtual MutexAnswer LookUpMutex() = 0;
  // Hands /toggle or /quit to the running copy: 0 when it took it (and for /quit, has ended),
  // 1 when there was none to take it or it would not.
  virtual int PassOn(Command command) = 0;
};

struct StartDecision {
  bool run = false;      // this copy becomes the running one
  bool showPad = false;  // and shows the pad at once
  int exitCode = 0;      // when it does not run: the code it ends with
};

// Run, /toggle or /quit: what this start does, having asked the system what it needs to.
StartDecision DecideStart(Command command, InstanceHost& system);

#endif
