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

// Reloads the settings and shows the pad in keypad mode, its "5" key under centre, without
// taking the focus, laid out for the DPI of the monitor there.
void ShowPadAt(TKwix& kwix, PadWindow& window, TPoint centre) {
  const int32_t dpi = window.MonitorDpiAt(centre);
  // Settings are read at every showing, so an edited file takes effect now.
  kwix.Settings = LoadSettings(kwix.Format.LocaleDecimalSeparator);
  const TSettings& settings = kwix.Settings;
  FitPadFont(kwix.MadeFont, settings, window, dpi);
  // With the hand cursor on, the class has no cursor and the pointer code picks one.
  window.SetClassArrowCursor(!settings.UseHandCursor);
  TLayout& layout = kwix.Layout;
  UpdateCellMetrics(layout, window, dpi);
  layout.CalcMode = false;
  TSize size = PadSize(layout, settings);
  // Grid origin at centre less half the grid, so the "5" key (row 2, column 1) is under it.
  int32_t left = Wrapped32(int64_t{centre.x} - MulDiv(layout.ColWidth, 3, 2) - settings.Margin);
  int32_t top = Wrapped32(int64_t{centre.y} + MulDiv(layout.RowHeight, 5, 2) + settings.Margin - size.height);
  window.PlaceOnTop(left, top, size.width, size.height);
  window.ShowNoActivate();
}

// A circle: hides a visible pad, otherwise shows it at centre.
void TogglePad(TKwix& kwix, PadWindow& window, TPoint centre) {
  if (window.IsVisible()) {
    ForgoLateCopy(kwix.Calc);
    window.Hide();
  } else {
    ShowPadAt(kwix, window, centre);
  }
}

// kwix.exe /toggle from outside: as a circle centred on the pointer would. A pointer that
// cannot be read still hides a visible pad but shows none.
void TogglePadAtCursor(TKwix& kwix, PadHost& window) {
  TPoint cursor;
  if (window.IsVisible() || window.CursorPos(cursor)) TogglePad(kwix, window, cursor);
}

// The colour state of the key in (col, row) from the pointer state.
int KeyColorState(const TPointerState& pointer, int col, int row) {
  bool hot = pointer.HotValid && col == pointer.HotCol && row == pointer.HotRow;
  return 2 * (hot ? 1 : 0) + (pointer.Pressed ? 1 : 0);
}

// Draws the key in (col, row) in its current state.
void RedrawKey(const TPointerState& pointer, const TLayout& layout, const TSettings& settings, Canvas& context, int col,
               int row) {
  DrawKey(layout, settings, context, col, row, KeyAt(col, row).Caption, KeyColorState(pointer, col, row));
}

// Redraws just the keys whose colour state changed and sets the pointer shape.
void UpdateHover(TPointerState& pointer, const TLayout& layout, const TSettings& settings, Canvas& context,
                 PadWindow& window) {
  if (pointer.HotCol == pointer.PrevHotCol && pointer.HotRow == pointer.PrevHotRow &&
      pointer.HotValid == pointer.PrevHotValid && pointer.Pressed == pointer.PrevPressed)
    return;
  if (settings.UseHandCursor && pointer.HotValid != pointer.PrevHotValid) window.SetPointerShape(pointer.HotValid);
  if (pointer.PrevHotValid) RedrawKey(pointer, layout, settings, context, pointer.PrevHotCol, pointer.PrevHotRow);
  if (pointer.HotValid) RedrawKey(pointer, layout, settings, context, pointer.HotCol, pointer.HotRow);
  pointer.PrevHotCol = pointer.HotCol;
  pointer.PrevHotRow = pointer.HotRow;
  pointer.PrevHotValid = pointer.HotValid;
  pointer.PrevPressed = pointer.Pressed;
}

// Runs the key action of the hot key, if there is one.
void ActivateHotKey(TKwix& kwix, Canvas& context, PadWindow& window) {
  if (kwix.Pointer.HotValid)
    KeyAction(kwix.Calc, kwix.Layout, kwix.Settings, kwix.Format, context, window,
              KeyAt(kwix.Pointer.HotCol, kwix.Pointer.HotRow));
}

void PointerStage(TKwix& kwix, Canvas& context, PadWindow& window, uint32_t message, TPoint point) {
  TPointerState& pointer = kwix.Pointer;
  if (message == msg::LButtonUp) {
    if (!kwix.Settings.ClickOnDown) ActivateHotKey(kwix, context, window);
    pointer.Pressed = false;
    window.ReleaseMouse();
  }
  // While the button is held the hot cell stays the one of the press.
  if (!pointer.Pressed) {
    CellAt(kwix.Layout, kwix.Settings, point.x, point.y, pointer.HotCol, pointer.HotRow);
    pointer.HotValid = IsKeyCell(kwix.Layout, pointer.HotCol, pointer.HotRow);
  }
  if (message == msg::LButtonDown) {
    window.CaptureMouse();
    pointer.Pressed = true;
    pointer.PressPoint = point;
    if (kwix.Settings.ClickOnDown) ActivateHotKey(kwix, context, window);
  }
  UpdateHover(pointer, kwix.Layout, kwix.Settings, context, window);
}

