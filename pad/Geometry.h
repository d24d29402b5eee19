// The pad's cell grid and every rectangle on it, all derived from the height of a menu
// bar and the margin settings. Row 0 holds the calc edit, rows 1 to 4 the keys; the grid
// starts at client point (Margin, Margin). Pure arithmetic, so the window procedure, the
// drawing and the show routine share one set of numbers that tests can check.
#ifndef KWIX_PAD_GEOMETRY_H
#define KWIX_PAD_GEOMETRY_H

#include <cstdint>

#include "base/Types.h"

class PadWindow;
struct TSettings;

// The pad's mode and its cell metrics, as last laid out; none at start.
struct TLayout {
  // false: keypad mode, 3 key columns; true: calculator mode, 4 columns and the calc edit.
  // Written by the middle button, by "=" in keypad mode and by every showing.
  bool CalcMode = false;
  // Height of one grid row and width of one column, in pixels, as of the last UpdateCellMetrics,
  // for the DPI of the monitor the pad was laid out for (0: the screen's one DPI).
  int32_t RowHeight = 0;
  int32_t ColWidth = 0;
  int32_t PadDpi = 0;
};

// 2 in keypad mode, 3 in calculator mode.
int32_t LastColumn(const TLayout& layout);

// PadDpi := dpi, RowHeight := the menu-bar height at that DPI, ColWidth := MulDiv(RowHeight, 4, 3).
void UpdateCellMetrics(TLayout& layout, PadWindow& window, int32_t dpi);

// Window size for the current mode; only the width depends on the mode.
TSize PadSize(const TLayout& layout, const TSettings& settings);

// The key in cell (col, row), inset by BtnMargin, in client coordinates.
TRect KeyRect(const TLayout& layout, const TSettings& settings, int col, int row);

// The calc edit: row 0 across all four columns, CalcEditBottomMargin short of row 1.
TRect CalcEditRect(const TLayout& layout, const TSettings& settings);

// The calc edit shrunk to where its text goes, clear of the rounded corners.
TRect CalcEditTextRect(const TLayout& layout, const TSettings& settings);

// The cell under client point (x, y), rounded towards minus infinity, so points left of or
// above the grid give negative cells. A key's BtnMargin gap belongs to its cell. Without
// usable cell metrics (zero or negative) the answer is (-1, -1), which is no key.
void CellAt(const TLayout& layout, const TSettings& settings, int x, int y, int32_t& col, int32_t& row);

// Whether (col, row) holds a key in the current mode.
bool IsKeyCell(const TLayout& layout, int32_t col, int32_t row);

// Resizes the window to PadSize when its client size differs; left and top edges stay.
void FitWindowToMode(const TLayout& layout, const TSettings& settings, PadWindow& window);

#endif
