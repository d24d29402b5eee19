#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/CommandLine.h"

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
      {.name = "blanks first, a dash, capitals", .line = "  k -TOGGLE", .argument = "-TOGGLE", .command = Command::Toggle},
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

}  // namespace
