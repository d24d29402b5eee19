#include "app/PadProc.h"

#include <algorithm>

#include "base/MulDiv.h"
#include "bridge/Bridge.h"
#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "gesture/Gesture.h"
#include "pad/Canvas.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "settings/Settings.h"

namespace {

// The pointer over the pad, at its values at start.
struct PointerState {
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
PointerState Pointer;

}  // namespace

void ResetProgramState() {
  ClearSettings();
  ResetGeometryState();
  ResetGestureState();
  ResetKeyActionState();
  Pointer = PointerState{};
}

int KeyColorState(int col, int row) {
  bool hot = Pointer.HotValid && col == Pointer.HotCol && row == Pointer.HotRow;
  return 2 * (hot ? 1 : 0) + (Pointer.Pressed ? 1 : 0);
}

void RedrawKey(Canvas& context, int col, int row) {
  DrawKey(context, col, row, KeyAt(col, row).Caption, KeyColorState(col, row));
}

void PaintPad(Canvas& context, const TRect& paintRect) {
  for (int row = 1; row <= 4; ++row) {
    for (int col = 0; col <= LastColumn(); ++col) {
      if (RectsIntersect(KeyRect(col, row), paintRect)) RedrawKey(context, col, row);
    }
  }
  if (CalcMode && RectsIntersect(CalcEditRect(), paintRect)) DrawCalcEdit(context, DisplayText);
}

TPoint PointFromLParam(intptr_t lParam) {
  TPoint p;
  p.x = static_cast<int16_t>(static_cast<uint32_t>(lParam) & 0xFFFF);
  p.y = static_cast<int16_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFF);
  return p;
}

void UpdateHover(Canvas& context, PadWindow& window) {
  if (Pointer.HotCol == Pointer.PrevHotCol && Pointer.HotRow == Pointer.PrevHotRow &&
      Pointer.HotValid == Pointer.PrevHotValid && Pointer.Pressed == Pointer.PrevPressed)
    return;
  if (UseHandCursor && Pointer.HotValid != Pointer.PrevHotValid) window.SetPointerShape(Pointer.HotValid);
  if (Pointer.PrevHotValid) RedrawKey(context, Pointer.PrevHotCol, Pointer.PrevHotRow);
  if (Pointer.HotValid) RedrawKey(context, Pointer.HotCol, Pointer.HotRow);
  Pointer.PrevHotCol = Pointer.HotCol;
  Pointer.PrevHotRow = Pointer.HotRow;
  Pointer.PrevHotValid = Pointer.HotValid;
  Pointer.PrevPressed = Pointer.Pressed;
}

void ActivateHotKey(Canvas& context, PadWindow& window) {
  if (Pointer.HotValid) KeyAction(context, window, KeyAt(Pointer.HotCol, Pointer.HotRow));
}

namespace {

void PointerStage(Canvas& context, PadWindow& window, uint32_t message, TPoint point) {
  if (message == msg::LButtonUp) {
    if (!ClickOnDown) ActivateHotKey(context, window);
    Pointer.Pressed = false;
    window.ReleaseMouse();
  }
  // While the button is held the hot cell stays the one of the press.
  if (!Pointer.Pressed) {
    CellAt(point.x, point.y, Pointer.HotCol, Pointer.HotRow);
    Pointer.HotValid = IsKeyCell(Pointer.HotCol, Pointer.HotRow);
  }
  if (message == msg::LButtonDown) {
    window.CaptureMouse();
    Pointer.Pressed = true;
    Pointer.PressPoint = point;
    if (ClickOnDown) ActivateHotKey(context, window);
  }
  UpdateHover(context, window);
}

bool DispatchPadMessage(Canvas& context, PadHost& window, uint32_t message) {
  switch (message) {
    case msg::Input: MouseInput(window, window); return false;
    case msg::MouseMove:
      // A press outside every key drags the whole pad.
      if (Pointer.Pressed && !Pointer.HotValid) {
        TPoint cursor;
        if (window.CursorPos(cursor)) window.Move(cursor.x - Pointer.PressPoint.x, cursor.y - Pointer.PressPoint.y);
      }
      if (!Pointer.Tracking) Pointer.Tracking = window.TrackLeave();
      return true;
    case msg::RButtonDown:
      ForgoLateCopy();
      window.Hide();
      return true;
    case msg::MButtonDown:
      CalcMode = !CalcMode;
      if (CalcMode) {
        Kernel.Reset(0);
      } else {
        ForgoLateCopy();
        // The remembered key is in the column that disappears.
        if (Pointer.PrevHotCol > 2) Pointer.PrevHotValid = false;
      }
      FitWindowToMode(window);
      return true;
    case msg::MouseLeave:
      Pointer.HotValid = false;
      UpdateHover(context, window);
      Pointer.Tracking = false;
      return true;
    case msg::User:
      if (!Typing) RefreshDisplay(context);
      return true;
    case msg::Toggle: TogglePadAtCursor(window, window); return true;
    default: return false;
  }
}

}  // namespace

bool HandlePadMessage(Canvas& context, PadHost& window, uint32_t message, TPoint point) {
  if (message >= msg::MouseFirst && message <= msg::MouseLast) PointerStage(context, window, message, point);
  return DispatchPadMessage(context, window, message);
}

void HandlePadTimer(PadHost& window, uintptr_t timerId) {
  if (timerId == kSampleTimerId) SampleCursor(window, window);
  if (timerId == kBackupTimerId) BackupTick(window, window);
  if (timerId == kPutBackTimerId) KeyBridge->PutBackTick();
}

void HandleDpiChange(PadHost& window, int dpi) {
  if (!window.IsVisible() || dpi == PadDpi) return;
  const TRect before = window.ScreenRect();
  FitPadFont(window, dpi);
  UpdateCellMetrics(window, dpi);
  const TSize after = PadSize();
  // The point under the pointer, or the one nearest it when the pointer is elsewhere, keeps
  // its place at the same share of the pad's width and height; so does the press of a drag.
  TPoint cursor{before.left, before.top};
  window.CursorPos(cursor);
  const TPoint kept{std::clamp(cursor.x, before.left, before.right), std::clamp(cursor.y, before.top, before.bottom)};
  auto scaleX = [&](int32_t x) { return MulDiv(x, after.width, std::max(before.right - before.left, 1)); };
  auto scaleY = [&](int32_t y) { return MulDiv(y, after.height, std::max(before.bottom - before.top, 1)); };
  Pointer.PressPoint = TPoint{scaleX(Pointer.PressPoint.x), scaleY(Pointer.PressPoint.y)};
  window.PlaceOnTop(kept.x - scaleX(kept.x - before.left), kept.y - scaleY(kept.y - before.top), after.width,
                    after.height);
}
