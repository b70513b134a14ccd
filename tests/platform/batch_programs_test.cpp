// Lines that start programs: PATH lookup, the Windows splitting of the
// line, output redirection anywhere on the line, failing lines, the trace,
// and batch files started through _spawnv.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include "batch_test_util.h"
#include "platform/process.h"

namespace {

using zmo_test::BatchTest;
using zmo_test::ReadFile;

TEST_F(BatchTest, ArgumentsAreSplitByTheWindowsRules) {
  Tool("zmomsg");
  ASSERT_EQ(RunLines({"@echo off", "zmomsg -P \"SNAP\" -T -N 1500",
                      "\"" + bin_ + "/zmomsg\" -M \"a b\" x\\\"y \"\"",
                      "zmomsg  userid=u/p@dsn   control=\"" + dir_ + "/with blank.par\""}),
            0)
      << Stderr();
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "zmomsg [-P] [SNAP] [-T] [-N] [1500]",
                         "zmomsg [-M] [a b] [x\"y] []",
                         "zmomsg [userid=u/p@dsn] [control=" + dir_ + "/with blank.par]",
                     }));
}

TEST_F(BatchTest, ARedirectionInTheMiddleOfAToolLineTakesItsOutput) {
  Tool("bcp");
  std::string log = File("trace_zmo_load_snap.log");
  ASSERT_EQ(
      RunLines(
          {"@echo off", "echo banner >> " + log,
           "bcp r3klv..c1 in " + dir_ + "/zmosnap.cpu -c -t , -Uuser > " + log + " -Ppw -Sdsn",
           "bcp r3klv..d1 in " + dir_ + "/zmosnap.dsk -c -t , -Uuser >> " + log + " -Ppw -Sdsn"}),
      0)
      << Stderr();
  // The ">" line starts the log anew; the banner before it is gone.
  EXPECT_EQ(ReadFile(log), "bcp [r3klv..c1] [in] [" + dir_ +
                               "/zmosnap.cpu] [-c] [-t] [,] [-Uuser] [-Ppw] [-Sdsn]\n"
                               "bcp [r3klv..d1] [in] [" +
                               dir_ + "/zmosnap.dsk] [-c] [-t] [,] [-Uuser] [-Ppw] [-Sdsn]\n");
  EXPECT_EQ(Stdout(), "");
}

TEST_F(BatchTest, WithoutRedirectionAProgramWritesToTheBatchOutput) {
  Tool("sqlplus");
  ASSERT_EQ(RunLines({"@echo off", "sqlplus u/p@dsn @" + dir_ + "/zmostati.sql"}), 0);
  EXPECT_EQ(Stdout(), "sqlplus [u/p@dsn] [@" + dir_ + "/zmostati.sql]\n");
}

TEST_F(BatchTest, TheFirstPathDirectoryWithAnExecutableWins) {
  std::string later = File("later");
  ASSERT_EQ(mkdir(later.c_str(), 0755), 0);
  ASSERT_EQ(symlink(zmo_test::kBatchProbe.c_str(), (later + "/isql").c_str()), 0);
  ASSERT_EQ(symlink(zmo_test::kBatchProbe.c_str(), (later + "/bcp").c_str()), 0);
  // In the first directory isql is a plain file that cannot be run.
  zmo_test::WriteFile(bin_ + "/isql", "not a program");
  Tool("bcp");
  setenv("PATH", (":" + bin_ + "::" + later + ":" + ZMO_TEST_BIN_DIR).c_str(), 1);
  std::string found;
  ASSERT_EQ(zmo::FindProgramOnPath("isql", &found), 0);
  EXPECT_EQ(found, later + "/isql");
  ASSERT_EQ(zmo::FindProgramOnPath("bcp", &found), 0);
  EXPECT_EQ(found, bin_ + "/bcp");
  ASSERT_EQ(RunLines({"@echo off", "isql -Uu", "bcp x"}), 0) << Stderr();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"isql [-Uu]", "bcp [x]"}));
}

