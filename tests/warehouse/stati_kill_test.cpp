// The whole road of the statistics into the warehouse: a simulated SAP
// system with known records, a zmostati -nr collection (in this process, on
// the fake clock), the real zmoloader it starts, the load batch under the
// batch interpreter, sqlldr and sqlplus on PostgreSQL. The test then works
// out on its own, from the records that were loaded, what the warehouse
// tables must hold, and compares.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "platform/clock.h"
#include "process_kills.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "stati_world.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"
#include "zmostati/entry.h"
#include "zmostati/params.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using namespace warehouse_test;

// Collections killed at random moments, each followed by a clean restart:
// every record of every collected interval is in r3_progresp exactly once.
// The collector runs in a child process of its own process group (forked,
// so it keeps the fake clock and the simulated systems); the second server
// answers late, in real time, so kills land in the collection too. The
// kills are seeded, local, and the waits for the processes bounded.

constexpr int kKillDays = 24;  // one interval a day
// Steps a day in each of two hours: more than the collector's file buffer
// takes, so a kill can leave some of a run's records on disk, a torn line
// among them.
constexpr int kStepsAnHour = 12;
constexpr int kMaxKillDelayMs = 2000;   // a round takes about that long
constexpr int kEarlyKillDelayMs = 600;  // the collection and hand-over come first
// A second server answers the statistics read after this long, while the
// first one's records are in the collecting file already.
constexpr int kSlowServerMs = 400;
const zmo_test::TestServer kW47{"sapw47.example.net", "W47", "00", "Secret47"};

std::string DayDate(int day) {  // 2024-03-04 plus day, as YYYYMMDD
  const int d = 4 + day;
  return "202403" + std::string(1, static_cast<char>('0' + d / 10)) +
         static_cast<char>('0' + d % 10);
}

std::string KillSystemFile() {
  std::string text =
      "[logon]\nhost = sapw46.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
      "password = " +
      kW46.password +
      "\nlanguage = E\n\n[system_info]\nsysid = W46\ndbhost = dbw46\nrelease = 46C\n";
  int wp = 1;
  for (int day = 0; day < kKillDays; ++day) {
    for (int step = 0; step < 2 * kStepsAnHour; ++step) {
      const std::string date = DayDate(day);
      const std::string time = (step < kStepsAnHour ? "10" : "11") +
                               std::string(1, static_cast<char>('0' + step % kStepsAnHour / 10)) +
                               static_cast<char>('0' + step % 10) + "00";
      text += "\n[record normal]\nDATE = " + date + "\nSTARTDATE = " + date +
              "\nSTARTTIME = " + time + "\nENDDATE = " + date + "\nENDTIME = " + time +
              "\nRESPTI = 900\nCPUTI = 300\nREADDIRTI = 200\nWPID = 000" +
              std::to_string(wp++ % 10) +
              "\nTASKTYPE = 01\nTCODE = VA01\nDYNPRONR = 0100\nREPORT = SAPMVA01"
              "\nCUA_PROG = SAPMVA01\nACCOUNT = USER" +
              std::to_string(day) + "\nMANDT = 100\nGUITIME = 120\nGUICNT = 2\nGUINETTIME = 40\n";
    }
  }
  return text;
}

class KillTest : public StatiWorld {
 protected:
  void SetUp() override {
    StatiWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Write(tmp_.File("sap") + "/W46.sys", KillSystemFile());
    Write(tmp_.File("sap") + "/W47.sys",
          "[logon]\nhost = sapw47.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
          "password = " +
              kW47.password +
              "\nlanguage = E\n\n[system_info]\nsysid = W47\ndbhost = dbw47\nrelease = 46C\n\n"
              "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = " +
              std::to_string(kSlowServerMs) + "\n");
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW46) + zmo_test::ServerRecord(kW47));
  }

  // Starts the work loop's passes at the moment given in a child process
  // of its own group: passes until nothing is due (at most three: a pass
  // that settled a cut-short run decides again).
  pid_t StartCollector(std::int64_t at) {
    return warehouse_test::StartInGroup([&] {
      warehouse_test::PrepareStatiCollector(bin_);
      zmo::ScopedFakeClock clock(at);
      // The collector's waits (its polls of the slow server) take real
      // time here, so that a kill can land while the collection is under
      // way.
      warehouse_test::WaitsTakeRealTime(&clock, at);
      statiResetRunState();
      statiState().storesInterval = true;
      statiGetDebugStatusFromRegistry();
      statiGetDefaultAvailFileName();
      for (int pass = 0; pass < 3; ++pass) {
        statiWorkPass();
        if (!statiState().due) break;
      }
    });
  }
};

TEST_F(KillTest, EveryRecordOnceAfterKillsAtRandomMoments) {
  std::mt19937 random(20240304);
  // Every other kill comes early, where the collection and the hand-over
  // are; the others anywhere in the round.
  std::uniform_int_distribution<int> early(0, kEarlyKillDelayMs);
  std::uniform_int_distribution<int> delay(0, kMaxKillDelayMs);
  std::int64_t at = kFirstRun;
  for (int day = 0; day < kKillDays; ++day, at += kDay) {
    const pid_t pid = StartCollector(at);
    ASSERT_GT(pid, 0);
    const int wait_ms = day % 2 == 0 ? early(random) : delay(random);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::KillAfter(pid, wait_ms, &random));
    // The clean restart at the same moment.
    const pid_t again = StartCollector(at);
    ASSERT_GT(again, 0);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(again));
  }
  // Later passes hand over and load what still waits.
  for (int extra = 0; extra < 3; ++extra, at += kDay) {
    const pid_t pid = StartCollector(at);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(pid));
  }
  EXPECT_FALSE(zmo::FileExists((bin_ + "zmostati.dat").c_str())) << "nothing left unloaded";

  // Each step of each day exactly once.
  Rows expected;
  for (int day = 0; day < kKillDays; ++day) {
    for (const char* hour : {"10", "11"}) {
      expected.push_back({IsoDate(DayDate(day)), hour, "USER" + std::to_string(day),
                          std::to_string(kStepsAnHour)});
    }
  }
  EXPECT_EQ(Sorted(db_->Query("select to_char(diag_date,'yyyy-mm-dd'), diag_hour, "
                              "rtrim(user_name), sum(diag_count) from r3_progresp "
                              "group by 1, 2, 3")),
            Sorted(expected));
}

}  // namespace
