// A long run of the cursor sampler: millions of timer ticks of random walks, pauses,
// circles, ellipses, spirals, strokes, jerks and unreadable positions, each tick through
// SampleCursor with a stand-in cursor, each held against a model of the sampler and the
// circle test written here from their rules. The trail never leaves its bounds, holds
// exactly the samples the model holds, and the pad toggles at exactly the ticks the model
// says, placed around the model's centre.
// KWIX_SOAK_TICKS sets the number of ticks (for a longer run); by default 10 million
// natively, fewer where each tick costs more (sanitizers) or the tier must stay short (Wine).
#include "gesture/Gesture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "pad/PadWindow.h"

namespace {

#if defined(_WIN32)
constexpr long long kDefaultTicks = 1000000;
#elif defined(__SANITIZE_ADDRESS__)
constexpr long long kDefaultTicks = 1000000;
#else
constexpr long long kDefaultTicks = 10000000;
#endif

long long SoakTicks() {
  const char* env = std::getenv("KWIX_SOAK_TICKS");
  if (env && *env) return std::atoll(env);
  return kDefaultTicks;
}

// ---- the model

// pi, 2pi and pi/2 rounded to the 64-bit significand; the wrap test's bounds as doubles.
constexpr long double kTwoPi = 0xC.90FDAA22168C235p-1L;
constexpr long double kHalfPi = 0xC.90FDAA22168C235p-3L;
constexpr double kPiBound = 3.141592653589793;
constexpr double kTwoPiBound = 6.283185307179586;
constexpr double kPi = 3.14159265358979323846;

// (a + b) / 2 with a half going to the even neighbour.
int32_t HalfEvenMidpoint(int32_t a, int32_t b) {
  const long long sum = static_cast<long long>(a) + b;
  long long floor = sum >= 0 ? sum / 2 : (sum - 1) / 2;
  if (sum % 2 != 0 && floor % 2 != 0) floor += 1;
  return static_cast<int32_t>(floor);
}

bool ModelCircle(const std::deque<TPoint>& trail, TPoint& centre) {
  if (trail.size() < 8) return false;
  int32_t x0 = trail[0].x, x1 = trail[0].x, y0 = trail[0].y, y1 = trail[0].y;
  for (const TPoint& p : trail) {
    if (p.x < x0) x0 = p.x;
    if (p.x > x1) x1 = p.x;
    if (p.y < y0) y0 = p.y;
    if (p.y > y1) y1 = p.y;
  }
  centre = TPoint{HalfEvenMidpoint(x0, x1), HalfEvenMidpoint(y0, y1)};
  auto bearing = [&](const TPoint& p) {
    const long double right = static_cast<long double>(static_cast<long long>(p.x) - centre.x);
    const long double up = static_cast<long double>(static_cast<long long>(centre.y) - p.y);
    return static_cast<double>(std::atan2(right, up));
  };
  double total = 0;
  double previous = bearing(trail[0]);
  for (size_t i = 1; i < trail.size(); ++i) {
    const double current = bearing(trail[i]);
    double step = static_cast<double>(static_cast<long double>(current) - previous);
    const double size = std::fabs(step);
    if (size >= kPiBound && size <= kTwoPiBound) {
      step = static_cast<double>(step > 0 ? step - kTwoPi : step + kTwoPi);
    }
    if (static_cast<long double>(std::fabs(step)) > kHalfPi) return false;
    total = static_cast<double>(static_cast<long double>(total) + step);
    previous = current;
  }
  return static_cast<long double>(std::fabs(total)) > kTwoPi;
}

struct Sample {
  bool readable;
  TPoint at;
};

// The sampler's rules: a sample only when the cursor moved from the latest one; three ticks
// at rest, or a circle, empty the trail; at most 256 samples, the oldest dropping out.
class ModelSampler {
 public:
  // True when this tick toggles the pad, with the circle's centre.
  bool Tick(const Sample& s, TPoint& centre) {
    if (!s.readable || s.at == latest_) {
      if (still_ < INT32_MAX) ++still_;
      if (still_ >= 3) trail_.clear();
      return false;
    }
    still_ = 0;
    latest_ = s.at;
    trail_.push_front(s.at);
    if (trail_.size() > 256) trail_.pop_back();
    if (!ModelCircle(trail_, centre)) return false;
    trail_.clear();
    return true;
  }
  const std::deque<TPoint>& Trail() const { return trail_; }
  const TPoint& Latest() const { return latest_; }
  int32_t Still() const { return still_; }

