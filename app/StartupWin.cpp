#include "app/StartupWin.h"

#include <string>

#include "app/CommandLine.h"
#include "app/PadProc.h"
#include "app/PadWindowWin.h"
#include "app/PadWndProcWin.h"
#include "app/SingleInstance.h"
#include "base/X87.h"
#include "bridge/Bridge.h"
#include "bridge/BridgeWin.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "numtext/NumText.h"
#include "pad/Drawing.h"
#include "settings/Settings.h"

static_assert(kPadExStyle == 0x08080008, "the pad's extended style");

HWND CreatePad(HINSTANCE instance, WinKwix& kwix) {
  WNDCLASSA windowClass{};
  windowClass.style = 0;
  windowClass.lpfnWndProc = PadWindowProc;
  windowClass.hInstance = instance;
  // Without a class cursor the pointer code sets the hand over keys itself.
  windowClass.hCursor = kwix.State.Settings.UseHandCursor ? nullptr : LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
  windowClass.lpszClassName = "KWIXWnd";
  RegisterClassA(&windowClass);

  HWND pad = CreateWindowExA(kPadExStyle, "KWIXWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, &kwix);
  // The colour key is taken once; a MaskColor edited later changes only the fill.
  SetLayeredWindowAttributes(pad, kwix.State.Settings.MaskColor, 128, LWA_COLORKEY | LWA_ALPHA);
  kwix.State.Calc.Kernel.OnChange = [pad](TSmplCalcKrnl&) { SendMessageA(pad, WM_USER, 0, 0); };
  kwix.Pad.StartSampleTimer();
  return pad;
}

namespace {

// The pad of the copy that owns the mutex; one that has only just started may not have
// created it yet.
HWND FindRunningPad() {
  for (int tries = 0; tries < 40; ++tries) {
    if (HWND pad = FindWindowA("KWIXWnd", nullptr)) return pad;
    Sleep(50);
  }
  return nullptr;
}

constexpr char kMutexName[] = "KWIX_Running";

// A mutex that could not be made or opened, from the reason the system gives.
MutexAnswer Unmade(DWORD error) { return error == ERROR_ACCESS_DENIED ? MutexAnswer::Denied : MutexAnswer::Failed; }

class WinInstanceHost : public InstanceHost {
 public:
  MutexAnswer ClaimMutex() override {
    *mutex_.Receive() = CreateMutexA(nullptr, TRUE, kMutexName);
    if (!mutex_) return Unmade(GetLastError());
    const DWORD wait = WaitForSingleObject(mutex_, 0);
    if (wait == WAIT_OBJECT_0) return MutexAnswer::Ours;
    if (wait == WAIT_ABANDONED) return MutexAnswer::Abandoned;
    mutex_.Close();
    return wait == WAIT_TIMEOUT ? MutexAnswer::Held : MutexAnswer::Failed;
  }

  MutexAnswer LookUpMutex() override {
    ScopedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
    if (mutex) return MutexAnswer::Held;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? MutexAnswer::Missing : Unmade(error);
  }

  int PassOn(Command command) override {
    HWND pad = FindRunningPad();
    if (!pad) return 1;
    if (command == Command::Toggle) return PostMessageA(pad, msg::Toggle, 0, 0) ? 0 : 1;
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(pad, &processId);
    ScopedHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!PostThreadMessageA(threadId, WM_QUIT, 0, 0)) return 1;
    // A script that replaces kwix.exe next needs the file free: wait until the copy has gone.
    return !process || WaitForSingleObject(process, 5000) == WAIT_OBJECT_0 ? 0 : 1;
  }

 private:
  // This copy's mutex, owned for as long as it runs.
  ScopedHandle mutex_;
};

}  // namespace

int RunKwix(HINSTANCE instance) {
  // Exceptions stay masked: an unmasked floating-point trap would end the process.
  SetX87ControlWord(kStandingControlWord);

  const std::string argument = FirstArgument(GetCommandLineA());
  const Command command = ReadSwitch(argument);
  if (command == Command::Help || command == Command::Unknown) {
    const bool help = command == Command::Help;
    const std::string text = help ? kUsageText : "Unknown switch: " + argument + "\n\n" + kUsageText;
    MessageBoxA(nullptr, text.c_str(), "KWIX", MB_OK | (help ? MB_ICONINFORMATION : MB_ICONWARNING));
    return help ? 0 : 2;
  }

  // One copy per log-on: a second one hands its command on and ends, before reading anything.
  WinInstanceHost system;
  const StartDecision start = DecideStart(command, system);
  if (!start.run) return start.exitCode;

  // The locale's number format is read once, now, never during a grab.
  Win32Bridge bridge;
  WinKwix kwix(bridge.bridge, ReadLocaleNumberFormat());
  const char separator = kwix.State.Format.LocaleDecimalSeparator;
  kwix.State.Settings = LoadSettings(separator);
  // At the screen's DPI; each showing fits the font to its monitor.
  FitPadFont(kwix.State.MadeFont, kwix.State.Settings, kwix.Pad, 0);
  // The separator is a byte of the system code page; the caption is wide text.
  wchar_t wide = 0;
  if (MultiByteToWideChar(CP_ACP, 0, &separator, 1, &wide, 1) != 1) wide = static_cast<unsigned char>(separator);
  SetDecimalKeyCaption(static_cast<char16_t>(wide));

  HWND pad = CreatePad(instance, kwix);
  bridge.Attach(pad, kPutBackTimerId);
  // /toggle from a copy that is not elevated reaches an elevated one: it only shows or hides
  // the pad. Ending it stays with programs of its own level, as the system filters WM_QUIT.
  ChangeWindowMessageFilterEx(pad, msg::Toggle, MSGFLT_ALLOW, nullptr);
  SeedPadRandom(GetTickCount());
  if (start.showPad) SendMessageA(pad, msg::Toggle, 0, 0);

  MSG message;
  // GetMessage's -1 (an error) must not spin the loop for ever.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  // A result only offered stays on the clipboard after the pad.
  kwix.State.Calc.KeyBridge.RenderAllFormats();
  // The window outlives the program's state, which ends here.
  SetWindowLongPtrA(pad, GWLP_USERDATA, 0);
  return 0;
}
