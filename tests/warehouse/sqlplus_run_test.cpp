// sqlplus on the warehouse: the client's own commands done by the stand-in,
// the SQL passed to PostgreSQL as written, its output and spool file, the
// work kept or undone as the Oracle client keeps it, and its exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "warehouse_test_util.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::Crlf;
using dbtools_test::Read;
using dbtools_test::Write;
using ::testing::Not;
using warehouse_test::Rows;
using zmo_test::HasText;

class SqlplusTest : public warehouse_test::WarehouseTest {
 protected:
  // Writes the script (lines ended by CR LF, as the loader writes them) and
  // runs it.
  int RunScript(const std::vector<std::string>& lines, const std::string& name = "script.sql") {
    Write(File(name), Crlf(lines));
    return Run("sqlplus", {db_->Logon(), "@" + File(name)});
  }
  std::string Values(const std::string& table) {
    std::string out;
    for (const auto& r : db_->Query("select a from " + table + " order by a")) out += r[0] + ";";
    return out;
  }
};

TEST_F(SqlplusTest, RunsTheScriptWithItsSpoolAndEcho) {
  const std::string script = File("script.sql");
  const int rc =
      RunScript({"spool " + File("out.log"), "set serverout on", "set echo on", "",
                 "create table t (a integer, b varchar(10));", "insert into t values (1, 'x');",
                 "insert into t", "select 2, 'y;z';", "select a, b from t order by a;",
                 "insert into nosuch values (1);", "", "COMMIT;", "spool off;", "EXIT;"});
  EXPECT_EQ(rc, 2) << "done, but a statement failed";
  EXPECT_EQ(Read(File("out.log")),
            Crlf({"SQL> create table t (a integer, b varchar(10));",
                  "Table created.",
                  "SQL> insert into t values (1, 'x');",
                  "1 row created.",
                  "SQL> insert into t",
                  "  2  select 2, 'y;z';",
                  "1 row created.",
                  "SQL> select a, b from t order by a;",
                  "",
                  "A B",
                  "- ---",
                  "1 x",
                  "2 y;z",
                  "",
                  "2 rows selected.",
                  "SQL> insert into nosuch values (1);",
                  "ERROR at line 10 of " + script + ": relation \"nosuch\" does not exist",
                  "SQL> COMMIT;",
                  "Commit complete.",
                  "SQL> spool off;"}));
  const std::string out = Stdout();
  EXPECT_EQ(out.rfind("sqlplus: connected to " + db_->Dsn() + " as zmouser\r\n", 0), 0u) << out;
  EXPECT_THAT(out, HasText("SQL> EXIT;\r\n")) << "after the spool, output only";
  EXPECT_EQ(db_->Query("select a, b from t order by a"), (Rows{{"1", "x"}, {"2", "y;z"}}));
}

TEST_F(SqlplusTest, AFailedStatementIsUndoneAloneAndTheScriptGoesOn) {
  RunScript({"create table t (a integer primary key);", "COMMIT;", "insert into t values (1);",
             "insert into t values (1);", "insert into t values (3);", "EXIT;"});
  EXPECT_EQ(Values("t"), "1;3;");
  EXPECT_NE(Stdout().find("ERROR at line 4 of " + File("script.sql") +
                          ": duplicate key value violates unique constraint"),
            std::string::npos)
      << Stdout();
}

TEST_F(SqlplusTest, ExitRollbackUndoesWhatWasNotCommitted) {
  EXPECT_EQ(RunScript({"create table t (a integer);", "insert into t values (1);", "COMMIT;",
                       "insert into t values (2);", "exit rollback"}),
            0);
  EXPECT_EQ(Values("t"), "1;");
}

TEST_F(SqlplusTest, TheEndOfTheScriptCommitsAsExitDoes) {
  EXPECT_EQ(RunScript({"create table t (a integer);", "insert into t values (1);"}), 0);
  EXPECT_EQ(Values("t"), "1;");
}

