// The verbs that steer a batch: if [not] errorlevel, goto and labels.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "batch_internal.h"
#include "batch_test_util.h"

namespace {

using zmo_test::BatchTest;

struct FlowCase {
  std::vector<std::string> lines;  // after "@echo off"
  std::vector<std::string> calls;  // the probe calls, in order
  int exit_code;
};

void PrintTo(const FlowCase& c, std::ostream* os) {
  for (const std::string& l : c.lines) *os << l << "; ";
}

class FlowTest : public BatchTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(FlowTest, RunsTheLinesTheErrorLevelChooses) {
  Tool("probe");
  std::vector<std::string> lines{"@echo off"};
  lines.insert(lines.end(), GetParam().lines.begin(), GetParam().lines.end());
  EXPECT_EQ(RunLines(lines), GetParam().exit_code) << Stderr();
  EXPECT_EQ(Calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FlowTest,
    ::testing::Values(
        // errorlevel n holds for n and more.
        FlowCase{{"probe --exit=2", "if errorlevel 2 probe two-or-more"},
                 {"probe [--exit=2]", "probe [two-or-more]"},
                 0},
        FlowCase{{"probe --exit=1", "if errorlevel 2 probe two-or-more"}, {"probe [--exit=1]"}, 1},
        FlowCase{{"probe --exit=1", "IF NOT ErrorLevel 2 probe below-two"},
                 {"probe [--exit=1]", "probe [below-two]"},
                 0},
        // A test that does not hold leaves the error level for the next one.
        FlowCase{{"probe --exit=1", "if errorlevel 3 probe no", "if errorlevel 1 probe yes"},
                 {"probe [--exit=1]", "probe [yes]"},
                 0},
        // Exactly 1: "1 or more and not 2 or more".
        FlowCase{{"probe --exit=1", "if errorlevel 1 if not errorlevel 2 probe exactly-one"},
                 {"probe [--exit=1]", "probe [exactly-one]"},
                 0},
        FlowCase{{"probe --exit=2", "if errorlevel 1 if not errorlevel 2 probe exactly-one"},
                 {"probe [--exit=2]"},
                 2},
        // goto skips to the line after the label, in either direction, any case.
        FlowCase{{"probe --exit=4", "if errorlevel 1 goto Failed", "probe skipped", "exit 0",
                  ":failed", "probe after-label"},
                 {"probe [--exit=4]", "probe [after-label]"},
                 0},
        FlowCase{{"goto :second", ":first", "probe first", "exit 7", ":second", "probe second",
                  "goto first"},
                 {"probe [second]", "probe [first]"},
                 7},
        // goto keeps the error level, so the lines after the label see it.
        FlowCase{{"probe --exit=5", "goto end", "probe skipped", ":end"}, {"probe [--exit=5]"}, 5},
        // A missing label ends the batch with 1, as the command processor does.
        FlowCase{{"goto nowhere", "probe skipped"}, {}, 1},
        // A test it cannot make is a failure, and runs nothing.
        FlowCase{{"if exist x probe no"}, {}, 1}, FlowCase{{"if errorlevel x probe no"}, {}, 1},
        FlowCase{{"if errorlevel 1"}, {}, 1}));

TEST_F(BatchTest, TheCommandOfAnIfTakesItsRedirections) {
  Tool("probe");
  ASSERT_EQ(RunLines({"@echo off", "probe --exit=3", "if errorlevel 3 echo three> " + File("o"),
                      "if not errorlevel 0 echo never> " + File("p")}),
            0)
      << Stderr();
  EXPECT_EQ(zmo_test::ReadFile(File("o")), "three\r\n");
  EXPECT_EQ(zmo_test::ReadFile(File("p")), "<missing>");
}

TEST_F(BatchTest, LabelsAreNeitherEchoedNorRun) {
  ASSERT_EQ(RunLines({":start", "echo x> " + File("o")}), 0) << Stderr();
  EXPECT_EQ(Stdout().find(":start"), std::string::npos) << Stdout();
  EXPECT_EQ(Stderr(), "");
}

}  // namespace

namespace {

// Whether another open of path could take its exclusive lock now.
bool LockIsFree(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

TEST_F(BatchTest, ARunHoldsTheLockOfItsFile) {
  // flock(1) tries the lock from inside the run: busy gives 1.
  const std::string bat = File("job.bat");
  ASSERT_EQ(RunLines({"@echo off", "/usr/bin/flock -n -E 3 " + bat + " /bin/true",
                      "if errorlevel 3 echo locked> " + File("o")}),
            0)
      << Stderr();
  EXPECT_EQ(zmo_test::ReadFile(File("o")), "locked\r\n");
  EXPECT_TRUE(LockIsFree(bat)) << "let go at the end";
}

TEST_F(BatchTest, LockBatchFileWaitsForTheRunAndCreatesAMissingFile) {
  const std::string bat = File("new.bat");
  int fd = zmo::LockBatchFile(bat);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(zmo::FileExists(bat.c_str()));
  EXPECT_FALSE(LockIsFree(bat));
  close(fd);
  EXPECT_TRUE(LockIsFree(bat));
}

}  // namespace

namespace {

struct MaskCase {
  const char* line;
  const char* shown;
};

void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.line; }

class MaskTest : public BatchTest, public ::testing::WithParamInterface<MaskCase> {};

// A console run shows every line: the password of a tool line never.
TEST_P(MaskTest, TheEchoAndTheTraceShowNoPassword) {
  const std::string trace = File("trace.log");
  setenv(zmo::kBatchTraceEnv, trace.c_str(), 1);
  RunLines({"cd " + dir_, GetParam().line});
  const std::string shown = dir_ + ">" + GetParam().shown + "\r\n";
  EXPECT_NE(Stdout().find(shown), std::string::npos) << Stdout();
  EXPECT_EQ(Stdout().find("s3cr"), std::string::npos) << Stdout();
  const std::string traced = zmo_test::ReadFile(trace);
  EXPECT_NE(traced.find(std::string(":2: ") + GetParam().shown + "\n"), std::string::npos)
      << traced;
  EXPECT_EQ(traced.find("s3cr"), std::string::npos) << traced;
}

INSTANTIATE_TEST_SUITE_P(
    Tools, MaskTest,
    ::testing::Values(
        MaskCase{"sqlldr userid=zmouser/s3cret@WHSE control=/b/x.par log=/b/x.log bindsize=1",
                 "sqlldr userid=zmouser/****@WHSE control=/b/x.par log=/b/x.log bindsize=1"},
        MaskCase{"sqlplus zmouser/s3cr@t@pg:/tmp/run:54320:r3klv @/b/zmostati.sql",
                 "sqlplus zmouser/****@pg:/tmp/run:54320:r3klv @/b/zmostati.sql"},
        MaskCase{"isql -Uzmouser -Ps3cret -SWHSE -i /b/BulkOn.sql",
                 "isql -Uzmouser -P**** -SWHSE -i /b/BulkOn.sql"},
        MaskCase{"bcp r3klv..c1 in /b/zmosnap.cpu -c -Uzmo > /b/l.log \"-Ps3cr et>x\" -SWH",
                 "bcp r3klv..c1 in /b/zmosnap.cpu -c -Uzmo > /b/l.log \"-P****\" -SWH"},
        MaskCase{"tesseledit300 /s WH /d r3klv /u zmo /pw s3cret /b/x.sql /exec",
                 "tesseledit300 /s WH /d r3klv /u zmo /pw **** /b/x.sql /exec"},
        MaskCase{"\"/b/zmomsg\" -T -N 1495 -P STATI", "\"/b/zmomsg\" -T -N 1495 -P STATI"},
        MaskCase{"move \"/b/zmostati.dat\" \"/b/ArchiveData/x.dat\"",
                 "move \"/b/zmostati.dat\" \"/b/ArchiveData/x.dat\""}));

// The flow alone (the fuzz target's run): what would touch the machine goes
// to the stand-in with its redirections taken off, and opens no file.
std::vector<std::string> g_stood_in;
int RecordStandIn(zmo::batch::Run*, const std::string& command) {
  g_stood_in.push_back(command);
  return command.rfind("probe 2", 0) == 0 ? 2 : 0;
}

TEST_F(BatchTest, AStandInTakesWhatWouldTouchTheMachine) {
  g_stood_in.clear();
  zmo::batch::Run run;
  run.file = "flow.bat";
  run.err_fd = -1;
  run.stand_in = RecordStandIn;
  const std::string made = File("made.txt");
  const int code = zmo::batch::RunLines(
      &run, {"@echo off", "cd " + dir_, "del \"" + dir_ + "/*\"", "probe 2 > " + made,
             "if errorlevel 2 goto end", "probe skipped", ":END", "type x >> " + made, "exit 4"});
  EXPECT_EQ(code, 4);
  EXPECT_EQ(g_stood_in, (std::vector<std::string>{"cd " + dir_, "del \"" + dir_ + "/*\"",
                                                  "probe 2 ", "type x "}));
  EXPECT_FALSE(zmo::FileExists(made.c_str()));
}

TEST_F(BatchTest, ALineLimitEndsALoopingGoto) {
  zmo::batch::Run run;
  run.file = "loop.bat";
  run.err_fd = -1;
  run.stand_in = RecordStandIn;
  run.line_limit = 50;
  EXPECT_EQ(zmo::batch::RunLines(&run, {"@echo off", ":again", "goto again"}), 0);
  EXPECT_EQ(run.line_no, 0);
}

}  // namespace
