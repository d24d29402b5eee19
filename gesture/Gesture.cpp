#include "gesture/Gesture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/MulDiv.h"
#include "base/X87.h"
#include "gesture/SamplerHost.h"
#include "pad/Geometry.h"
#include "pad/PadWindow.h"
#include "settings/Settings.h"

namespace {

// What the sampler keeps from tick to tick, at its values at start.
struct SamplerState {
  // Screen positions of the cursor, newest first; entries from TrailCount on are stale but
  // entry 0 stays the reference for "has the cursor moved" even when the trail is empty.
  TPoint CursorTrail[kTrailCapacity] = {};
  int32_t TrailCount = 0;
  // Consecutive ticks with the cursor on CursorTrail[0].
  int32_t StillTicks = 0;
  // Ticking, the 10 ms timer runs and every tick samples the cursor. Resting, the cursor has
  // rested so long that nothing is being drawn, the 10 ms timer is stopped and the sampler
  // waits for the mouse (mouse input, and a slow backup tick for movement that makes none).
  bool Resting = false;
  // Ticks at rest with an empty trail since the cursor last moved or the sampler last woke.
  int32_t QuietTicks = 0;
};
SamplerState Sampler;
// After this many quiet ticks (half a second) the sampler rests.
constexpr int32_t kQuietTicks = 50;

// The third tick in a row without movement ends the gesture being drawn.
constexpr int32_t kRestLimit = 3;
// Fewer points than this are too coarse to call a circle.
constexpr int64_t kMinimumTrail = 8;

// The wrap test takes its bounds as doubles; the wrap itself, the step limit and the
// success bound use the extended values. Which is which decides borderline trails.
constexpr double kPiDouble = 3.141592653589793;
constexpr double kTwoPiDouble = 6.283185307179586;
constexpr Extended kTwoPiExtended = 6.28318530717958647692528676655900577L;
constexpr Extended kHalfPiExtended = 1.57079632679489661923132169163975144L;

// How far round the trail must wind, from CircleTurnsPercent: less than one turn would let
// any wiggle toggle the pad, more than four does not fit the trail at a usable speed.
Extended TurnsBound() {
  const int32_t percent = std::clamp(CircleTurnsPercent, int32_t{100}, int32_t{400});
  return kTwoPiExtended * (static_cast<Extended>(percent) / 100);
}

// Midpoint of two coordinates, a half going to the even neighbour.
int32_t MidpointHalfEven(int32_t low, int32_t high) {
  int64_t sum = int64_t{low} + high;
  int64_t half = sum >= 0 ? sum / 2 : -((-sum + 1) / 2);  // floor(sum / 2)
  if ((sum & 1) != 0 && (half & 1) != 0) ++half;
  return static_cast<int32_t>(half);
}

// Bearing of p seen from centre: 0 straight up, growing clockwise on the screen (y grows
// downwards), in [-pi, pi]; rounded to double as it is stored.
double Bearing(const TPoint& p, const TPoint& centre) {
  Extended right = static_cast<Extended>(int64_t{p.x} - centre.x);
  Extended up = static_cast<Extended>(int64_t{centre.y} - p.y);
  return static_cast<double>(std::atan2(right, up));
}

// Stops the 10 ms timer once the watch for the mouse is in place; without the mouse input
// or the backup timer the sampler keeps ticking, and tries again after another quiet stretch.
void Rest(SamplerHost& host) {
  Sampler.QuietTicks = 0;
  if (!host.WatchMouseInput()) return;
  if (!host.StartBackupTimer()) {
    host.UnwatchMouseInput();
    return;
  }
  host.StopSampleTimer();
  Sampler.Resting = true;
}

// The 10 ms timer first: without it the watch stays, and the next sign of movement tries
// again. The watch goes at once, so a fast mouse cannot flood the queue. The wake is a tick:
// the trail is empty and StillTicks at least kRestLimit, as they would be after ticking
// through the rest, so the moving ticks from here on decide as if there had been no rest.
void Wake(PadWindow& pad, SamplerHost& host) {
  if (!host.StartSampleTimer()) return;
  host.UnwatchMouseInput();
  host.StopBackupTimer();
  Sampler.Resting = false;
  SampleCursor(pad, host);
}

// Reloads the settings and shows the pad in keypad mode, its "5" key under centre, without
// taking the focus, laid out for the DPI of the monitor there.
void ShowPadAt(PadWindow& pad, TPoint centre) {
  const int32_t dpi = pad.MonitorDpiAt(centre);
  // Settings are read at every showing, so an edited file takes effect now.
  LoadSettings(pad, dpi);
  // With the hand cursor on, the class has no cursor and the pointer code picks one.
  pad.SetClassArrowCursor(!UseHandCursor);
  UpdateCellMetrics(pad, dpi);
  CalcMode = false;
  TSize size = PadSize();
  // Grid origin at centre less half the grid, so the "5" key (row 2, column 1) is under it.
  int32_t left = Wrapped32(int64_t{centre.x} - MulDiv(ColWidth, 3, 2) - Margin);
  int32_t top = Wrapped32(int64_t{centre.y} + MulDiv(RowHeight, 5, 2) + Margin - size.height);
  pad.PlaceOnTop(left, top, size.width, size.height);
  pad.ShowNoActivate();
}

// Hides a visible pad, otherwise shows it at centre.
void TogglePad(PadWindow& pad, TPoint centre) {
  if (pad.IsVisible()) {
    pad.Hide();
  } else {
    ShowPadAt(pad, centre);
  }
}

}  // namespace

