// Summoning the pad with the mouse: every timer tick samples the cursor into a trail, and
// a trail that winds round the centre of its bounding box more than CircleTurnsPercent / 100
// times (once by default), never turning more than a quarter turn between samples, toggles
// the pad. It reads the position only, every 10 ms while the mouse moves; at rest it sleeps
// until mouse input, or a backup tick twice a second, shows movement. There is no hook and
// no button involved, so it works over any application.
#ifndef KWIX_GESTURE_GESTURE_H
#define KWIX_GESTURE_GESTURE_H

#include <cstdint>

#include "base/Types.h"

class PadWindow;
class SamplerHost;

// The most samples a trail holds, newest first.
constexpr int32_t kTrailCapacity = 256;

// The trail, the rest count and the sampler's state back to their values at start.
void ResetGestureState();

// The sampler's 10 ms tick: records the cursor when it moved, tests the trail and toggles
// the pad on a circle; three ticks at rest empty the trail, half a second more rests the
// sampler (the timer stops, the mouse is watched). When the system cannot make the watch
// or the backup tick, it keeps ticking.
void SampleCursor(PadWindow& pad, SamplerHost& host);
// Mouse input: a resting sampler wakes, and the wake is itself a tick, so every circle is
// decided as by a sampler that never rests.
void MouseInput(PadWindow& pad, SamplerHost& host);
// The backup tick: a resting sampler wakes when the cursor has moved without mouse input.
void BackupTick(PadWindow& pad, SamplerHost& host);

// Whether trail[0..last] (newest first) circles more than CircleTurnsPercent / 100 times
// (limited to 1 to 4) around the centre of its bounding box in steps of at most a quarter
// turn. With 8 points or more, centre receives that box centre whatever the answer; with
// fewer it is left alone.
bool IsCircleGesture(const TPoint* trail, int32_t last, TPoint& centre);

// kwix.exe /toggle from outside: as a circle centred on the pointer would. A pointer that
// cannot be read still hides a visible pad but shows none.
void TogglePadAtCursor(PadWindow& pad, SamplerHost& host);

#endif
