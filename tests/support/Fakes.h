// The stand-ins shared by all tests: the pad window with its device context and font host,
// and a focused text field behind the bridge's ports, on a clock that runs only when the
// bridge sleeps. Each records what it was asked, as text where that reads best.
#ifndef KWIX_TESTS_FAKES_H
#define KWIX_TESTS_FAKES_H

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/PadProc.h"
#include "base/Errors.h"
#include "base/MulDiv.h"
#include "base/X87.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "numtext/NumText.h"
#include "pad/Canvas.h"
#include "pad/Geometry.h"
#include "settings/Settings.h"

// Tests run under the program's standing control word, whatever the process started with.
inline const bool kStandingWordSet = (SetX87ControlWord(kStandingControlWord), true);

// Points and rectangles as a failing check prints them.
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// A caption in UTF-8; the captions hold nothing beyond U+07FF.
inline std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text)
    out += c < 0x80 ? std::string{char(c)} : std::string{char(0xC0 | c >> 6), char(0x80 | c % 64)};
  return out;
}

// The pad window with its device context, its font host and the sampler's timers and mouse
// watch. What it shows is logged by name, entries joined by ", ": "key 5 hot", "key 7 plain",
// "key 7 held" (a random colour), "calc edit 12", "mask", "pointer hand", "class cursor arrow",
// "mouse captured".
// Rectangles are the geometry tests' concern.
struct FakePad : PadHost, Canvas {
  // The settings the pad is drawn with, which name its colours.
  explicit FakePad(const TSettings& settings) : settings(settings) {}
  const TSettings& settings;
  // What the system reports: SM_CYMENU and the pixels per inch of the whole screen, the DPI of
  // the monitor under any point (0: one DPI for every monitor), the width of each character of
  // the pad font, and GetCursorPos. Menu bars are 20 pixels high at 96 DPI, 30 at 144.
  int menuBar = 20, dpi = 96, monitorDpi = 0, charWidth = 6;
  TPoint cursor;
  bool cursorReadable = true;
  // What the pad was made to do: its size and its top left corner on the screen.
  TRect client;
  TPoint at;
  bool visible = false;
  int beeps = 0, fontsMade = 0, resizes = 0;
  TLogFont font;
  std::string drawn;
  TRect box;  // the last key box, which a caption must lie on
  TColor boxColor = 0;

  void Log(const std::string& entry) { drawn += (drawn.empty() ? "" : ", ") + entry; }
  std::string KeyState(TColor background, TColor text) const {
    auto is = [](TColor color, int32_t setting) { return color == static_cast<TColor>(setting); };
    if (is(background, settings.BtnHoverColor) && is(text, settings.BtnHoverTextColor)) return "hot";
    if (is(background, settings.BtnColor) && is(text, settings.BtnTextColor)) return "plain";
    if (text == 0 && !is(background, settings.BtnColor)) return "held";  // a random colour of the hue circle
    return "in colours " + std::to_string(background) + "/" + std::to_string(text);
  }

  int ScreenPixelsPerInchY() override { return dpi; }
  void ReplacePadFont(const TLogFont& f) override { font = f, ++fontsMade; }
  int MenuBarHeight(int forDpi) override { return forDpi ? MulDiv(20, forDpi, 96) : menuBar; }
  int MonitorDpiAt(TPoint) override { return monitorDpi; }
  TRect ScreenRect() override { return TRect{at.x, at.y, at.x + client.right, at.y + client.bottom}; }
  TRect ClientRect() override { return client; }
  void Resize(int width, int height) override { client = TRect{0, 0, width, height}, ++resizes; }
  void Move(int left, int top) override { at = TPoint{left, top}; }
  void PlaceOnTop(int left, int top, int width, int height) override { Move(left, top), Resize(width, height); }
  void ShowNoActivate() override { visible = true; }
  void Hide() override { visible = false; }
  bool IsVisible() override { return visible; }
  void CaptureMouse() override { Log("mouse captured"); }
  void ReleaseMouse() override { Log("mouse released"); }
  bool TrackLeave() override { return Log("leave tracked"), true; }
  void SetPointerShape(bool hand) override { Log(hand ? "pointer hand" : "pointer arrow"); }
  void SetClassArrowCursor(bool arrow) override { Log(arrow ? "class cursor arrow" : "class cursor none"); }
  void Beep() override { ++beeps; }

