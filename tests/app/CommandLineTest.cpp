#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"

namespace {

// The whole command line as Windows hands it over, the program's path first; the first
// argument, unquoted, picks the command.
TEST(CommandLine, FirstArgumentPicksTheCommand) {
  struct Row {
    const char *name, *line;
    std::string argument;
    Command command;
  };
  // clang-format off
  const Row rows[] = {
      {.name = "no argument", .line = "kwix.exe", .argument = "", .command = Command::Run},
      {.name = "blanks after a quoted path", .line = "\"A B\\k\" \t ", .argument = "", .command = Command::Run},
      {.name = "after a quoted path", .line = "\"A B\\k\" /toggle", .argument = "/toggle", .command = Command::Toggle},
      {.name = "a path quoted inside", .line = "C:\\\"A B\"\\k /quit", .argument = "/quit", .command = Command::Quit},
      {.name = "blanks, a dash, capitals", .line = "   k -TOGGLE", .argument = "-TOGGLE", .command = Command::Toggle},
      {.name = "two dashes after blanks", .line = "k \t --Quit", .argument = "--Quit", .command = Command::Quit},
      {.name = "only the first counts", .line = "k /quit /toggle", .argument = "/quit", .command = Command::Quit},
      {.name = "a question mark", .line = "k /?", .argument = "/?", .command = Command::Help},
      {.name = "help, two dashes", .line = "k --HELP", .argument = "--HELP", .command = Command::Help},
      {.name = "no prefix", .line = "k toggle", .argument = "toggle", .command = Command::Unknown},
      {.name = "a prefix alone", .line = "k -", .argument = "-", .command = Command::Unknown},
      {.name = "three dashes", .line = "k ---quit", .argument = "---quit", .command = Command::Unknown},
      {.name = "a longer name", .line = "k /toggles", .argument = "/toggles", .command = Command::Unknown}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FirstArgument(row.line), row.argument);
    EXPECT_EQ(ReadSwitch(row.argument), row.command);
  }
}

// What the system answers about the mutex, and what handing the command to the running copy
// gives; what it was asked, in order: "look up, pass on, ".
struct FakeInstanceHost : InstanceHost {
  MutexAnswer mutex = MutexAnswer::Ours;
  int handedOver = 0;
  std::string asked;
  MutexAnswer ClaimMutex() override { return asked += "claim, ", mutex; }
  MutexAnswer LookUpMutex() override { return asked += "look up, ", mutex; }
  int PassOn(Command) override { return asked += "pass on, ", handedOver; }
};

// A start without a switch, /toggle or /quit: what it asks the system (only a start that
// runs may claim the mutex), and whether it runs, showing the pad or not, or ends at once.
TEST(CommandLine, OneCopyRuns) {
  struct Row {
    const char* name;
    Command command;
    MutexAnswer mutex;
    std::string asked, does;
    int handedOver = 0;  // what passing the command on gives: 1, the running copy did not end
  };
  using C = Command;
  using M = MutexAnswer;
  // clang-format off
  const Row rows[] = {
      {.name = "no copy running", .command = C::Run, .mutex = M::Ours, .asked = "claim, ", .does = "runs"},
      {.name = "a copy running", .command = C::Run, .mutex = M::Held, .asked = "claim, ", .does = "ends, 0"},
      {.name = "a copy as administrator", .command = C::Run, .mutex = M::Denied, .asked = "claim, ", .does = "ends, 0"},
      {.name = "no mutex to be had", .command = C::Run, .mutex = M::Failed, .asked = "claim, ", .does = "runs"},
      {.name = "the last copy ended", .command = C::Run, .mutex = M::Abandoned, .asked = "claim, ", .does = "runs"},
      {.name = "/quit, no copy", .command = C::Quit, .mutex = M::Missing, .asked = "look up, ", .does = "ends, 1"},
      {.name = "/quit, a copy", .command = C::Quit, .mutex = M::Held, .asked = "look up, pass on, ", .does = "ends, 0"},
      {.name = "/quit, a copy that does not end", .command = C::Quit, .mutex = M::Denied, .asked = "look up, pass on, ",
       .does = "ends, 1", .handedOver = 1},
      {.name = "/toggle, no copy", .command = C::Toggle, .mutex = M::Ours, .asked = "claim, ", .does = "runs, shown"},
      {.name = "/toggle, a copy", .command = C::Toggle, .mutex = M::Held, .asked = "claim, pass on, ",
       .does = "ends, 0"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeInstanceHost system;
    system.mutex = row.mutex, system.handedOver = row.handedOver;
    const StartDecision start = DecideStart(row.command, system);
    EXPECT_EQ(system.asked, row.asked);
    EXPECT_EQ(start.run ? start.showPad ? "runs, shown" : "runs" : "ends, " + std::to_string(start.exitCode), row.does);
  }
}

}  // namespace
