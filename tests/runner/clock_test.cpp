#include "runner/clock.h"

#include <gtest/gtest.h>

namespace quiz {
namespace {

TEST(ClockValue, ConvertsSecondsAndWritesTwoDigitParts) {
  struct Case {
    uint32_t seconds;
    ClockValue value;
    std::string text;
  } cases[] = {
      {0, {0, 0, 0}, "00:00:00"},
      {59, {0, 0, 59}, "00:00:59"},
      {3599, {0, 59, 59}, "00:59:59"},
      {3600 + 60 * 5 + 7, {1, 5, 7}, "01:05:07"},
      {23 * 3600 + 59 * 60 + 59, {23, 59, 59}, "23:59:59"},
      {25 * 3600 + 600, {25, 10, 0}, "25:10:00"},  // hours go past 24
      {100 * 3600, {100, 0, 0}, "100:00:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClockValue::FromSeconds(c.seconds), c.value) << c.seconds;
    EXPECT_EQ(c.value.ToSeconds(), c.seconds);
    EXPECT_EQ(c.value.Text(), c.text);
  }
}

TEST(ClockValue, HundredthsAboveFortyNineRoundTheSecondUp) {
  struct Case {
    TimeOfDay time;
    ClockValue clock;
  } cases[] = {
      {{10, 20, 30, 0}, {10, 20, 30}},
      {{10, 20, 30, 49}, {10, 20, 30}},
      {{10, 20, 30, 50}, {10, 20, 31}},
      {{10, 20, 59, 99}, {10, 20, 60}},  // the seconds can read 60
  };
  for (const auto& c : cases) EXPECT_EQ(ClockFromTimeOfDay(c.time), c.clock) << c.time.hundredths;
  EXPECT_EQ(ClockFromTimeOfDay({10, 20, 59, 99}).Text(), "10:20:60");
  EXPECT_EQ(ClockFromTimeOfDay({10, 20, 59, 99}).ToSeconds(), ClockValue({10, 21, 0}).ToSeconds());
}

TEST(ClockValue, ElapsedCountsOnOverMidnight) {
  struct Case {
    ClockValue start, now;
    std::string elapsed;
  } cases[] = {
      {{10, 0, 0}, {10, 0, 0}, "00:00:00"},
      {{10, 0, 0}, {11, 30, 5}, "01:30:05"},
      {{23, 55, 0}, {0, 5, 0}, "00:10:00"},
      {{23, 59, 59}, {0, 0, 0}, "00:00:01"},
      {{12, 0, 0}, {11, 59, 59}, "23:59:59"},
  };
  for (const auto& c : cases) EXPECT_EQ(Elapsed(c.start, c.now).Text(), c.elapsed) << c.start.Text();
}

}  // namespace
}  // namespace quiz