  void FillRect(const TRect&, TColor color) override {
    Log(color == static_cast<TColor>(settings.MaskColor) ? "mask" : "fill " + std::to_string(color));
  }
  void RoundBox(const TRect& rect, int, int, TColor color) override { box = rect, boxColor = color; }
  void Caption(const TRect& rect, const std::u16string& text, TextAlign, TColor textColor, TColor background) override {
    const bool onItsBox = box == rect && boxColor == background;
    Log("key " + Utf8(text) + " " + KeyState(background, textColor) + (onItsBox ? "" : " without its box"));
  }
  void CaptionA(const TRect& r, const std::string& text, TextAlign, TColor, TColor background) override {
    const bool inItsBox = boxColor == background && box.left <= r.left && box.top <= r.top && r.right <= box.right &&
                          r.bottom <= box.bottom;
    Log("calc edit " + text + (inItsBox ? "" : " without its box"));
  }
  int TextWidth(const std::string& t) override { return charWidth * static_cast<int>(t.size()); }

  // The sampler's timers and its watch for the mouse: what runs now, and what the system
  // refuses to make, each name once ("mouse watch", "sample timer", "backup timer").
  bool sampleTimer = true, mouseWatch = false, backupTimer = false;
  std::string refused;
  int rests = 0;  // times the sample timer was stopped
  bool Switch(bool& running, const std::string& name, bool on) {
    const size_t refuse = on ? refused.find(name) : std::string::npos;
    if (refuse != std::string::npos) return refused.erase(refuse, name.size()), false;
    return running = on, true;
  }
  bool CursorPos(TPoint& p) override { return p = cursor, cursorReadable; }
  bool StartSampleTimer() override { return Switch(sampleTimer, "sample timer", true); }
  void StopSampleTimer() override { Switch(sampleTimer, "sample timer", false), ++rests; }
  bool WatchMouseInput() override { return Switch(mouseWatch, "mouse watch", true); }
  void UnwatchMouseInput() override { Switch(mouseWatch, "mouse watch", false); }
  bool StartBackupTimer() override { return Switch(backupTimer, "backup timer", true); }
  void StopBackupTimer() override { Switch(backupTimer, "backup timer", false); }
};

// A text field with a caret and a selection, as an EDIT control answers the bridge's keys,
// and the clipboard, clock, beeper and foreground window around it. Its thread takes the keys
// when it is free: a slow copy keeps it busy, and what comes meanwhile waits in its queue.
struct FakeTarget : KeySink, ClipboardPort, BridgeClock, Beeper, TargetPort {
  // The field's text; the selection runs from anchor to caret, equal when none.
  std::string text;
  size_t caret = 0, anchor = 0;
  // The clipboard's formats by name ("CF_TEXT", "CF_UNICODETEXT", a registered name), each with
  // its content: a text without its zero byte (a Unicode one in single bytes), a number in digits.
  std::map<std::string, std::string> clipboard;
  // What Ctrl+C copies instead of the selection, as a grid copies its cells; a grid that copied
  // stays in copy mode (its next Enter pastes) until another program empties the clipboard.
  std::string copyAs;
  bool copyMode = false;
  // Its thread never answers, as a hung one does; another program holds the clipboard open.
  // Ctrl and Shift as held down now, and how many keys are; whether the pad has the clipboard open.
  bool hung = false, held = false, ctrl = false, shift = false, open = false;
  int down = 0, beeps = 0;
  // A copy that takes this long, its thread busy meanwhile (a workbook recalculating).
  uint32_t copyMs = 0;
  // The foreground window: whether there is one, its class, its process's integrity level and the pad's.
  bool foreground = true;
  std::string windowClass = "Edit";
  TIntegrity level = 0x2000, own = 0x2000;
  // The tick count near its wrap, running only while the bridge waits; when the field's thread is
  // free again; the clipboard's sequence number.
  uint32_t now = 0xFFFFFF00u, freeAt = now, sequence = 0;
  // The registered clipboard formats' names, numbered from 0xC000 as Windows numbers them.
  std::vector<std::string> registered;
  // The keys the field took, by name, with the modifiers held: "Ctrl+Right Ctrl+Shift+Left Ctrl+C".
  std::string keys;

