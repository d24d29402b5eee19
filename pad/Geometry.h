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

// false: keypad mode, 3 key columns; true: calculator mode, 4 columns and the calc edit.
// Written by the middle button, by "=" in keypad mode and by every showing.
extern bool CalcMode;

// Height of one grid row and width of one column, in pixels, as of the last UpdateCellMetrics,
// for the DPI of the monitor the pad was laid out for (0: the screen's one DPI).
extern int32_t RowHeight;
extern int32_t ColWidth;
extern int32_t PadDpi;

// The mode and the cell metrics back to their values at start.
void ResetGeometryState();

// 2 in keypad mode, 3 in calculator mode.
int32_t LastColumn();

// PadDpi := dpi, RowHeight := the menu-bar height at that DPI, ColWidth := MulDiv(RowHeight, 4, 3).
void UpdateCellMetrics(PadWindow& window, int32_t dpi);

// Window size for the current mode; only the width depends on the mode.
TSize PadSize(const TSettings& settings);

// The key in cell (col, row), inset by BtnMargin, in client coordinates.
TRect KeyRect(const TSettings& settings, int col, int row);

// The calc edit: row 0 across all four columns, CalcEditBottomMargin short of row 1.
TRect CalcEditRect(const TSettings& settings);

// The calc edit shrunk to where its text goes, clear of the rounded corners.
TRect CalcEditTextRect(const TSettings& settings);

// The cell under client point (x, y), rounded towards minus infinity, so points left of or
// above the grid give negative cells. A key's BtnMargin gap belongs to its cell. Without
// usable cell metrics (zero or negative) the answer is (-1, -1), which is no key.
void CellAt(const TSettings& settings, int x, int y, int32_t& col, int32_t& row);

// Whether (col, row) holds a key in the current mode.
bool IsKeyCell(int32_t col, int32_t row);

// Resizes the window to PadSize when its client size differs; left and top edges stay.
void FitWindowToMode(const TSettings& settings, PadWindow& window);

#endif
