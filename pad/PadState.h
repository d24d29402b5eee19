// The pad's mode and pointer state, written by the window procedure and the show
// routine, read by the geometry and the drawing.
#ifndef KWIX_PAD_PADSTATE_H
#define KWIX_PAD_PADSTATE_H

#include <cstdint>

// false: keypad mode, 3 key columns; true: calculator mode, 4 columns and the calc edit.
extern bool CalcMode;

// The cell under the pointer (from CellAt), whether it is a key of the current mode with
// the pointer over the pad, and whether the left button is held down on the pad.
extern int32_t HotCol;
extern int32_t HotRow;
extern bool HotValid;
extern bool Pressed;

#endif
