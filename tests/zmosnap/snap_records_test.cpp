// The snapshot and availability records: golden lines of every record kind
// in the forms of the five database kinds, the metric switches, the time
// stamp's zones, and the Oracle columns kept whatever the input.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/console_program.h"
#include "common/field_writer.h"
#include "common/message_catalog.h"
#include "common/runtime_state.h"
#include "common/sap_layouts.h"
#include "common/system_info.h"
#include "common/time_stamps.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "snap_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmosnap/records.h"

using namespace zmo::snap;

namespace {

using zmo_test::HasText;

std::string B(int n) { return std::string(static_cast<size_t>(n), ' '); }

using zmo_test::UtcMillis;

// A field of a table line, written as the library writes it.
void PutInt(void* line, const char* structure, const char* field, std::int32_t value) {
  const zmo::sap::FieldLayout* f = zmo::sap::FindField(zmo::sap::FindLayout(structure, ""), field);
  ASSERT_NE(f, nullptr) << field;
  auto* out = static_cast<unsigned char*>(line) + f->offset;
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(u >> (8 * i));
}

void PutText(void* line, const char* structure, const char* field, const std::string& text) {
  const zmo::sap::FieldLayout* f = zmo::sap::FindField(zmo::sap::FindLayout(structure, ""), field);
  ASSERT_NE(f, nullptr) << field;
  char* out = static_cast<char*>(line) + f->offset;
  std::memset(out, ' ', f->length);
  std::memcpy(out, text.data(), std::min<size_t>(text.size(), f->length));
}

struct Cpu {
  std::int32_t nbr = 4, load1 = 135, load5 = 120, load15 = 98, usr = 38, sys = 9, idle = 53;
};
struct Mem {
  std::int32_t in = 12, out = 3, free = 812000, phys = 8388608;
};

// The prefix of the test's server in each form, time stamp included.
const std::string kOraclePrefix = "appsrv1_PRD_00" + B(6) + "appsrv1.example.com" + B(11) +
                                  "PRD_dbprd" + B(25) + "PRD" + "100" + "20061207153005";
const std::string kMssqlPrefix =
    "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,100,12-07-2006 15:30:05";
const std::string kCorvaPrefix =
    "\"appsrv1_PRD_00\",\"appsrv1.example.com\",\"PRD_dbprd\",\"PRD\",100,2006-12-07-15.30.05."
    "000000";
const std::string kTesselPrefix =
    "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,100,2006-12-07 15:30:05";

class SnapRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::rfc::SimReset();
    zmo::ResetConsoleRuntime();
    zmo::SetConsoleProgram(zmo::SnapProgramConfig());
    zmo::Runtime().program_dir = env_.Dir();
    zmo::SetTraceSwitch(1);
    zmo::Runtime().utc_offset = 0;
    snapResetRecordState();
    snapResetRfcState();

    SnapRecordState& st = snapRecordState();
    st.server.host = "appsrv1.example.com";
    st.server.sid = "PRD";
    st.server.client = "100";
    st.server.sysnr = 0;
    zmo::setAllMetricSwitches(&st.switches);
    st.cpuFile = Open("zmosnipsnap.cpu");
    st.diskFile = Open("zmosnipsnap.dsk");
    st.lanFile = Open("zmosnipsnap.lan");
    st.cpuFileName = File("zmosnipsnap.cpu");
    avail_ = Open("zmosnapavai.dat");

    SnapRfcResults& r = snapRfcState().results;
    r.sid = "PRD";
    r.dbHost = "dbprd";
    r.users = 14;
    r.sessions = 32;
    r.usersRead = 1;

