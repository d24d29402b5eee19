#include "app/PadWndProcWin.h"

#include "app/PadProc.h"
#include "app/PaintContextWin.h"
#include "base/X87.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "numtext/NumText.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "settings/Settings.h"

WinPadWindow ThePad;

namespace {

void Paint(HWND window, PaintContext& context) {
  UpdateCellMetrics(ThePad);
  FitWindowToMode(ThePad);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  context.UseDC(dc);
  struct EndPaintGuard {
    HWND window;
    PAINTSTRUCT* ps;
    PaintContext& context;
    ~EndPaintGuard() {
      context.ForgetDC();
      EndPaint(window, ps);
    }
  } guard{window, &ps, context};
  DrawPadContents(context, TRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, PaintContext& context) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // A click must leave the keyboard focus with the application the keys are for.
      return MA_NOACTIVATE;
    case WM_PAINT: Paint(window, context); return 0;
    case WM_ERASEBKGND: EraseBackground(window, reinterpret_cast<HDC>(wParam)); return 1;
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
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  {
    PaintContext context = PaintContext::ForDC(memory);
    DrawBackground(context, TRect{client.left, client.top, client.right, client.bottom});
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
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

HWND CreatePad(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = 0;
  windowClass.lpfnWndProc = PadWindowProc;
  windowClass.hInstance = instance;
  // Without a class cursor the pointer code sets the hand over keys itself.
  windowClass.hCursor = UseHandCursor ? nullptr : LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  windowClass.lpszClassName = "KWIXWnd";
  RegisterClassA(&windowClass);

  HWND pad = CreateWindowExA(kPadExStyle, "KWIXWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  // The colour key is taken once; a MaskColor edited later changes only the fill.
  SetLayeredWindowAttributes(pad, MaskColor, 128, LWA_COLORKEY | LWA_ALPHA);
  ThePad.Attach(pad);
  if (Kernel) {
    Kernel->OnChange = [pad](TSmplCalcKrnl&) { SendMessageA(pad, WM_USER, 0, 0); };
  }
  SetTimer(pad, 0, 10, nullptr);
  return pad;
}

int RunKwix(HINSTANCE instance) {
  // Exceptions stay masked: an unmasked floating-point trap would end the process.
  SetX87ControlWord(kStandingControlWord);
  SetKeyCaptions();

  // One copy per log-on: a second one ends at once, silently, before reading anything.
  HANDLE running = CreateMutexA(nullptr, TRUE, "KWIX_Running");
  if (WaitForSingleObject(running, 0) != WAIT_OBJECT_0) return 0;

  LoadSettings(ThePad);
  {
    // The separator is a byte of the system code page; the caption is wide text.
    char separator = LocaleDecimalSeparator();
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, 0, &separator, 1, &wide, 1) == 1) {
      SetDecimalKeyCaption(static_cast<char16_t>(wide));
    } else {
      SetDecimalKeyCaption(separator);
    }
  }

  static TSmplCalcKrnl kernel;
  Kernel = &kernel;
  KeyBridge = &SystemBridge();

  CreatePad(instance);
  SeedPadRandom(GetTickCount());

  MSG message;
  // GetMessage's -1 (an error) must not spin the loop for ever.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
