#include "app/PadProc.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "FakePad.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "settings/Settings.h"

namespace {

using Cell = std::pair<int, int>;

class PadProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettingsFrom("/nonexistent/kwix.ini", window);
    SetKeyCaptions();
    SetDecimalKeyCaption('.');
    CalcMode = false;
    HotCol = HotRow = 0;
    HotValid = Pressed = false;
    PrevHotCol = PrevHotRow = 0;
    PrevHotValid = PrevPressed = false;
    Tracking = false;
    DisplayText.clear();
    UpdateCellMetrics(window);  // menu bar 20: rows 20 high, columns 27 wide, margin 5
    window.client = TRect{0, 0, PadSize().width, PadSize().height};
    window.visible = true;
    kernel.OnChange = [this](TSmplCalcKrnl&) { DispatchPadMessage(canvas, window, msg::User); };
    Kernel = &kernel;
    KeyBridge = &bridge;
  }
  void TearDown() override {
    Kernel = nullptr;
    KeyBridge = nullptr;
  }

  static TPoint KeyCentre(int col, int row) { return TPoint{5 + col * 27 + 13, 5 + row * 20 + 10}; }

  // Sends one message and returns the keys it redrew.
  std::set<Cell> Send(uint32_t message, TPoint point) {
    canvas.Clear();
    HandlePadMessage(canvas, window, message, point);
    std::set<Cell> drawn;
    for (const auto& box : canvas.boxes) {
      for (int row = 1; row <= 4; ++row) {
        for (int col = 0; col <= 3; ++col) {
          if (box.rect == KeyRect(col, row)) drawn.insert({col, row});
        }
      }
    }
    return drawn;
  }

  FakePadWindow window;
  RecordingCanvas canvas;
  FakeTarget target;
  Bridge bridge{target, target, target, target};
  TSmplCalcKrnl kernel;
};

TEST_F(PadProcTest, HoverRedrawsOnlyTheKeyLeftAndTheKeyEntered) {
  struct Step {
    const char* what;
    uint32_t message;
    TPoint point;
    std::set<Cell> redrawn;
  };
  const Step steps[] = {
      {"enter key 7", msg::MouseMove, KeyCentre(0, 1), {{0, 1}}},
      {"move within key 7", msg::MouseMove, TPoint{KeyCentre(0, 1).x + 5, KeyCentre(0, 1).y + 3}, {}},
      {"into key 7's margin gap", msg::MouseMove, TPoint{5 + 26, 5 + 20 + 1}, {}},
      {"on to key 8", msg::MouseMove, KeyCentre(1, 1), {{0, 1}, {1, 1}}},
      {"off to the outer margin", msg::MouseMove, TPoint{2, 2}, {{1, 1}}},
      {"over the calc edit row", msg::MouseMove, TPoint{40, 10}, {}},
      {"on to key =", msg::MouseMove, KeyCentre(2, 4), {{2, 4}}},
      {"the operator column is no key in keypad mode", msg::MouseMove, KeyCentre(3, 4), {{2, 4}}},
      {"back on to key =", msg::MouseMove, KeyCentre(2, 4), {{2, 4}}},
      {"leave the pad", msg::MouseLeave, TPoint{0, 0}, {{2, 4}}},
  };
  for (const auto& step : steps) EXPECT_EQ(Send(step.message, step.point), step.redrawn) << step.what;
  EXPECT_FALSE(HotValid);
}

TEST_F(PadProcTest, LeavingRestoresThePlainColours) {
  Send(msg::MouseMove, KeyCentre(1, 2));
  ASSERT_EQ(canvas.boxes.back().color, static_cast<TColor>(BtnHoverColor));
  ASSERT_EQ(canvas.texts.back().textColor, static_cast<TColor>(BtnHoverTextColor));
  Send(msg::MouseLeave, TPoint{});
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].text, "5");
  EXPECT_EQ(canvas.texts[0].textColor, static_cast<TColor>(BtnTextColor));
}

TEST_F(PadProcTest, PressActsOnDownAndHoldsTheKeyUntilRelease) {
  ClickOnDown = true;
  Send(msg::MouseMove, KeyCentre(0, 1));
  EXPECT_EQ(Send(msg::LButtonDown, KeyCentre(0, 1)), (std::set<Cell>{{0, 1}}));
  EXPECT_EQ(target.Downs(), std::vector<uint8_t>{kVkNumpad0 + 7});
  EXPECT_TRUE(window.captured);
  // The held key flashes in black text on a random hue.
  EXPECT_EQ(canvas.texts.back().textColor, 0u);
  // While held, the hot key stays the pressed one wherever the pointer goes.
  EXPECT_EQ(Send(msg::MouseMove, KeyCentre(2, 3)), std::set<Cell>{});
  EXPECT_EQ(HotCol, 0);
  EXPECT_EQ(Send(msg::LButtonUp, KeyCentre(2, 3)), (std::set<Cell>{{0, 1}, {2, 3}}));
  EXPECT_FALSE(window.captured);
  EXPECT_EQ(target.Downs().size(), 1u) << "the release must not act again";
}

