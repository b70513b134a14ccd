// The MSSQL and Sybase stand-ins: bcp and isql.
#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "dbtools_test_util.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::Crlf;
using dbtools_test::kKey;
using dbtools_test::Read;
using dbtools_test::Row;
using dbtools_test::ToolTest;
using dbtools_test::Write;
using zmo_test::HasText;

class BcpTest : public ToolTest {
 protected:
  std::vector<std::string> Mssql(char table, const std::string& data) {
    return {"r3klv.." + std::string(1, table) + kKey,
            "in",
            data,
            "-e",
            File("bad.txt"),
            "-c",
            "-t",
            ",",
            "-Uzmo",
            "-Psecret",
            "-SWH"};
  }
  std::vector<std::string> Sybase(char table, const std::string& data) {
    return {"r3klv.." + std::string(1, table) + kKey,
            "in",
            data,
            "-c",
            "-Uzmo",
            "-Psecret",
            "-t",
            ",",
            "-e",
            File("bad.txt"),
            "-SWH"};
  }
};

TEST_F(BcpTest, BothFormsLoadEveryStagingTable) {
  const std::vector<std::pair<char, size_t>> tables = {
      {'c', 19}, {'d', 11}, {'l', 12}, {'v', 6}, {'s', 24}};
  for (const auto& [letter, columns] : tables) {
    Write(File("data.txt"), Crlf({Row(columns), Row(columns), Row(columns)}));
    for (const auto& args : {Mssql(letter, File("data.txt")), Sybase(letter, File("data.txt"))}) {
      EXPECT_EQ(Run("bcp", args), 0) << letter << "\n" << Stdout();
      EXPECT_EQ(Stdout(), "bcp: copying " + File("data.txt") + " into r3klv.." + letter + kKey +
                              " on WH as zmo\r\nbcp: 3 rows loaded into " + letter + kKey +
                              ", 0 rejected\r\n");
    }
  }
  EXPECT_FALSE(zmo::FileExists(File("bad.txt").c_str()));
  ASSERT_EQ(Calls().size(), 10u);
  std::vector<std::string> first = {"bcp"};
  for (const std::string& a : Mssql('c', File("data.txt"))) {
    first.push_back(a == "-Psecret" ? "-P****" : a);  // the log shows no clear password
  }
  EXPECT_EQ(Calls()[0], first);
}

