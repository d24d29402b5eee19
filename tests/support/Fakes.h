// The stand-ins shared by all tests: the pad window with its device context and font host,
// and the focused application behind the bridge's ports (FakeTarget.h). Each records what it
// was asked, as text where that reads best.
#ifndef KWIX_TESTS_FAKES_H
#define KWIX_TESTS_FAKES_H

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "FakeTarget.h"
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

// The program's state at start, with the fakes wired in where start-up wires the system,
// the settings at their defaults and the locale's separators '.' and ','.
struct Program {
  FakeTarget target;
  Bridge bridge{target, target, target, target, target};
  TKwix kwix{bridge, TNumberFormat{'.', ReadDigitGrouping(u',', "3;0")}};
  FakePad pad{kwix.Settings};
  Program() {
    SetDecimalKeyCaption(u'.');
    target.pad = &bridge;
    UpdateCellMetrics(kwix.Layout, pad, 0);
    kwix.Calc.Kernel.OnChange = [this](TSmplCalcKrnl&) { HandlePadMessage(kwix, pad, pad, msg::User, TPoint{}); };
  }
  // The key's action, as the window procedure runs it for the key under the pointer.
  void Activate(const TButtonRec& key) { KeyAction(kwix.Calc, kwix.Layout, kwix.Settings, kwix.Format, pad, pad, key); }
};

#endif
