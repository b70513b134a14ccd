// The snapshot road into the warehouse: the files of a snapshot cycle in
// the Oracle kind's fixed-width form, the real zmoloader started as zmosnap
// starts it, its batch under the batch interpreter, sqlldr and sqlplus on
// PostgreSQL. The test works out from the records what r3_cpu, r3_disk,
// r3_lan, r3_user_sum and r3_avail_sum must hold, and compares.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "loader_world.h"
#include "platform/process.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::Read;
using dbtools_test::Write;
using ::testing::Not;
using warehouse_test::IsoDate;
using warehouse_test::Pad;
using warehouse_test::Rows;
using warehouse_test::RTrim;
using warehouse_test::Sorted;
using zmo_test::HasText;

const std::string kKey = "01002003004000153";  // -h 10.20.30.40 -i 153
const std::string kDest = Pad("sapw46_W46_00", 20);
const std::string kHost = Pad("sapw46.example.net", 30);
const std::string kLabel = Pad("W46_dbw46", 34);

std::string Figure(long long v) {
  char text[32];
  std::snprintf(text, sizeof(text), "%8lld", v);
  return text;
}

// The prefix of every snapshot record: destination, host, label, SID,
// client (not in the availability record) and time stamp.
std::string Prefix(const std::string& stamp, bool client = true) {
  return kDest + kHost + kLabel + "W46" + (client ? "100" : "") + stamp;
}

struct Cpu {
  std::string stamp;
  long long cpus, load1, load5, load15, user, system, idle, page_in, page_out, free, total, users,
      sessions;
};
struct Device {  // a disk (four figures) or a LAN interface (five)
  std::string stamp, name;
  std::vector<long long> figures;
};
struct Avail {
  std::string stamp;
  int up;
};

const std::vector<Cpu> kCpu = {
    {"20240304100500", 4, 135, 120, 98, 38, 9, 53, 12, 3, 812000, 8388608, 14, 32},
    {"20240304103500", 4, 140, 121, 99, 40, 10, 50, 10, 2, 800000, 8388608, 15, 31},
    {"20240304110500", 4, 90, 100, 97, 20, 5, 75, 1, 0, 900000, 8388607, 13, 30},
};
const std::vector<Device> kDisks = {
    {"20240304100500", "sda", {23, 1, 4, 6}},
    {"20240304103500", "sda", {25, 2, 5, 7}},
    {"20240304100500", "sdb", {61, 3, 11, 8}},
    {"20240304100500", "CDROM0", {1, 0, 0, 1}},     // never reaches r3_disk
    {"20240304100500", "_TOTAL", {90, 9, 9, 9}},    // never
    {"20240304103500", "sdc", {70, 4, 30, 40000}},  // a service time beyond 30000: never
    {"20240304110500", "sda", {30, 1, 2, 3}},
};
const std::vector<Device> kLans = {
    {"20240304100500", "eth0", {15000, 13200, 0, 1, 0}},
    {"20240304103500", "eth0", {15500, 13000, 1, 0, 2}},
};
const std::vector<Avail> kAvail = {
    {"20240304100500", 1}, {"20240304103500", 0}, {"20240304110500", 1}};

std::string Date(const std::string& stamp) { return IsoDate(stamp.substr(0, 8)); }
std::string Hour(const std::string& stamp) { return stamp.substr(8, 2); }

class SnapshotLoadTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Idle CPU and collisions switched off; no trend data.
    SetLoaderRegistry({zmo::kSwSnapIdleCPU, zmo::kSwSnapCollisions});
    std::vector<std::string> cpu, disk, lan, avail;
    for (const Cpu& c : kCpu) cpu.push_back(CpuRecord(c));
    for (const Device& d : kDisks) disk.push_back(DeviceRecord(d));
    for (const Device& l : kLans) lan.push_back(DeviceRecord(l));
    for (const Avail& a : kAvail) avail.push_back(Prefix(a.stamp, false) + std::to_string(a.up));
    Write(bin_ + "zmosnap.cpu", dbtools_test::Crlf(cpu));
    Write(bin_ + "zmosnap.dsk", dbtools_test::Crlf(disk));
    Write(bin_ + "zmosnap.lan", dbtools_test::Crlf(lan));
    Write(bin_ + "zmoavai.dat", dbtools_test::Crlf(avail));
  }

  static std::string CpuRecord(const Cpu& c) {
    std::string r = Prefix(c.stamp);
    for (long long v : {c.cpus, c.load1, c.load5, c.load15, c.user, c.system, c.idle, c.page_in,
                        c.page_out, c.free, c.total, c.users, c.sessions}) {
      r += Figure(v);
    }
    return r;
  }
  static std::string DeviceRecord(const Device& d) {
    std::string r = Prefix(d.stamp) + Pad(d.name, 30);
    for (long long v : d.figures) r += Figure(v);
    return r;
  }

  // The loader as zmosnap starts it at the beginning of its next cycle.
  int StartLoader() {
    const std::string program = bin_ + "zmoloader";
    const char* argv[] = {program.c_str(), " -a", "-p SNAP", " -h 10.20.30.40", " -i 153", nullptr};
    return static_cast<int>(_spawnv(_P_WAIT, program.c_str(), argv));
  }
};

