// The pad under metrics no sane desktop has: a menu-bar height of 0 (what GetSystemMetrics
// returns when it fails), negative or huge, and a font so large in the settings file that
// not one character fits the calc edit. Everything the pad does (showing, pointer input in
// both modes, every key, the display refresh, painting, the sampler) must still end, crash
// nothing and divide nothing by zero.
#include <gtest/gtest.h>

#include <cfenv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "FakePad.h"
#include "app/PadProc.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "gesture/Gesture.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

// A settings file with a 2000-point font among the system's temporary files.
class HugeFontFile {
 public:
  HugeFontFile() {
    const auto unique = std::chrono::steady_clock::now().time_since_epoch().count() ^ reinterpret_cast<intptr_t>(this);
    path_ = (std::filesystem::temp_directory_path() / ("kwix-huge-font-" + std::to_string(unique) + ".ini")).string();
    std::ofstream(path_, std::ios::binary)
        << "FontSize=2000\r\nFontFace=Verdana\r\nCalcEditCornerCurveX=2147483647\r\n";
  }
  ~HugeFontFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class HostileMetricsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    SetKeyCaptions();
    SetDecimalKeyCaption('.');
    CalcMode = false;
    HotCol = HotRow = 0;
    HotValid = Pressed = false;
    PrevHotCol = PrevHotRow = 0;
    PrevHotValid = PrevPressed = false;
    Tracking = false;
    DisplayText.clear();
    TrailCount = StillTicks = 0;
    window.menuBarHeight = GetParam();
    // Every character is wider than any calc edit the settings can give.
    canvas.charWidth = 1 << 24;
    kernel.OnChange = [this](TSmplCalcKrnl&) { DispatchPadMessage(canvas, window, msg::User); };
    Kernel = &kernel;
    KeyBridge = &bridge;
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override {
    Kernel = nullptr;
    KeyBridge = nullptr;
  }

  // Points over the whole pad and around it, whatever its size.
  std::vector<TPoint> Points() const {
    std::vector<TPoint> points;
    for (int y : {-32768, -1, 0, 1, 5, 6, 17, 30, 60, 100, 1000, 32767}) {
      for (int x : {-32768, -1, 0, 1, 5, 6, 20, 40, 90, 1000, 32767}) points.push_back(TPoint{x, y});
    }
    return points;
  }

  HugeFontFile file;
  FakePadWindow window;
  RecordingCanvas canvas;
  FakeTarget target;
  Bridge bridge{target, target, target, target};
  TSmplCalcKrnl kernel;
};

TEST_P(HostileMetricsTest, ThePadShowsTakesInputAndCalculatesWithoutFaults) {
  // Showing reads the settings file beside the test program (there is none); the huge
  // font comes from the test's own file after it.
  ShowPadAt(window, TPoint{500, 400});
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(RowHeight, GetParam());
  LoadSettingsFrom(file.Path(), window);
  ASSERT_EQ(FontSize, 2000) << "the settings file was not read";

  // The pointer everywhere, in both modes, with every button.
  for (int mode = 0; mode < 2; ++mode) {
    for (const TPoint& p : Points()) {
      for (uint32_t m : {msg::MouseMove, msg::LButtonDown, msg::MouseMove, msg::LButtonUp}) {
        HandlePadMessage(canvas, window, m, p);
      }
    }
    HandlePadMessage(canvas, window, msg::MouseLeave, TPoint{});
    HandlePadMessage(canvas, window, msg::MButtonDown, TPoint{20, 40});  // the mode switch refreshes the display
    EXPECT_EQ(CalcMode, mode == 0);
  }
  ASSERT_FALSE(CalcMode);
  HandlePadMessage(canvas, window, msg::MButtonDown, TPoint{20, 40});
  ASSERT_TRUE(CalcMode);

  // Every key: no digit fits the calc edit, so each beeps and changes nothing; the
  // operators and "=" still drive the kernel and the paste.
  const int beepsBefore = window.beeps;
  for (int row = 1; row <= 4; ++row) {
    for (int col = 0; col <= 3; ++col) KeyAction(canvas, window, KeyAt(col, row));
  }
  EXPECT_EQ(window.beeps - beepsBefore, 11) << "ten digits and the separator, none of which fits";
  EXPECT_FALSE(target.pasted.empty()) << "\"=\" pasted nothing";
  // Values whose every text is too wide end the display's search too.
  for (Extended v : {Extended(1) / 3, Extended(1e300L), -Extended(0)}) {
    kernel.Reset(v);
    EXPECT_FALSE(DisplayText.empty());
  }

  DrawBackground(canvas, window.ClientRect());
  DrawPadContents(canvas, TRect{-100000, -100000, 100000, 100000});
  // Two turns of a circle through the sampler: the pad hides, then shows again.
  for (int i = 0; i < 40; ++i) {
    const double a = i * 3.14159265358979 / 6;
    window.cursor = TPoint{300 + static_cast<int32_t>(std::lround(60 * std::sin(a))),
                           300 - static_cast<int32_t>(std::lround(60 * std::cos(a)))};
    SampleCursor(window);
  }
  EXPECT_TRUE(window.visible) << "two circles: hidden, then shown again";
  EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO)) << "a division by zero";
  EXPECT_FALSE(std::fetestexcept(FE_INVALID)) << "an invalid operation (0/0, a NaN compared)";
}

INSTANTIATE_TEST_SUITE_P(MenuBarHeights, HostileMetricsTest, ::testing::Values(0, -1, 1, 1000000),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param < 0 ? std::string("Minus") + std::to_string(-info.param)
                                                 : std::to_string(info.param);
                         });

}  // namespace
