// The pad's window procedure, platform-free, and the program's state it works on: the
// pointer stage that tracks the hot cell, the press and the hover colours, the dispatch of
// the messages the pad handles itself, and showing and hiding the pad. The Windows window
// procedure turns messages into these calls; painting and the background erase stay there
// because they need the paint and memory device contexts.
#ifndef KWIX_APP_PADPROC_H
#define KWIX_APP_PADPROC_H

#include <cstdint>

#include "base/Types.h"
#include "calc/KeyActions.h"
#include "gesture/Gesture.h"
#include "gesture/SamplerHost.h"
#include "numtext/NumText.h"
#include "pad/Geometry.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

class Canvas;

// The window the pad's messages come to: the pad window, on which the cursor sampler's
// timers and mouse watch also run. The Windows pad window is both.
class PadHost : public PadWindow, public SamplerHost {};

namespace msg {
constexpr uint32_t Input = 0x00FF;
constexpr uint32_t MouseFirst = 0x0200;
constexpr uint32_t MouseMove = 0x0200;
constexpr uint32_t LButtonDown = 0x0201;
constexpr uint32_t LButtonUp = 0x0202;
constexpr uint32_t RButtonDown = 0x0204;
constexpr uint32_t MButtonDown = 0x0207;
constexpr uint32_t MouseLast = 0x020A;
constexpr uint32_t MouseLeave = 0x02A3;
constexpr uint32_t User = 0x0400;
// WM_APP + 1, posted by kwix.exe /toggle to the running copy's pad.
constexpr uint32_t Toggle = 0x8001;
}  // namespace msg

// WM_TIMER's identifiers on the pad: the sampler's 10 ms tick and its backup tick, and the
// bridge's put-back tick while a pasted result waits to be read.
constexpr uintptr_t kSampleTimerId = 0;
constexpr uintptr_t kBackupTimerId = 1;
constexpr uintptr_t kPutBackTimerId = 2;

// The pointer over the pad, at its values at start.
struct TPointerState {
  // The cell under the pointer (from CellAt), whether it is a key of the current mode with
  // the pointer over the pad, and whether the left button is held down on the pad.
  int32_t HotCol = 0;
  int32_t HotRow = 0;
  bool HotValid = false;
  bool Pressed = false;
  // The drag origin: the client point of the last left-button press.
  TPoint PressPoint;
  // The hover state as of the last UpdateHover.
  int32_t PrevHotCol = 0;
  int32_t PrevHotRow = 0;
  bool PrevHotValid = false;
  bool PrevPressed = false;
  // A leave notification has been requested and not yet delivered.
  bool Tracking = false;
};

// The running program's state, a member for each part. Start-up makes it before the pad
// window, which hands it to its window procedure.
struct TKwix {
  TKwix(Bridge& bridge, const TNumberFormat& format) : Format(format), Calc(bridge) {}
  TNumberFormat Format;
  TSettings Settings;
  TMadeFont MadeFont;
  TLayout Layout;
  TCalculator Calc;
  TPointerState Pointer;
  TSampler Sampler;
};

// The paint: the keys (and in calculator mode the calc edit) that meet the paint rectangle.
void PaintPad(const TKwix& kwix, Canvas& context, const TRect& paintRect);

// A message for the pad other than paint, erase and the timers: the pointer stage for the
// mouse range (point in client coordinates), then the dispatch of the messages handled here.
// Returns false when the message is (also) left to the system's default handling, as WM_INPUT
// is so that the system frees the input.
bool HandlePadMessage(TKwix& kwix, Canvas& context, PadHost& window, uint32_t message, TPoint point);
// WM_TIMER: the tick of the sampler's timer with that identifier.
void HandlePadTimer(TKwix& kwix, PadHost& window, uintptr_t timerId);
// WM_DPICHANGED (the pad dragged onto another monitor, a scale change, a dock): a visible pad
// is laid out for the new DPI with the point under the pointer kept in place, and a drag
// goes on; a hidden one takes its monitor's DPI when it is next shown.
void HandleDpiChange(TKwix& kwix, PadHost& window, int dpi);

// The client point in a mouse message's lParam: signed 16-bit x low, y high.
TPoint PointFromLParam(intptr_t lParam);

#endif
