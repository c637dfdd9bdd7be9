#include <gtest/gtest.h>

#include <utility>

#include "editor/cFrameRateCounter.h"
#include "base/cTimer.h"
#include "platform/Platform.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }
  static void Tick(cTimer& timer, double seconds) {
    platform::headless::AdvanceClock(seconds);
    timer.Tick();
  }
};

TEST_F(TimerTest, MeasuresFromConstructionOrResetAndSumsDeltasAsFloats) {
  platform::headless::AdvanceClock(3.0);  // before construction: not counted
  cTimer timer;
  Tick(timer, 0.5);
  EXPECT_FLOAT_EQ(timer.delta, 0.5f);
  EXPECT_FLOAT_EQ(timer.total, 0.5f);
  float expected = timer.total;
  for (int i = 0; i < 10; ++i) {
    Tick(timer, 0.1);
    EXPECT_NEAR(timer.delta, 0.1f, 1e-6f);
    expected += timer.delta;
    EXPECT_EQ(timer.total, expected);
  }
  Tick(timer, 0.0);
  EXPECT_EQ(timer.delta, 0.0f);
  Tick(timer, 1.0);
  timer.Reset();
  EXPECT_EQ(std::pair(timer.total, timer.delta), std::pair(0.0f, 0.0f));
  Tick(timer, 0.25);
  EXPECT_FLOAT_EQ(timer.delta, 0.25f);
  EXPECT_FLOAT_EQ(timer.total, 0.25f);
}

TEST_F(TimerTest, FrameRateIsCountedOverWindowsOfAThirdOfASecond) {
  cTimer timer;
  cFrameRateCounter counter;
  for (int i = 0; i < 99; ++i) {
    Tick(timer, i < 32 ? 0.01 : 0.0);
    EXPECT_STREQ(counter.Count(timer), L"fps:0.0");  // zero until 0.33 s have passed
  }
  Tick(timer, 0.05);
  EXPECT_STREQ(counter.Count(timer), L"fps:270.3");  // 100 frames in 0.37 s
  EXPECT_EQ(timer.total, 0.0f);
  Tick(timer, 0.1);  // the rate stays until the next window closes
  EXPECT_STREQ(counter.Count(timer), L"fps:270.3");
  Tick(timer, 0.3);
  EXPECT_STREQ(counter.Count(timer), L"fps:5.0");
}

// Ten frames a second, each ticked 0.02 s after the last one's count: the
// second window holds whole frames, not frames less the time before a count.
TEST_F(TimerTest, FrameRateWindowsHoldWholeFrames) {
  cTimer timer;
  cFrameRateCounter counter;
  const wchar_t* shown = nullptr;
  for (int i = 0; i < 9; ++i) {
    Tick(timer, 0.02);
    platform::headless::AdvanceClock(0.08);
    shown = counter.Count(timer);
  }
  EXPECT_STREQ(shown, L"fps:10.0");
}

}  // namespace
