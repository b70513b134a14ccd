// Each kind from the collector's call to the archived file: the built
// zmoloader started as the collectors start it, its batch run by the batch
// interpreter, the warehouse tool stand-ins called and recorded, the loaded
// files moved to ArchiveData, the archives of the retention dates deleted
// and the progress lines in the summary log.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "loader_test_env.h"
#include "platform/process.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::CrlfLines;
using loader_test::Day;
using loader_test::LoaderTest;
using loader_test::Program;
using ::testing::Not;
using zmo_test::HasText;

constexpr const char* kKey = "01002003004000153";
constexpr const char* kEnded =
    "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos)) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

// A data line of n comma-separated fields.
std::string Delimited(size_t n) {
  std::string row = "RFC_01";
  for (size_t i = 1; i < n; ++i) row += i == 4 ? ",2004-01-10 15:30:00" : ",42";
  return row;
}

// A fixed-width record of the given length with a time stamp at column at
// (1-based), or none when at is 0.
std::string Fixed(size_t length, size_t at) {
  std::string row(length, '1');
  if (at > 0) row.replace(at - 1, 14, "20040110153000");
  return row;
}

struct Group {
  char table;
  const char* file;
  size_t fields;
  size_t record_length;  // Oracle
  size_t date_at;        // Oracle
};
constexpr Group kStatiGroup = {'s', "zmostati.dat", 24, 307, 0};
constexpr Group kSnapGroups[] = {
    {'c', "zmosnap.cpu", 19, 208, 91},
    {'d', "zmosnap.dsk", 11, 166, 91},
    {'l', "zmosnap.lan", 12, 174, 91},
    {'v', "zmoavai.dat", 6, 102, 88},
};

struct E2eCase {
  const char* name;
  const char* db;
  bool snap;
  const char* load_log;            // where the load reports end up
  std::vector<std::string> calls;  // @BIN@ for BinDir, @KEY@ for the table key
};

// The call log shows every password as ****; the golden batch files hold the
// clear one where the loader puts it.
const std::string kIsql = "isql -Uzmouser -P**** -SWHSE -i ";
const std::string kLogon = "zmouser/****@WHSE";
const std::string kBcpMssql =
    " -e @BIN@/trace_zmo_out_put_daily.bad -c -t , -Uzmouser -P**** -SWHSE";
const std::string kBcpSybase =
    " -c -Uzmouser -P**** -t , -e @BIN@/trace_zmo_out_put_daily.bad -SWHSE";
const std::string kTessel = "tesseledit300 /s WHSE /d ";

std::string Ldr(const char* par, const char* log) {
  return "sqlldr userid=" + kLogon + " control=@BIN@/" + par + " log=@BIN@/" + log +
         " bindsize=262144";
}

