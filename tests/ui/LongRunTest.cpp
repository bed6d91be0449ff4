// A run left going for ten days, in simulated time: 8,640,000 ticks of the
// real timer through the real handlers, X wrapping at 65535 hundreds of
// times, the level moved now and then, then a new start and more ticks
// with the window over points stacked hundreds deep. Every point must still
// be there, in order, with the X and level it was taken at.
//
// LONG_RUN_TICKS runs a shorter (or longer) run; LONG_RUN_SEED another
// sequence of level clicks. The times printed are for information only.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "forms/backend/headless/HeadlessBackend.h"
#include "tests/support/HeadlessApplication.h"
#include "ui/Unit1.h"

using forms::backend::headless::RecordingCanvas;
using testing_support::HeadlessApplication;
using testing_support::NativeOf;

namespace {

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

constexpr forms::TColor kBlue = 0xFF0000;

class LongRun {
 public:
  explicit LongRun(std::uint64_t seed) : random_(seed) {
    headless_.app().CreateForm(Form1);
    headless_.backend().windows.front()->Show();
    Expect(0, 50);  // the start-up sample
  }
  ~LongRun() { Form1 = nullptr; }

  void Start() {
    NativeOf(*Form1->Button1).Click();
    ++starts_;
    Expect(1000, 50);
  }

  // One tick of the timer, now and then after a click on ++ or --, and a
  // paint when asked for. False when a sample went missing.
  bool Tick(bool paint) {
    if (std::uniform_int_distribution<int>(0, 2999)(random_) == 0) {  // about every five minutes
      NativeOf(std::uniform_int_distribution<int>(0, 1)(random_) ? *Form1->Button2 : *Form1->Button3).Click();
      ++levelClicks_;
      label_ = std::to_string(CurrentY);
    }
    std::uint32_t before = CurrentX;
    headless_.backend().TickTimers();
    ++ticks_;
    if (CurrentX < before) ++wraps_;
    Expect(CurrentX, CurrentY);
    if (paint) Paint();
    return Form1->Series1->Count() == expectedCount_;
  }

  // Microseconds per tick over `count` ticks, each followed by a paint as
  // the window would show it.
  double TimedTicks(std::uint64_t count) {
    auto begin = std::chrono::steady_clock::now();
    for (std::uint64_t i = 0; i < count; ++i) Tick(true);
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - begin;
    return spent.count() / static_cast<double>(count);
  }

  RecordingCanvas Paint() {
    RecordingCanvas canvas;
    NativeOf(*Form1->Chart1).Paint(canvas);
    return canvas;
  }

  // Walks every point once: X in order, on the 5-unit grid within 0..65535,
  // levels in steps of 5 within 0..100, and the sums of both as taken.
  void ExpectEveryPointKept() const {
    const chart::SeriesData& data = Form1->Series1->Data();
    ASSERT_EQ(data.Count(), 1 + starts_ + ticks_);
    ASSERT_EQ(data.Count(), expectedCount_);
    std::uint64_t sumX = 0, sumY = 0;
    double previous = -1;
    for (std::size_t i = 0; i < data.Count(); ++i) {
      double x = data.X(i), y = data.Y(i);
      ASSERT_LE(previous, x) << "points " << i - 1 << " and " << i << " are out of order";
      ASSERT_TRUE(x >= 0 && x <= 65535 && std::fmod(x, 5) == 0) << "point " << i << " at X " << x;
      ASSERT_TRUE(y >= 0 && y <= 100 && std::fmod(y, 5) == 0) << "point " << i << " at level " << y;
      previous = x;
      sumX += static_cast<std::uint64_t>(x);
      sumY += static_cast<std::uint64_t>(y);
    }
    EXPECT_EQ(sumX, expectedSumX_) << "a sample's X changed";
    EXPECT_EQ(sumY, expectedSumY_) << "a sample's level changed";
  }

  void ExpectTheWindowWorks() {
    EXPECT_TRUE(headless_.backend().errorBoxes.empty()) << headless_.backend().errorBoxes.front().text;
    EXPECT_EQ(headless_.backend().RunningTimers(), 1u);
    EXPECT_TRUE(CurrentY <= 100 && CurrentY % 5 == 0) << CurrentY;
    EXPECT_EQ(Form1->Label1->Caption(), label_);
    const chart::TChartAxis& bottom = *Form1->Chart1->BottomAxis;
    EXPECT_EQ(bottom.Maximum() - bottom.Minimum(), 1000.0);
    EXPECT_EQ(Form1->Chart1->LeftAxis->Minimum(), 0.0);
    EXPECT_EQ(Form1->Chart1->LeftAxis->Maximum(), 100.0);

    RecordingCanvas canvas = Paint();
    std::size_t blue = 0;
    for (const auto& line : canvas.polylines)
      if (line.color == kBlue) blue += line.points.size();
    EXPECT_GT(blue, 1u) << "the samples in the window are drawn";
  }

  std::uint64_t ticks() const { return ticks_; }
  std::uint64_t wraps() const { return wraps_; }
  std::uint64_t levelClicks() const { return levelClicks_; }
  std::size_t points() const { return Form1->Series1->Count(); }

 private:
  void Expect(std::uint32_t x, std::uint32_t y) {
    ++expectedCount_;
    expectedSumX_ += x;
    expectedSumY_ += y;
  }

  HeadlessApplication headless_;
  std::mt19937_64 random_;
  std::uint64_t starts_ = 0;
  std::uint64_t ticks_ = 0;
  std::uint64_t wraps_ = 0;
  std::uint64_t levelClicks_ = 0;
  std::uint64_t expectedCount_ = 0;
  std::uint64_t expectedSumX_ = 0;
  std::uint64_t expectedSumY_ = 0;
  std::string label_ = "0000";
};

TEST(LongRun, TenDaysOfTicksKeepEveryPointInOrderAndTheWindowWorking) {
  const std::uint64_t total = FromEnvironment("LONG_RUN_TICKS", 8'640'000);  // ten days at 100 ms
  const std::uint64_t seed = FromEnvironment("LONG_RUN_SEED", 20261211);
  constexpr std::uint64_t kTimed = 1000;
  constexpr std::uint64_t kPaintEvery = 10'000;
  ASSERT_GT(total, 2 * kTimed);

  auto begin = std::chrono::steady_clock::now();
  LongRun run(seed);
  run.Start();
  const std::size_t startPoints = run.points();
  const double startMicros = run.TimedTicks(kTimed);
  while (run.ticks() < total - kTimed) {
    bool paint = run.ticks() % kPaintEvery == 0;
    ASSERT_TRUE(run.Tick(paint)) << "a sample went missing at tick " << run.ticks();
  }
  // A new start puts the window back at 0..1000, over points taken on
  // every pass since the first.
  run.Start();
  const std::size_t endPoints = run.points();
  const double endMicros = run.TimedTicks(kTimed);
  std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;

  EXPECT_GE(run.wraps(), total / 13'200) << "X wraps once every 13,108 ticks";
  run.ExpectEveryPointKept();
  run.ExpectTheWindowWorks();
  std::printf("[ long run ] %llu ticks, %llu wraps, %llu level clicks, %.1f s in all\n"
              "[ long run ] at start: %zu points, %.2f us per tick and paint\n"
              "[ long run ] at end:   %zu points, %.2f us per tick and paint\n",
              static_cast<unsigned long long>(run.ticks()), static_cast<unsigned long long>(run.wraps()),
              static_cast<unsigned long long>(run.levelClicks()), spent.count(), startPoints, startMicros,
              endPoints, endMicros);
}

}  // namespace
