#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "Fakes.h"
#include "gesture/Gesture.h"

namespace {

// count samples around (500, 400), perTurn of them to a turn from straight above (negative:
// anticlockwise), on an ellipse of radii rx and ry.
std::vector<TPoint> Circle(int perTurn, int count, int rx = 100, int ry = 100) {
  std::vector<TPoint> points;
  for (int i = 0; i < count; ++i) {
    const double a = 6.283185307179586 * i / perTurn;
    points.push_back(TPoint{500 + static_cast<int>(std::lround(rx * std::sin(a))),
                            400 - static_cast<int>(std::lround(ry * std::cos(a)))});
  }
  return points;
}

// Windings of more than a turn (CircleTurnsPercent / 100 turns, 100 to 400) pass, in steps
// of at most a quarter turn; so do ellipses and round trips (out along one line, back along
// a parallel one, a little more than once round), but not strokes.
TEST(Gesture, CircleTest) {
  std::vector<TPoint> roundTrip;
  for (int i = 0; i <= 100; ++i) roundTrip.push_back(TPoint{i, 0});
  for (int i = 0; i <= 100; ++i) roundTrip.push_back(TPoint{100 - i, 10});
  for (int i = 0; i <= 12; ++i) roundTrip.push_back(TPoint{i, 0});
  // clang-format off
  const std::tuple<std::vector<TPoint>, int32_t, bool> rows[] = {
      {Circle(6, 7), 100, false}, {Circle(6, 8), 100, true}, {Circle(8, 9), 100, false}, {Circle(8, 10), 100, true},
      {Circle(-8, 10), 100, true}, {Circle(3, 30), 100, false}, {Circle(40, 42, 200, 30), 100, true},
      {Circle(40, 53), 100, true}, {Circle(40, 53), 150, false}, {Circle(40, 65), 150, true},
      {Circle(-40, 65), 150, true}, {roundTrip, 100, true}, {roundTrip, 150, false}, {Circle(40, 43), 0, true},
      {Circle(40, 43), -5, true}, {Circle(40, 43), 99, true}, {Circle(400, 398), 99, false},
      {Circle(40, 165), 1000, true}, {Circle(40, 157), 1000, false}, {Circle(40, 157), 100, true},
      {Circle(40, 42, 100, 0), 100, false}};
  // clang-format on
  for (const auto& [drawn, percent, passes] : rows) {
    CircleTurnsPercent = percent;
    std::vector<TPoint> trail(drawn.rbegin(), drawn.rend());  // newest first
    TPoint centre;
    EXPECT_EQ(IsCircleGesture(trail.data(), static_cast<int32_t>(trail.size()) - 1, centre), passes)
        << drawn.size() << " " << percent;
  }
  // The box's centre, a half going to the even neighbour: x 0 to 5 gives 2, y 1 to 6 gives 4.
  const std::vector<TPoint> box = {{0, 1}, {5, 6}, {1, 2}, {2, 3}, {3, 3}, {4, 4}, {1, 5}, {2, 2}};
  TPoint centre;
  EXPECT_TRUE(!IsCircleGesture(box.data(), 7, centre) && centre == (TPoint{2, 4}));
}

// The sampler tick by tick: the pad shows in keypad mode at a circle, its "5" under the
// centre, and hides at the next; a pause of three ticks (or unreadable positions) ends a
// circle, a shorter one does not; a trail holds 256 samples.
TEST(Gesture, SamplerTogglesThePad) {
  // clang-format off
  const std::tuple<std::vector<TPoint>, int, bool, int> rows[] = {  // path, pause, unreadable, toggles
      {Circle(40, 45, 80, 80), 0, false, 1}, {Circle(40, 45, 80, 80), 2, false, 1},
      {Circle(40, 45, 80, 80), 3, false, 0}, {Circle(40, 45, 80, 80), 3, true, 0}, {Circle(40, 90, 80, 80), 0, false, 2},
      {Circle(256, 300, 200, 200), 0, false, 0}, {Circle(200, 205, 200, 200), 0, false, 1}};
  // clang-format on
  for (const auto& [path, pause, unreadable, toggles] : rows) {
    Program p;
    SampleCursor(p.pad);  // at rest on the start values
    CalcMode = true;
    int seen = 0;
    for (size_t i = 0; i < path.size(); ++i) {
      p.pad.cursorReadable = !unreadable;
      for (int t = 0; i == 20 && t < pause; ++t) SampleCursor(p.pad);
      p.pad.cursorReadable = true;
      const bool visible = p.pad.visible;
      p.pad.cursor = path[i];
      SampleCursor(p.pad);
      seen += p.pad.visible != visible;
    }
    EXPECT_EQ(seen, toggles) << path.size() << " " << pause;
    EXPECT_TRUE((toggles != 1 || (p.pad.at == TPoint{454, 345} && p.pad.client == TRect{0, 0, 91, 110})) &&
                (!toggles || (p.pad.classArrow && !CalcMode)));
  }
}

// KWIX_SOAK_TICKS ticks (20,000 unless set) of random strokes, circles, pauses and unreadable
// positions: the trail keeps within 256 samples and is empty after a toggle.
TEST(Gesture, SamplerSoak) {
  Program p;
  std::mt19937 random(1);
  const long ticks = std::getenv("KWIX_SOAK_TICKS") ? std::atol(std::getenv("KWIX_SOAK_TICKS")) : 20000;
  double angle = 0, step = 0.2, radius = 80, toggles = 0;
  for (long tick = 0; tick < ticks; ++tick) {
    if (random() % 50 == 0)
      step = (static_cast<int>(random() % 9) - 4) * 0.1, radius = 5.0 + static_cast<double>(random() % 300);
    p.pad.cursorReadable = random() % 200 != 0;
    angle += step;
    p.pad.cursor =
        TPoint{static_cast<int>(500 + radius * std::sin(angle)), static_cast<int>(400 - radius * std::cos(angle))};
    const bool visible = p.pad.visible;
    SampleCursor(p.pad);
    toggles += p.pad.visible != visible;
    ASSERT_TRUE(TrailCount <= kTrailCapacity && (p.pad.visible == visible || !TrailCount)) << tick;
  }
  EXPECT_GT(toggles, ticks / 1000);
}

}  // namespace