void ResetGestureState() { Sampler = SamplerState{}; }

bool IsCircleGesture(const TPoint* trail, int32_t last, TPoint& centre) {
  const int64_t n = int64_t{last} + 1;
  if (n < kMinimumTrail) return false;

  int32_t minX = trail[0].x, maxX = trail[0].x, minY = trail[0].y, maxY = trail[0].y;
  for (int64_t i = 1; i < n; ++i) {
    minX = std::min(minX, trail[i].x);
    maxX = std::max(maxX, trail[i].x);
    minY = std::min(minY, trail[i].y);
    maxY = std::max(maxY, trail[i].y);
  }
  // The caller gets the centre even when the test fails; bearings are taken around this
  // whole-pixel point, not the exact midpoint.
  centre.x = MidpointHalfEven(minX, maxX);
  centre.y = MidpointHalfEven(minY, maxY);

  double total = 0.0;
  double previous = Bearing(trail[0], centre);
  for (int64_t i = 1; i < n; ++i) {
    double bearing = Bearing(trail[i], centre);
    double step = static_cast<double>(static_cast<Extended>(bearing) - previous);
    // Crossing the bottom of the circle jumps a full turn; take the short way round.
    double size = std::fabs(step);
    if (size >= kPiDouble && size <= kTwoPiDouble) {
      step = static_cast<double>(step > 0 ? step - kTwoPiExtended : step + kTwoPiExtended);
    }
    // One jump of more than a quarter turn means this was no circle: a stroke across
    // the centre, or samples too far apart to tell the direction.
    if (static_cast<Extended>(std::fabs(step)) > kHalfPiExtended) return false;
    total = static_cast<double>(static_cast<Extended>(total) + step);
    previous = bearing;
  }
  return static_cast<Extended>(std::fabs(total)) > TurnsBound();
}

void SampleCursor(PadWindow& pad, SamplerHost& host) {
  TPoint position;
  // A position that cannot be read (another desktop active, say) counts as a cursor at
  // rest: it adds nothing, and held long enough it empties the trail like a pause.
  if (!host.CursorPos(position) || position == Sampler.CursorTrail[0]) {
    if (Sampler.StillTicks < std::numeric_limits<int32_t>::max()) ++Sampler.StillTicks;
    if (Sampler.StillTicks >= kRestLimit) {
      Sampler.TrailCount = 0;
      if (!Sampler.Resting && ++Sampler.QuietTicks >= kQuietTicks) Rest(host);
    }
    return;
  }

  Sampler.TrailCount = std::clamp(Sampler.TrailCount, int32_t{0}, kTrailCapacity - 1);
  std::copy_backward(Sampler.CursorTrail, Sampler.CursorTrail + Sampler.TrailCount,
                     Sampler.CursorTrail + Sampler.TrailCount + 1);
  Sampler.CursorTrail[0] = position;
  ++Sampler.TrailCount;

  TPoint centre = position;
  if (IsCircleGesture(Sampler.CursorTrail, Sampler.TrailCount - 1, centre)) {
    TogglePad(pad, centre);
    Sampler.TrailCount = 0;
  }
  Sampler.StillTicks = 0;
  Sampler.QuietTicks = 0;
}

void MouseInput(PadWindow& pad, SamplerHost& host) {
  // The input's own deltas are never read: the wake's tick asks the cursor where it is.
  if (Sampler.Resting) Wake(pad, host);
}

void BackupTick(PadWindow& pad, SamplerHost& host) {
  TPoint position;
  if (Sampler.Resting && host.CursorPos(position) && position != Sampler.CursorTrail[0]) Wake(pad, host);
}

void TogglePadAtCursor(PadWindow& pad, SamplerHost& host) {
  TPoint cursor;
  if (pad.IsVisible() || host.CursorPos(cursor)) TogglePad(pad, cursor);
}