TEST_F(PadProcTest, ActOnReleaseUsesTheKeyOfThePress) {
  ClickOnDown = false;
  Send(msg::LButtonDown, KeyCentre(1, 3));  // "2"
  EXPECT_TRUE(target.keys.empty());
  Send(msg::MouseMove, KeyCentre(2, 1));
  Send(msg::LButtonUp, KeyCentre(2, 1));  // released over "9"
  EXPECT_EQ(target.Downs(), std::vector<uint8_t>{kVkNumpad0 + 2});
}

TEST_F(PadProcTest, APressOnTheMarginDragsThePadKeepingTheGrabbedPoint) {
  window.windowPos = TPoint{300, 200};
  Send(msg::LButtonDown, TPoint{2, 3});
  EXPECT_FALSE(HotValid);
  window.cursor = TPoint{402, 253};
  Send(msg::MouseMove, TPoint{102, 53});
  EXPECT_EQ(window.windowPos, (TPoint{400, 250}));
  EXPECT_TRUE(target.keys.empty());
  // A press on a key never drags.
  Send(msg::LButtonUp, TPoint{2, 3});
  Send(msg::LButtonDown, KeyCentre(1, 1));
  window.cursor = TPoint{600, 600};
  Send(msg::MouseMove, KeyCentre(1, 1));
  EXPECT_EQ(window.windowPos, (TPoint{400, 250}));
}

TEST_F(PadProcTest, LeaveTrackingIsRequestedOnceUntilTheLeaveArrives) {
  Send(msg::MouseMove, KeyCentre(0, 1));
  Send(msg::MouseMove, KeyCentre(1, 1));
  EXPECT_EQ(window.trackLeaveCalls, 1);
  Send(msg::MouseLeave, TPoint{});
  Send(msg::MouseMove, KeyCentre(1, 1));
  EXPECT_EQ(window.trackLeaveCalls, 2);
}

TEST_F(PadProcTest, MiddleClickSwitchesModesGrowingToTheRight) {
  window.windowPos = TPoint{100, 100};
  Send(msg::MButtonDown, KeyCentre(1, 1));
  EXPECT_TRUE(CalcMode);
  EXPECT_EQ(window.client, (TRect{0, 0, 118, 110}));
  EXPECT_EQ(window.windowPos, (TPoint{100, 100}));
  EXPECT_EQ(DisplayText, "0") << "entering calculator mode resets the kernel to 0";
  Send(msg::MouseMove, KeyCentre(3, 2));  // the "×" key
  Send(msg::MButtonDown, KeyCentre(3, 2));
  EXPECT_FALSE(CalcMode);
  EXPECT_EQ(window.client, (TRect{0, 0, 91, 110}));
  // The remembered key is in the column that went away: it is not redrawn later.
  EXPECT_EQ(Send(msg::MouseMove, KeyCentre(0, 1)), (std::set<Cell>{{0, 1}}));
}

TEST_F(PadProcTest, RightClickHidesWithoutTouchingModeOrKernel) {
  Send(msg::MButtonDown, KeyCentre(1, 1));
  kernel.SetEntry(42);
  Send(msg::RButtonDown, KeyCentre(1, 1));
  EXPECT_FALSE(window.visible);
  EXPECT_TRUE(CalcMode);
  EXPECT_EQ(kernel.GetValue(), 42);
}

TEST_F(PadProcTest, HandCursorOverKeysWhenTheClassHasNone) {
  UseHandCursor = true;
  Send(msg::MouseMove, KeyCentre(0, 1));
  Send(msg::MouseMove, KeyCentre(1, 1));
  Send(msg::MouseMove, TPoint{1, 1});
  EXPECT_EQ(window.pointerShapes, (std::vector<bool>{true, false}));
  UseHandCursor = false;
  Send(msg::MouseMove, KeyCentre(0, 1));
  EXPECT_EQ(window.pointerShapes.size(), 2u);
}

TEST_F(PadProcTest, LParamPointsAreSigned16BitHalves) {
  EXPECT_EQ(PointFromLParam(0x00140005), (TPoint{5, 20}));
  EXPECT_EQ(PointFromLParam(0xFFFEFFFF), (TPoint{-1, -2}));
}

TEST_F(PadProcTest, MessagesOutsideThePadsOwnGoToTheDefaultHandling) {
  RecordingCanvas c;
  EXPECT_FALSE(DispatchPadMessage(c, window, msg::LButtonDown));
  EXPECT_FALSE(DispatchPadMessage(c, window, msg::LButtonUp));
  EXPECT_FALSE(DispatchPadMessage(c, window, 0x0010 /* WM_CLOSE */));
  EXPECT_TRUE(DispatchPadMessage(c, window, msg::Timer));
}

}  // namespace
