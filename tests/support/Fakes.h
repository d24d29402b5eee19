// The stand-ins shared by all tests: the pad window with its device context and font host,
// and a focused text field behind the bridge's ports, on a clock that runs only when the
// bridge sleeps. Each records what it was asked, as text where that reads best.
#ifndef KWIX_TESTS_FAKES_H
#define KWIX_TESTS_FAKES_H

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/PadProc.h"
#include "base/Errors.h"
#include "base/X87.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "numtext/NumText.h"
#include "pad/Canvas.h"
#include "pad/Geometry.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

// Tests run under the program's standing control word, whatever the process started with.
inline const bool kStandingWordSet = (SetX87ControlWord(kStandingControlWord), true);

inline std::string Hex(uint32_t v) {
  char s[16];
  snprintf(s, sizeof s, "%X", v);
  return s;
}

struct FakePad : PadWindow, Canvas {
  int menuBar = 20, dpi = 96, charWidth = 6, beeps = 0, fonts = 0;
  TLogFont font;
  TRect client;
  TPoint at, cursor;
  bool visible = false, captured = false, classArrow = false, cursorReadable = true;
  std::string drawn;  // "box L,T,R,B colour", "text 'caption' colour", ...

  int ScreenPixelsPerInchY() override { return dpi; }
  void ReplacePadFont(const TLogFont& f) override { font = f, ++fonts; }
  int MenuBarHeight() override { return menuBar; }
  TRect ClientRect() override { return client; }
  void Resize(int width, int height) override { client = TRect{0, 0, width, height}; }
  void Move(int left, int top) override { at = TPoint{left, top}; }
  void PlaceOnTop(int left, int top, int width, int height) override { Move(left, top), Resize(width, height); }
  void ShowNoActivate() override { visible = true; }
  void Hide() override { visible = false; }
  bool IsVisible() override { return visible; }
  bool CursorPos(TPoint& p) override { return p = cursor, cursorReadable; }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override { captured = false; }
  bool TrackLeave() override { return true; }
  void SetPointerShape(bool hand) override { drawn += hand ? "hand " : "arrow "; }
  void SetClassArrowCursor(bool arrow) override { classArrow = arrow; }
  void Beep() override { ++beeps; }

  static std::string Box(const TRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
  void FillRect(const TRect& r, TColor c) override { drawn += "fill " + Box(r) + " " + Hex(c) + " "; }
  void RoundBox(const TRect& r, int, int, TColor c) override { drawn += "box " + Box(r) + " " + Hex(c) + " "; }
  void Caption(const TRect&, const std::u16string& t, TextAlign, TColor fg, TColor) override {
    drawn += "key " + std::string(t.begin(), t.end()) + " " + Hex(fg) + " ";
  }
  void CaptionA(const TRect&, const std::string& t, TextAlign, TColor, TColor) override { drawn += "edit " + t + " "; }
  int TextWidth(const std::string& t) override { return charWidth * static_cast<int>(t.size()); }

  // The cursor sampler's timers and its watch for the mouse (gesture/): what runs now, what
  // the system refuses to make ("backup timer", ...) and every request in order, by name:
  // "mouse watch on, backup timer on, sample timer off, ".
  bool sampleTimer = true, mouseWatch = false, backupTimer = false;
  std::string refused, asked;
  bool Switch(bool& running, const std::string& name, bool on) {
    asked += name + (on ? " on, " : " off, ");
    if (on && refused.find(name) != std::string::npos) return false;
    running = on;
    return true;
  }
  bool StartSampleTimer() override { return Switch(sampleTimer, "sample timer", true); }
  void StopSampleTimer() override { Switch(sampleTimer, "sample timer", false); }
  bool WatchMouseInput() override { return Switch(mouseWatch, "mouse watch", true); }
  void UnwatchMouseInput() override { Switch(mouseWatch, "mouse watch", false); }
  bool StartBackupTimer() override { return Switch(backupTimer, "backup timer", true); }
  void StopBackupTimer() override { Switch(backupTimer, "backup timer", false); }
};

// A text field with a caret and a selection, as an EDIT control answers the bridge's keys.
struct FakeTarget : KeySink, ClipboardPort, BridgeClock, Beeper, IntegrityPort {
  std::string text, clipboard, keys;  // keys: what reached the field, e.g. "^> ^<+ ^C"
  size_t caret = 0, anchor = 0;
  std::string copyAs;  // what Ctrl+C copies instead of the selection, as a grid does
  bool ctrl = false, shift = false, ignoring = false, held = false, open = false, foreground = true;
  TIntegrity level = 0x2000, own = 0x2000;
  uint32_t now = 0xFFFFFF00u, sequence = 0;  // near the wrap of the tick count
  int beeps = 0;
  std::string formats;