bool DispatchPadMessage(TKwix& kwix, Canvas& context, PadHost& window, uint32_t message) {
  TPointerState& pointer = kwix.Pointer;
  switch (message) {
    case msg::Input: {
      TPoint centre;
      if (MouseInput(kwix.Sampler, kwix.Settings.CircleTurnsPercent, window, centre)) TogglePad(kwix, window, centre);
      return false;
    }
    case msg::MouseMove:
      // A press outside every key drags the whole pad.
      if (pointer.Pressed && !pointer.HotValid) {
        TPoint cursor;
        if (window.CursorPos(cursor)) window.Move(cursor.x - pointer.PressPoint.x, cursor.y - pointer.PressPoint.y);
      }
      if (!pointer.Tracking) pointer.Tracking = window.TrackLeave();
      return true;
    case msg::RButtonDown:
      ForgoLateCopy(kwix.Calc);
      window.Hide();
      return true;
    case msg::MButtonDown:
      kwix.Layout.CalcMode = !kwix.Layout.CalcMode;
      if (kwix.Layout.CalcMode) {
        kwix.Calc.Kernel.Reset(0);
      } else {
        ForgoLateCopy(kwix.Calc);
        // The remembered key is in the column that disappears.
        if (pointer.PrevHotCol > 2) pointer.PrevHotValid = false;
      }
      FitWindowToMode(kwix.Layout, kwix.Settings, window);
      return true;
    case msg::MouseLeave:
      pointer.HotValid = false;
      UpdateHover(pointer, kwix.Layout, kwix.Settings, context, window);
      pointer.Tracking = false;
      return true;
    case msg::User:
      if (!kwix.Calc.Typing) RefreshDisplay(kwix.Calc, kwix.Layout, kwix.Settings, kwix.Format, context);
      return true;
    case msg::Toggle: TogglePadAtCursor(kwix, window); return true;
    default: return false;
  }
}

}  // namespace

void PaintPad(const TKwix& kwix, Canvas& context, const TRect& paintRect) {
  const TLayout& layout = kwix.Layout;
  const TSettings& settings = kwix.Settings;
  for (int row = 1; row <= 4; ++row) {
    for (int col = 0; col <= LastColumn(layout); ++col) {
      if (RectsIntersect(KeyRect(layout, settings, col, row), paintRect))
        RedrawKey(kwix.Pointer, layout, settings, context, col, row);
    }
  }
  if (layout.CalcMode && RectsIntersect(CalcEditRect(layout, settings), paintRect))
    DrawCalcEdit(layout, settings, context, kwix.Calc.DisplayText);
}

TPoint PointFromLParam(intptr_t lParam) {
  TPoint p;
  p.x = static_cast<int16_t>(static_cast<uint32_t>(lParam) & 0xFFFF);
  p.y = static_cast<int16_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFF);
  return p;
}

bool HandlePadMessage(TKwix& kwix, Canvas& context, PadHost& window, uint32_t message, TPoint point) {
  if (message >= msg::MouseFirst && message <= msg::MouseLast) PointerStage(kwix, context, window, message, point);
  return DispatchPadMessage(kwix, context, window, message);
}

void HandlePadTimer(TKwix& kwix, PadHost& window, uintptr_t timerId) {
  TPoint centre;
  bool circle = false;
  const int32_t turns = kwix.Settings.CircleTurnsPercent;
  if (timerId == kSampleTimerId) circle = SampleCursor(kwix.Sampler, turns, window, centre);
  if (timerId == kBackupTimerId) circle = BackupTick(kwix.Sampler, turns, window, centre);
  if (circle) TogglePad(kwix, window, centre);
  if (timerId == kPutBackTimerId) kwix.Calc.KeyBridge.PutBackTick();
}

void HandleDpiChange(TKwix& kwix, PadHost& window, int dpi) {
  if (!window.IsVisible() || dpi == kwix.Layout.PadDpi) return;
  const TRect before = window.ScreenRect();
  FitPadFont(kwix.MadeFont, kwix.Settings, window, dpi);
  UpdateCellMetrics(kwix.Layout, window, dpi);
  const TSize after = PadSize(kwix.Layout, kwix.Settings);
  // The point under the pointer, or the one nearest it when the pointer is elsewhere, keeps
  // its place at the same share of the pad's width and height; so does the press of a drag.
  TPoint cursor{before.left, before.top};
  window.CursorPos(cursor);
  const TPoint kept{std::clamp(cursor.x, before.left, before.right), std::clamp(cursor.y, before.top, before.bottom)};
  auto scaleX = [&](int32_t x) { return MulDiv(x, after.width, std::max(before.right - before.left, 1)); };
  auto scaleY = [&](int32_t y) { return MulDiv(y, after.height, std::max(before.bottom - before.top, 1)); };
  TPoint& press = kwix.Pointer.PressPoint;
  press = TPoint{scaleX(press.x), scaleY(press.y)};
  window.PlaceOnTop(kept.x - scaleX(kept.x - before.left), kept.y - scaleY(kept.y - before.top), after.width,
                    after.height);
}
