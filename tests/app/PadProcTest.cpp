#include <gtest/gtest.h>

#include <regex>

#include "Fakes.h"
#include "pad/Drawing.h"

namespace {

// Pointer messages in order, each with whether it is handled and what it redraws (a held
// key's colour is random); then what was typed, where a drag took the pad, whether it shows and
// has the mouse captured, and its width.
TEST(PadProc, HoverPressDragAndModes) {
  const uint32_t move = msg::MouseMove, down = msg::LButtonDown, up = msg::LButtonUp;
  // clang-format off
  struct Row {
    bool clickOnDown, hand;
    std::vector<std::tuple<uint32_t, TPoint, bool, const char*>> steps;
    const char* after;
  } rows[] = {
      {true, false, {{move, {45, 55}, true, "box 33,46,58,64 0 key 5 FFFFFF "}, {move, {46, 56}, true, ""},
                     {move, {72, 55}, true, "box 33,46,58,64 0 key 5 FFFF box 60,46,85,64 0 key 6 FFFFFF "},
                     {msg::MouseLeave, {}, true, "box 60,46,85,64 0 key 6 FFFF "},
                     {0x20A, {18, 35}, false, "box 6,26,31,44 0 key 7 FFFFFF "}, {0x20B, {45, 55}, false, ""}}, "|0,0|10|0"},
      {true, false, {{down, {18, 35}, false, "box 6,26,31,44 ? key 7 0 "}, {move, {45, 35}, true, ""},
                     {up, {45, 35}, false, "box 6,26,31,44 0 key 7 FFFF box 33,26,58,44 0 key 8 FFFFFF "}}, "7|0,0|10|0"},
      {false, false, {{down, {18, 35}, false, "box 6,26,31,44 ? key 7 0 "},
                      {up, {45, 35}, false, "box 6,26,31,44 0 key 7 FFFF box 33,26,58,44 0 key 8 FFFFFF "}}, "7|0,0|10|0"},
      {true, true, {{move, {2, 55}, true, ""}, {down, {2, 55}, false, ""}, {move, {9, 60}, true, ""},
                    {up, {2, 60}, false, ""}, {move, {18, 35}, true, "hand box 6,26,31,44 0 key 7 FFFFFF "},
                    {move, {2, 35}, true, "arrow box 6,26,31,44 0 key 7 FFFF "}}, "|98,145|10|0"},
      {true, false, {{msg::RButtonDown, {18, 35}, true, "box 6,26,31,44 0 key 7 FFFFFF "}}, "|0,0|00|0"},
      // The middle button shows 0 in the new column; back in keypad mode that column's key is gone.
      {true, false, {{msg::MButtonDown, {18, 55}, true, "box 6,46,31,64 0 key 4 FFFFFF box 5,5,113,22 0 edit 0 "},
                     {move, {99, 35}, true, "box 6,46,31,64 0 key 4 FFFF box 87,26,112,44 0 key \xF7 FFFFFF "},
                     {msg::MButtonDown, {99, 35}, true, ""}, {move, {18, 55}, true, "box 6,46,31,64 0 key 4 FFFFFF "},
                     {msg::User, {}, true, "box 5,5,113,22 0 edit 0 "}},
       "|0,0|10|91"}};
  // clang-format on
  for (size_t i = 0; i < std::size(rows); ++i) {
    Program p;
    p.pad.visible = true, p.pad.cursor = TPoint{100, 200};
    ClickOnDown = rows[i].clickOnDown, UseHandCursor = rows[i].hand;
    for (auto [message, at, handled, drawn] : rows[i].steps) {
      p.pad.drawn.clear();
      const uint32_t lParam = static_cast<uint16_t>(at.x) | static_cast<uint32_t>(at.y) << 16;
      EXPECT_EQ(HandlePadMessage(p.pad, p.pad, message, PointFromLParam(lParam)), handled) << i;
      const std::regex held("box ([0-9,]+) [0-9A-F]+ key (.) 0 ");
      EXPECT_EQ(std::regex_replace(p.pad.drawn, held, "box $1 ? key $2 0 "), drawn) << i << " " << message;
    }
    EXPECT_EQ(p.target.text + "|" + std::to_string(p.pad.at.x) + "," + std::to_string(p.pad.at.y) + "|" +
                  std::to_string(p.pad.visible) + std::to_string(p.pad.captured) + "|" +
                  std::to_string(p.pad.client.right),
              rows[i].after)
        << i;
  }
}

// Only what meets the paint rectangle is drawn; the gaps between keys belong to none.
TEST(Drawing, KeysBackgroundAndPaint) {
  Program p;
  PaintPad(p.pad, TRect{0, 0, 91, 110});
  EXPECT_EQ(p.pad.drawn.rfind("box 6,26,31,44 0 key 7 FFFF box 33,26,58,44 0 key 8 FFFF ", 0), 0u);
  p.pad.drawn.clear();
  PaintPad(p.pad, TRect{31, 44, 33, 46});
  PaintPad(p.pad, TRect{30, 43, 31, 44});
  CalcMode = true, DisplayText = "12";
  PaintPad(p.pad, TRect{112, 21, 113, 22});
  DrawBackground(p.pad, TRect{0, 0, 118, 110});
  CalcMode = false;
  DrawBackground(p.pad, TRect{0, 0, 91, 110});
  EXPECT_EQ(p.pad.drawn,
            "box 6,26,31,44 0 key 7 FFFF box 5,5,113,22 0 edit 12 fill 0,0,118,110 FF00FF box 0,0,118,110 0 "
            "fill 0,0,91,110 FF00FF box 0,20,91,110 0 ");
  EXPECT_EQ(Hex(HueToColor(30)) + Hex(HueToColor(330)), "80FF8000FF");  // a held key's colours: 30 degrees is orange
}

}  // namespace
