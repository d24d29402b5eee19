#include "app/PadWndProcWin.h"

#include "app/PadProc.h"
#include "app/PadWindowWin.h"
#include "app/PaintContextWin.h"
#include "base/ScopedWin.h"
#include "bridge/Bridge.h"
#include "pad/Drawing.h"

namespace {

TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

void Paint(const WinKwix& kwix) {
  ScopedPaint paint(kwix.Pad.Handle());
  PaintContext context(paint.DC(), kwix.Pad, kwix.State.Settings);
  PaintPad(kwix.State, context, ToTRect(paint.Area()));
}

// The background erase: composed off-screen and copied in one BitBlt, so no flicker.
void EraseBackground(const WinKwix& kwix, HDC dc) {
  RECT client{0, 0, 0, 0};
  GetClientRect(kwix.Pad.Handle(), &client);
  ScopedMemoryDC memory(dc, client.right, client.bottom);
  {
    PaintContext context(static_cast<HDC>(memory), kwix.Pad, kwix.State.Settings);
    DrawBackground(kwix.State.Layout, kwix.State.Settings, context, ToTRect(client));
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT Dispatch(WinKwix& kwix, HWND window, UINT message, WPARAM wParam, LPARAM lParam, PaintContext& context) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // A click must leave the keyboard focus with the application the keys are for.
      return MA_NOACTIVATE;
    case WM_PAINT: Paint(kwix); return 0;
    case WM_ERASEBKGND: EraseBackground(kwix, reinterpret_cast<HDC>(wParam)); return 1;
    case WM_TIMER: HandlePadTimer(kwix.State, kwix.Pad, wParam); return 0;
    // A pasted result the pad only offered is read, or the pad ends before it has been.
    case WM_RENDERFORMAT: kwix.State.Calc.KeyBridge.RenderFormat(static_cast<unsigned>(wParam)); return 0;
    case WM_RENDERALLFORMATS: kwix.State.Calc.KeyBridge.RenderAllFormats(); return 0;
    case WM_DPICHANGED:
      // The suggested rectangle is not taken: the pad keeps the point under the pointer.
      HandleDpiChange(kwix.State, kwix.Pad, HIWORD(wParam));
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    default: break;
  }
  TPoint point = PointFromLParam(lParam);
  if (message == WM_MOUSEWHEEL) {
    // The wheel message carries a screen point; the pointer stage works in client points.
    POINT p{point.x, point.y};
    ScreenToClient(window, &p);
    point = TPoint{p.x, p.y};
  }
  if (HandlePadMessage(kwix.State, context, kwix.Pad, message, point)) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

// The program behind the window, which keeps it from WM_NCCREATE on; none before.
WinKwix* KwixOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* kwix = static_cast<WinKwix*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (kwix != nullptr) kwix->Pad.Attach(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(kwix));
  }
  return reinterpret_cast<WinKwix*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WinKwix* kwix = KwixOf(window, message, lParam);
  if (kwix == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // The call's device context, taken on first use and released when the call ends.
  PaintContext context(kwix->Pad, kwix->State.Settings);
  try {
    return Dispatch(*kwix, window, message, wParam, lParam, context);
  } catch (...) {
    // Nothing may unwind into the system's message dispatch; the pad carries on.
    return 0;
  }
}
