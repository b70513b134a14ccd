// What the switches, the registry values and the paths do to the files of
// each kind, beyond the golden runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "common/gdlib_binding.h"
#include "loader_test_env.h"
#include "platform/command_line.h"
#include "platform/dynlib.h"
#include "zmo_test/matchers.h"
#include "zmogdlib/zmogdlib.h"

using namespace zmo::loader;

namespace {

using loader_test::CrlfLines;
using loader_test::LoaderTest;
using ::testing::Contains;
using ::testing::Ge;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;
using zmo_test::HasLine;
using zmo_test::HasText;

const std::vector<std::string> kSnap = {"-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"};
const std::vector<std::string> kStati = {"-p", "STATI", "-h", "10.20.30.40", "-i", "153", "-d"};
const char* const kDiskLanAvail[] = {"ProcessSnapQueueLength",  "ProcessSnapServiceTime",
                                     "ProcessSnapDiskWaitTime", "ProcessSnapDiskUtilization",
                                     "ProcessSnapCollisions",   "ProcessSnapInErrors",
                                     "ProcessSnapOutErrors",    "ProcessSnapPacketsIn",
                                     "ProcessSnapPacketsOut",   "ProcessSnapLogonAble"};

// A password scrambled with the configurator's key by the built zmogdlib.
std::string Scramble(const std::string& password) {
  HMODULE lib = LoadLibraryA((std::string(ZMO_TEST_BIN_DIR) + "/zmogdlib.so").c_str());
  EXPECT_NE(lib, nullptr);
  auto encrypt = reinterpret_cast<ZmoEncryptFn>(GetProcAddress(lib, "Encrypt"));
  char key[zmo::kDecryptKeySize];
  zmo::buildDecryptKey(key);
  char out[256] = {};
  EXPECT_GT(encrypt(password.c_str(), key, out), 0);
  FreeLibrary(lib);
  return out;
}

int CountWith(const std::vector<std::string>& lines, const std::string& text) {
  int n = 0;
  for (const std::string& l : lines) n += l.find(text) != std::string::npos;
  return n;
}

class KindFilesTest : public LoaderTest {
 protected:
  // Only the CPU group of the snapshots on.
  void CpuOnly() {
    SetSwitches({kDiskLanAvail[0], kDiskLanAvail[1], kDiskLanAvail[2], kDiskLanAvail[3],
                 kDiskLanAvail[4], kDiskLanAvail[5], kDiskLanAvail[6], kDiskLanAvail[7],
                 kDiskLanAvail[8], kDiskLanAvail[9]});
  }
};

TEST_F(KindFilesTest, CorvaWithOnlyTheCpuGroupCreatesAndLoadsOnlyItsTable) {
  CpuOnly();
  SetConfig(zmo::cfg::kDB, "Corva");
  ASSERT_EQ(Run(kSnap), 0);
  std::vector<std::string> script = BinLines("zmoload_snap.sql");
  EXPECT_THAT(script, Contains("drop table c01002003004000153;"));
  EXPECT_THAT(script, Contains("import from " + Bin("zmosnap.cpu") +
                               " of del insert into c01002003004000153;"));
  for (const char* other : {"d01002003004000153", "l01002003004000153", "v01002003004000153"}) {
    EXPECT_EQ(CountWith(script, other), 0) << other;
  }
  EXPECT_THAT(TraceTexts(), HasLine("CPU data will be processed"));
  EXPECT_THAT(TraceTexts(), HasLine("Disk data will not be processed"));
  EXPECT_THAT(TraceTexts(), HasLine("LAN data will not be processed"));
  EXPECT_THAT(TraceTexts(), HasLine("Availability data will not be processed"));
}

// A loader line whose control file is not written would fail every run: only
// the groups that are on are loaded.
TEST_F(KindFilesTest, OracleWithOnlyTheCpuGroupWritesOneControlFileAndOneLoaderLine) {
  CpuOnly();
  ASSERT_EQ(Run(kSnap), 0);
  EXPECT_TRUE(zmo::FileExists(Bin("zmosnap_cpu.par").c_str()));
  for (const char* par : {"zmosnap_dsk.par", "zmosnap_lan.par", "zmosnap_avai.par"}) {
    EXPECT_FALSE(zmo::FileExists(Bin(par).c_str())) << par;
  }
  EXPECT_EQ(CountWith(BinLines("zmoload_snap.bat"), "sqlldr userid="), 1);
  EXPECT_EQ(CountWith(BinLines("zmoload_snap.bat"), "zmosnap_cpu.par"), 1);
  std::vector<std::string> stage = BinLines("zmostage_snap.sql");
  EXPECT_THAT(stage, Contains("create table c01002003004000153 ("));
  EXPECT_EQ(CountWith(stage, "create table"), 1);
}

// A load into a table that is not made would fail every run.
TEST_F(KindFilesTest, OtherKindsCreateAndLoadOnlyTheTablesOn) {
  struct Case {
    const char* db;
    const char* load_file;  // the file holding the load lines
    const char* load_text;
    const char* create_file;
  };
  const Case cases[] = {
      {"MSSQL", "zmoload_snap.bat", "bcp r3klv..", "zmostage_snap.sql"},
      {"Sybase", "zmoload_snap.bat", "bcp r3klv..", "zmostage_snap.sql"},
      {"Tessel", "zmoload_snap.sql", "load from ", "zmoload_snap.sql"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.db);
    ResetRun();
    CpuOnly();
    SetConfig(zmo::cfg::kDB, c.db);
    ASSERT_EQ(Run(kSnap), 0);
    EXPECT_EQ(CountWith(BinLines(c.load_file), c.load_text), 1);
    EXPECT_EQ(CountWith(BinLines(c.load_file), "c01002003004000153"), 3)
        << "Tessel: drop, create and load; the others: a banner's BEGIN, END and the load";
    std::vector<std::string> create = BinLines(c.create_file);
    EXPECT_EQ(CountWith(create, "create table"), 1);
    EXPECT_THAT(create, Contains("create table c01002003004000153 ("));
  }
}

TEST_F(KindFilesTest, StatiWithEveryGroupOffHasNoControlFileAndNoTable) {
  SetStatisticsOff();
  SetConfig(zmo::cfg::kDB, "Oracle");
  ASSERT_EQ(Run(kStati), 0);
  EXPECT_FALSE(zmo::FileExists(Bin("zmoklvload.par").c_str()));
  EXPECT_THAT(TraceTexts(), HasLine("Stati data will not be processed"));
  EXPECT_THAT(TraceTexts(), HasLine("SLA data will not be processed"));
  EXPECT_THAT(TraceTexts(), HasLine("Appl data will not be processed"));

  // No staging table, no load; the file is still archived, the run closed
  // and the archives of the retention dates deleted.
  const std::vector<std::string> bat = BinLines("zmoload_stati.bat");
  EXPECT_EQ(CountWith(bat, "sqlldr"), 0);
  EXPECT_EQ(CountWith(bat, "zmostage_stati.sql"), 0);
  EXPECT_EQ(CountWith(bat, "move \"" + Bin("zmostati.dat") + "\""), 1);
  EXPECT_EQ(CountWith(bat, "-N 1498 -P STATI"), 1);
  EXPECT_EQ(CountWith(bat, "del \"" + archive_dir() + "/stati_"), 3);

  for (const char* db : {"Corva", "Tessel", "MSSQL", "Sybase"}) {
    SCOPED_TRACE(db);
    ResetRun();
    SetConfig(zmo::cfg::kDB, db);
    ASSERT_EQ(Run(kStati), 0);
    const bool corva = std::string(db) == "Corva";
    const std::vector<std::string> lines =
        BinLines(corva ? "zmoload2_stati.bat" : "zmoload_stati.bat");
    EXPECT_EQ(CountWith(lines, "s01002003004000153"), 0) << "no load into a table not made";
    EXPECT_EQ(CountWith(lines, "-N 1498 -P STATI"), 1);
  }
}

// The count of active users reads the staging table: with it alone on, the
// statistics are loaded.
TEST_F(KindFilesTest, ActiveUsersAloneLoadTheStatistics) {
  SetStatisticsOff();
  SetConfig("ProcessStatiActiveUsers", "True");
  ASSERT_EQ(Run(kStati), 0);
  EXPECT_TRUE(zmo::FileExists(Bin("zmoklvload.par").c_str()));
  EXPECT_EQ(CountWith(BinLines("zmoload_stati.bat"), "sqlldr userid="), 1);
}

// A run whose data files are not there only closes the run: its end line
// and the archive deletes, no tool.
TEST_F(KindFilesTest, WithoutADataFileTheBatchOnlyClosesTheRun) {
  RemoveDataFiles();
  ASSERT_EQ(Run({"-a", "-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"}), 0);
  std::vector<std::string> want = {"title Monitoring for Orvane Load/Aggregate zmosnap data",
                                   "cd \"" + bin_dir() + "\""};
  // The fake clock's day, 2004-01-10, and ArchiveKeepDays -7.
  for (const char* day : {"20040103", "20040102", "20040101"}) {
    for (const char* prefix : {"cpu", "lan", "dsk", "avl"}) {
      want.push_back("del \"" + archive_dir() + "/" + prefix + "_" + day + "*.dat\"");
    }
  }
  want.push_back("\"" + Bin("zmomsg") + "\" -N 1498 -P SNAP");
  want.push_back("Exit");
  EXPECT_EQ(BinLines("zmoload_snap.bat"), want);
}

// The field names of an Oracle control file, lower-cased: the first word of
// each line after "into table", without the "(" of the first.
std::vector<std::string> ControlFields(const std::vector<std::string>& par) {
  std::vector<std::string> fields;
  auto at = std::find_if(par.begin(), par.end(),
                         [](const std::string& l) { return l.rfind("into table ", 0) == 0; });
  for (++at; at < par.end(); ++at) {
    std::string name = at->substr(at->front() == '(' ? 1 : 0);
    name = name.substr(0, name.find(' '));
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    fields.push_back(name);
  }
  return fields;
}

// The column names of one create table statement in a script, lower-cased,
// in order; empty when the script does not create the table.
std::vector<std::string> CreatedColumns(const std::vector<std::string>& script,
                                        const std::string& table) {
  std::vector<std::string> columns;
  auto at = std::find(script.begin(), script.end(), "create table " + table + " (");
  if (at == script.end()) return columns;
  for (++at; at < script.end(); ++at) {
    std::string name = at->substr(8, at->find(' ', 8) - 8);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    columns.push_back(name);
    if (at->back() != ',') break;  // the last column ends the statement
  }
  return columns;
}

// The Oracle loader binds each field of a control file to the column of its
// name, so a field without its column refuses the whole load.
TEST_F(KindFilesTest, EveryOracleControlFieldNamesAColumnOfItsStagingTable) {
  const char* const key = "01002003004000153";
  ASSERT_EQ(Run(kStati), 0);
  std::vector<std::string> fields = ControlFields(BinLines("zmoklvload.par"));
  EXPECT_THAT(fields, Contains("dynpro_number"));
  EXPECT_EQ(CreatedColumns(BinLines("zmostage_stati.sql"), std::string("s") + key), fields);

  ResetRun();
  ASSERT_EQ(Run(kSnap), 0);
  const std::vector<std::string> stage = BinLines("zmostage_snap.sql");
  struct Group {
    const char* par;
    char table;
  };
  for (const Group& g : {Group{"zmosnap_cpu.par", 'c'}, Group{"zmosnap_dsk.par", 'd'},
                         Group{"zmosnap_lan.par", 'l'}, Group{"zmosnap_avai.par", 'v'}}) {
    fields = ControlFields(BinLines(g.par));
    EXPECT_FALSE(fields.empty()) << g.par;
    EXPECT_EQ(CreatedColumns(stage, g.table + std::string(key)), fields) << g.par;
  }
}

// One statistics staging table for every kind, so that a warehouse set up
// for one kind's files takes another's.
TEST_F(KindFilesTest, EveryKindCreatesTheStatisticsStagingTableWithTheSameColumns) {
  const std::string table = "s01002003004000153";
  ASSERT_EQ(Run(kStati), 0);
  const std::vector<std::string> oracle = CreatedColumns(BinLines("zmostage_stati.sql"), table);
  ASSERT_EQ(oracle.size(), 24u);
  struct Case {
    const char* db;
    const char* script;
  };
  const Case cases[] = {{"Corva", "zmoload_stati.sql"},
                        {"Tessel", "zmoload_stati.sql"},
                        {"MSSQL", "zmostage_stati.sql"},
                        {"Sybase", "zmostage_stati.sql"}};
  for (const Case& c : cases) {
    ResetRun();
    SetConfig(zmo::cfg::kDB, c.db);
    ASSERT_EQ(Run(kStati), 0) << c.db;
    EXPECT_EQ(CreatedColumns(BinLines(c.script), table), oracle) << c.db;
  }
}

TEST_F(KindFilesTest, FilteredRunTracesEverySwitchItReads) {
  SetSwitches({"ProcessStatiCPU"});
  ASSERT_EQ(Run(kStati), 0);
  std::vector<std::string> traced = TraceTexts();
  EXPECT_THAT(traced, HasLine("Registry entry ProcessQRBData = <False>"));
  EXPECT_THAT(traced, HasLine("Registry entry ProcessStatiCPU = <False>"));
  EXPECT_THAT(traced, HasLine("Registry entry ProcessStatiKBchangede = <True>"));
  EXPECT_THAT(traced, HasLine("Registry entry ProcessApplKBchangede = <True>"));
  EXPECT_THAT(traced, HasLine("Registry entry ProcessStatiActiveUsers = <True>"));
  EXPECT_THAT(traced, Not(HasLine("Registry entry ProcessSnapUsers = <True>")));
  EXPECT_THAT(traced, HasLine("Stati data will be processed"));
}

TEST_F(KindFilesTest, OracleVersionNamesTheLoader) {
  struct Case {
    const char* version;
    int exit_code;
    const char* first_word;
  };
  const Case cases[] = {{"73", 0, "sqlldr73"}, {"80", 0, "sqlldr80"}, {"81", 0, "sqlldr"},
                        {"90", 99, ""},        {" 81", 99, ""},       {"81 & del *", 99, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    ResetRun();
    SetConfig(zmo::cfg::kOracle, c.version);
    ASSERT_EQ(Run(kStati), c.exit_code);
    if (c.exit_code != 0) {
      EXPECT_THAT(TraceTexts(),
                  HasLine("ERROR - ERROR: Oracle version not correct, expecting 73, 80 or 81"));
      continue;
    }
    std::vector<std::string> bat = BinLines("zmoload_stati.bat");
    EXPECT_THAT(bat, Contains(std::string(c.first_word) +
                              " userid=zmouser/secret@WHSE control=" + Bin("zmoklvload.par") +
                              " log=" + Bin("trace_zmo_load_stati.log") + " bindsize=262144"));
  }
}

TEST_F(KindFilesTest, BulkOptionLineQuotesByKind) {
  SetConfig(zmo::cfg::kDB, "MSSQL");
  ASSERT_EQ(Run(kSnap), 0);
  EXPECT_EQ(BinLines("BulkOn.sql")[2], "sp_dboption r3klv,\"select into/bulkcopy\",true");
  EXPECT_EQ(BinLines("BulkOff.sql")[2], "sp_dboption r3klv,\"select into/bulkcopy\",false");
  ResetRun();
  SetConfig(zmo::cfg::kDB, "Sybase");
  ASSERT_EQ(Run(kSnap), 0);
  EXPECT_EQ(BinLines("BulkOn.sql")[2], "sp_dboption r3klv,'select into/bulkcopy',true");
  EXPECT_EQ(BinLines("BulkOff.sql")[2], "sp_dboption r3klv,'select into/bulkcopy',false");
}

TEST_F(KindFilesTest, TrailingSeparatorOfBinDirGivesTheSamePaths) {
  ASSERT_EQ(Run(kSnap), 0);
  const std::string without = Read(Bin("zmoload_snap.bat"));
  ResetRun();
  SetConfig(zmo::cfg::kBinDir, bin_dir() + "//");
  ASSERT_EQ(Run(kSnap), 0);
  EXPECT_EQ(Read(Bin("zmoload_snap.bat")), without);
  EXPECT_THAT(TraceTexts(), HasLine("BinDir=" + bin_dir()));
}

TEST_F(KindFilesTest, PathsWithBlanksStayOneArgument) {
  const std::string spaced = dir_ / "bin dir";
  std::filesystem::create_directories(spaced + "/ArchiveData");
  for (const char* name : {"zmogdlib.so", "zmocatENU.cat"}) {
    std::filesystem::create_symlink(std::string(ZMO_TEST_BIN_DIR) + "/" + name,
                                    spaced + "/" + name);
  }
  for (const std::string& f : loader_test::kDataFiles) zmo_test::WriteFile(spaced + "/" + f, "");
  SetConfig(zmo::cfg::kBinDir, spaced);
  SetConfig(zmo::cfg::kDB, "MSSQL");
  ASSERT_EQ(Run(kSnap), 0);
  std::vector<std::string> bat = CrlfLines(Read(spaced + "/zmoload_snap.bat"));
  EXPECT_EQ(bat[0], "cd \"" + spaced + "\"");
  EXPECT_EQ(zmo::SplitCommandLine(bat[1]),
            (std::vector<std::string>{"isql", "-Uzmouser", "-Psecret", "-SWHSE", "-i",
                                      spaced + "/BulkOn.sql"}));
  // The bcp line: data file, error file and log each one argument.
  auto bcp_line = std::find_if(bat.begin(), bat.end(),
                               [](const std::string& l) { return l.rfind("bcp ", 0) == 0; });
  ASSERT_NE(bcp_line, bat.end());
  std::vector<std::string> bcp = zmo::SplitCommandLine(*bcp_line);
  ASSERT_GE(bcp.size(), 12u);
  EXPECT_EQ(bcp[3], spaced + "/zmosnap.cpu");
  EXPECT_EQ(bcp[5], spaced + "/trace_zmo_out_put_daily.bad");
  EXPECT_EQ(bcp[10], ">");
  EXPECT_EQ(bcp[11], spaced + "/trace_zmo_load_snap.log");
}

TEST_F(KindFilesTest, PasswordThatABlankOrARedirectWouldSplitIsQuoted) {
  SetConfig(zmo::cfg::kAccess, Scramble("se cret>x"));
  SetConfig(zmo::cfg::kDB, "MSSQL");
  ASSERT_EQ(Run(kStati), 0);
  std::vector<std::string> bat = BinLines("zmoload_stati.bat");
  EXPECT_EQ(bat[1], "isql -Uzmouser \"-Pse cret>x\" -SWHSE -i " + Bin("BulkOn.sql"));
  auto bcp = std::find_if(bat.begin(), bat.end(),
                          [](const std::string& l) { return l.rfind("bcp ", 0) == 0; });
  ASSERT_NE(bcp, bat.end());
  EXPECT_THAT(zmo::SplitCommandLine(*bcp), Contains("-Pse cret>x"));
}

// A value that would split a line, end its quotes, end a statement or start
// a comment ends the run before any file is written, with a line that names
// the value (never the password's text).
TEST_F(KindFilesTest, TextThatWouldBreakALineIsRefusedBeforeAnyFile) {
  struct Case {
    const char* name;
    std::string value;
    const char* db;
    const char* holds;
  };
  const Case cases[] = {
      {"User", "zmo\"user", "Oracle", "a double quote, which would end its quotes in a batch line"},
      {"DSN", "WHSE\r\nExit", "MSSQL",
       "a control character, which would split the line in a batch line"},
      {"INST", "inst\"x", "Corva", "a quote, which would start a quoted text in a Corva statement"},
      {"User", "o'brien", "Corva", "a quote, which would start a quoted text in a Corva statement"},
      {"DSN", "WHSE--x", "Corva", "'--', which would start a comment in a Corva statement"},
      {"StatiOutPut", "/data/o'brien.dat", "Oracle",
       "a single quote, which would end its quotes in an Oracle control file"},
      {"StatiOutPut", "/data/\"x\".dat", "Tessel",
       "a double quote, which would end its quotes in a batch line"},
      {"StatiOutPut", "/data/x\n.dat", "Corva",
       "a control character, which would split the line in a batch line"},
      {"BinDir", dir_ / "it's", "Oracle",
       "a single quote, which would end its quotes in an Oracle control file"},
      {"Access", Scramble("pass\"word"), "Sybase",
       "a double quote, which would end its quotes in a batch line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.db);
    ResetRun();
    SetDefaults();
    SetConfig(zmo::cfg::kDB, c.db);
    SetConfig(c.name, c.value);
    // The run's BinDir, where its trace goes.
    const std::string dir = std::string(c.name) == "BinDir" ? c.value : bin_dir();
    if (dir != bin_dir()) {
      std::filesystem::create_directories(dir + "/ArchiveData");
      for (const char* name : {"zmogdlib.so", "zmocatENU.cat"}) {
        std::filesystem::create_symlink(Bin(name), dir + "/" + name);
      }
    }
    EXPECT_EQ(Run(kStati), 99);
    std::vector<std::string> traced = zmo_test::TraceTextsOf(dir + "/trace_zmoldr.log");
    ASSERT_THAT(traced, SizeIs(Ge(2u)));
    EXPECT_EQ(traced[traced.size() - 2],
              std::string("ERROR - ERROR: The value <") + c.name + "> holds " + c.holds);
    EXPECT_EQ(traced.back(), "ERROR - ERROR: Execution halting");
    for (const std::string& t : traced) EXPECT_THAT(t, Not(HasText("pass\"word")));
    EXPECT_TRUE(std::filesystem::is_empty(dir + "/ArchiveData"));
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename();
      const bool data = std::find(loader_test::kDataFiles.begin(), loader_test::kDataFiles.end(),
                                  name) != loader_test::kDataFiles.end();
      EXPECT_TRUE(data || name == "trace_zmoldr.log" || name == "zmogdlib.so" ||
                  name == "zmocatENU.cat" || name == "ArchiveData")
          << "written: " << name;
    }
  }
}

// Where the syntax quotes a path, a path that a ";", a quote, a blank or
// "--" would break is quoted, and the rest of the line is as before.
TEST_F(KindFilesTest, PathsThatWouldBreakAStatementAreQuoted) {
  const std::string hostile = dir_ / "zmo;drop/**/table/**/r3_progresp;.dat";
  SetConfig(zmo::cfg::kStatiOutPut, hostile);
  std::filesystem::create_directories(std::filesystem::path(hostile).parent_path());
  zmo_test::WriteFile(hostile, "");
  SetConfig(zmo::cfg::kDB, "Corva");
  ASSERT_EQ(Run(kStati), 0);
  EXPECT_THAT(BinLines("zmoload_stati.sql"),
              Contains("import from \"" + hostile + "\" of del insert into s01002003004000153;"));
  EXPECT_THAT(BinLines("zmoload2_stati.bat"),
              Contains("move \"" + hostile + "\" \"" + archive_dir() + "/stati_" +
                       loader_test::kNowStamp + ".dat\""));

  // BinDir with a single quote, "--" and a blank: the Corva imports.
  struct Case {
    const char* dir;
    const char* db;
    const char* file;
    const char* line;  // with <dir> for the directory
  };
  const Case cases[] = {
      {"o'x--y z", "Corva", "zmoload_snap.sql",
       "import from \"<dir>/zmosnap.cpu\" of del insert into c01002003004000153;"},
      // The Oracle control files take no single quote; "--" and a blank
      // are quoted in the SQL client's spool and stay as they are inside
      // the control file's quotes.
      {"a--b c", "Oracle", "zmostage_snap.sql", "spool \"<dir>/trace_zmo_stage_snap.log\""},
      {"a--b c", "Oracle", "zmosnap_cpu.par", "infile '<dir>/zmosnap.cpu'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string dir = dir_ / c.dir;
    std::filesystem::create_directories(dir + "/ArchiveData");
    for (const char* name : {"zmogdlib.so", "zmocatENU.cat"}) {
      std::filesystem::remove(dir + "/" + name);
      std::filesystem::create_symlink(std::string(ZMO_TEST_BIN_DIR) + "/" + name, dir + "/" + name);
    }
    for (const std::string& f : loader_test::kDataFiles) zmo_test::WriteFile(dir + "/" + f, "");
    ResetRun();
    SetDefaults();
    SetConfig(zmo::cfg::kBinDir, dir);
    SetConfig(zmo::cfg::kDB, c.db);
    ASSERT_EQ(Run(kSnap), 0);
    std::string line = c.line;
    line.replace(line.find("<dir>"), 5, dir);
    EXPECT_THAT(CrlfLines(Read(dir + "/" + c.file)), Contains(line));
  }
}

TEST_F(KindFilesTest, ASemicolonInTheCorvaLogonIsRefused) {
  struct Case {
    const char* name;
    std::string value;
  };
  const Case cases[] = {{"INST", "zmoinst; drop table r3_progresp"},
                        {"DSN", "WHSE;drop table r3_progresp"},
                        {"User", "zmo;user"},
                        {"Access", Scramble("se;cret")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetRun();
    SetDefaults();
    SetConfig(zmo::cfg::kDB, "Corva");
    SetConfig(c.name, c.value);
    EXPECT_EQ(Run(kStati), 99);
    std::vector<std::string> traced = TraceTexts();
    ASSERT_THAT(traced, SizeIs(Ge(2u)));
    EXPECT_EQ(traced[traced.size() - 2], std::string("ERROR - ERROR: The value <") + c.name +
                                             "> holds a ';', which would end a Corva statement");
    EXPECT_EQ(traced.back(), "ERROR - ERROR: Execution halting");
    for (const std::string& t : traced) EXPECT_THAT(t, Not(HasText("se;cret")));
    EXPECT_FALSE(zmo::FileExists(Bin("zmoload_stati.sql").c_str())) << "no script written";
  }
  // Another kind takes a ";" in its logon as any other character.
  ResetRun();
  SetDefaults();
  SetConfig(zmo::cfg::kDB, "Oracle");
  SetConfig(zmo::cfg::kUser, "zmo;user");
  EXPECT_EQ(Run(kStati), 0);
}

TEST_F(KindFilesTest, NoPasswordEndsTheRun) {
  SetConfig(zmo::cfg::kAccess, "short");
  EXPECT_EQ(Run(kSnap), 99);
  std::vector<std::string> traced = TraceTexts();
  EXPECT_EQ(std::vector<std::string>(traced.end() - 3, traced.end()),
            (std::vector<std::string>{"Word=short", "ERROR - ERROR: User Password not entered",
                                      "ERROR - ERROR: Execution halting"}));
}

TEST_F(KindFilesTest, NoZmogdlibIsTracedAndNoPasswordEndsTheRun) {
  std::filesystem::remove(Bin("zmogdlib.so"));
  EXPECT_EQ(Run(kSnap), 99);
  EXPECT_THAT(TraceTexts(),
              HasLine("zmoLoaderGdLib() could NOT load <" + Bin("zmogdlib.so") + ">"));
  EXPECT_THAT(TraceTexts(), HasLine("zmoLoaderGdLib() returned unsuccessfully"));
  EXPECT_THAT(TraceTexts(), HasLine("ERROR - ERROR: User Password not entered"));
}

TEST_F(KindFilesTest, ArchiveKeepDaysWithoutItsSignLooksBack) {
  SetConfig(zmo::cfg::kArchiveKeepDays, "7");
  ASSERT_EQ(Run(kStati), 0);
  std::vector<std::string> bat = BinLines("zmoload_stati.bat");
  for (const char* date : {"20040103", "20040102", "20040101"}) {
    EXPECT_THAT(bat, Contains("del \"" + archive_dir() + "/stati_" + date + "*.dat\""));
  }
  ResetRun();
  SetConfig(zmo::cfg::kArchiveKeepDays, "a week");
  EXPECT_EQ(Run(kStati), 99);
  EXPECT_THAT(TraceTexts(),
              HasLine("ERROR - ERROR: ArchiveKeepDays not correct, expecting a number of days"));
}

// Numbers stored with blanks around them, or with the line end of the file
// zmosetval -v @file took them from, are read as the numbers they spell.
TEST_F(KindFilesTest, NumbersAreReadWithoutTheirBlanksAndLineEnd) {
  const struct {
    const char* before;
    const char* after;
  } forms[] = {{"", " "}, {" ", ""}, {"", "\r\n"}, {"", "\n"}, {" \t", " \r\n"}};
  for (const auto& f : forms) {
    auto stored = [&](const char* number) { return f.before + std::string(number) + f.after; };
    SCOPED_TRACE(::testing::PrintToString(stored("-7")));
    ResetRun();
    SetConfig(zmo::cfg::kArchiveKeepDays, stored("-7"));
    SetConfig(zmo::cfg::kTrendKeepDays, stored("30"));
    SetConfig(zmo::cfg::kDetailKeepDays, stored("-45"));
    SetConfig(zmo::cfg::kSystemSLA, stored("2000"));
    SetConfig(zmo::cfg::kLoaderLogSize, stored("1024"));
    ASSERT_EQ(Run(kStati), 0);
    std::vector<std::string> bat = BinLines("zmoload_stati.bat");
    for (const char* date : {"20040103", "20040102", "20040101"}) {
      EXPECT_THAT(bat, Contains("del \"" + archive_dir() + "/stati_" + date + "*.dat\""));
    }
    for (const char* line : {"ArchiveKeepDays=-7", "TrendKeepDays=30", "DetailKeepDays=-45",
                             "System SLA=2000", "CheckLogSize: Loader log returns <1024>"}) {
      EXPECT_THAT(TraceTexts(), HasLine(line)) << line;
    }
  }
}

TEST_F(KindFilesTest, AnArchiveOfTheSameSecondIsNeverOverwritten) {
  ASSERT_EQ(zmo::WriteFileAtomic(archive_dir() + "/stati_20040110101112.dat", "earlier"), 0);
  ASSERT_EQ(Run(kStati), 0);
  EXPECT_THAT(BinLines("zmoload_stati.bat"),
              Contains("move \"" + Bin("zmostati.dat") + "\" \"" + archive_dir() +
                       "/stati_20040110101112_1.dat\""));
}

TEST_F(KindFilesTest, AStaleAggregationScriptNeverRunsForThisOne) {
  ASSERT_EQ(zmo::WriteFileAtomic(Bin("zmosnap.sql"), "stale"), 0);
  ASSERT_EQ(Run({"-a", "-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"}), 0);
  EXPECT_NE(Read(Bin("zmosnap.sql")), "stale");
}

}  // namespace
