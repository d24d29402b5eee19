// The program's hot paths under Google Benchmark, each beside a floor that does only the
// unavoidable part of the same work: the circle test against the bare arctangents of its
// points, the settings load against reading the file's bytes. The timer tick runs every
// 10 ms for the life of the program, so its cost is what the user pays for KWIX sitting
// idle or watching the mouse.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/X87.h"
#include "gesture/Gesture.h"
#include "gesture/SamplerHost.h"
#include "numtext/NumFormat.h"
#include "numtext/NumText.h"
#include "settings/Settings.h"

namespace {

constexpr double kPi = 3.141592653589793;

// A cursor that replays a path, and nothing else of the system.
class PathCursor : public SamplerHost {
 public:
  explicit PathCursor(std::vector<TPoint> path) : path_(std::move(path)) {}
  bool CursorPos(TPoint& position) override {
    position = path_[next_];
    if (moving_) next_ = (next_ + 1) % path_.size();
    return true;
  }
  void SetMoving(bool moving) { moving_ = moving; }

  bool StartSampleTimer() override { return true; }
  void StopSampleTimer() override {}
  bool WatchMouseInput() override { return true; }
  void UnwatchMouseInput() override {}
  bool StartBackupTimer() override { return true; }
  void StopBackupTimer() override {}

 private:
  std::vector<TPoint> path_;
  size_t next_ = 0;
  bool moving_ = true;
};

// A screen of 96 pixels per inch that makes no font.
class NoFonts : public PadFontHost {
 public:
  int ScreenPixelsPerInchY() override { return 96; }
  void ReplacePadFont(const TLogFont&) override {}
};

TPoint OnCircle(double degrees, int radius) {
  const double a = degrees * kPi / 180;
  return TPoint{500 + static_cast<int32_t>(std::lround(radius * std::sin(a))),
                400 - static_cast<int32_t>(std::lround(radius * std::cos(a)))};
}

// 256 samples over 300 degrees of a circle, newest first: the test scans every point and
// fails only at the very end (five sixths of a turn), the most it can cost.
std::vector<TPoint> NearlyACircle() {
  std::vector<TPoint> trail;
  for (int i = 0; i < kTrailCapacity; ++i) trail.push_back(OnCircle(300.0 * i / (kTrailCapacity - 1), 200));
  return trail;
}

void BM_IsCircleGesture_Full256(benchmark::State& state) {
  const std::vector<TPoint> trail = NearlyACircle();
  for (auto _ : state) {
    TPoint centre{0, 0};
    bool circle = IsCircleGesture(trail.data(), kTrailCapacity - 1, 100, centre);
    benchmark::DoNotOptimize(circle);
    benchmark::DoNotOptimize(centre);
  }
}
BENCHMARK(BM_IsCircleGesture_Full256);

// Floor: one extended atan2 per point around the same centre, nothing else.
void BM_Floor_256Atan2(benchmark::State& state) {
  const std::vector<TPoint> trail = NearlyACircle();
  TPoint centre{0, 0};
  IsCircleGesture(trail.data(), kTrailCapacity - 1, 100, centre);
  for (auto _ : state) {
    for (const TPoint& p : trail) {
      Extended right = static_cast<Extended>(p.x - centre.x);
      Extended up = static_cast<Extended>(centre.y - p.y);
      benchmark::DoNotOptimize(right);
      benchmark::DoNotOptimize(up);
      Extended bearing = std::atan2(right, up);
      benchmark::DoNotOptimize(bearing);
    }
  }
}
BENCHMARK(BM_Floor_256Atan2);

void BM_Tick_AtRest(benchmark::State& state) {
  PathCursor window({TPoint{321, 123}});
  window.SetMoving(false);
  TSampler sampler;
  TPoint centre;
  SampleCursor(sampler, 100, window, centre);
  for (auto _ : state) SampleCursor(sampler, 100, window, centre);
}
BENCHMARK(BM_Tick_AtRest);

// A hand that sweeps back and forth over 240 degrees of a circle: every tick adds a
// sample to a full trail and tests all 256 points, and no circle is ever completed.
void BM_Tick_Moving(benchmark::State& state) {
  std::vector<TPoint> path;
  for (int i = 0; i < 200; ++i) path.push_back(OnCircle(240.0 * i / 200, 200));
  for (int i = 200; i > 0; --i) path.push_back(OnCircle(240.0 * i / 200, 200));
  PathCursor window(path);
  TSampler sampler;
  TPoint centre;
  bool circle = false;
  // Every tick moves, so after this the trail is full and stays full.
  for (int i = 0; i < 2 * kTrailCapacity; ++i) circle |= SampleCursor(sampler, 100, window, centre);
  for (auto _ : state) circle |= SampleCursor(sampler, 100, window, centre);
  if (circle) state.SkipWithError("the sweep was taken for a circle");
}
BENCHMARK(BM_Tick_Moving);

const Extended kThird = 1.0L / 3.0L;

void BM_DisplayNumberText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DisplayNumberText(kThird, 19, '.'));
}
BENCHMARK(BM_DisplayNumberText);

