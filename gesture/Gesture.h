// Summoning the pad with the mouse: every timer tick samples the cursor into a trail, and
// a trail that winds round the centre of its bounding box more than CircleTurnsPercent / 100
// times (once by default), never turning more than a quarter turn between samples, toggles
// the pad. It reads the position only: every tick while the mouse moves, twice a second while
// it rests (raw mouse input only wakes it). There is no hook and no button involved, so it
// works over any application.
#ifndef KWIX_GESTURE_GESTURE_H
#define KWIX_GESTURE_GESTURE_H

#include <cstdint>

#include "base/Types.h"

class PadWindow;

constexpr int32_t kTrailCapacity = 256;

// Screen positions of the cursor, newest first; entries from TrailCount on are stale but
// entry 0 stays the reference for "has the cursor moved" even when the trail is empty.
extern TPoint CursorTrail[kTrailCapacity];
extern int32_t TrailCount;
// Consecutive ticks with the cursor on CursorTrail[0].
extern int32_t StillTicks;

// Moving: the 10 ms timer runs and every tick samples the cursor. Resting: the cursor has
// rested so long that nothing is being drawn, the 10 ms timer is stopped and the pad waits
// for the mouse (raw mouse input, and a slow backup tick for movement that makes no device
// input). The first sign of movement wakes the sampler, and the wake is itself a tick, so
// every circle is decided as by a sampler that never stops.
enum class SamplerState { Moving, Resting };
extern SamplerState Sampler;
// Ticks at rest with an empty trail since the cursor last moved or the sampler last woke.
extern int32_t QuietTicks;
// After this many of them (half a second) the sampler rests.
constexpr int32_t kQuietTicks = 50;

// The trail, the rest count and the sampler's state back to their values at start.
void ResetGestureState();

// One tick of the 10 ms timer: records the cursor when it moved, tests the trail and
// toggles the pad on a circle; three ticks at rest empty the trail, kQuietTicks more rest
// the sampler. When the system cannot make the watch for the mouse, it keeps ticking.
void SampleCursor(PadWindow& window);
// WM_INPUT from the mouse: a resting sampler wakes.
void MouseInput(PadWindow& window);
// The backup tick: a resting sampler wakes when the cursor is no longer on CursorTrail[0].
void BackupTick(PadWindow& window);

// Whether trail[0..last] (newest first) circles more than CircleTurnsPercent / 100 times
// (limited to 1 to 4) around the centre of its bounding box in steps of at most a quarter
// turn. With 8 points or more, centre receives that box centre whatever the answer; with
// fewer it is left alone.
bool IsCircleGesture(const TPoint* trail, int32_t last, TPoint& centre);

// Hides a visible pad, otherwise shows it at centre.
void TogglePad(PadWindow& window, TPoint centre);

// kwix.exe /toggle from outside: as a circle centred on the pointer would. A pointer that
// cannot be read still hides a visible pad but shows none.
void TogglePadAtCursor(PadWindow& window);

// Reloads the settings and shows the pad in keypad mode, its "5" key under centre, without
// taking the focus.
void ShowPadAt(PadWindow& window, TPoint centre);

#endif
