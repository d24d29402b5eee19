// The circle test, and the cursor sampler run along cursor paths, one position per 10 ms tick.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "gesture/Gesture.h"

namespace {

using Path = std::vector<TPoint>;
const TPoint kUnreadable{-99999, -99999};                               // a tick at which GetCursorPos fails
const std::string kShown = "shown 91x110 at 454,345 in keypad mode, ";  // "5" under (500, 400)

// count samples around (500, 400), perTurn of them to a turn from straight above (negative:
// anticlockwise), on an ellipse of radii rx and ry.
Path Circle(int perTurn, int count, int rx = 100, int ry = 100) {
  Path points;
  for (int i = 0; i < count; ++i) {
    const double a = 6.283185307179586 * i / perTurn;
    points.push_back(TPoint{500 + static_cast<int>(std::lround(rx * std::sin(a))),
                            400 - static_cast<int>(std::lround(ry * std::cos(a)))});
  }
  return points;
}
Path Still(TPoint at, int ticks) { return Path(ticks, at); }
Path operator+(Path path, const Path& more) { return path.insert(path.end(), more.begin(), more.end()), path; }
// The path with `ticks` more ticks at `at` after its first `after` positions.
Path Paused(const Path& path, int after, int ticks, TPoint at) {
  return Path(path.begin(), path.begin() + after) + Still(at, ticks) + Path(path.begin() + after, path.end());
}
Path Paused(const Path& path, int after, int ticks) { return Paused(path, after, ticks, path[after - 1]); }
std::string At(TPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
int Count(const std::string& text, const std::string& word) {
  int n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

// Ticking: a 10 ms timer that never stops. Resting: the fake system ticks only while the
// sample timer runs, sends WM_INPUT when the cursor moves (with device input) while the mouse
// is watched, and a backup tick every 50 ticks from the tick `phase` on. All of it reaches the
// sampler through the pad's window procedure.
enum class Run { Ticking, Resting, RestingWithoutDeviceInput };

// The sampler along the path, from a pad in calculator mode; what the user saw, e.g.
// "shown 91x110 at 454,345 in keypad mode, hidden, ".
std::string Walk(FakePad& pad, const Path& path, Run run = Run::Ticking, size_t phase = 0) {
  std::string seen;
  CalcMode = true;
  for (size_t tick = 0; tick < path.size(); ++tick) {
    const bool moved = path[tick] != (tick > 0 ? path[tick - 1] : CursorTrail[0]);
    pad.cursorReadable = path[tick] != kUnreadable;
    if (pad.cursorReadable) pad.cursor = path[tick];
    const bool visible = pad.visible;
    if (run == Run::Resting && pad.mouseWatch && moved) {
      EXPECT_FALSE(HandlePadMessage(pad, pad, msg::Input, TPoint{})) << "WM_INPUT goes on to the system";
    } else if (run == Run::Ticking || pad.sampleTimer) {
      HandlePadMessage(pad, pad, msg::Timer, TPoint{}, kSampleTimerId);
    } else if (pad.backupTimer && tick % 50 == phase) {
      HandlePadMessage(pad, pad, msg::Timer, TPoint{}, kBackupTimerId);
    }
    if (pad.visible == visible) continue;
    seen += !pad.visible ? "hidden, "
                         : "shown " + std::to_string(pad.client.right) + "x" + std::to_string(pad.client.bottom) +
                               " at " + At(pad.at) + (CalcMode ? " in calculator mode, " : " in keypad mode, ");
  }
  return seen;
}

// Windings of more than a turn (CircleTurnsPercent / 100 turns, 100 to 400) pass, in steps
// of at most a quarter turn; so do ellipses and round trips, but not strokes.
TEST(Gesture, CircleTest) {
  Path roundTrip;  // out along one line, back along a parallel one, a little more than once round
  for (int i = 0; i <= 100; ++i) roundTrip.push_back(TPoint{i, 0});
  for (int i = 0; i <= 100; ++i) roundTrip.push_back(TPoint{100 - i, 10});
  for (int i = 0; i <= 12; ++i) roundTrip.push_back(TPoint{i, 0});
  struct Row {
    const char* name;
    Path drawn;
    int32_t percent;  // CircleTurnsPercent
    bool passes;
  };
  const Row rows[] = {{"60° steps: 7 samples turn 360°, not more", Circle(6, 7), 100, false},
                      {"60° steps: 8 samples turn 420°", Circle(6, 8), 100, true},
                      {"45° steps: 9 samples turn 360°", Circle(8, 9), 100, false},
                      {"45° steps: 10 samples turn 405°", Circle(8, 10), 100, true},
                      {"the same anticlockwise", Circle(-8, 10), 100, true},
                      {"120° steps, ten turns", Circle(3, 30), 100, false},
                      {"an ellipse 400 by 60", Circle(40, 42, 200, 30), 100, true},
                      {"a flat ellipse, a stroke to and fro", Circle(40, 42, 100, 0), 100, false},
                      {"1.3 turns at 100 %", Circle(40, 53), 100, true},
                      {"1.3 turns at 150 %", Circle(40, 53), 150, false},
                      {"1.6 turns at 150 %", Circle(40, 65), 150, true},
                      {"1.6 turns anticlockwise at 150 %", Circle(-40, 65), 150, true},
                      {"a round trip at 100 %", roundTrip, 100, true},
                      {"a round trip at 150 %", roundTrip, 150, false},
                      {"1.05 turns at 0 %, read as 100 %", Circle(40, 43), 0, true},
                      {"1.05 turns at -5 %, read as 100 %", Circle(40, 43), -5, true},
                      {"1.05 turns at 99 %, read as 100 %", Circle(40, 43), 99, true},
                      {"0.99 turns at 99 %", Circle(400, 398), 99, false},
                      {"4.1 turns at 1000 %, read as 400 %", Circle(40, 165), 1000, true},
                      {"3.9 turns at 1000 %, read as 400 %", Circle(40, 157), 1000, false},
                      {"3.9 turns at 100 %", Circle(40, 157), 100, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CircleTurnsPercent = row.percent;
    const Path trail(row.drawn.rbegin(), row.drawn.rend());  // newest first
    TPoint centre;
    EXPECT_EQ(IsCircleGesture(trail.data(), static_cast<int32_t>(trail.size()) - 1, centre), row.passes);
  }
  // The box's centre, a half going to the even neighbour: x 0 to 5 gives 2, y 1 to 6 gives 4;
  // with one more point x 0 to 6 gives 3.
  Path box = {{0, 1}, {5, 6}, {1, 2}, {2, 3}, {3, 3}, {4, 4}, {1, 5}, {2, 2}};
  TPoint centre;
  EXPECT_FALSE(IsCircleGesture(box.data(), 7, centre));
  EXPECT_EQ(At(centre), "2,4");
  box.push_back({6, 3});
  IsCircleGesture(box.data(), 8, centre);
  EXPECT_EQ(At(centre), "3,4");
  // Left of the primary monitor, the newest point a corner: x -6 to 0 gives -3, y 1 to 7 gives 4.
  const Path left = {{0, 7}, {-6, 1}, {-5, 2}, {-4, 3}, {-3, 3}, {-2, 4}, {-5, 5}, {-4, 2}};
  IsCircleGesture(left.data(), 7, centre);
  EXPECT_EQ(At(centre), "-3,4");
}

// The sampler tick by tick, ticking throughout and resting after half a second at rest: the
// pad shows in keypad mode at a circle, its "5" under the centre, and hides at the next; a
// pause of three ticks (or unreadable positions) ends a circle, a shorter one does not; a
// trail holds 256 samples. The first movement after a rest wakes the resting sampler.
TEST(Gesture, SamplerTogglesThePad) {
  const Path circle = Circle(40, 45, 80, 80), home = Still({200, 200}, 100);
  std::string onAndOn;
  for (int i = 0; i < 12; ++i) onAndOn += kShown + "hidden, ";
  const struct {
    const char* name;
    Path path;
    std::string seen;
    int rests;
  } rows[] = {{"a circle", circle, kShown, 0},
              {"a circle with 3 unreadable positions", Paused(circle, 20, 3, kUnreadable), "", 0},
              {"two circles in one go", Circle(40, 90, 80, 80), kShown + "hidden, ", 0},
              {"256 samples a turn", Circle(256, 300, 200, 200), "", 0},
              {"200 samples a turn", Circle(200, 205, 200, 200), kShown, 0},
              {"two rests a tick short of half a second", Still({0, 9}, 52) + Still({9, 0}, 52), "", 0},
              {"a rest, a circle", home + circle, kShown, 1},
              {"a rest, a circle with a pause of 1 tick", home + Paused(circle, 20, 1), kShown, 1},
              {"a rest, a circle with a pause of 2 ticks", home + Paused(circle, 20, 2), kShown, 1},
              {"a rest, a circle with a pause of 3 ticks", home + Paused(circle, 20, 3), "", 1},
              {"a rest, a circle with a pause of a second", home + Paused(circle, 20, 100), "", 2},
              {"a circle that starts where the cursor rested", Still(circle[0], 100) + circle, kShown, 1},
              {"a circle, a rest, a circle", home + circle + Still({0, 0}, 100) + circle, kShown + "hidden, ", 2},
              {"a circle with a jerk, a pause, a circle",
               home + Paused(circle, 20, 1, {500, 300}) + Still({0, 0}, 5) + circle, kShown, 1},
              {"a rest, circling on and on: 24 times 1.05 turns", home + Circle(40, 24 * 42, 80, 80), onAndOn, 1},
              {"an unreadable rest, a circle", Still(kUnreadable, 100) + circle, kShown, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Program ticking;
    EXPECT_EQ(Walk(ticking.pad, row.path), row.seen) << "ticking";
    EXPECT_EQ(ticking.pad.classArrow, !row.seen.empty());
    Program resting;
    EXPECT_EQ(Walk(resting.pad, row.path, Run::Resting), row.seen) << "resting";
    EXPECT_EQ(Count(resting.pad.asked, "sample timer off"), row.rests);
  }
}

// A program moving the cursor makes no device input: the next backup tick wakes the sampler,
// so a circle drawn that way after a rest has to be longer by up to 50 ticks.
TEST(Sampler, BackupTickWakesWithoutDeviceInput) {
  for (int late : {0, 25, 49}) {  // ticks from the circle's start to the next backup tick
    for (int awake : {40, 42}) {  // samples after the wake: 351° or 369°
      Program p;
      const Path path = Still({200, 200}, 100) + Circle(40, late + awake);
      EXPECT_EQ(Walk(p.pad, path, Run::RestingWithoutDeviceInput, late), awake == 42 ? kShown : "")
          << "the backup tick " << late << " ticks late, then " << awake << " samples";
    }
  }
}

// Refused the raw input or the backup timer, the sampler keeps ticking and asks again half a
// second later; refused the 10 ms timer at the wake, it stays resting and watching.
TEST(Sampler, RestsOnlyWhenTheSystemMakesTheWatch) {
  const std::string rest = "mouse watch on, backup timer on, sample timer off, ";
  const struct {
    const char* refused;
    std::string asked;
  } rows[] = {{"nothing", rest + "sample timer on, mouse watch off, backup timer off, "},
              {"mouse watch", "mouse watch on, mouse watch on, "},
              {"backup timer",
               "mouse watch on, backup timer on, mouse watch off, "
               "mouse watch on, backup timer on, mouse watch off, "},
              {"sample timer", rest + "sample timer on, "}};
  for (const auto& row : rows) {
    Program p;
    SCOPED_TRACE(std::string(row.refused) + " refused");
    p.pad.refused = row.refused;
    Walk(p.pad, Still({200, 200}, 120) + Still({300, 300}, 1), Run::Resting);
    EXPECT_EQ(p.pad.asked, row.asked);
  }
}

// A long random walk of strokes, circles, pauses short and long and unreadable positions:
// resting, the sampler toggles the pad exactly as ticking, and it rests now and then.
TEST(Sampler, RestingTogglesAsTickingOnALongWalk) {
  std::mt19937 random(1);
  auto pick = [&random](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
  Path walk;
  for (TPoint at{300, 300}; walk.size() < 50000; at = walk.back() == kUnreadable ? at : walk.back()) {
    const int kind = pick(0, 3), dx = pick(-20, 20), dy = pick(-20, 20), turn = pick(10, 80) * (pick(0, 1) ? 1 : -1);
    if (kind == 0) walk = std::move(walk) + Still(at, std::vector<int>{1, 2, 3, 5, 51, 52, 53, 300}[pick(0, 7)]);
    if (kind == 1) walk = std::move(walk) + Still(kUnreadable, pick(1, 4));
    for (int i = 1, n = pick(2, 40); kind == 2 && i < n; ++i) walk.push_back({at.x + i * dx, at.y + i * dy});
    for (TPoint p : kind == 3 ? Circle(turn, pick(10, 200), pick(5, 300), pick(5, 300)) : Path{})
      walk.push_back({at.x + p.x - 500, at.y + p.y - 400});
  }
  Program ticking;
  const std::string ticked = Walk(ticking.pad, walk);
  Program resting;
  EXPECT_EQ(Walk(resting.pad, walk, Run::Resting), ticked);
  EXPECT_GT(Count(ticked, "shown"), 20);
  EXPECT_GT(Count(resting.pad.asked, "sample timer off"), 50);
}

}  // namespace
