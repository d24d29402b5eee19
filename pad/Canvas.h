// A device context as the drawing and the text measuring use it. The Windows build's
// PaintContext takes the window's DC on first use and prepares it (DC brush, pad font,
// DC pen in PenColor); tests draw into recording stand-ins.
#ifndef KWIX_PAD_CANVAS_H
#define KWIX_PAD_CANVAS_H

#include <string>

#include "base/Types.h"

enum class TextAlign { Center, Right };

class Canvas {
 public:
  virtual ~Canvas() = default;
  // FillRect with the DC brush set to color.
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // RoundRect filled with color and outlined in PenColor.
  virtual void RoundBox(const TRect& rect, int cornerWidth, int cornerHeight, TColor color) = 0;
  // DrawTextW, single line, vertically centred, in the pad font, on an opaque background.
  virtual void Caption(const TRect& rect, const std::u16string& text, TextAlign align, TColor textColor,
                       TColor backgroundColor) = 0;
  // The same for single-byte text in the system code page.
  virtual void CaptionA(const TRect& rect, const std::string& text, TextAlign align, TColor textColor,
                        TColor backgroundColor) = 0;
  // GetTextExtentPoint32A width of text in the pad font.
  virtual int TextWidth(const std::string& text) = 0;
};

#endif
