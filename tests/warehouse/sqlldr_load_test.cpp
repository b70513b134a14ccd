// sqlldr on the warehouse: the loader's control files and staging tables,
// fixed-width records loaded into PostgreSQL, the records that do not
// convert in the bad file, and loads that cannot be done leaving the table
// as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "warehouse.h"
#include "warehouse_test_util.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::kKey;
using dbtools_test::Read;
using dbtools_test::Write;
using ::testing::Not;
using warehouse_test::Rows;
using zmo_test::HasText;

const std::string kCpu = "c" + kKey;

std::string Pad(const std::string& s, size_t width) {
  std::string out = s.substr(0, width);
  out.resize(width, ' ');
  return out;
}

std::string Number(const std::string& digits) {
  char field[16];
  std::snprintf(field, sizeof(field), "%8s", digits.c_str());
  return field;
}

// A record of zmosnap.cpu as the Oracle kind writes it: destination 20, host
// 30, label 34, SID 3, client 3, time stamp 14, thirteen figures of 8.
std::string CpuRecord(const std::string& dest, const std::string& client, const std::string& stamp,
                      const std::string& first_figure = "4") {
  std::string r = Pad(dest, 20) + Pad("sapt46.example.net", 30) + Pad("T46_db1", 34) + "T46" +
                  Pad(client, 3) + stamp + Number(first_figure);
  for (int i = 2; i <= 13; ++i) r += Number(std::to_string(i * 10));
  return r;
}

class SqlldrTest : public warehouse_test::WarehouseTest {
 protected:
  void SetUp() override {
    WarehouseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The staging tables as the loader makes them before every load.
    // Their drops fail the first time: the tables are not there yet.
    Write(File("zmostage_snap.sql"), Golden("oracle_snap/zmostage_snap.sql"));
    Run("sqlplus", {db_->Logon(), "@" + File("zmostage_snap.sql")});
    ASSERT_EQ(db_->Value("select count(*) from " + kCpu), "0") << Stdout();
    Write(Control(), Golden("oracle_snap/zmosnap_cpu.par"));
  }

  std::string Control() const { return File("zmosnap_cpu.par"); }
  std::string Data() const { return File("zmosnap.cpu"); }
  std::string Bad() const { return File("trace_zmosnap_cpu.bad"); }
  std::string Log() const { return File("trace_zmo_load_cpu.log"); }

  int Load(const std::string& tool = "sqlldr", const std::string& logon = "") {
    return Run(tool, {"userid=" + (logon.empty() ? db_->Logon() : logon), "control=" + Control(),
                      "log=" + Log(), "bindsize=262144"});
  }
  void WriteRecords(const std::vector<std::string>& records) {
    Write(Data(), dbtools_test::Crlf(records));
  }
  std::string Destinations() {
    Rows rows = db_->Query("select rtrim(rfc_dest_str) from " + kCpu + " order by 1");
    std::string out;
    for (const auto& r : rows) out += r[0] + ";";
    return out;
  }
};

