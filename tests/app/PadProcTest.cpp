#include <gtest/gtest.h>

#include <vector>

#include "Fakes.h"
#include "gesture/Gesture.h"
#include "pad/Drawing.h"

namespace {

struct Message {
  uint32_t id;
  const char* name;
  bool handled;  // false: left to the system's default handling as well
};
const Message kMove{msg::MouseMove, "move", true}, kLeftDown{msg::LButtonDown, "left down", false},
    kLeftUp{msg::LButtonUp, "left up", false}, kRightDown{msg::RButtonDown, "right down", true},
    kMiddleDown{msg::MButtonDown, "middle down", true}, kWheel{msg::MouseLast, "wheel", false},
    kXButtonDown{0x020B, "x button down", false}, kLeave{msg::MouseLeave, "leave", true},
    kKernelChanged{msg::User, "kernel changed", true}, kToggle{msg::Toggle, "kwix.exe /toggle", true};

struct Step {
  Message message;
  TPoint at{};             // client point
  const char* drawn = "";  // what the pad redraws, and asks ("mouse captured")
};

// The pad is shown in keypad mode at (0, 0), 91 by 110: keys are 27 by 20 from (5, 25), so
// (18, 35) is on the 7, (45, 35) on the 8, (45, 55) on the 5, (2, y) in the left margin and
// (45, 107) in the bottom one.
struct Row {
  const char* name;
  std::vector<Step> steps;
  bool clickOnDown = true;
  bool handCursor = false;
  std::string typed = "";  // what the focused application received
  TPoint padAt{0, 0};
  bool visible = true;
  int width = 0;  // a showing or a mode switch sizes the pad; 0: never sized
};

TEST(PadProc, PointerOnThePad) {
  // clang-format off
  const Row rows[] = {
      {.name = "hovering redraws just the key left and the key entered, and asks once to hear of a leave",
       .steps = {{.message = kMove, .at = {45, 55}, .drawn = "key 5 hot, leave tracked"},
                 {.message = kMove, .at = {46, 56}},
                 {.message = kMove, .at = {72, 55}, .drawn = "key 5 plain, key 6 hot"},
                 {.message = kLeave, .drawn = "key 6 plain"}, {.message = kWheel, .at = {18, 35}, .drawn = "key 7 hot"},
                 {.message = kMove, .at = {45, 55}, .drawn = "key 7 plain, key 5 hot, leave tracked"},
                 {.message = kXButtonDown, .at = {18, 35}}}},
      {.name = "a key acts as the button goes down and stays held wherever the pointer goes",
       .steps = {{.message = kLeftDown, .at = {18, 35}, .drawn = "mouse captured, key 7 held"},
                 {.message = kMove, .at = {45, 35}, .drawn = "leave tracked"},
                 {.message = kLeftUp, .at = {45, 35}, .drawn = "mouse released, key 7 plain, key 8 hot"}},
       .typed = "7"},
      {.name = "without ClickOnDown the key of the press acts as the button comes up",
       .steps = {{.message = kLeftDown, .at = {18, 35}, .drawn = "mouse captured, key 7 held"},
                 {.message = kLeftUp, .at = {45, 35}, .drawn = "mouse released, key 7 plain, key 8 hot"}},
       .clickOnDown = false, .typed = "7"},
      {.name = "a press on the margin drags the pad; the hand shows over keys only",
       .steps = {{.message = kMove, .at = {45, 107}, .drawn = "leave tracked"},
                 {.message = kLeftDown, .at = {45, 107}, .drawn = "mouse captured"}, {.message = kMove, .at = {5, 9}},
                 {.message = kLeftUp, .at = {45, 112}, .drawn = "mouse released"},
                 {.message = kMove, .at = {18, 35}, .drawn = "pointer hand, key 7 hot"},
                 {.message = kMove, .at = {2, 35}, .drawn = "pointer arrow, key 7 plain"}},
       .handCursor = true, .padAt = {55, 93}},
      {.name = "kwix.exe /toggle hides the pad, then shows it with its 5 under the pointer at (100, 200)",
       .steps = {{.message = kToggle}, {.message = kToggle, .drawn = "class cursor arrow"}}, .padAt = {54, 145},
       .width = 91},
      {.name = "the right button hides the pad",
       .steps = {{.message = kRightDown, .at = {18, 35}, .drawn = "key 7 hot"}}, .visible = false},
      {.name = "the middle button switches modes; back in keypad mode the operator column is gone",
       .steps = {{.message = kMiddleDown, .at = {18, 55}, .drawn = "key 4 hot, calc edit 0"},
                 {.message = kMove, .at = {99, 35}, .drawn = "key 4 plain, key ÷ hot, leave tracked"},
                 {.message = kMiddleDown, .at = {99, 35}}, {.message = kMove, .at = {18, 55}, .drawn = "key 4 hot"},
                 {.message = kKernelChanged, .drawn = "calc edit 0"}},
       .width = 91},
      {.name = "back in keypad mode a key of the last keypad column is still redrawn",
       .steps = {{.message = kMiddleDown, .at = {72, 35}, .drawn = "key 9 hot, calc edit 0"},
                 {.message = kMiddleDown, .at = {72, 35}},
                 {.message = kMove, .at = {18, 35}, .drawn = "key 9 plain, key 7 hot, leave tracked"}},
       .width = 91},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.pad.visible = true;
    p.pad.cursor = TPoint{100, 200};  // where the drag's last move finds the pointer on the screen
    p.kwix.Settings.ClickOnDown = row.clickOnDown;
    p.kwix.Settings.UseHandCursor = row.handCursor;
    p.kwix.Settings.BtnHoverColor = 0x00FF00;  // unlike the plain colour
    for (const Step& step : row.steps) {
      SCOPED_TRACE(step.message.name);
      p.pad.drawn.clear();
      EXPECT_EQ(HandlePadMessage(p.kwix, p.pad, p.pad, step.message.id, step.at), step.message.handled);
      EXPECT_EQ(p.pad.drawn, step.drawn);
    }
    EXPECT_EQ(Utf8(p.target.text), row.typed);
    EXPECT_EQ(p.pad.at, row.padAt);
    EXPECT_EQ(p.pad.visible, row.visible);
    EXPECT_EQ(p.pad.client.right, row.width);
  }
}

// A mouse message's point is two signed 16-bit numbers, x low and y high: a captured pointer
// beyond the pad's top left corner is negative.
TEST(PadProc, PointOfAMouseMessage) { EXPECT_EQ(PointFromLParam(0xFFFE0005), (TPoint{5, -2})); }

// kwix.exe /toggle shows the pad at the pointer (500, 400) laid out for the monitor there,
// whatever the whole screen's DPI (144 here): a menu bar's height at that DPI sets the cells,
// the font follows the same DPI, and the "5" key lies under the pointer; where Windows gives
// every monitor one DPI (0), the screen's metrics hold. WM_DPICHANGED then lays a shown pad out
// for the new DPI, its font too, the point under the pointer keeping its place at the same
// share of the pad, and a drag goes on; a hidden pad is left for its next showing.
TEST(PadProc, LaidOutForTheMonitorsDpi) {
  struct Row {
    const char* name;
    int monitorDpi;  // 0: one DPI for every monitor
    TRect shown;     // on the screen
    int32_t fontHeight;
    int newDpi = 0;  // WM_DPICHANGED's; 0: none
    TPoint pointer = {500, 400};
    bool dragging = false;  // the left button went down on the margin under the pointer
    bool hidden = false;
    TRect after = {}, afterMove = {};  // after the change; after the pointer moves 10 right and down
    int32_t fontAfter = 0;             // the font's height after the change
  };
  const TRect at96{454, 345, 545, 455}, at144{435, 320, 565, 480};
  // clang-format off
  const Row rows[] = {
      {.name = "96 dpi", .monitorDpi = 96, .shown = at96, .fontHeight = -11},
      {.name = "120 dpi", .monitorDpi = 120, .shown = {445, 333, 554, 468}, .fontHeight = -13},
      {.name = "144 dpi", .monitorDpi = 144, .shown = at144, .fontHeight = -16},
      {.name = "192 dpi", .monitorDpi = 192, .shown = {415, 295, 584, 505}, .fontHeight = -21},
      {.name = "one DPI for all", .monitorDpi = 0, .shown = at144, .fontHeight = -16},
      {.name = "to 144, the pointer on the 5 key", .monitorDpi = 96, .shown = at96, .fontHeight = -11, .newDpi = 144,
       .after = {434, 320, 564, 480}, .fontAfter = -16},
      {.name = "to 144, the pointer far off: the nearest corner stays", .monitorDpi = 96, .shown = at96,
       .fontHeight = -11, .newDpi = 144, .pointer = {0, 0}, .after = {454, 345, 584, 505}, .fontAfter = -16},
      {.name = "to 144 in a drag", .monitorDpi = 96, .shown = at96, .fontHeight = -11, .newDpi = 144,
       .pointer = {456, 400}, .dragging = true, .after = {453, 320, 583, 480}, .afterMove = {463, 330, 593, 490}, .fontAfter = -16},
      {.name = "to 144, hidden", .monitorDpi = 96, .shown = at96, .fontHeight = -11, .newDpi = 144, .hidden = true,
       .after = at96, .fontAfter = -11}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.pad.dpi = 144, p.pad.menuBar = 30;
    p.pad.monitorDpi = row.monitorDpi;
    p.pad.cursor = TPoint{500, 400};
    HandlePadMessage(p.kwix, p.pad, p.pad, msg::Toggle, TPoint{});
    EXPECT_EQ(p.pad.ScreenRect(), row.shown);
    EXPECT_EQ(p.pad.font.Height, row.fontHeight);
    if (row.newDpi == 0) continue;
    p.pad.cursor = row.pointer;
    const TPoint client{row.pointer.x - row.shown.left, row.pointer.y - row.shown.top};
    if (row.dragging) HandlePadMessage(p.kwix, p.pad, p.pad, msg::LButtonDown, client);
    p.pad.visible = !row.hidden;
    HandleDpiChange(p.kwix, p.pad, row.newDpi);
    EXPECT_EQ(p.pad.ScreenRect(), row.after);
    EXPECT_EQ(p.pad.font.Height, row.fontAfter);
    if (!row.dragging) continue;
    p.pad.cursor = TPoint{row.pointer.x + 10, row.pointer.y + 10};
    HandlePadMessage(p.kwix, p.pad, p.pad, msg::MouseMove, client);
    EXPECT_EQ(p.pad.ScreenRect(), row.afterMove);
  }
}

struct PaintRow {
  const char* name;
  TRect area;               // the paint rectangle
  bool calculator = false;  // the mode
  const char* drawn;
};

// A paint draws only what meets its rectangle; the gaps between keys belong to no key.
TEST(Drawing, PaintDrawsWhatMeetsTheArea) {
  // clang-format off
  const PaintRow rows[] = {
      {.name = "the whole pad in keypad mode", .area = {0, 0, 91, 110},
       .drawn = "key 7 plain, key 8 plain, key 9 plain, key 4 plain, key 5 plain, key 6 plain, key 1 plain, "
                "key 2 plain, key 3 plain, key 0 plain, key . plain, key = plain"},
      {.name = "the gap between the 7 and the 4", .area = {10, 44, 12, 46}, .drawn = ""},
      {.name = "the gap between the 7 and the 8", .area = {31, 30, 33, 32}, .drawn = ""},
      {.name = "the last pixel of the 7", .area = {30, 43, 31, 44}, .drawn = "key 7 plain"},
      {.name = "the calc edit's last pixel", .area = {112, 21, 113, 22}, .calculator = true, .drawn = "calc edit 12"},
  };
  // clang-format on
  for (const PaintRow& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.kwix.Layout.CalcMode = row.calculator;
    p.kwix.Calc.DisplayText = "12";
    PaintPad(p.kwix, p.pad, row.area);
    EXPECT_EQ(p.pad.drawn, row.drawn);
  }
}

// The background: the mask colour everywhere, then the pad's rounded panel, which leaves the
// calc edit's row see-through in keypad mode. A held key flashes in a colour of the hue circle.
TEST(Drawing, BackgroundAndHeldColours) {
  Program p;
  DrawBackground(p.kwix.Layout, p.kwix.Settings, p.pad, TRect{0, 0, 91, 110});
  EXPECT_EQ(p.pad.drawn, "mask");
  EXPECT_EQ(p.pad.box, (TRect{0, 20, 91, 110}));
  p.kwix.Layout.CalcMode = true;
  DrawBackground(p.kwix.Layout, p.kwix.Settings, p.pad, TRect{0, 0, 118, 110});
  EXPECT_EQ(p.pad.box, (TRect{0, 0, 118, 110}));
  EXPECT_EQ(HueToColor(0), 0x0000FFu);    // red
  EXPECT_EQ(HueToColor(30), 0x0080FFu);   // orange
  EXPECT_EQ(HueToColor(120), 0x00FF00u);  // green
  EXPECT_EQ(HueToColor(330), 0x8000FFu);  // between magenta and red
}

}  // namespace
