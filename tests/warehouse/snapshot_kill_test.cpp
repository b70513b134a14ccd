// zmosnap's cycles killed at random moments, each followed by a clean
// restart, on the PostgreSQL warehouse: every snapshot record that was
// handed over is in r3_cpu, r3_disk, r3_lan and r3_avail_sum exactly once,
// and every hour of the test holds whole cycles only. The collector runs
// the work loop's passes in a forked child of its own process group (fake
// clock and simulated systems kept); a second server answers its snapshot
// late, in real time, so that kills land in the collection as well as in
// the hand-over, the load and the aggregation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "loader_world.h"
#include "platform/clock.h"
#include "process_kills.h"
#include "rfc/simulator.h"
#include "zmo_test/host_env.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

namespace {

using dbtools_test::Read;
using dbtools_test::Write;
using warehouse_test::Rows;
using warehouse_test::Sorted;

const zmo_test::TestServer kW46{"sapw46.example.net", "W46", "00", "Secret46"};
const zmo_test::TestServer kW47{"sapw47.example.net", "W47", "00", "Secret47"};

constexpr int kRounds = 24;  // one kill each
// 2024-03-04 10:00:00 UTC; each round in an hour of its own, its two
// passes 5 and 15 minutes into it.
constexpr std::int64_t kFirstHour = 1709546400000LL;
constexpr std::int64_t kHour = 3600000LL;
constexpr std::int64_t kFirstPass = 5 * 60000LL;
constexpr std::int64_t kPassDistance = 10 * 60000LL;
// The second server's snapshot is ready this long after the call, while
// the first one's records are written already.
constexpr int kSlowServerMs = 250;
// Each wait of the collector (a poll of a server every 50 ms on its clock)
// takes this much real time, so that kills land in the collection.
constexpr int kRealWaitMs = 20;
// A process's first pass collects within about 0.35 s, its second hands
// the files over, loads, aggregates and archives them until about 1.5 s and
// collects again until about 1.9 s. Every other kill comes within the first
// collection, the others from the hand-over on.
constexpr int kEarlyKillDelayMs = 350;
constexpr int kLateKillFromMs = 300;
constexpr int kLateKillToMs = 1900;

// An archived record's hour ("2024-03-04 10") and the key of its source:
// destination, host and, for disks and LAN interfaces, the device.
struct Record {
  std::string hour;
  std::string source;
};

// The Oracle kind's fixed-width records: the time stamp after the
// destination (20), host (30), label (34), SID (3) and client (3); the
// availability record has no client; a device name (30) follows the stamp.
Record Cut(const std::string& kind, const std::string& line) {
  const size_t stamp_at = kind == "avl" ? 87 : 90;
  const std::string stamp = line.substr(stamp_at, 14);
  std::string source = line.substr(0, 50);
  if (kind == "dsk" || kind == "lan") source += line.substr(104, 30);
  return {stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
              stamp.substr(8, 2),
          source};
}

class SnapshotKillTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    SetLoaderRegistry({});
    namespace cfg = zmo::cfg;
    Set(cfg::kSnapInput, bin_ + "zmoserver.dat");
    Set(cfg::kSnapRunDays, "127");
    Set(cfg::kSnapSleepTime, "600");
    std::filesystem::create_directories(tmp_.File("sap"));
    // Systems that answer every snapshot call, the first with a database
    // host of its own.
    Write(tmp_.File("sap") + "/W46.sys", zmo_test::MadeSystem(kW46, ""));
    Write(tmp_.File("sap") + "/W47.sys",
          zmo_test::MadeSystem(
              kW47,
              "[function FILL_SNAPSHOT_DATA]\ndelay_ms = " + std::to_string(kSlowServerMs) + "\n",
              false));
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW46) + zmo_test::ServerRecord(kW47));
    SlowAggregation();
  }
  void TearDown() override {
    FreshCollector();
    LoaderWorld::TearDown();
  }

  // The aggregation takes real time in the test's database, so that kills
  // land in it: 0.3 s after its CPU rows, before the commit, and 0.1 s for
  // each mark at the commit itself (a deferred trigger), where a killed
  // client no longer stops the commit and its batch never archives.
  void SlowAggregation() {
    db_->Query(
        "create function zmo_test_wait() returns trigger language plpgsql as "
        "$$ begin perform pg_sleep(tg_argv[0]::float); return null; end $$");
    db_->Query(
        "create trigger zmo_test_wait_cpu after insert on r3_cpu for each statement "
        "execute function zmo_test_wait('0.3')");
    db_->Query(
        "create constraint trigger zmo_test_wait_commit after insert on r3_load_done "
        "deferrable initially deferred for each row execute function zmo_test_wait('0.1')");
  }

  // The collector's process state of a fresh start.
  void FreshCollector() {
    snapResetState();
    snapResetRecordState();
    snapResetRfcState();
    zmo::rfc::SimReset();
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = bin_;
    zmo_test::UseHost();
  }

  // The work loop's first passes of a process started in the hour given,
  // in a child process of its own group. A process's first cycle hands
  // nothing over; its second hands over and loads what the ones before
  // collected. With drain the second pass's files are handed over and
  // loaded too, as the next pass would, which leaves nothing to load.
  pid_t StartCollector(std::int64_t hour, int passes, bool drain = false) {
    return warehouse_test::StartInGroup([&] {
      FreshCollector();
      zmo::ScopedFakeClock clock(hour + kFirstPass);
      warehouse_test::WaitsTakeRealTime(&clock, hour + kFirstPass, kRealWaitMs);
      SnapState& st = snapState();
      if (initRfcTables() != 0) return;
      for (int pass = 0; pass < passes; ++pass) {
        clock.clock().SetMillis(hour + kFirstPass + pass * kPassDistance);
        ++st.runCounter;
        if (snapGetRunTimes() != 0 || !st.runFlag) continue;
        snapGetMetricFilters();
        snapStartQuery(0, nullptr);
      }
      if (drain) snapLoad();
    });
  }

  // The records of the archived files of a kind (cpu, dsk, lan, avl).
  std::vector<Record> Archived(const std::string& kind) {
    std::vector<Record> records;
    for (const std::string& f : ArchiveFiles()) {
      if (f.substr(f.rfind('/') + 1, kind.size() + 1) != kind + "_") continue;
      for (const std::string& line : zmo::SplitTextLines(Read(f))) {
        records.push_back(Cut(kind, line));
      }
    }
    return records;
  }

  zmo_test::ScopedEnv sap_{zmo::rfc::kSystemsEnv, tmp_.File("sap")};

  zmo_test::ScopedEnv asan_{"ASAN_OPTIONS", warehouse_test::OptionsWithoutLeakCheck()};
};

