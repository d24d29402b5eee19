#include "app/PadWindowWin.h"

#include <cstring>

namespace {

// A call only newer Windows has, looked up by name: null where it is missing. The program
// runs on Windows 7 too.
template <typename Function>
Function NewerCall(const char* module, const char* name) {
  HMODULE dll = GetModuleHandleA(module);
  if (dll == nullptr) dll = LoadLibraryExA(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  FARPROC found = dll != nullptr ? GetProcAddress(dll, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

WinPadWindow::WinPadWindow()
    : systemMetricsForDpi_(NewerCall<decltype(systemMetricsForDpi_)>("user32.dll", "GetSystemMetricsForDpi")),
      dpiForMonitor_(NewerCall<decltype(dpiForMonitor_)>("shcore.dll", "GetDpiForMonitor")),
      setCoalescableTimer_(NewerCall<decltype(setCoalescableTimer_)>("user32.dll", "SetCoalescableTimer")) {}

void WinPadWindow::Attach(HWND window) {
  window_ = window;
  leaveTrack_.cbSize = sizeof(leaveTrack_);
  leaveTrack_.dwFlags = TME_LEAVE;
  leaveTrack_.hwndTrack = window;
  leaveTrack_.dwHoverTime = 0;
}

int WinPadWindow::ScreenPixelsPerInchY() { return GetDeviceCaps(ScopedWindowDC(nullptr), LOGPIXELSY); }

void WinPadWindow::ReplacePadFont(const TLogFont& font) {
  // The old font goes first, as the settings load has always done; it is selected nowhere.
  font_.Reset();
  LOGFONTA logFont;
  std::memset(&logFont, 0, sizeof(logFont));
  logFont.lfHeight = font.Height;
  logFont.lfWeight = font.Weight;
  logFont.lfItalic = font.Italic;
  static_assert(sizeof(logFont.lfFaceName) == sizeof(font.FaceName), "face name buffers match");
  std::memcpy(logFont.lfFaceName, font.FaceName, sizeof(logFont.lfFaceName));
  logFont.lfFaceName[sizeof(logFont.lfFaceName) - 1] = 0;
  font_.Reset(CreateFontIndirectA(&logFont));
}

int WinPadWindow::MenuBarHeight(int dpi) {
  if (dpi == 0 || systemMetricsForDpi_ == nullptr) return GetSystemMetrics(SM_CYMENU);
  return systemMetricsForDpi_(SM_CYMENU, static_cast<UINT>(dpi));
}

int WinPadWindow::MonitorDpiAt(TPoint point) {
  // Without the metrics for a DPI the pad cannot be laid out for one: the screen's DPI then.
  // The DPI type 0 is MDT_EFFECTIVE_DPI, the one the user's scale sets.
  UINT dpiX = 0, dpiY = 0;
  if (systemMetricsForDpi_ == nullptr || dpiForMonitor_ == nullptr ||
      dpiForMonitor_(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST), 0, &dpiX, &dpiY) != S_OK)
    return 0;
  return static_cast<int>(dpiY);
}

TRect WinPadWindow::ScreenRect() {
  RECT r{0, 0, 0, 0};
  GetWindowRect(window_, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect WinPadWindow::ClientRect() {
  RECT r{0, 0, 0, 0};
  GetClientRect(window_, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

void WinPadWindow::Resize(int width, int height) {
  SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);
  // The calc edit row changes from transparent to background with the mode, so the whole
  // pad is composed again, not just the strip the resize uncovered.
  InvalidateRect(window_, nullptr, TRUE);
}

void WinPadWindow::Move(int left, int top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void WinPadWindow::PlaceOnTop(int left, int top, int width, int height) {
  SetWindowPos(window_, HWND_TOP, left, top, width, height, SWP_NOACTIVATE);
}

void WinPadWindow::ShowNoActivate() { ShowWindow(window_, SW_SHOWNA); }

void WinPadWindow::Hide() { ShowWindow(window_, SW_HIDE); }

bool WinPadWindow::IsVisible() { return IsWindowVisible(window_) != FALSE; }

void WinPadWindow::CaptureMouse() { SetCapture(window_); }

void WinPadWindow::ReleaseMouse() { ReleaseCapture(); }

bool WinPadWindow::TrackLeave() {
  if (!TrackMouseEvent(&leaveTrack_)) return false;
  // Wine takes the request but never answers it when the pointer has already left the
  // pad, and the last key would keep its hover colour for good. A leave posted here when
  // the pointer is elsewhere (and not captured by a press) is at worst a second one.
  POINT cursor;
  if (GetCapture() != window_ && GetCursorPos(&cursor) && WindowFromPoint(cursor) != window_) {
    PostMessageA(window_, WM_MOUSELEAVE, 0, 0);
  }
  return true;
}

void WinPadWindow::SetPointerShape(bool hand) { SetCursor(LoadCursorA(nullptr, hand ? IDC_HAND : IDC_ARROW)); }

void WinPadWindow::SetClassArrowCursor(bool arrow) {
  HCURSOR wanted = arrow ? LoadCursorA(nullptr, IDC_ARROW) : nullptr;
  if (reinterpret_cast<HCURSOR>(GetClassLongPtrA(window_, GCLP_HCURSOR)) != wanted) {
    SetClassLongPtrA(window_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(wanted));
  }
}

void WinPadWindow::Beep() { MessageBeep(0); }

bool WinPadWindow::CursorPos(TPoint& position) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  position.x = p.x;
  position.y = p.y;
  return true;
}

namespace {

constexpr UINT kSampleMs = 10;
// The backup tick: at most 2 a second, and the system may put it off by up to a fifth of
// that to serve it together with other timers.
constexpr UINT kBackupMs = 500;
constexpr ULONG kBackupToleranceMs = 100;

// The mouse as a raw input device (HID usage page 1, generic desktop; usage 2, mouse).
RAWINPUTDEVICE RawMouse(DWORD flags, HWND target) {
  RAWINPUTDEVICE mouse{};
  mouse.usUsagePage = 1;
  mouse.usUsage = 2;
  mouse.dwFlags = flags;
  mouse.hwndTarget = target;
  return mouse;
}

}  // namespace

bool WinPadWindow::StartSampleTimer() { return SetTimer(window_, kSampleTimerId, kSampleMs, nullptr) != 0; }

void WinPadWindow::StopSampleTimer() { KillTimer(window_, kSampleTimerId); }

bool WinPadWindow::WatchMouseInput() {
  // WM_INPUT to the pad; RIDEV_INPUTSINK: also while another application is in front, which
  // needs the target.
  RAWINPUTDEVICE mouse = RawMouse(RIDEV_INPUTSINK, window_);
  return RegisterRawInputDevices(&mouse, 1, sizeof(mouse)) != FALSE;
}

void WinPadWindow::UnwatchMouseInput() {
  RAWINPUTDEVICE mouse = RawMouse(RIDEV_REMOVE, nullptr);
  RegisterRawInputDevices(&mouse, 1, sizeof(mouse));
}

bool WinPadWindow::StartBackupTimer() {
  if (setCoalescableTimer_ == nullptr) return SetTimer(window_, kBackupTimerId, kBackupMs, nullptr) != 0;
  return setCoalescableTimer_(window_, kBackupTimerId, kBackupMs, nullptr, kBackupToleranceMs) != 0;
}

void WinPadWindow::StopBackupTimer() { KillTimer(window_, kBackupTimerId); }
