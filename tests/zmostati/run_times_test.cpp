// The per-pass registry readers: last interval, sleep and delay times, the
// schedule pieces, the debug switch and the RFC answer time-out.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "common/trace_log.h"
#include "platform/clock.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmo_test/matchers.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using ::testing::Not;
using zmo_test::HasText;

const std::string K = StatiTestEnv::KeyPath();

std::string NotFound(const std::string& name) {
  return "could not query value <" + name + "> for subkey <" + K + ">\n";
}
std::string Found(const std::string& value, const std::string& name) {
  return "found value <" + value + "> of <" + name + "> of subkey <" + K + ">\n";
}

class RunTimesTest : public testing::Test {
 protected:
  void SetUp() override { zmo::SetTraceSwitch(1); }
  StatiTestEnv env_;
};

TEST_F(RunTimesTest, MissingKeyIsTracedEvenWithTheSwitchOff) {
  zmo::SetTraceSwitch(0);
  EXPECT_EQ(statiGetRunTimes(), 1);
  EXPECT_EQ(statiGetDebugStatusFromRegistry(), 1);
  EXPECT_EQ(statiGetWaitTime(), 1);
  EXPECT_EQ(statiGetParaFromRegistry(), 1);
  EXPECT_EQ(statiSetLastInterval(), 1);
  const std::string line = "could not open subkey <" + K + ">\n";
  EXPECT_EQ(env_.Trace(), line + line + line + line + line);
  EXPECT_EQ(zmo::TraceSwitch(), 0) << "the switch is put back";
}

TEST_F(RunTimesTest, ReadsEverythingAndJoinsThePieces) {
  env_.SetLast("20240314", "080001", "20240314", "200000", "13011600");
  env_.Set("StatiSleepTime", "30");
  env_.Set("StatiDelayTime", "10");
  env_.Set("StatiSchedule", "08:00 ");
  env_.Set("StatiSchedule2", "20:00 ");
  ASSERT_EQ(statiGetRunTimes(), 0);

  const StatiState& st = statiState();
  EXPECT_EQ(st.last.startDate, "20240314");
  EXPECT_EQ(st.last.endDate, "20240314");
  EXPECT_EQ(st.last.startTime, "080001");
  EXPECT_EQ(st.last.endTime, "200000");
  EXPECT_EQ(st.last.endCount, 13011600);
  EXPECT_EQ(st.sleepSeconds, 30);
  EXPECT_EQ(st.delayMinutes, 10);
  ASSERT_EQ(st.borders.count, 2);
  EXPECT_EQ(st.borders.minutes[1], 1200);
  EXPECT_EQ(env_.Trace(),
            Found("20240314", "StatiLastStartDate") + Found("20240314", "StatiLastEndDate") +
                Found("200000", "StatiLastEndTime") + Found("080001", "StatiLastStartTime") +
                Found("13011600", "StatiLastQueryIntervalEnd") + Found("08:00 ", "StatiSchedule") +
                Found("20:00 ", "StatiSchedule2") + NotFound("StatiSchedule3") +
                NotFound("StatiSchedule4") + NotFound("StatiSchedule5") +
                NotFound("StatiSchedule6") +
                "running with delay time <10min>  and <2> border time(s): <08:00> <20:00> \n");
}