 private:
  std::deque<TPoint> trail_;
  TPoint latest_{0, 0};
  int32_t still_ = 0;
};

// ---- the stand-in cursor and window

class SoakWindow : public PadWindow {
 public:
  Sample cursor{true, {0, 0}};
  bool visible = false;
  int shows = 0, hides = 0;
  TPoint placedAt{0, 0};

  int ScreenPixelsPerInchY() override { return 96; }
  void ReplacePadFont(const TLogFont&) override {}
  int MenuBarHeight() override { return 20; }
  TRect ClientRect() override { return TRect{}; }
  void Resize(int, int) override {}
  void Move(int, int) override {}
  void PlaceOnTop(int left, int top, int, int) override { placedAt = TPoint{left, top}; }
  void ShowNoActivate() override {
    visible = true;
    ++shows;
  }
  void Hide() override {
    visible = false;
    ++hides;
  }
  bool IsVisible() override { return visible; }
  bool CursorPos(TPoint& position) override {
    if (!cursor.readable) return false;
    position = cursor.at;
    return true;
  }
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  bool TrackLeave() override { return true; }
  void SetPointerShape(bool) override {}
  void SetClassArrowCursor(bool) override {}
  void Beep() override {}
};

// ---- what the hand does

class Hand {
 public:
  explicit Hand(uint64_t seed) : random_(seed) {}

  Sample Next() {
    while (plan_.empty()) Plan();
    Sample s = plan_.front();
    plan_.pop_front();
    return s;
  }

  long long circles = 0;

 private:
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random_); }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  bool Chance(double p) { return Uniform(0, 1) < p; }

  void Add(TPoint p) {
    at_ = p;
    plan_.push_back(Sample{true, p});
  }
  void Rest(int ticks) {
    for (int i = 0; i < ticks; ++i) plan_.push_back(Sample{true, at_});
  }
  static int32_t Clamp(double v) {
    const double limit = 2147483000.0;
    return static_cast<int32_t>(std::lround(v < -limit ? -limit : (v > limit ? limit : v)));
  }

  // Samples along an ellipse (radii growing by `spiral` per turn), with a little jitter.
  void Curve(TPoint c, double rx, double ry, int perTurn, double turns, double spiral, int jitter) {
    const double start = Uniform(0, 2 * kPi);
    const double direction = Chance(0.5) ? 1 : -1;
    const int count = static_cast<int>(perTurn * turns);
    for (int i = 0; i <= count; ++i) {
      const double t = static_cast<double>(i) / perTurn;
      const double a = start + direction * 2 * kPi * t;
      const double grow = 1 + spiral * t;
      Add(TPoint{Clamp(c.x + rx * grow * std::sin(a) + Int(-jitter, jitter)),
                 Clamp(c.y - ry * grow * std::cos(a) + Int(-jitter, jitter))});
    }
  }

  void Plan() {
    // Now and then the whole screen is far from the origin, as on a monitor left of or
    // above the primary one, or at the very ends of the coordinates.
    if (Chance(0.002)) {
      const int32_t far = Chance(0.5) ? 2147480000 : -2147480000;
      at_ = TPoint{Chance(0.5) ? far : Int(-5000, 5000), Chance(0.5) ? -far : Int(-5000, 5000)};
    }
    const double what = Uniform(0, 1);
    if (what < 0.30) {
      ++circles;
      const double r = std::exp(Uniform(std::log(4.0), std::log(400.0)));
      const TPoint c{Clamp(at_.x + Uniform(-r, r)), Clamp(at_.y + Uniform(-r, r))};
      const int perTurn = Chance(0.9) ? Int(8, 40) : Int(3, 300);
      Curve(c, r, r * (Chance(0.7) ? 1 : Uniform(0.1, 1)), perTurn, Uniform(0.5, 2.5), 0, Chance(0.5) ? 0 : Int(1, 3));
    } else if (what < 0.37) {
      const double r = Uniform(10, 200);
      Curve(at_, r, r, Int(8, 40), Uniform(1, 3), Uniform(-0.5, 1.5), 0);  // spiral
    } else if (what < 0.52) {
      const int steps = Int(1, 40);
      const int reach = Chance(0.8) ? 3 : 40;
      for (int i = 0; i < steps; ++i) Add(TPoint{Clamp(at_.x + Int(-reach, reach)), Clamp(at_.y + Int(-reach, reach))});
    } else if (what < 0.60) {
      const int dx = Int(-15, 15), dy = Int(-15, 15), steps = Int(2, 50);
      const int repeats = Chance(0.5) ? 1 : Int(2, 4);  // back and forth
      for (int k = 0; k < repeats; ++k) {
        const int sign = k % 2 ? -1 : 1;
        for (int i = 0; i < steps; ++i) Add(TPoint{Clamp(at_.x + sign * dx), Clamp(at_.y + sign * dy)});
      }
    } else if (what < 0.64) {
      Add(TPoint{Clamp(at_.x + Int(-800, 800)), Clamp(at_.y + Int(-800, 800))});  // a jerk
    } else if (what < 0.67) {
      for (int i = Int(1, 6); i > 0; --i) plan_.push_back(Sample{false, at_});  // position unreadable
    } else {
      Rest(Int(1, 4));  // one or two ticks keep the trail, three empty it
    }
    // Most movements end in a rest, as a hand's do.
    if (Chance(0.8)) Rest(Chance(0.8) ? Int(3, 80) : Int(80, 600));
  }

  std::mt19937_64 random_;
  std::deque<Sample> plan_;
  TPoint at_{0, 0};
};