TEST_F(BatchTest, TheCurrentDirectoryIsNotSearchedButAPathWithASlashIsTaken) {
  ASSERT_EQ(symlink(zmo_test::kBatchProbe.c_str(), File("local").c_str()), 0);
  EXPECT_EQ(RunLines({"@echo off", "cd " + dir_, "local one"}), zmo::kBatchNotFound);
  EXPECT_EQ(RunLines({"@echo off", "cd " + dir_, "./local two"}), 0) << Stderr();
  EXPECT_EQ(Calls(), std::vector<std::string>{"local [two]"});
  std::string found;
  errno = 0;
  EXPECT_EQ(zmo::FindProgramOnPath("local", &found), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(BatchTest, AProgramThatCannotRunIsReportedAndTheBatchGoesOn) {
  zmo_test::WriteFile(bin_ + "/noexec", "#!/nowhere\n");
  ASSERT_EQ(chmod((bin_ + "/noexec").c_str(), 0644), 0);
  Tool("probe");
  EXPECT_EQ(RunLines({"@echo off", "noexec", "probe after"}), 0);
  EXPECT_NE(Stderr().find("noexec cannot be started"), std::string::npos) << Stderr();
  EXPECT_EQ(RunLines({"@echo off", "noexec"}), zmo::kBatchCannotStart);
}

struct FailingLine {
  const char* line;  // runs in the temp dir
  const char* message;
};

void PrintTo(const FailingLine& c, std::ostream* os) { *os << c.line; }

class FailingLineTest : public BatchTest, public ::testing::WithParamInterface<FailingLine> {};

TEST_P(FailingLineTest, IsReportedWithItsLineAndTheNextLineRuns) {
  Tool("probe");
  std::string path = Batch({"@echo off", "cd " + dir_, GetParam().line, "probe next", "Exit"});
  EXPECT_EQ(Run(path), 0);
  EXPECT_EQ(Calls().back(), "probe [next]");
  std::string err = Stderr();
  EXPECT_NE(err.find("zmobatch: " + path + ":3: "), std::string::npos) << err;
  EXPECT_NE(err.find(GetParam().message), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FailingLineTest,
    ::testing::Values(FailingLine{"sqlldr80 userid=a/b@c", "sqlldr80: no such program"},
                      FailingLine{"echo x > no-dir/log.txt", "cannot open no-dir/log.txt"},
                      FailingLine{"echo x >", "names no file"},
                      FailingLine{"type absent.log", "cannot read absent.log"},
                      FailingLine{"cd \"no such dir\"", "cannot change to directory no such dir"},
                      FailingLine{"move absent.dat b.dat", "cannot move absent.dat"}));

TEST_F(BatchTest, TheTraceFollowsEveryLineAndTheStop) {
  Tool("probe");
  std::string trace = File("batch.trace");
  setenv(zmo::kBatchTraceEnv, trace.c_str(), 1);
  std::string path =
      Batch({"@echo off", "probe --exit=4", "missing-tool -x", "echo done> " + File("o")});
  EXPECT_EQ(Run(path), 0);
  std::string text = ReadFile(trace);
  std::vector<std::string> expected_in_order = {
      path + ": batch started",
      path + ":1: echo off",
      path + ":2: probe --exit=4",
      path + ":2: started " + bin_ + "/probe as process ",
      path + ":2: " + bin_ + "/probe ended with exit code 4",
      path + ":2: error level 4",
      path + ":3: missing-tool -x",
      path + ":3: failed: missing-tool: no such program",
      path + ":3: error level 127",
      path + ":4: echo done> " + File("o"),
      path + ": batch ended with exit code 0",
  };
  size_t at = 0;
  for (const std::string& piece : expected_in_order) {
    size_t found = text.find(piece, at);
    ASSERT_NE(found, std::string::npos) << piece << "\nin:\n" << text;
    at = found + piece.size();
  }
  struct stat st;
  ASSERT_EQ(stat(trace.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "batch lines may hold a password";
}

TEST_F(BatchTest, ABatchLineNamingABatchRunsItUnderTheInterpreter) {
  Tool("probe");
  std::string inner =
      Batch({"cd " + bin_, "probe inner --pwd > " + File("inner.txt"), "exit 7"}, "inner.bat");
  EXPECT_EQ(RunLines({"@echo off", "cd " + dir_, inner, "probe outer --pwd > outer.txt"}), 0)
      << Stderr();
  EXPECT_EQ(ReadFile(File("inner.txt")), "probe [inner] [--pwd]\ncwd " + bin_ + "\n");
  // The inner batch's cd was its own.
  EXPECT_EQ(ReadFile(File("outer.txt")), "probe [outer] [--pwd]\ncwd " + dir_ + "\n");
}

TEST_F(BatchTest, SpawnOfABatchFileRunsItAndReturnsItsExitCode) {
  Tool("probe");
  std::string path = Batch({"cd \"" + dir_ + "\"", "probe spawned > spawned.txt", "Exit 3"});
  const char* argv[] = {path.c_str(), nullptr};
  EXPECT_EQ(_spawnv(_P_WAIT, path.c_str(), argv), 3);
  EXPECT_EQ(ReadFile(File("spawned.txt")), "probe [spawned]\n");

  std::intptr_t pid = _spawnv(_P_NOWAIT, path.c_str(), argv);
  ASSERT_GT(pid, 0);
  int status = -1;
  EXPECT_EQ(_cwait(&status, pid, _WAIT_CHILD), pid);
  EXPECT_EQ(status, 3);
}

TEST_F(BatchTest, SpawnOfABatchFailsLikeAProgramWhenItCannotStart) {
  std::string missing = File("missing.bat");
  const char* argv[] = {missing.c_str(), nullptr};
  errno = 0;
  EXPECT_EQ(_spawnv(_P_WAIT, missing.c_str(), argv), -1);
  EXPECT_EQ(errno, ENOENT);

  // No interpreter beside the program and none on PATH.
  std::string path = Batch({"Exit"});
  setenv("PATH", bin_.c_str(), 1);
  const char* argv2[] = {path.c_str(), nullptr};
  errno = 0;
  EXPECT_EQ(_spawnv(_P_WAIT, path.c_str(), argv2), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(BatchTest, QuotedPathsWithBlanksStayWhole) {
  std::string bin = File("Bin Dir");
  ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((bin + "/ArchiveData").c_str(), 0755), 0);
  ASSERT_EQ(symlink(zmo_test::kBatchProbe.c_str(), (bin + "/zmomsg").c_str()), 0);
  zmo_test::WriteFile(bin + "/zmostati.dat", "rows\r\n");
  zmo_test::WriteFile(bin + "/ArchiveData/stati_20040103.dat", "old");
  ASSERT_EQ(RunLines({"@echo off", "cd \"" + bin + "\"",
                      "\"" + bin + "/zmomsg\" -T -N 1495 -P STATI > \"" + bin + "/sum log.txt\"",
                      "move \"" + bin + "/zmostati.dat\" \"" + bin +
                          "/ArchiveData/stati_200401101530.dat\"",
                      "del \"" + bin + "/ArchiveData/stati_20040103*.dat\"",
                      "type \"" + bin + "/ArchiveData/stati_200401101530.dat\" >> \"" + bin +
                          "/sum log.txt\""}),
            0)
      << Stderr();
  EXPECT_EQ(ReadFile(bin + "/sum log.txt"), "zmomsg [-T] [-N] [1495] [-P] [STATI]\nrows\r\n");
  EXPECT_FALSE(zmo::FileExists((bin + "/ArchiveData/stati_20040103.dat").c_str()));
}

TEST_F(BatchTest, ATraceFileThatCannotBeOpenedIsToldAndTheBatchRuns) {
  setenv(zmo::kBatchTraceEnv, File("no/dir/trace").c_str(), 1);
  EXPECT_EQ(RunLines({"@echo off", "echo ran> " + File("o")}), 0);
  EXPECT_EQ(ReadFile(File("o")), "ran\r\n");
  EXPECT_NE(Stderr().find("cannot open the trace file " + File("no/dir/trace")), std::string::npos)
      << Stderr();
}

}  // namespace
