#include "gesture/Gesture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "pad/Geometry.h"
#include "pad/PadState.h"
#include "pad/PadWindow.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// count samples on an ellipse around centre with radii rx and ry, stepDegrees apart
// (positive: clockwise on the screen), starting at startDegrees (0: straight above the
// centre), rounded to whole pixels.
std::vector<TPoint> Ellipse(TPoint centre, double rx, double ry, double stepDegrees, int count,
                            double startDegrees = 0) {
  std::vector<TPoint> points;
  for (int i = 0; i < count; ++i) {
    double a = (startDegrees + i * stepDegrees) * kDegree;
    points.push_back(TPoint{centre.x + static_cast<int32_t>(std::lround(rx * std::sin(a))),
                            centre.y - static_cast<int32_t>(std::lround(ry * std::cos(a)))});
  }
  return points;
}

std::vector<TPoint> Circle(TPoint centre, double radius, int samplesPerTurn, int count, bool clockwise = true) {
  return Ellipse(centre, radius, radius, (clockwise ? 360.0 : -360.0) / samplesPerTurn, count);
}

// count samples from `from`, each (dx, dy) after the one before.
std::vector<TPoint> Line(TPoint from, int dx, int dy, int count) {
  std::vector<TPoint> points;
  for (int i = 0; i < count; ++i) points.push_back(TPoint{from.x + i * dx, from.y + i * dy});
  return points;
}

