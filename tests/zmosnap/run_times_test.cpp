// The run-day decision: the weekday mask against the local weekday, the
// sleep times and the result codes of the registry reads.

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/clock.h"
#include "snap_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/scoped.h"
#include "zmosnap/entry.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

namespace {

using zmo_test::HasText;

// Midday of a day in March 2024; the 18th is a Monday.
std::int64_t MarchNoon(int day) { return LocalMillis(2024, 3, day, 12, 0); }

TEST(DecideRunTimes, WeekdayMaskAndSleepTimes) {
  const struct {
    long long days;
    long long seconds;
    int weekday;  // Sunday 0 ... Saturday 6
    int rc;
    int run;
    std::uint32_t sleep;
  } cases[] = {
      {31, 120, 1, 0, 1, 120000},  // Monday in Monday to Friday
      {31, 120, 5, 0, 1, 120000},  // Friday
      {31, 120, 6, 0, 0, 600000},  // Saturday: not a collection day
      {31, 120, 0, 0, 0, 600000},  // Sunday
      {64, 60, 0, 0, 1, 60000},    // Sunday alone
      {64, 60, 1, 0, 0, 600000},
      {1, 60, 1, 0, 1, 60000},   // Monday alone
      {2, 60, 2, 0, 1, 60000},   // Tuesday alone
      {32, 60, 6, 0, 1, 60000},  // Saturday alone
      {127, 1, 3, 0, 1, 1000},
      {0, 60, 1, 6, 0, 300000},             // no run days
      {31, 0, 1, 7, 0, 300000},             // no sleep time
      {0, 0, 1, 6, 0, 300000},              // days are looked at first
      {31, -5, 1, 8, 0, 300000},            // not above 0 once in milliseconds
      {31, 4294967, 1, 0, 1, 4294967000u},  // the longest wait that fits
      {31, 4294968, 1, 8, 0, 300000},       // beyond what a wait takes
      {31, 9223372036854775807LL, 1, 8, 0, 300000},
      {31, -5, 0, 0, 0, 600000},  // an idle day never looks at the time
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.days << " " << c.seconds << " day " << c.weekday);
    bool run = c.run == 0;  // the opposite of the expected flag, so it must be set
    std::uint32_t sleep = 0;
    EXPECT_EQ(snapDecideRunTimes(c.days, c.seconds, c.weekday, &run, &sleep), c.rc);
    EXPECT_EQ(run, c.run == 1);
    EXPECT_EQ(sleep, c.sleep);
  }
}

class RunTimes : public testing::Test {
 protected:
  void SetUp() override { zmo::SetTraceSwitch(1); }
  void At(std::int64_t ms) { clock_->SetMillis(ms); }

  SnapTestEnv env_;
  zmo_test::ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_{MarchNoon(18)};
};

TEST_F(RunTimes, RegistryValuesOnTheClock) {
  const struct {
    const char* days;     // nullptr: missing
    const char* seconds;  // nullptr: missing
    int day;              // of March 2024
    int rc;
    int run;
    std::uint32_t sleep;
  } cases[] = {
      {"31", "900", 24, 0, 0, 600000},  // Sunday
      {"31", "900", 18, 0, 1, 900000},  // Monday
      {"31", "900", 22, 0, 1, 900000},  // Friday
      {"31", "900", 23, 0, 0, 600000},  // Saturday
      {"96", "60", 23, 0, 1, 60000},    // the weekend
      {"0", "900", 18, 6, 0, 300000},     {"none", "900", 18, 6, 0, 300000},
      {" 31x", "900", 18, 0, 1, 900000},  // the leading number counts
      {"31", "0", 18, 7, 0, 300000},      {"31", "-1", 18, 8, 0, 300000},
      {nullptr, "900", 18, 2, 0, 300000}, {"31", nullptr, 18, 4, 0, 300000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.days ? c.days : "-") << " / "
                                    << (c.seconds ? c.seconds : "-") << " on " << c.day);
    SnapTestEnv::Delete("SnapRunDays");
    SnapTestEnv::Delete("SnapSleepTime");
    if (c.days) SnapTestEnv::Set("SnapRunDays", c.days);
    if (c.seconds) SnapTestEnv::Set("SnapSleepTime", c.seconds);
    At(MarchNoon(c.day));
    snapState().runFlag = c.run == 0;
    EXPECT_EQ(snapGetRunTimes(), c.rc);
    EXPECT_EQ(snapState().runFlag, c.run == 1);
    EXPECT_EQ(snapState().sleepMillis, c.sleep);
  }
}

TEST_F(RunTimes, TypesAndTheBufferOfTheValues) {
  SnapTestEnv::SetDword("SnapRunDays", 31);
  SnapTestEnv::Set("SnapSleepTime", "60");
  EXPECT_EQ(snapGetRunTimes(), 3);
  SnapTestEnv::Set("SnapRunDays", "31");
  SnapTestEnv::SetDword("SnapSleepTime", 60);
  EXPECT_EQ(snapGetRunTimes(), 5);
  // A value that does not fit the 128-byte buffer cannot be read.
  SnapTestEnv::Set("SnapSleepTime", "6" + std::string(126, '0'));
  EXPECT_EQ(snapGetRunTimes(), 8) << "127 characters fit";
  SnapTestEnv::Set("SnapSleepTime", "6" + std::string(127, '0'));
  EXPECT_EQ(snapGetRunTimes(), 4);
  EXPECT_EQ(snapState().sleepMillis, 300000u);
  EXPECT_THAT(env_.Trace(), HasText("value <SnapRunDays> for subkey <" +
                                    std::string(env_.KeyPath()) + "> has not string format\n"));
  EXPECT_THAT(env_.Trace(), HasText("could not query value <SnapSleepTime> for subkey <" +
                                    std::string(env_.KeyPath()) + ">\n"));
}

TEST_F(RunTimes, MissingKeyIsTracedWithTheSwitchOff) {
  zmo::SetTraceSwitch(0);
  EXPECT_EQ(snapGetRunTimes(), 1);
  EXPECT_EQ(snapState().sleepMillis, 300000u);
  EXPECT_EQ(env_.Trace(), "could not open subkey <" + std::string(env_.KeyPath()) + ">\n");
  EXPECT_EQ(zmo::TraceSwitch(), 0);
}

TEST_F(RunTimes, TheLocalWeekdayCounts) {
  SnapTestEnv::Set("SnapRunDays", "1");  // Monday
  SnapTestEnv::Set("SnapSleepTime", "60");
  // Sunday 20:00 in UTC is Monday 06:00 ten hours east.
  const std::int64_t sunday_evening_utc = (MarchNoon(24) / 1000 + 8 * 3600) * 1000;
  At(sunday_evening_utc);
  ASSERT_EQ(snapGetRunTimes(), 0);
  EXPECT_EQ(snapState().runFlag, 0);
  zmo_test::ScopedTz east("XST-10");
  ASSERT_EQ(snapGetRunTimes(), 0);
  EXPECT_EQ(snapState().runFlag, 1);
}

}  // namespace
