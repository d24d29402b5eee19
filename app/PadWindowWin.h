// The pad window as the platform-free code sees it: thin user32 and gdi32 calls on the
// one pad window, the cursor sampler's timers and mouse watch on it, and the pad font,
// which this file alone creates and deletes; and the program behind that window.
#ifndef KWIX_APP_PADWINDOWWIN_H
#define KWIX_APP_PADWINDOWWIN_H

#include <windows.h>

#include "app/PadProc.h"
#include "base/ScopedWin.h"

class WinPadWindow : public PadHost {
 public:
  WinPadWindow();
  // Before the window exists only the font part is usable.
  void Attach(HWND window);
  HWND Handle() const { return window_; }
  // The font of the keys and the calc edit, replaced when the font settings change; none at first.
  HFONT Font() const { return font_; }

  int ScreenPixelsPerInchY() override;
  void ReplacePadFont(const TLogFont& font) override;

  int MenuBarHeight(int dpi) override;
  int MonitorDpiAt(TPoint point) override;
  TRect ScreenRect() override;
  TRect ClientRect() override;
  void Resize(int width, int height) override;
  void Move(int left, int top) override;
  void PlaceOnTop(int left, int top, int width, int height) override;
  void ShowNoActivate() override;
  void Hide() override;
  bool IsVisible() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  bool TrackLeave() override;
  void SetPointerShape(bool hand) override;
  void SetClassArrowCursor(bool arrow) override;
  void Beep() override;

  bool CursorPos(TPoint& position) override;
  bool StartSampleTimer() override;
  void StopSampleTimer() override;
  bool WatchMouseInput() override;
  void UnwatchMouseInput() override;
  bool StartBackupTimer() override;
  void StopBackupTimer() override;

 private:
  HWND window_ = nullptr;
  TRACKMOUSEEVENT leaveTrack_{};
  ScopedGdiObject<HFONT> font_;
  // Calls only newer Windows has, looked up by name once, as this object is made: null where
  // the system lacks them. GetSystemMetricsForDpi came with Windows 10 1607, GetDpiForMonitor
  // with 8.1, SetCoalescableTimer with 8.
  int(WINAPI* systemMetricsForDpi_)(int, UINT);
  HRESULT(WINAPI* dpiForMonitor_)(HMONITOR, int, UINT*, UINT*);
  UINT_PTR(WINAPI* setCoalescableTimer_)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
};

// The program behind the pad window: made before the window, handed over at its creation and
// kept in its GWLP_USERDATA, where the window procedure finds it.
struct WinKwix {
  WinKwix(Bridge& bridge, const TNumberFormat& format) : State(bridge, format) {}
  TKwix State;
  WinPadWindow Pad;
};

#endif