    tables_.cpuAll = ItCreate("TF_CPU_ALL", kTfCpuAllLeng, 0, 0);
    tables_.diskSingle = ItCreate("TF_DISK_SINGLE", kTfDiskSingleLeng, 0, 0);
    tables_.lanSingle = ItCreate("TF_LAN_SINGLE", kTfLanSingleLeng, 0, 0);
    tables_.memAll = ItCreate("TF_MEM_ALL", kTfMemAllLeng, 0, 0);
  }
  void TearDown() override {
    SnapRecordState& st = snapRecordState();
    for (std::FILE* f : {st.cpuFile, st.diskFile, st.lanFile, avail_}) {
      if (f != nullptr) std::fclose(f);
    }
    snapResetRecordState();
    snapResetRfcState();
    zmo::rfc::SimReset();
    zmo::ResetConsoleRuntime();
  }

  std::string File(const std::string& name) const { return env_.Dir() + name; }
  // Each set-up starts the files empty.
  std::FILE* Open(const char* name) { return std::fopen(File(name).c_str(), "wb"); }

  void AddCpu(const Cpu& c = Cpu()) {
    void* line = ItAppLine(tables_.cpuAll);
    PutInt(line, "CPU_ALL", "NBR_CPU", c.nbr);
    PutInt(line, "CPU_ALL", "LOAD1_AVG", c.load1);
    PutInt(line, "CPU_ALL", "LOAD5_AVG", c.load5);
    PutInt(line, "CPU_ALL", "LOAD15_AVG", c.load15);
    PutInt(line, "CPU_ALL", "USR_TOTAL", c.usr);
    PutInt(line, "CPU_ALL", "SYS_TOTAL", c.sys);
    PutInt(line, "CPU_ALL", "IDLE_TOTAL", c.idle);
  }
  void AddMem(const Mem& m = Mem()) {
    void* line = ItAppLine(tables_.memAll);
    PutInt(line, "MEM_ALL", "IN_PG_SEC", m.in);
    PutInt(line, "MEM_ALL", "OUT_PG_SEC", m.out);
    PutInt(line, "MEM_ALL", "FREE_MEM", m.free);
    PutInt(line, "MEM_ALL", "PHYS_MEM", m.phys);
  }
  void AddDisk(const std::string& name = "hd") {
    void* line = ItAppLine(tables_.diskSingle);
    PutText(line, "DSK_SINGLE", "DISKNAME", name);
    PutInt(line, "DSK_SINGLE", "UTIL", 23);
    PutInt(line, "DSK_SINGLE", "AVG_QUEUEL", 1);
    PutInt(line, "DSK_SINGLE", "AVG_WAIT", 4);
    PutInt(line, "DSK_SINGLE", "AVG_SERVIC", 6);
  }
  void AddLan(const std::string& name = "eth0") {
    void* line = ItAppLine(tables_.lanSingle);
    PutText(line, "LAN_SINGLE", "LANNAME", name);
    PutInt(line, "LAN_SINGLE", "IN_PACKETS", 15000);
    PutInt(line, "LAN_SINGLE", "OUT_PACKET", 13200);
    PutInt(line, "LAN_SINGLE", "IN_ERRORS", 0);
    PutInt(line, "LAN_SINGLE", "OUT_ERRORS", 1);
    PutInt(line, "LAN_SINGLE", "COLLISIONS", 0);
  }
  void AddAll() {
    AddCpu();
    AddMem();
    AddDisk();
    AddLan();
  }

  // What a collecting file holds so far.
  std::string Written(std::FILE* file, const char* name) {
    std::fflush(file);
    std::string data;
    EXPECT_EQ(zmo::ReadWholeFile(File(name), &data), 0) << name;
    return data;
  }
  std::string CpuFile() { return Written(snapRecordState().cpuFile, "zmosnipsnap.cpu"); }
  std::string DiskFile() { return Written(snapRecordState().diskFile, "zmosnipsnap.dsk"); }
  std::string LanFile() { return Written(snapRecordState().lanFile, "zmosnipsnap.lan"); }
  std::string AvailFile() { return Written(avail_, "zmosnapavai.dat"); }

  // The numbers of the one CPU line of the comma form, after the prefix.
  std::vector<std::string> CpuNumbers() {
    std::string line = CpuFile();
    std::vector<std::string> fields;
    if (line.size() < kMssqlPrefix.size() + 3) return fields;
    line = line.substr(kMssqlPrefix.size() + 1, line.size() - kMssqlPrefix.size() - 3);
    size_t pos = 0;
    while (true) {
      const size_t comma = line.find(',', pos);
      fields.push_back(line.substr(pos, comma - pos));
      if (comma == std::string::npos) break;
      pos = comma + 1;
    }
    return fields;
  }

  SnapTestEnv env_;
  zmo_test::ScopedEnv systems_{zmo::rfc::kSystemsEnv, std::nullopt};
  zmo_test::ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_{UtcMillis(2006, 12, 7, 15, 30, 5)};
  SnapRfcTables tables_;
  std::FILE* avail_ = nullptr;
};

