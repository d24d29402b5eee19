#include "pad/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/MulDiv.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

namespace {

// Settings are not range-checked, so sums of them are taken in 64 bits and wrapped.
TRect WrappedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return TRect{Wrapped32(left), Wrapped32(top), Wrapped32(right), Wrapped32(bottom)};
}

// floor(offset / size) as a cell index; offsets and sizes are whole numbers well inside
// a double's exact range, so the quotient's floor is exact.
int32_t FloorCell(double offset, double size) {
  double cell = std::floor(offset / size);
  if (cell < static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (cell > static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(cell);
}

}  // namespace

int32_t LastColumn(const TLayout& layout) { return layout.CalcMode ? 3 : 2; }

void UpdateCellMetrics(TLayout& layout, PadWindow& window, int32_t dpi) {
  layout.PadDpi = dpi;
  layout.RowHeight = window.MenuBarHeight(dpi);
  layout.ColWidth = MulDiv(layout.RowHeight, 4, 3);
}

TSize PadSize(const TLayout& layout, const TSettings& settings) {
  TSize size;
  size.width = Wrapped32((int64_t{LastColumn(layout)} + 1) * layout.ColWidth + 2 * int64_t{settings.Margin});
  size.height = Wrapped32(5 * int64_t{layout.RowHeight} + 2 * int64_t{settings.Margin});
  return size;
}

TRect KeyRect(const TLayout& layout, const TSettings& settings, int col, int row) {
  int64_t left = int64_t{col} * layout.ColWidth + settings.Margin + settings.BtnMargin;
  int64_t top = int64_t{row} * layout.RowHeight + settings.Margin + settings.BtnMargin;
  int64_t right = (int64_t{col} + 1) * layout.ColWidth + settings.Margin - settings.BtnMargin;
  int64_t bottom = (int64_t{row} + 1) * layout.RowHeight + settings.Margin - settings.BtnMargin;
  return WrappedRect(left, top, right, bottom);
}

TRect CalcEditRect(const TLayout& layout, const TSettings& settings) {
  return WrappedRect(settings.Margin, settings.Margin, 4 * int64_t{layout.ColWidth} + settings.Margin,
                     int64_t{layout.RowHeight} - settings.CalcEditBottomMargin + settings.Margin);
}

TRect CalcEditTextRect(const TLayout& layout, const TSettings& settings) {
  // Two fifths of the corner curve keeps the text off the rounding; 3 pixels at least.
  int32_t inset = std::max(MulDiv(settings.CalcEditCornerCurveX, 2, 5), 3);
  TRect edit = CalcEditRect(layout, settings);
  return WrappedRect(int64_t{edit.left} + inset, int64_t{edit.top} + 1, int64_t{edit.right} - inset,
                     int64_t{edit.bottom} - 1);
}

void CellAt(const TLayout& layout, const TSettings& settings, int x, int y, int32_t& col, int32_t& row) {
  // A failed metric (0, or MulDiv's -1) leaves no grid to hit; dividing by it would
  // give infinities or NaN, or a mirrored grid.
  if (layout.ColWidth <= 0 || layout.RowHeight <= 0) {
    col = -1;
    row = -1;
    return;
  }
  col = FloorCell(static_cast<double>(x) - settings.Margin, layout.ColWidth);
  row = FloorCell(static_cast<double>(y) - settings.Margin, layout.RowHeight);
}

bool IsKeyCell(const TLayout& layout, int32_t col, int32_t row) {
  return row >= 1 && row <= 4 && col >= 0 && col <= LastColumn(layout);
}

void FitWindowToMode(const TLayout& layout, const TSettings& settings, PadWindow& window) {
  TRect client = window.ClientRect();
  TSize wanted = PadSize(layout, settings);
  if (int64_t{client.right} - client.left != wanted.width || int64_t{client.bottom} - client.top != wanted.height) {
    window.Resize(wanted.width, wanted.height);
  }
}
