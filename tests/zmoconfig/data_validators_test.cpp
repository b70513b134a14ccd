// The validators and converters of typed-in values.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data_fixture.h"
#include "zmo_test/scoped.h"
#include "zmoconfig/validators.h"

using namespace zmo::config;

namespace {

using zmoconfig_test::DataTest;

// The fixture's clock stands at 2026-03-10 12:00:00 (TZ UTC).
class DateTimeTest : public DataTest {};

TEST_F(DateTimeTest, Dates) {
  struct Case {
    const char* date;
    bool valid;
  };
  const Case cases[] = {
      {"20260310", true},                                              // today
      {"20260311", false},                                             // tomorrow
      {"20260309", true},    {"19991231", true},  {"20240229", true},  // leap day
      {"20230229", false},   {"21000229", false}, {"20000229", true},
      {"20261301", false},   {"20260001", false}, {"20260100", false},
      {"20250431", false},   {"2026031", false},  // seven digits
      {"202603101", false},                       // nine digits
      {"020260310", false},  {"00000101", false}, {"", false},
      {"+2026031", false},   {"-2026031", false}, {"2026-3-1", false},
      {"2.026E07", false},   {" 2026031", false}, {"2026031 ", false},
      {"20260310\n", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValidStartDate(c.date), c.valid) << '"' << c.date << '"';
    EXPECT_EQ(ValidEndDate(c.date), c.valid) << '"' << c.date << '"';
  }
}

TEST_F(DateTimeTest, TimesOnAnotherDay) {
  struct Case {
    const char* time;
    bool valid;
  };
  const Case cases[] = {
      {"000000", true},   {"240000", true},  {"235959", true},  {"120000", true},
      {"236000", false},  // minute 60
      {"123460", false},  // second 60
      {"240001", false},  {"240100", false}, {"250000", false}, {"12000", false},
      {"1200000", false}, {"", false},       {"+12000", false}, {"-12000", false},
      {"1.2E05", false},  {" 12000", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValidStartTime(c.time, "20260309"), c.valid) << '"' << c.time << '"';
    EXPECT_EQ(ValidEndTime(c.time, "20260309"), c.valid) << '"' << c.time << '"';
  }
}

TEST_F(DateTimeTest, TimesTodayAreNotAfterTheCurrentSecond) {
  clock_->Advance((3 * 3600 + 25 * 60 + 7) * 1000);  // 15:25:07
  EXPECT_TRUE(ValidStartTime("152507", "20260310"));
  EXPECT_FALSE(ValidStartTime("152508", "20260310"));
  EXPECT_TRUE(ValidStartTime("000000", "20260310"));
  EXPECT_FALSE(ValidEndTime("240000", "20260310"));
  EXPECT_TRUE(ValidEndTime("240000", "20260309"));
}

TEST(ConverterTest, IsDecimalNumber) {
  struct Case {
    const char* text;
    bool decimal;
  };
  const Case cases[] = {{"1,5", true},  {"1.5", true},   {"", true},
                        {"0500", true}, {"1.2.3", true}, {"1 5", false},
                        {"-1", false},  {"1e3", false},  {"+1", false}};
  for (const Case& c : cases) EXPECT_EQ(IsDecimalNumber(c.text), c.decimal) << c.text;
}

TEST(ConverterTest, SecondsToMillis) {
  struct Case {
    const char* seconds;
    const char* millis;
    const char* argument_after;
  };
  const Case cases[] = {
      {"2.5", "2500", "2.5"},
      {".5", "0500", ".5"},
      {"0,5", "0500", "0,5"},
      {"2,25", "2250", "2,25"},
      {"2.5555", "2555", "2.5555"},
      {"10.5", "10500", "10.5"},
      {"0.1", "0100", "0.1"},
      {"9.999", "9999", "9.999"},
      {"0.0001", "0000", "0.0001"},
      {"2", "2000", "2000"},
      {"10", "10000", "10000"},
      {"0", "0", "0"},
      {"007", "7000", "7000"},
      {"2147483", "2147483000", "2147483000"},
      // Over 32 bits of milliseconds: left as typed, for the range check to refuse.
      {"2147484", "2147484", "2147484"},
      {"99999999999999999999", "99999999999999999999", "99999999999999999999"},
      {"2147483.648", "2147483.648", "2147483.648"},
      {"99999999999999999999.5", "99999999999999999999.5", "99999999999999999999.5"},
      {"2147483.647", "2147483647", "2147483.647"},
      {"abc", "abc", "abc"},
      {"", "", ""},
      {"1.2.3", "1.2.3", "1.2.3"},
      {"-2", "-2", "-2"},
      {"1 5", "1 5", "1 5"},
  };
  for (const Case& c : cases) {
    std::string argument = c.seconds;
    EXPECT_EQ(SecondsToMillis(&argument), c.millis) << c.seconds;
    EXPECT_EQ(argument, c.argument_after) << c.seconds;
  }
}

TEST(ConverterTest, StripLeadingZeros) {
  struct Case {
    const char* millis;
    const char* text;
  };
  const Case cases[] = {{"0500", "500"}, {"2000", "2000"},   {"00000", ""},
                        {"0050", "50"},  {"10000", "10000"}, {"0102", "102"},
                        {"", ""},        {"000001", ""},     {"123456", "12345"}};
  for (const Case& c : cases) EXPECT_EQ(StripLeadingZeros(c.millis), c.text) << c.millis;
}

class FileInPathTest : public DataTest {};

TEST_F(FileInPathTest, SearchesEveryDirectoryOfPath) {
  for (const char* d : {"a", "b", "c"}) std::filesystem::create_directories(dir_ / d);
  zmo_test::WriteFile(dir_ / "c/sqlldr", "");
  zmo_test::WriteFile(dir_ / "a/isql", "");
  zmo_test::ScopedEnv path("PATH", "::" + (dir_ / "a") + ":" + (dir_ / "missing") + ":" +
                                       (dir_ / "b") + "::" + (dir_ / "c"));
  EXPECT_TRUE(FileInPath("sqlldr"));  // only in the last directory
  EXPECT_TRUE(FileInPath("isql"));
  EXPECT_FALSE(FileInPath("bcp"));
  EXPECT_FALSE(FileInPath(""));
}

TEST_F(FileInPathTest, NoPathFindsNothing) {
  zmo_test::ScopedEnv path("PATH", std::nullopt);
  EXPECT_FALSE(FileInPath("sh"));
}

}  // namespace