TEST_F(SnapRecordsTest, EveryRecordKindInTheFormOfEachDatabaseKind) {
  struct Case {
    zmo::DbKind kind;
    std::string cpu, disk, lan, avail;
  };
  const std::string oracle_cpu = kOraclePrefix + "4" + B(7) + "135" + B(5) + "120" + B(5) + "98" +
                                 B(6) + "38" + B(6) + "9" + B(7) + "53" + B(6) + "12" + B(6) + "3" +
                                 B(7) + "812000" + B(2) + "8388608" + B(1) + "14" + B(6) + "32" +
                                 B(6) + "\r\n";
  const std::string oracle_disk =
      kOraclePrefix + "hd" + B(28) + "23" + B(6) + "1" + B(7) + "4" + B(7) + "6" + B(7) + "\r\n";
  const std::string oracle_lan = kOraclePrefix + "eth0" + B(26) + "15000" + B(3) + "13200" + B(3) +
                                 "0" + B(7) + "1" + B(7) + "0" + B(7) + "\r\n";
  const std::string oracle_avail = "appsrv1_PRD_00" + B(6) + "appsrv1.example.com" + B(11) +
                                   "PRD_dbprd" + B(25) + "PRD" + "20061207153005" + "1\r\n";
  const std::string comma_cpu = ",4,135,120,98,38,9,53,12,3,812000,8388608,14,32\r\n";
  const Case cases[] = {
      {zmo::DbKind::kOracle, oracle_cpu, oracle_disk, oracle_lan, oracle_avail},
      {zmo::DbKind::kCorva, kCorvaPrefix + comma_cpu, kCorvaPrefix + ",\"hd\",23,1,4,6\r\n",
       kCorvaPrefix + ",\"eth0\",15000,13200,0,1,0\r\n",
       "\"appsrv1_PRD_00\",\"appsrv1.example.com\",\"PRD_dbprd\",\"PRD\",2006-12-07-15.30.05."
       "000000,1\r\n"},
      {zmo::DbKind::kMssql, kMssqlPrefix + comma_cpu, kMssqlPrefix + ",hd,23,1,4,6\r\n",
       kMssqlPrefix + ",eth0,15000,13200,0,1,0\r\n",
       "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,12-07-2006 15:30:05,1\r\n"},
      {zmo::DbKind::kSybase, kMssqlPrefix + comma_cpu, kMssqlPrefix + ",hd,23,1,4,6\r\n",
       kMssqlPrefix + ",eth0,15000,13200,0,1,0\r\n",
       "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,12-07-2006 15:30:05,1\r\n"},
      {zmo::DbKind::kTessel, kTesselPrefix + comma_cpu, kTesselPrefix + ",hd,23,1,4,6\r\n",
       kTesselPrefix + ",eth0,15000,13200,0,1,0\r\n",
       "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,2006-12-07 15:30:05,1\r\n"},
  };
  ASSERT_EQ(oracle_cpu.size(), 208u + 2);
  ASSERT_EQ(oracle_disk.size(), 166u + 2);
  ASSERT_EQ(oracle_lan.size(), 174u + 2);
  ASSERT_EQ(oracle_avail.size(), 102u + 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    TearDown();
    SetUp();
    AddAll();
    zmo::setDatabaseKind(c.kind);
    ASSERT_EQ(writeSnapshotRecords(tables_), 0);
    ASSERT_EQ(writeAvailRecord(avail_, 1), 0);
    EXPECT_EQ(CpuFile(), c.cpu);
    EXPECT_EQ(DiskFile(), c.disk);
    EXPECT_EQ(LanFile(), c.lan);
    EXPECT_EQ(AvailFile(), c.avail);
  }
}

