// The Corva stand-ins: the SQL client corva with the load scripts, and the
// command window corvacmd that runs the second batch.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "dbtools_test_util.h"
#include "platform/window_titles.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::Crlf;
using dbtools_test::kKey;
using dbtools_test::Read;
using dbtools_test::ToolTest;
using dbtools_test::Write;
using zmo_test::HasText;

const std::string kPlus = "echo " + std::string(65, '+') + ";";

// A create table as the load script writes it: 8 blanks, the name in 32
// columns, the type, "," or ")" after the last.
std::vector<std::string> Create(const std::string& table, size_t columns, const char* space) {
  std::vector<std::string> lines = {"create table " + table + " ("};
  for (size_t i = 0; i < columns; ++i) {
    char line[128];
    std::snprintf(line, sizeof(line), "        %-32s%s%s", ("col_" + std::to_string(i)).c_str(),
                  i == 0 ? "varchar(20) not null" : "integer", i + 1 == columns ? ")" : ",");
    lines.push_back(line);
  }
  lines.push_back(std::string("        in ") + space + ";");
  return lines;
}

// A del-format row: text fields in double quotes (one holding a comma and a
// doubled quote), numbers plain.
std::string DelRow(size_t fields) {
  std::string row = "\"RFC_01\",\"host, \"\"a\"\"\"";
  for (size_t i = 2; i < fields; ++i) row += ",      42";
  return row;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class CorvaTest : public ToolTest {
 protected:
  std::vector<std::string> Logon() {
    return {"attach to ZMOINST user zmo using secret;", "connect to WH user zmo using secret;"};
  }
  // The SNAP script with only the CPU group on.
  std::vector<std::string> SnapCpuOnly(const std::string& data) {
    std::string c = "c" + kKey;
    return Join(
        Join(Join(Logon(), {"drop table " + c + ";", "commit;"}), Create(c, 19, "r3klv_data")),
        {"commit;", kPlus, "echo BEGIN Loading records into " + c + ";", kPlus,
         "import from " + data + " of del insert into " + c + ";", kPlus,
         "echo END Loading records into " + c + ";", kPlus, "Terminate;"});
  }
  int RunScript(const std::vector<std::string>& lines) {
    Write(File("zmoload.sql"), Crlf(lines));
    return Run("corva", {"-tvf", File("zmoload.sql")});
  }
};

TEST_F(CorvaTest, TheSnapScriptOfOneGroupLoadsItsTable) {
  Write(File("zmosnap.cpu"), Crlf({DelRow(19), DelRow(19)}));
  ASSERT_EQ(RunScript(SnapCpuOnly(File("zmosnap.cpu"))), 0) << Stdout();
  std::string out = Stdout();
  std::string plus(65, '+');
  for (const std::string& piece :
       {"\r\n" + plus + "\r\n", "\r\nBEGIN Loading records into c" + kKey + "\r\n",
        "corva: 2 rows loaded into c" + kKey + ", 0 rejected\r\n",
        "\r\nEND Loading records into c" + kKey + "\r\n", std::string("Terminate\r\n")}) {
    EXPECT_NE(out.find(piece), std::string::npos) << piece << "\n" << out;
  }
  EXPECT_EQ(Calls(),
            (std::vector<std::vector<std::string>>{{"corva", "-tvf", File("zmoload.sql")}}));
}

TEST_F(CorvaTest, TheStatiScriptLoadsTheStatisticsFile) {
  std::string s = "s" + kKey;
  std::string stat = File("zmo stati.dat");  // a blank in the path, quoted in the script
  Write(stat, Crlf({DelRow(24)}));
  EXPECT_EQ(
      RunScript(Join(
          Join(Join(Logon(), {"drop table " + s + ";", "commit;"}), Create(s, 24, "r3klv_load")),
          {"commit;", "import from \"" + stat + "\" of del insert into " + s + ";", "Terminate;"})),
      0)
      << Stdout();
  EXPECT_THAT(Stdout(), HasText("corva: 1 rows loaded into " + s + ", 0 rejected"));
}

struct ScriptFault {
  std::vector<std::string> script;  // {data} stands for a file of 19-field rows
  const char* message;
};

void PrintTo(const ScriptFault& c, std::ostream* os) { *os << c.message; }

class CorvaScriptFaultTest : public CorvaTest, public ::testing::WithParamInterface<ScriptFault> {};

TEST_P(CorvaScriptFaultTest, IsReportedAndTheScriptGoesOn) {
  Write(File("zmosnap.cpu"), Crlf({DelRow(19), DelRow(19)}));
  std::vector<std::string> lines;
  for (std::string l : GetParam().script) {
    size_t at = l.find("{data}");
    if (at != std::string::npos) l.replace(at, 6, File("zmosnap.cpu"));
    lines.push_back(l);
  }
  lines.push_back("echo still running;");
  EXPECT_EQ(RunScript(lines), zmo::dbtools::kToolRejected);
  EXPECT_NE(Stdout().find(GetParam().message), std::string::npos) << Stdout();
  EXPECT_NE(Stdout().find("\r\nstill running\r\n"), std::string::npos) << Stdout();
}

const std::string kC = "c" + kKey;

INSTANTIATE_TEST_SUITE_P(
    Faults, CorvaScriptFaultTest,
    ::testing::Values(
        ScriptFault{{"import from {data} of del insert into " + kC + ";"},
                    "no database connection for: import"},
        ScriptFault{{"connect to WH user zmo;"}, "connect is: connect to <name> user"},
        ScriptFault{
            {"connect to WH user zmo using pw;", "import from {data} of del insert into x1;"},
            "table x1 does not exist"},
        ScriptFault{
            {"connect to WH user zmo using pw;", "create table " + kC + " (a integer) in x;",
             "import from {data} of del insert into " + kC + ";"},
            "row 1 of "},
        ScriptFault{{"connect to WH user zmo using pw;",
                     "import from {data} of asc insert into " + kC + ";"},
                    "import is: import from <file> of del insert into <table>"},
        ScriptFault{{"connect to WH user zmo using pw;",
                     "import from /no/such.cpu of del insert into " + kC + ";"},
                    "cannot read /no/such.cpu"},
        ScriptFault{{"connect to WH user zmo using pw;", "create table " + kC + " (a integer;"},
                    "cannot read the create table statement"}));

TEST_F(CorvaTest, AStagingTableThatTheScriptDidNotCreateStillTakesItsRows) {
  Write(File("zmosnap.cpu"), Crlf({DelRow(19), DelRow(18), "\"open,1"}));
  EXPECT_EQ(RunScript(Join(Logon(), {"import from " + File("zmosnap.cpu") + " of del insert into " +
                                     kC + ";"})),
            zmo::dbtools::kToolRejected);
  std::string out = Stdout();
  EXPECT_NE(out.find("row 2 of " + File("zmosnap.cpu") + " rejected: 18 fields"), std::string::npos)
      << out;
  EXPECT_NE(out.find("row 3 of " + File("zmosnap.cpu") + " rejected: an open quote"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("1 rows loaded into " + kC + ", 2 rejected"), std::string::npos) << out;
}

TEST_F(CorvaTest, AStatementWithoutItsSemicolonIsNotRun) {
  EXPECT_EQ(RunScript({"connect to WH user zmo using pw;", "Terminate"}),
            zmo::dbtools::kToolRejected);
  EXPECT_NE(Stdout().find("the last statement has no ; and is not run: Terminate"),
            std::string::npos);
}

TEST_F(CorvaTest, RefusesOtherForms) {
  Write(File("s.sql"), "Terminate;\r\n");
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"-tvf"}, {File("s.sql")}, {"-tf", File("s.sql")}, {"-tvf", File("s.sql"), "x"}};
  for (const auto& args : wrong) {
    EXPECT_EQ(Run("corva", args), zmo::dbtools::kToolFailed);
    EXPECT_NE(Stderr().find("the form is corva -tvf <script>"), std::string::npos) << Stderr();
  }
  EXPECT_EQ(Run("corva", {"-tvf", File("none.sql")}), zmo::dbtools::kToolFailed);
  EXPECT_THAT(Stderr(), HasText("cannot read the script " + File("none.sql")));
}

class CorvacmdTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    const char* path = getenv("PATH");
    old_path_ = path ? path : "";
    setenv("PATH", (std::string(ZMO_TEST_BIN_DIR) + "/dbtools:" + ZMO_TEST_BIN_DIR).c_str(), 1);
    setenv("ZMO_WINDOWS", File("windows").c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    unsetenv("ZMO_WINDOWS");
    ToolTest::TearDown();
  }
  std::string old_path_;
};

TEST_F(CorvacmdTest, RunsTheSecondBatchAsTheCommandWindowWould) {
  Write(File("zmosnap.cpu"), Crlf({DelRow(19)}));
  Write(File("zmoload_snap.sql"),
        Crlf(Join({"connect to WH user zmo using secret;"},
                  {"import from " + File("zmosnap.cpu") + " of del insert into " + kC + ";",
                   "Terminate;"})));
  std::string window = File("windows/" + std::to_string(getpid()));
  Write(File("zmoload2_snap.bat"), Crlf({"cd \"" + dir_ + "\"",
                                         "corva -tvf \"" + File("zmoload_snap.sql") + "\" > \"" +
                                             File("trace_zmo_load_snap.log") + "\"",
                                         "type \"" + window + "\" > window.txt", "Exit 4"}));
  EXPECT_EQ(Run("corvacmd", {File("zmoload2_snap.bat")}), 4) << Stderr();
  EXPECT_NE(Read(File("trace_zmo_load_snap.log")).find("corva: 1 rows loaded into " + kC),
            std::string::npos)
      << Read(File("trace_zmo_load_snap.log"));
  EXPECT_EQ(Calls(),
            (std::vector<std::vector<std::string>>{{"corvacmd", File("zmoload2_snap.bat")},
                                                   {"corva", "-tvf", File("zmoload_snap.sql")}}));
  // While it ran it had a console window titled by its program path.
  std::string entry = Read(File("window.txt"));
  EXPECT_EQ(entry.substr(entry.find('\n') + 1), zmo::ProgramPath());
  std::string title;
  EXPECT_NE(zmo::GetWindowTitleOf(getpid(), &title), 0) << "closed at the end";
}

TEST_F(CorvacmdTest, RefusesOtherForms) {
  EXPECT_EQ(Run("corvacmd", {}), zmo::dbtools::kToolFailed);
  EXPECT_EQ(Run("corvacmd", {"a.bat", "b.bat"}), zmo::dbtools::kToolFailed);
  EXPECT_THAT(Stderr(), HasText("the form is corvacmd <batch file>"));
  EXPECT_EQ(Run("corvacmd", {File("none.bat")}), zmo::dbtools::kToolFailed);
  EXPECT_THAT(Stderr(), HasText("cannot read the batch file " + File("none.bat")));
}

}  // namespace
