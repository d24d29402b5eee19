// The 24 settings of the pad's look and pointer behaviour, their defaults, and the one
// operation that puts defaults and the settings file in force and keeps the pad font
// in step with the four font settings.
#ifndef KWIX_SETTINGS_SETTINGS_H
#define KWIX_SETTINGS_SETTINGS_H

#include <cstdint>
#include <string>

#include "settings/PadFontHost.h"

// Written only by LoadSettings; colours are 0x00BBGGRR, lengths are client pixels.
extern int32_t Margin;
extern int32_t CornerCurveX;
extern int32_t CornerCurveY;
extern int32_t BGColor;
extern int32_t PenColor;
extern std::string FontFace;
extern int32_t FontSize;  // points
extern bool BoldFont;
extern bool ItalicFont;
extern int32_t BtnMargin;
extern int32_t BtnCornerCurveX;
extern int32_t BtnCornerCurveY;
extern int32_t BtnColor;
extern int32_t BtnTextColor;
extern int32_t BtnHoverColor;
extern int32_t BtnHoverTextColor;
extern bool UseHandCursor;
extern bool ClickOnDown;
extern int32_t CalcEditBottomMargin;
extern int32_t CalcEditCornerCurveX;
extern int32_t CalcEditCornerCurveY;
extern int32_t CalcEditColor;
extern int32_t CalcEditTextColor;
extern int32_t MaskColor;

struct TFontParams {
  std::string FontFace;
  int32_t FontSize;
  bool BoldFont;
  bool ItalicFont;
};

bool operator==(const TFontParams& a, const TFontParams& b);
bool operator!=(const TFontParams& a, const TFontParams& b);

extern const TFontParams DefaultFontParams;

// The pad font for these parameters on a screen of pixelsPerInchY: the character height
// (without internal leading) from the point size, the face cut to 31 bytes.
TLogFont MakePadLogFont(const TFontParams& params, int pixelsPerInchY);

// Defaults, then the settings file beside the executable (a missing or unreadable file
// leaves the defaults, or the values read before the failure); the pad font is replaced
// only when a font setting changed since the last load.
void LoadSettings(PadFontHost& fonts);
// The same with the settings read from the named file.
void LoadSettingsFrom(const std::string& fileName, PadFontHost& fonts);

#endif