const E2eCase kCases[] = {
    // The check of the warehouse's load marks comes first (Oracle kind).
    {"OracleStati",
     "Oracle",
     false,
     "trace_zmo_load_stati.log",
     {"sqlplus " + kLogon + " @@BIN@/zmocheck_stati.sql",
      "sqlplus " + kLogon + " @@BIN@/zmostage_stati.sql",
      Ldr("zmoklvload.par", "trace_zmo_load_stati.log"),
      "sqlplus " + kLogon + " @@BIN@/zmostati.sql"}},
    {"OracleSnap",
     "Oracle",
     true,
     "trace_zmo_load_snap.log",
     {"sqlplus " + kLogon + " @@BIN@/zmocheck_snap.sql",
      "sqlplus " + kLogon + " @@BIN@/zmostage_snap.sql",
      Ldr("zmosnap_cpu.par", "trace_zmo_load_cpu.log"),
      Ldr("zmosnap_dsk.par", "trace_zmo_load_disk.log"),
      Ldr("zmosnap_lan.par", "trace_zmo_load_lan.log"),
      Ldr("zmosnap_avai.par", "trace_zmo_load_avai.log"),
      "sqlplus " + kLogon + " @@BIN@/zmosnap.sql"}},
    {"MssqlStati",
     "MSSQL",
     false,
     "trace_zmo_load_stati.log",
     {kIsql + "@BIN@/BulkOn.sql",
      kIsql + "@BIN@/zmostage_stati.sql -e -o @BIN@/trace_zmo_stage_stati.log",
      "bcp r3klv..s@KEY@ in @BIN@/zmostati.dat" + kBcpMssql, kIsql + "@BIN@/BulkOff.sql",
      kIsql + "@BIN@/zmostati.sql -e -o @BIN@/trace_zmo_agg_stati.log"}},
    {"MssqlSnap",
     "MSSQL",
     true,
     "trace_zmo_load_snap.log",
     {kIsql + "@BIN@/BulkOn.sql",
      kIsql + "@BIN@/zmostage_snap.sql -e -o @BIN@/trace_zmo_stage_snap.log",
      "bcp r3klv..c@KEY@ in @BIN@/zmosnap.cpu" + kBcpMssql,
      "bcp r3klv..d@KEY@ in @BIN@/zmosnap.dsk" + kBcpMssql,
      "bcp r3klv..l@KEY@ in @BIN@/zmosnap.lan" + kBcpMssql,
      "bcp r3klv..v@KEY@ in @BIN@/zmoavai.dat" + kBcpMssql, kIsql + "@BIN@/BulkOff.sql",
      kIsql + "@BIN@/zmosnap.sql -e -o @BIN@/trace_zmo_agg_snap.log"}},
    {"SybaseStati",
     "Sybase",
     false,
     "trace_zmo_load_stati.log",
     {kIsql + "BulkOn.sql",
      kIsql + "@BIN@/zmostage_stati.sql -e -o @BIN@/trace_zmo_stage_stati.log",
      "bcp r3klv..s@KEY@ in @BIN@/zmostati.dat" + kBcpSybase,
      kIsql + "@BIN@/zmostati.sql -e -o @BIN@/trace_zmo_agg_stati.log",
      kIsql + "@BIN@/BulkOff.sql"}},
    {"SybaseSnap",
     "Sybase",
     true,
     "trace_zmo_load_snap.log",
     {kIsql + "BulkOn.sql", kIsql + "@BIN@/zmostage_snap.sql -e -o @BIN@/trace_zmo_stage_snap.log",
      "bcp r3klv..c@KEY@ in @BIN@/zmosnap.cpu" + kBcpSybase,
      "bcp r3klv..d@KEY@ in @BIN@/zmosnap.dsk" + kBcpSybase,
      "bcp r3klv..l@KEY@ in @BIN@/zmosnap.lan" + kBcpSybase,
      "bcp r3klv..v@KEY@ in @BIN@/zmoavai.dat" + kBcpSybase,
      kIsql + "@BIN@/zmosnap.sql -e -o @BIN@/trace_zmo_agg_snap.log", kIsql + "@BIN@/BulkOff.sql"}},
    {"TesselStati",
     "Tessel",
     false,
     "trace_zmo_load_stati.log",
     {kTessel + "r3klv /u zmouser /pw **** @BIN@/zmoload_stati.sql /exec /ns /nomsg /output "
                "@BIN@/trace_zmo_load_stati.log /exit",
      kTessel + "WHSE /u zmouser /pw **** @BIN@/zmostati.sql /exec /ns /nomsg /output "
                "@BIN@/trace_zmo_agg_stati.log /exit"}},
    {"TesselSnap",
     "Tessel",
     true,
     "trace_zmo_load_snap.log",
     {kTessel + "r3klv /u zmouser /pw **** @BIN@/zmoload_snap.sql /exec /ns /nomsg /output "
                "@BIN@/trace_zmo_load_snap.log /exit",
      kTessel + "WHSE /u zmouser /pw **** @BIN@/zmosnap.sql /exec /ns /nomsg /output "
                "@BIN@/trace_zmo_agg_snap.log /exit"}},
    {"CorvaStati",
     "Corva",
     false,
     "trace_zmo_load_stati.log",
     {"corvacmd @BIN@/zmoload2_stati.bat", "corva -tvf @BIN@/zmoload_stati.sql",
      "corva -tvf @BIN@/zmostati.sql"}},
    {"CorvaSnap",
     "Corva",
     true,
     "trace_zmo_load_snap.log",
     {"corvacmd @BIN@/zmoload2_snap.bat", "corva -tvf @BIN@/zmoload_snap.sql",
      "corva -tvf @BIN@/zmosnap.sql"}},
};