TEST_F(SnapRecordsTest, UnavailableServerIsLabelledNotKnownOrByTheCatalog) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  snapRecordState().server.sid = "QAS";  // the availability record takes the server line's
  ASSERT_EQ(writeAvailRecord(avail_, 0), 0);
  EXPECT_EQ(AvailFile(),
            "appsrv1_QAS_00,appsrv1.example.com,NOT KNOWN,QAS,12-07-2006 15:30:05,0\r\n");

  zmo_test::ScopedEnv locale("LC_ALL", std::string("C"));
  ASSERT_EQ(zmo::WriteFileAtomic(File("zmocatENU.cat"), "1513\tNot known\n"), 0);
  zmo::loadLang();
  ASSERT_NE(zmo::Catalog(), nullptr);
  ASSERT_EQ(writeAvailRecord(avail_, 0), 0);
  EXPECT_EQ(AvailFile(),
            "appsrv1_QAS_00,appsrv1.example.com,NOT KNOWN,QAS,12-07-2006 15:30:05,0\r\n"
            "appsrv1_QAS_00,appsrv1.example.com,Not known,QAS,12-07-2006 15:30:05,0\r\n");
}

TEST_F(SnapRecordsTest, DatabaseHostRecordsCarryDbInTheDestinationAndTheServersHost) {
  zmo::setDatabaseKind(zmo::DbKind::kTessel);
  snapRecordState().server.host = "/H/gw.example.net/S/3299/H/appsrv1.example.com";
  snapRecordState().server.sysnr = 7;
  AddDisk("data01");
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  snapRecordState().dbHostRecords = 1;
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(
      DiskFile(),
      "appsrv1_PRD_07,appsrv1.example.com,PRD_dbprd,PRD,100,2006-12-07 15:30:05,data01,23,1,4,6\r\n"
      "appsrv1_PRD_DB,appsrv1.example.com,PRD_dbprd,PRD,100,2006-12-07 "
      "15:30:05,data01,23,1,4,6\r\n");
}

