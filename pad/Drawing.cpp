#include "pad/Drawing.h"

#include <cmath>
#include <random>

#include "pad/Canvas.h"
#include "pad/Geometry.h"
#include "settings/Settings.h"

namespace {

std::mt19937& Generator() {
  static std::mt19937 generator(5489u);
  return generator;
}

// 255 × clamp(2 − |x|, 0, 1), rounded to nearest with ties to even.
int HueRamp(double x) {
  double level = 2.0 - std::fabs(x);
  if (level < 0) level = 0;
  if (level > 1) level = 1;
  return static_cast<int>(std::nearbyint(255.0 * level));
}

}  // namespace

TColor HueToColor(double hue) {
  double a = hue / 60.0;
  uint32_t red = static_cast<uint32_t>(HueRamp(a) + HueRamp(a - 6)) & 0xFF;
  uint32_t green = static_cast<uint32_t>(HueRamp(a - 2));
  uint32_t blue = static_cast<uint32_t>(HueRamp(a - 4));
  return red + 256 * green + 65536 * blue;
}

void SeedPadRandom(uint32_t seed) { Generator().seed(seed); }

double PadRandom() {
  // 32 random bits over 2^32: uniform in [0, 1) and never 1 after rounding to double.
  return static_cast<double>(Generator()()) / 4294967296.0;
}

void DrawKey(const TLayout& layout, const TSettings& settings, Canvas& context, int col, int row,
             const std::u16string& caption, int colorState) {
  TColor background = settings.BtnColor;
  TColor text = settings.BtnTextColor;
  if (colorState == ksHot) {
    background = settings.BtnHoverColor;
    text = settings.BtnHoverTextColor;
  } else if (colorState == ksHotHeld) {
    background = HueToColor(PadRandom() * 360.0);
    text = 0;
  }
  TRect rect = KeyRect(layout, settings, col, row);
  context.RoundBox(rect, settings.BtnCornerCurveX, settings.BtnCornerCurveY, background);
  context.Caption(rect, caption, TextAlign::Center, text, background);
}

void DrawCalcEdit(const TLayout& layout, const TSettings& settings, Canvas& context, const std::string& text) {
  context.RoundBox(CalcEditRect(layout, settings), settings.CalcEditCornerCurveX, settings.CalcEditCornerCurveY,
                   settings.CalcEditColor);
  context.CaptionA(CalcEditTextRect(layout, settings), text, TextAlign::Right, settings.CalcEditTextColor,
                   settings.CalcEditColor);
}

void DrawBackground(const TLayout& layout, const TSettings& settings, Canvas& context, const TRect& client) {
  context.FillRect(client, settings.MaskColor);
  TRect background = client;
  // In keypad mode the calc edit row stays transparent.
  if (!layout.CalcMode) background.top = layout.RowHeight;
  context.RoundBox(background, settings.CornerCurveX, settings.CornerCurveY, settings.BGColor);
}
