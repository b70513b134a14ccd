// The statistics aggregation script: its switch gates, the configuration
// files it reads, the group table it keeps and the sound forms of its
// statements.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "aggregate_fixture.h"
#include "zmo_test/matchers.h"
#include "zmoloader/libraries.h"

using namespace zmo::loader;

namespace {

using aggregate_test::AggregateTest;
using aggregate_test::AppGroups;
using aggregate_test::IgnoreList;
using aggregate_test::Renames;
using aggregate_test::TransGroups;
using ::testing::Not;
using zmo_test::HasLine;
using zmo_test::HasText;

const std::string kStage = std::string("s") + aggregate_test::kKey;

class StatiScriptTest : public AggregateTest {
 protected:
  std::vector<std::string> Written() {
    EXPECT_EQ(WriteStati(), 0);
    return StatiStatements();
  }
  // The exclusion deletes of a column, which the Oracle dialect compares
  // trimmed.
  std::vector<std::string> Deletes(const std::string& column) {
    return Starting(Written(), ExclusionDelete(column, ""));
  }
  static std::string ExclusionDelete(const std::string& column, const std::string& literal) {
    return "delete from " + kStage + " where rtrim(" + column + ") = " + literal;
  }
  void WriteGroupFiles() {
    WriteBin("zmoTransGroup.dat", TransGroups({{"Sales", "VA01"}}));
    WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "1500"}}));
  }
};

// -- Gates ------------------------------------------------------------------

TEST_F(StatiScriptTest, EverySwitchOffWritesTheFrameOnly) {
  // Files that the switched-off groups would read change nothing.
  WriteBin("zmoIDsToIgnore.dat", IgnoreList({"DDIC"}, 12));
  WriteGroupFiles();
  WriteBin("zmogrpupdt.dat", Renames({{"New", "Old"}}));
  OnlySwitches({});
  ASSERT_EQ(WriteStati(), 0);
  const std::vector<std::string> want = {
      "spool " + Bin("trace_zmo_agg_stati.log"), "set serverout on", "set echo on",
      "set define off", "whenever sqlerror exit failure rollback", "", "delete from r3_last_seq;",
      "", "insert into r3_last_seq (prog_seq_id) select max(prog_seq_id) from r3_progresp;", "",
      "update r3_last_seq set prog_seq_id = 0 where prog_seq_id is null;", "",
      // No staging table was made for a run that wants no records, so
      // there is none to drop.
      "spool off;", "EXIT;"};
  EXPECT_EQ(StatiLines(), want);
  EXPECT_EQ(StoredGroupDate(), "<none>");
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
}

TEST_F(StatiScriptTest, TrendDataWritesTheSummariesAndOnlyIt) {
  const char* trend_only[] = {"truncate table r3_trans_sum",
                              "insert into r3_trans_sum",
                              "update r3_trans_sum set avg_other_time = 0",
                              "truncate table r3_prog_sum",
                              "insert into r3_prog_sum",
                              "update r3_prog_sum set avg_other_time = 0",
                              "truncate table r3_trans_variance",
                              "truncate table r3_prog_variance",
                              "truncate table r3_cur_prog",
                              "truncate table r3_prev_prog",
                              "insert into r3_cur_prog",
                              "insert into r3_prev_prog",
                              "delete from r3_cur_prog where tot_cpu_time = 0",
                              "delete from r3_prev_prog where tot_database_time = 0",
                              "insert into r3_trans_variance",
                              "insert into r3_prog_variance",
                              "truncate table r3_sla_sum",
                              "insert into r3_sla_sum"};
  AllSwitches();
  std::vector<std::string> with_trend = Written();
  AllSwitchesBut({});
  std::vector<std::string> without = Written();
  for (const char* prefix : trend_only) {
    EXPECT_EQ(Starting(with_trend, prefix).size(), 1u) << prefix;
    EXPECT_TRUE(Starting(without, prefix).empty()) << prefix;
  }
  // Everything else is written either way.
  EXPECT_EQ(with_trend.size() - without.size(), std::size(trend_only) + 4);
  for (const char* prefix : {"insert into r3_progresp", "insert into r3_application",
                             "insert into r3_user_sum", "insert into r3_tx_sla"}) {
    EXPECT_FALSE(Starting(without, prefix).empty()) << prefix;
  }
}

