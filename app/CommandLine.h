// What kwix.exe is asked to do by its command line. Platform-free, so the reading of switches
// and of the quoting around them is tested without Windows.
#ifndef KWIX_APP_COMMANDLINE_H
#define KWIX_APP_COMMANDLINE_H

#include <string>
#include <string_view>

enum class Command {
  Run,     // no argument: start, or end at once when a copy runs already
  Toggle,  // show the running copy's pad at the pointer, or hide it
  Quit,    // end the running copy
  Help,    // list the switches
  Unknown  // anything else: list the switches and fail
};

// The first argument of a whole command line as GetCommandLine gives it: the program's path
// is skipped (quoted or not), quotes within the argument are dropped. Empty when there is none.
std::string FirstArgument(std::string_view commandLine);

// The command a first argument asks for: "/", "-" or "--" and a switch name in any case.
Command ReadSwitch(std::string_view argument);

// The switches, for the one message box the program shows.
extern const char kUsageText[];

#endif
