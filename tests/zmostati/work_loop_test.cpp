// The work loop on the fake clock: passes, the last interval, failures that
// cost a pass, the sleep-time fallback and the stop request.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/service.h"
#include "platform/window_titles.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmo_test/files.h"
#include "zmo_test/host_env.h"
#include "zmo_test/matchers.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using ::testing::Not;
using zmo_test::HasText;
using zmo_test::HasTextTimes;

int g_queries = 0;
int g_query_result = 0;
int g_handler_installs = 0;

int FakeQuery() {
  ++g_queries;
  return g_query_result;
}

// A run that is stopped while it collects, as the stop request makes it.
int StoppedQuery() {
  ++g_queries;
  zmo::serviceStopRequest();
  return zmo::kShutdownInProgress;
}

// The title of this process's window, or "<none>".
std::string OwnWindow() {
  std::string title;
  return zmo::GetWindowTitleOf(getpid(), &title) == 0 ? title : "<none>";
}

std::vector<std::string> g_windows_in_run;

int QueryThatLooksAtItsWindow() {
  ++g_queries;
  g_windows_in_run.push_back(OwnWindow());
  return g_query_result;
}

class WorkLoop : public testing::Test {
 protected:
  void SetUp() override {
    g_queries = 0;
    g_query_result = 0;
    g_handler_installs = 0;
    statiState().hooks.startQuery = FakeQuery;
    statiState().hooks.installRfcErrorHandler = [] { ++g_handler_installs; };
    zmo_test::UseHost("collector", "10.1.2.3");
    env_.Set("StatiDebug", "True");
    env_.Set("StatiSchedule", "08:00 20:00 ");
    env_.Set("StatiSleepTime", "60");
    env_.Set("DB", "MSSQL");
    env_.Set("BinDir", "/opt/zmo");
  }

  // Gives the stop request once the clock has advanced passes times.
  void StopAfterWaits(int waits) {
    clock_->SetAdvanceHook([this, waits](std::int64_t) {
      if (++advances_ == waits) zmo::serviceStopRequest();
    });
  }
  static int RunNr() {
    char arg0[] = "zmostati";
    char arg1[] = "-nr";
    char* argv[] = {arg0, arg1, nullptr};
    return statiMain(2, argv);
  }
  std::int64_t Elapsed() { return clock_.clock().NowMillis() - start_; }

  StatiTestEnv env_;
  ScopedTz tz_{"UTC"};
  std::int64_t start_ = static_cast<std::int64_t>(LocalTime(2024, 3, 15, 8, 16)) * 1000;
  zmo::ScopedFakeClock clock_{start_};
  int advances_ = 0;
};

TEST_F(WorkLoop, CollectsOnceThenWaitsUntilStopped) {
  StopAfterWaits(3);
  statiServiceRun(0, nullptr);

  EXPECT_EQ(g_queries, 1) << "the interval is collected once";
  EXPECT_EQ(g_handler_installs, 1);
  EXPECT_EQ(statiState().passCounter, 3);
  EXPECT_EQ(Elapsed(), 3 * 60 * 1000);
  EXPECT_EQ(env_.Get("StatiLastStartDate"), "20240314");
  EXPECT_EQ(env_.Get("StatiLastStartTime"), "200001");
  EXPECT_EQ(env_.Get("StatiLastEndDate"), "20240315");
  EXPECT_EQ(env_.Get("StatiLastEndTime"), "080000");
  EXPECT_EQ(env_.Get("StatiLastQueryIntervalEnd"),
            std::to_string(statiMinuteCount(2024, 3, 15) + 480));

  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasTextTimes("awake, run ", 3));
  EXPECT_THAT(trace, HasText("awake, run 3\n"));
  EXPECT_THAT(trace, HasTextTimes("about to fall asleep 60s\n", 3));
  EXPECT_THAT(trace, HasTextTimes("about to connect\n", 1));
  EXPECT_THAT(trace, HasTextTimes("already connected for this interval\n", 2));
  EXPECT_THAT(trace, HasText("stop received\ndisconnect flag set to true\n"));
  EXPECT_THAT(trace, Not(HasText("awake, run 4"))) << "no pass after the stop";

  const SERVICE_STATUS status = zmo::LastServiceStatus();
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(status.dwWin32ExitCode, 0u);
  EXPECT_EQ(zmo::StopEvent(), nullptr) << "the event is gone with the loop";
}

