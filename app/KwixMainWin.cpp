// The program's entry point: no window of its own, no command line.
#include <windows.h>

#include "app/PadWndProcWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunKwix(instance); }