TEST_F(SnapshotKillTest, EverySnapshotRecordOnceAfterKillsAtRandomMoments) {
  std::mt19937 random(20240305);
  std::uniform_int_distribution<int> early(0, kEarlyKillDelayMs);
  std::uniform_int_distribution<int> late(kLateKillFromMs, kLateKillToMs);
  for (int round = 0; round < kRounds; ++round) {
    const std::int64_t hour = kFirstHour + round * kHour;
    const pid_t pid = StartCollector(hour, 2);
    ASSERT_GT(pid, 0);
    const int wait_ms = round % 2 == 0 ? early(random) : late(random);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::KillAfter(pid, wait_ms, &random));
    // The clean restart in the same hour: it settles what the kill left
    // and collects the hour's cycle; what waits is loaded by the next
    // round's second pass.
    const pid_t again = StartCollector(hour, 1);
    ASSERT_GT(again, 0);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(again));
  }
  const pid_t last = StartCollector(kFirstHour + kRounds * kHour, 2, true);
  ASSERT_GT(last, 0);
  ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(last));

  for (const char* f :
       {"zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan", "zmoavai.dat", "zmosnipsnap.cpu",
        "zmosnipsnap.dsk", "zmosnipsnap.lan", "zmosnapavai.dat", "zmosnipsnap.mark"}) {
    EXPECT_FALSE(zmo::FileExists((bin_ + f).c_str())) << f << ": nothing left unloaded";
  }

  const struct {
    const char* kind;
    const char* table;
  } kTables[] = {{"cpu", "r3_cpu"}, {"dsk", "r3_disk"}, {"lan", "r3_lan"}, {"avl", "r3_avail_sum"}};
  for (const auto& t : kTables) {
    std::map<std::string, std::map<std::string, int>> per_hour;  // hour, source: records
    for (const Record& r : Archived(t.kind)) ++per_hour[r.hour][r.source];
    // Whole cycles only: in each hour every source has as many records as
    // cycles ended there, at least the restart's one; and every hour of
    // the test is there.
    ASSERT_EQ(per_hour.size(), static_cast<size_t>(kRounds + 1)) << t.kind;
    Rows expected;
    for (const auto& [hour, sources] : per_hour) {
      const int cycles = sources.begin()->second;
      EXPECT_GE(cycles, 1) << t.kind << " " << hour;
      int records = 0;
      for (const auto& [source, n] : sources) {
        EXPECT_EQ(n, cycles) << t.kind << " " << hour << " " << source;
        records += n;
      }
      expected.push_back({hour, std::to_string(records)});
    }
    // Each archived record once in the warehouse.
    EXPECT_EQ(Sorted(db_->Query(std::string("select to_char(snap_date,'yyyy-mm-dd') || ' ' || "
                                            "snap_hour, sum(snap_count) from ") +
                                t.table + " group by 1")),
              Sorted(expected))
        << t.table;
  }
}

}  // namespace