TEST_F(BcpTest, RowsThatDoNotFitGoToTheErrorFile) {
  // A text with a comma in it splits its field in two.
  std::string split = Row(6) + ",extra";
  Write(File("zmoavai.dat"), Crlf({Row(6), split, Row(5), Row(6)}));
  EXPECT_EQ(Run("bcp", Mssql('v', File("zmoavai.dat"))), zmo::dbtools::kToolRejected);
  EXPECT_EQ(Read(File("bad.txt")), Crlf({split, Row(5)}));
  std::string out = Stdout();
  EXPECT_NE(out.find("row 2 of " + File("zmoavai.dat") + " rejected: 7 fields, v" + kKey +
                     " has 6 columns"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("2 rows loaded into v" + kKey + ", 2 rejected"), std::string::npos) << out;
}

struct BcpRefusal {
  std::vector<std::string> args;  // {data} stands for a data file that exists
  const char* message;
};

void PrintTo(const BcpRefusal& c, std::ostream* os) { *os << c.message; }

class BcpRefusalTest : public BcpTest, public ::testing::WithParamInterface<BcpRefusal> {};

TEST_P(BcpRefusalTest, RefusesTheCommandLine) {
  Write(File("data.txt"), Crlf({Row(19)}));
  std::vector<std::string> args;
  for (std::string a : GetParam().args) args.push_back(a == "{data}" ? File("data.txt") : a);
  EXPECT_EQ(Run("bcp", args), zmo::dbtools::kToolFailed);
  EXPECT_NE(Stderr().find(GetParam().message), std::string::npos) << Stderr();
}

const std::string kC = "r3klv..c" + kKey;

INSTANTIATE_TEST_SUITE_P(
    Forms, BcpRefusalTest,
    ::testing::Values(
        BcpRefusal{{}, "the form is bcp"}, BcpRefusal{{kC, "out", "{data}"}, "the form is bcp"},
        BcpRefusal{{"master..c" + kKey, "in", "{data}"}, "is not r3klv..<table>"},
        BcpRefusal{{"r3klv.c" + kKey, "in", "{data}"}, "is not r3klv..<table>"},
        BcpRefusal{{"r3klv..x" + kKey, "in", "{data}"}, "no staging table x"},
        BcpRefusal{{"r3klv..c12a", "in", "{data}"}, "no staging table c12a"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-t", ",", "-Uu", "-Pp", "-Ss"},
                   "-c is missing"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t", ",", "-Uu", "-Pp"}, "-S is missing"},
        BcpRefusal{{kC, "in", "{data}", "-c", "-t", ",", "-Uu", "-Pp", "-Ss"}, "-e is missing"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t", ";", "-Uu", "-Pp", "-Ss"},
                   "the field terminator is -t ,"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t"}, "-t needs a value"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t", ",", "-U", "u", "-Pp", "-Ss"},
                   "-U needs its value attached"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-c", "-t", ",", "-Uu", "-Pp", "-Ss"},
                   "-c given twice"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t", ",", "-Uu", "-Pp", "-Ss", "-b1000"},
                   "unknown option -b1000"},
        BcpRefusal{{kC, "in", "{data}", "-e", "b", "-c", "-t", ",", "-Uu", "-Pp", "-Ss", "extra"},
                   "unexpected argument extra"},
        BcpRefusal{
            {kC, "in", "/no/such/zmosnap.cpu", "-e", "b", "-c", "-t", ",", "-Uu", "-Pp", "-Ss"},
            "cannot read the data file /no/such/zmosnap.cpu"}));

const char* const kBulkOn[] = {
    "use master", "go", "sp_dboption r3klv,\"select into/bulkcopy\",true", "go", "use r3klv", "go",
    "checkpoint", "go"};

TEST_F(ToolTest, IsqlRunsTheBatchesOfAScript) {
  Write(File("BulkOn.sql"), Crlf({std::begin(kBulkOn), std::end(kBulkOn)}));
  EXPECT_EQ(Run("isql", {"-Uzmo", "-Psecret", "-SWH", "-i", File("BulkOn.sql")}), 0) << Stderr();
  EXPECT_EQ(Stdout(),
            "isql: connected to WH as zmo\r\nisql: ran " + File("BulkOn.sql") + ", 4 batches\r\n");
}

TEST_F(ToolTest, IsqlFindsARelativeScriptInTheCurrentDirectory) {
  Write(File("BulkOn.sql"), Crlf({std::begin(kBulkOn), std::end(kBulkOn)}));
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  EXPECT_EQ(Run("isql", {"-Uzmo", "-Psecret", "-SWH", "-i", "BulkOn.sql"}), 0) << Stderr();
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_EQ(Run("isql", {"-Uzmo", "-Psecret", "-SWH", "-i", "BulkOn.sql"}),
            zmo::dbtools::kToolFailed);
  EXPECT_THAT(Stderr(), HasText("cannot read the script BulkOn.sql"));
}

TEST_F(ToolTest, IsqlWithEchoAndOutputWritesTheLog) {
  Write(File("zmostati.sql"), Crlf({"delete from t", "go", "insert into u values (1)", "go"}));
  std::string log = File("trace_zmo_agg_stati.log");
  EXPECT_EQ(Run("isql", {"-Uzmo", "-Psecret", "-SWH", "-i", File("zmostati.sql"), "-e", "-o", log}),
            0);
  EXPECT_EQ(Stdout(), "");
  EXPECT_EQ(Read(log),
            "isql: connected to WH as zmo\r\ndelete from t\r\ngo\r\n"
            "insert into u values (1)\r\ngo\r\nisql: ran " +
                File("zmostati.sql") + ", 2 batches\r\n");
}

TEST_F(ToolTest, IsqlTellsOfTextAfterTheLastGo) {
  Write(File("s.sql"), Crlf({"use r3klv", "go", "checkpoint"}));
  EXPECT_EQ(Run("isql", {"-Uzmo", "-Psecret", "-SWH", "-i", File("s.sql")}),
            zmo::dbtools::kToolRejected);
  EXPECT_NE(Stdout().find("the text after the last go in " + File("s.sql") + " is not run"),
            std::string::npos)
      << Stdout();
}

TEST_F(ToolTest, IsqlRefusesOtherForms) {
  Write(File("s.sql"), "go\r\n");
  const std::string s = File("s.sql");
  const std::vector<std::pair<std::vector<std::string>, const char*>> wrong = {
      {{"-Uzmo", "-Psecret", "-SWH"}, "-i is missing"},
      {{"-Psecret", "-SWH", "-i", s}, "-U is missing"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i"}, "-i needs a value"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i", s, "-o"}, "-o needs a value"},
      {{"-Uzmo", "-P", "-SWH", "-i", s}, "-P needs its value attached"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i", s, "-x"}, "unknown option -x"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i", s, "-ee"}, "unknown option -ee"},
      {{"-Uzmo", "-Psecret", "-SWH", s}, "unexpected argument"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i", File("none.sql")}, "cannot read the script"},
      {{"-Uzmo", "-Psecret", "-SWH", "-i", s, "-o", "/no/dir/x.log"}, "cannot create the log"},
  };
  for (const auto& [args, message] : wrong) {
    EXPECT_EQ(Run("isql", args), zmo::dbtools::kToolFailed) << message;
    EXPECT_NE(Stderr().find(message), std::string::npos) << message << "\n" << Stderr();
  }
}

}  // namespace