// The configurator refuses a special run while a collector has a window: the
// service has one for the length of a collection only, never while it waits.
TEST_F(WorkLoop, TheCollectorHasAWindowOnlyWhileItCollects) {
  g_windows_in_run.clear();
  statiState().hooks.startQuery = QueryThatLooksAtItsWindow;
  g_query_result = 1;  // a failed collection: proposed again on the next pass
  std::vector<std::string> while_waiting;
  clock_->SetAdvanceHook([&](std::int64_t) {
    while_waiting.push_back(OwnWindow());
    if (++advances_ == 2) zmo::serviceStopRequest();
  });
  statiServiceRun(0, nullptr);
  EXPECT_EQ(g_windows_in_run, (std::vector<std::string>{zmo::ProgramPath(), zmo::ProgramPath()}));
  EXPECT_EQ(while_waiting, (std::vector<std::string>{"<none>", "<none>"}));
  EXPECT_EQ(OwnWindow(), "<none>");
  // A one-shot run alike.
  g_windows_in_run.clear();
  g_query_result = 0;
  EXPECT_EQ(RunNr(), 0);
  EXPECT_EQ(g_windows_in_run, std::vector<std::string>{zmo::ProgramPath()});
  EXPECT_EQ(OwnWindow(), "<none>");
}

TEST_F(WorkLoop, PassOrderOfTraceLines) {
  StopAfterWaits(1);
  statiServiceRun(0, nullptr);
  const std::string trace = env_.Trace();
  const char* const order[] = {"awake, run 1\n",
                               "running with delay time <15min>",
                               "determined possible interval: from 20240314 200001 to 20240315 "
                               "080000\n",
                               "not connected for this interval. connecting now.\n",
                               "About to exit statiGetParaFromRegistry \n",
                               "about to connect\n",
                               "value <StatiLastQueryIntervalEnd> for subkey",
                               "about to fall asleep 60s\n"};
  size_t at = 0;
  for (const char* line : order) {
    const size_t found = trace.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n--- in ---\n" << trace;
    at = found;
  }
}

TEST_F(WorkLoop, FailedCollectionIsProposedAgain) {
  g_query_result = 1;
  StopAfterWaits(3);
  statiServiceRun(0, nullptr);
  EXPECT_EQ(g_queries, 3);
  EXPECT_EQ(env_.Get("StatiLastEndDate"), "<missing>") << "nothing recorded as collected";
  EXPECT_THAT(env_.Trace(), HasTextTimes("statiStartQuery() failed\n", 3));
}

TEST_F(WorkLoop, StopDuringCollectionEndsAfterThePass) {
  statiState().hooks.startQuery = StoppedQuery;
  statiServiceRun(0, nullptr);
  EXPECT_EQ(g_queries, 1);
  EXPECT_EQ(Elapsed(), 0) << "the signalled event ends the wait at once";
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("statiStartQuery() shutdown in progress\nabout to fall asleep 60s\n"));
  EXPECT_THAT(trace, HasTextTimes("awake, run ", 1));
  EXPECT_EQ(env_.Get("StatiLastEndDate"), "<missing>");
}

TEST_F(WorkLoop, StopBeforeThePassLeavesAtOnce) {
  zmo::serviceStopRequest();
  statiServiceRun(0, nullptr);
  EXPECT_EQ(g_queries, 0);
  EXPECT_EQ(Elapsed(), 0);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasTextTimes("awake, run 1\n", 1));
  EXPECT_THAT(trace, Not(HasText("about to fall asleep")));
}

TEST_F(WorkLoop, UnusableSleepTimeFallsBackTo60) {
  for (const char* value : {"0", "-10", "3000000", "x"}) {
    SCOPED_TRACE(value);
    StatiTestEnv env;
    SetUp();
    env.Set("StatiSleepTime", value);
    advances_ = 0;
    const std::int64_t before = clock_.clock().NowMillis();
    StopAfterWaits(2);
    statiServiceRun(0, nullptr);
    EXPECT_EQ(clock_.clock().NowMillis() - before, 2 * 60 * 1000);
    const std::string trace = env.Trace();
    EXPECT_THAT(trace, HasTextTimes("out of range setting default to 60 seconds.\n", 2));
    EXPECT_THAT(trace, HasTextTimes("about to fall asleep 60s\n", 2));
  }
}

TEST_F(WorkLoop, SleepTimeIsReadEveryPass) {
  env_.Set("StatiSleepTime", "10");
  clock_->SetAdvanceHook([this](std::int64_t) {
    ++advances_;
    if (advances_ == 1) env_.Set("StatiSleepTime", "20");
    if (advances_ == 2) zmo::serviceStopRequest();
  });
  statiServiceRun(0, nullptr);
  EXPECT_EQ(Elapsed(), (10 + 20) * 1000);
}