TEST_F(SnapRecordsTest, CpuFieldsFollowTheirSwitches) {
  using Sw = zmo::MetricSwitch;
  struct Case {
    const char* what;
    std::vector<int> on;  // switches on, ProcessQRBData off
    std::vector<std::string> numbers;
  };
  const Case cases[] = {
      {"none", {}, {"4", "135", "120", "98", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
      {"total only",
       {Sw::kSwSnapTotalCPU},
       {"4", "135", "120", "98", "38", "9", "0", "0", "0", "0", "0", "0", "0"}},
      {"user",
       {Sw::kSwSnapUserCPU},
       {"4", "135", "120", "98", "38", "0", "0", "0", "0", "0", "0", "0", "0"}},
      {"system",
       {Sw::kSwSnapSystemCPU},
       {"4", "135", "120", "98", "0", "9", "0", "0", "0", "0", "0", "0", "0"}},
      {"idle",
       {Sw::kSwSnapIdleCPU},
       {"4", "135", "120", "98", "0", "0", "53", "0", "0", "0", "0", "0", "0"}},
      {"users and sessions",
       {Sw::kSwSnapUsers, Sw::kSwSnapSessions},
       {"4", "135", "120", "98", "0", "0", "0", "0", "0", "0", "0", "14", "32"}},
      {"every snapshot switch but no QRB data",
       {Sw::kSwSnapSystemCPU, Sw::kSwSnapUserCPU, Sw::kSwSnapIdleCPU, Sw::kSwSnapTotalCPU,
        Sw::kSwSnapUsers, Sw::kSwSnapSessions},
       {"4", "135", "120", "98", "38", "9", "53", "0", "0", "0", "0", "14", "32"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    zmo::setDatabaseKind(zmo::DbKind::kMssql);
    AddCpu();
    AddMem();
    zmo::MetricSwitches& sw = snapRecordState().switches;
    sw = zmo::MetricSwitches();
    sw.group[zmo::kGroupSnapCpu] = true;
    for (int s : c.on) sw.on[s] = true;
    ASSERT_EQ(writeSnapshotRecords(tables_), 0);
    EXPECT_EQ(CpuNumbers(), c.numbers);
  }
}

TEST_F(SnapRecordsTest, DiskAndLanFieldsFollowTheirSwitches) {
  using Sw = zmo::MetricSwitch;
  struct Case {
    int sw;
    std::string disk, lan;  // the figures after the device name
  };
  const Case cases[] = {
      {Sw::kSwSnapDiskUtilization, "23,0,0,0", "0,0,0,0,0"},
      {Sw::kSwSnapQueueLength, "0,1,0,0", "0,0,0,0,0"},
      {Sw::kSwSnapDiskWaitTime, "0,0,4,0", "0,0,0,0,0"},
      {Sw::kSwSnapServiceTime, "0,0,0,6", "0,0,0,0,0"},
      {Sw::kSwSnapPacketsIn, "0,0,0,0", "15000,0,0,0,0"},
      {Sw::kSwSnapPacketsOut, "0,0,0,0", "0,13200,0,0,0"},
      {Sw::kSwSnapInErrors, "0,0,0,0", "0,0,0,0,0"},
      {Sw::kSwSnapOutErrors, "0,0,0,0", "0,0,0,1,0"},
      {Sw::kSwSnapCollisions, "0,0,0,0", "0,0,0,0,0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::metricSwitchName(c.sw));
    TearDown();
    SetUp();
    zmo::setDatabaseKind(zmo::DbKind::kMssql);
    AddDisk();
    AddLan();
    zmo::MetricSwitches& sw = snapRecordState().switches;
    sw = zmo::MetricSwitches();
    sw.group[zmo::kGroupSnapDisk] = true;
    sw.group[zmo::kGroupSnapLan] = true;
    sw.on[c.sw] = true;
    ASSERT_EQ(writeSnapshotRecords(tables_), 0);
    EXPECT_EQ(DiskFile(), kMssqlPrefix + ",hd," + c.disk + "\r\n");
    EXPECT_EQ(LanFile(), kMssqlPrefix + ",eth0," + c.lan + "\r\n");
  }
}

TEST_F(SnapRecordsTest, GroupsDecideWhichFilesAreWritten) {
  struct Case {
    const char* what;
    bool all, cpu, disk, lan, avail;
  };
  const Case cases[] = {
      {"nothing on", false, false, false, false, false},
      {"CPU", false, true, false, false, false},
      {"disk", false, false, true, false, false},
      {"LAN", false, false, false, true, false},
      {"availability", false, false, false, false, true},
      {"QRB data sets every group", true, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    zmo::setDatabaseKind(zmo::DbKind::kMssql);
    AddAll();
    zmo::MetricSwitches& sw = snapRecordState().switches;
    sw = zmo::MetricSwitches();
    sw.all = c.all ? 1 : 0;
    sw.group[zmo::kGroupSnapCpu] = c.cpu;
    sw.group[zmo::kGroupSnapDisk] = c.disk;
    sw.group[zmo::kGroupSnapLan] = c.lan;
    sw.group[zmo::kGroupSnapAvail] = c.avail;
    ASSERT_EQ(writeSnapshotRecords(tables_), 0);
    ASSERT_EQ(writeAvailRecord(avail_, 1), 0);
    EXPECT_EQ(!CpuFile().empty(), c.all || c.cpu);
    EXPECT_EQ(!DiskFile().empty(), c.all || c.disk);
    EXPECT_EQ(!LanFile().empty(), c.all || c.lan);
    EXPECT_EQ(!AvailFile().empty(), c.all || c.avail);
  }
}

TEST_F(SnapRecordsTest, OneCpuRecordPerCpuLineAndNoneForAnEmptyTable) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(CpuFile(), "");

  AddCpu();
  Cpu second;
  second.nbr = 2;
  AddCpu(second);
  AddMem();
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(CpuFile(), kMssqlPrefix + ",4,135,120,98,38,9,53,12,3,812000,8388608,14,32\r\n" +
                           kMssqlPrefix + ",2,135,120,98,38,9,53,12,3,812000,8388608,14,32\r\n");
}

TEST_F(SnapRecordsTest, EmptyMemoryTableGivesZerosInTheirColumns) {
  zmo::setDatabaseKind(zmo::DbKind::kOracle);
  AddCpu();
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  const std::string line = CpuFile();
  ASSERT_EQ(line.size(), 208u + 2);
  EXPECT_EQ(line.substr(160, 32), "0" + B(7) + "0" + B(7) + "0" + B(7) + "0" + B(7));
  EXPECT_EQ(line.substr(192, 16), "14" + B(6) + "32" + B(6));
}

TEST_F(SnapRecordsTest, UnreadUserListGivesZeroCountsAndATraceNamingTheCpuFile) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  SnapRfcResults& r = snapRfcState().results;
  r.users = 0;
  r.sessions = 0;
  r.usersRead = 0;
  AddCpu();
  AddMem();
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(CpuNumbers().back(), "0");
  EXPECT_THAT(env_.Trace(), HasText("inserting <0> for user data in file <" +
                                    File("zmosnipsnap.cpu") + "> due to unsuccessfull xmi call\n"));
}

TEST_F(SnapRecordsTest, OracleLinesKeepTheirColumnsWhateverTheInput) {
  zmo::setDatabaseKind(zmo::DbKind::kOracle);
  snapRecordState().server.host = "a-very-long-application-server-name.example.com";
  snapRecordState().server.client = "1000";
  SnapRfcResults& r = snapRfcState().results;
  r.sid = "PRODUCTN";
  r.dbHost = "database-host-with-a-long-name-32";
  r.users = 2147483647;
  Cpu big;
  big.nbr = 2147483647;
  big.load1 = -2147483647 - 1;
  big.load5 = 99999999;
  big.load15 = -9999999;
  AddCpu(big);
  AddMem();
  AddDisk("a-disk-name-of-thirty-six-characters");
  AddLan("eth0eth0");
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  ASSERT_EQ(writeAvailRecord(avail_, 1), 0);

  const std::string cpu = CpuFile();
  ASSERT_EQ(cpu.size(), 208u + 2);
  EXPECT_EQ(cpu.substr(0, 20), "a-very-long-applicat");
  EXPECT_EQ(cpu.substr(20, 30), "a-very-long-application-server");
  EXPECT_EQ(cpu.substr(50, 34), "PRODUCTN_database-host-with-a-long");
  EXPECT_EQ(cpu.substr(84, 3), "PRO");
  EXPECT_EQ(cpu.substr(87, 3), "100");
  EXPECT_EQ(cpu.substr(104, 32), std::string("99999999") + "-9999999" + "99999999" + "-9999999");
  EXPECT_EQ(cpu.substr(192, 8), "99999999");
  EXPECT_EQ(DiskFile().size(), 166u + 2);
  EXPECT_EQ(DiskFile().substr(104, 30), "a-disk-name-of-thirty-six-char");
  EXPECT_EQ(LanFile().size(), 174u + 2);
  EXPECT_EQ(LanFile().substr(104, 30), "eth0eth0" + B(22));
  EXPECT_EQ(AvailFile().size(), 102u + 2);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace,
              HasText("callFillSnapshotData() a text longer than its column was cut to it\n"));
  EXPECT_THAT(trace,
              HasText("callFillSnapshotData() a figure wider than its 8 columns was written as "
                      "the nearest that "
                      "fits\n"));
  EXPECT_THAT(trace, HasText("writeAvailRecord() a text longer than its column was cut to it\n"));
}

TEST_F(SnapRecordsTest, OtherKindsWriteLongTextsAndNumbersWhole) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  snapRfcState().results.users = 2147483647;
  Cpu big;
  big.nbr = -2147483647 - 1;
  AddCpu(big);
  AddDisk("a-disk-name-of-thirty-six-characters");
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(CpuNumbers().front(), "-2147483648");
  EXPECT_EQ(CpuNumbers()[11], "2147483647");
  EXPECT_EQ(DiskFile(), kMssqlPrefix + ",a-disk-name-of-thirty-six-characters,23,1,4,6\r\n");
}

// A CR, LF or TAB received in a device name or a system's database host is
// written as a blank in every kind, so that each record stays one line.
TEST_F(SnapRecordsTest, ControlBytesInReceivedNamesKeepEachRecordOneLine) {
  const struct {
    zmo::DbKind kind;
    const char* disk;   // the name field of the disk record
    const char* label;  // SYSTEM_LABEL
  } cases[] = {
      {zmo::DbKind::kOracle, "hd 1 x 2                      ",
       "PRD_db 1                          "},
      {zmo::DbKind::kCorva, "\"hd 1 x 2\"", "\"PRD_db 1\""},
      {zmo::DbKind::kMssql, "hd 1 x 2", "PRD_db 1"},
      {zmo::DbKind::kSybase, "hd 1 x 2", "PRD_db 1"},
      {zmo::DbKind::kTessel, "hd 1 x 2", "PRD_db 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    TearDown();
    SetUp();
    zmo::setDatabaseKind(c.kind);
    snapRfcState().results.dbHost = "db\n1";
    AddDisk("hd\r1\nx\t2");
    ASSERT_EQ(writeSnapshotRecords(tables_), 0);
    const std::string disk = DiskFile();
    ASSERT_GE(disk.size(), 2u);
    EXPECT_EQ(disk.find_first_of("\r\n"), disk.size() - 2) << disk;
    EXPECT_THAT(disk, HasText(c.disk));
    EXPECT_THAT(disk, HasText(c.label));
  }
}

TEST_F(SnapRecordsTest, DeviceNamesEndAtTheirFirstBlank) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  AddDisk("c0 t0 d0");
  AddLan("lo");
  ASSERT_EQ(writeSnapshotRecords(tables_), 0);
  EXPECT_EQ(DiskFile(), kMssqlPrefix + ",c0,23,1,4,6\r\n");
  EXPECT_EQ(LanFile(), kMssqlPrefix + ",lo,15000,13200,0,1,0\r\n");
}

TEST_F(SnapRecordsTest, StopRequestEndsTheWritingBeforeTheNextLine) {
  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  AddAll();
  zmo::Runtime().service.disconnect.store(1);
  EXPECT_EQ(writeSnapshotRecords(tables_), 28);
  EXPECT_EQ(CpuFile(), "");
  EXPECT_EQ(DiskFile(), "");
  EXPECT_EQ(LanFile(), "");
}

TEST_F(SnapRecordsTest, MissingFileOrStampFormIsAFailureWithNothingWritten) {
  AddAll();
  zmo::setDatabaseKind(zmo::DbKind::kNone);
  EXPECT_EQ(writeSnapshotRecords(tables_), 1);
  EXPECT_EQ(writeAvailRecord(avail_, 1), 1);
  EXPECT_EQ(CpuFile(), "");
  EXPECT_EQ(AvailFile(), "");

  zmo::setDatabaseKind(zmo::DbKind::kMssql);
  EXPECT_EQ(writeRecordPrefix(nullptr), 1);
  EXPECT_EQ(writeAvailRecord(nullptr, 1), 1);
  std::fclose(snapRecordState().cpuFile);
  snapRecordState().cpuFile = nullptr;
  EXPECT_EQ(writeSnapshotRecords(tables_), 1);
  EXPECT_EQ(DiskFile(), "");
}

TEST_F(SnapRecordsTest, TimeStampIsUtcWithTheGmtFlagElseTheSapSystemsTime) {
  struct Case {
    const char* what;
    const char* tz;
    std::int64_t now_ms;
    int gmt;
    int remote_offset;
    const char* stamp;  // Tessel form
  };
  const Case cases[] = {
      {"UTC host, no shift", "UTC0", UtcMillis(2006, 12, 7, 15, 30, 5), 0, 0,
       "2006-12-07 15:30:05"},
      {"winter host, GMT", "CET-1CEST,M3.5.0,M10.5.0/3", UtcMillis(2006, 12, 7, 15, 30, 5), 1, 7200,
       "2006-12-07 15:30:05"},
      {"summer host, GMT", "CET-1CEST,M3.5.0,M10.5.0/3", UtcMillis(2006, 7, 1, 12, 0, 0), 1, 0,
       "2006-07-01 12:00:00"},
      {"winter host, remote two hours east", "CET-1CEST,M3.5.0,M10.5.0/3",
       UtcMillis(2006, 12, 7, 15, 30, 5), 0, 7200, "2006-12-07 17:30:05"},
      {"remote five hours west", "UTC0", UtcMillis(2006, 12, 7, 15, 30, 5), 0, -18000,
       "2006-12-07 10:30:05"},
      {"shift over the year's end", "UTC0", UtcMillis(2006, 12, 31, 23, 30, 0), 0, 3600,
       "2007-01-01 00:30:00"},
      {"summer host, remote in its winter", "EST5EDT,M3.2.0,M11.1.0",
       UtcMillis(2006, 7, 1, 12, 0, 0), 0, 3600, "2006-07-01 13:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zmo_test::ScopedTz tz(c.tz);
    clock_->SetMillis(c.now_ms);
    zmo::getTotalLocalOffsetUTC();
    snapRecordState().gmt = c.gmt;
    snapRfcState().results.remoteOffset = c.remote_offset;
    char stamp[zmo::kTimeStampMax];
    ASSERT_GT(zmo::formatTimeStamp(stamp, zmo::DbKind::kTessel, snapRecordTime()), 0);
    EXPECT_STREQ(stamp, c.stamp);
  }
}

TEST_F(SnapRecordsTest, AvailabilityRecordForgetsTheServersSystemInformation) {
  zmo::setDatabaseKind(zmo::DbKind::kTessel);
  snapRfcState().results.remoteOffset = 3600;
  snapRfcState().results.dbDestination = "DBPRD";
  ASSERT_EQ(writeAvailRecord(avail_, 1), 0);
  EXPECT_EQ(snapRfcState().results.remoteOffset, 0);
  EXPECT_EQ(snapRfcState().results.dbHost, "");
  EXPECT_EQ(snapRfcState().results.dbDestination, "");
  EXPECT_EQ(snapRfcState().results.usersRead, 0);
  // The next server, whose system information never came, has no shift.
  ASSERT_EQ(writeAvailRecord(avail_, 0), 0);
  EXPECT_EQ(AvailFile(),
            "appsrv1_PRD_00,appsrv1.example.com,PRD_dbprd,PRD,2006-12-07 16:30:05,1\r\n"
            "appsrv1_PRD_00,appsrv1.example.com,NOT KNOWN,PRD,2006-12-07 15:30:05,0\r\n");

  // Nothing written, but forgotten all the same.
  snapRecordState().switches = zmo::MetricSwitches();
  snapRfcState().results.remoteOffset = 3600;
  ASSERT_EQ(writeAvailRecord(avail_, 1), 0);
  EXPECT_EQ(snapRfcState().results.remoteOffset, 0);
}

TEST_F(SnapRecordsTest, TableFieldsAreReadByTheLayoutAndWithinTheLine) {
  unsigned char line[kTfCpuAllLeng] = {};
  PutInt(line, "CPU_ALL", "IDLE_TOTAL", -5);
  EXPECT_EQ(snapLineInt(line, sizeof line, "CPU_ALL", "IDLE_TOTAL"), -5);
  EXPECT_EQ(snapLineInt(line, sizeof line, "CPU_ALL", "NO_SUCH_FIELD"), 0);
  EXPECT_EQ(snapLineInt(line, 40, "CPU_ALL", "IDLE_TOTAL"),
            0);  // the field lies beyond a short line
  EXPECT_EQ(snapLineInt(nullptr, sizeof line, "CPU_ALL", "IDLE_TOTAL"), 0);

  char disk[kTfDiskSingleLeng];
  std::memset(disk, 'x', sizeof disk);  // no blank, no zero: the name fills its 36 characters
  EXPECT_EQ(snapLineWord(disk, sizeof disk, "DSK_SINGLE", "DISKNAME"), std::string(36, 'x'));
}

}  // namespace
