// The schedule grammar shared by the collector and the configurator: what it
// accepts, where it stops, and the entry text the configurator stores.
#include "common/schedule_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct ScanCase {
  const char* name;
  std::string text;
  size_t max;
  int code;
  std::vector<int> minutes;  // read before the stop, or all
  size_t pos;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class ScheduleScanTable : public testing::TestWithParam<ScanCase> {};

TEST_P(ScheduleScanTable, CodeMinutesAndPosition) {
  const ScanCase& c = GetParam();
  zmo::ScheduleScan scan;
  EXPECT_EQ(zmo::scanScheduleText(c.text, c.max, &scan), c.code);
  EXPECT_EQ(scan.code, c.code);
  EXPECT_EQ(scan.minutes, c.minutes);
  if (c.code != zmo::kScheduleOk) {
    EXPECT_EQ(scan.pos, c.pos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ScheduleScanTable,
    testing::Values(
        ScanCase{"Empty", "", 90, zmo::kScheduleOk, {}, 0},
        ScanCase{"BlanksOnly", "      ", 90, zmo::kScheduleOk, {}, 0},
        ScanCase{"StoredForm", "06:00 12:30 18:00 ", 90, zmo::kScheduleOk, {360, 750, 1080}, 0},
        ScanCase{"OneDigitHourNoTrailingBlank", " 7:05", 90, zmo::kScheduleOk, {425}, 0},
        ScanCase{"TextOrderKept", "23:59  0:00", 90, zmo::kScheduleOk, {1439, 0}, 0},
        ScanCase{"Letter", "06:00 x", 90, zmo::kScheduleNotDigit, {360}, 6},
        ScanCase{"DateAlone", "20260310", 90, zmo::kScheduleNoColon, {}, 2},
        ScanCase{"OneDigit", "7", 90, zmo::kScheduleEndAfterDigit, {}, 1},
        ScanCase{"TwoDigits", "17", 90, zmo::kScheduleEndBeforeColon, {}, 2},
        ScanCase{"OneMinuteDigit", "17:3", 90, zmo::kScheduleEndInMinute, {}, 4},
        ScanCase{"MinuteLetter", "17:a0", 90, zmo::kScheduleMinuteDigit1, {}, 3},
        ScanCase{"MinuteLetter2", "17:0a", 90, zmo::kScheduleMinuteDigit2, {}, 4},
        ScanCase{"Seconds", "19:30:45", 90, zmo::kScheduleNoSeparator, {}, 5},
        ScanCase{"Hour24", "24:00", 90, zmo::kScheduleBadHour, {}, 0},
        ScanCase{"Minute60", "01:00 12:60", 90, zmo::kScheduleBadMinute, {60}, 6},
        ScanCase{"TooMany", "01:00 02:00 03:00", 2, zmo::kScheduleTooMany, {60, 120}, 12}));

TEST(ScheduleEntryText, TwoDigitsEach) {
  EXPECT_EQ(zmo::scheduleEntryText(0), "00:00");
  EXPECT_EQ(zmo::scheduleEntryText(425), "07:05");
  EXPECT_EQ(zmo::scheduleEntryText(1439), "23:59");
}

}  // namespace
