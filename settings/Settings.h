// The settings of the pad's look and pointer behaviour, their defaults, the one operation
// that reads them (defaults, then the settings file), and the pad font kept in step with the
// four font settings.
#ifndef KWIX_SETTINGS_SETTINGS_H
#define KWIX_SETTINGS_SETTINGS_H

#include <cstdint>
#include <string>

#include "settings/PadFontHost.h"
#include "settings/SettingsFile.h"

struct TFontParams {
  std::string FontFace;
  int32_t FontSize;  // points
  bool BoldFont;
  bool ItalicFont;
};

bool operator==(const TFontParams& a, const TFontParams& b);

extern const TFontParams DefaultFontParams;

// Every setting once, in the order of the file's binding table: the key (also the name of
// its member of TSettings), the member's type, its kind and its default. Colours are
// 0x00BBGGRR, lengths client pixels. The members, their defaults and the binding table all
// come from these rows.
#define KWIX_SETTINGS(X)                                         \
  X(Margin, int32_t, pkInteger, 5)                               \
  X(CornerCurveX, int32_t, pkInteger, 5)                         \
  X(CornerCurveY, int32_t, pkInteger, 5)                         \
  X(BGColor, int32_t, pkInteger, 0)                              \
  X(PenColor, int32_t, pkInteger, 0xC0C0C0)                      \
  X(FontFace, std::string, pkString, DefaultFontParams.FontFace) \
  X(FontSize, int32_t, pkInteger, DefaultFontParams.FontSize)    \
  X(BoldFont, bool, pkBoolean, DefaultFontParams.BoldFont)       \
  X(ItalicFont, bool, pkBoolean, DefaultFontParams.ItalicFont)   \
  X(BtnMargin, int32_t, pkInteger, 1)                            \
  X(BtnCornerCurveX, int32_t, pkInteger, 5)                      \
  X(BtnCornerCurveY, int32_t, pkInteger, 5)                      \
  X(BtnColor, int32_t, pkInteger, 0)                             \
  X(BtnTextColor, int32_t, pkInteger, 0xFFFF)                    \
  X(BtnHoverColor, int32_t, pkInteger, 0)                        \
  X(BtnHoverTextColor, int32_t, pkInteger, 0xFFFFFF)             \
  X(UseHandCursor, bool, pkBoolean, false)                       \
  X(ClickOnDown, bool, pkBoolean, true)                          \
  X(CalcEditBottomMargin, int32_t, pkInteger, 3)                 \
  X(CalcEditCornerCurveX, int32_t, pkInteger, 5)                 \
  X(CalcEditCornerCurveY, int32_t, pkInteger, 5)                 \
  X(CalcEditColor, int32_t, pkInteger, 0)                        \
  X(CalcEditTextColor, int32_t, pkInteger, 0xFFFFFF)             \
  X(MaskColor, int32_t, pkInteger, 0xFF00FF)                     \
  X(CircleTurnsPercent, int32_t, pkInteger, 100)                 \
  X(KeepClipboard, bool, pkBoolean, false)

// The settings, each member at its default to begin with.
struct TSettings {
#define KWIX_SETTING_MEMBER(name, type, kind, value) type name = value;
  KWIX_SETTINGS(KWIX_SETTING_MEMBER)
#undef KWIX_SETTING_MEMBER
};

// The four font settings of these settings.
TFontParams FontParamsOf(const TSettings& settings);

// What the pad font was last made for; nothing at first.
struct TMadeFont {
  bool Made = false;
  TFontParams Params{};
  int32_t Dpi = 0;
};

// The pad font for these parameters on a screen of pixelsPerInchY: the character height
// (without internal leading) from the point size, the face cut to 31 bytes.
TLogFont MakePadLogFont(const TFontParams& params, int pixelsPerInchY);

// The defaults, then the settings file beside the executable (a missing or unreadable file
// leaves the defaults, or the values read before the failure), decimal numbers read with
// decimalSeparator.
TSettings LoadSettings(char decimalSeparator);

// The pad font for the font settings at dpi pixels per inch, the DPI of the pad's monitor (0:
// the screen's, where Windows gives every monitor one DPI). Made again only when the font
// settings or the DPI differ from what it was last made for.
void FitPadFont(TMadeFont& made, const TSettings& settings, PadFontHost& fonts, int dpi);

#endif
