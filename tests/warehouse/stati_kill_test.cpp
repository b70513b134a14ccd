// Collections killed at random moments on the real warehouse, each kill
// followed by what a user would do next: the service's next pass, then a
// zmostati -nr of the same interval. At the end every record of every
// collected interval is in the warehouse exactly once.
//
// The collector runs in a child process of its own process group (forked,
// so it keeps the fake clock and the simulated systems); a second server
// answers late, in real time, so kills land in the collection too. A kill
// ends the collector alone (its loader and batch run on), its whole tree,
// the newest process of the tree (the loader, the batch interpreter, a
// tool), or the warehouse backend that runs the load check or the
// aggregation. The kills are seeded and local, the waits for the processes
// bounded; the campaign is split into shards that ctest runs side by side.
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

// One shard of the campaign: its seed and its rounds, one interval (a day)
// and one kill each.
struct KillShard {
  const char* name;
  unsigned seed;
  int rounds;
};
constexpr KillShard kShards[] = {
    {"A", 20240304, 11}, {"B", 20240305, 11}, {"C", 20240306, 11}, {"D", 20240307, 11}};

std::string DayDate(int day) {  // 2024-03-04 plus day, as YYYYMMDD
  const int d = 4 + day;
  return "202403" + std::string(1, static_cast<char>('0' + d / 10)) +
         static_cast<char>('0' + d % 10);
}

std::string KillSystemFile(int days) {
  std::string text =
      "[logon]\nhost = sapw46.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
      "password = " +
      kW46.password +
      "\nlanguage = E\n\n[system_info]\nsysid = W46\ndbhost = dbw46\nrelease = 46C\n";
  int wp = 1;
  for (int day = 0; day < days; ++day) {
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

// The warehouse tables whose lock a backend meets: the load check's marks,
// the aggregation's first statement, and one in its middle.
constexpr const char* kBackendTables[] = {"r3_load_done", "r3_interval_done", "r3_tx_sla"};

class KillTest : public StatiWorld, public ::testing::WithParamInterface<KillShard> {
 protected:
  void SetUp() override {
    StatiWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Write(tmp_.File("sap") + "/W46.sys", KillSystemFile(GetParam().rounds + 3));
    Write(tmp_.File("sap") + "/W47.sys",
          "[logon]\nhost = sapw47.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
          "password = " +
              kW47.password +
              "\nlanguage = E\n\n[system_info]\nsysid = W47\ndbhost = dbw47\nrelease = 46C\n\n"
              "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = " +
              std::to_string(kSlowServerMs) + "\n");
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW46) + zmo_test::ServerRecord(kW47));
  }

  // The service's passes at the moment given, in a child process of its
  // own group: passes until nothing is due (at most three: a pass that
  // settled a cut-short run decides again). With slow, the collector's
  // waits (its polls of the slow server) take real time, so that a kill can
  // land while the collection is under way.
  pid_t StartService(std::int64_t at, bool slow) {
    return StartInGroup([&] {
      PrepareStatiCollector(bin_);
      zmo::ScopedFakeClock clock(at);
      if (slow) WaitsTakeRealTime(&clock, at);
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

  // zmostati -nr at the moment given, as a user types it, in a child
  // process of its own group.
  pid_t StartRunOnce(std::int64_t at) {
    return StartInGroup([&] {
      PrepareStatiCollector(bin_);
      zmo::ScopedFakeClock clock(at);
      char program[] = "zmostati";
      char option[] = "-nr";
      char* argv[] = {program, option, nullptr};
      statiMain(2, argv);
    });
  }

  zmo_test::ScopedEnv asan_{"ASAN_OPTIONS", OptionsWithoutLeakCheck()};
};

TEST_P(KillTest, EveryRecordOnceAfterKillsAtRandomMomentsAndTheRunsAUserMakesThen) {
  const KillShard& shard = GetParam();
  std::mt19937 random(shard.seed);
  std::uniform_int_distribution<int> early(0, kEarlyKillDelayMs);
  std::uniform_int_distribution<int> delay(0, kMaxKillDelayMs);
  std::uniform_int_distribution<size_t> table(0, std::size(kBackendTables) - 1);
  std::int64_t at = kFirstRun;
  int backends = 0;
  for (int day = 0; day < shard.rounds; ++day, at += kDay) {
    // A third of the kills each: early, where the collection and the
    // hand-over are; anywhere in the round; a backend of the warehouse.
    switch (day % 3) {
      case 0:
      case 1: {
        const pid_t pid = StartService(at, true);
        ASSERT_GT(pid, 0);
        const int wait_ms = day % 3 == 0 ? early(random) : delay(random);
        ASSERT_NO_FATAL_FAILURE(KillAfter(pid, wait_ms, &random));
        break;
      }
      default: {
        const char* locked = kBackendTables[table(random)];
        const bool ended =
            TerminateBackendAt(db_->name(), locked, [&] { return StartService(at, false); });
        ASSERT_TRUE(ended) << "no backend came to " << locked;
        ++backends;
        break;
      }
    }
    // What a user does then: the service's next pass, and meanwhile a run
    // of the same interval by hand; both are started before either is
    // waited for.
    const pid_t service = StartService(at, false);
    const pid_t by_hand = StartRunOnce(at);
    for (pid_t again : {service, by_hand}) {
      ASSERT_GT(again, 0);
      ASSERT_NO_FATAL_FAILURE(WaitForGroup(again));
    }
  }
  EXPECT_GT(backends, 0);
  // Later passes hand over and load what still waits.
  for (int extra = 0; extra < 3; ++extra, at += kDay) {
    const pid_t pid = StartService(at, false);
    ASSERT_NO_FATAL_FAILURE(WaitForGroup(pid));
  }
  EXPECT_FALSE(zmo::FileExists((bin_ + "zmostati.dat").c_str())) << "nothing left unloaded";

  // Each step of each day exactly once, in the hourly rows and in the
  // service levels of all transactions, which are summed from this run's
  // rows of r3_progresp.
  Rows steps, levels;
  for (int day = 0; day < shard.rounds + 3; ++day) {
    for (const char* hour : {"10", "11"}) {
      steps.push_back({IsoDate(DayDate(day)), hour, "USER" + std::to_string(day),
                       std::to_string(kStepsAnHour)});
    }
    levels.push_back({IsoDate(DayDate(day)), std::to_string(2 * kStepsAnHour)});
  }
  EXPECT_EQ(Sorted(db_->Query("select to_char(diag_date,'yyyy-mm-dd'), diag_hour, "
                              "rtrim(user_name), sum(diag_count) from r3_progresp "
                              "group by 1, 2, 3")),
            Sorted(steps));
  EXPECT_EQ(Sorted(db_->Query("select to_char(record_date,'yyyy-mm-dd'), sum(tot_count) from "
                              "r3_tx_sla where group_name = 'All Transactions' group by 1")),
            Sorted(levels));
}

INSTANTIATE_TEST_SUITE_P(Shards, KillTest, ::testing::ValuesIn(kShards),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
