#include "app/PadProc.h"

#include "calc/KeyActions.h"
#include "calc/KeyTable.h"
#include "calc/SmplCalcKrnl.h"
#include "gesture/Gesture.h"
#include "pad/Canvas.h"
#include "pad/Drawing.h"
#include "pad/Geometry.h"
#include "settings/Settings.h"

int32_t HotCol = 0;
int32_t HotRow = 0;
bool HotValid = false;
bool Pressed = false;
TPoint PressPoint;
int32_t PrevHotCol = 0;
int32_t PrevHotRow = 0;
bool PrevHotValid = false;
bool PrevPressed = false;
bool Tracking = false;

void ResetProgramState() {
  ClearSettings();
  ResetGeometryState();
  ResetGestureState();
  ResetKeyActionState();
  HotCol = HotRow = PrevHotCol = PrevHotRow = 0;
  HotValid = Pressed = PrevHotValid = PrevPressed = Tracking = false;
  PressPoint = TPoint{};
}

int KeyColorState(int col, int row) {
  bool hot = HotValid && col == HotCol && row == HotRow;
  return 2 * (hot ? 1 : 0) + (Pressed ? 1 : 0);
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
  if (HotCol == PrevHotCol && HotRow == PrevHotRow && HotValid == PrevHotValid && Pressed == PrevPressed) return;
  if (UseHandCursor && HotValid != PrevHotValid) window.SetPointerShape(HotValid);
  if (PrevHotValid) RedrawKey(context, PrevHotCol, PrevHotRow);
  if (HotValid) RedrawKey(context, HotCol, HotRow);
  PrevHotCol = HotCol;
  PrevHotRow = HotRow;
  PrevHotValid = HotValid;
  PrevPressed = Pressed;
}

void ActivateHotKey(Canvas& context, PadWindow& window) {
  if (HotValid) KeyAction(context, window, KeyAt(HotCol, HotRow));
}

namespace {

void PointerStage(Canvas& context, PadWindow& window, uint32_t message, TPoint point) {
  if (message == msg::LButtonUp) {
    if (!ClickOnDown) ActivateHotKey(context, window);
    Pressed = false;
    window.ReleaseMouse();
  }
  // While the button is held the hot cell stays the one of the press.
  if (!Pressed) {
    CellAt(point.x, point.y, HotCol, HotRow);
    HotValid = IsKeyCell(HotCol, HotRow);
  }
  if (message == msg::LButtonDown) {
    window.CaptureMouse();
    Pressed = true;
    PressPoint = point;
    if (ClickOnDown) ActivateHotKey(context, window);
  }
  UpdateHover(context, window);
}

bool DispatchPadMessage(Canvas& context, PadHost& window, uint32_t message) {
  switch (message) {
    case msg::Input: MouseInput(window, window); return false;
    case msg::MouseMove:
      // A press outside every key drags the whole pad.
      if (Pressed && !HotValid) {
        TPoint cursor;
        if (window.CursorPos(cursor)) window.Move(cursor.x - PressPoint.x, cursor.y - PressPoint.y);
      }
      if (!Tracking) Tracking = window.TrackLeave();
      return true;
    case msg::RButtonDown: window.Hide(); return true;
    case msg::MButtonDown:
      CalcMode = !CalcMode;
      if (CalcMode) {
        Kernel.Reset(0);
      } else if (PrevHotCol > 2) {
        // The remembered key is in the column that disappears.
        PrevHotValid = false;
      }
      FitWindowToMode(window);
      return true;
    case msg::MouseLeave:
      HotValid = false;
      UpdateHover(context, window);
      Tracking = false;
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
}
