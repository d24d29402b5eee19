#include "FakePad.h"

void RecordingCanvas::Caption(const TRect& rect, const std::u16string& text, TextAlign align, TColor textColor,
                              TColor backgroundColor) {
  std::string narrow;
  for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  texts.push_back(Text{rect, narrow, align, textColor, backgroundColor});
}

void FakeTarget::KeyDown(uint8_t vk) {
  keys.emplace_back(true, vk);
  if (vk == kVkControl) controlDown_ = true;
  if (controlDown_ && vk == kVkC && !copies.empty()) {
    clipboard = copies.front();
    copies.pop_front();
    ++sequence;
  }
  if (controlDown_ && vk == kVkV) pasted.push_back(clipboard);
}

std::vector<uint8_t> FakeTarget::Downs() const {
  std::vector<uint8_t> downs;
  for (const auto& k : keys) {
    if (k.first) downs.push_back(k.second);
  }
  return downs;
}
