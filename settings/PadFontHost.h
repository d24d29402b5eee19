// The platform's part in building the pad font: the screen's vertical resolution, and
// turning a font description into the GDI font that the drawing selects.
#ifndef KWIX_SETTINGS_PADFONTHOST_H
#define KWIX_SETTINGS_PADFONTHOST_H

#include <cstdint>

// The fields of LOGFONTA that the pad font sets; all others are zero.
struct TLogFont {
  int32_t Height = 0;  // negative: character height without internal leading
  int32_t Weight = 0;  // 700 bold, 400 regular
  uint8_t Italic = 0;
  char FaceName[32] = {};  // at most 31 bytes and a zero byte
};

class PadFontHost {
 public:
  virtual ~PadFontHost() = default;
  // GetDeviceCaps(LOGPIXELSY) on a device context for the whole screen.
  virtual int ScreenPixelsPerInchY() = 0;
  // Deletes the current PadFont, if any, and creates the new one (CreateFontIndirectA).
  virtual void ReplacePadFont(const TLogFont& font) = 0;
};

#endif
