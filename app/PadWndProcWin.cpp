#include "app/PadWndProcWin.h"

#include "app/PadProc.h"
#include "app/PadWindowWin.h"
#include "app/PaintContextWin.h"
#include "base/ScopedWin.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"

namespace {

TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

void Paint(HWND window) {
  UpdateCellMetrics(ThePad, PadDpi);
  FitWindowToMode(ThePad);
  ScopedPaint paint(window);
  PaintContext context(paint.DC());
  PaintPad(context, ToTRect(paint.Area()));
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, PaintContext& context) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // A click must leave the keyboard focus with the application the keys are for.
      return MA_NOACTIVATE;
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: EraseBackground(window, reinterpret_cast<HDC>(wParam)); return 1;
    case WM_TIMER: HandlePadTimer(ThePad, wParam); return 0;
    // A pasted result the pad only offered is read, or the pad ends before it has been.
    case WM_RENDERFORMAT: KeyBridge->RenderFormat(static_cast<unsigned>(wParam)); return 0;
    case WM_RENDERALLFORMATS: KeyBridge->RenderAllFormats(); return 0;
    case WM_DPICHANGED:
      // The suggested rectangle is not taken: the pad keeps the point under the pointer.
      HandleDpiChange(ThePad, HIWORD(wParam));
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
  if (HandlePadMessage(context, ThePad, message, point)) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void EraseBackground(HWND window, HDC dc) {
  RECT client{0, 0, 0, 0};
  GetClientRect(window, &client);
  ScopedMemoryDC memory(dc, client.right, client.bottom);
  {
    PaintContext context(static_cast<HDC>(memory));
    DrawBackground(context, ToTRect(client));
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT CALLBACK PadWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The call's device context, taken on first use and released when the call ends.
  PaintContext context(window);
  try {
    return Dispatch(window, message, wParam, lParam, context);
  } catch (...) {
    // Nothing may unwind into the system's message dispatch; the pad carries on.
    return 0;
  }
}
