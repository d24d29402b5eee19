// What the platform-free code asks of the pad window: its size and place, showing it, the
// pointer over it, and the font its keys are drawn in. The Windows build implements it with
// user32 calls on the one pad window; tests stand in for it and record what was asked.
#ifndef KWIX_PAD_PADWINDOW_H
#define KWIX_PAD_PADWINDOW_H

#include "base/Types.h"
#include "settings/PadFontHost.h"

class PadWindow : public PadFontHost {
 public:
  ~PadWindow() override = default;

  // The height of a menu bar, the pad's row height, at dpi: GetSystemMetricsForDpi(SM_CYMENU);
  // for dpi 0, or where the system lacks that call, GetSystemMetrics(SM_CYMENU).
  virtual int MenuBarHeight(int dpi) = 0;
  // The DPI of the monitor under a screen point (MonitorFromPoint, GetDpiForMonitor), where
  // Windows gives each monitor its own and has GetSystemMetricsForDpi (Windows 10 1607 and
  // later); 0 elsewhere: the one DPI of the whole screen.
  virtual int MonitorDpiAt(TPoint point) = 0;
  // GetWindowRect of the pad, in screen coordinates.
  virtual TRect ScreenRect() = 0;
  // GetClientRect of the pad; the pad has no frame, so this is its window size.
  virtual TRect ClientRect() = 0;
  // SetWindowPos with SWP_NOMOVE | SWP_NOACTIVATE: left and top edges stay.
  virtual void Resize(int width, int height) = 0;
  // SetWindowPos with SWP_NOSIZE | SWP_NOACTIVATE, screen coordinates.
  virtual void Move(int left, int top) = 0;
  // SetWindowPos(HWND_TOP, left, top, width, height, SWP_NOACTIVATE).
  virtual void PlaceOnTop(int left, int top, int width, int height) = 0;
  // ShowWindow(SW_SHOWNA): shown without taking the keyboard focus.
  virtual void ShowNoActivate() = 0;
  // ShowWindow(SW_HIDE).
  virtual void Hide() = 0;
  // IsWindowVisible.
  virtual bool IsVisible() = 0;
  // SetCapture / ReleaseCapture.
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // TrackMouseEvent for TME_LEAVE on the pad; true when the request was taken.
  virtual bool TrackLeave() = 0;
  // SetCursor to the hand (over a key) or the arrow.
  virtual void SetPointerShape(bool hand) = 0;
  // The window class cursor: the standard arrow, or none so the pointer code sets it.
  // Changes the class only when it differs from what is wanted.
  virtual void SetClassArrowCursor(bool arrow) = 0;
  // MessageBeep(0): a refused key.
  virtual void Beep() = 0;
};

#endif
