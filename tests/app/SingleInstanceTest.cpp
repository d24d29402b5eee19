#include <gtest/gtest.h>

#include <string>

#include "app/SingleInstance.h"

namespace {

// The mutex as the system answers about it, and what handing a command to the running copy gives.
struct FakeSystem : InstanceHost {
  MutexAnswer mutex;
  int handedOver;  // what passing a command on gives
  std::string asked;
  FakeSystem(MutexAnswer m, int h) : mutex(m), handedOver(h) {}
  void Ask(const std::string& what) { asked += (asked.empty() ? "" : ", ") + what; }
  MutexAnswer ClaimMutex() override { return Ask("claim"), mutex; }
  MutexAnswer LookUpMutex() override { return Ask("look up"), mutex; }
  int PassOn(Command command) override {
    return Ask(command == Command::Quit     ? "pass /quit"
               : command == Command::Toggle ? "pass /toggle"
                                            : "pass"),
           handedOver;
  }
};

// A start with no switch, /toggle or /quit: whether it runs (showing the pad), or ends with which
// exit code, and what it asked of the system: only a start that runs may own the mutex.
TEST(SingleInstance, WhoRuns) {
  struct Row {
    const char* name;
    Command command;
    MutexAnswer mutex;   // what the system answers about it
    int handedOver = 0;  // what the running copy's hand-over gives
    std::string asked;
    bool runs = false, showsPad = false;
    int exitCode = 0;
  };
  using M = MutexAnswer;
  // clang-format off
  const Row rows[] = {
      {.name = "no copy running", .command = Command::Run, .mutex = M::Ours, .asked = "claim", .runs = true},
      {.name = "a copy running", .command = Command::Run, .mutex = M::Held, .asked = "claim"},
      {.name = "a copy run as administrator", .command = Command::Run, .mutex = M::Denied, .asked = "claim"},
      {.name = "the mutex not to be had", .command = Command::Run, .mutex = M::Failed, .asked = "claim", .runs = true},
      {.name = "the last copy ended, its mutex still open", .command = Command::Run, .mutex = M::Abandoned,
       .asked = "claim", .runs = true},
      {.name = "/quit, no copy running", .command = Command::Quit, .mutex = M::Missing, .asked = "look up",
       .exitCode = 1},
      {.name = "/quit, a copy running", .command = Command::Quit, .mutex = M::Held, .asked = "look up, pass /quit"},
      {.name = "/quit, a copy run as administrator, which the system keeps from ending", .command = Command::Quit,
       .mutex = M::Denied, .handedOver = 1, .asked = "look up, pass /quit", .exitCode = 1},
      {.name = "/toggle, no copy running", .command = Command::Toggle, .mutex = M::Ours, .asked = "claim", .runs = true,
       .showsPad = true},
      {.name = "/toggle, a copy running", .command = Command::Toggle, .mutex = M::Held, .asked = "claim, pass /toggle"},
      {.name = "/toggle, a copy run as administrator", .command = Command::Toggle, .mutex = M::Denied,
       .asked = "claim, pass /toggle"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSystem system(row.mutex, row.handedOver);
    const StartDecision start = DecideStart(row.command, system);
    EXPECT_EQ(system.asked, row.asked);
    EXPECT_EQ(start.run, row.runs);
    EXPECT_EQ(start.showPad, row.showsPad);
    if (!row.runs) {
      EXPECT_EQ(start.exitCode, row.exitCode);
    }
  }
}

}  // namespace
