// The Tessel stand-in tesseledit300 with the load scripts of both programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbtools_test_util.h"

namespace {

using dbtools_test::Crlf;
using dbtools_test::kKey;
using dbtools_test::Read;
using dbtools_test::Row;
using dbtools_test::ToolTest;
using dbtools_test::Write;

class TesselTest : public ToolTest {
 protected:
  std::vector<std::string> Args(const std::string& script, const std::string& database = "r3klv") {
    return {"/s",   "WH",    "/d",  database, "/u",      "zmo", "/pw",  "secret",
            script, "/exec", "/ns", "/nomsg", "/output", log_,  "/exit"};
  }
  const std::string log_ = File("trace_zmo_load_snap.log");
};

TEST_F(TesselTest, TheSnapScriptLoadsAllFourFiles) {
  struct Group {
    const char* file;
    char table;
    size_t columns;
  };
  const Group groups[] = {{"zmosnap.cpu", 'c', 19},
                          {"zmosnap.dsk", 'd', 11},
                          {"zmosnap.lan", 'l', 12},
                          {"zmoavai.dat", 'v', 6}};
  std::vector<std::string> script;
  for (const Group& g : groups) {
    Write(File(g.file), Crlf({Row(g.columns), Row(g.columns)}));
    script.push_back("load from \"" + File(g.file) + "\" delimiter \",\" insert into " + g.table +
                     kKey + ";");
  }
  Write(File("zmoload_snap.sql"), Crlf(script));
  EXPECT_EQ(Run("tesseledit300", Args(File("zmoload_snap.sql"))), 0) << Read(log_);
  std::string log = Read(log_);
  EXPECT_EQ(log.find("tesseledit300: connected to WH, database r3klv, as zmo\r\n"), 0u) << log;
  for (const Group& g : groups) {
    EXPECT_NE(log.find("tesseledit300: 2 rows loaded into " + std::string(1, g.table) + kKey +
                       ", 0 rejected\r\n"),
              std::string::npos)
        << log;
  }
  EXPECT_EQ(Stdout(), "");
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  std::vector<std::string> expected = {"tesseledit300"};
  // The log shows no clear password.
  for (const std::string& a : Args(File("zmoload_snap.sql"))) {
    expected.push_back(a == "secret" ? "****" : a);
  }
  EXPECT_EQ(calls[0], expected);
}

TEST_F(TesselTest, TheStatiLineNeedsNoSemicolonAndTheAggregationNamesTheSource) {
  Write(File("zmostati.dat"), Crlf({Row(24)}));
  Write(File("zmoload_stati.sql"),
        "load from \"" + File("zmostati.dat") + "\" delimiter \",\" insert into s" + kKey + "\r\n");
  EXPECT_EQ(Run("tesseledit300", Args(File("zmoload_stati.sql"))), 0) << Read(log_);
  EXPECT_NE(Read(log_).find("1 rows loaded into s" + kKey), std::string::npos) << Read(log_);
  // The aggregation line passes the data source after /d.
  Write(File("zmostati.sql"), "delete from x;\r\n");
  EXPECT_EQ(Run("tesseledit300", Args(File("zmostati.sql"), "WH")), 0) << Read(log_);
}

TEST_F(TesselTest, ATableTheScriptCreatesIsCheckedByItsOwnColumns) {
  Write(File("zmosnap.cpu"), Crlf({Row(19), Row(3)}));
  Write(File("load.sql"),
        Crlf({"drop table c" + kKey + ";",
              "create table c" + kKey + " (a varchar(20), b decimal(10,2), c integer);",
              "load from \"" + File("zmosnap.cpu") + "\" delimiter \",\" insert into c" + kKey +
                  ";"}));
  EXPECT_EQ(Run("tesseledit300", Args(File("load.sql"))), zmo::dbtools::kToolRejected);
  std::string log = Read(log_);
  EXPECT_NE(log.find("row 1 of " + File("zmosnap.cpu") + " rejected: 19 fields, c" + kKey +
                     " has 3 columns"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("1 rows loaded into c" + kKey + ", 1 rejected"), std::string::npos) << log;
}

TEST_F(TesselTest, ABadLoadStatementIsReported) {
  Write(File("zmosnap.cpu"), Crlf({Row(19)}));
  for (const std::string& statement :
       {"load from \"" + File("zmosnap.cpu") + "\" delimiter \";\" insert into c" + kKey,
        "load from \"" + File("zmosnap.cpu") + "\" insert into c" + kKey,
        "load \"" + File("zmosnap.cpu") + "\" delimiter \",\" insert into c" + kKey + " now"}) {
    Write(File("load.sql"), statement + ";\r\n");
    EXPECT_EQ(Run("tesseledit300", Args(File("load.sql"))), zmo::dbtools::kToolRejected)
        << statement;
    EXPECT_NE(Read(log_).find("load is: load from"), std::string::npos) << Read(log_);
  }
  Write(File("load.sql"),
        "load from \"" + File("zmosnap.cpu") + "\" delimiter \",\" insert into z1;\r\n");
  EXPECT_EQ(Run("tesseledit300", Args(File("load.sql"))), zmo::dbtools::kToolRejected);
  EXPECT_NE(Read(log_).find("table z1 does not exist"), std::string::npos) << Read(log_);
}

TEST_F(TesselTest, RefusesOtherForms) {
  Write(File("s.sql"), "select 1;\r\n");
  const std::string s = File("s.sql");
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{}, "/s is missing"},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", s, "/exec", "/ns", "/nomsg", "/output",
        log_},
       "/exit is missing"},
      {{"/s", "WH", "/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", s, "/exec", "/ns",
        "/nomsg", "/output", log_, "/exit"},
       "/s given twice"},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", s, s, "/exec", "/ns", "/nomsg",
        "/output", log_, "/exit"},
       "a second script"},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", "/exec", "/ns", "/nomsg", "/output",
        log_, "/exit"},
       "no script named"},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", s, "/exec", "/ns", "/nomsg", "/exit",
        "/output"},
       "/output needs a value"},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", File("none.sql"), "/exec", "/ns",
        "/nomsg", "/output", log_, "/exit"},
       "cannot read the script " + File("none.sql")},
      {{"/s", "WH", "/d", "r3klv", "/u", "zmo", "/pw", "pw", s, "/exec", "/ns", "/nomsg", "/output",
        "/no/dir/x.log", "/exit"},
       "cannot create the log /no/dir/x.log"},
  };
  for (const auto& [args, message] : wrong) {
    EXPECT_EQ(Run("tesseledit300", args), zmo::dbtools::kToolFailed) << message;
    EXPECT_NE(Stderr().find(message), std::string::npos) << message << "\n" << Stderr();
  }
}

}  // namespace