std::vector<TPoint> Joined(std::vector<TPoint> first, const std::vector<TPoint>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// The test on the first `length` samples of a movement, newest first as the trail holds them.
bool Passes(const std::vector<TPoint>& movement, size_t length, TPoint& centre) {
  std::vector<TPoint> trail(movement.begin(), movement.begin() + length);
  std::reverse(trail.begin(), trail.end());
  return IsCircleGesture(trail.data(), static_cast<int32_t>(length) - 1, centre);
}

// The number of samples after which a movement first passes, 0 when it never does.
size_t FirstPass(const std::vector<TPoint>& movement) {
  for (size_t length = 1; length <= movement.size(); ++length) {
    TPoint centre;
    if (Passes(movement, length, centre)) return length;
  }
  return 0;
}

TEST(CircleGesture, SamplesAroundACircle) {
  const TPoint c{500, 400};
  struct Case {
    const char* what;
    std::vector<TPoint> movement;
    size_t firstPassFrom, firstPassTo;  // 0: never
  };
  const Case cases[] = {
      // 8 samples turn 315°, 9 exactly one turn, 10 turn 405°.
      {"45° apart, clockwise", Circle(c, 100, 8, 40), 10, 10},
      {"45° apart, anticlockwise", Circle(c, 100, 8, 40, false), 10, 10},
      // 7 samples turn exactly one turn; 8 are the fewest that may pass.
      {"60° apart, clockwise", Circle(c, 100, 6, 40), 8, 8},
      {"60° apart, anticlockwise", Circle(c, 100, 6, 40, false), 8, 8},
      {"45° apart, starting below the centre", Ellipse(c, 100, 100, 45, 40, 180), 10, 10},
      {"3 samples per turn", Circle(c, 100, 3, 60), 0, 0},
      {"100° apart", Ellipse(c, 100, 100, 100, 60), 0, 0},
      {"100° apart, anticlockwise", Ellipse(c, 100, 100, -100, 60), 0, 0},
      // With 40 summed steps, rounding may tip exactly one turn (41 samples) over.
      {"ellipse 400 × 60, 40 samples per turn", Ellipse(c, 200, 30, 9, 120), 41, 42},
      {"200 samples per turn", Circle(c, 300, 200, 600), 201, 205},
      {"small circle near the top left of the coordinates", Circle({-2147483600, -2147483600}, 40, 16, 40), 18, 18},
      {"horizontal stroke", Line({100, 400}, 7, 0, 100), 0, 0},
      {"diagonal stroke", Line({100, 100}, 5, 3, 100), 0, 0},
      {"back and forth",
       Joined(Joined(Line({100, 400}, 10, 1, 50), Line({600, 450}, -10, -1, 50)), Line({100, 400}, 10, 1, 50)), 0, 0},
  };
  for (const Case& c : cases) {
    size_t first = FirstPass(c.movement);
    if (c.firstPassFrom == 0) {
      EXPECT_EQ(first, 0u) << c.what;
    } else {
      EXPECT_GE(first, c.firstPassFrom) << c.what;
      EXPECT_LE(first, c.firstPassTo) << c.what;
    }
  }
}

TEST(CircleGesture, OneJerkFailsTheWholeTrail) {
  std::vector<TPoint> movement = Circle({500, 400}, 100, 12, 30);
  TPoint centre;
  ASSERT_TRUE(Passes(movement, 30, centre));
  // Straight across the circle and back: a half turn both ways.
  const TPoint before = movement[19];
  movement.insert(movement.begin() + 20, TPoint{1000 - before.x, 800 - before.y});
  movement.insert(movement.begin() + 21, before);
  EXPECT_FALSE(Passes(movement, movement.size(), centre));
}

TEST(CircleGesture, CentreIsTheBoundingBoxMidpointRoundedHalfToEven) {
  struct Case {
    int32_t left, top, right, bottom;
    TPoint centre;
  };
  const Case cases[] = {
      {0, 1, 5, 6, {2, 4}},
      {-5, -6, 0, -1, {-2, -4}},
      {-1, 0, 2, 2, {0, 1}},
      {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, {0, 0}},
      {INT32_MAX - 1, INT32_MAX - 3, INT32_MAX, INT32_MAX, {INT32_MAX - 1, INT32_MAX - 1}},
  };
  for (const Case& c : cases) {
    // Eight points: the two corners of the box and six inside it.
    std::vector<TPoint> movement{{c.left, c.top}, {c.right, c.bottom}};
    for (int i = 0; i < 6; ++i) movement.push_back(TPoint{c.right - (i % 2), c.bottom - (i % 3)});
    TPoint centre{12345, 12345};
    Passes(movement, movement.size(), centre);
    EXPECT_EQ(centre, c.centre) << "box (" << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom << ")";
  }
}

TEST(CircleGesture, FewerThanEightSamplesLeaveTheCentreAlone) {
  std::vector<TPoint> movement = Circle({500, 400}, 100, 6, 8);
  TPoint centre{-7, -7};
  EXPECT_FALSE(Passes(movement, 7, centre));
  EXPECT_EQ(centre, (TPoint{-7, -7}));
  EXPECT_TRUE(Passes(movement, 8, centre));
  EXPECT_EQ(centre, (TPoint{500, 400}));
}

// A movement before the circle widens the bounding box; seen from its centre the circle
// only wobbles to and fro.
TEST(CircleGesture, LeadInMovesTheCentreOffTheCircle) {
  std::vector<TPoint> movement = Joined(Line({0, 400}, 10, 0, 45), Ellipse({500, 400}, 50, 50, -9, 120, 270));
  EXPECT_EQ(FirstPass(movement), 0u);
  TPoint centre;
  Passes(movement, movement.size(), centre);
  EXPECT_EQ(centre, (TPoint{275, 400}));
}

// Records what the gesture asks of the pad window, plays back a cursor position.
class FakePad : public PadWindow {
 public:
  int menuBarHeight = 20;
  bool visible = false;
  bool cursorReadable = true;
  TPoint cursor;
  std::vector<std::string> calls;
  struct Placement {
    int left, top, width, height;
  };
  std::vector<Placement> placements;
  int toggles = 0;

  int ScreenPixelsPerInchY() override { return 96; }
  void ReplacePadFont(const TLogFont&) override {}
  int MenuBarHeight() override { return menuBarHeight; }
  TRect ClientRect() override { return TRect{}; }
  void Resize(int, int) override { calls.push_back("Resize"); }
  void Move(int, int) override { calls.push_back("Move"); }
  void PlaceOnTop(int left, int top, int width, int height) override {
    calls.push_back("PlaceOnTop");
    placements.push_back(Placement{left, top, width, height});
  }
  void ShowNoActivate() override {
    calls.push_back("ShowNoActivate");
    visible = true;
    ++toggles;
  }
  void Hide() override {
    calls.push_back("Hide");
    visible = false;
    ++toggles;
  }
  bool IsVisible() override { return visible; }
  bool CursorPos(TPoint& position) override {
    if (cursorReadable) position = cursor;
    return cursorReadable;
  }
  void CaptureMouse() override { calls.push_back("CaptureMouse"); }
  void ReleaseMouse() override { calls.push_back("ReleaseMouse"); }
  bool TrackLeave() override {
    calls.push_back("TrackLeave");
    return true;
  }
  void SetPointerShape(bool) override { calls.push_back("SetPointerShape"); }
  void SetClassArrowCursor(bool arrow) override {
    calls.push_back(arrow ? "SetClassArrowCursor(arrow)" : "SetClassArrowCursor(none)");
  }
  void Beep() override { calls.push_back("Beep"); }
};

class Sampler : public ::testing::Test {
 protected:
  // The state the program starts with.
  void SetUp() override {
    std::fill(std::begin(CursorTrail), std::end(CursorTrail), TPoint{});
    TrailCount = 0;
    StillTicks = 0;
    CalcMode = false;
  }
  void TearDown() override { CalcMode = false; }

  void Tick(TPoint position) {
    pad.cursor = position;
    SampleCursor(pad);
  }
  void RestTicks(int count) {
    for (int i = 0; i < count; ++i) SampleCursor(pad);
  }
  // Feeds the movement one tick per sample, with `pause` ticks at rest after each;
  // returns the sample numbers (from 1) at whose tick the pad toggled.
  std::vector<size_t> Feed(const std::vector<TPoint>& movement, int pause = 0) {
    std::vector<size_t> toggledAt;
    for (size_t i = 0; i < movement.size(); ++i) {
      int before = pad.toggles;
      Tick(movement[i]);
      if (pad.toggles != before) toggledAt.push_back(i + 1);
      RestTicks(pause);
    }
    return toggledAt;
  }

  FakePad pad;
};

TEST_F(Sampler, TheCursorStartsReferencedToTheScreenOrigin) {
  Tick({0, 0});
  EXPECT_EQ(TrailCount, 0);
  EXPECT_EQ(StillTicks, 1);
  Tick({0, 1});
  EXPECT_EQ(TrailCount, 1);
  EXPECT_EQ(StillTicks, 0);
  EXPECT_EQ(CursorTrail[0], (TPoint{0, 1}));
}

TEST_F(Sampler, TheThirdTickAtRestEmptiesTheTrail) {
  struct Case {
    int restTicks;
    int32_t trailCount;
  };
  const Case cases[] = {{1, 5}, {2, 5}, {3, 0}, {4, 0}};
  for (const Case& c : cases) {
    for (bool readable : {true, false}) {
      SetUp();
      Feed(Line({10, 10}, 1, 0, 5));
      pad.cursorReadable = readable;
      RestTicks(c.restTicks);
      const char* how = readable ? " ticks at rest" : " ticks without a readable position";
      EXPECT_EQ(TrailCount, c.trailCount) << c.restTicks << how;
      EXPECT_EQ(StillTicks, c.restTicks) << c.restTicks << how;
      EXPECT_EQ(CursorTrail[0], (TPoint{14, 10})) << c.restTicks << how;
      pad.cursorReadable = true;
      Tick({20, 20});
      EXPECT_EQ(StillTicks, 0) << c.restTicks << how;
      EXPECT_EQ(TrailCount, c.trailCount + 1) << c.restTicks << how;
    }
  }
}

TEST_F(Sampler, KeepsTheNewest256Samples) {
  std::vector<TPoint> movement = Line({0, 300}, 3, 1, 300);
  EXPECT_TRUE(Feed(movement).empty());
  EXPECT_EQ(TrailCount, 256);
  EXPECT_EQ(CursorTrail[0], movement[299]);
  EXPECT_EQ(CursorTrail[255], movement[44]);
}

TEST_F(Sampler, ShortPausesKeepTheGestureLongOnesBreakIt) {
  const std::vector<TPoint> circle = Circle({500, 400}, 100, 8, 10);
  EXPECT_EQ(Feed(circle, 2), std::vector<size_t>{10});

  SetUp();
  pad.visible = false;
  std::vector<size_t> toggledAt = Feed(std::vector<TPoint>(circle.begin(), circle.begin() + 5));
  RestTicks(3);
  EXPECT_TRUE(Feed(std::vector<TPoint>(circle.begin() + 5, circle.end())).empty());
  EXPECT_TRUE(toggledAt.empty());
}

// After each toggle the trail starts empty and needs another turn and a little more.
TEST_F(Sampler, CirclingOnTogglesOncePerTurn) {
  std::vector<size_t> toggledAt = Feed(Circle({500, 400}, 100, 40, 200));
  ASSERT_EQ(toggledAt.size(), 4u);
  size_t previous = 0;
  for (size_t at : toggledAt) {
    // One turn is 40 steps, 41 samples; rounding may let exactly one turn through.
    EXPECT_GE(at - previous, 41u) << "toggle at sample " << at;
    EXPECT_LE(at - previous, 42u) << "toggle at sample " << at;
    previous = at;
  }
  EXPECT_EQ(pad.calls.size(), 2u * 3 + 2) << "two showings of three calls, two hidings";
  EXPECT_EQ(std::count(pad.calls.begin(), pad.calls.end(), "ShowNoActivate"), 2);
  EXPECT_EQ(std::count(pad.calls.begin(), pad.calls.end(), "Hide"), 2);
  EXPECT_EQ(pad.calls.back(), "Hide");
  EXPECT_EQ(TrailCount, static_cast<int32_t>(200 - previous));
  ASSERT_EQ(pad.placements.size(), 2u);
  EXPECT_EQ(pad.placements[0].left, 454);
  EXPECT_EQ(pad.placements[0].top, 345);
}

TEST_F(Sampler, ACircleNeedsFewerThan256SamplesPerTurn) {
  std::vector<size_t> toggledAt = Feed(Circle({500, 400}, 300, 200, 250));
  ASSERT_EQ(toggledAt.size(), 1u);
  EXPECT_GT(toggledAt[0], 200u);
  EXPECT_LE(toggledAt[0], 205u);

  SetUp();
  EXPECT_TRUE(Feed(Circle({500, 400}, 300, 256, 800)).empty());
  EXPECT_EQ(TrailCount, 256);
}

TEST_F(Sampler, ALeadInHoldsTheCircleBackUntilItDropsOutOrAPauseClearsIt) {
  const std::vector<TPoint> leadIn = Line({0, 400}, 5, 0, 100);
  const std::vector<TPoint> circle = Ellipse({600, 400}, 50, 50, -9, 300, 270);
  Feed(leadIn);
  std::vector<size_t> toggledAt = Feed(circle);
  ASSERT_FALSE(toggledAt.empty());
  EXPECT_GT(toggledAt[0], 200u) << "the lead-in must have (almost) left the trail";
  EXPECT_LE(toggledAt[0], 256u);

  SetUp();
  pad.visible = false;
  Feed(leadIn);
  RestTicks(3);
  toggledAt = Feed(circle);
  ASSERT_FALSE(toggledAt.empty());
  EXPECT_LE(toggledAt[0], 42u);
}

TEST_F(Sampler, HiddenPadShowsInKeypadModeWithTheFiveKeyUnderTheCentre) {
  CalcMode = true;
  TogglePad(pad, {500, 400});
  EXPECT_FALSE(CalcMode);
  EXPECT_EQ(RowHeight, 20);
  EXPECT_EQ(ColWidth, 27);
  const std::vector<std::string> expected{"SetClassArrowCursor(arrow)", "PlaceOnTop", "ShowNoActivate"};
  EXPECT_EQ(pad.calls, expected);
  ASSERT_EQ(pad.placements.size(), 1u);
  EXPECT_EQ(pad.placements[0].left, 454);
  EXPECT_EQ(pad.placements[0].top, 345);
  EXPECT_EQ(pad.placements[0].width, 91);
  EXPECT_EQ(pad.placements[0].height, 110);
}

TEST_F(Sampler, ThePointFallsInTheFiveKeysCellForAnyMenuBar) {
  const TPoint points[] = {{500, 400}, {0, 0}, {-1001, 333}, {1919, 1079}};
  for (int menuBar = 12; menuBar <= 48; ++menuBar) {
    for (const TPoint& p : points) {
      pad.menuBarHeight = menuBar;
      pad.visible = false;
      pad.placements.clear();
      ShowPadAt(pad, p);
      ASSERT_EQ(pad.placements.size(), 1u);
      int32_t col = -1, row = -1;
      CellAt(p.x - pad.placements[0].left, p.y - pad.placements[0].top, col, row);
      EXPECT_EQ(col, 1) << "menu bar " << menuBar << " at (" << p.x << ", " << p.y << ")";
      EXPECT_EQ(row, 2) << "menu bar " << menuBar << " at (" << p.x << ", " << p.y << ")";
    }
  }
}

TEST_F(Sampler, VisiblePadOnlyHides) {
  CalcMode = true;
  pad.visible = true;
  TogglePad(pad, {500, 400});
  EXPECT_EQ(pad.calls, std::vector<std::string>{"Hide"});
  EXPECT_TRUE(CalcMode);
}

}  // namespace
