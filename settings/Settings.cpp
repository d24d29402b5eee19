#include "settings/Settings.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/MulDiv.h"
#include "settings/SettingsFile.h"

// Zero until the first load; the font settings then differ from every loaded set, so
// the first load always builds the font.
int32_t Margin = 0;
int32_t CornerCurveX = 0;
int32_t CornerCurveY = 0;
int32_t BGColor = 0;
int32_t PenColor = 0;
std::string FontFace;
int32_t FontSize = 0;
bool BoldFont = false;
bool ItalicFont = false;
int32_t BtnMargin = 0;
int32_t BtnCornerCurveX = 0;
int32_t BtnCornerCurveY = 0;
int32_t BtnColor = 0;
int32_t BtnTextColor = 0;
int32_t BtnHoverColor = 0;
int32_t BtnHoverTextColor = 0;
bool UseHandCursor = false;
bool ClickOnDown = false;
int32_t CalcEditBottomMargin = 0;
int32_t CalcEditCornerCurveX = 0;
int32_t CalcEditCornerCurveY = 0;
int32_t CalcEditColor = 0;
int32_t CalcEditTextColor = 0;
int32_t MaskColor = 0;

const TFontParams DefaultFontParams = {"Verdana", 8, true, false};

bool operator==(const TFontParams& a, const TFontParams& b) {
  return a.FontFace == b.FontFace && a.FontSize == b.FontSize && a.BoldFont == b.BoldFont &&
         a.ItalicFont == b.ItalicFont;
}

bool operator!=(const TFontParams& a, const TFontParams& b) { return !(a == b); }

namespace {

TFontParams CurrentFontParams() { return TFontParams{FontFace, FontSize, BoldFont, ItalicFont}; }

void ResetDefaults() {
  Margin = 5;
  CornerCurveX = 5;
  CornerCurveY = 5;
  BGColor = 0;
  PenColor = 0xC0C0C0;
  FontFace = DefaultFontParams.FontFace;
  FontSize = DefaultFontParams.FontSize;
  BoldFont = DefaultFontParams.BoldFont;
  ItalicFont = DefaultFontParams.ItalicFont;
  BtnMargin = 1;
  BtnCornerCurveX = 5;
  BtnCornerCurveY = 5;
  BtnColor = 0;
  BtnTextColor = 0xFFFF;
  BtnHoverColor = 0;
  BtnHoverTextColor = 0xFFFFFF;
  UseHandCursor = false;
  ClickOnDown = true;
  CalcEditBottomMargin = 3;
  CalcEditCornerCurveX = 5;
  CalcEditCornerCurveY = 5;
  CalcEditColor = 0;
  CalcEditTextColor = 0xFFFFFF;
  MaskColor = 0xFF00FF;
}

}  // namespace

TLogFont MakePadLogFont(const TFontParams& params, int pixelsPerInchY) {
  TLogFont font;
  font.Height = -MulDiv(params.FontSize, pixelsPerInchY, 72);
  font.Weight = params.BoldFont ? 700 : 400;
  font.Italic = params.ItalicFont ? 1 : 0;
  const size_t faceLength = std::min(params.FontFace.size(), sizeof font.FaceName - 1);
  std::memcpy(font.FaceName, params.FontFace.data(), faceLength);
  font.FaceName[faceLength] = '\0';
  return font;
}

void LoadSettingsFrom(const std::string& fileName, PadFontHost& fonts) {
  const TFontParams before = CurrentFontParams();
  ResetDefaults();
  const TParamRec table[] = {
      MakeParamRec("Margin", &Margin, pkInteger),
      MakeParamRec("CornerCurveX", &CornerCurveX, pkInteger),
      MakeParamRec("CornerCurveY", &CornerCurveY, pkInteger),
      MakeParamRec("BGColor", &BGColor, pkInteger),
      MakeParamRec("PenColor", &PenColor, pkInteger),
      MakeParamRec("FontFace", &FontFace, pkString),
      MakeParamRec("FontSize", &FontSize, pkInteger),
      MakeParamRec("BoldFont", &BoldFont, pkBoolean),
      MakeParamRec("ItalicFont", &ItalicFont, pkBoolean),
      MakeParamRec("BtnMargin", &BtnMargin, pkInteger),
      MakeParamRec("BtnCornerCurveX", &BtnCornerCurveX, pkInteger),
      MakeParamRec("BtnCornerCurveY", &BtnCornerCurveY, pkInteger),
      MakeParamRec("BtnColor", &BtnColor, pkInteger),
      MakeParamRec("BtnTextColor", &BtnTextColor, pkInteger),
      MakeParamRec("BtnHoverColor", &BtnHoverColor, pkInteger),
      MakeParamRec("BtnHoverTextColor", &BtnHoverTextColor, pkInteger),
      MakeParamRec("UseHandCursor", &UseHandCursor, pkBoolean),
      MakeParamRec("ClickOnDown", &ClickOnDown, pkBoolean),
      MakeParamRec("CalcEditBottomMargin", &CalcEditBottomMargin, pkInteger),
      MakeParamRec("CalcEditCornerCurveX", &CalcEditCornerCurveX, pkInteger),
      MakeParamRec("CalcEditCornerCurveY", &CalcEditCornerCurveY, pkInteger),
      MakeParamRec("CalcEditColor", &CalcEditColor, pkInteger),
      MakeParamRec("CalcEditTextColor", &CalcEditTextColor, pkInteger),
      MakeParamRec("MaskColor", &MaskColor, pkInteger),
  };
  try {
    LoadParamsFrom(fileName, table, std::size(table));
  } catch (const EInOutError&) {
    // No file, or one that cannot be read: what was set so far stays, silently.
  } catch (const std::bad_alloc&) {
    // A line too long for the address space is a broken file like any other.
  } catch (const std::length_error&) {
    // Likewise a line longer than a string can hold.
  }
  const TFontParams after = CurrentFontParams();
  if (after == before) return;
  fonts.ReplacePadFont(MakePadLogFont(after, fonts.ScreenPixelsPerInchY()));
}

void LoadSettings(PadFontHost& fonts) { LoadSettingsFrom(SettingsFileName(), fonts); }
