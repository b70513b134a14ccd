// What the five dialects write differently: the frame of a statement, the
// headers, the date and hour of the time stamps the collectors write, the
// column lists and the emptying of a table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "aggregate_fixture.h"
#include "common/time_stamps.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using aggregate_test::AggregateTest;
using ::testing::Contains;
using zmo_test::HasText;

const std::string kStage = std::string("s") + aggregate_test::kKey;

class DialectTest : public AggregateTest {};

TEST_F(DialectTest, EachKindFramesItsStatements) {
  struct Case {
    const char* kind;
    std::vector<std::string> head;  // lines before the first statement
    std::string terminator;
    std::vector<std::string> commit;
    std::vector<std::string> tail;
  };
  const Case cases[] = {
      {"Corva",
       {"attach to zmoinst  user zmouser using secret;",
        "connect to WHSE user zmouser using secret;", ""},
       ";",
       {"COMMIT;"},
       {"TERMINATE;"}},
      {"Tessel", {}, ";", {}, {}},
      {"MSSQL", {}, "", {"go"}, {}},
      // One transaction: the first failed statement rolls back the run's
      // work, the final EXIT commits it.
      {"Oracle",
       {"spool " + Bin("trace_zmo_agg_stati.log"), "set serverout on", "set echo on",
        "set define off", "whenever sqlerror exit failure rollback", ""},
       ";",
       {},
       {"spool off;", "EXIT;"}},
      {"Sybase", {"use r3klv", "", "go", ""}, "", {"go"}, {}},
  };
  for (const Case& c : cases) {
    Prime(kProgramStati, c.kind);
    OnlySwitches({});
    ASSERT_EQ(WriteStati(), 0);
    std::vector<std::string> want = c.head;
    for (const std::string& s :
         {std::string("delete from r3_last_seq"),
          std::string("insert into r3_last_seq (prog_seq_id) select max(prog_seq_id) from "
                      "r3_progresp"),
          std::string("update r3_last_seq set prog_seq_id = 0 where prog_seq_id is null")}) {
      want.push_back(s + c.terminator);
      want.push_back("");
      want.insert(want.end(), c.commit.begin(), c.commit.end());
    }
    want.insert(want.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(StatiLines(), want) << c.kind;
  }
}

TEST_F(DialectTest, KindIsChosenByItsFirstLetterInEitherCase) {
  // Only the Tessel dialect has no header and trims with trim().
  WriteBin("zmoIDsToIgnore.dat", aggregate_test::IgnoreList({"DDIC"}, 12));
  for (const char* kind : {"TESSEL", "tessel", "Tessel", "T"}) {
    ASSERT_EQ(writeStatiAggregateSql(zmo::dbKindFromVendor(kind)), 0) << kind;
    std::vector<std::string> lines = StatiLines();
    EXPECT_EQ(lines.front(), "delete from " + kStage) << kind;
    EXPECT_THAT(lines, Contains("delete from " + kStage + " where trim(user_name) = 'DDIC';"))
        << kind;
  }
}

// The staging columns hold the fixed-width fields with their trailing
// blanks, so an excluded entry matches only the column as the dialect trims
// it.
TEST_F(DialectTest, ExclusionDeletesCompareTheTrimmedColumn) {
  WriteBin("zmoIDsToIgnore.dat", aggregate_test::IgnoreList({"DDIC"}, 12));
  WriteBin("zmoTransToIgnore.dat", aggregate_test::IgnoreList({"SM50"}, 20));
  WriteBin("zmoProgsToIgnore.dat", aggregate_test::IgnoreList({"SAPMSSY1"}, 30));
  struct Case {
    const char* kind;
    const char* trim;  // %s for the column
    const char* terminator;
  };
  const Case cases[] = {{"Corva", "ltrim(rtrim(%s))", ";"},
                        {"Tessel", "trim(%s)", ";"},
                        {"MSSQL", "rtrim(%s)", ""},
                        {"Oracle", "rtrim(%s)", ";"},
                        {"Sybase", "rtrim(%s)", ""}};
  for (const Case& c : cases) {
    Prime(kProgramStati, c.kind);
    ASSERT_EQ(WriteStati(), 0);
    std::vector<std::string> deletes;
    for (const std::string& line : StatiLines()) {
      if (line.rfind("delete from " + kStage + " where rtrim(", 0) == 0 ||
          line.rfind("delete from " + kStage + " where trim(", 0) == 0 ||
          line.rfind("delete from " + kStage + " where ltrim(", 0) == 0) {
        deletes.push_back(line);
      }
    }
    std::vector<std::string> want;
    for (const auto& [column, word] :
         {std::pair{"user_name", "'DDIC'"}, std::pair{"t_code", "'SM50'"},
          std::pair{"cua_prog", "'SAPMSSY1'"}}) {
      want.push_back("delete from " + kStage + " where " + Replace(c.trim, "%s", column) + " = " +
                     word + c.terminator);
    }
    EXPECT_EQ(deletes, want) << c.kind;
  }
}

// Evaluates every substring of end_date in text on a time stamp: the
// substr/substring(end_date,start,length) and end_date[first,last] forms.
std::vector<std::string> Pieces(const std::string& text, const std::string& stamp) {
  static const std::regex kPiece(
      R"(substr(?:ing)?\(end_date,(\d+),(\d+)\)|end_date\[(\d+),(\d+)\])");
  std::vector<std::string> pieces;
  for (std::sregex_iterator it(text.begin(), text.end(), kPiece), end; it != end; ++it) {
    const std::smatch& m = *it;
    size_t first, length;
    if (m[1].matched) {
      first = std::stoul(m[1]);
      length = std::stoul(m[2]);
    } else {
      first = std::stoul(m[3]);
      length = std::stoul(m[4]) - first + 1;
    }
    pieces.push_back(stamp.substr(first - 1, length));
  }
  return pieces;
}

TEST_F(DialectTest, DateAndHourReadTheCollectorsTimeStampOfEachKind) {
  struct Case {
    const char* kind;
    zmo::DbKind db_kind;
    std::vector<std::string> select;    // pieces of the date and the hour, in order
    std::vector<std::string> group_by;  // the hour, then the date
    const char* date_form;              // what the pieces go into
  };
  const Case cases[] = {
      {"Oracle", zmo::DbKind::kOracle, {"20040109", "14"}, {"14", "20040109"}, "'yyyymmdd')"},
      {"Corva", zmo::DbKind::kCorva, {"2004-01-09", "14"}, {"14", "2004-01-09"}, "date(substr("},
      // Style 110 reads mm-dd-yyyy.
      {"MSSQL", zmo::DbKind::kMssql, {"01-09-2004", "14"}, {"14", "01-09-2004"}, "),110)"},
      {"Sybase", zmo::DbKind::kSybase, {"01-09-2004", "14"}, {"14", "01-09-2004"}, "),110)"},
      // date() of mm/dd/yyyy.
      {"Tessel",
       zmo::DbKind::kTessel,
       {"01", "09", "2004", "14"},
       {"14", "2004-01-09"},
       "|| '/' ||"},
  };
  for (const Case& c : cases) {
    char stamp[zmo::kTimeStampMax] = {};
    int n = zmo::putTimeStamp(stamp, c.db_kind, "20040109", "140502");
    ASSERT_GT(n, 0);
    const std::string end_date(stamp, static_cast<size_t>(n));
    Prime(kProgramStati, c.kind);
    ASSERT_EQ(WriteStati(), 0);
    std::vector<std::string> lines = StatiLines();
    // Dialects without a terminator: the statement of interest alone.
    std::string progresp, users;
    for (size_t i = 0; i + 3 < lines.size(); ++i) {
      if (lines[i].rfind("insert into r3_progresp", 0) == 0)
        progresp = lines[i + 1] + "\n" + lines[i + 3];
      if (lines[i].rfind("insert into r3_user_sum", 0) == 0)
        users = lines[i + 1] + "\n" + lines[i + 4];
    }
    ASSERT_FALSE(progresp.empty()) << c.kind;
    ASSERT_FALSE(users.empty()) << c.kind;
    for (const std::string& statement : {progresp, users}) {
      EXPECT_EQ(Pieces(Clause(statement, "select "), end_date), c.select) << c.kind;
      EXPECT_EQ(Pieces(Clause(statement, "group by "), end_date), c.group_by) << c.kind;
      EXPECT_THAT(Clause(statement, "select "), HasText(c.date_form)) << c.kind;
    }
  }
}

TEST_F(DialectTest, TesselNamesTheColumnsOfEveryInsert) {
  Prime(kProgramStati, "Tessel");
  ASSERT_EQ(WriteStati(), 0);
  int inserts = 0;
  for (const std::string& line : StatiLines()) {
    if (line.rfind("insert into ", 0) != 0) continue;
    ++inserts;
    EXPECT_TRUE(Holds(line, " (")) << line;
  }
  EXPECT_GT(inserts, 10);
  EXPECT_EQ(Starting(StatiStatements(), "insert into r3_sla_sum"),
            std::vector<std::string>{
                "insert into r3_sla_sum (system_label,group_name,record_date,sla_yes_count,"
                "sla_no_count,tot_count)\n"
                "select system_label, group_name, record_date, "
                "sum(case when sla_yes_count < 0 then 0 else sla_yes_count end), "
                "sum(case when sla_no_count < 0 then 0 else sla_no_count end), sum(tot_count)\n"
                "from r3_tx_sla\n"
                "group by system_label, group_name, record_date"});
  // The other dialects insert by position.
  Prime(kProgramStati, "Sybase");
  ASSERT_EQ(WriteStati(), 0);
  for (const std::string& line : StatiLines()) {
    if (line.rfind("insert into r3_sla_sum", 0) == 0) {
      EXPECT_EQ(line, "insert into r3_sla_sum");
    }
  }
}

TEST_F(DialectTest, EmptyingATableLeavesNoRowBehind) {
  const char* tables[] = {"r3_trans_sum", "r3_prog_sum",  "r3_trans_variance", "r3_prog_variance",
                          "r3_cur_prog",  "r3_prev_prog", "r3_sla_sum"};
  struct Case {
    const char* kind;
    const char* form;  // %s for the table
  };
  const Case cases[] = {{"Corva", "delete from  %s;"},
                        {"Tessel", "delete from %s where 1 = 1;"},
                        {"MSSQL", "truncate table %s"},
                        {"Oracle", "truncate table %s;"},
                        {"Sybase", "truncate table %s"}};
  for (const Case& c : cases) {
    Prime(kProgramStati, c.kind);
    ASSERT_EQ(WriteStati(), 0);
    std::vector<std::string> lines = StatiLines();
    for (const char* table : tables) {
      std::string want = Replace(c.form, "%s", table);
      EXPECT_EQ(std::count(lines.begin(), lines.end(), want), 1) << c.kind << " " << table;
    }
  }
}

}  // namespace
