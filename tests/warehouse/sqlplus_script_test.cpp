// Taking a script of the Oracle SQL client apart: its own commands, the
// statements it passes on and where each ends. No database is needed.
#include "sqlplus_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zmo::dbtools::ParseSqlplusScript;
using zmo::dbtools::ScriptItem;
using zmo::dbtools::ScriptItemKind;
using zmo::dbtools::SplitCommand;

constexpr ScriptItemKind kCommand = ScriptItemKind::kCommand;
constexpr ScriptItemKind kStatement = ScriptItemKind::kStatement;
constexpr ScriptItemKind kStored = ScriptItemKind::kStored;
constexpr ScriptItemKind kRerun = ScriptItemKind::kRerun;

struct Expected {
  ScriptItemKind kind;
  std::string text;
  size_t line;
};

struct ParseCase {
  const char* name;
  std::string script;
  std::vector<Expected> items;
};

const ParseCase kCases[] = {
    {"TheLoadersHeaderAndEnd",
     "spool /bin/x/trace_zmo_agg_stati.log\r\nset serverout on\r\nset echo on\r\n\r\n"
     "delete from s01 where user_name = 'DDIC';\r\n\r\nCOMMIT;\r\nspool off;\r\nEXIT;\r\n",
     {{kCommand, "spool /bin/x/trace_zmo_agg_stati.log", 1},
      {kCommand, "set serverout on", 2},
      {kCommand, "set echo on", 3},
      {kStatement, "delete from s01 where user_name = 'DDIC'", 5},
      {kStatement, "COMMIT", 7},
      {kCommand, "spool off", 8},
      {kCommand, "EXIT", 9}}},
    {"AStatementOverLines",
     "insert into r3_progresp\nselect a, b\nfrom s01\ngroup by a, b;\n",
     {{kStatement, "insert into r3_progresp\nselect a, b\nfrom s01\ngroup by a, b", 1}}},
    {"SemicolonsInsideQuotesDoNotEnd",
     "insert into t values ('a;\nb;', \"c;\");\n",
     {{kStatement, "insert into t values ('a;\nb;', \"c;\")", 1}}},
    {"ASemicolonBeforeTheEndOfALineDoesNotEnd",
     "select 1; select 2\nfrom dual;\n",
     {{kStatement, "select 1; select 2\nfrom dual", 1}}},
    {"ACommentAfterTheSemicolonGoes",
     "delete from t; -- the old rows\n",
     {{kStatement, "delete from t", 1}}},
    {"AQuoteInACommentCountsForNothing",
     "select 1 -- it's one\nfrom dual;\n",
     {{kStatement, "select 1 -- it's one\nfrom dual", 1}}},
    {"ASlashLineEndsAndRuns",
     "delete from t\nwhere a = 1\n  /  \nCOMMIT;\n",
     {{kStatement, "delete from t\nwhere a = 1", 1}, {kStatement, "COMMIT", 4}}},
    {"ASlashAloneRunsTheLastAgain",
     "delete from t;\n/\n",
     {{kStatement, "delete from t", 1}, {kRerun, "", 2}}},
    {"AnEmptyLineEndsWithoutRunning",
     "delete from t\n\nCOMMIT;\n",
     {{kStored, "delete from t", 1}, {kStatement, "COMMIT", 3}}},
    {"AnEmptyLineInsideAQuoteKeepsTheStatement",
     "insert into t values ('a\n\nb');\n",
     {{kStatement, "insert into t values ('a\n\nb')", 1}}},
    {"TheEndOfTheScriptEndsWithoutRunning", "delete from t", {{kStored, "delete from t", 1}}},
    {"CommentsAndBlankLinesOutsideStatements",
     "-- a comment\n   \n\trem another\nREMARK and one more\n",
     {{kCommand, "rem another", 3}, {kCommand, "REMARK and one more", 4}}},
    {"ScriptsCalled",
     "@/x/stage.sql\n@@ nested\nstart other.sql;\n",
     {{kCommand, "@/x/stage.sql", 1},
      {kCommand, "@@ nested", 2},
      {kCommand, "start other.sql", 3}}},
    {"CommandWordsOnlyAtTheStartOfAStatement",
     "select\nexit\nfrom t;\nquit 3\n",
     {{kStatement, "select\nexit\nfrom t", 1}, {kCommand, "quit 3", 4}}},
    {"AWordThatOnlyBeginsLikeACommandIsSql",
     "settle_accounts;\nexits;\n",
     {{kStatement, "settle_accounts", 1}, {kStatement, "exits", 2}}},
    {"CommandsAreMatchedInAnyCase",
     "SPOOL off\nSet Echo Off\nPrompt Done;\n",
     {{kCommand, "SPOOL off", 1}, {kCommand, "Set Echo Off", 2}, {kCommand, "Prompt Done", 3}}},
    {"AnEmptyScript", "", {}},
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ItemsInOrder) {
  const ParseCase& c = GetParam();
  std::vector<ScriptItem> items = ParseSqlplusScript(c.script);
  ASSERT_EQ(items.size(), c.items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].kind, c.items[i].kind) << i;
    EXPECT_EQ(items[i].text, c.items[i].text) << i;
    EXPECT_EQ(items[i].line, c.items[i].line) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ParseTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseSqlplusScript, KeepsTheLinesAsWrittenForTheEcho) {
  std::vector<ScriptItem> items =
      ParseSqlplusScript("insert into t\r\nselect 1 ;  \r\ndelete from t\r\n/\r\n");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].lines, (std::vector<std::string>{"insert into t", "select 1 ;  "}));
  EXPECT_EQ(items[0].text, "insert into t\nselect 1 ");
  EXPECT_EQ(items[1].lines, (std::vector<std::string>{"delete from t", "/"}));
  EXPECT_EQ(items[1].text, "delete from t");
}

struct SplitCase {
  const char* command;
  const char* word;
  const char* rest;
};

TEST(SplitCommand, WordAndRest) {
  const SplitCase kSplits[] = {
      {"spool /x/a.log", "spool", "/x/a.log"},
      {"  SET   echo on ", "set", "echo on"},
      {"@/x/a.sql", "@", "/x/a.sql"},
      {"@@b.sql", "@@", "b.sql"},
      {"@ c.sql", "@", "c.sql"},
      {"exit;", "exit", ";"},
      {"quit", "quit", ""},
  };
  for (const SplitCase& c : kSplits) {
    std::string word, rest;
    SplitCommand(c.command, &word, &rest);
    EXPECT_EQ(word, c.word) << c.command;
    EXPECT_EQ(rest, c.rest) << c.command;
  }
}

}  // namespace
