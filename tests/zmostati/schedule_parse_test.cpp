// The schedule parser: every result code with its exact trace line.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "zmostati/schedule.h"

using namespace zmo::stati;

namespace {

constexpr const char* kKey = "SOFTWARE\\K";

struct ParseCase {
  const char* name;
  std::string text;
  int delay;
  int code;
  std::string trace;
};

std::string Chr(char c, int pos, const std::string& text, const char* expected) {
  return "unexpected character <" + std::string(1, c) + "> at position <" + std::to_string(pos) +
         "> of string <" + text + "> of <StatiSchedule6> of\nsubkey <SOFTWARE\\K>. expected " +
         expected + ".\n";
}

std::string End(const std::string& text, const char* expected) {
  return "unexpected end of string <" + text +
         "> of <StatiSchedule6> of subkey <SOFTWARE\\K>. "
         "expected " +
         expected + ".\n";
}

std::string Value(const char* what, int value, int pos, const std::string& text) {
  return std::string("unexpected ") + what + " time value <" + std::to_string(value) +
         "> at position <" + std::to_string(pos) + "> of string <" + text +
         "> of <StatiSchedule6> of\nsubkey <SOFTWARE\\K>. expected space or end of string.\n";
}

// Names the case in test output.
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ScheduleParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ScheduleParseTable, CodeAndTrace) {
  const ParseCase& c = GetParam();
  StatiBorderTable table;
  std::string trace;
  EXPECT_EQ(statiParseSchedule(c.text, c.delay, kKey, &table, &trace), c.code);
  EXPECT_EQ(trace, c.trace);
  if (c.code != 0) {
    EXPECT_EQ(table.count, -1) << "a failed parse leaves no schedule";
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, ScheduleParseTable,
    testing::Values(
        ParseCase{"TwoEntries", "08:00 20:00 ", 15, 0,
                  "running with delay time <15min>  and <2> border time(s): <08:00> <20:00> \n"},
        ParseCase{"OneDigitHourAndBlanks", "  8:00   9:30", 15, 0,
                  "running with delay time <15min>  and <2> border time(s): <08:00> <09:30> \n"},
        ParseCase{"SortedOnOutput", "20:00 8:00 ", 0, 0,
                  "running with delay time <0min>  and <2> border time(s): <08:00> <20:00> \n"},
        ParseCase{"MidnightAndLast", "00:00 23:54", 1, 0,
                  "running with delay time <1min>  and <2> border time(s): <00:00> <23:54> \n"},
        ParseCase{"NotADigit", "x8:00", 15, 6, Chr('x', 0, "x8:00", "digit")},
        ParseCase{"NotADigitLater", "08:00 :00", 15, 6, Chr(':', 6, "08:00 :00", "digit")},
        ParseCase{"EndAfterFirstDigit", "8", 15, 7, End("8", "digit or colon")},
        ParseCase{"EndAfterTwoDigits", "08", 15, 9, End("08", "colon")},
        ParseCase{"DashForColon", "8-00", 15, 8, Chr('-', 1, "8-00", "digit or colon")},
        ParseCase{"ThreeDigitHour", "081:00", 15, 8, Chr('1', 2, "081:00", "digit or colon")},
        ParseCase{"OneMinuteDigit", "8:0", 15, 10, End("8:0", "digit")},
        ParseCase{"NoMinutes", "8:", 15, 10, End("8:", "digit")},
        ParseCase{"FirstMinuteNotDigit", "8:a0", 15, 11, Chr('a', 2, "8:a0", "digit")},
        ParseCase{"SecondMinuteNotDigit", "8:0a", 15, 12, Chr('a', 3, "8:0a", "digit")},
        ParseCase{"SecondMinuteInLaterEntry", "08:00 09:0x", 15, 12,
                  Chr('x', 10, "08:00 09:0x", "digit")},
        ParseCase{"TrailingCharacter", "8:00x", 15, 13,
                  Chr('x', 4, "8:00x", "space or end of string")},
        ParseCase{"HourTooBig", "25:00", 15, 14, Value("hour", 25, 0, "25:00")},
        ParseCase{"HourTooBigLater", " 7:00 24:00", 15, 14, Value("hour", 24, 6, " 7:00 24:00")},
        ParseCase{"MinuteTooBig", "8:60", 15, 15, Value("minute", 60, 0, "8:60")},
        ParseCase{"Empty", "", 15, 17, "no valid scheduling time found.\n"},
        ParseCase{"OnlyBlanks", "      ", 15, 17, "no valid scheduling time found.\n"},
        ParseCase{"OneTimeDelayTooBig", "6:00 ", 1440, 18,
                  "delay time of <1440> not in valid range [0;1439] when one border time <06:00> "
                  "is specified\n"},
        ParseCase{"OneTimeDelayNegative", "6:00 ", -1, 18,
                  "delay time of <-1> not in valid range [0;1439] when one border time <06:00> is "
                  "specified\n"},
        ParseCase{"OneTimeDelayLargest", "6:00 ", 1439, 0,
                  "running with delay time <1439min>  and <1> border time(s): <06:00> \n"},
        ParseCase{"OneTimeDelayZero", "6:00 ", 0, 0,
                  "running with delay time <0min>  and <1> border time(s): <06:00> \n"},
        ParseCase{"TwoEqual", "8:00 08:00", 0, 19, "two equal scheduling times <08:00> found.\n"},
        ParseCase{"GapThree", "8:00 8:03", 0, 20,
                  "minimal border time difference of 6 min undergone\n"},
        ParseCase{"GapOverMidnight", "23:58 0:02", 0, 20,
                  "minimal border time difference of 6 min undergone\n"},
        ParseCase{"GapSixIsEnough", "8:00 8:06", 6, 0,
                  "running with delay time <6min>  and <2> border time(s): <08:00> <08:06> \n"},
        ParseCase{"DelayAboveGap", "8:00 9:00", 61, 21,
                  "maximum delay time <60> exceeded (maximum delay time is minimum boarder time "
                  "difference). delay time was <61>\n"},
        ParseCase{"DelayAboveGapOverMidnight", "0:10 23:50", 21, 21,
                  "maximum delay time <20> exceeded (maximum delay time is minimum boarder time "
                  "difference). delay time was <21>\n"},
        ParseCase{"DelayEqualToGap", "8:00 9:00", 60, 0,
                  "running with delay time <60min>  and <2> border time(s): <08:00> <09:00> \n"},
        ParseCase{"NegativeDelayRefused", "8:00 9:00", -1, 21,
                  "delay time of <-1> not in valid range [0;60]\n"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

// "H:MM " entries every six minutes from midnight.
std::string Entries(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    int m = i * 6;
    text += std::to_string(m / 60) + ":" + (m % 60 < 10 ? "0" : "") + std::to_string(m % 60) + " ";
  }
  return text;
}

TEST(ScheduleParse, HundredEntriesAreTheMaximum) {
  StatiBorderTable table;
  std::string trace;
  ASSERT_EQ(statiParseSchedule(Entries(100), 6, kKey, &table, &trace), 0) << trace;
  EXPECT_EQ(table.count, 100);
  EXPECT_EQ(table.minutes[0], 0);
  EXPECT_EQ(table.minutes[99], 594);
  EXPECT_EQ(
      trace.rfind("running with delay time <6min>  and <100> border time(s): <00:00> <00:06> ", 0),
      0u);
  EXPECT_EQ(trace.substr(trace.size() - 9), "<09:54> \n");

  const std::string text = Entries(101);
  EXPECT_EQ(statiParseSchedule(text, 6, kKey, &table, &trace), 16);
  EXPECT_EQ(trace, "too many time parameters in <" + text +
                       "> of <StatiSchedule6> of subkey <SOFTWARE\\K>. maximum is <100>.\n");
}

TEST(ScheduleParse, TableHoldsMinutesOfTheDay) {
  StatiBorderTable table;
  std::string trace;
  ASSERT_EQ(statiParseSchedule("23:50 0:00 12:30 ", 0, kKey, &table, &trace), 0);
  ASSERT_EQ(table.count, 3);
  EXPECT_EQ(table.minutes[0], 0);
  EXPECT_EQ(table.minutes[1], 750);
  EXPECT_EQ(table.minutes[2], 1430);
}

}  // namespace
