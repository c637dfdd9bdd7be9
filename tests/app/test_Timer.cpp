#include <gtest/gtest.h>

#include "app/cFrameRateCounter.h"
#include "app/cTimer.h"
#include "platform/Platform.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }
};

TEST_F(TimerTest, MeasuresFromConstructionAndSumsDeltasAsFloats) {
  platform::headless::AdvanceClock(3.0);  // before construction: not counted
  cTimer timer;
  platform::headless::AdvanceClock(0.5);
  timer.Tick();
  EXPECT_FLOAT_EQ(timer.delta, 0.5f);
  EXPECT_FLOAT_EQ(timer.total, 0.5f);

  float expected = timer.total;
  for (int i = 0; i < 10; ++i) {
    platform::headless::AdvanceClock(0.1);
    timer.Tick();
    EXPECT_NEAR(timer.delta, 0.1f, 1e-6f);
    expected += timer.delta;
    EXPECT_EQ(timer.total, expected);
  }
  timer.Tick();
  EXPECT_EQ(timer.delta, 0.0f);
}

TEST_F(TimerTest, ResetStartsAgainFromNow) {
  cTimer timer;
  platform::headless::AdvanceClock(2.0);
  timer.Tick();
  platform::headless::AdvanceClock(1.0);
  timer.Reset();
  EXPECT_EQ(timer.total, 0.0f);
  EXPECT_EQ(timer.delta, 0.0f);
  platform::headless::AdvanceClock(0.25);
  timer.Tick();
  EXPECT_FLOAT_EQ(timer.delta, 0.25f);
  EXPECT_FLOAT_EQ(timer.total, 0.25f);
}

TEST_F(TimerTest, FrameRateIsZeroUntilTheFirstWindow) {
  cTimer timer;
  cFrameRateCounter counter;
  for (int i = 0; i < 30; ++i) {
    platform::headless::AdvanceClock(0.01);
    timer.Tick();
    EXPECT_STREQ(counter.Count(timer), L"fps:0.0");
  }
}

TEST_F(TimerTest, FrameRateOverAWindowOfHundredFrames) {
  cTimer timer;
  cFrameRateCounter counter;
  for (int i = 0; i < 99; ++i) {
    timer.Tick();
    counter.Count(timer);
  }
  platform::headless::AdvanceClock(0.33);
  timer.Tick();
  EXPECT_STREQ(counter.Count(timer), L"fps:303.0");  // 100 / 0.33
  EXPECT_EQ(timer.total, 0.0f);

  // The rate stays until the next window closes.
  platform::headless::AdvanceClock(0.1);
  timer.Tick();
  EXPECT_STREQ(counter.Count(timer), L"fps:303.0");
  platform::headless::AdvanceClock(0.3);
  timer.Tick();
  EXPECT_STREQ(counter.Count(timer), L"fps:5.0");
}

}  // namespace
