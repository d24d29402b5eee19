#include "settings/Settings.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>

#include "base/Errors.h"
#include "base/MulDiv.h"

const TFontParams DefaultFontParams = {"Verdana", 8, true, false};

bool operator==(const TFontParams& a, const TFontParams& b) {
  return a.FontFace == b.FontFace && a.FontSize == b.FontSize && a.BoldFont == b.BoldFont &&
         a.ItalicFont == b.ItalicFont;
}

TFontParams FontParamsOf(const TSettings& settings) {
  return TFontParams{settings.FontFace, settings.FontSize, settings.BoldFont, settings.ItalicFont};
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

void FitPadFont(TMadeFont& made, const TSettings& settings, PadFontHost& fonts, int dpi) {
  const TFontParams wanted = FontParamsOf(settings);
  if (made.Made && made.Params == wanted && made.Dpi == dpi) return;
  fonts.ReplacePadFont(MakePadLogFont(wanted, dpi != 0 ? dpi : fonts.ScreenPixelsPerInchY()));
  made = TMadeFont{true, wanted, dpi};
}

TSettings LoadSettings(char decimalSeparator) {
  TSettings settings;
#define KWIX_BIND_SETTING(name, type, kind, value) MakeParamRec(#name, &settings.name, kind),
  const TParamRec table[] = {KWIX_SETTINGS(KWIX_BIND_SETTING)};
#undef KWIX_BIND_SETTING
  try {
    LoadParams(table, std::size(table), decimalSeparator);
  } catch (const EInOutError&) {
    // No file, or one that cannot be read: what was set so far stays, silently.
  } catch (const std::bad_alloc&) {
    // A line too long for the address space is a broken file like any other.
  } catch (const std::length_error&) {
    // Likewise a line longer than a string can hold.
  }
  return settings;
}