struct ExitCase {
  const char* name;
  std::vector<std::string> lines;
  int code;
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class SqlplusExitTest : public SqlplusTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(SqlplusExitTest, ExitCode) { EXPECT_EQ(RunScript(GetParam().lines), GetParam().code); }

const ExitCase kExits[] = {
    {"PlainExit", {"select 1;", "EXIT;"}, 0},
    {"PlainExitAfterAFailure", {"select nothing;", "EXIT;"}, 2},
    {"ANumber", {"exit 7"}, 7},
    {"Quit", {"QUIT 3;"}, 3},
    {"Success", {"select nothing;", "exit success"}, 0},
    {"Failure", {"exit failure"}, 1},
    {"Warning", {"exit warning commit"}, 2},
    // An EXIT the client cannot read is a failure, whatever else it names.
    {"ANumberOutOfRange", {"exit 300"}, 1},
    {"AWordItDoesNotKnow", {"exit later"}, 1},
    {"AWordItDoesNotKnowWithSuccess", {"exit success later"}, 1},
    {"TheFirstExitEndsTheScript", {"exit 4", "exit 5"}, 4},
    {"AStatementNotEndedIsNotRunAndNoFailure", {"select nothing", "", "exit"}, 0},
    {"NoStatementToRunAgain", {"/", "exit"}, 2},
};

INSTANTIATE_TEST_SUITE_P(Scripts, SqlplusExitTest, ::testing::ValuesIn(kExits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SqlplusTest, ScriptsCallScriptsAndASlashRunsTheLastStatementAgain) {
  Write(File("sub.sql"), Crlf({"insert into t values (2);", "/"}));
  Write(File("other.sql"), Crlf({"insert into t values (4);"}));
  ASSERT_EQ(chdir("/"), 0) << "@ looks in the current directory, @@ beside the running script";
  EXPECT_EQ(RunScript({"create table t (a integer);", "@@sub", "start " + File("other"),
                       "@ " + File("other.sql"), "@@nosuch.sql", "EXIT;"}),
            2);
  EXPECT_EQ(Values("t"), "2;2;4;4;");
  EXPECT_NE(Stdout().find("ERROR at line 5 of " + File("script.sql") + ": cannot read the script " +
                          File("nosuch.sql") + ": No such file or directory"),
            std::string::npos)
      << Stdout();
}

TEST_F(SqlplusTest, AScriptThatCallsItselfEnds) {
  Write(File("loop.sql"), Crlf({"insert into t values (1);", "@@loop.sql"}));
  EXPECT_EQ(RunScript({"create table t (a integer);", "@@loop.sql", "EXIT;"}), 2);
  EXPECT_EQ(db_->Value("select count(*) from t"), "19") << "nested 20 deep, the first the script";
  EXPECT_THAT(Stdout(), HasText("scripts nested deeper than 20; " + File("loop.sql") + " not run"));
}

TEST_F(SqlplusTest, TwoStatementsInOneAreRefusedNotRunAsTwo) {
  RunScript({"create table t (a integer);", "insert into t values (1);", "COMMIT;",
             "delete from t; drop table t;", "EXIT;"});
  EXPECT_EQ(Values("t"), "1;");
  EXPECT_NE(Stdout().find("ERROR at line 4 of "), std::string::npos) << Stdout();
}

TEST_F(SqlplusTest, PromptRemAndSettings) {
  RunScript({"rem nothing to see", "prompt Loading done", "set feedback off", "set echo off",
             "create table t (a integer);", "set feedback on", "drop table t;", "EXIT;"});
  const std::string out = Stdout();
  EXPECT_NE(out.find("\r\nLoading done\r\nTable dropped.\r\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Table created."), std::string::npos) << out;
  EXPECT_EQ(out.find("nothing to see"), std::string::npos) << out;
}

TEST_F(SqlplusTest, ASpoolFileWithoutExtensionGetsLst) {
  RunScript({"spool " + File("out"), "prompt into the spool", "spool off", "prompt not into it",
             "spool " + File("out") + " append", "prompt appended", "EXIT;"});
  EXPECT_EQ(Read(File("out.lst")), Crlf({"into the spool", "appended"}));
}

TEST_F(SqlplusTest, WheneverSqlerrorExitUndoesTheWholeTransaction) {
  struct Case {
    const char* whenever;
    int code;
    const char* rows;  // rows of t after the run
  };
  for (const Case& c :
       {Case{"whenever sqlerror exit failure rollback", 1, "0"},
        Case{"WHENEVER SQLERROR EXIT 7 ROLLBACK", 7, "0"}, Case{"whenever sqlerror exit", 1, "1"},
        Case{"whenever sqlerror continue", 2, "2"}}) {
    SCOPED_TRACE(c.whenever);
    db_->Query("drop table if exists t");
    // The last insert runs only when the script goes on after the failure.
    EXPECT_EQ(RunScript({"create table t (a integer primary key);", "COMMIT;", c.whenever,
                         "insert into t values (1);", "insert into t values (1);",
                         "insert into t values (2);", "EXIT;"}),
              c.code);
    EXPECT_EQ(db_->Value("select count(*) from t"), c.rows);
  }
}

// The work of a script that cannot be finished is undone and the run is a
// failure, never the 0 or 2 of a script that was done: the connection lost
// half-way (whatever the whenever setting), or a commit the server refuses.
TEST_F(SqlplusTest, WorkThatCannotBeFinishedIsAFailure) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"lost, going on",
       {"insert into t values (1);", "select pg_terminate_backend(pg_backend_pid());",
        "insert into t values (2);", "EXIT;"}},
      {"lost, exit on error",
       {"whenever sqlerror exit warning", "insert into t values (1);",
        "select pg_terminate_backend(pg_backend_pid());", "EXIT;"}},
      {"lost, exit success asked",
       {"insert into t values (1);", "select pg_terminate_backend(pg_backend_pid());",
        "exit success"}},
      {"commit refused",
       {"insert into t values (1);", "insert into t values (1);", "exit success commit"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(RunScript({"drop table t;", "whenever sqlerror exit failure",
                         "create table t (a integer unique deferrable initially deferred);",
                         "exit success"}),
              0);
    EXPECT_EQ(RunScript(c.lines), 1) << Stdout();
    EXPECT_EQ(db_->Value("select count(*) from t"), "0");
  }
}

// Substitution: a name defined, or given the last value of a query's column,
// stands for its value in any later line; an undefined one fails the line
// (the client would ask for its value, and nobody answers in a batch); with
// define off an "&" is text. The load check ends with the code its query
// chose this way.
TEST_F(SqlplusTest, DefinedNamesAndQueryValuesAreSubstituted) {
  ASSERT_EQ(RunScript({"create table marks (tag varchar(10));", "insert into marks values ('a');",
                       "EXIT;"}),
            0);
  const auto check = [&](const char* tag) {
    return RunScript({"whenever sqlerror exit failure rollback", "define zmo_x = 1",
                      "column found new_value zmo_x noprint",
                      std::string("select case when count(*) > 0 then 4 else 0 end found from "
                                  "marks where tag in ('") +
                          tag + "');",
                      "exit &zmo_x"});
  };
  EXPECT_EQ(check("a"), 4);
  EXPECT_EQ(check("b"), 0);
  ASSERT_EQ(RunScript({"drop table marks;", "EXIT;"}), 0);
  EXPECT_EQ(check("a"), 1) << "the query failed: the default, and the whenever, say failure";

  EXPECT_EQ(RunScript({"define t = sub", "create table &t._x (a varchar(5));",
                       "insert into &&T._x values ('&t');", "set define off",
                       "insert into sub_x values ('R&D');", "EXIT;"}),
            0)
      << Stdout();
  EXPECT_EQ(Values("sub_x"), "R&D;sub;");
  EXPECT_EQ(RunScript({"insert into sub_x values ('&nosuch');", "exit &nosuch"}), 2) << Stdout();
  EXPECT_THAT(Stdout(), HasText("substitution variable &nosuch is not defined"));
  EXPECT_EQ(Values("sub_x"), "R&D;sub;");
}

TEST_F(SqlplusTest, WrongPasswordRunsNothing) {
  Write(File("script.sql"), Crlf({"create table t (a integer);", "EXIT;"}));
  EXPECT_EQ(Run("sqlplus", {"zmouser/wrongpw@" + db_->Dsn(), "@" + File("script.sql")}), 1);
  EXPECT_NE(Stderr().find("sqlplus: cannot connect to " + db_->Dsn() + " as zmouser: "),
            std::string::npos)
      << Stderr();
  EXPECT_THAT(Stdout(), Not(HasText("wrongpw")));
  EXPECT_EQ(db_->Value("select count(*) from pg_tables where tablename = 't'"), "0");
}

TEST_F(SqlplusTest, AnyOtherDataSourceOnlyReadsTheScript) {
  Write(File("script.sql"), Crlf({"create table t (a integer);", "EXIT;"}));
  EXPECT_EQ(Run("sqlplus", {"zmouser/secret@WHSE", "@" + File("script.sql")}), 0);
  EXPECT_NE(Stdout().find("sqlplus: ran " + File("script.sql") + ", 2 statements"),
            std::string::npos)
      << Stdout();
  EXPECT_EQ(db_->Value("select count(*) from pg_tables where tablename = 't'"), "0");
}

}  // namespace
