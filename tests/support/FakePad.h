// Stand-ins for the pad window, its device context and the focused application, so the
// pointer handling, drawing and key actions run natively and say what they asked for.
#ifndef KWIX_TESTS_SUPPORT_FAKEPAD_H
#define KWIX_TESTS_SUPPORT_FAKEPAD_H

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "bridge/Bridge.h"
#include "pad/Canvas.h"
#include "pad/PadWindow.h"

class FakePadWindow : public PadWindow {
 public:
  int menuBarHeight = 20;
  int dpi = 96;
  TRect client{0, 0, 0, 0};
  TPoint windowPos{0, 0};
  bool visible = false;
  TPoint cursor{0, 0};
  bool cursorReadable = true;
  bool captured = false;
  bool trackLeaveResult = true;
  int trackLeaveCalls = 0;
  int beeps = 0;
  int resizes = 0;
  int fontsBuilt = 0;
  std::vector<bool> pointerShapes;  // true: hand
  bool classArrow = true;

  int ScreenPixelsPerInchY() override { return dpi; }
  void ReplacePadFont(const TLogFont&) override { ++fontsBuilt; }
  int MenuBarHeight() override { return menuBarHeight; }
  TRect ClientRect() override { return client; }
  void Resize(int width, int height) override {
    ++resizes;
    client = TRect{0, 0, width, height};
  }
  void Move(int left, int top) override { windowPos = TPoint{left, top}; }
  void PlaceOnTop(int left, int top, int width, int height) override {
    windowPos = TPoint{left, top};
    client = TRect{0, 0, width, height};
  }
  void ShowNoActivate() override { visible = true; }
  void Hide() override { visible = false; }
  bool IsVisible() override { return visible; }
  bool CursorPos(TPoint& position) override {
    if (!cursorReadable) return false;
    position = cursor;
    return true;
  }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override { captured = false; }
  bool TrackLeave() override {
    ++trackLeaveCalls;
    return trackLeaveResult;
  }
  void SetPointerShape(bool hand) override { pointerShapes.push_back(hand); }
  void SetClassArrowCursor(bool arrow) override { classArrow = arrow; }
  void Beep() override { ++beeps; }
};

// Records what is drawn; text is measured as a fixed width per byte.
class RecordingCanvas : public Canvas {
 public:
  struct Box {
    TRect rect;
    int cornerWidth;
    int cornerHeight;
    TColor color;
  };
  struct Text {
    TRect rect;
    std::string text;  // captions as UTF-8-free bytes: ASCII, or '?' for others
    TextAlign align;
    TColor textColor;
    TColor backgroundColor;
  };
  int charWidth = 7;
  std::vector<std::pair<TRect, TColor>> fills;
  std::vector<Box> boxes;
  std::vector<Text> texts;
  std::vector<std::string> measured;

  void FillRect(const TRect& rect, TColor color) override { fills.emplace_back(rect, color); }
  void RoundBox(const TRect& rect, int cornerWidth, int cornerHeight, TColor color) override {
    boxes.push_back(Box{rect, cornerWidth, cornerHeight, color});
  }
  void Caption(const TRect& rect, const std::u16string& text, TextAlign align, TColor textColor,
               TColor backgroundColor) override;
  void CaptionA(const TRect& rect, const std::string& text, TextAlign align, TColor textColor,
                TColor backgroundColor) override {
    texts.push_back(Text{rect, text, align, textColor, backgroundColor});
  }
  int TextWidth(const std::string& text) override {
    measured.push_back(text);
    return charWidth * static_cast<int>(text.size());
  }
  void Clear() {
    fills.clear();
    boxes.clear();
    texts.clear();
    measured.clear();
  }
};

// A focused application reached through the bridge: records the keys, answers Ctrl+C
// with a chosen text, and keeps what Ctrl+V pasted.
class FakeTarget : public KeySink, public ClipboardPort, public BridgeClock, public Beeper {
 public:
  std::vector<std::pair<bool, uint8_t>> keys;  // (down, vk)
  std::deque<std::string> copies;              // what each Ctrl+C copies, in turn
  std::string clipboard;
  std::vector<std::string> pasted;
  uint32_t sequence = 1;
  uint32_t now = 0;
  int beeps = 0;

  void KeyDown(uint8_t vk) override;
  void KeyUp(uint8_t vk) override { keys.emplace_back(false, vk); }
  bool Open() override { return true; }
  void Close() override {}
  bool Empty() override {
    clipboard.clear();
    ++sequence;
    return true;
  }
  bool SetData(unsigned, const void* bytes, size_t count) override {
    clipboard.assign(static_cast<const char*>(bytes), count);
    if (!clipboard.empty() && clipboard.back() == '\0') clipboard.pop_back();
    ++sequence;
    return true;
  }
  std::string GetText() override { return clipboard; }
  uint32_t SequenceNumber() override { return sequence; }
  void SleepMs(int ms) override { now += static_cast<uint32_t>(ms); }
  uint32_t NowMs() override { return now; }
  void Beep() override { ++beeps; }

  // The virtual keys tapped (downs only), in order.
  std::vector<uint8_t> Downs() const;

 private:
  bool controlDown_ = false;
};

#endif
