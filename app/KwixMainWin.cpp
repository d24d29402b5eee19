// The program's entry point: no window of its own, no command line.
#include <windows.h>

#include <cstdlib>

#include "app/PadWndProcWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunKwix(instance); }

// An exception that escapes everything ends the program, as it would anyway. The C++
// run-time's default handler would first describe it on the standard error stream, which a
// GUI program does not have, and brings the name demangler and printf into the program for
// that: most of a third of its size.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