TEST_F(RunTimesTest, DefaultsWhenOnlyTheScheduleIsThere) {
  env_.Set("StatiSchedule", "6:00");
  for (const char* piece :
       {"StatiSchedule2", "StatiSchedule3", "StatiSchedule4", "StatiSchedule5", "StatiSchedule6"}) {
    env_.Set(piece, "");
  }
  statiState().delayMinutes = 99;
  statiState().last.endCount = 5;
  ASSERT_EQ(statiGetRunTimes(), 0);
  const StatiState& st = statiState();
  EXPECT_EQ(st.delayMinutes, 15);
  EXPECT_EQ(st.sleepSeconds, 60);
  EXPECT_EQ(st.last.endCount, 0);
  EXPECT_EQ(st.last.startDate, "");
  std::string expected;
  for (const char* name : {"StatiLastStartDate", "StatiLastEndDate", "StatiLastEndTime",
                           "StatiLastStartTime", "StatiLastQueryIntervalEnd"}) {
    expected += NotFound(name) + "assuming default of <0>\n";
  }
  expected += NotFound("StatiSleepTime").substr(0, NotFound("StatiSleepTime").size() - 1) +
              " setting default to 60 seconds.\n";
  expected += NotFound("StatiDelayTime") + "assuming default of <15>\n";
  expected += Found("6:00", "StatiSchedule");
  for (const char* piece :
       {"StatiSchedule2", "StatiSchedule3", "StatiSchedule4", "StatiSchedule5", "StatiSchedule6"}) {
    expected += Found("", piece);
  }
  expected += "running with delay time <15min>  and <1> border time(s): <06:00> \n";
  EXPECT_EQ(env_.Trace(), expected);
}

// A value of the wrong type, or a schedule that is missing, fails the read.
struct ReadFailure {
  const char* name;
  std::optional<std::string> value;  // nullopt: stored as a DWORD
  bool missing;
  int code;
  std::string lastLine;
};

// Names the case in test output.
void PrintTo(const ReadFailure& c, std::ostream* os) {
  *os << c.name << " = " << c.value.value_or("<dword>");
}

class RunTimesFailures : public testing::TestWithParam<ReadFailure> {};

TEST_P(RunTimesFailures, CodeAndLastTraceLine) {
  const ReadFailure& f = GetParam();
  StatiTestEnv env;
  zmo::SetTraceSwitch(1);
  env.Set("StatiSchedule", "08:00 20:00 ");
  if (f.missing) {
    env.Delete(f.name);
  } else if (!f.value) {
    env.SetDword(f.name, 7);
  } else {
    env.Set(f.name, *f.value);
  }
  EXPECT_EQ(statiGetRunTimes(), f.code);
  const std::string trace = env.Trace();
  ASSERT_GE(trace.size(), f.lastLine.size()) << trace;
  EXPECT_EQ(trace.substr(trace.size() - f.lastLine.size()), f.lastLine) << trace;
}

std::string NotString(const std::string& name) {
  return "value <" + name + "> for subkey <" + K + "> has not string format\n";
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RunTimesFailures,
    testing::Values(
        ReadFailure{"StatiLastStartDate", std::nullopt, false, 3, NotString("StatiLastStartDate")},
        ReadFailure{"StatiLastStartTime", std::nullopt, false, 3, NotString("StatiLastStartTime")},
        ReadFailure{"StatiLastQueryIntervalEnd", std::nullopt, false, 3,
                    NotString("StatiLastQueryIntervalEnd")},
        ReadFailure{"StatiDelayTime", std::nullopt, false, 3, NotString("StatiDelayTime")},
        ReadFailure{"StatiSchedule", "", true, 4, NotFound("StatiSchedule")},
        ReadFailure{"StatiSchedule", std::nullopt, false, 5, NotString("StatiSchedule")},
        ReadFailure{"StatiSchedule4", std::nullopt, false, 5, NotString("StatiSchedule4")},
        // A piece longer than the 90 characters a piece holds cannot be read.
        ReadFailure{"StatiSchedule", "08:00 20:00 " + std::string(79, ' '), false, 4,
                    NotFound("StatiSchedule")},
        ReadFailure{"StatiSchedule2", "8:0", false, 10,
                    "unexpected end of string <08:00 20:00 8:0> of <StatiSchedule6> of subkey <" +
                        K + ">. expected digit.\n"},
        // A negative delay is refused before it can shift an interval.
        ReadFailure{"StatiDelayTime", "-5", false, 21,
                    "delay time of <-5> not in valid range [0;720]\n"},
        ReadFailure{"StatiDelayTime", "721", false, 21,
                    "maximum delay time <720> exceeded (maximum delay time is minimum boarder "
                    "time difference). delay time was <721>\n"}));

