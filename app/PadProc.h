// The pad's window procedure, platform-free: the pointer stage that tracks the hot cell,
// the press and the hover colours, and the dispatch of the messages the pad handles
// itself. The Windows window procedure turns messages into these calls; painting and the
// background erase stay there because they need the paint and memory device contexts.
#ifndef KWIX_APP_PADPROC_H
#define KWIX_APP_PADPROC_H

#include <cstdint>

#include "base/Types.h"
#include "gesture/SamplerHost.h"
#include "pad/PadWindow.h"

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

// Every program-wide variable back to its value at start: the settings (before their first
// load), the mode and cell metrics, the pointer state, the cursor trail, the calc edit's
// text and the kernel.
void ResetProgramState();

// The colour state of the key in (col, row) from the pointer state.
int KeyColorState(int col, int row);
// Draws the key in (col, row) in its current state.
void RedrawKey(Canvas& context, int col, int row);
// The paint: the keys (and in calculator mode the calc edit) that meet the paint rectangle.
void PaintPad(Canvas& context, const TRect& paintRect);

// Redraws just the keys whose colour state changed and sets the pointer shape.
void UpdateHover(Canvas& context, PadWindow& window);
// Runs the key action of the hot key, if there is one.
void ActivateHotKey(Canvas& context, PadWindow& window);

// A message for the pad other than paint, erase and the timers: the pointer stage for the
// mouse range (point in client coordinates), then the dispatch of the messages handled here.
// Returns false when the message is (also) left to the system's default handling, as WM_INPUT
// is so that the system frees the input.
bool HandlePadMessage(Canvas& context, PadHost& window, uint32_t message, TPoint point);
// WM_TIMER: the tick of the sampler's timer with that identifier.
void HandlePadTimer(PadHost& window, uintptr_t timerId);
// WM_DPICHANGED (the pad dragged onto another monitor, a scale change, a dock): a visible pad
// is laid out for the new DPI with the point under the pointer kept in place, and a drag
// goes on; a hidden one takes its monitor's DPI when it is next shown.
void HandleDpiChange(PadHost& window, int dpi);

// The client point in a mouse message's lParam: signed 16-bit x low, y high.
TPoint PointFromLParam(intptr_t lParam);

#endif
