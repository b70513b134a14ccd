// The due-interval rule as a table: which interval is proposed at a given
// local time, and what the comparison with the last interval says.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tz_guard.h"
#include "zmostati/schedule.h"

using namespace zmo::stati;

namespace {

struct Moment {
  int year, month, day, hour, minute;
};

struct DueCase {
  const char* name;
  const char* tz;
  std::vector<int> borders;  // minutes of the day, ascending
  int delay;
  Moment now;
  StatiInterval last;
  int rc;
  int due;
  const char* startDate;
  const char* startTime;
  const char* endDate;
  const char* endTime;
  std::vector<std::string> trace;
};

long long Count(int y, int m, int d, int minute) { return statiMinuteCount(y, m, d) + minute; }

StatiInterval Last(const char* sd, const char* st, const char* ed, const char* et, long long end) {
  StatiInterval i;
  i.startDate = sd;
  i.startTime = st;
  i.endDate = ed;
  i.endTime = et;
  i.endCount = end;
  return i;
}

std::string Determined(const char* sd, const char* st, const char* ed, const char* et) {
  return std::string("determined possible interval: from ") + sd + " " + st + " to " + ed + " " +
         et + "\n";
}

const char* const kConnect = "not connected for this interval. connecting now.\n";
const char* const kAlready = "already connected for this interval\n";
const char* const kOverlap =
    "query interval overlap. scheduling times may have changed. wait for non overlap.\n";
const char* const kSkipped =
    "warning: current interval follows not smoothly previous one(maybe due to manual scheduling "
    "parameter changes). statistic data may be lost.\n";
const char* const kSmoothOne = "queryIntervalStart == statiServiceAdmin.lastQueryIntervalEnd.\n";

std::string EndCountLine(int y, int m, int d) {
  return "statiServiceAdmin.currentQueryIntervalEnd=" + std::to_string(statiMinuteCount(y, m, d)) +
         "\n";
}

// Names the case in test output.
void PrintTo(const DueCase& c, std::ostream* os) { *os << c.name; }

class DueRuleTable : public testing::TestWithParam<DueCase> {};

TEST_P(DueRuleTable, IntervalDueFlagAndTrace) {
  const DueCase& c = GetParam();
  ScopedTz tz(c.tz);
  StatiBorderTable table;
  table.count = static_cast<int>(c.borders.size());
  for (size_t i = 0; i < c.borders.size(); ++i) table.minutes[i] = c.borders[i];
  const std::time_t now = LocalTime(c.now.year, c.now.month, c.now.day, c.now.hour, c.now.minute);

  StatiInterval cur;
  bool due = c.due == 0;  // the opposite of the expected flag, so it must be set
  std::vector<std::string> trace;
  ASSERT_EQ(statiDecideInterval(table, c.delay, c.last, now, &cur, &due, &trace), c.rc);
  EXPECT_EQ(due, c.due == 1);
  EXPECT_EQ(trace, c.trace);
  if (c.rc != 0) return;
  EXPECT_EQ(cur.startDate, c.startDate);
  EXPECT_EQ(cur.startTime, c.startTime);
  EXPECT_EQ(cur.endDate, c.endDate);
  EXPECT_EQ(cur.endTime, c.endTime);
  const int sd = std::stoi(std::string(c.startDate));
  const int ed = std::stoi(std::string(c.endDate));
  const int sm = std::stoi(std::string(c.startTime).substr(0, 2)) * 60 +
                 std::stoi(std::string(c.startTime).substr(2, 2));
  const int em = std::stoi(std::string(c.endTime).substr(0, 2)) * 60 +
                 std::stoi(std::string(c.endTime).substr(2, 2));
  EXPECT_EQ(cur.startCount, Count(sd / 10000, sd / 100 % 100, sd % 100, sm));
  EXPECT_EQ(cur.endCount, Count(ed / 10000, ed / 100 % 100, ed % 100, em));
}

// Shorthand for a case that proposes an interval never collected before.
DueCase Fresh(const char* name, const char* tz, std::vector<int> borders, int delay, Moment now,
              const char* sd, const char* st, const char* ed, const char* et) {
  std::vector<std::string> trace;
  if (borders.size() == 1) {
    const int e = std::stoi(std::string(ed));
    trace.push_back(EndCountLine(e / 10000, e / 100 % 100, e % 100));
  }
  trace.push_back(Determined(sd, st, ed, et));
  trace.push_back(kConnect);
  return DueCase{name, tz,   std::move(borders), delay, now, StatiInterval{}, 0, 1, sd, st, ed,
                 et,   trace};
}

const std::vector<int> kEightTwenty = {480, 1200};

INSTANTIATE_TEST_SUITE_P(
    Intervals, DueRuleTable,
    testing::Values(
        // 08:00 is not yet 15 minutes back at 08:14 (480 is not below 479).
        Fresh("BeforeTheDelayHasPassed", "UTC", kEightTwenty, 15, {2024, 3, 15, 8, 14}, "20240314",
              "080001", "20240314", "200000"),
        Fresh("AfterTheDelayHasPassed", "UTC", kEightTwenty, 15, {2024, 3, 15, 8, 16}, "20240314",
              "200001", "20240315", "080000"),
        Fresh("ExactlyAtTheDelayCountsAsNotPassed", "UTC", kEightTwenty, 15, {2024, 3, 15, 20, 15},
              "20240314", "200001", "20240315", "080000"),
        Fresh("BetweenTwoTimesToday", "UTC", kEightTwenty, 15, {2024, 3, 15, 20, 16}, "20240315",
              "080001", "20240315", "200000"),
        Fresh("ThreeTimesMiddleOne", "UTC", {480, 720, 1200}, 15, {2024, 3, 15, 13, 0}, "20240315",
              "080001", "20240315", "120000"),
        // One time: the 24-hour interval still ends yesterday at exactly 06:00.
        Fresh("OneTimeExactlyAtIt", "UTC", {360}, 0, {2024, 3, 15, 6, 0}, "20240313", "060001",
              "20240314", "060000"),
        Fresh("OneTimeJustPassed", "UTC", {360}, 0, {2024, 3, 15, 6, 1}, "20240314", "060001",
              "20240315", "060000"),
        // Before the delay has passed since midnight the clock is yesterday's.
        Fresh("OneTimeWrappedPassed", "UTC", {1380}, 30, {2024, 3, 15, 0, 10}, "20240313", "230001",
              "20240314", "230000"),
        Fresh("OneTimeWrappedNotPassed", "UTC", {1430}, 30, {2024, 3, 15, 0, 10}, "20240312",
              "235001", "20240313", "235000"),
        Fresh("SeveralWrapped", "UTC", kEightTwenty, 30, {2024, 3, 15, 0, 10}, "20240314", "080001",
              "20240314", "200000"),
        Fresh("MidnightTimeNotYetPassed", "UTC", {0, 720}, 15, {2024, 3, 15, 0, 15}, "20240314",
              "000001", "20240314", "120000"),
        Fresh("MidnightTimeJustPassed", "UTC", {0, 720}, 15, {2024, 3, 15, 0, 16}, "20240314",
              "120001", "20240315", "000000"),
        Fresh("LeapDay", "UTC", kEightTwenty, 15, {2024, 3, 1, 8, 16}, "20240229", "200001",
              "20240301", "080000"),
        Fresh("NewYearsNight", "UTC", kEightTwenty, 15, {2024, 1, 1, 0, 5}, "20231231", "080001",
              "20231231", "200000"),
        // The day after the 23-hour day: one 86400-second step back from
        // 00:30 would land on the 30th.
        Fresh("AfterSpringForward", kCentralEurope, kEightTwenty, 15, {2024, 4, 1, 0, 30},
              "20240331", "080001", "20240331", "200000"),
        Fresh("NightOfSpringForward", kCentralEurope, {60, 780}, 15, {2024, 3, 31, 3, 10},
              "20240330", "130001", "20240331", "010000"),
        // The 25-hour day: one 86400-second step back from 23:30 would stay
        // on the 27th.
        Fresh("EndOfFallBackDay", kCentralEurope, {1380}, 15, {2024, 10, 27, 23, 30}, "20241026",
              "230001", "20241027", "230000"),
        DueCase{"TwoTimesAroundMidnightBeforeDelay",
                "UTC",
                {10, 1435},
                15,
                {2024, 3, 15, 0, 5},
                StatiInterval{},
                2,
                0,
                "",
                "",
                "",
                "",
                {"internal error 2 : j <= 0. j is <0>\n"}},
        DueCase{"DelayBeyondADay",
                "UTC",
                kEightTwenty,
                3000,
                {2024, 3, 15, 0, 0},
                StatiInterval{},
                1,
                0,
                "",
                "",
                "",
                "",
                {"internal error 1: tr+1440 < 0 . tr is <-3000> delay is <3000>\n"}}),
    [](const testing::TestParamInfo<DueCase>& info) { return info.param.name; });

// At 08:16 with 08:00 and 20:00 the proposal is 20240314 200001 to
// 20240315 080000; these cases vary the last interval.
DueCase Verdict(const char* name, StatiInterval last, int due, std::vector<const char*> verdict) {
  std::vector<std::string> trace = {Determined("20240314", "200001", "20240315", "080000")};
  for (const char* v : verdict) trace.push_back(v);
  return DueCase{name,       "UTC",    kEightTwenty, 15,         {2024, 3, 15, 8, 16},
                 last,       0,        due,          "20240314", "200001",
                 "20240315", "080000", trace};
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, DueRuleTable,
    testing::Values(
        Verdict("AlreadyCollected",
                Last("20240314", "200001", "20240315", "080000", Count(2024, 3, 15, 480)), 0,
                {kAlready}),
        Verdict("Smooth",
                Last("20240314", "080001", "20240314", "200000", Count(2024, 3, 14, 1200)), 1,
                {kConnect}),
        Verdict("Overlap",
                Last("20240315", "080001", "20240315", "200000", Count(2024, 3, 15, 1200)), 0,
                {kOverlap}),
        Verdict("OneIntervalSkipped",
                Last("20240313", "200001", "20240314", "080000", Count(2024, 3, 14, 480)), 1,
                {kSkipped}),
        Verdict("NeverCollected", StatiInterval{}, 1, {kConnect}),
        // Same dates, other times: with several times the times count too.
        Verdict("SameDatesOtherTimesNotCollected",
                Last("20240314", "080001", "20240315", "000000", Count(2024, 3, 15, 0)), 0,
                {kOverlap})),
    [](const testing::TestParamInfo<DueCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    OneTimeVerdicts, DueRuleTable,
    testing::Values(
        DueCase{"OneTimeSmooth",
                "UTC",
                {360},
                0,
                {2024, 3, 15, 6, 1},
                Last("20240313", "060001", "20240314", "060000", Count(2024, 3, 14, 360)),
                0,
                1,
                "20240314",
                "060001",
                "20240315",
                "060000",
                {EndCountLine(2024, 3, 15), Determined("20240314", "060001", "20240315", "060000"),
                 kSmoothOne, kConnect}},
        // With one time only the dates are compared.
        DueCase{"OneTimeAlreadyByDates",
                "UTC",
                {360},
                0,
                {2024, 3, 15, 6, 1},
                Last("20240314", "070001", "20240315", "070000", Count(2024, 3, 15, 420)),
                0,
                0,
                "20240314",
                "060001",
                "20240315",
                "060000",
                {EndCountLine(2024, 3, 15), Determined("20240314", "060001", "20240315", "060000"),
                 kAlready}},
        // The 31-day months of the count keep the end of March smooth.
        DueCase{"SmoothOverMonthEnd",
                "UTC",
                kEightTwenty,
                15,
                {2024, 4, 1, 8, 16},
                Last("20240331", "080001", "20240331", "200000", Count(2024, 3, 31, 1200)),
                0,
                1,
                "20240331",
                "200001",
                "20240401",
                "080000",
                {Determined("20240331", "200001", "20240401", "080000"), kConnect}}),
    [](const testing::TestParamInfo<DueCase>& info) { return info.param.name; });

TEST(MinuteCount, EveryMonthThirtyOneDaysEveryYear372) {
  EXPECT_EQ(statiMinuteCount(2000, 1, 1), 32 * 1440);
  EXPECT_EQ(statiMinuteCount(2024, 3, 14), 13010400);
  EXPECT_EQ(statiMinuteCount(2024, 4, 1) - statiMinuteCount(2024, 3, 31), 1440);
  EXPECT_EQ(statiMinuteCount(2024, 3, 1) - statiMinuteCount(2024, 2, 29), 3 * 1440);
  EXPECT_EQ(statiMinuteCount(2025, 1, 1) - statiMinuteCount(2024, 12, 31), 1440);
  EXPECT_LT(statiMinuteCount(1999, 12, 31), statiMinuteCount(2000, 1, 1));
}

}  // namespace
