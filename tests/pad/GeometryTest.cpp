#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// Cells are floored (left of or above the grid they are negative); a grid without usable
// metrics has no cells; the calc edit's text keeps clear of a corner curve of 20; sums of
// unchecked settings wrap as 32-bit integers do.
TEST(Geometry, CellsInsetsAndWrapping) {
  Program p;
  int32_t c = 0, r = 0;
  CellAt(-30, 4, c, r);
  EXPECT_EQ(std::to_string(c) + "," + std::to_string(r), "-2,-1");
  CalcEditCornerCurveX = 20;
  EXPECT_EQ(FakePad::Box(CalcEditTextRect()), "13,6,105,21");
  Margin = INT32_MAX;
  EXPECT_EQ(PadSize().width, 79);  // 3 × 27 + 2 × (2^31 − 1), modulo 2^32
  p.pad.menuBar = 0;
  UpdateCellMetrics(p.pad);
  CellAt(10, 30, c, r);
  EXPECT_EQ(std::to_string(c) + "," + std::to_string(r), "-1,-1");
}

}  // namespace
