// The device context of one call of the window procedure, as a Canvas: the window's DC is
// taken with GetDC on first use and prepared (DC brush, pad font, DC pen in PenColor); what
// this context took and selected it gives back when it ends, so a handler that returns
// early leaks nothing and the pad font is never left selected where it could be deleted.
#ifndef KWIX_APP_PAINTCONTEXTWIN_H
#define KWIX_APP_PAINTCONTEXTWIN_H

#include <windows.h>

#include <optional>

#include "base/ScopedWin.h"
#include "pad/Canvas.h"

class WinPadWindow;
struct TSettings;

class PaintContext : public Canvas, NonCopyable {
 public:
  // A context for the pad window, with no device context until something draws.
  PaintContext(const WinPadWindow& pad, const TSettings& settings);
  // A context over a device context someone else owns (a paint or memory DC), drawing in the
  // pad's font and outlining in its settings' PenColor.
  PaintContext(HDC dc, const WinPadWindow& pad, const TSettings& settings) : pad_(pad), settings_(settings), dc_(dc) {}

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
  void DrawWide(const TRect& rect, const wchar_t* text, int length, TextAlign align, TColor textColor,
                TColor backgroundColor);

  const WinPadWindow& pad_;
  const TSettings& settings_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  // Declared in the order of taking: they end in reverse, the selections before the DC.
  std::optional<ScopedWindowDC> windowDC_;
  std::optional<ScopedSelect> brush_, font_, pen_;
};

#endif