TEST_F(StatiScriptTest, RetentionFollowsEachGroup) {
  struct Case {
    std::vector<int> on;
    std::vector<const char*> tables;
  };
  // The statistics group also trims the marks of the loaded intervals.
  const Case cases[] = {
      {{zmo::kSwStatiCPU}, {"r3_progresp", "r3_interval_done"}},
      {{zmo::kSwSLAno}, {"r3_tx_sla"}},
      {{zmo::kSwStatiActiveUsers}, {"r3_user_sum"}},
      {{zmo::kSwApplWait}, {"r3_application"}},
      {{zmo::kSwStatiDB, zmo::kSwSLAyes, zmo::kSwApplDB},
       {"r3_progresp", "r3_interval_done", "r3_tx_sla", "r3_application"}},
  };
  for (const Case& c : cases) {
    OnlySwitches(c.on);
    std::vector<std::string> found;
    for (const std::string& s : Written()) {
      if (s.rfind("delete from r3_", 0) == 0 && Holds(s, "to_char(")) found.push_back(s);
    }
    ASSERT_EQ(found.size(), c.tables.size());
    for (size_t i = 0; i < found.size(); ++i) {
      std::string column = std::string(c.tables[i]) == "r3_tx_sla" ? "record_date" : "diag_date";
      if (std::string(c.tables[i]) == "r3_interval_done") {
        column = "to_date(substr(end_date,1,8),'yyyymmdd')";
      }
      EXPECT_EQ(found[i], std::string("delete from ") + c.tables[i] + " where to_char(" + column +
                              ",'yyyymmdd') < '20031126'");
    }
  }
}

TEST_F(StatiScriptTest, ProgrespNeedsAnyOfTheThreeGroups) {
  struct Case {
    int sw;
    bool written;
  };
  const Case cases[] = {{zmo::kSwStatiLoad, true},
                        {zmo::kSwSLAyes, true},
                        {zmo::kSwApplGUI, true},
                        {zmo::kSwStatiActiveUsers, false},
                        {zmo::kSwStatiTransactions, false},
                        {zmo::kSwStatiPrograms, false}};
  for (const Case& c : cases) {
    OnlySwitches({c.sw});
    EXPECT_EQ(Starting(Written(), "insert into r3_progresp").size(), c.written ? 1u : 0u) << c.sw;
  }
}

TEST_F(StatiScriptTest, EachMeasureIsMinusNineUnlessOneOfItsSwitchesIsOn) {
  // The twelve measures in the order of the select list, after count(*).
  const int stati[] = {zmo::kSwStatiCPU,   zmo::kSwStatiResp,     zmo::kSwStatiDB,
                       zmo::kSwStatiOther, zmo::kSwStatiKBtrans,  zmo::kSwStatiKBchanged,
                       zmo::kSwStatiWait,  zmo::kSwStatiMemUsed,  zmo::kSwStatiLoad,
                       zmo::kSwStatiGUI,   zmo::kSwStatiGUIcount, zmo::kSwStatiGUInetTime};
  const int appl[] = {zmo::kSwApplCPU,   zmo::kSwApplResp,     zmo::kSwApplDB,
                      zmo::kSwApplOther, zmo::kSwApplKBtrans,  zmo::kSwApplKBchanged,
                      zmo::kSwApplWait,  zmo::kSwApplMemUsed,  zmo::kSwApplLoad,
                      zmo::kSwApplGUI,   zmo::kSwApplGUIcount, zmo::kSwApplGUInetTime};
  // The items from the first measure on.
  auto measures = [&](const std::string& statement, const char* first_measure) {
    std::vector<std::string> items = SelectItems(statement);
    auto at = std::find(items.begin(), items.end(), first_measure);
    return std::vector<std::string>(at, items.end());
  };
  for (int i = 0; i < 12; ++i) {
    for (const int* set : {stati, appl}) {
      OnlySwitches({set[i]});
      std::vector<std::string> statements = Written();
      std::vector<std::string> prog =
          measures(One(statements, "insert into r3_progresp"), "count(*)");
      ASSERT_EQ(prog.size(), 14u);  // count(*), twelve measures, the id
      for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(prog[1 + m] == "-9", m != i) << "switch " << set[i] << " measure " << m;
      }
      if (set == appl) {
        std::vector<std::string> app =
            measures(One(statements, "insert into r3_application"), "sum(diag_count)");
        ASSERT_EQ(app.size(), 14u);
        for (int m = 0; m < 12; ++m) EXPECT_EQ(app[1 + m] == "-9", m != i) << m;
      }
    }
  }
  // The service levels need the response time.
  OnlySwitches({zmo::kSwSLAno});
  std::vector<std::string> prog = measures(One(Written(), "insert into r3_progresp"), "count(*)");
  EXPECT_EQ(prog[2], "sum(response_time)");
  EXPECT_EQ(prog[1], "-9");
}

// -- Exclusion lists ---------------------------------------------------------

TEST_F(StatiScriptTest, ExclusionListOfThreeLinesGivesThreeDeletes) {
  WriteBin("zmoIDsToIgnore.dat", IgnoreList({"DDIC", "SAP*", "BATCHUSER"}, 12));
  EXPECT_EQ(Deletes("user_name"),
            (std::vector<std::string>{ExclusionDelete("user_name", "'DDIC'"),
                                      ExclusionDelete("user_name", "'SAP*'"),
                                      ExclusionDelete("user_name", "'BATCHUSER'")}));
}

