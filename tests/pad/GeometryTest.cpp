#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

struct CellRow {
  const char* name;
  TPoint at;  // client point
  int menuBar = 20;
  int32_t col, row;
};

// With a 20-pixel menu bar the cells are 27 by 20 from (5, 5); row 0 is the calc edit's.
TEST(Geometry, CellUnderAPoint) {
  const CellRow rows[] = {
      {.name = "the first key", .at = {5, 25}, .col = 0, .row = 1},
      {.name = "a key's last pixel", .at = {31, 44}, .col = 0, .row = 1},
      {.name = "left of and above the grid, floored", .at = {-30, 4}, .col = -2, .row = -1},
      {.name = "no menu bar: no cells at all", .at = {10, 30}, .menuBar = 0, .col = -1, .row = -1},
      {.name = "a negative menu bar", .at = {10, 30}, .menuBar = -1, .col = -1, .row = -1},
  };
  for (const CellRow& row : rows) {
    SCOPED_TRACE(row.name);
    Program p;
    p.pad.menuBar = row.menuBar;
    UpdateCellMetrics(p.pad);
    int32_t col = 0, cellRow = 0;
    CellAt(row.at.x, row.at.y, col, cellRow);
    EXPECT_EQ(col, row.col);
    EXPECT_EQ(cellRow, row.row);
  }
}

// The calc edit's text keeps clear of its corner curve; sums of unchecked settings wrap as
// 32-bit integers do instead of overflowing.
TEST(Geometry, CalcEditTextAndWrapping) {
  Program p;
  CalcEditCornerCurveX = 20;
  EXPECT_EQ(CalcEditTextRect(), (TRect{13, 6, 105, 21}));
  Margin = INT32_MAX;
  EXPECT_EQ(PadSize().width, 79);  // 3 × 27 + 2 × (2^31 − 1), modulo 2^32
}

// Fitting the pad to its mode moves nothing that is already in place.
TEST(Geometry, FitToModeResizesOnlyWhenNeeded) {
  Program p;
  FitWindowToMode(p.pad);
  FitWindowToMode(p.pad);
  EXPECT_EQ(p.pad.resizes, 1);
  EXPECT_EQ(p.pad.client, (TRect{0, 0, 91, 110}));
}

}  // namespace