TEST_F(SnapshotLoadTest, TheCycleFillsTheWarehouseWithTheSumsOfItsRecords) {
  ASSERT_EQ(StartLoader(), 0);
  const std::string log = Read(bin_ + "trace_zmo_load_snap.log");
  for (const auto& [table, rows] : std::vector<std::pair<char, size_t>>{
           {'v', kAvail.size()}, {'c', kCpu.size()}, {'d', kDisks.size()}, {'l', kLans.size()}}) {
    EXPECT_NE(log.find("sqlldr: " + std::to_string(rows) + " rows loaded into " + table + kKey +
                       ", 0 rejected"),
              std::string::npos)
        << log;
  }

  // r3_cpu: per hour and number of CPUs; without trend data the load and
  // memory figures are -9, and so is the idle CPU, which is switched off.
  std::map<std::vector<std::string>, std::vector<long long>> cpu;
  for (const Cpu& c : kCpu) {
    auto& s = cpu[{Date(c.stamp), Hour(c.stamp), std::to_string(c.cpus)}];
    s.resize(5);
    s[0] += 1, s[1] += c.user, s[2] += c.system, s[3] += c.users, s[4] += c.sessions;
  }
  Rows expected_cpu;
  for (const auto& [k, s] : cpu) {
    expected_cpu.push_back({kDest,
                            kHost,
                            kLabel,
                            "W46",
                            "100",
                            k[0],
                            k[1],
                            std::to_string(s[0]),
                            k[2],
                            "-9",
                            "-9",
                            "-9",
                            std::to_string(s[1]),
                            std::to_string(s[2]),
                            "-9",
                            "-9",
                            "-9",
                            "-9",
                            "-9",
                            std::to_string(s[3]),
                            std::to_string(s[4])});
  }
  EXPECT_EQ(Sorted(db_->Query(
                "select rfc_dest_str, host_name, system_label, sys_id, snap_client, snap_date, "
                "snap_hour, snap_count, num_of_cpu, load1_avg, load5_avg, load15_avg, user_cpu, "
                "system_cpu, idle_CPU, page_in_sec, page_out_sec, free_memory, tot_memory, "
                "num_users, num_modi from r3_cpu")),
            Sorted(expected_cpu));

  // r3_disk and r3_lan: per hour and device.
  auto devices = [](const std::vector<Device>& list, bool disk) {
    std::map<std::vector<std::string>, std::vector<long long>> sums;
    for (const Device& d : list) {
      if (disk &&
          (d.name.rfind("CD", 0) == 0 || d.name.substr(1, 5) == "TOTAL" || d.figures[3] > 30000)) {
        continue;
      }
      auto& s = sums[{Date(d.stamp), Hour(d.stamp), Pad(d.name, 30)}];
      s.resize(d.figures.size() + 1);
      s[0] += 1;
      for (size_t i = 0; i < d.figures.size(); ++i) s[i + 1] += d.figures[i];
    }
    Rows rows;
    for (const auto& [k, s] : sums) {
      std::vector<std::string> row = {
          kDest, kHost, kLabel, "W46", "100", k[0], k[1], std::to_string(s[0]), k[2]};
      for (size_t i = 1; i < s.size(); ++i) {
        bool collisions = !disk && i == 5;
        row.push_back(collisions ? "-9" : std::to_string(s[i]));
      }
      rows.push_back(row);
    }
    return rows;
  };
  const std::string prefix =
      "select rfc_dest_str, host_name, system_label, sys_id, snap_client, snap_date, snap_hour, "
      "snap_count, ";
  EXPECT_EQ(Sorted(db_->Query(prefix + "disk_name, utilization, queue_length, wait, service "
                                       "from r3_disk")),
            Sorted(devices(kDisks, true)));
  EXPECT_EQ(Sorted(db_->Query(prefix + "lan_name, packets_in, packets_out, in_errors, "
                                       "out_errors, collisions from r3_lan")),
            Sorted(devices(kLans, false)));

  // r3_user_sum: logged-on users and sessions, the hour's whole average.
  std::map<std::vector<std::string>, std::vector<long long>> per_hour;
  for (const Cpu& c : kCpu) {
    auto& s = per_hour[{Date(c.stamp), Hour(c.stamp)}];
    s.resize(3);
    s[0] += 1, s[1] += c.users, s[2] += c.sessions;
  }
  Rows expected_users;
  for (const auto& [k, s] : per_hour) {
    expected_users.push_back(
        {"L", RTrim(kLabel), kHost, kDest, std::to_string(s[1] / s[0]), k[0], k[1]});
    expected_users.push_back(
        {"S", RTrim(kLabel), kHost, kDest, std::to_string(s[2] / s[0]), k[0], k[1]});
  }
  EXPECT_EQ(Sorted(db_->Query("select record_type, system_label, host_name, rfc_dest_str, "
                              "user_count, diag_date, diag_hour from r3_user_sum")),
            Sorted(expected_users));

  // r3_avail_sum: checks and checks that found the system up, per hour.
  std::map<std::vector<std::string>, std::pair<long long, long long>> avail;
  for (const Avail& a : kAvail) {
    auto& s = avail[{Date(a.stamp), Hour(a.stamp)}];
    s.first += 1, s.second += a.up;
  }
  Rows expected_avail;
  for (const auto& [k, s] : avail) {
    expected_avail.push_back({kDest, kHost, kLabel, "W46", k[0], k[1], std::to_string(s.first),
                              std::to_string(s.second)});
  }
  EXPECT_EQ(Sorted(db_->Query("select rfc_dest_str, host_name, system_label, sys_id, snap_date, "
                              "snap_hour, snap_count, sys_available from r3_avail_sum")),
            Sorted(expected_avail));

  // Numbered by the database; no trend tables without trend data.
  for (const char* seq :
       {"cpu_seq_id from r3_cpu", "disk_seq_id from r3_disk", "lan_seq_id from r3_lan",
        "user_seq_id from r3_user_sum", "avail_seq_id from r3_avail_sum"}) {
    const std::string id = std::string(seq).substr(0, std::string(seq).find(' '));
    EXPECT_EQ(db_->Value("select min(" + id + ") = 1 and count(distinct " + id + ") = count(*) " +
                         std::string(seq).substr(id.size())),
              "t")
        << seq;
  }
  EXPECT_EQ(db_->Value("select count(*) from r3_cpu_sum"), "0");
  EXPECT_EQ(OtherTables(), "0") << "the staging tables are dropped";

  // The files are archived, the group logs gathered into the load log.
  EXPECT_EQ(ArchiveFiles().size(), 4u);
  for (const char* f : {"zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan", "zmoavai.dat",
                        "trace_zmo_load_cpu.log", "trace_zmo_load_avai.log"}) {
    EXPECT_FALSE(zmo::FileExists((bin_ + f).c_str())) << f;
  }
  const std::vector<std::string> progress = {
      "\tLoading of snap records has started", "\tLoading of snap records has ended",
      "\tAggregation of snap records has started", "\tAggregation of snap records has ended",
      "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane "
      "Suite Collection Ended"};
  EXPECT_EQ(Progress("trace_zmosnapsum.log", progress), progress);
  EXPECT_THAT(Read(bin_ + "trace_zmo_agg_snap.log"), Not(HasText("ERROR")));
}