  // Sets the text from its shown form: the selection in brackets, or the caret as "|".
  void Set(const std::string& shown) {
    text.clear();
    for (char c : shown) {
      if (c == '[' || c == '|') anchor = text.size();
      if (c == ']' || c == '|') caret = text.size();
      if (c != '[' && c != ']' && c != '|') text += c;
    }
  }
  // The text with its selection in brackets, or its caret as "|".
  std::string Shown() const {
    std::string shown = text;
    if (caret == anchor) return shown.insert(caret, "|");
    return shown.insert(std::max(caret, anchor), "]").insert(std::min(caret, anchor), "[");
  }
  // The clipboard's formats in name order with their content: "CF_TEXT=25 CanIncludeInClipboardHistory=0".
  std::string Formats() const {
    std::string formats;
    for (const auto& [name, content] : clipboard)
      formats.append(formats.empty() ? "" : " ").append(name).append("=").append(content);
    return formats;
  }
  // The thread catches up with its queue once it is free, unless it hangs.
  void TakeQueuedKeys() {
    while (!hung && Free()) {
      if (copying) copying = false, Copy();
      if (queue.empty()) return;
      const TKeyEvent event = queue.front();
      queue.erase(queue.begin());
      event.up ? KeyUp(event.vk) : KeyDown(event.vk);
    }
  }

  void Send(const std::vector<TKeyEvent>& events) override {
    queue.insert(queue.end(), events.begin(), events.end());
    TakeQueuedKeys();
  }
  bool Open() override { return open = !held; }
  void Close() override { open = false; }
  bool Empty() override { return clipboard.clear(), ++sequence, copyMode = false, open; }
  bool SetData(unsigned format, const void* bytes, size_t count) override {
    const char* data = static_cast<const char*>(bytes);
    const bool ended = count > 0 && data[count - 1] == 0;  // as a text must be
    if (format == kClipboardText) clipboard["CF_TEXT"] = std::string(data, count - ended) + (ended ? "" : "(no zero)");
    if (format >= 0xC000)
      clipboard[registered.at(format - 0xC000)] = std::to_string(*static_cast<const uint32_t*>(bytes));
    return ++sequence, open;
  }
  std::string GetText() override { return open && clipboard.count("CF_TEXT") ? clipboard["CF_TEXT"] : std::string(); }
  uint32_t SequenceNumber() override { return sequence; }
  unsigned RegisterFormat(const char* name) override {
    auto found = std::find(registered.begin(), registered.end(), name);
    if (found == registered.end()) found = registered.insert(found, name);
    return 0xC000 + static_cast<unsigned>(found - registered.begin());
  }
  void SleepMs(int ms) override { now += static_cast<uint32_t>(ms), TakeQueuedKeys(); }
  uint32_t NowMs() override { return now; }
  void Beep() override { ++beeps; }
  bool HasForeground() override { return foreground; }
  TIntegrity Foreground() override { return level; }
  TIntegrity Own() override { return own; }
  std::string ForegroundClass() override { return foreground ? windowClass : ""; }
  // A busy thread answers once it is free, within the time-out or not at all.
  bool Answers(int timeoutMs) override {
    const bool answers = !hung && static_cast<int32_t>(now + static_cast<uint32_t>(timeoutMs) - freeAt) >= 0;
    now = answers && !Free() ? freeAt : now + (answers ? 0 : static_cast<uint32_t>(timeoutMs));
    return TakeQueuedKeys(), answers;
  }

 private:
  std::vector<TKeyEvent> queue;
  bool copying = false;