std::string Describe(const TPoint& p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

TEST(SamplerSoak, TicksFollowTheModelThroughRandomMovement) {
  const long long ticks = SoakTicks();
  const uint64_t seed = 20240611;
  Hand hand(seed);
  ModelSampler model;
  SoakWindow window;
  for (TPoint& p : CursorTrail) p = TPoint{0, 0};
  TrailCount = 0;
  StillTicks = 0;

  long long toggles = 0, movingTicks = 0, longestTrail = 0;
  const auto start = std::chrono::steady_clock::now();
  for (long long tick = 0; tick < ticks; ++tick) {
    window.cursor = hand.Next();
    const bool wasVisible = window.visible;
    if (window.cursor.readable && window.cursor.at != model.Latest()) ++movingTicks;
    TPoint centre{0, 0};
    const bool toggle = model.Tick(window.cursor, centre);
    SampleCursor(window);

    const std::deque<TPoint>& trail = model.Trail();
    const std::string where = "tick " + std::to_string(tick) + " at " + Describe(window.cursor.at);
    ASSERT_TRUE(TrailCount >= 0 && TrailCount <= kTrailCapacity) << where << ": TrailCount " << TrailCount;
    ASSERT_EQ(window.visible != wasVisible, toggle)
        << where << ": the pad toggled where the model says " << (toggle ? "it does" : "it does not");
    ASSERT_EQ(TrailCount, static_cast<int32_t>(trail.size())) << where;
    ASSERT_EQ(StillTicks, model.Still()) << where;
    for (size_t i = 0; i < trail.size(); ++i) ASSERT_EQ(CursorTrail[i], trail[i]) << where << ", sample " << i;
    if (toggle) {
      ++toggles;
      if (window.visible) {
        // Defaults: 20-pixel rows, 27-pixel columns and a 5-pixel margin put the "5" key
        // under the centre: 41 + 5 to the left, 110 - 50 - 5 above.
        const TPoint placed{static_cast<int32_t>(static_cast<uint32_t>(int64_t{centre.x} - 46)),
                            static_cast<int32_t>(static_cast<uint32_t>(int64_t{centre.y} - 55))};
        ASSERT_EQ(window.placedAt, placed) << where << ": centre " << Describe(centre);
      }
    }
    if (static_cast<long long>(trail.size()) > longestTrail) longestTrail = static_cast<long long>(trail.size());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "  " << ticks << " ticks (" << movingTicks << " moving) in " << seconds << " s: " << hand.circles
            << " circles and spirals drawn, " << toggles << " toggles (" << window.shows << " shown, " << window.hides
            << " hidden), longest trail " << longestTrail << "\n";
  EXPECT_EQ(longestTrail, kTrailCapacity) << "the run never filled the trail";
  EXPECT_GT(toggles, ticks / 2000) << "too few circles were recognised for the run to mean much";
}

}  // namespace