// A cycle with the idle CPU switched off and no trend data, then one that
// collects everything: the daily averages of r3_cpu_sum, rebuilt from every
// hourly row, take each figure over the rows that carry it, so the first
// cycle's -9 neither lowers the idle CPU nor the paging averages.
TEST_F(SnapshotLoadTest, DailyAveragesLeaveOutTheRowsOfASwitchedOffFigure) {
  ASSERT_EQ(StartLoader(), 0);
  const std::vector<Cpu> second = {
      {"20240304140500", 4, 100, 100, 100, 30, 8, 50, 4, 2, 700000, 8388608, 12, 30},
      {"20240304143500", 4, 100, 100, 100, 34, 6, 60, 6, 4, 700000, 8388608, 12, 30},
  };
  std::vector<std::string> cpu;
  for (const Cpu& c : second) cpu.push_back(CpuRecord(c));
  Write(bin_ + "zmosnap.cpu", dbtools_test::Crlf(cpu));
  // zmosnap hands over all four files; this cycle's other three are empty.
  for (const char* f : {"zmosnap.dsk", "zmosnap.lan", "zmoavai.dat"}) Write(bin_ + f, "");
  Set(zmo::cfg::kProcessQRBData, "True");
  ASSERT_EQ(StartLoader(), 0);
  ASSERT_EQ(db_->Value("select count(*) from r3_cpu where idle_CPU = -9 and page_in_sec = -9"), "2")
      << "the first cycle's two hours";

  auto average = [](double sum, double count) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", sum / count);
    return std::string(text);
  };
  double user = 0, system = 0, idle = 0, page_in = 0, page_out = 0;
  for (const Cpu& c : kCpu) user += c.user, system += c.system;
  for (const Cpu& c : second) {
    user += c.user, system += c.system, idle += c.idle, page_in += c.page_in;
    page_out += c.page_out;
  }
  const double all = static_cast<double>(kCpu.size() + second.size());
  const double carried = static_cast<double>(second.size());
  EXPECT_EQ(db_->Query("select snap_date, round(page_in_sec, 4), round(page_out_sec, 4), "
                       "round(user_cpu, 4), round(system_cpu, 4), round(idle_CPU, 4) "
                       "from r3_cpu_sum"),
            (Rows{{Date(second[0].stamp), average(page_in, carried), average(page_out, carried),
                   average(user, all), average(system, all), average(idle, carried)}}));
}

}  // namespace

