#include "settings/Settings.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/MulDiv.h"

#define KWIX_DEFINE_SETTING(name, type, kind, value) type name{};
KWIX_SETTINGS(KWIX_DEFINE_SETTING)
#undef KWIX_DEFINE_SETTING

const TFontParams DefaultFontParams = {"Verdana", 8, true, false};

bool operator==(const TFontParams& a, const TFontParams& b) {
  return a.FontFace == b.FontFace && a.FontSize == b.FontSize && a.BoldFont == b.BoldFont &&
         a.ItalicFont == b.ItalicFont;
}

namespace {

TFontParams CurrentFontParams() { return TFontParams{FontFace, FontSize, BoldFont, ItalicFont}; }

// What the pad font was last made for.
struct MadeFont {
  bool made = false;
  TFontParams params{};
  int dpi = 0;
};
MadeFont padFont;

}  // namespace

void ClearSettings() {
#define KWIX_CLEAR_SETTING(name, type, kind, value) name = type{};
  KWIX_SETTINGS(KWIX_CLEAR_SETTING)
#undef KWIX_CLEAR_SETTING
  padFont = MadeFont{};
}

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

void FitPadFont(PadFontHost& fonts, int dpi) {
  const TFontParams wanted = CurrentFontParams();
  if (padFont.made && padFont.params == wanted && padFont.dpi == dpi) return;
  fonts.ReplacePadFont(MakePadLogFont(wanted, dpi != 0 ? dpi : fonts.ScreenPixelsPerInchY()));
  padFont = MadeFont{true, wanted, dpi};
}

void LoadSettings(PadFontHost& fonts, int dpi) {
#define KWIX_RESET_SETTING(name, type, kind, value) name = value;
  KWIX_SETTINGS(KWIX_RESET_SETTING)
#undef KWIX_RESET_SETTING
#define KWIX_BIND_SETTING(name, type, kind, value) MakeParamRec(#name, &name, kind),
  const TParamRec table[] = {KWIX_SETTINGS(KWIX_BIND_SETTING)};
#undef KWIX_BIND_SETTING
  try {
    LoadParams(table, std::size(table));
  } catch (const EInOutError&) {
    // No file, or one that cannot be read: what was set so far stays, silently.
  } catch (const std::bad_alloc&) {
    // A line too long for the address space is a broken file like any other.
  } catch (const std::length_error&) {
    // Likewise a line longer than a string can hold.
  }
  FitPadFont(fonts, dpi);
}
