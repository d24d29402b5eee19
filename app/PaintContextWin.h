// The device context of one call of the window procedure, as a Canvas: the window's DC
// is taken with GetDC on first use and prepared (DC brush, pad font, DC pen in PenColor);
// what this context took it gives back when it ends, so a handler that returns early
// leaks nothing and the pad font is never left selected where it could be deleted.
#ifndef KWIX_APP_PAINTCONTEXTWIN_H
#define KWIX_APP_PAINTCONTEXTWIN_H

#include <windows.h>

#include "pad/Canvas.h"

// The pad font, replaced by the settings load when the font settings change.
extern HFONT PadFont;

class PaintContext : public Canvas {
 public:
  // A context for the window, with no device context until something draws.
  explicit PaintContext(HWND window);
  // A context over a device context someone else owns (a paint or memory DC).
  static PaintContext ForDC(HDC dc);
  ~PaintContext() override;
  PaintContext(PaintContext&& other) noexcept;
  PaintContext(const PaintContext&) = delete;
  PaintContext& operator=(const PaintContext&) = delete;
  PaintContext& operator=(PaintContext&&) = delete;

  // Draw into the paint DC of BeginPaint from now on, until ForgetDC.
  void UseDC(HDC dc);
  // Undo the preparation and drop the DC without releasing it (EndPaint does).
  void ForgetDC();
  // Ensure-DC: the prepared device context.
  HDC DC();

  void FillRect(const TRect& rect, TColor color) override;
  void RoundBox(const TRect& rect, int cornerWidth, int cornerHeight, TColor color) override;
  void Caption(const TRect& rect, const std::u16string& text, TextAlign align, TColor textColor,
               TColor backgroundColor) override;
  void CaptionA(const TRect& rect, const std::string& text, TextAlign align, TColor textColor,
                TColor backgroundColor) override;
  int TextWidth(const std::string& text) override;

 private:
  void Prepare();
  void Unprepare();
  void DrawWide(const TRect& rect, const wchar_t* text, int length, TextAlign align, TColor textColor,
                TColor backgroundColor);

  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  bool ownsDC_ = false;  // taken with GetDC: released with ReleaseDC at the end
  bool prepared_ = false;
  HGDIOBJ oldBrush_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
};

#endif
