// The program's start on Windows: the command line, the single-instance guard (a second copy
// passes /toggle or /quit on to the first), the settings, the kernel, the hidden pad window
// with its class, timer and change notification, and the message loop.
#ifndef KWIX_APP_STARTUPWIN_H
#define KWIX_APP_STARTUPWIN_H

#include <windows.h>

// Extended style of the pad: topmost, layered, never activated.
constexpr DWORD kPadExStyle = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_NOACTIVATE;

struct WinKwix;

// Registers "KWIXWnd" and creates the hidden layered pad for the program with its colour key,
// the kernel's change notification and the 10 ms timer (the start-up steps after the settings).
HWND CreatePad(HINSTANCE instance, WinKwix& kwix);

// The whole program: the command line, the single-instance guard, start-up and the message
// loop. Returns the process exit code: 0, or 1 when a /quit or /toggle found no copy to
// pass it to, or 2 for an unknown switch.
int RunKwix(HINSTANCE instance);

#endif