void BM_PasteNumberText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PasteNumberText(kThird, '.'));
}
BENCHMARK(BM_PasteNumberText);

void BM_TryTextToNumber(benchmark::State& state) {
  const std::string text = "12345.678";
  for (auto _ : state) {
    Extended value = 0;
    benchmark::DoNotOptimize(TryTextToNumber(text, '.', value));
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_TryTextToNumber);

// A settings file that sets all 24 settings, with comments, as a user would keep it.
std::string WriteEverySettingFile() {
  static const char kText[] =
      "# KWIX settings\r\n"
      "Margin = 6            # outer margin\r\n"
      "CornerCurveX = 7\r\nCornerCurveY = 7\r\n"
      "BGColor = $202020\r\nPenColor = $808080\r\n"
      "FontFace = Tahoma\r\nFontSize = 9\r\nBoldFont = no\r\nItalicFont = no\r\n"
      "BtnMargin = 2\r\nBtnCornerCurveX = 4\r\nBtnCornerCurveY = 4\r\n"
      "BtnColor = $404040\r\nBtnTextColor = $FFFFFF\r\n"
      "BtnHoverColor = $606060\r\nBtnHoverTextColor = $00FFFF\r\n"
      "UseHandCursor = yes\r\nClickOnDown = true\r\n"
      "CalcEditBottomMargin = 2\r\nCalcEditCornerCurveX = 6\r\nCalcEditCornerCurveY = 6\r\n"
      "CalcEditColor = $303030\r\nCalcEditTextColor = $FFFFFF\r\nMaskColor = $FF00FF\r\n";
  const std::string name = SettingsFileName();
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(kText, 1, sizeof kText - 1, f);
    std::fclose(f);
  }
  return name;
}

void BM_LoadSettings_All24(benchmark::State& state) {
  const std::string name = WriteEverySettingFile();
  NoFonts fonts;
  TSettings settings;
  TMadeFont made;
  for (auto _ : state) {
    settings = LoadSettings('.');
    FitPadFont(made, settings, fonts, 0);
  }
  if (settings.Margin != 6 || settings.FontFace != "Tahoma") state.SkipWithError("the settings file was not read");
  std::remove(name.c_str());
}
BENCHMARK(BM_LoadSettings_All24);

// Floor: open the same file, read its bytes into memory, close it.
void BM_Floor_ReadFile(benchmark::State& state) {
  const std::string name = WriteEverySettingFile();
  for (auto _ : state) {
    std::string bytes;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
      std::fclose(f);
    }
    benchmark::DoNotOptimize(bytes);
  }
  std::remove(name.c_str());
}
BENCHMARK(BM_Floor_ReadFile);

}  // namespace

int main(int argc, char** argv) {
  // The program's own floating-point state, in which all of this runs.
  SetX87ControlWord(kStandingControlWord);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