// Of USER1 to USER4 written one a line by hand, every one is excluded, and
// a line that cannot be an entry is named in the trace with its file.
TEST_F(StatiScriptTest, AHandMadeListLosesNoEntryAndNamesWhatItSkips) {
  WriteBin("zmoIDsToIgnore.dat", "USER1\r\nUSER2\r\nUSER3\r\nUSER4\r\nTOOLONGUSERID1\r\n");
  std::vector<std::string> want;
  for (const char* user : {"'USER1'", "'USER2'", "'USER3'", "'USER4'"}) {
    want.push_back(ExclusionDelete("user_name", user));
  }
  EXPECT_EQ(Deletes("user_name"), want);
  EXPECT_THAT(TraceTexts(),
              HasLine("ERROR - ERROR: zmoIDsToIgnore.dat line 5 holds an entry longer than 12 "
                      "characters, the entry is skipped"));
}

TEST_F(StatiScriptTest, MissingExclusionFilesGiveNoDeletes) {
  for (const char* column : {"user_name", "t_code", "cua_prog"}) {
    EXPECT_TRUE(Deletes(column).empty()) << column;
  }
  // And the script is still written whole.
  EXPECT_FALSE(Starting(Written(), "insert into r3_progresp").empty());
}

TEST_F(StatiScriptTest, ExclusionEntriesAreReadByLine) {
  struct Case {
    const char* name;
    std::string data;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"last line without its line end", IgnoreList({"SM50"}, 20) + "SM51", {"'SM50'", "'SM51'"}},
      {"blank entry skipped", IgnoreList({"SM50", "", "SM66"}, 20), {"'SM50'", "'SM66'"}},
      {"entry trimmed, upper-cased, inner blank kept",
       IgnoreList({"  se38 extra"}, 20),
       {"'SE38 EXTRA'"}},
      {"written by hand, one a line",
       "SM50\r\nSM51\nSM52\r\nSM53",
       {"'SM50'", "'SM51'", "'SM52'", "'SM53'"}},
      {"longer than the field skipped",
       "SM50\r\n" + std::string(21, 'X') + "\r\nSM51\r\n",
       {"'SM50'", "'SM51'"}},
      {"quote doubled", IgnoreList({"Z'OR'1"}, 20), {"'Z''OR''1'"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) {
    WriteBin("zmoTransToIgnore.dat", c.data);
    std::vector<std::string> want;
    for (const std::string& w : c.words) want.push_back(ExclusionDelete("t_code", w));
    EXPECT_EQ(Deletes("t_code"), want) << c.name;
  }
}

TEST_F(StatiScriptTest, EachExclusionListHasItsOwnGate) {
  WriteBin("zmoIDsToIgnore.dat", IgnoreList({"DDIC"}, 12));
  WriteBin("zmoTransToIgnore.dat", IgnoreList({"SM50"}, 20));
  WriteBin("zmoProgsToIgnore.dat", IgnoreList({"SAPMSSY1"}, 30));
  struct Case {
    std::vector<int> on;
    size_t users, codes, programs;
  };
  const Case cases[] = {
      {{zmo::kSwStatiCPU}, 1, 0, 0},
      {{zmo::kSwApplCPU, zmo::kSwStatiTransactions}, 0, 1, 0},
      {{zmo::kSwSLAyes, zmo::kSwStatiPrograms}, 0, 0, 1},
      {{zmo::kSwStatiWait, zmo::kSwStatiTransactions, zmo::kSwStatiPrograms}, 1, 1, 1},
  };
  for (const Case& c : cases) {
    OnlySwitches(c.on);
    EXPECT_EQ(Deletes("user_name").size(), c.users);
    EXPECT_EQ(Deletes("t_code").size(), c.codes);
    EXPECT_EQ(Deletes("cua_prog").size(), c.programs);
  }
}

// -- The group table -----------------------------------------------------------

TEST_F(StatiScriptTest, UnchangedGroupFileLeavesTheGroupTableAlone) {
  WriteGroupFiles();
  SetConfig(zmo::cfg::kCustomGroupDate, FileTime("zmoTransGroup.dat"));
  std::vector<std::string> statements = Written();
  EXPECT_TRUE(Starting(statements, "delete from r3_tcode_group").empty());
  EXPECT_TRUE(Starting(statements, "insert into r3_tcode_group").empty());
  EXPECT_FALSE(loaderState().store_group_date) << "nothing for the batch to store";
}

TEST_F(StatiScriptTest, TouchedGroupFileRebuildsTheGroupTable) {
  WriteGroupFiles();
  SetFileTime("zmoTransGroup.dat", 1073000000);
  SetConfig(zmo::cfg::kCustomGroupDate, FileTime("zmoTransGroup.dat"));
  SetFileTime("zmoTransGroup.dat", 1073700000);
  std::vector<std::string> statements = Written();
  EXPECT_EQ(Starting(statements, "delete from r3_tcode_group where group_area='ZZ'").size(), 1u);
  EXPECT_EQ(Starting(statements, "insert into r3_tcode_group").size(), 1u);
  // The batch stores the file's time once the script has committed.
  EXPECT_TRUE(loaderState().store_group_date);
  EXPECT_EQ(loaderState().group_date, FileTime("zmoTransGroup.dat"));
  EXPECT_EQ(loaderState().group_date.size(), 24u);
}

TEST_F(StatiScriptTest, GroupTableIsBuiltWhenCustomGroupDateIsMissing) {
  WriteGroupFiles();
  EXPECT_EQ(StoredGroupDate(), "<none>");
  EXPECT_EQ(Starting(Written(), "insert into r3_tcode_group").size(), 1u);
  EXPECT_EQ(loaderState().group_date, FileTime("zmoTransGroup.dat"));
}

// Every statement that joins r3_tcode_group meets the groups of this run's
// files: on a first run the table is empty until they are written.
TEST_F(StatiScriptTest, GroupTableIsBuiltBeforeTheStatementsThatJoinIt) {
  WriteGroupFiles();
  const std::vector<std::string> statements = Written();
  // The places of the statements that begin with prefix, in script order.
  auto places = [&](const std::string& prefix) {
    std::vector<size_t> at;
    for (size_t i = 0; i < statements.size(); ++i) {
      if (statements[i].rfind(prefix, 0) == 0) at.push_back(i);
    }
    return at;
  };
  const std::vector<size_t> progresp = places("insert into r3_progresp");
  const std::vector<size_t> cleared = places("delete from r3_tcode_group");
  const std::vector<size_t> rows = places("insert into r3_tcode_group");
  ASSERT_EQ(progresp.size(), 1u);
  ASSERT_EQ(cleared.size(), 1u);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_LT(progresp[0], cleared[0]);
  EXPECT_LT(cleared[0], rows[0]);
  for (const char* join : {"insert into r3_application", "insert into r3_tx_sla"}) {
    const std::vector<size_t> joins = places(join);
    ASSERT_FALSE(joins.empty()) << join;
    EXPECT_THAT(statements[joins[0]], HasText("r3_tcode_group")) << join;
    EXPECT_LT(rows.back(), joins[0]) << join;
  }
}

TEST_F(StatiScriptTest, GroupTableNeedsTheApplicationGroupAndTheFile) {
  WriteGroupFiles();
  AllSwitchesBut({zmo::kSwApplCPU, zmo::kSwApplResp, zmo::kSwApplDB, zmo::kSwApplOther,
                  zmo::kSwApplKBtrans, zmo::kSwApplKBchanged, zmo::kSwApplWait, zmo::kSwApplMemUsed,
                  zmo::kSwApplLoad, zmo::kSwApplGUI, zmo::kSwApplGUIcount, zmo::kSwApplGUInetTime});
  EXPECT_TRUE(Starting(Written(), "insert into r3_tcode_group").empty());
  EXPECT_EQ(StoredGroupDate(), "<none>");

  AllSwitches();
  std::filesystem::remove(Bin("zmoTransGroup.dat"));
  EXPECT_TRUE(Starting(Written(), "delete from r3_tcode_group").empty());
  EXPECT_EQ(StoredGroupDate(), "<none>");
}

TEST_F(StatiScriptTest, EveryCodeHasADefinedServiceLevel) {
  struct Case {
    const char* name;
    std::string app_groups;  // "" for no zmoAppGroup.dat
    std::vector<std::string> levels;
  };
  const Case cases[] = {
      {"listed groups",
       AppGroups({{"Sales", "1500"}, {"Finance", "0800"}}),
       {"1500", "1500", "0800", "null"}},
      {"a group missing takes no other group's level",
       AppGroups({{"Sales", "1500"}}),
       {"1500", "1500", "null", "null"}},
      {"no zmoAppGroup.dat", "", {"null", "null", "null", "null"}},
      {"the first record of a name wins",
       AppGroups({{"Finance", "0800"}, {"Finance", "9000"}, {"Sales", "1500"}}),
       {"1500", "1500", "0800", "null"}},
      {"a level that is not digits",
       AppGroups({{"Sales", "1)--"}, {"Finance", " 900"}}),
       {"null", "null", "900", "null"}},
  };
  WriteBin("zmoTransGroup.dat",
           TransGroups(
               {{"Sales", "VA01"}, {"Sales", "VA02"}, {"Finance", "FB01"}, {"Unlisted", "ZX01"}}));
  const char* codes[][2] = {
      {"Sales", "VA01"}, {"Sales", "VA02"}, {"Finance", "FB01"}, {"Unlisted", "ZX01"}};
  for (const Case& c : cases) {
    std::filesystem::remove(Bin("zmoAppGroup.dat"));
    if (!c.app_groups.empty()) WriteBin("zmoAppGroup.dat", c.app_groups);
    DeleteConfig(zmo::cfg::kCustomGroupDate);
    std::vector<std::string> want;
    for (size_t i = 0; i < 4; ++i) {
      want.push_back(std::string("insert into r3_tcode_group (group_area,group_name,t_code,sla) "
                                 "values('ZZ','") +
                     codes[i][0] + "','" + codes[i][1] + "'," + c.levels[i] + ")");
    }
    EXPECT_EQ(Starting(Written(), "insert into r3_tcode_group"), want) << c.name;
  }
}

TEST_F(StatiScriptTest, GroupNamesAndCodesAreQuotedLiterals) {
  WriteBin("zmoTransGroup.dat", TransGroups({{"Buyer's Desk", "Z'1"}}));
  WriteBin("zmoAppGroup.dat", AppGroups({{"Buyer's Desk", "0500"}}));
  EXPECT_EQ(One(Written(), "insert into r3_tcode_group"),
            "insert into r3_tcode_group (group_area,group_name,t_code,sla) "
            "values('ZZ','Buyer''s Desk','Z''1',0500)");
}

// Writing the script changes neither the group date nor the rename file:
// the batch settles them once the script has committed, so a script that
// fails or never runs leaves them for the next run.
TEST_F(StatiScriptTest, WritingTheScriptSettlesNothing) {
  WriteGroupFiles();
  WriteBin("zmogrpupdt.dat", Renames({{"Sales Europe", "Sales"}}));
  DeleteConfig(zmo::cfg::kCustomGroupDate);
  std::vector<std::string> statements = Written();
  EXPECT_EQ(Starting(statements, "insert into r3_tcode_group").size(), 1u);
  EXPECT_EQ(Starting(statements, "update r3_tcode_group").size(), 1u);
  EXPECT_EQ(StoredGroupDate(), "<none>");
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
  EXPECT_TRUE(loaderState().store_group_date);
  EXPECT_TRUE(loaderState().delete_renames);
}

TEST_F(StatiScriptTest, AScriptThatCannotBeWrittenSettlesNothing) {
  WriteGroupFiles();
  WriteBin("zmogrpupdt.dat", Renames({{"Sales Europe", "Sales"}}));
  // A directory in the script's place.
  std::filesystem::create_directories(Bin("zmostati.sql"));
  EXPECT_EQ(WriteStati(), kAggregateNotWritten);
  EXPECT_EQ(StoredGroupDate(), "<none>");
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
}

// The batch settles the group files right after the aggregation's test: a
// failed aggregation leaves for the failure lines before them.
TEST_F(StatiScriptTest, TheBatchSettlesTheGroupFilesAfterTheAggregationCommitted) {
  WriteGroupFiles();
  WriteBin("zmogrpupdt.dat", Renames({{"Sales Europe", "Sales"}}));
  loaderReset();
  loader_test::UseRecordSpawn();
  ASSERT_EQ(Run({"-A", "-P", "STATI", "-S", "20040109", "-E", "20040110", "-H", "10.20.30.40", "-I",
                 "153"}),
            0);
  const std::vector<std::string> lines = loader_test::CrlfLines(Read(Bin("zmoload_stati.bat")));
  const std::string aggregation = "sqlplus zmouser/secret@WHSE @" + Bin("zmostati.sql");
  auto at = std::find(lines.begin(), lines.end(), aggregation);
  ASSERT_NE(at, lines.end());
  const std::vector<std::string> want = {
      aggregation, "if errorlevel 1 goto zmofailed",
      "\"" + Bin("zmosetval") + "\" -k \"SOFTWARE\\Velmar\\Monitoring for Orvane\" -n " +
          "CustomGroupDate -v \"" + FileTime("zmoTransGroup.dat") + "\"",
      "del \"" + Bin("zmogrpupdt.dat") + "\"", "\"" + Bin("zmomsg") + "\" -T -N 1497 -P STATI"};
  ASSERT_LE(want.size(), static_cast<size_t>(lines.end() - at));
  EXPECT_EQ(std::vector<std::string>(at, at + want.size()), want);
  EXPECT_EQ(StoredGroupDate(), "<none>");
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
}

TEST_F(StatiScriptTest, AMissingCustomGroupDateDoesNotEndTheRun) {
  WriteGroupFiles();
  loaderReset();
  loader_test::UseRecordSpawn();
  EXPECT_EQ(Run({"-A", "-P", "STATI", "-S", "20040109", "-E", "20040110", "-H", "10.20.30.40", "-I",
                 "153"}),
            0);
  EXPECT_EQ(Starting(StatiStatements(), "insert into r3_tcode_group").size(), 1u);
  EXPECT_EQ(loaderState().group_date, FileTime("zmoTransGroup.dat"));
}

// -- The group renames ---------------------------------------------------------

TEST_F(StatiScriptTest, GroupRenamesAreAppliedAndTheFileLeftForTheBatch) {
  std::string data = Renames({{"Sales Europe", "Sales"}, {"", "Dropped"}, {"Buyers", "Buyer's"}});
  data += "truncated record";
  WriteBin("zmogrpupdt.dat", data);
  ASSERT_EQ(WriteStati(), 0);
  std::vector<std::string> lines = StatiLines();
  auto first = std::find(lines.begin(), lines.end(),
                         "update r3_tcode_group set group_name = 'Sales Europe' where group_name "
                         "= 'Sales';");
  ASSERT_NE(first, lines.end());
  const std::vector<std::string> want = {
      "update r3_tcode_group set group_name = 'Sales Europe' where group_name = 'Sales';", "",
      "update r3_tcode_group set group_name = 'Buyers' where group_name = 'Buyer''s';", "",
      "drop table " + kStage + ";"};
  EXPECT_EQ(std::vector<std::string>(first, first + want.size()), want);
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
  EXPECT_TRUE(loaderState().delete_renames);
}

TEST_F(StatiScriptTest, NoRenameFileNoRenames) {
  ASSERT_EQ(WriteStati(), 0);
  std::vector<std::string> lines = StatiLines();
  EXPECT_TRUE(Starting(StatiStatements(), "update r3_tcode_group").empty());
  // No commit of renames either: the drop follows the service-level sums
  // (a kind with a commit per statement: Corva).
  Prime(kProgramStati, "Corva");
  ASSERT_EQ(WriteStati(), 0);
  lines = StatiLines();
  auto drop = std::find(lines.begin(), lines.end(), "drop table " + kStage + ";");
  ASSERT_NE(drop, lines.begin());
  EXPECT_EQ(*(drop - 1), "COMMIT;");
  EXPECT_NE(*(drop - 2), "COMMIT;");
}

TEST_F(StatiScriptTest, RenamesNeedTheApplicationGroup) {
  WriteBin("zmogrpupdt.dat", Renames({{"New", "Old"}}));
  OnlySwitches({zmo::kSwStatiCPU, zmo::kSwSLAyes});
  EXPECT_TRUE(Starting(Written(), "update r3_tcode_group").empty());
  EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
}

// -- Service levels --------------------------------------------------------------

TEST_F(StatiScriptTest, SystemSlaZeroWritesNoAllTransactionsRows) {
  loaderState().system_sla = 0;
  for (const std::string& s : Starting(Written(), "insert into r3_tx_sla")) {
    EXPECT_FALSE(Holds(s, "All Transactions")) << s;
  }
  EXPECT_EQ(Starting(Written(), "insert into r3_tx_sla").size(), 2u);
}

TEST_F(StatiScriptTest, ServiceLevelStatementsFollowTheirSwitches) {
  struct Case {
    std::vector<int> on;
    int system_sla;
    std::vector<std::string> rows;  // the fixed columns of each r3_tx_sla select, in order
    bool no_deletes;
  };
  const std::string group = "group_name, r3_tcode_group.t_code, diag_date, diag_hour, ";
  const std::string all = "'All Transactions', 'All Transactions', diag_date, diag_hour, ";
  const Case cases[] = {
      {{zmo::kSwSLAyes}, 0, {group + "sum(diag_count), -9, sum(diag_count), 0"}, false},
      {{zmo::kSwSLAno}, 0, {group + "-9, sum(diag_count), sum(diag_count), 0"}, true},
      {{zmo::kSwSLAyes},
       2000,
       {group + "sum(diag_count), -9, sum(diag_count), 0",
        all + "sum(diag_count), 0, sum(diag_count), 0"},
       false},
      {{zmo::kSwSLAyes, zmo::kSwSLAno},
       10000,
       {group + "sum(diag_count), -9, sum(diag_count), 0",
        group + "-9, sum(diag_count), sum(diag_count), 0",
        all + "sum(diag_count), 0, sum(diag_count), 0",
        all + "-9, sum(diag_count), sum(diag_count), 0"},
       true},
  };
  for (const Case& c : cases) {
    OnlySwitches(c.on);
    loaderState().system_sla = c.system_sla;
    std::vector<std::string> statements = Written();
    std::vector<std::string> rows;
    for (const std::string& s : Starting(statements, "insert into r3_tx_sla")) {
      std::string select = Clause(s, "select ");
      const std::string lead = "select system_label, substr(system_label,1,3), ";
      ASSERT_EQ(select.rfind(lead, 0), 0u) << select;
      rows.push_back(select.substr(lead.size()));
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(Starting(statements, "delete from r3_progresp where t_code like 'No%'").size(),
              c.no_deletes ? 1u : 0u);
    EXPECT_EQ(Starting(statements, "delete from r3_trans_sum where t_code like 'No%'").size(),
              c.no_deletes ? 1u : 0u);
  }
}

TEST_F(StatiScriptTest, ServiceLevelsCompareMillisecondsPerStep) {
  loaderState().system_sla = 2000;
  std::vector<std::string> wheres;
  for (const std::string& s : Starting(Written(), "insert into r3_tx_sla")) {
    wheres.push_back(Clause(s, "where "));
  }
  const std::string run = " and r3_last_seq.prog_seq_id < r3_progresp.prog_seq_id";
  const std::string grouped =
      "where r3_progresp.t_code=r3_tcode_group.t_code and group_area = 'ZZ' and ";
  EXPECT_EQ(wheres,
            (std::vector<std::string>{grouped + "response_time * 1000 <= sla * diag_count" + run,
                                      grouped + "response_time * 1000 > sla * diag_count" + run,
                                      "where response_time * 1000 <= 2000 * diag_count" + run,
                                      "where response_time * 1000 > 2000 * diag_count" + run}));
}

TEST_F(StatiScriptTest, AllTransactionsNameComesFromTheCatalogQuoted) {
  // A catalog of the test's own, holding a quote in text 1512.
  std::filesystem::remove(Bin("zmocatENU.cat"));
  WriteBin("zmocatENU.cat", "1512\tEveryone's Transactions\n");
  ASSERT_EQ(zmoLoaderLoadLang(), 0);
  loaderState().system_sla = 1500;
  int all_rows = 0;
  for (const std::string& s : Starting(Written(), "insert into r3_tx_sla")) {
    if (!Holds(s, "1500 * diag_count")) continue;
    ++all_rows;
    EXPECT_TRUE(Holds(s, "'Everyone''s Transactions', 'Everyone''s Transactions'")) << s;
  }
  EXPECT_EQ(all_rows, 2);
}

TEST_F(StatiScriptTest, ServiceLevelSumsCountOnlyCounts) {
  EXPECT_EQ(Clause(One(Written(), "insert into r3_sla_sum"), "select "),
            "select system_label, group_name, record_date, "
            "sum(case when sla_yes_count < 0 then 0 else sla_yes_count end), "
            "sum(case when sla_no_count < 0 then 0 else sla_no_count end), sum(tot_count)");
}

// -- Sound forms of the statements ---------------------------------------------

TEST_F(StatiScriptTest, ProgrespGroupsByEveryCodeItSelects) {
  struct Case {
    const char* name;
    std::vector<int> on;
    bool code, program;
  };
  const Case cases[] = {
      {"statistics only", {zmo::kSwStatiCPU}, false, false},
      {"transactions", {zmo::kSwStatiCPU, zmo::kSwStatiTransactions}, true, false},
      {"application group alone", {zmo::kSwApplCPU}, true, false},
      {"programs", {zmo::kSwStatiCPU, zmo::kSwStatiPrograms}, false, true},
  };
  for (const Case& c : cases) {
    OnlySwitches(c.on);
    std::string statement = One(Written(), "insert into r3_progresp");
    std::string select = Clause(statement, "select ");
    std::string group = Clause(statement, "group by ");
    EXPECT_EQ(Holds(select, ", rtrim(t_code), "), c.code) << c.name;
    EXPECT_EQ(Holds(select, "substr(end_date,9,2), '', "), !c.code) << c.name;
    EXPECT_EQ(Holds(group, ", t_code, "), c.code) << c.name;
    EXPECT_EQ(Holds(select, ", rtrim(cua_prog), "), c.program) << c.name;
    EXPECT_EQ(Holds(group, ", cua_prog, "), c.program) << c.name;
  }
}

TEST_F(StatiScriptTest, OtherTimeIsClampedOnlyInThisRunsMeasuredRows) {
  EXPECT_EQ(One(Written(), "update r3_progresp"),
            "update r3_progresp set other_time = 0 where other_time < 0 and prog_seq_id > "
            "(select prog_seq_id from r3_last_seq)");
  for (int other : {zmo::kSwStatiOther, zmo::kSwApplOther}) {
    OnlySwitches({other, zmo::kSwStatiTransactions});
    EXPECT_EQ(Starting(Written(), "update r3_progresp").size(), 1u) << other;
  }
  // Switched off, other time is the -9 marker and stays so.
  OnlySwitches({zmo::kSwStatiCPU, zmo::kSwApplCPU});
  EXPECT_TRUE(Starting(Written(), "update r3_progresp").empty());
}

TEST_F(StatiScriptTest, ActiveUsersAreCountedPerHourNotPerUser) {
  std::string statement = One(Written(), "insert into r3_user_sum");
  EXPECT_EQ(Clause(statement, "group by "),
            "group by system_label, host_name, rfc_dest_str, substr(end_date,9,2), "
            "to_date(substr(end_date,1,8),'yyyymmdd')");
  EXPECT_THAT(statement, HasText("count(distinct(user_name))"));
}

TEST_F(StatiScriptTest, VarianceSidesAreSummedBeforeTheyAreJoined) {
  std::vector<std::string> statements = Written();
  for (const char* key : {"t_code", "cua_prog"}) {
    std::string table = std::string(key) == "t_code" ? "r3_trans_variance" : "r3_prog_variance";
    std::string statement = One(statements, "insert into " + table);
    for (const char* side : {"r3_cur_prog", "r3_prev_prog"}) {
      std::string sub = std::string("(select system_label, ") + key +
                        ", sum(tot_count) tot_count, sum(tot_cpu_time) tot_cpu_time, "
                        "sum(tot_kb_transfered) tot_kb_transfered, sum(tot_kb_changed) "
                        "tot_kb_changed, sum(tot_response_time) tot_response_time, "
                        "sum(tot_database_time) tot_database_time, sum(tot_memory_used) "
                        "tot_memory_used from " +
                        side + " group by system_label, " + key + ")";
      EXPECT_THAT(statement, HasText(sub)) << table << " " << side;
    }
    EXPECT_EQ(Clause(statement, "where "),
              std::string("where c.system_label = p.system_label and c.") + key + " = p." + key);
    EXPECT_EQ(Clause(statement, "group by "), "");
  }
}

TEST_F(StatiScriptTest, RetentionAlwaysLooksBack) {
  for (int days : {-45, 45}) {
    loaderState().detail_keep_days = days;
    EXPECT_EQ(One(Written(), "delete from r3_progresp where to_char"),
              "delete from r3_progresp where to_char(diag_date,'yyyymmdd') < '20031126'")
        << days;
  }
}

TEST_F(StatiScriptTest, KindsWithoutADialectGetNoScript) {
  for (const char* kind : {"Informix", "", "9"}) {
    EXPECT_EQ(writeStatiAggregateSql(zmo::dbKindFromVendor(kind)), kAggregateNotWritten) << kind;
    EXPECT_FALSE(BinExists("zmostati.sql"));
  }
  EXPECT_EQ(writeStatiAggregateSql(zmo::dbKindFromVendor(nullptr)), kAggregateNotWritten);
}

}  // namespace

namespace {

// A control byte in a configuration text that reaches SQL (a line feed puts
// a "go" line of its own into an MSSQL or Sybase script) skips its record,
// with a trace line naming the file and the record.
TEST_F(StatiScriptTest, ConfigurationTextsWithControlBytesAreSkipped) {
  Prime(kProgramStati, "MSSQL");
  WriteBin("zmoTransGroup.dat", TransGroups({{"Sales", "VA01"},
                                             {"X'\ngo\ndrop table r3_progresp\ngo\n", "VA02"},
                                             {"Tools",
                                              "SE\x01"
                                              "38"}}));
  WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "1500"}}));
  WriteBin("zmoIDsToIgnore.dat", aggregate_test::IgnoreList({"DDIC", "EVIL\x1b", "SAP*"}, 12));
  WriteBin("zmogrpupdt.dat", Renames({{"New\rgo", "Sales"}, {"Buyers", "Sales"}}));
  ASSERT_EQ(WriteStati(), 0);
  const std::string script = Read(Bin("zmostati.sql"));
  for (const char* bad : {"drop table r3_progresp", "EVIL", "SE\x01", "New\r"}) {
    EXPECT_THAT(script, Not(HasText(bad))) << bad;
  }
  EXPECT_THAT(script, HasText("'VA01'"));
  EXPECT_THAT(script, HasText("'SAP*'"));
  EXPECT_THAT(script, HasText("'Buyers'"));
  for (const char* line :
       {"ERROR - ERROR: zmoTransGroup.dat record 2 holds a control character, the record is "
        "skipped",
        "ERROR - ERROR: zmoTransGroup.dat record 3 holds a control character, the record is "
        "skipped",
        "ERROR - ERROR: zmoIDsToIgnore.dat line 2 holds a control character, the entry is "
        "skipped",
        "ERROR - ERROR: zmogrpupdt.dat record 1 holds a control character, the record is "
        "skipped"}) {
    EXPECT_THAT(TraceTexts(), HasLine(line)) << line;
  }
}

}  // namespace
