#include "app/StartupWin.h"

#include "app/PadWindowWin.h"
#include "app/PadWndProcWin.h"
#include "base/X87.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "numtext/NumText.h"
#include "pad/Drawing.h"
#include "settings/Settings.h"

static_assert(kPadExStyle == 0x08080008, "the pad's extended style");

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
  Kernel.OnChange = [pad](TSmplCalcKrnl&) { SendMessageA(pad, WM_USER, 0, 0); };
  ThePad.StartSampleTimer();
  return pad;
}

int RunKwix(HINSTANCE instance) {
  // Exceptions stay masked: an unmasked floating-point trap would end the process.
  SetX87ControlWord(kStandingControlWord);

  // One copy per log-on: a second one ends at once, silently, before reading anything.
  HANDLE running = CreateMutexA(nullptr, TRUE, "KWIX_Running");
  if (WaitForSingleObject(running, 0) != WAIT_OBJECT_0) return 0;

  LoadSettings(ThePad);
  // The separator is a byte of the system code page; the caption is wide text.
  char separator = LocaleDecimalSeparator();
  wchar_t wide = 0;
  if (MultiByteToWideChar(CP_ACP, 0, &separator, 1, &wide, 1) != 1) wide = static_cast<unsigned char>(separator);
  SetDecimalKeyCaption(static_cast<char16_t>(wide));
  LocaleGroupingSeparator();  // fetched once now, like the decimal separator, not during a grab

  KeyBridge = &SystemBridge();
  CreatePad(instance);
  SeedPadRandom(GetTickCount());

  MSG message;
  // GetMessage's -1 (an error) must not spin the loop for ever.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