  bool Free() const { return static_cast<int32_t>(now - freeAt) >= 0; }
  void KeyDown(uint8_t vk) {
    ++down;
    ctrl |= vk == kVkControl, shift |= vk == kVkShift;
    if (vk == kVkControl || vk == kVkShift) return;
    keys += (keys.empty() ? "" : " ") + std::string(ctrl ? "Ctrl+" : "") + (shift ? "Shift+" : "") + KeyName(vk);
    if (ctrl && vk == kVkC) copying = true, freeAt = now + copyMs;
    if (ctrl && vk == kVkV)
      Type(clipboard.count("CF_UNICODETEXT") ? clipboard["CF_UNICODETEXT"] : clipboard["CF_TEXT"]);
    if (vk == kVkLeft || vk == kVkRight) Move(vk == kVkRight);
    if (vk == kVkDecimal) Type(".");
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) Type(std::to_string(vk - kVkNumpad0));
  }
  void KeyUp(uint8_t vk) { --down, ctrl &= vk != kVkControl, shift &= vk != kVkShift; }
  static std::string KeyName(uint8_t vk) {
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return "Numpad" + std::to_string(vk - kVkNumpad0);
    if (vk == kVkLeft || vk == kVkRight) return vk == kVkLeft ? "Left" : "Right";
    return vk == kVkDecimal ? "Decimal" : std::string(1, static_cast<char>(vk));  // the letters C and V
  }
  size_t Start() const { return std::min(caret, anchor); }
  size_t Length() const { return std::max(caret, anchor) - Start(); }
  bool Blank(size_t i) const { return text[i] == ' '; }
  bool Word(size_t i) const { return text[i] != ' ' && text[i] != '\n'; }
  // Ctrl+Left and Ctrl+Right stop at word starts, after the blanks that follow a word; a line
  // end is a word of its own, as in a RichEdit. A plain arrow moves the caret by one
  // character, as an EDIT does, ending any selection.
  void Move(bool right) {
    size_t c = caret;
    if (ctrl && right) {
      if (c < text.size() && text[c] == '\n') {
        ++c;
      } else {
        while (c < text.size() && Word(c)) ++c;
      }
      while (c < text.size() && Blank(c)) ++c;
    } else if (ctrl && c > 0 && text[c - 1] == '\n') {
      --c;
    } else if (ctrl) {
      while (c > 0 && Blank(c - 1)) --c;
      while (c > 0 && Word(c - 1)) --c;
    } else {
      c = right ? std::min(c + 1, text.size()) : c - (c > 0);
    }
    caret = c;
    if (!shift) anchor = c;
  }
  // Ctrl+C as programs copy: the clipboard emptied, then the text in both forms. Nothing
  // when nothing is selected or another program holds the clipboard.
  void Copy() {
    if ((Length() == 0 && copyAs.empty()) || held) return;
    const std::string copied = copyAs.empty() ? text.substr(Start(), Length()) : copyAs;
    clipboard = {{"CF_TEXT", copied}, {"CF_UNICODETEXT", copied}};
    copyMode = !copyAs.empty();
    ++sequence;
  }
  // Replaces the selection, leaving the caret after the typed text.
  void Type(const std::string& typed) {
    text.replace(Start(), Length(), typed);
    caret = anchor = Start() + typed.size();
  }
};

// The program's state at start, with the fakes wired in where start-up wires the system,
// the settings at their defaults and the locale's separators '.' and ','.
struct Program {
  FakeTarget target;
  Bridge bridge{target, target, target, target, target};
  TKwix kwix{bridge, TNumberFormat{'.', ReadDigitGrouping(',', "3;0")}};
  FakePad pad{kwix.Settings};
  Program() {
    SetDecimalKeyCaption(u'.');
    UpdateCellMetrics(kwix.Layout, pad, 0);
    kwix.Calc.Kernel.OnChange = [this](TSmplCalcKrnl&) { HandlePadMessage(kwix, pad, pad, msg::User, TPoint{}); };
  }
  // The key's action, as the window procedure runs it for the key under the pointer.
  void Activate(const TButtonRec& key) { KeyAction(kwix.Calc, kwix.Layout, kwix.Settings, kwix.Format, pad, pad, key); }
};

#endif