// The built programs started as the collectors start them, with the tool
// stand-ins first on PATH recording their calls.
class RecordedRun : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    std::filesystem::create_symlink(Program("zmomsg"), Bin("zmomsg"));
  }
  std::string CallLog() const { return dir_ / "calls.log"; }
  // The recorded calls, BinDir written as @BIN@.
  std::vector<std::string> Calls() {
    if (!zmo::FileExists(CallLog().c_str())) return {};
    return CrlfLines(Replace(Replace(Read(CallLog()), "\n", "\r\n"), bin_dir(), "@BIN@"));
  }

  // Starts a program as the collectors do and waits for it, with the
  // stand-ins first on PATH; the tools named in fail (ZMO_DBTOOLS_FAIL)
  // fail.
  int Start(const std::string& program, std::vector<std::string> elements,
            const std::optional<std::string>& fail = std::nullopt) {
    zmo_test::ScopedEnv path("PATH", Program("dbtools"));
    zmo_test::ScopedEnv calls("ZMO_DBTOOLS_LOG", CallLog());
    zmo_test::ScopedEnv failing("ZMO_DBTOOLS_FAIL", fail);
    elements.insert(elements.begin(), program);
    std::vector<const char*> argv;
    for (const std::string& e : elements) argv.push_back(e.c_str());
    argv.push_back(nullptr);
    return static_cast<int>(_spawnv(_P_WAIT, program.c_str(), argv.data()));
  }
  void WriteData(const E2eCase& c) {
    std::vector<Group> groups;
    if (c.snap) {
      groups.assign(std::begin(kSnapGroups), std::end(kSnapGroups));
    } else {
      groups.push_back(kStatiGroup);
    }
    for (const Group& g : groups) {
      std::string row =
          std::string(c.db) == "Oracle" ? Fixed(g.record_length, g.date_at) : Delimited(g.fields);
      ASSERT_EQ(zmo::WriteFileAtomic(Bin(g.file), row + "\r\n" + row + "\r\n"), 0);
      tables_.push_back(std::string(1, g.table) + kKey);
    }
  }
  void Touch(const std::string& name) {
    ASSERT_EQ(zmo::WriteFileAtomic(archive_dir() + "/" + name, "x"), 0);
  }
  std::vector<std::string> SummaryTexts(const std::string& log) {
    std::vector<std::string> texts;
    for (std::string line : CrlfLines(Read(Bin(log)))) {
      bool tab = !line.empty() && line[0] == '\t';
      if (tab) line.erase(0, 1);
      texts.push_back((tab ? "\t" : "") + (line.size() > 21 ? line.substr(21) : line));
    }
    return texts;
  }

  std::vector<std::string> tables_;
};

class EndToEndTest : public RecordedRun, public ::testing::WithParamInterface<E2eCase> {};

