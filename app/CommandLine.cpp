#include "app/CommandLine.h"

#include "numtext/NumText.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One argument from the front of text, as the C run-time splits a command line for the
// program's path: blanks inside quotes belong to it, the quotes themselves do not.
std::string TakeArgument(std::string_view& text) {
  std::string argument;
  bool quoted = false;
  size_t i = 0;
  for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
    if (text[i] == '"') {
      quoted = !quoted;
    } else {
      argument += text[i];
    }
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  text.remove_prefix(i);
  return argument;
}

}  // namespace

const char kUsageText[] =
    "KWIX: a numeric keypad that a circle drawn with the mouse shows and hides.\n\n"
    "kwix.exe\n"
    "      starts KWIX; when it runs already, does nothing.\n"
    "kwix.exe /toggle\n"
    "      shows the keypad at the pointer, or hides it;\n"
    "      starts KWIX first when it is not running.\n"
    "kwix.exe /quit\n"
    "      ends the running KWIX.\n"
    "kwix.exe /?\n"
    "      shows this list.\n\n"
    "A switch may also start with - or --, in any case.";

std::string FirstArgument(std::string_view commandLine) {
  while (!commandLine.empty() && IsBlank(commandLine.front())) commandLine.remove_prefix(1);
  TakeArgument(commandLine);
  return TakeArgument(commandLine);
}

Command ReadSwitch(std::string_view argument) {
  if (argument.empty()) return Command::Run;
  if (argument.substr(0, 2) == "--") {
    argument.remove_prefix(2);
  } else if (argument.front() == '/' || argument.front() == '-') {
    argument.remove_prefix(1);
  } else {
    return Command::Unknown;
  }
  const std::string name(argument);
  if (SameTextIgnoreCase(name, "toggle")) return Command::Toggle;
  if (SameTextIgnoreCase(name, "quit")) return Command::Quit;
  if (name == "?" || SameTextIgnoreCase(name, "help")) return Command::Help;
  return Command::Unknown;
}
