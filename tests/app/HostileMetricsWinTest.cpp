// The real pad window and real GDI under a menu-bar height of 0 (and other impossible
// ones, through a stand-in for the metric) with a 2000-point font from a settings file:
// showing, pointer input in both modes, every key, display refreshes and painting all end,
// and the window procedure still paints with that font.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/PadProc.h"
#include "app/PadWindowWin.h"
#include "app/PadWndProcWin.h"
#include "app/PaintContextWin.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "gesture/Gesture.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

// The real window's calls with the menu-bar height of our choosing.
class MetricPad : public WinPadWindow {
 public:
  int metric = 0;
  int MenuBarHeight() override { return metric; }
};

std::string TempIni() {
  char folder[MAX_PATH] = {};
  char name[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "kwx", 0, name);
  FILE* f = std::fopen(name, "wb");
  if (f) {
    std::fputs("FontSize=2000\r\nBoldFont=yes\r\n", f);
    std::fclose(f);
  }
  return name;
}

TEST(HostileMetricsWin, ZeroMenuBarAndAHugeFontOnTheRealWindow) {
  const std::string ini = TempIni();
  SetKeyCaptions();
  SetDecimalKeyCaption('.');
  LoadSettingsFrom("Z:\\nonexistent\\kwix.ini", ThePad);
  HWND hwnd = CreatePad(GetModuleHandleA(nullptr));
  ASSERT_NE(hwnd, nullptr);
  MetricPad pad;
  pad.Attach(hwnd);
  TSmplCalcKrnl kernel;
  Kernel = &kernel;
  KeyBridge = nullptr;  // no keystrokes into whatever this desktop has in front
  kernel.OnChange = [&](TSmplCalcKrnl&) {
    // As the program's own notification does: a nested call with its own device context.
    PaintContext nested(hwnd);
    DispatchPadMessage(nested, pad, msg::User);
  };

  const auto start = std::chrono::steady_clock::now();
  for (int metric : {0, -1, 1, 100000}) {
    pad.metric = metric;
    ShowPadAt(pad, TPoint{300, 300});  // defaults: this test program has no settings file
    LoadSettingsFrom(ini, pad);
    ASSERT_EQ(FontSize, 2000);
    ASSERT_NE(PadFont, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "menu bar " << metric;
    {
      PaintContext context(hwnd);
      for (int x : {-5, 0, 5, 20, 60}) {
        for (int y : {-5, 0, 5, 30, 90}) {
          for (uint32_t m : {msg::MouseMove, msg::LButtonDown, msg::LButtonUp}) {
            HandlePadMessage(context, pad, m, TPoint{x, y});
          }
        }
      }
      HandlePadMessage(context, pad, msg::MButtonDown, TPoint{10, 10});
      ASSERT_TRUE(CalcMode);
      const std::string shown = DisplayText;
      EXPECT_FALSE(shown.empty()) << "menu bar " << metric;
      for (int row = 1; row <= 4; ++row) {
        for (int col = 0; col <= 3; ++col) KeyAction(context, pad, KeyAt(col, row));
      }
      for (Extended v : {Extended(1) / 3, Extended(-1e300L), Extended(0)}) kernel.Reset(v);
      DrawPadContents(context, TRect{-1000, -1000, 100000, 100000});
      HandlePadMessage(context, pad, msg::MouseLeave, TPoint{});
      HandlePadMessage(context, pad, msg::MButtonDown, TPoint{10, 10});
    }
    // The real window procedure paints with the huge font too.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    MSG message;
    while (PeekMessageA(&message, hwnd, 0, 0, PM_REMOVE)) {
      if (message.message != WM_TIMER) DispatchMessageA(&message);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20.0) << "the hostile metrics slowed the pad down";
  ShowWindow(hwnd, SW_HIDE);
  Kernel = nullptr;
  DeleteFileA(ini.c_str());
}

}  // namespace
