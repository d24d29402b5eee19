// All painting of the pad as platform-free steps over a Canvas: the background with its
// colour-keyed surround, a key in one of its four colour states, and the calc edit. The
// callers say what to draw; only the settings and the geometry are read here.
#ifndef KWIX_PAD_DRAWING_H
#define KWIX_PAD_DRAWING_H

#include <cstdint>
#include <string>

#include "base/Types.h"

class Canvas;
struct TLayout;
struct TSettings;

// A fully saturated colour for a hue in degrees (0 red, 120 green, 240 blue).
TColor HueToColor(double hue);

// The generator behind the flashing colour of a held key; seeded once at start.
void SeedPadRandom(uint32_t seed);
// Uniform in [0, 1).
double PadRandom();

// Colour states of a key: plain, plain while the button is held elsewhere, under the
// pointer, under the pointer and held (a new random colour at every redraw).
enum : int { ksPlain = 0, ksHeldElsewhere = 1, ksHot = 2, ksHotHeld = 3 };

// Draws the key in (col, row) with its caption in the given colour state.
void DrawKey(const TLayout& layout, const TSettings& settings, Canvas& context, int col, int row,
             const std::u16string& caption, int colorState);
// Draws the calc edit with text right-aligned.
void DrawCalcEdit(const TLayout& layout, const TSettings& settings, Canvas& context, const std::string& text);

// The background composed into an off-screen canvas of the client's size: MaskColor
// everywhere, then the rounded background in BGColor (below the calc edit row in keypad mode).
void DrawBackground(const TLayout& layout, const TSettings& settings, Canvas& context, const TRect& client);

#endif
