#include "pad/Geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "pad/PadState.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

// Failure messages show rectangles as GDI writes them.
static void PrintTo(const TRect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// Only the metric, the client size and the resizing matter to the geometry.
class SizingWindow : public PadWindow {
 public:
  int menuBarHeight = 20;
  TRect client;
  std::vector<TSize> resizes;

  int ScreenPixelsPerInchY() override { return 96; }
  void ReplacePadFont(const TLogFont&) override {}
  int MenuBarHeight() override { return menuBarHeight; }
  TRect ClientRect() override { return client; }
  void Resize(int width, int height) override { resizes.push_back(TSize{width, height}); }
  void Move(int, int) override {}
  void PlaceOnTop(int, int, int, int) override {}
  void ShowNoActivate() override {}
  void Hide() override {}
  bool IsVisible() override { return true; }
  bool CursorPos(TPoint&) override { return false; }
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  bool TrackLeave() override { return true; }
  void SetPointerShape(bool) override {}
  void SetClassArrowCursor(bool) override {}
  void Beep() override {}
};

class Geometry : public ::testing::Test {
 protected:
  // The default look, on a system whose menu bar is 20 pixels high.
  void SetUp() override {
    Margin = 5;
    BtnMargin = 1;
    CalcEditBottomMargin = 3;
    CalcEditCornerCurveX = 5;
    CalcMode = false;
    UseMenuBar(20);
  }
  void TearDown() override { CalcMode = false; }

  void UseMenuBar(int height) {
    window.menuBarHeight = height;
    UpdateCellMetrics(window);
  }

  SizingWindow window;
};

TEST_F(Geometry, WorkedSizesForAMenuBarOf20) {
  EXPECT_EQ(RowHeight, 20);
  EXPECT_EQ(ColWidth, 27) << "80 / 3 rounds to nearest";
  EXPECT_EQ(KeyRect(0, 1), (TRect{6, 26, 31, 44}));
  EXPECT_EQ(CalcEditRect(), (TRect{5, 5, 113, 22}));
  EXPECT_EQ(CalcEditTextRect(), (TRect{8, 6, 110, 21}));

  TSize keypad = PadSize();
  EXPECT_EQ(keypad.width, 91);
  EXPECT_EQ(keypad.height, 110);
  CalcMode = true;
  TSize calculator = PadSize();
  EXPECT_EQ(calculator.width, 118);
  EXPECT_EQ(calculator.height, 110);
}

// Neighbouring keys are 2 × BtnMargin apart and the last column ends at the calc edit's
// right edge, inside the calculator pad.
TEST_F(Geometry, KeysTileTheGridInsideTheirMargins) {
  struct Case {
    int col, row;
    TRect expected;
  };
  const Case cases[] = {
      {0, 1, {6, 26, 31, 44}},
      {1, 1, {33, 26, 58, 44}},
      {1, 2, {33, 46, 58, 64}},
      {3, 4, {87, 86, 112, 104}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyRect(c.col, c.row), c.expected) << "key (" << c.col << ", " << c.row << ")";
  }
  BtnMargin = 0;
  EXPECT_EQ(KeyRect(3, 4).right, CalcEditRect().right);
}

TEST_F(Geometry, TextInsetIsTwoFifthsOfTheCornerCurveButAtLeast3) {
  struct Case {
    int curve, inset;
  };
  const Case cases[] = {{5, 3}, {0, 3}, {7, 3}, {8, 3}, {9, 4}, {20, 8}, {-20, 3}};
  for (const Case& c : cases) {
    CalcEditCornerCurveX = c.curve;
    TRect text = CalcEditTextRect();
    EXPECT_EQ(text.left, 5 + c.inset) << "corner curve " << c.curve;
    EXPECT_EQ(text.right, 113 - c.inset) << "corner curve " << c.curve;
    EXPECT_EQ(text.top, 6) << "corner curve " << c.curve;
    EXPECT_EQ(text.bottom, 21) << "corner curve " << c.curve;
  }
}

TEST_F(Geometry, CalcEditMayEndAboveItsTopWhenItsMarginExceedsTheRow) {
  CalcEditBottomMargin = 30;
  EXPECT_EQ(CalcEditRect(), (TRect{5, 5, 113, -5}));
  CalcMode = true;
  EXPECT_EQ(CalcEditRect(), (TRect{5, 5, 113, -5})) << "the calc edit is the same in both modes";
}

TEST_F(Geometry, CellAtFloorsAndKeysDependOnTheMode) {
  struct Case {
    const char* what;
    int x, y;
    int32_t col, row;
    bool keyInKeypad, keyInCalculator;
  };
  const Case cases[] = {
      {"grid origin", 5, 5, 0, 0, false, false},
      {"left of the origin", 4, 5, -1, 0, false, false},
      {"above the origin", 5, 4, 0, -1, false, false},
      {"client origin floors, not truncates", 0, 0, -1, -1, false, false},
      {"exactly one column left", -22, 25, -1, 1, false, false},
      {"one more pixel left", -23, 25, -2, 1, false, false},
      {"margin gap of key (0,1)", 5, 25, 0, 1, true, true},
      {"last pixel of column 0", 31, 44, 0, 1, true, true},
      {"first pixel of column 1", 32, 45, 1, 2, true, true},
      {"column 2, row 4", 85, 104, 2, 4, true, true},
      {"column 3", 86, 25, 3, 1, false, true},
      {"column 4", 113, 25, 4, 1, false, false},
      {"row 5", 40, 105, 1, 5, false, false},
      {"most negative lParam", -32768, -32768, -1214, -1639, false, false},
      {"most positive lParam", 32767, 32767, 1213, 1638, false, false},
  };
  for (const Case& c : cases) {
    int32_t col = 99, row = 99;
    CalcMode = false;
    CellAt(c.x, c.y, col, row);
    EXPECT_EQ(col, c.col) << c.what;
    EXPECT_EQ(row, c.row) << c.what;
    EXPECT_EQ(IsKeyCell(col, row), c.keyInKeypad) << c.what << " in keypad mode";
    CalcMode = true;
    EXPECT_EQ(IsKeyCell(col, row), c.keyInCalculator) << c.what << " in calculator mode";
  }
}

// A failed GetSystemMetrics (0) or a failed MulDiv (-1) must not turn the whole pad
// into one key or divide by zero; cells beyond 32 bits must not wrap back onto the keys.
TEST_F(Geometry, CellAtWithoutUsableMetricsFindsNoKey) {
  struct Case {
    const char* what;
    int32_t rowHeight, colWidth, margin;
    int x, y;
    int32_t col, row;
  };
  const Case cases[] = {
      {"menu bar 0", 0, 0, 5, 40, 40, -1, -1},
      {"column width 0", 20, 0, 5, 40, 40, -1, -1},
      {"row height 0", 0, 27, 5, 40, 40, -1, -1},
      {"failed MulDiv", 20, -1, 5, 40, 40, -1, -1},
      {"negative row height", -20, 27, 5, -40, -40, -1, -1},
      {"cell beyond 32 bits", 1, 1, INT32_MIN, 32767, 32767, INT32_MAX, INT32_MAX},
      {"cell below 32 bits", 1, 1, INT32_MAX, -32768, -32768, INT32_MIN, INT32_MIN},
  };
  for (const Case& c : cases) {
    RowHeight = c.rowHeight;
    ColWidth = c.colWidth;
    Margin = c.margin;
    int32_t col = 1, row = 1;
    CellAt(c.x, c.y, col, row);
    EXPECT_EQ(col, c.col) << c.what;
    EXPECT_EQ(row, c.row) << c.what;
    CalcMode = true;
    EXPECT_FALSE(IsKeyCell(col, row)) << c.what;
    CalcMode = false;
  }
}

TEST_F(Geometry, FitWindowToModeResizesOnlyWhenTheSizeDiffers) {
  struct Case {
    const char* what;
    TRect client;
    bool calcMode;
    std::vector<TSize> resizes;
  };
  const Case cases[] = {
      {"keypad pad in keypad mode", {0, 0, 91, 110}, false, {}},
      {"keypad pad into calculator mode", {0, 0, 91, 110}, true, {{118, 110}}},
      {"calculator pad in calculator mode", {0, 0, 118, 110}, true, {}},
      {"calculator pad into keypad mode", {0, 0, 118, 110}, false, {{91, 110}}},
      {"height differs after a metric change", {0, 0, 91, 105}, false, {{91, 110}}},
      {"never sized", {0, 0, 0, 0}, false, {{91, 110}}},
  };
  for (const Case& c : cases) {
    window.client = c.client;
    window.resizes.clear();
    CalcMode = c.calcMode;
    FitWindowToMode(window);
    ASSERT_EQ(window.resizes.size(), c.resizes.size()) << c.what;
    for (size_t i = 0; i < c.resizes.size(); ++i) {
      EXPECT_EQ(window.resizes[i].width, c.resizes[i].width) << c.what;
      EXPECT_EQ(window.resizes[i].height, c.resizes[i].height) << c.what;
    }
  }
}

}  // namespace
