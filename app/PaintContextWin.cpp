#include "app/PaintContextWin.h"

#include <vector>

#include "app/PadWindowWin.h"
#include "settings/Settings.h"

namespace {

RECT ToRECT(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

PaintContext::PaintContext(const WinPadWindow& pad, const TSettings& settings)
    : pad_(pad), settings_(settings), window_(pad.Handle()) {}

HDC PaintContext::DC() {
  if (!dc_ && window_) dc_ = windowDC_.emplace(window_);
  if (dc_ && !pen_) {
    brush_.emplace(dc_, GetStockObject(DC_BRUSH));
    font_.emplace(dc_, pad_.Font());
    pen_.emplace(dc_, GetStockObject(DC_PEN));
    SetDCPenColor(dc_, settings_.PenColor);
  }
  return dc_;
}

void PaintContext::FillRect(const TRect& rect, TColor color) {
  HDC dc = DC();
  if (!dc) return;
  SetDCBrushColor(dc, color);
  RECT r = ToRECT(rect);
  ::FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void PaintContext::RoundBox(const TRect& rect, int cornerWidth, int cornerHeight, TColor color) {
  HDC dc = DC();
  if (!dc) return;
  SetDCBrushColor(dc, color);
  ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

void PaintContext::DrawWide(const TRect& rect, const wchar_t* text, int length, TextAlign align, TColor textColor,
                            TColor backgroundColor) {
  HDC dc = DC();
  if (!dc) return;
  SetTextColor(dc, textColor);
  SetBkColor(dc, backgroundColor);
  RECT r = ToRECT(rect);
  UINT format = DT_SINGLELINE | DT_VCENTER | (align == TextAlign::Right ? DT_RIGHT : DT_CENTER);
  DrawTextW(dc, text, length, &r, format);
}

void PaintContext::Caption(const TRect& rect, const std::u16string& text, TextAlign align, TColor textColor,
                           TColor backgroundColor) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "captions are UTF-16 as Windows' wide text");
  DrawWide(rect, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), align, textColor,
           backgroundColor);
}

void PaintContext::CaptionA(const TRect& rect, const std::string& text, TextAlign align, TColor textColor,
                            TColor backgroundColor) {
  // The calc edit's text is in the system code page.
  int count = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::vector<wchar_t> wide(static_cast<size_t>(count > 0 ? count : 0) + 1);
  if (count > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), count);
  DrawWide(rect, wide.data(), count > 0 ? count : 0, align, textColor, backgroundColor);
}

int PaintContext::TextWidth(const std::string& text) {
  HDC dc = DC();
  SIZE size{0, 0};
  if (dc) GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}
