#include "pad/Drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FakePad.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettingsFrom("/nonexistent/kwix.ini", window);
    SetKeyCaptions();
    SetDecimalKeyCaption('.');
    UpdateCellMetrics(window);
    CalcMode = false;
    HotValid = Pressed = false;
  }
  FakePadWindow window;
  RecordingCanvas canvas;
};

TEST(HueToColor, SaturatedHues) {
  struct Case {
    double hue;
    TColor color;
  };
  const Case cases[] = {
      {0, 0x0000FF},  {60, 0x00FFFF}, {120, 0x00FF00}, {180, 0xFFFF00}, {240, 0xFF0000}, {300, 0xFF00FF},
      {30, 0x0080FF}, {90, 0x00FF80}, {330, 0x8000FF}, {15, 0x0040FF},  {345, 0x4000FF}, {210, 0xFF8000},
  };
  for (const auto& c : cases) EXPECT_EQ(HueToColor(c.hue), c.color) << "hue " << c.hue;
}

TEST(PadRandom, StaysInTheUnitInterval) {
  SeedPadRandom(1);
  double low = 1, high = 0;
  for (int i = 0; i < 100000; ++i) {
    double r = PadRandom();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    low = std::min(low, r);
    high = std::max(high, r);
  }
  EXPECT_LT(low, 0.001);
  EXPECT_GT(high, 0.999);
}

TEST_F(DrawingTest, BackgroundLeavesTheCalcEditRowTransparentInKeypadMode) {
  TRect client{0, 0, 91, 110};
  DrawBackground(canvas, client);
  ASSERT_EQ(canvas.fills.size(), 1u);
  EXPECT_EQ(canvas.fills[0].first, client);
  EXPECT_EQ(canvas.fills[0].second, static_cast<TColor>(MaskColor));
  ASSERT_EQ(canvas.boxes.size(), 1u);
  EXPECT_EQ(canvas.boxes[0].rect, (TRect{0, 20, 91, 110}));
  EXPECT_EQ(canvas.boxes[0].color, static_cast<TColor>(BGColor));

  canvas.Clear();
  CalcMode = true;
  DrawBackground(canvas, TRect{0, 0, 118, 110});
  EXPECT_EQ(canvas.boxes[0].rect, (TRect{0, 0, 118, 110}));
}

TEST_F(DrawingTest, PaintDrawsOnlyWhatThePaintRectangleTouches) {
  struct Case {
    const char* what;
    bool calcMode;
    TRect paint;
    size_t keys;
    bool calcEdit;
  };
  const Case cases[] = {
      {"whole keypad pad", false, {0, 0, 91, 110}, 12, false},
      {"whole calculator pad", true, {0, 0, 118, 110}, 16, true},
      {"one key", false, {10, 30, 12, 32}, 1, false},
      {"a key's outer margin pixel", false, {5, 25, 6, 26}, 0, false},
      {"the calc edit row only", true, {20, 6, 30, 10}, 0, true},
      {"nothing", true, {0, 0, 0, 0}, 0, false},
  };
  for (const auto& c : cases) {
    canvas.Clear();
    CalcMode = c.calcMode;
    DrawPadContents(canvas, c.paint);
    size_t calcEdits = 0;
    for (const auto& box : canvas.boxes) calcEdits += box.rect == CalcEditRect() ? 1 : 0;
    EXPECT_EQ(canvas.boxes.size() - calcEdits, c.keys) << c.what;
    EXPECT_EQ(calcEdits == 1, c.calcEdit) << c.what;
  }
}

TEST_F(DrawingTest, KeyColoursFollowTheHoverAndPressState) {
  BtnColor = 0x111111;
  BtnTextColor = 0x222222;
  BtnHoverColor = 0x333333;
  BtnHoverTextColor = 0x444444;
  struct Case {
    bool hot;
    bool pressed;
    int state;
  };
  const Case cases[] = {{false, false, 0}, {false, true, 1}, {true, false, 2}, {true, true, 3}};
  for (const auto& c : cases) {
    HotCol = 1;
    HotRow = 2;
    HotValid = c.hot;
    Pressed = c.pressed;
    canvas.Clear();
    DrawKey(canvas, 1, 2);
    DrawKey(canvas, 0, 1);  // never hot here
    EXPECT_EQ(KeyColorState(1, 2), c.state);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].text, "5");
    EXPECT_EQ(canvas.texts[0].align, TextAlign::Center);
    EXPECT_EQ(canvas.texts[0].rect, KeyRect(1, 2));
    switch (c.state) {
      case 0:
      case 1:
        EXPECT_EQ(canvas.boxes[0].color, 0x111111u);
        EXPECT_EQ(canvas.texts[0].textColor, 0x222222u);
        break;
      case 2:
        EXPECT_EQ(canvas.boxes[0].color, 0x333333u);
        EXPECT_EQ(canvas.texts[0].textColor, 0x444444u);
        break;
      case 3:
        EXPECT_EQ(canvas.texts[0].textColor, 0u);
        EXPECT_EQ(canvas.texts[0].backgroundColor, canvas.boxes[0].color);
        break;
    }
    // Every other key keeps its plain colours meanwhile.
    EXPECT_EQ(canvas.boxes[1].color, 0x111111u);
    EXPECT_EQ(canvas.texts[1].textColor, 0x222222u);
  }
}

TEST_F(DrawingTest, AHeldKeyFlashesANewHueOnEveryRedraw) {
  HotCol = 0;
  HotRow = 1;
  HotValid = Pressed = true;
  SeedPadRandom(7);
  for (int i = 0; i < 20; ++i) DrawKey(canvas, 0, 1);
  std::set<TColor> colours;
  for (const auto& box : canvas.boxes) colours.insert(box.color);
  EXPECT_GT(colours.size(), 10u);
}

TEST_F(DrawingTest, CalcEditIsRightAlignedInItsInsetRectangle) {
  CalcMode = true;
  DisplayText = "12.5";
  DrawCalcEdit(canvas);
  ASSERT_EQ(canvas.boxes.size(), 1u);
  EXPECT_EQ(canvas.boxes[0].rect, (TRect{5, 5, 113, 22}));
  EXPECT_EQ(canvas.boxes[0].color, static_cast<TColor>(CalcEditColor));
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].rect, (TRect{8, 6, 110, 21}));
  EXPECT_EQ(canvas.texts[0].align, TextAlign::Right);
  EXPECT_EQ(canvas.texts[0].text, "12.5");
  EXPECT_EQ(canvas.texts[0].textColor, static_cast<TColor>(CalcEditTextColor));
}

}  // namespace
