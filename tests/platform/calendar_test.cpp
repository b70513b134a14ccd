#include "platform/calendar.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct DayCase {
  std::int64_t y;
  int m, d;
  std::int64_t days;  // since 1970-01-01
};

// Epoch, leap days of a 400-year, a 100-year and a 4-year leap rule, the
// days around them, year 0 and a year before it.
constexpr DayCase kDays[] = {
    {1970, 1, 1, 0},         {1969, 12, 31, -1},   {2000, 2, 29, 11016}, {2000, 3, 1, 11017},
    {1900, 2, 28, -25509},   {1900, 3, 1, -25508}, {2024, 2, 29, 19782}, {2024, 12, 31, 20088},
    {9999, 12, 31, 2932896}, {0, 3, 1, -719468},   {0, 1, 1, -719528},   {-1, 12, 31, -719529},
};

TEST(CalendarTest, DayNumbersOfDatesAndBack) {
  for (const DayCase& c : kDays) {
    EXPECT_EQ(zmo::DaysFromCivil(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
    std::int64_t y = 0;
    int m = 0, d = 0;
    zmo::CivilFromDays(c.days, &y, &m, &d);
    EXPECT_EQ(y, c.y) << c.days;
    EXPECT_EQ(m, c.m) << c.days;
    EXPECT_EQ(d, c.d) << c.days;
  }
}

TEST(CalendarTest, ADayPastTheMonthCountsOnAndEveryDayRoundTrips) {
  EXPECT_EQ(zmo::DaysFromCivil(2023, 2, 29), zmo::DaysFromCivil(2023, 3, 1));
  EXPECT_EQ(zmo::DaysFromCivil(2024, 1, 0), zmo::DaysFromCivil(2023, 12, 31));
  std::int64_t prev_y = 1599;
  int prev_m = 12, prev_d = 31;
  for (std::int64_t day = zmo::DaysFromCivil(1600, 1, 1); day < zmo::DaysFromCivil(2401, 1, 1);
       ++day) {
    std::int64_t y;
    int m, d;
    zmo::CivilFromDays(day, &y, &m, &d);
    ASSERT_EQ(zmo::DaysFromCivil(y, m, d), day);
    const bool next_day = y == prev_y && m == prev_m && d == prev_d + 1;
    const bool next_month = y == prev_y && m == prev_m + 1 && d == 1;
    const bool next_year = y == prev_y + 1 && m == 1 && d == 1 && prev_m == 12 && prev_d == 31;
    ASSERT_TRUE(next_day || next_month || next_year) << y << "-" << m << "-" << d;
    prev_y = y;
    prev_m = m;
    prev_d = d;
  }
}

}  // namespace
