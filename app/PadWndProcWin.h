// The program's Windows side: start-up, the pad window and its window procedure.
#ifndef KWIX_APP_PADWNDPROCWIN_H
#define KWIX_APP_PADWNDPROCWIN_H

#include <windows.h>

#include "app/PadWindowWin.h"

// The one pad window of the program.
extern WinPadWindow ThePad;

// Extended style of the pad: topmost, layered, never activated.
constexpr DWORD kPadExStyle = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_NOACTIVATE;
static_assert(kPadExStyle == 0x08080008, "the pad's extended style");

LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers "KWIXWnd" and creates the hidden layered pad with its colour key, the kernel's
// change notification and the 10 ms timer (start-up steps after the settings and the kernel).
HWND CreatePad(HINSTANCE instance);

// The whole program: the single-instance guard, start-up and the message loop.
// Returns the process exit code.
int RunKwix(HINSTANCE instance);

// The background erase: composed off-screen and copied in one BitBlt, so no flicker.
void EraseBackground(HWND window, HDC dc);

#endif