// StatiSleepTime: anything that is not a usable number of seconds falls
// back to 60 with a line saying why.
struct SleepCase {
  std::optional<std::string> value;  // nullopt: stored as a DWORD
  int seconds;
  std::string line;  // the line traced about it, "" for none
};

// Names the case in test output.
void PrintTo(const SleepCase& c, std::ostream* os) { *os << c.value.value_or("<dword>"); }

class SleepTimeTable : public testing::TestWithParam<SleepCase> {};

TEST_P(SleepTimeTable, SecondsAndTrace) {
  const SleepCase& c = GetParam();
  StatiTestEnv env;
  env.Set("StatiSchedule", "08:00 20:00 ");
  if (c.value) {
    env.Set("StatiSleepTime", *c.value);
  } else {
    env.SetDword("StatiSleepTime", 30);
  }
  statiState().sleepSeconds = 12345;
  zmo::SetTraceSwitch(1);
  ASSERT_EQ(statiGetRunTimes(), 0);
  EXPECT_EQ(statiState().sleepSeconds, c.seconds);
  const std::string trace = env.Trace();
  if (c.line.empty()) {
    EXPECT_THAT(trace, Not(HasText("StatiSleepTime")));
  } else {
    EXPECT_THAT(trace, HasText(c.line));
  }
}

std::string OutOfRange(const std::string& v) {
  return "value <" + v + "> of <StatiSleepTime> of subkey <" + K +
         "> out of range setting default to 60 seconds.\n";
}

INSTANTIATE_TEST_SUITE_P(
    Values, SleepTimeTable,
    testing::Values(SleepCase{"30", 30, ""}, SleepCase{"1", 1, ""},
                    SleepCase{"2147483", 2147483, ""}, SleepCase{"0", 60, OutOfRange("0")},
                    SleepCase{"-5", 60, OutOfRange("-5")}, SleepCase{"abc", 60, OutOfRange("abc")},
                    SleepCase{"2147484", 60, OutOfRange("2147484")},
                    SleepCase{"99999999999999999999", 60, OutOfRange("99999999999999999999")},
                    SleepCase{std::nullopt, 60,
                              "value <StatiSleepTime> for subkey <" + K +
                                  "> has not string format setting default to 60 seconds.\n"}));

TEST(DebugStatus, SwitchesTheTraceLog) {
  const struct {
    std::optional<std::string> value;  // nullopt: missing
    int before;
    int after;
    std::string trace;
  } cases[] = {
      {"True", 0, 1, "debug switched on\n"},
      {"True", 1, 1, ""},
      {std::nullopt, 1, 0, "debug switched off now\n"},
      {std::nullopt, 0, 0, ""},
      {"TrueXY", 1, 0, "debug switched off now\n"},  // longer than 5: unreadable
      {"False", 1, 1, ""},
      {"False", 0, 0, ""},
      {"true", 0, 0, ""},
  };
  for (const auto& c : cases) {
    StatiTestEnv env;
    env.CreateKey();
    if (c.value) env.Set("StatiDebug", *c.value);
    zmo::SetTraceSwitch(c.before);
    EXPECT_EQ(statiGetDebugStatusFromRegistry(), 0);
    EXPECT_EQ(zmo::TraceSwitch(), c.after) << c.value.value_or("<missing>");
    EXPECT_EQ(env.Trace(), c.trace) << c.value.value_or("<missing>");
  }
}

