#include "app/SingleInstance.h"

StartDecision DecideStart(Command command, InstanceHost& system) {
  StartDecision decision;
  if (command == Command::Quit) {
    // Looked up, never claimed: a /quit with no copy running must not keep a plain start
    // that comes at the same moment from running.
    decision.exitCode = system.LookUpMutex() == MutexAnswer::Missing ? 1 : system.PassOn(command);
    return decision;
  }
  const MutexAnswer mutex = system.ClaimMutex();
  if (mutex == MutexAnswer::Held || mutex == MutexAnswer::Denied) {
    // A copy runs (one run as administrator denies us its mutex): a plain start ends silently.
    decision.exitCode = command == Command::Run ? 0 : system.PassOn(command);
    return decision;
  }
  // Ours, or left by a copy that has ended. When the system cannot tell, a second copy is
  // better than none.
  decision.run = true;
  decision.showPad = command == Command::Toggle;
  return decision;
}
