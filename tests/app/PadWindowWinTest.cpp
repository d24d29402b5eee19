// The real pad window under Windows: its class and styles, the colour key, the single
// instance, and the background and keys drawn into a memory bitmap, checked pixel by pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PadWndProcWin.h"
#include "app/PaintContextWin.h"
#include "calc/KeyTable.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// A 32-bit top-down bitmap selected into a memory DC, readable pixel by pixel.
class Bitmap {
 public:
  Bitmap(int width, int height) : width_(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Bitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  // As a COLORREF, 0x00BBGGRR.
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

class PadWindowWinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetKeyCaptions();
    SetDecimalKeyCaption('.');
    LoadSettingsFrom("Z:\\nonexistent\\kwix.ini", ThePad);
    pad = CreatePad(GetModuleHandleA(nullptr));
  }
  void SetUp() override {
    LoadSettingsFrom("Z:\\nonexistent\\kwix.ini", ThePad);
    CalcMode = false;
    HotValid = Pressed = false;
    UpdateCellMetrics(ThePad);
    TSize size = PadSize();
    SetWindowPos(pad, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  static HWND pad;
};

HWND PadWindowWinTest::pad = nullptr;

TEST_F(PadWindowWinTest, ClassAndStylesReadBackFromTheRealWindow) {
  ASSERT_NE(pad, nullptr);
  char name[32] = {};
  GetClassNameA(pad, name, sizeof(name));
  EXPECT_STREQ(name, "KWIXWnd");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(pad, GWL_EXSTYLE)) & 0x08080008u, 0x08080008u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(pad, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE | WS_CAPTION),
            static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(GetClassLongPtrA(pad, GCL_STYLE), 0);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(pad, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(pad, GCLP_HBRBACKGROUND)), GetStockObject(DC_BRUSH));
  EXPECT_FALSE(IsWindowVisible(pad));
  EXPECT_EQ(GetWindowTextLengthA(pad), 0);

  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(pad, &key, &alpha, &flags));
  EXPECT_EQ(key, 0xFF00FFu);
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

TEST_F(PadWindowWinTest, AClickNeverActivatesThePad) {
  EXPECT_EQ(SendMessageA(pad, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(pad), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
}

TEST_F(PadWindowWinTest, BackgroundIsMaskColourAroundARoundedBox) {
  PenColor = 0x00C0C0C0;
  BGColor = 0x00204080;
  MaskColor = 0x00FF00FF;
  const int width = PadSize().width;
  const int height = PadSize().height;
  Bitmap bitmap(width, height);
  EraseBackground(pad, bitmap.dc());

  struct Probe {
    const char* what;
    int x, y;
    int32_t expected;
  };
  const Probe keypad[] = {
      {"calc edit row, transparent in keypad mode", width / 2, RowHeight / 2, MaskColor},
      {"top left corner, outside the rounded box", 0, RowHeight, MaskColor},
      {"bottom right corner", width - 1, height - 1, MaskColor},
      {"inside the background", 2, height / 2, BGColor},
      {"left outline", 0, height / 2, PenColor},
      {"top outline below the calc edit row", width / 2, RowHeight, PenColor},
      {"bottom outline", width / 2, height - 1, PenColor},
  };
  for (const auto& p : keypad) EXPECT_EQ(bitmap.At(p.x, p.y), static_cast<COLORREF>(p.expected)) << p.what;

  CalcMode = true;
  UpdateCellMetrics(ThePad);
  Bitmap calc(PadSize().width, height);
  SetWindowPos(pad, nullptr, 0, 0, PadSize().width, height, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  EraseBackground(pad, calc.dc());
  EXPECT_EQ(calc.At(PadSize().width / 2, 2), static_cast<COLORREF>(BGColor))
      << "calculator mode covers the calc edit row";
  EXPECT_EQ(calc.At(PadSize().width / 2, 0), static_cast<COLORREF>(PenColor));
}

TEST_F(PadWindowWinTest, KeysAreDrawnInTheirStateColours) {
  PenColor = 0x00C0C0C0;
  BtnColor = 0x00000080;
  BtnHoverColor = 0x00008000;
  BtnCornerCurveX = BtnCornerCurveY = 0;  // square keys: every corner pixel is outline
  const int width = PadSize().width;
  const int height = PadSize().height;
  Bitmap bitmap(width, height);
  HotCol = 1;
  HotRow = 2;
  HotValid = true;
  {
    PaintContext context = PaintContext::ForDC(bitmap.dc());
    DrawPadContents(context, TRect{0, 0, width, height});
  }
  TRect plain = KeyRect(0, 1);
  TRect hot = KeyRect(1, 2);
  EXPECT_EQ(bitmap.At(plain.left, plain.top), static_cast<COLORREF>(PenColor)) << "outline";
  EXPECT_EQ(bitmap.At(plain.left + 1, plain.top + 1), static_cast<COLORREF>(BtnColor)) << "plain key";
  EXPECT_EQ(bitmap.At(hot.left + 1, hot.top + 1), static_cast<COLORREF>(BtnHoverColor)) << "key under the pointer";
  // Some caption pixels of the plain key are in the caption colour.
  int captionPixels = 0;
  for (int y = plain.top + 1; y < plain.bottom - 1; ++y) {
    for (int x = plain.left + 1; x < plain.right - 1; ++x)
      captionPixels += bitmap.At(x, y) == static_cast<COLORREF>(BtnTextColor);
  }
  EXPECT_GT(captionPixels, 3);

  Pressed = true;
  {
    PaintContext context = PaintContext::ForDC(bitmap.dc());
    DrawKey(context, 1, 2);
  }
  COLORREF held = bitmap.At(hot.left + 1, hot.top + 1);
  EXPECT_NE(held, static_cast<COLORREF>(BtnHoverColor));
  EXPECT_NE(held, static_cast<COLORREF>(BtnColor));
}

TEST(SingleInstance, ASecondCopyEndsAtOnceWithExitCodeZero) {
  std::string exe = WindowsPath(KWIX_EXE_PATH);
  auto start = [&](PROCESS_INFORMATION& pi) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::vector<char> command(exe.begin(), exe.end());
    command.push_back(0);
    return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
  };
  PROCESS_INFORMATION first{};
  ASSERT_TRUE(start(first)) << exe;
  // The first copy is running once its pad window exists.
  HWND firstPad = nullptr;
  for (int i = 0; i < 200 && !firstPad; ++i) {
    Sleep(25);
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "KWIXWnd", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == first.dwProcessId) firstPad = w;
    }
  }
  ASSERT_NE(firstPad, nullptr);

  for (int copy = 0; copy < 2; ++copy) {
    PROCESS_INFORMATION second{};
    ASSERT_TRUE(start(second));
    DWORD started = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 5000), WAIT_OBJECT_0);
    EXPECT_LT(GetTickCount() - started, 1000u);
    DWORD code = 1;
    GetExitCodeProcess(second.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(second.hThread);
    CloseHandle(second.hProcess);
  }
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first copy goes on";
  EXPECT_TRUE(IsWindow(firstPad));
  // The first copy ends when its message loop receives WM_QUIT, with exit code 0.
  PostThreadMessageA(first.dwThreadId, WM_QUIT, 0, 0);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 5000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(first.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(first.hThread);
  CloseHandle(first.hProcess);
}

}  // namespace
