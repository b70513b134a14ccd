// The service work loop on the fake clock: passes on collection days and
// idle days, the sleep times between them, failures that cost five
// minutes, the stop request at every point, and the service status.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/service.h"
#include "rfc/simulator.h"
#include "snap_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/scoped.h"
#include "zmosnap/entry.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

namespace {

using ::testing::Not;
using zmo_test::HasText;
using zmo_test::HasTextTimes;

std::vector<std::int64_t> g_cycles;  // clock time of each cycle
bool g_stop_in_cycle = false;

int FakeCycle(int, char**) {
  g_cycles.push_back(zmo::ClockNowMillis());
  if (g_stop_in_cycle) {
    zmo::serviceStopRequest();
    return zmo::kShutdownInProgress;
  }
  return 0;
}

// A local time in March 2024; the 18th is a Monday.
std::int64_t March(int day, int hour, int minute) {
  return LocalMillis(2024, 3, day, hour, minute);
}

class WorkLoop : public testing::Test {
 protected:
  void SetUp() override {
    g_cycles.clear();
    g_stop_in_cycle = false;
    snapState().hooks.startQuery = FakeCycle;
    SnapTestEnv::Set("SnapDebug", "True");
    SnapTestEnv::Set("SnapRunDays", "31");  // Monday to Friday
    SnapTestEnv::Set("SnapSleepTime", "900");
    SnapTestEnv::Set("ProcessQRBData", "True");
  }

  // Gives the stop request once the clock has advanced waits times.
  void StopAfterWaits(int waits) {
    clock_->SetAdvanceHook([this, waits](std::int64_t) {
      if (++advances_ == waits) zmo::serviceStopRequest();
    });
  }
  std::int64_t Elapsed() { return clock_.clock().NowMillis() - start_; }
  void StartAt(std::int64_t ms) {
    start_ = ms;
    clock_->SetMillis(ms);
  }

  SnapTestEnv env_;
  zmo_test::ScopedTz tz_{"UTC0"};
  zmo_test::ScopedEnv systems_{"ZMO_SAP_SYSTEMS", env_.Dir()};
  std::int64_t start_ = March(18, 8, 0);
  zmo::ScopedFakeClock clock_{start_};
  int advances_ = 0;
};

TEST_F(WorkLoop, CollectsEveryPassOfACollectionDay) {
  StopAfterWaits(3);
  EXPECT_EQ(snapServiceRun(0, nullptr), 0);
  ASSERT_EQ(g_cycles.size(), 3u);
  // The sleep runs from the end of one pass to the start of the next.
  EXPECT_EQ(g_cycles[1] - g_cycles[0], 900 * 1000);
  EXPECT_EQ(g_cycles[2] - g_cycles[1], 900 * 1000);
  EXPECT_EQ(Elapsed(), 3 * 900 * 1000);
  EXPECT_EQ(snapState().runCounter, 3);

  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasTextTimes("about to connect\n", 3));
  EXPECT_THAT(trace, HasTextTimes("about to fall asleep 900s\n", 3));
  EXPECT_THAT(trace, HasText("awake, run 3\n"));
  EXPECT_THAT(trace, Not(HasText("awake, run 4"))) << "no pass after the stop";
  EXPECT_THAT(trace, HasText("stop received\ndisconnect flag set\n"));

  const SERVICE_STATUS status = zmo::LastServiceStatus();
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(status.dwWin32ExitCode, 0u);
  EXPECT_EQ(zmo::StopEvent(), nullptr) << "the event is gone with the loop";
}

TEST_F(WorkLoop, OrderOfOnePass) {
  StopAfterWaits(1);
  snapServiceRun(0, nullptr);
  const std::string trace = env_.Trace();
  const char* const order[] = {"awake, run 1\n", "about to connect\n",
                               "Registry entry ProcessQRBData = <True>\n",
                               "about to fall asleep 900s\n"};
  size_t at = 0;
  for (const char* line : order) {
    const size_t found = trace.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n--- in ---\n" << trace;
    at = found;
  }
}

