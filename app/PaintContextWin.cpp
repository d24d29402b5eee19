#include "app/PaintContextWin.h"

#include <vector>

#include "settings/Settings.h"

HFONT PadFont = nullptr;

namespace {

RECT ToRECT(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

PaintContext::PaintContext(HWND window) : window_(window) {}

PaintContext PaintContext::ForDC(HDC dc) {
  PaintContext context(nullptr);
  context.dc_ = dc;
  return context;
}

PaintContext::PaintContext(PaintContext&& other) noexcept
    : window_(other.window_),
      dc_(other.dc_),
      ownsDC_(other.ownsDC_),
      prepared_(other.prepared_),
      oldBrush_(other.oldBrush_),
      oldFont_(other.oldFont_),
      oldPen_(other.oldPen_) {
  other.dc_ = nullptr;
  other.ownsDC_ = false;
  other.prepared_ = false;
}

PaintContext::~PaintContext() {
  Unprepare();
  if (ownsDC_ && dc_) ReleaseDC(window_, dc_);
}

void PaintContext::UseDC(HDC dc) {
  Unprepare();
  if (ownsDC_ && dc_) ReleaseDC(window_, dc_);
  dc_ = dc;
  ownsDC_ = false;
}

void PaintContext::ForgetDC() {
  Unprepare();
  dc_ = nullptr;
  ownsDC_ = false;
}

HDC PaintContext::DC() {
  if (!dc_ && window_) {
    dc_ = GetDC(window_);
    ownsDC_ = dc_ != nullptr;
  }
  if (dc_ && !prepared_) Prepare();
  return dc_;
}

void PaintContext::Prepare() {
  oldBrush_ = SelectObject(dc_, GetStockObject(DC_BRUSH));
  oldFont_ = PadFont ? SelectObject(dc_, PadFont) : nullptr;
  oldPen_ = SelectObject(dc_, GetStockObject(DC_PEN));
  SetDCPenColor(dc_, PenColor);
  prepared_ = true;
}

void PaintContext::Unprepare() {
  if (!prepared_ || !dc_) return;
  if (oldPen_) SelectObject(dc_, oldPen_);
  if (oldFont_) SelectObject(dc_, oldFont_);
  if (oldBrush_) SelectObject(dc_, oldBrush_);
  oldBrush_ = oldFont_ = oldPen_ = nullptr;
  prepared_ = false;
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