TEST_F(SqlldrTest, LoadsTheRecordsThatConvertAndSendsTheOthersToTheBadFile) {
  const std::vector<std::string> good = {CpuRecord("sapt46_T46_00", "100", "20240304101500"),
                                         CpuRecord("sapt46_T46_01", "200", "20240304235959")};
  std::string with_nul = CpuRecord("nul", "100", "20240304101500");
  with_nul[5] = '\0';
  const std::vector<std::string> bad = {
      CpuRecord("no_such_day", "100", "20240230101500"),
      CpuRecord("letters", "100", "20240304101500", "12x45"),
      CpuRecord("blank_figure", "100", "20240304101500", ""),
      CpuRecord("client_text", "ABC", "20240304101500"),
      CpuRecord("short", "100", "20240304101500").substr(0, 200),
      CpuRecord("hour_25", "100", "20240304251500"),
      with_nul,
  };
  WriteRecords({good[0], bad[0], bad[1], bad[2], good[1], bad[3], bad[4], bad[5], bad[6]});

  EXPECT_EQ(Load(), 2) << "done, with rejected records";

  EXPECT_EQ(Destinations(), "sapt46_T46_00;sapt46_T46_01;");
  EXPECT_EQ(db_->Query("select rfc_dest_str, host_name, system_label, sys_id, snap_client, "
                       "snap_date, num_of_cpu, load1_avg, num_modi from " +
                       kCpu + " order by rfc_dest_str"),
            (Rows{{Pad("sapt46_T46_00", 20), Pad("sapt46.example.net", 30), Pad("T46_db1", 34),
                   "T46", "100", "2024-03-04 10:15:00", "4", "20", "130"},
                  {Pad("sapt46_T46_01", 20), Pad("sapt46.example.net", 30), Pad("T46_db1", 34),
                   "T46", "200", "2024-03-04 23:59:59", "4", "20", "130"}}))
      << "text fields keep their blanks (PRESERVE BLANKS), figures are numbers";
  EXPECT_EQ(Read(Bad()), dbtools_test::Crlf(bad)) << "the rejected records as they were read";

  const std::string log = Read(Log());
  EXPECT_NE(log.find("sqlldr: connected to " + db_->Dsn() + " as zmouser\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("sqlldr: record 2 of " + Data() + " rejected: "), std::string::npos) << log;
  EXPECT_NE(log.find("record 7 of " + Data() + " rejected: 200 characters, the fields take 208"),
            std::string::npos)
      << log;
  EXPECT_NE(
      log.find("record 8 of " + Data() + " rejected: SNAP_DATE \"20240304251500\" is no date"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("record 9 of " + Data() + " rejected: the record holds a NUL byte"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("sqlldr: 2 rows loaded into " + kCpu + ", 7 rejected\r\n"), std::string::npos)
      << log;
  EXPECT_THAT(log, Not(HasText("secret"))) << "no report names the password";
}

// The records go in chunks; a record the table refuses costs only itself,
// wherever it lies: in the middle of the first chunk or of a later one, at
// a chunk's first or last record, or among neighbours refused as well.
TEST_F(SqlldrTest, BadRecordsInAChunkAreRejectedAndTheRestOfItLoads) {
  const size_t kChunk = zmo::dbtools::kChunkRecords;
  const size_t kRecords = 2 * kChunk + 500;  // into a third chunk
  std::vector<size_t> bad_at = {0, 7, kChunk / 2, kChunk - 1, kChunk, kChunk + 1, kRecords - 1};
  for (size_t i = 0; i < 40; i += 3) bad_at.push_back(kChunk + kChunk / 3 + i);  // a cluster
  std::sort(bad_at.begin(), bad_at.end());
  std::vector<std::string> records, bad;
  std::string expected;
  for (size_t i = 0; i < kRecords; ++i) {
    const std::string dest = "d" + std::to_string(100000 + i);
    const bool is_bad = std::binary_search(bad_at.begin(), bad_at.end(), i);
    records.push_back(CpuRecord(dest, "100", "20240304101500", is_bad ? "9x9" : "4"));
    if (is_bad) {
      bad.push_back(records.back());
    } else {
      expected += dest + ";";
    }
  }
  WriteRecords(records);

  EXPECT_EQ(Load(), 2) << "done, with rejected records";

  EXPECT_EQ(Destinations(), expected);
  EXPECT_EQ(Read(Bad()), dbtools_test::Crlf(bad)) << "the rejected records, in the file's order";
  const std::string log = Read(Log());
  for (size_t at : bad_at) {
    EXPECT_NE(log.find("record " + std::to_string(at + 1) + " of " + Data() +
                       " rejected: invalid input syntax for type integer: \"     9x9\""),
              std::string::npos)
        << at;
  }
  EXPECT_NE(log.find("sqlldr: " + std::to_string(kRecords - bad_at.size()) + " rows loaded into " +
                     kCpu + ", " + std::to_string(bad_at.size()) + " rejected\r\n"),
            std::string::npos)
      << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
}

// A chunk whose records all fit the fields but none converts, next to
// records that do not fit at all: the order of the report is the file's.
TEST_F(SqlldrTest, RejectionsAreReportedInTheOrderOfTheFile) {
  WriteRecords({CpuRecord("short", "100", "20240304101500").substr(0, 20),
                CpuRecord("letters", "100", "20240304101500", "x"),
                CpuRecord("no_date", "100", "20241304101500"),
                CpuRecord("client", "ABC", "20240304101500")});
  EXPECT_EQ(Load(), 2);
  EXPECT_EQ(Destinations(), "");
  const std::string log = Read(Log());
  size_t last = 0;
  for (int record = 1; record <= 4; ++record) {
    size_t at = log.find("record " + std::to_string(record) + " of " + Data() + " rejected: ");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(at, last) << log;
    last = at;
  }
}

// Text values go through as they are, whatever COPY would read as an escape
// or a separator.
TEST_F(SqlldrTest, BackslashesAndTabsInATextFieldLoadAsTheyAre) {
  WriteRecords({CpuRecord("a\\N\\t\tb\\", "100", "20240304101500"),
                CpuRecord("\\", "100", "20240304101500")});
  EXPECT_EQ(Load(), 0) << Read(Log());
  EXPECT_EQ(Destinations(), "\\;a\\N\\t\tb\\;");
}

TEST_F(SqlldrTest, EachLoadReplacesTheRowsOfTheLastAndItsBadFile) {
  WriteRecords({CpuRecord("first_a", "100", "20240304101500"),
                CpuRecord("first_bad", "100", "20241304101500"),
                CpuRecord("first_b", "100", "20240304101500")});
  ASSERT_EQ(Load(), 2);
  ASSERT_EQ(Destinations(), "first_a;first_b;");
  ASSERT_TRUE(zmo::FileExists(Bad().c_str()));

  WriteRecords({CpuRecord("second", "100", "20240305101500")});
  EXPECT_EQ(Load(), 0);
  EXPECT_EQ(Destinations(), "second;") << "truncate";
  EXPECT_FALSE(zmo::FileExists(Bad().c_str())) << "no rejected records, no bad file of old ones";
  EXPECT_THAT(Read(Log()), HasText("sqlldr: 1 rows loaded into " + kCpu + ", 0 rejected\r\n"));
}

TEST_F(SqlldrTest, EveryLoaderNameLoads) {
  WriteRecords({CpuRecord("a", "100", "20240304101500"), CpuRecord("b", "100", "20240304111500")});
  for (const char* tool : {"sqlldr73", "sqlldr80", "sqlldr"}) {
    EXPECT_EQ(Load(tool), 0) << tool;
    EXPECT_EQ(Destinations(), "a;b;") << tool;
    EXPECT_THAT(Read(Log()), HasText(std::string(tool) + ": 2 rows loaded")) << tool;
  }
}

// Loads that cannot be done: nothing changes in the table, the log says
// why, and the exit code says that nothing was done.
struct RefusedCase {
  const char* name;
  std::string logon;     // "" for the test database's; @DB@ for its data source
  std::string from, to;  // a change of the loader's CPU control file
  std::string why;       // in the log
};

std::string WithDsn(std::string text, const std::string& dsn) {
  size_t at = text.find("@DB@");
  if (at != std::string::npos) text.replace(at, 4, dsn);
  return text;
}

class SqlldrRefusedTest : public SqlldrTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SqlldrRefusedTest, LeavesTheTableAsItWas) {
  WriteRecords({CpuRecord("kept", "100", "20240304101500")});
  ASSERT_EQ(Load(), 0);
  const RefusedCase& c = GetParam();
  std::string control = Golden("oracle_snap/zmosnap_cpu.par");
  if (!c.from.empty()) {
    size_t at = control.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    control.replace(at, c.from.size(), c.to);
  }
  Write(Control(), control);
  WriteRecords({CpuRecord("new", "100", "20240304101500")});

  EXPECT_EQ(Load("sqlldr", WithDsn(c.logon, db_->Dsn())), 1);
  EXPECT_EQ(Destinations(), "kept;");
  const std::string why = WithDsn(c.why, db_->Dsn());
  const std::string log = Read(Log());
  EXPECT_NE(log.find(why), std::string::npos) << log;
  EXPECT_THAT(log, Not(HasText("wrongpw"))) << "no report names the password";
  EXPECT_NE(Stderr().find(why), std::string::npos) << Stderr();
}

const RefusedCase kRefused[] = {
    {"WrongPassword", "zmouser/wrongpw@@DB@", "", "", "cannot connect to @DB@ as zmouser: "},
    {"UnknownUser", "nobody/secret@@DB@", "", "", "cannot connect to @DB@ as nobody: "},
    {"NoServerOnTheSocket", "zmouser/secret@pg:/nonexistent/run:54320:r3klv", "", "",
     "cannot connect to pg:/nonexistent/run:54320:r3klv as zmouser: "},
    {"MalformedWarehouseSource", "zmouser/secret@pg:/tmp/run:r3klv", "", "",
     "a warehouse data source is pg:<socket directory>:<port>:<database>"},
    {"NoSuchTable", "", "into table c01002003004000153", "into table c99",
     "cannot empty c99: relation \"c99\" does not exist; nothing loaded"},
    {"AFieldThatNamesNoColumn", "", "NUM_MODI        ", "NUM_MODULES     ",
     "column \"num_modules\" of relation \"c01002003004000153\" does not exist; nothing loaded"},
    {"ATableNameThatIsNoPlainName", "", "into table c01002003004000153", "into table c01;drop",
     "the table name c01;drop is not a plain SQL name"},
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Loads, SqlldrRefusedTest, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SqlldrTest, AnyOtherDataSourceOnlyChecks) {
  WriteRecords({CpuRecord("a", "100", "20240304101500")});
  ASSERT_EQ(Load(), 0);
  WriteRecords({CpuRecord("b", "100", "20240304101500"), CpuRecord("c", "100", "20240304101500")});
  EXPECT_EQ(Load("sqlldr", "zmouser/secret@WHSE"), 0);
  EXPECT_EQ(Destinations(), "a;") << "no database behind WHSE";
  EXPECT_THAT(Read(Log()), HasText("sqlldr: 2 rows loaded into " + kCpu + ", 0 rejected"));
}

// The statistics records in the form zmostati writes them, through the
// loader's own control file and staging table.
TEST_F(SqlldrTest, TheStatisticsControlFileLoadsTheLoadersStagingTable) {
  Write(File("zmostage_stati.sql"), Golden("oracle_stati_a/zmostage_stati.sql"));
  Run("sqlplus", {db_->Logon(), "@" + File("zmostage_stati.sql")});
  ASSERT_EQ(db_->Value("select count(*) from s" + kKey), "0") << Stdout();
  Write(File("zmoklvload.par"), Golden("oracle_stati_a/zmoklvload.par"));
  const std::string line = "N" + Pad("sapt46_T46_00", 20) + Pad("sapt46.example.net", 30) +
                           Pad("T46_db1", 34) + "100" + "20240304102958" + "20240304103000" +
                           Pad("VA01", 20) + "4001" + Pad("SAPMV45A", 40) + "0003" + "D" +
                           Pad("SALES01", 30) + Number("1500") + Number("1499") + Number("800") +
                           Number("0") + "           0" + Number("0") + Number("1024") +
                           Number("22") + Number("250") + Number("2") + Number("80");
  ASSERT_EQ(line.size(), 307u);
  Write(File("zmostati.dat"), line + "\r\n");
  EXPECT_EQ(Run("sqlldr", {"userid=" + db_->Logon(), "control=" + File("zmoklvload.par"),
                           "log=" + Log(), "bindsize=262144"}),
            0)
      << Read(Log());
  EXPECT_EQ(db_->Query("select rtrim(t_code), rtrim(user_name), end_date, response_time, "
                       "gui_net_time from s" +
                       kKey),
            (Rows{{"VA01", "SALES01", "20240304103000", "1499", "80"}}));
}

}  // namespace
