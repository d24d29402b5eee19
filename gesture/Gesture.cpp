#include "gesture/Gesture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/X87.h"
#include "gesture/SamplerHost.h"

namespace {

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
Extended TurnsBound(int32_t circleTurnsPercent) {
  const int32_t percent = std::clamp(circleTurnsPercent, int32_t{100}, int32_t{400});
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
void Rest(TSampler& sampler, SamplerHost& host) {
  sampler.QuietTicks = 0;
  if (!host.WatchMouseInput()) return;
  if (!host.StartBackupTimer()) {
    host.UnwatchMouseInput();
    return;
  }
  host.StopSampleTimer();
  sampler.Resting = true;
}

// The 10 ms timer first: without it the watch stays, and the next sign of movement tries
// again. The watch goes at once, so a fast mouse cannot flood the queue. The wake is a tick:
// the trail is empty and StillTicks at least kRestLimit, as they would be after ticking
// through the rest, so the moving ticks from here on decide as if there had been no rest.
bool Wake(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre) {
  if (!host.StartSampleTimer()) return false;
  host.UnwatchMouseInput();
  host.StopBackupTimer();
  sampler.Resting = false;
  return SampleCursor(sampler, circleTurnsPercent, host, centre);
}

}  // namespace

bool IsCircleGesture(const TPoint* trail, int32_t last, int32_t circleTurnsPercent, TPoint& centre) {
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
  return static_cast<Extended>(std::fabs(total)) > TurnsBound(circleTurnsPercent);
}

bool SampleCursor(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre) {
  TPoint position;
  // A position that cannot be read (another desktop active, say) counts as a cursor at
  // rest: it adds nothing, and held long enough it empties the trail like a pause.
  if (!host.CursorPos(position) || position == sampler.CursorTrail[0]) {
    if (sampler.StillTicks < std::numeric_limits<int32_t>::max()) ++sampler.StillTicks;
    if (sampler.StillTicks >= kRestLimit) {
      sampler.TrailCount = 0;
      if (!sampler.Resting && ++sampler.QuietTicks >= kQuietTicks) Rest(sampler, host);
    }
    return false;
  }

  sampler.TrailCount = std::clamp(sampler.TrailCount, int32_t{0}, kTrailCapacity - 1);
  std::copy_backward(sampler.CursorTrail, sampler.CursorTrail + sampler.TrailCount,
                     sampler.CursorTrail + sampler.TrailCount + 1);
  sampler.CursorTrail[0] = position;
  ++sampler.TrailCount;

  centre = position;
  const bool circle = IsCircleGesture(sampler.CursorTrail, sampler.TrailCount - 1, circleTurnsPercent, centre);
  if (circle) sampler.TrailCount = 0;
  sampler.StillTicks = 0;
  sampler.QuietTicks = 0;
  return circle;
}

bool MouseInput(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre) {
  // The input's own deltas are never read: the wake's tick asks the cursor where it is.
  return sampler.Resting && Wake(sampler, circleTurnsPercent, host, centre);
}

bool BackupTick(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre) {
  TPoint position;
  return sampler.Resting && host.CursorPos(position) && position != sampler.CursorTrail[0] &&
         Wake(sampler, circleTurnsPercent, host, centre);
}
