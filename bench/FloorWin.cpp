// The floor of the running-program measurements: a Win32 program that does nothing but
// what KWIX cannot avoid doing, a hidden popup window with a 10 ms timer and the same
// message loop. Its CPU time, memory and size are what any program of that shape costs.
// With the argument "cursor" each tick also reads the cursor position, as KWIX's sampler
// does while the mouse moves, which tells the cost of the poll itself apart from the rest of
// KWIX's tick. With "wait" it starts no timer at all and only waits for messages: the least
// a program can cost at rest, where KWIX's sampler stops its timer.
#include <windows.h>

namespace {

bool ReadCursor = false;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    if (ReadCursor) {
      POINT p;
      GetCursorPos(&p);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  ReadCursor = lstrcmpA(commandLine, "cursor") == 0;
  const bool onlyWait = lstrcmpA(commandLine, "wait") == 0;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "KWIXFloorWnd";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_NOACTIVATE, "KWIXFloorWnd", "", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, instance, nullptr);
  if (!onlyWait) SetTimer(window, 0, 10, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
