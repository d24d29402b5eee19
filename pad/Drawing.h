// All painting of the pad as platform-free steps over a Canvas: the background with its
// colour-keyed surround, the keys in their four colour states, and the calc edit.
#ifndef KWIX_PAD_DRAWING_H
#define KWIX_PAD_DRAWING_H

#include <cstdint>

#include "base/Types.h"

class Canvas;

// A fully saturated colour for a hue in degrees (0 red, 120 green, 240 blue).
TColor HueToColor(double hue);

// The generator behind the flashing colour of a held key; seeded once at start.
void SeedPadRandom(uint32_t seed);
// Uniform in [0, 1).
double PadRandom();

// The colour state of a key: 0 plain, 1 plain while the button is held elsewhere,
// 2 under the pointer, 3 under the pointer and held.
int KeyColorState(int col, int row);

// Draws the key in (col, row) in its current state.
void DrawKey(Canvas& context, int col, int row);
// Draws the calc edit with DisplayText right-aligned.
void DrawCalcEdit(Canvas& context);

// The background composed into an off-screen canvas of the client's size: MaskColor
// everywhere, then the rounded background in BGColor (below the calc edit row in keypad mode).
void DrawBackground(Canvas& context, const TRect& client);

// The keys (and in calculator mode the calc edit) that intersect the paint rectangle.
void DrawPadContents(Canvas& context, const TRect& paintRect);

#endif