  bool Blank(size_t i) { return text[i] == ' '; }
  void KeyDown(uint8_t vk) override {
    if (vk == kVkControl || vk == kVkShift) return void((vk == kVkControl ? ctrl : shift) = true);
    if (ignoring) return;
    keys += std::string(ctrl ? "^" : "") + (shift ? "+" : "") + std::string(1, static_cast<char>(vk)) + " ";
    size_t c = caret;
    if (vk == kVkRight && ctrl) {
      while (c < text.size() && !Blank(c)) ++c;
      while (c < text.size() && Blank(c)) ++c;
    } else if (vk == kVkLeft && ctrl) {
      while (c > 0 && Blank(c - 1)) --c;
      while (c > 0 && !Blank(c - 1)) --c;
    } else if (vk == kVkLeft || vk == kVkRight) {
      c = vk == kVkLeft ? (c ? c - 1 : 0) : std::min(c + 1, text.size());
    } else if (vk == kVkC && ctrl) {
      // Nothing selected, or the clipboard held by another program: nothing copied.
      if ((Selected() || !copyAs.empty()) && !held)
        clipboard = copyAs.empty() ? text.substr(std::min(caret, anchor), Selected()) : copyAs, ++sequence;
      return;
    } else {
      std::string typed = vk == kVkV && ctrl
                              ? clipboard
                              : std::string(1, vk == kVkDecimal ? '.' : static_cast<char>(vk - kVkNumpad0 + '0'));
      text.replace(std::min(caret, anchor), Selected(), typed);
      return void(caret = anchor = std::min(caret, anchor) + typed.size());
    }
    caret = c, anchor = shift ? anchor : c;
  }
  size_t Selected() { return caret > anchor ? caret - anchor : anchor - caret; }
  void KeyUp(uint8_t vk) override { vk == kVkControl ? ctrl = false : vk == kVkShift ? shift = false : false; }
  bool Open() override { return !held && (open = true); }
  void Close() override { open = false; }
  bool Empty() override { return clipboard.clear(), ++sequence, open; }
  bool SetData(unsigned format, const void* bytes, size_t n) override {
    if (format != kClipboardText)
      return formats += Hex(format) + "=" + Hex(*static_cast<const uint32_t*>(bytes)) + " ", true;
    return clipboard.assign(static_cast<const char*>(bytes), n - 1), ++sequence, open;
  }
  std::string GetText() override { return clipboard; }
  uint32_t SequenceNumber() override { return sequence; }
  unsigned RegisterFormat(const char* name) override { return 0xC000 + static_cast<unsigned>(strlen(name)); }
  // Sets the text from its shown form: the selection in brackets, or the caret as "|".
  void Set(std::string shown) {
    const size_t open = shown.find('['), bar = shown.find('|');
    if (open != std::string::npos) shown.erase(open, 1), anchor = open, caret = shown.find(']'), shown.erase(caret, 1);
    if (bar != std::string::npos) shown.erase(bar, 1), caret = anchor = bar;
    text = shown;
  }
  // The text with its selection in brackets.
  std::string Shown() {
    std::string shown = text;
    if (Selected()) shown.insert(std::max(caret, anchor), "]").insert(std::min(caret, anchor), "[");
    return shown;
  }
  void SleepMs(int ms) override { now += static_cast<uint32_t>(ms); }
  uint32_t NowMs() override { return now; }
  void Beep() override { ++beeps; }
  bool HasForeground() override { return foreground; }
  TIntegrity Foreground() override { return level; }
  TIntegrity Own() override { return own; }
};

// The program's state at start, with the fakes wired in where start-up wires the system,
// the settings at their defaults and the locale's separator '.'.
struct Program {
  FakePad pad;
  FakeTarget target;
  Bridge bridge{target, target, target, target, target};
  Program() {
    ResetProgramState();
    SetX87ControlWord(kStandingControlWord);
    SetLocaleDecimalSeparator('.');
    KeyBridge = &bridge;
    LoadSettings(pad);
    UpdateCellMetrics(pad);
    Kernel.OnChange = [this](TSmplCalcKrnl&) { HandlePadMessage(pad, pad, msg::User, TPoint{}); };
  }
};

#endif
