#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

TEST(ClockTest, FakeClockSleepsWithoutRealTimeAndRunsItsHook) {
  zmo::ScopedFakeClock fake(1'000'000);
  std::int64_t seen = 0;
  fake->SetAdvanceHook([&](std::int64_t now) { seen = now; });
  zmo::ClockSleepMillis(5 * 60 * 1000);
  EXPECT_EQ(zmo::ClockNowMillis(), 1'000'000 + 300'000);
  EXPECT_EQ(seen, 1'300'000);
  EXPECT_EQ(zmo::ClockNow(), 1300);
  EXPECT_TRUE(zmo::CurrentEnv().TimeIsFake());
}

TEST(ClockTest, RealClockIsBackAfterTheScope) {
  { zmo::ScopedFakeClock fake(0); }
  EXPECT_FALSE(zmo::CurrentEnv().TimeIsFake());
  std::time_t now = std::time(nullptr);
  EXPECT_LE(std::labs(static_cast<long>(zmo::ClockNow() - now)), 2);
}

TEST(ClockTest, LocalTimeFollowsTzWithDaylightSaving) {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  // 2026-01-15 12:00 UTC is 13:00 in winter; 2026-07-15 12:00 UTC is 14:00.
  EXPECT_EQ(zmo::ClockLocalTime(1768478400).tm_hour, 13);
  EXPECT_EQ(zmo::ClockLocalTime(1784116800).tm_hour, 14);
  EXPECT_EQ(zmo::ClockGmTime(1784116800).tm_hour, 12);
  unsetenv("TZ");
  tzset();
}

}  // namespace