TEST(WaitTime, MinutesBecomeSeconds) {
  const struct {
    std::optional<std::string> value;  // nullopt: a DWORD
    bool present;
    int seconds;
    std::string trace;
  } cases[] = {
      {"2", true, 120,
       "found value <2> of <RetrievalWait> of subkey <" + K +
           ">\nRetrieval wait time set to <120>\n"},
      {"", false, 300,
       "could not query value <RetrievalWait> for subkey <" + K +
           "> setting default to 5 minutes.\n"},
      {std::nullopt, true, 300,
       "value <RetrievalWait> for subkey <" + K +
           "> has not string format setting default to 5 minutes.\n"},
  };
  for (const auto& c : cases) {
    StatiTestEnv env;
    env.CreateKey();
    if (c.present && c.value) env.Set("RetrievalWait", *c.value);
    if (c.present && !c.value) env.SetDword("RetrievalWait", 2);
    zmo::SetTraceSwitch(1);
    statiState().rfcTimeoutSeconds = 1;
    EXPECT_EQ(statiGetWaitTime(), 0);
    EXPECT_EQ(statiState().rfcTimeoutSeconds, c.seconds);
    EXPECT_EQ(env.Trace(), c.trace);
  }
}

TEST(WaitTime, HugeMinutesDoNotOverflow) {
  StatiTestEnv env;
  env.Set("RetrievalWait", "99999999");
  EXPECT_EQ(statiGetWaitTime(), 0);
  EXPECT_GT(statiState().rfcTimeoutSeconds, 0);
}

TEST(QueryRegForSleepTime, DecidesOnWhatWasReadAtTheClocksTime) {
  ScopedTz tz("UTC");
  StatiTestEnv env;
  zmo::ScopedFakeClock clock(static_cast<std::int64_t>(LocalTime(2024, 3, 15, 8, 16)) * 1000);
  env.Set("StatiSchedule", "08:00 20:00 ");
  env.SetLast("20240314", "080001", "20240314", "200000",
              std::to_string(statiMinuteCount(2024, 3, 14) + 1200));
  ASSERT_EQ(statiGetRunTimes(), 0);
  zmo::SetTraceSwitch(1);
  ASSERT_EQ(statiQueryRegForSleepTime(), 0);
  const StatiState& st = statiState();
  EXPECT_EQ(st.due, 1);
  EXPECT_EQ(st.current.startDate, "20240314");
  EXPECT_EQ(st.current.startTime, "200001");
  EXPECT_EQ(st.current.endDate, "20240315");
  EXPECT_EQ(st.current.endTime, "080000");
  EXPECT_EQ(env.Trace(),
            "determined possible interval: from 20240314 200001 to 20240315 080000\n"
            "not connected for this interval. connecting now.\n");
}

TEST(SetLastInterval, WritesTheFiveValues) {
  StatiTestEnv env;
  env.CreateKey();
  StatiInterval& last = statiState().last;
  env.Fill(&last, "20240314", "200001", "20240315", "080000");
  last.endCount = 13011840;
  zmo::SetTraceSwitch(1);
  ASSERT_EQ(statiSetLastInterval(), 0);
  EXPECT_EQ(env.Get("StatiLastStartDate"), "20240314");
  EXPECT_EQ(env.Get("StatiLastStartTime"), "200001");
  EXPECT_EQ(env.Get("StatiLastEndDate"), "20240315");
  EXPECT_EQ(env.Get("StatiLastEndTime"), "080000");
  EXPECT_EQ(env.Get("StatiLastQueryIntervalEnd"), "13011840");
  auto set = [](const std::string& name, const std::string& v) {
    return "value <" + name + "> for subkey <" + K + "> set to <" + v + ">\n";
  };
  EXPECT_EQ(env.Trace(),
            set("StatiLastStartDate", "20240314") + set("StatiLastEndDate", "20240315") +
                set("StatiLastStartTime", "200001") + set("StatiLastEndTime", "080000") +
                set("StatiLastQueryIntervalEnd", "13011840"));

  // What was written is what the next pass reads.
  statiState().last = StatiInterval{};
  env.Set("StatiSchedule", "08:00 20:00 ");
  ASSERT_EQ(statiGetRunTimes(), 0);
  EXPECT_EQ(statiState().last.endCount, 13011840);
  EXPECT_EQ(statiState().last.endTime, "080000");
}

}  // namespace