namespace {

// The sums the first cycle's load leaves in the warehouse, and the tags it
// marked there.
Rows WarehouseSums(warehouse_test::TestDatabase* db) {
  return db->Query(
      "select (select coalesce(sum(snap_count), 0) from r3_cpu), "
      "(select coalesce(sum(snap_count), 0) from r3_disk), "
      "(select coalesce(sum(snap_count), 0) from r3_lan), "
      "(select coalesce(sum(snap_count), 0) from r3_avail_sum), "
      "(select coalesce(sum(sys_available), 0) from r3_avail_sum), "
      "(select count(*) from r3_user_sum)");
}

const std::vector<const char*> kHandOverFiles = {"zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan",
                                                 "zmoavai.dat"};

// A kill after the aggregation's commit and before (or during) the archive
// moves leaves the files, or some of them, under their load names; the next
// load finds them marked and only archives them: no record twice.
struct LeftCase {
  const char* name;
  std::vector<const char*> left;  // the files still under their load names
};

class SnapshotMarkTest : public SnapshotLoadTest, public ::testing::WithParamInterface<LeftCase> {};

TEST_P(SnapshotMarkTest, FilesOfACommittedLoadAreArchivedNotLoadedAgain) {
  std::map<std::string, std::string> bytes;
  for (const char* f : kHandOverFiles) bytes[f] = Read(bin_ + f);
  ASSERT_EQ(StartLoader(), 0);
  const Rows once = WarehouseSums(db_.get());
  ASSERT_EQ(once, (Rows{{"3", "4", "2", "3", "2", "4"}}));
  EXPECT_EQ(db_->Value("select count(*) from r3_load_done"), "4") << "one tag a file";

  for (const char* f : GetParam().left) Write(bin_ + f, bytes[f]);
  ASSERT_EQ(StartLoader(), 0);
  EXPECT_EQ(WarehouseSums(db_.get()), once);
  for (const char* f : kHandOverFiles) {
    EXPECT_FALSE(zmo::FileExists((bin_ + f).c_str())) << f << " archived";
  }
  EXPECT_EQ(ArchiveFiles().size(), 4u + GetParam().left.size());
  EXPECT_EQ(OtherTables(), "0") << "no staging table made for a marked load";
  const std::vector<std::string> wanted = {
      "\tLoading of snap records has started", "\tLoading of snap records has ended",
      "\tAggregation of snap records has started", "\tAggregation of snap records has ended",
      "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended"};
  EXPECT_EQ(Progress("trace_zmosnapsum.log", wanted),
            (std::vector<std::string>{wanted[0], wanted[1], wanted[2], wanted[3], wanted[4],
                                      wanted[0], wanted[4]}))
      << "the second run loads and aggregates nothing";
}

INSTANTIATE_TEST_SUITE_P(
    KilledBeforeOrDuringTheMoves, SnapshotMarkTest,
    ::testing::Values(LeftCase{"AllFour", kHandOverFiles},
                      LeftCase{"LanAndAvailability", {"zmosnap.lan", "zmoavai.dat"}},
                      LeftCase{"AvailabilityAlone", {"zmoavai.dat"}}),
    [](const ::testing::TestParamInfo<LeftCase>& info) { return info.param.name; });

// A failed aggregation (here: the warehouse refuses the availability rows)
// is rolled back whole, as a kill before its commit is: the files stay for
// the next load, no tag is marked, and the batch's failure lines drop the
// run's staging tables. The next load makes and loads the staging tables
// anew and aggregates each record once.
TEST_F(SnapshotLoadTest, ALoadRunAgainAfterAnAggregationThatDidNotCommitCountsEachRecordOnce) {
  warehouse_test::Rows none = {{"0", "0", "0", "0", "0", "0"}};
  PGconn* admin = warehouse_test::ConnectAdmin(db_->name());
  warehouse_test::RunSql(admin,
                         "alter table r3_avail_sum add constraint refuse check (snap_count < 0)");
  EXPECT_EQ(StartLoader(), 2) << "the batch reported the failed load";
  EXPECT_EQ(WarehouseSums(db_.get()), none);
  EXPECT_EQ(db_->Value("select count(*) from r3_load_done"), "0");
  EXPECT_EQ(OtherTables(), "0") << "the failed run's staging tables are dropped";
  for (const char* f : kHandOverFiles) {
    EXPECT_TRUE(zmo::FileExists((bin_ + f).c_str())) << f << " kept";
  }
  EXPECT_TRUE(ArchiveFiles().empty());

  warehouse_test::RunSql(admin, "alter table r3_avail_sum drop constraint refuse");
  PQfinish(admin);
  ASSERT_EQ(StartLoader(), 0);
  EXPECT_EQ(WarehouseSums(db_.get()), (Rows{{"3", "4", "2", "3", "2", "4"}}));
  EXPECT_EQ(db_->Value("select count(*) from r3_load_done"), "4");
  EXPECT_EQ(OtherTables(), "0");
  EXPECT_EQ(ArchiveFiles().size(), 4u);
}

}  // namespace
