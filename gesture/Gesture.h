// Summoning the pad with the mouse: every timer tick samples the cursor into a trail, and
// a trail that winds round the centre of its bounding box more than CircleTurnsPercent / 100
// times (once by default), never turning more than a quarter turn between samples, is a
// circle, which the caller answers by showing or hiding the pad. It reads the position only,
// every 10 ms while the mouse moves; at rest it sleeps until mouse input, or a backup tick
// twice a second, shows movement. There is no hook and no button involved, so it works over
// any application.
#ifndef KWIX_GESTURE_GESTURE_H
#define KWIX_GESTURE_GESTURE_H

#include <cstdint>

#include "base/Types.h"

class SamplerHost;

// The most samples a trail holds, newest first.
constexpr int32_t kTrailCapacity = 256;

// What the sampler keeps from tick to tick, at its values at start.
struct TSampler {
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

// The sampler's 10 ms tick: records the cursor when it moved and tests the trail. True when it
// is a circle, centred at centre, and then the trail starts anew. Three ticks at rest empty the
// trail, half a second more rests the sampler (the timer stops, the mouse is watched). When the
// system cannot make the watch or the backup tick, it keeps ticking.
bool SampleCursor(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre);
// Mouse input: a resting sampler wakes, and the wake is itself a tick, so every circle is
// decided as by a sampler that never rests. True, as a tick, for a circle.
bool MouseInput(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre);
// The backup tick: a resting sampler wakes when the cursor has moved without mouse input.
bool BackupTick(TSampler& sampler, int32_t circleTurnsPercent, SamplerHost& host, TPoint& centre);

// Whether trail[0..last] (newest first) circles more than circleTurnsPercent / 100 times
// (limited to 1 to 4) around the centre of its bounding box in steps of at most a quarter
// turn. With 8 points or more, centre receives that box centre whatever the answer; with
// fewer it is left alone.
bool IsCircleGesture(const TPoint* trail, int32_t last, int32_t circleTurnsPercent, TPoint& centre);

#endif