TEST_P(EndToEndTest, FromTheCollectorsCallToTheArchive) {
  const E2eCase& c = GetParam();
  SetConfig(zmo::cfg::kDB, c.db);
  WriteData(c);
  const std::string today = Day(0);
  const std::vector<std::string> prefixes =
      c.snap ? std::vector<std::string>{"cpu", "lan", "dsk", "avl"}
             : std::vector<std::string>{"stati"};
  std::vector<std::string> gone, kept;
  for (const std::string& p : prefixes) {
    gone.push_back(p + "_" + Day(-7) + "0900.dat");
    gone.push_back(p + "_" + Day(-8) + "235959.dat");
    gone.push_back(p + "_" + Day(-9) + "000000_1.dat");
    kept.push_back(p + "_" + Day(-6) + "1200.dat");
    kept.push_back(p + "_" + Day(-10) + "1200.dat");
    kept.push_back(p + "_m_" + Day(-7) + "1200.dat");  // a collector's own archive
  }
  for (const std::string& n : gone) Touch(n);
  for (const std::string& n : kept) Touch(n);

  std::vector<std::string> call =
      c.snap ? std::vector<std::string>{" -a", "-p SNAP", " -h 10.20.30.40", " -i 153"}
             : std::vector<std::string>{" -A",          " -P STATI",       " -S 20040109",
                                        " -E 20040110", " -H 10.20.30.40", " -I 153"};
  const bool corva = std::string(c.db) == "Corva";
  // The Corva command window is not waited for: the test lets the loader
  // write its files only (debug mode, as StatiLoaderDebug asks for) and then
  // runs the first batch under the interpreter itself, waiting for it.
  if (corva) call.push_back(c.snap ? " -d" : " -D");
  ASSERT_EQ(Start(Program("zmoloader"), call), 0);
  if (corva) {
    ASSERT_EQ(Start(Program("zmobatch"), {Bin(c.snap ? "zmoload_snap.bat" : "zmoload_stati.bat")}),
              0);
  }
  if (Day(0) != today) GTEST_SKIP() << "the date changed during the run";

  // The tools, in the batch's order, with their arguments.
  std::vector<std::string> expected;
  for (const std::string& e : c.calls) {
    expected.push_back(Replace(Replace(e, "@BIN@", bin_dir()), "@KEY@", kKey));
  }
  EXPECT_EQ(CrlfLines(Replace(Read(CallLog()), "\n", "\r\n")), expected);

  // Every row reached its staging table.
  const std::string load_log = Read(Bin(c.load_log));
  for (const std::string& table : tables_) {
    EXPECT_THAT(load_log, HasText("2 rows loaded into " + table + ", 0 rejected"))
        << table << " in\n"
        << load_log;
  }

  // The loaded files are archived under one stamp of today.
  for (const std::string& p : prefixes) {
    int archived = 0;
    for (const auto& e : std::filesystem::directory_iterator(archive_dir())) {
      archived += e.path().filename().string().rfind(p + "_" + today, 0) == 0;
    }
    EXPECT_EQ(archived, 1) << p;
  }
  const std::vector<const char*> data =
      c.snap ? std::vector<const char*>{"zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan", "zmoavai.dat"}
             : std::vector<const char*>{"zmostati.dat"};
  for (const char* f : data) EXPECT_FALSE(zmo::FileExists(Bin(f).c_str())) << f;
  for (const std::string& n : gone) {
    EXPECT_FALSE(zmo::FileExists((archive_dir() + "/" + n).c_str())) << n;
  }
  for (const std::string& n : kept) {
    EXPECT_TRUE(zmo::FileExists((archive_dir() + "/" + n).c_str())) << n;
  }

  // The progress lines, in order; the collection-ended line has no tab.
  if (c.snap) {
    EXPECT_EQ(SummaryTexts("trace_zmosnapsum.log"),
              (std::vector<std::string>{"\tLoading of snap records has started",
                                        "\tLoading of snap records has ended",
                                        "\tAggregation of snap records has started",
                                        "\tAggregation of snap records has ended", kEnded}));
  } else {
    EXPECT_EQ(SummaryTexts("trace_zmostatisum.log"),
              (std::vector<std::string>{"\tLoading of statistics records has started",
                                        "\tLoading of statistics records has ended",
                                        "\tAggregation of statistics records has started",
                                        "\tAggregation of statistics records has ended", kEnded}));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EndToEndTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs that load nothing, or whose load fails, on the recorded tools.
class RecordedFailureTest : public RecordedRun {
 protected:
  const std::vector<std::string> kStatiCall = {" -A",          " -P STATI",       " -S 20040109",
                                               " -E 20040110", " -H 10.20.30.40", " -I 153"};
  // The archives of the retention dates (and one outside them) of today.
  void TouchRetentionDates(const char* prefix) {
    for (int days : {-7, -8, -9, -6}) Touch(std::string(prefix) + "_" + Day(days) + "1200.dat");
  }
  void ExpectRetentionDatesDeleted(const char* prefix) {
    for (int days : {-7, -8, -9}) {
      EXPECT_FALSE(
          zmo::FileExists((archive_dir() + "/" + prefix + "_" + Day(days) + "1200.dat").c_str()))
          << days;
    }
    EXPECT_TRUE(
        zmo::FileExists((archive_dir() + "/" + prefix + "_" + Day(-6) + "1200.dat").c_str()));
  }
};

// With every statistics switch off nothing is made or loaded, and the run
// still archives its file, deletes the archives of the retention dates and
// writes its closing line; the loads of tables that are not made would
// fail every run.
TEST_F(RecordedFailureTest, EveryStatisticsSwitchOffStillArchivesAndCloses) {
  SetStatisticsOff();
  for (const char* db : {"Oracle", "MSSQL", "Sybase", "Tessel"}) {
    SCOPED_TRACE(db);
    SetConfig(zmo::cfg::kDB, db);
    ASSERT_EQ(zmo::WriteFileAtomic(Bin("zmostati.dat"), Delimited(24) + "\r\n"), 0);
    std::filesystem::remove(Bin("trace_zmostatisum.log"));
    std::filesystem::remove(CallLog());
    TouchRetentionDates("stati");
    const std::string today = Day(0);
    ASSERT_EQ(Start(Program("zmoloader"), kStatiCall), 0);
    if (Day(0) != today) GTEST_SKIP() << "the date changed during the run";
    for (const std::string& call : Calls()) {
      EXPECT_THAT(call, Not(HasText("bcp")));
      EXPECT_THAT(call, Not(HasText("sqlldr")));
    }
    EXPECT_FALSE(zmo::FileExists(Bin("zmostati.dat").c_str())) << "archived";
    ExpectRetentionDatesDeleted("stati");
    const std::vector<std::string> summary = SummaryTexts("trace_zmostatisum.log");
    ASSERT_FALSE(summary.empty());
    EXPECT_EQ(summary.back(), kEnded);
  }
}

// A failed step of the MSSQL and Sybase kinds leaves by the lines that drop
// the run's staging tables and take the database out of bulk-copy mode; the
// data file is kept for the next load.
TEST_F(RecordedFailureTest, TheBulkCopyKindsLeaveBulkModeAndDropTheirTablesWhenALoadFails) {
  for (const char* db : {"MSSQL", "Sybase"}) {
    SCOPED_TRACE(db);
    SetConfig(zmo::cfg::kDB, db);
    ASSERT_EQ(zmo::WriteFileAtomic(Bin("zmostati.dat"), Delimited(24) + "\r\n"), 0);
    std::filesystem::remove(CallLog());
    EXPECT_EQ(Start(Program("zmoloader"), kStatiCall, "bcp"), kLoaderExitLoadFailed);
    const std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3].substr(0, 3), "bcp");
    EXPECT_EQ(calls[calls.size() - 2], kIsql + "@BIN@/zmodrop_stati.sql");
    EXPECT_EQ(calls.back(), kIsql + "@BIN@/BulkOff.sql");
    EXPECT_EQ(Read(Bin("zmodrop_stati.sql")),
              "use r3klv\r\ngo\r\nif object_id('s" + std::string(kKey) +
                  "') is not null drop table s" + kKey + "\r\ngo\r\n");
    EXPECT_TRUE(zmo::FileExists(Bin("zmostati.dat").c_str())) << "kept";
  }
}

// A run without a data file still deletes the archives of the retention
// dates and writes its closing line; it starts no tool.
TEST_F(RecordedFailureTest, ARunWithoutADataFileStillDeletesAndCloses) {
  RemoveDataFiles();
  SetConfig(zmo::cfg::kDB, "MSSQL");
  TouchRetentionDates("cpu");
  const std::string today = Day(0);
  ASSERT_EQ(Start(Program("zmoloader"), {" -a", "-p SNAP", " -h 10.20.30.40", " -i 153"}), 0);
  if (Day(0) != today) GTEST_SKIP() << "the date changed during the run";
  EXPECT_TRUE(Calls().empty());
  ExpectRetentionDatesDeleted("cpu");
  EXPECT_EQ(SummaryTexts("trace_zmosnapsum.log"),
            (std::vector<std::string>{"\tLoading of snap records has started", kEnded}));
}

}  // namespace
