// The circle test, and the cursor sampler run along cursor paths, one position per 10 ms tick.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Fakes.h"
#include "gesture/Gesture.h"

namespace {

using Path = std::vector<TPoint>;
const TPoint kUnreadable{-99999, -99999};                               // a tick at which GetCursorPos fails
const std::string kShown = "shown 91x110 at 454,345 in keypad mode, ";  // "5" under (500, 400)

// count samples around (500, 400), perTurn of them to a turn from straight above (negative:
// anticlockwise), on an ellipse of radii rx and ry.
Path Circle(double perTurn, int count, int rx = 100, int ry = 100) {
  Path points;
  for (double i = 0; i < count; ++i) {
    points.push_back(TPoint{500 + static_cast<int>(std::lround(rx * std::sin(6.283185307179586 * i / perTurn))),
                            400 - static_cast<int>(std::lround(ry * std::cos(6.283185307179586 * i / perTurn)))});
  }
  return points;
}
Path Still(TPoint at, int ticks) { return Path(ticks, at); }
Path operator+(Path path, const Path& more) { return path.insert(path.end(), more.begin(), more.end()), path; }
// The path with `ticks` more ticks at `at` after its first `after` positions.
Path Paused(const Path& path, int after, int ticks, TPoint at) {
  return Path(path.begin(), path.begin() + after) + Still(at, ticks) + Path(path.begin() + after, path.end());
}

// Ticking: a 10 ms timer that never stops. Resting: the fake system ticks only while the
// sample timer runs, sends WM_INPUT when the cursor moves (with device input) while the mouse
// is watched, and a backup tick every 50 ticks from the tick `phase` on. All of it reaches the
// sampler through the pad's window procedure.
enum class Run { Ticking, Resting, RestingWithoutDeviceInput };

// The sampler along the path, from a pad in calculator mode whose margin and cell metrics a
// showing must read again; what the user saw, e.g. "shown 91x110 at 454,345 in keypad mode, hidden, ".
std::string Walk(Program& p, const Path& path, Run run = Run::Ticking, size_t phase = 0) {
  FakePad& pad = p.pad;
  std::string seen;
  p.kwix.Layout.CalcMode = true, p.kwix.Settings.Margin = p.kwix.Layout.RowHeight = 0;
  for (size_t tick = 0; tick < path.size(); ++tick) {
    const bool moved = path[tick] != (tick > 0 ? path[tick - 1] : TPoint{}), visible = pad.visible;
    pad.cursorReadable = path[tick] != kUnreadable;
    if (pad.cursorReadable) pad.cursor = path[tick];
    if (run == Run::Resting && pad.mouseWatch && moved) {
      EXPECT_FALSE(HandlePadMessage(p.kwix, pad, pad, msg::Input, TPoint{})) << "WM_INPUT goes on to the system";
    } else if (run == Run::Ticking || pad.sampleTimer) {
      HandlePadTimer(p.kwix, pad, kSampleTimerId);
    } else if (pad.backupTimer && tick % 50 == phase) {
      HandlePadTimer(p.kwix, pad, kBackupTimerId);
    }
    if (pad.visible == visible) continue;
    seen += !pad.visible ? "hidden, "
                         : "shown " + std::to_string(pad.client.right) + "x" + std::to_string(pad.client.bottom) +
                               " at " + std::to_string(pad.at.x) + "," + std::to_string(pad.at.y) +
                               (p.kwix.Layout.CalcMode ? " in calculator mode, " : " in keypad mode, ");
  }
  return seen;
}

// Windings of more than a turn (CircleTurnsPercent / 100 turns, 100 to 400) pass, in steps
// of at most a quarter turn; so do ellipses, but not strokes.
TEST(Gesture, CircleTest) {
  struct Row {
    const char* name;
    Path drawn;
    int32_t percent;  // CircleTurnsPercent
    bool passes;
  };
  // clang-format off
  const Row rows[] = {
      {.name = "60° steps: 7 samples turn 360°, not more", .drawn = Circle(6, 7), .percent = 100, .passes = false},
      {.name = "60° steps: 8 samples turn 420°", .drawn = Circle(6, 8), .percent = 100, .passes = true},
      {.name = "an ellipse 400 by 60", .drawn = Circle(40, 42, 200, 30), .percent = 100, .passes = true},
      {.name = "a stroke to and fro", .drawn = Circle(40, 42, 100, 0), .percent = 100, .passes = false},
      {.name = "1.6 turns at 150 %", .drawn = Circle(-40, 65), .percent = 150, .passes = true},
      {.name = "1.05 turns at 0 %, read as 100 %", .drawn = Circle(40, 43), .percent = 0, .passes = true},
      {.name = "1.01 turns at 100 %", .drawn = Circle(400, 405), .percent = 100, .passes = true},
      {.name = "4.005 turns at 1000 %, read as 400 %", .drawn = Circle(400, 1603), .percent = 1000, .passes = true}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Path trail(row.drawn.rbegin(), row.drawn.rend());  // newest first
    TPoint centre;
    EXPECT_EQ(IsCircleGesture(trail.data(), static_cast<int32_t>(trail.size()) - 1, row.percent, centre), row.passes);
  }
  // The box's centre, a half going to the even neighbour: x 0 to 5 gives 2, y 1 to 6 gives 4;
  // with one more point x 0 to 6 gives 3. Left of the primary monitor, the newest point a
  // corner: x -6 to 0 gives -3, y 1 to 7 gives 4.
  Path box = {{0, 1}, {5, 6}, {1, 2}, {2, 3}, {3, 3}, {4, 4}, {1, 5}, {2, 2}, {6, 3}};
  const Path left = {{0, 7}, {-6, 1}, {-5, 2}, {-4, 3}, {-3, 3}, {-2, 4}, {-5, 5}, {-4, 2}};
  TPoint centre;
  EXPECT_FALSE(IsCircleGesture(box.data(), 7, 100, centre));
  EXPECT_EQ(centre, (TPoint{2, 4}));
  IsCircleGesture(box.data(), 8, 100, centre);
  EXPECT_EQ(centre, (TPoint{3, 4}));
  IsCircleGesture(left.data(), 7, 100, centre);
  EXPECT_EQ(centre, (TPoint{-3, 4}));
}

// The sampler tick by tick, ticking throughout and resting after half a second at rest: the
// pad shows in keypad mode at a circle, its "5" under the centre, and hides at the next; a
// pause of three ticks (or unreadable positions) ends a circle, a shorter one does not; a
// trail holds 256 samples. The first movement after a rest wakes the resting sampler; refused
// the mouse watch or the backup tick, it keeps ticking instead, and refused its timer at a
// wake, the next movement wakes it.
TEST(Gesture, SamplerTogglesThePad) {
  const Path circle = Circle(40, 45, 80, 80), home = Still({200, 200}, 100);
  std::string onAndOn;
  for (int i = 0; i < 12; ++i) onAndOn += kShown + "hidden, ";
  struct Row {
    const char* name;
    Path path;
    std::string seen;
    int rests;                 // times the resting sampler stopped its 10 ms timer
    const char* refused = "";  // what the system refuses to make, once
  };
  // clang-format off
  const Row rows[] = {
      {.name = "a circle", .path = circle, .seen = kShown, .rests = 0},
      {.name = "3 unreadable positions", .path = Paused(circle, 20, 3, kUnreadable), .seen = "", .rests = 0},
      {.name = "two circles in one go", .path = Circle(40, 90, 80, 80), .seen = kShown + "hidden, ", .rests = 0},
      {.name = "256 samples a turn", .path = Circle(256, 300, 200, 200), .seen = "", .rests = 0},
      {.name = "254.5 samples a turn", .path = Circle(254.5, 260, 200, 200), .seen = kShown, .rests = 0},
      {.name = "a rest just long enough, a circle with a pause of 2 ticks",
       .path = Still({200, 200}, 53) + Paused(circle, 20, 2, circle[19]), .seen = kShown, .rests = 1},
      {.name = "two short rests, a circle with a pause of 3 ticks",
       .path = Still({200, 200}, 40) + Still({210, 200}, 40) + Paused(circle, 20, 3, circle[19]), .seen = "",
       .rests = 0},
      {.name = "a circle, a rest, a circle", .path = home + circle + Still({0, 0}, 100) + circle,
       .seen = kShown + "hidden, ", .rests = 2},
      {.name = "circling on and on: 24 times 1.05 turns", .path = home + Circle(40, 24 * 42, 80, 80), .seen = onAndOn,
       .rests = 1},
      {.name = "the mouse watch refused: the sampler ticks on for another half second",
       .path = home + Still({200, 200}, 2) + circle, .seen = kShown, .rests = 0, .refused = "mouse watch"},
      {.name = "the backup tick refused: the sampler ticks on", .path = home + circle, .seen = kShown, .rests = 0,
       .refused = "backup timer"},
      {.name = "the 10 ms timer refused at a wake: the next movement wakes the sampler", .path = home + circle,
       .seen = kShown, .rests = 1, .refused = "sample timer"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Program ticking;
    EXPECT_EQ(Walk(ticking, row.path), row.seen) << "ticking";
    Program resting;
    resting.pad.refused = row.refused;
    EXPECT_EQ(Walk(resting, row.path, Run::Resting), row.seen) << "resting";
    EXPECT_EQ(resting.pad.rests, row.rests);
    EXPECT_FALSE(resting.pad.mouseWatch) << "the mouse no longer watched once ticking";
    EXPECT_FALSE(resting.pad.backupTimer) << "the backup tick stopped once ticking";
  }
  // A program moving the cursor makes no device input: the next backup tick wakes the sampler,
  // so a circle drawn that way after a rest has to be longer by up to 50 ticks.
  for (int late : {0, 49}) {      // ticks from the circle's start to the next backup tick
    for (int awake : {40, 42}) {  // samples after the wake: 351° or 369°
      Program p;
      EXPECT_EQ(Walk(p, home + Circle(40, late + awake), Run::RestingWithoutDeviceInput, late),
                awake == 42 ? kShown : "")
          << "without device input, the backup tick " << late << " ticks late, then " << awake << " samples";
    }
  }
}

}  // namespace