TEST_F(WorkLoop, ScheduleFailuresCostAPassOfFiveMinutes) {
  const struct {
    const char* schedule;  // nullptr: missing
    const char* line;
  } cases[] = {
      {nullptr, "statiGetRunTimes() failed. sleeping 5 min now\n"},
      {"8:0", "statiGetRunTimes() failed. sleeping 5 min now\n"},
      // 23:55 and 0:10 at 00:05: the decision cannot place the interval.
      {"23:55 0:10", "statiQueryRegForSleepTime() failed. sleeping 5 min now\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    StatiTestEnv env;
    SetUp();
    env.Delete("StatiSchedule");
    if (c.schedule) env.Set("StatiSchedule", c.schedule);
    clock_->SetMillis(static_cast<std::int64_t>(LocalTime(2024, 3, 16, 0, 5)) * 1000);
    const std::int64_t before = clock_.clock().NowMillis();
    advances_ = 0;
    StopAfterWaits(1);
    statiServiceRun(0, nullptr);
    EXPECT_EQ(clock_.clock().NowMillis() - before, 300 * 1000);
    EXPECT_EQ(g_queries, 0);
    const std::string trace = env.Trace();
    EXPECT_THAT(trace, HasText(std::string(c.line) + "about to fall asleep 300s\n"));
  }
}

TEST_F(WorkLoop, SettingsFailureSkipsTheCollection) {
  env_.Delete("DB");
  StopAfterWaits(1);
  statiServiceRun(0, nullptr);
  EXPECT_EQ(g_queries, 0);
  EXPECT_THAT(env_.Trace(), HasText("statiGetParaFromRegistry() returned unsuccessfully\n"
                                    "about to fall asleep 60s\n"));
}

TEST_F(WorkLoop, DebugSwitchFailureTurnsTheTraceOn) {
  StatiTestEnv env;  // a store without the configuration key
  SetUp();
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velmar", 0, KEY_ALL_ACCESS, &key), 0);
  RegDeleteKeyA(key, "Monitoring for Orvane");
  RegCloseKey(key);
  zmo::SetTraceSwitch(0);
  StopAfterWaits(1);
  statiServiceRun(0, nullptr);
  const std::string trace = env.Trace();
  EXPECT_THAT(trace, HasText("statiGetDebugStatusFromRegistry() returned unsuccessfully\n"));
  EXPECT_THAT(trace, HasText("statiGetRunTimes() failed. sleeping 5 min now\n"));
}

TEST_F(WorkLoop, OneShotRegistryRunCollectsWithoutRecording) {
  // Already collected per the registry; -nr collects it all the same.
  env_.SetLast("20240314", "200001", "20240315", "080000", "1");
  EXPECT_EQ(RunNr(), 0);
  EXPECT_EQ(g_queries, 1);
  EXPECT_EQ(g_handler_installs, 1);
  EXPECT_EQ(env_.Get("StatiLastQueryIntervalEnd"), "1") << "-nr never writes the last interval";
  EXPECT_EQ(statiState().settings.ldrArg[3], " -S 20240314");
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, 0u) << "no status in a console run";
}

TEST_F(WorkLoop, ADamagedRegistryStoreIsNamedAndTheConsoleRunEndsWithOne) {
  const std::string store = env_.Dir() + "registry/HKEY_LOCAL_MACHINE.reg";
  std::string text = zmo_test::FileText(store);
  ASSERT_NE(text, "<none>");
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  zmo_test::WriteFile(store, text + "this line is no registry line\r\n");
  EXPECT_EQ(RunNr(), 1);
  EXPECT_EQ(g_queries, 0);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("could not open subkey <"));
  EXPECT_THAT(trace, HasText("the registry store is damaged: " + store + ":" +
                             std::to_string(lines + 1) + ": "));
}

TEST_F(WorkLoop, OneShotRegistryRunStopsAtSettingsFailure) {
  env_.Set("BinDir", "");
  zmo::SetTraceSwitch(0);
  env_.Set("StatiDebug", "no");
  EXPECT_EQ(RunNr(), 1) << "a run that collected nothing is no success";
  EXPECT_EQ(g_queries, 0);
  EXPECT_EQ(env_.Trace(), "statiGetParaFromRegistry() returned unsuccessfully\n");
}

}  // namespace
