// The pad's window procedure on Windows: it turns messages into the platform-free handlers
// and does the painting and the background erase, which need the paint and memory DCs.
#ifndef KWIX_APP_PADWNDPROCWIN_H
#define KWIX_APP_PADWNDPROCWIN_H

#include <windows.h>

LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The background erase: composed off-screen and copied in one BitBlt, so no flicker.
void EraseBackground(HWND window, HDC dc);

#endif
