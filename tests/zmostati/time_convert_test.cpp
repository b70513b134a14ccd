// Date and time conversions: normalisation, shifts, GMT, and the remote
// interval built from them.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/runtime_state.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmo_test/matchers.h"
#include "zmostati/state.h"
#include "zmostati/timeconv.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

struct ShiftCase {
  const char* name;
  const char* date;
  const char* time;
  int shift;
  const char* outDate;
  const char* outTime;
};

// Names the case in test output.
void PrintTo(const ShiftCase& c, std::ostream* os) { *os << c.name; }

class ShiftTable : public testing::TestWithParam<ShiftCase> {};

// Parse, add seconds, print: the path of the remote interval. The results
// do not depend on this machine's zone, so the test runs under one with a
// daylight-saving change on the dates used.
TEST_P(ShiftTable, ParsesShiftsAndPrints) {
  const ShiftCase& c = GetParam();
  ScopedTz tz(kCentralEurope);
  std::tm tm;
  ASSERT_EQ(statiConvertTimeString2TmUTC(c.date, c.time, &tm), 0);
  tm.tm_sec += c.shift;
  char date[9] = "########";
  char time[7] = "######";
  ASSERT_EQ(statiConvertTimeTmUtc2String(date, time, &tm), 0);
  EXPECT_EQ(std::string(date, 8), c.outDate);
  EXPECT_EQ(std::string(time, 6), c.outTime);
  EXPECT_EQ(date[8], '\0') << "no byte past the 8 date characters is written";
  EXPECT_EQ(time[6], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShiftTable,
    testing::Values(
        ShiftCase{"Unchanged", "20240315", "080001", 0, "20240315", "080001"},
        ShiftCase{"IntoNextDay", "20240315", "230001", 7200, "20240316", "010001"},
        ShiftCase{"BackIntoLastYear", "20240101", "003000", -3600, "20231231", "233000"},
        // -np dates with month 00 roll back into the year before.
        ShiftCase{"MonthAndDayZero", "20240000", "120000", 0, "20231130", "120000"},
        ShiftCase{"DayZero", "20240300", "000000", 0, "20240229", "000000"},
        ShiftCase{"ShortTimeIsPadded", "20240315", "12", 0, "20240315", "120000"},
        // The hour that does not exist on this machine exists remotely.
        ShiftCase{"AcrossSpringForward", "20240331", "013000", 3600, "20240331", "023000"},
        ShiftCase{"AcrossFallBack", "20241027", "023000", 3600, "20241027", "033000"},
        ShiftCase{"Overflowing fields", "20241231", "246060", 0, "20250101", "010100"}),
    [](const testing::TestParamInfo<ShiftCase>& info) {
      std::string n = info.param.name;
      for (char& ch : n) {
        if (ch == ' ') ch = '_';
      }
      return n;
    });

TEST(TimeConvert, ResultsAnEightDigitDateCannotHoldFail) {
  StatiTestEnv env;
  zmo::SetTraceSwitch(1);
  std::tm tm;
  ASSERT_EQ(statiConvertTimeString2TmUTC("99991231", "235959", &tm), 0);
  tm.tm_sec += 1;
  char date[8], time[6];
  EXPECT_EQ(statiConvertTimeTmUtc2String(date, time, &tm), 1);
  EXPECT_EQ(env.Trace(), "statiConvertTimeTmUtc2String: mktime() returned unsuccessfully\n");
  EXPECT_EQ(statiConvertTimeString2TmUTC("00000100", "000000", &tm), 1);
  EXPECT_THAT(env.Trace(),
              HasText("statiConvertTimeString2TmUTC: mktime() returned unsuccessfully\n"));
}

TEST(TimeConvert, ToGmtSubtractsTheOffset) {
  ScopedTz tz(kCentralEurope);
  const struct {
    const char* date;
    const char* time;
    int offset;
    const char* gmtDate;
    const char* gmtTime;
  } cases[] = {
      {"20240101", "003000", 3600, "20231231", "233000"},
      {"20240331", "030000", 7200, "20240331", "010000"},
      {"20240715", "120000", -18000, "20240715", "170000"},
      {"20240229", "235959", 0, "20240229", "235959"},
  };
  for (const auto& c : cases) {
    char d[9], t[7];
    ASSERT_EQ(statiConvertTimeToGMT(c.date, c.time, c.offset, d, t), 0) << c.date;
    EXPECT_STREQ(d, c.gmtDate);
    EXPECT_STREQ(t, c.gmtTime);
  }
  char d[9], t[7];
  EXPECT_EQ(statiConvertTimeToGMT("00000101", "000000", 1, d, t), 1);
}

TEST(TimeConvert, IsBlank) {
  EXPECT_TRUE(statiIsBlank(""));
  EXPECT_TRUE(statiIsBlank("   "));
  EXPECT_FALSE(statiIsBlank(" x "));
  EXPECT_FALSE(statiIsBlank("x"));
  EXPECT_FALSE(statiIsBlank(nullptr));
}

TEST(RemoteInterval, ShiftsByRemoteMinusLocalOffset) {
  StatiTestEnv env;
  zmo::SetTraceSwitch(1);
  StatiState& st = statiState();
  StatiTestEnv::Fill(&statiState().current, "20240315", "230001", "20240316", "000000");
  st.remoteOffsetSeconds = 7200;
  zmo::Runtime().utc_offset = 3600;
  ASSERT_EQ(statiGetRemoteSystemQueryInterval(), 0);
  EXPECT_EQ(st.remote.startDate, "20240316");
  EXPECT_EQ(st.remote.startTime, "000001");
  EXPECT_EQ(st.remote.endDate, "20240316");
  EXPECT_EQ(st.remote.endTime, "010000");
  EXPECT_EQ(env.Trace(),
            "total offset of local to remote system is <60> min\n"
            "determined remote connection interval from 20240316 000001 to 20240316 010000\n");
}

TEST(RemoteInterval, FailedConversionNamesTheDate) {
  StatiTestEnv env;
  zmo::SetTraceSwitch(1);
  StatiTestEnv::Fill(&statiState().current, "99991231", "230001", "99991231", "235959");
  statiState().remoteOffsetSeconds = 7200;
  EXPECT_EQ(statiGetRemoteSystemQueryInterval(), 1);
  EXPECT_EQ(env.Trace(),
            "total offset of local to remote system is <120> min\n"
            "statiConvertTimeTmUtc2String: mktime() returned unsuccessfully\n"
            "statiConvertTimeTmUTC2String() returned unsuccessfully for date <99991231>, time "
            "<230001>\n");
}

}  // namespace
