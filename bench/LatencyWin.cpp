// A timing build of KWIX: the real program, whose pad window is watched from outside the
// code under measurement. A thread-local CBT hook sees the pad window being created and
// puts a timing procedure in front of the pad's own window procedure. For every showing
// it writes one line to the file named by KWIX_LATENCY_LOG (else kwix-latency.log):
// the time from the start of the timer tick whose circle test showed the pad to the end
// of the pad's first WM_PAINT after it, and how much of that the tick itself took.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/PadWndProcWin.h"
#include "app/StartupWin.h"

namespace {

LARGE_INTEGER Frequency;
std::FILE* Log = nullptr;
LONGLONG ShowStart = 0;  // start of the tick that showed the pad, while its paint is awaited
LONGLONG ShowTickEnd = 0;
LONGLONG LastPaintEnd = 0;

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double Ms(LONGLONG ticks) { return static_cast<double>(ticks) * 1000.0 / static_cast<double>(Frequency.QuadPart); }

void Report(LONGLONG start, LONGLONG tickEnd, LONGLONG paintEnd) {
  std::fprintf(Log, "show-to-painted %.3f ms tick %.3f ms\n", Ms(paintEnd - start), Ms(tickEnd - start));
  std::fflush(Log);
}

LRESULT CALLBACK TimedPadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    const bool wasVisible = IsWindowVisible(window) != FALSE;
    const LONGLONG start = Now();
    LastPaintEnd = 0;
    LRESULT result = PadWindowProc(window, message, wParam, lParam);
    if (!wasVisible && IsWindowVisible(window)) {
      const LONGLONG tickEnd = Now();
      if (LastPaintEnd != 0) {
        Report(start, tickEnd, LastPaintEnd);  // painted within the tick itself
      } else {
        ShowStart = start;
        ShowTickEnd = tickEnd;
      }
    }
    return result;
  }
  if (message == WM_PAINT) {
    LRESULT result = PadWindowProc(window, message, wParam, lParam);
    LastPaintEnd = Now();
    if (ShowStart != 0) {
      Report(ShowStart, ShowTickEnd, LastPaintEnd);
      ShowStart = 0;
    }
    return result;
  }
  return PadWindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "KWIXWnd") == 0) {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimedPadProc));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  QueryPerformanceFrequency(&Frequency);
  const char* path = std::getenv("KWIX_LATENCY_LOG");
  Log = std::fopen(path && *path ? path : "kwix-latency.log", "a");
  if (!Log) return 1;
  SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  return RunKwix(instance);
}