TEST_F(WorkLoop, SleepTimesByDay) {
  const struct {
    const char* name;
    const char* days;  // nullptr: missing
    std::int64_t start;
    size_t cycles;
    std::int64_t sleep_ms;
    const char* line;
  } cases[] = {
      {"Monday", "31", March(18, 8, 0), 2, 900 * 1000, "about to fall asleep 900s\n"},
      {"Sunday", "31", March(24, 8, 0), 0, 600 * 1000, "about to fall asleep 600s\n"},
      {"Saturday of 96", "96", March(23, 8, 0), 2, 900 * 1000, "about to fall asleep 900s\n"},
      {"no days", "0", March(18, 8, 0), 0, 300 * 1000, "about to fall asleep 300s\n"},
      {"days missing", nullptr, March(18, 8, 0), 0, 300 * 1000, "about to fall asleep 300s\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SnapTestEnv env;
    SetUp();
    if (c.days) {
      SnapTestEnv::Set("SnapRunDays", c.days);
    } else {
      SnapTestEnv::Delete("SnapRunDays");
    }
    StartAt(c.start);
    advances_ = 0;
    StopAfterWaits(2);
    snapServiceRun(0, nullptr);
    EXPECT_EQ(g_cycles.size(), c.cycles);
    EXPECT_EQ(Elapsed(), 2 * c.sleep_ms);
    EXPECT_THAT(env.Trace(), HasTextTimes(c.line, 2));
    if (c.days == nullptr || std::string(c.days) == "0") {
      EXPECT_THAT(env.Trace(), HasTextTimes("snapGetRunTimes() returned unsuccessfully\n", 2));
    }
  }
}

TEST_F(WorkLoop, EveryPassDecidesAgain) {
  // Friday 23:40 with 20 minutes: the second pass falls on Saturday.
  SnapTestEnv::Set("SnapSleepTime", "1200");
  StartAt(March(22, 23, 40));
  clock_->SetAdvanceHook([this](std::int64_t) {
    ++advances_;
    if (advances_ == 2) SnapTestEnv::Set("SnapRunDays", "127");
    if (advances_ == 3) zmo::serviceStopRequest();
  });
  snapServiceRun(0, nullptr);
  // Friday: a cycle, 20 minutes; Saturday: idle, 10 minutes; then every
  // day is a collection day: a cycle, 20 minutes.
  ASSERT_EQ(g_cycles.size(), 2u);
  EXPECT_EQ(g_cycles[0], March(22, 23, 40));
  EXPECT_EQ(g_cycles[1], March(23, 0, 10));
  EXPECT_EQ(Elapsed(), (1200 + 600 + 1200) * 1000);
}

TEST_F(WorkLoop, StopDuringTheCycleEndsAtTheWait) {
  g_stop_in_cycle = true;
  EXPECT_EQ(snapServiceRun(0, nullptr), 0);
  EXPECT_EQ(g_cycles.size(), 1u);
  EXPECT_EQ(Elapsed(), 0) << "the signalled event ends the wait at once";
  EXPECT_THAT(env_.Trace(), HasTextTimes("awake, run ", 1));
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, SERVICE_STOPPED);
}

TEST_F(WorkLoop, StopBeforeThePassLeavesAtOnce) {
  zmo::serviceStopRequest();
  EXPECT_EQ(snapServiceRun(0, nullptr), 0);
  EXPECT_TRUE(g_cycles.empty());
  EXPECT_EQ(Elapsed(), 0);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("awake, run 1\n"));
  EXPECT_THAT(trace, Not(HasText("about to fall asleep")));
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, SERVICE_STOPPED);
}

TEST_F(WorkLoop, SleepTimeIsReadEveryPass) {
  SnapTestEnv::Set("SnapSleepTime", "10");
  clock_->SetAdvanceHook([this](std::int64_t) {
    ++advances_;
    if (advances_ == 1) SnapTestEnv::Set("SnapSleepTime", "20");
    if (advances_ == 2) zmo::serviceStopRequest();
  });
  snapServiceRun(0, nullptr);
  EXPECT_EQ(Elapsed(), (10 + 20) * 1000);
}

TEST_F(WorkLoop, DebugSwitchIsReadAtTheStart) {
  SnapTestEnv::Set("SnapDebug", "False");
  zmo::SetTraceSwitch(1);
  StopAfterWaits(1);
  snapServiceRun(0, nullptr);
  EXPECT_EQ(env_.Trace(), "debug switched off now\n");
}

TEST_F(WorkLoop, TablesThatCannotBeMadeEndTheLoop) {
  ASSERT_EQ(zmo::WriteFileAtomic(env_.Dir() + "library.conf", "[faults]\nitcreate = TF_CPU_ALL\n"),
            0);
  zmo::rfc::SimReset();
  EXPECT_EQ(snapServiceRun(0, nullptr), 1);
  EXPECT_TRUE(g_cycles.empty());
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("initRfcTables() returned unsuccessfully\n"));
  EXPECT_THAT(trace, Not(HasText("awake, run")));
  EXPECT_EQ(zmo::StopEvent(), nullptr);
}

}  // namespace
