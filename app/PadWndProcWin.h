// The pad's window procedure on Windows: it finds the program behind the pad window, turns
// messages into the platform-free handlers, and does the painting and the background erase,
// which need the paint and memory DCs.
#ifndef KWIX_APP_PADWNDPROCWIN_H
#define KWIX_APP_PADWNDPROCWIN_H

#include <windows.h>

// The program comes with WM_NCCREATE, as CreateWindowEx's last parameter (a WinKwix); the
// messages before it go to the system's default handling.
LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
