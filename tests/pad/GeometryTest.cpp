#include <gtest/gtest.h>

#include "Fakes.h"
#include "base/MulDiv.h"

namespace {

// With a 20-pixel menu bar the cells are 27 by 20 from (5, 5); row 0 is the calc edit's.
// Points left of and above the grid floor to negative cells; without a menu bar (or with a
// negative one) there are no cells at all, rather than a division by zero.
TEST(Geometry, CellUnderAPoint) {
  struct Row {
    const char* name;
    TPoint at;  // client point
    int menuBar = 20;
    int32_t col, row;
  };
  // clang-format off
  const Row rows[] = {
      {.name = "the first key", .at = {5, 25}, .col = 0, .row = 1},
      {.name = "a key's last pixel", .at = {31, 44}, .col = 0, .row = 1},
      {.name = "left of and above the grid", .at = {-30, 4}, .col = -2, .row = -1},
      {.name = "no menu bar", .at = {10, 30}, .menuBar = 0, .col = -1, .row = -1},
      {.name = "a negative menu bar", .at = {10, 30}, .menuBar = -1, .col = -1, .row = -1}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.pad.menuBar = row.menuBar;
    UpdateCellMetrics(p.kwix.Layout, p.pad, 0);
    int32_t col = 0, cellRow = 0;
    CellAt(p.kwix.Layout, p.kwix.Settings, row.at.x, row.at.y, col, cellRow);
    EXPECT_EQ(col, row.col);
    EXPECT_EQ(cellRow, row.row);
  }
}

// The calc edit's text keeps clear of its corner curve; sums of unchecked settings wrap as
// 32-bit integers do instead of overflowing; fitting the pad to its mode moves nothing that
// is already in place.
TEST(Geometry, CalcEditWrappingAndFitting) {
  Program p;
  FitWindowToMode(p.kwix.Layout, p.kwix.Settings, p.pad);
  FitWindowToMode(p.kwix.Layout, p.kwix.Settings, p.pad);
  EXPECT_EQ(p.pad.resizes, 1);
  EXPECT_EQ(p.pad.client, (TRect{0, 0, 91, 110}));
  TSettings& settings = p.kwix.Settings;
  settings.CalcEditCornerCurveX = 20;
  EXPECT_EQ(CalcEditTextRect(p.kwix.Layout, settings), (TRect{13, 6, 105, 21}));
  settings.Margin = INT32_MAX;
  EXPECT_EQ(PadSize(p.kwix.Layout, settings).width, 79);  // 3 × 27 + 2 × (2^31 − 1), modulo 2^32
}

// MulDiv as kernel32 has it, which native builds reproduce: halves away from zero whatever
// the signs, and -1 for a zero divisor or a result beyond 32 bits.
TEST(Geometry, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 3, 2), 8);
  EXPECT_EQ(MulDiv(5, 3, -2), -8);
  EXPECT_EQ(MulDiv(-5, 3, 2), -8);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 1, 1), INT32_MAX);
}

}  // namespace
