#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "helpers/test_files.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

const std::string kProbe = std::string(ZMO_TEST_BIN_DIR) + "/zmo_test_argv_probe";

class SpawnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.ok());
    setenv("PROBE_OUT", out_.c_str(), 1);
    unsetenv("PROBE_EXIT");
    unsetenv("PROBE_PAUSE");
  }
  void TearDown() override {
    unsetenv("PROBE_OUT");
    unsetenv("PROBE_EXIT");
  }
  // The lines of the probe's report that start with prefix, without it.
  std::vector<std::string> Report(const std::string& prefix) {
    return zmo_test::LinesWith(out_, prefix);
  }
  zmo_test::TempDir tmp_{"zmo_spawn"};
  const std::string dir_ = tmp_.path();
  const std::string out_ = tmp_.File("probe.out");
};

TEST_F(SpawnTest, ArgumentElementsAreSplitByTheWindowsRules) {
  const char* argv[] = {kProbe.c_str(), " -P STATI", " -M \"a b\"", " -I 4711", nullptr};
  ASSERT_EQ(_spawnv(_P_WAIT, kProbe.c_str(), argv), 0);
  EXPECT_EQ(Report("arg "), (std::vector<std::string>{"-P", "STATI", "-M", "a b", "-I", "4711"}));
}

TEST_F(SpawnTest, WaitModeReturnsTheExitCode) {
  const char* argv[] = {kProbe.c_str(), nullptr};
  for (int code : {0, 1, 29, 99, 255}) {
    setenv("PROBE_EXIT", std::to_string(code).c_str(), 1);
    EXPECT_EQ(_spawnv(_P_WAIT, kProbe.c_str(), argv), code);
  }
}

TEST_F(SpawnTest, ASignalledChildIsNotReportedAsSuccess) {
  setenv("PROBE_PAUSE", "1", 1);
  const char* argv[] = {kProbe.c_str(), nullptr};
  std::intptr_t pid = _spawnv(_P_NOWAIT, kProbe.c_str(), argv);
  ASSERT_GT(pid, 0);
  unsetenv("PROBE_PAUSE");
  ASSERT_EQ(kill(static_cast<pid_t>(pid), SIGKILL), 0);
  int status = -1;
  EXPECT_EQ(_cwait(&status, pid, _WAIT_CHILD), pid);
  EXPECT_EQ(status, 128 + SIGKILL);
}

TEST_F(SpawnTest, NoWaitReturnsThePidAndCwaitReapsIt) {
  setenv("PROBE_EXIT", "7", 1);
  const char* argv[] = {kProbe.c_str(), " x", nullptr};
  std::intptr_t pid = _spawnv(_P_NOWAIT, kProbe.c_str(), argv);
  ASSERT_GT(pid, 0);
  int status = -1;
  EXPECT_EQ(_cwait(&status, pid, _WAIT_CHILD), pid);
  EXPECT_EQ(status, 7);
  EXPECT_EQ(Report("pid "), std::vector<std::string>{std::to_string(pid)});
  errno = 0;
  EXPECT_EQ(_cwait(&status, pid, _WAIT_CHILD), -1) << "reaped already";
  EXPECT_EQ(errno, ECHILD);
  // 0 and -1 would be "any child" to waitpid; _cwait waits for one given child.
  for (std::intptr_t bad : {0, -1}) {
    errno = 0;
    EXPECT_EQ(_cwait(&status, bad, _WAIT_CHILD), -1);
    EXPECT_EQ(errno, EINVAL);
  }
}

TEST_F(SpawnTest, ProgramsThatCannotStartGiveMinusOneAndErrno) {
  std::string plain = dir_ + "/not_executable";
  ASSERT_EQ(zmo::WriteFileAtomic(plain, "data", 0644), 0);
  struct Case {
    std::string path;
    int err;
  };
  const Case cases[] = {
      {dir_ + "/missing", ENOENT},
      {dir_ + "/missing_dir/prog", ENOENT},
      {plain, EACCES},
      // A batch file needs the interpreter, and there is none on this PATH.
      {dir_ + "/run.bat", ENOENT},
      {dir_ + "/RUN.BAT", ENOENT},
  };
  std::string old_path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", dir_.c_str(), 1);
  ASSERT_EQ(zmo::WriteFileAtomic(dir_ + "/run.bat", "echo x\r\n", 0755), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(dir_ + "/RUN.BAT", "echo x\r\n", 0755), 0);
  for (const Case& c : cases) {
    const char* argv[] = {c.path.c_str(), nullptr};
    for (int mode : {_P_WAIT, _P_NOWAIT}) {
      errno = 0;
      EXPECT_EQ(_spawnv(mode, c.path.c_str(), argv), -1) << c.path;
      EXPECT_EQ(errno, c.err) << c.path;
    }
  }
  setenv("PATH", old_path.c_str(), 1);
}

TEST_F(SpawnTest, BadArgumentsAreRefused) {
  const char* argv[] = {kProbe.c_str(), nullptr};
  struct Case {
    int mode;
    const char* path;
    const char* const* argv;
  };
  const Case cases[] = {
      {2, kProbe.c_str(), argv}, {-1, kProbe.c_str(), argv},         {_P_WAIT, nullptr, argv},
      {_P_WAIT, "", argv},       {_P_WAIT, kProbe.c_str(), nullptr},
  };
  for (const Case& c : cases) {
    errno = 0;
    EXPECT_EQ(_spawnv(c.mode, c.path, c.argv), -1);
    EXPECT_EQ(errno, EINVAL);
  }
}

TEST_F(SpawnTest, ChildInheritsOnlyTheStandardDescriptors) {
  // One descriptor without close-on-exec, as a careless caller leaves it.
  int leaked = open(out_.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(leaked, 3);
  const char* argv[] = {kProbe.c_str(), nullptr};
  EXPECT_EQ(_spawnv(_P_WAIT, kProbe.c_str(), argv), 0);
  close(leaked);
  for (const std::string& fd : Report("fd ")) EXPECT_LE(std::stoi(fd), 2) << "fd " << fd;
}

TEST_F(SpawnTest, EmptyArgumentListStillNamesTheProgram) {
  const char* argv[] = {"", nullptr};
  EXPECT_EQ(_spawnv(_P_WAIT, kProbe.c_str(), argv), 0);
  EXPECT_TRUE(Report("arg ").empty());
  EXPECT_EQ(Report("pid ").size(), 1u);
}

TEST_F(SpawnTest, DetachedStartIsNoChildAndHoldsUntilTheCallerAgrees) {
  setenv("PROBE_PAUSE", "1", 1);
  zmo::SpawnRequest req;
  req.path = kProbe;
  req.argv = {kProbe, "one"};
  req.env = {"ZMO_SERVICE=probe"};
  req.detached = true;
  bool report_seen_before_exec = true;
  req.before_exec = [&](pid_t) {
    // The program has not run yet: it has written nothing.
    report_seen_before_exec = zmo::FileExists(out_.c_str());
    return 0;
  };
  pid_t pid = 0;
  ASSERT_EQ(zmo::SpawnProcess(req, &pid), 0);
  unsetenv("PROBE_PAUSE");
  EXPECT_FALSE(report_seen_before_exec);
  EXPECT_NE(zmo::ProcessStartTime(pid), 0u);
  errno = 0;
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1) << "a detached process is not our child";
  EXPECT_EQ(errno, ECHILD);
  // It runs in a session of its own (and, not leading it, can never take a
  // terminal).
  EXPECT_NE(getsid(pid), getsid(0));
  EXPECT_NE(getsid(pid), pid);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
}

TEST_F(SpawnTest, ACancelledStartRunsNothing) {
  zmo::SpawnRequest req;
  req.path = kProbe;
  req.before_exec = [](pid_t) { return -1; };
  for (bool detached : {false, true}) {
    req.detached = detached;
    pid_t pid = 0;
    errno = 0;
    EXPECT_EQ(zmo::SpawnProcess(req, &pid), -1);
    EXPECT_EQ(errno, ECANCELED);
  }
  EXPECT_FALSE(zmo::FileExists(out_.c_str()));
}

TEST_F(SpawnTest, EnvironmentChangesReachOnlyTheChild) {
  setenv("ZMO_SERVICE_ARGS", "inherited", 1);
  zmo::SpawnRequest req;
  req.path = kProbe;
  req.env = {"ZMO_SERVICE=svc"};
  req.unset = {"ZMO_SERVICE_ARGS"};
  pid_t pid = 0;
  ASSERT_EQ(zmo::SpawnProcess(req, &pid), 0);
  int status = -1;
  ASSERT_EQ(_cwait(&status, pid, _WAIT_CHILD), pid);
  unsetenv("ZMO_SERVICE_ARGS");
  EXPECT_EQ(Report("env "), std::vector<std::string>{"ZMO_SERVICE"});
  EXPECT_EQ(getenv("ZMO_SERVICE"), nullptr);
}

TEST(ProcessStartTimeTest, KnowsLiveProcessesOnly) {
  EXPECT_NE(zmo::ProcessStartTime(getpid()), 0u);
  EXPECT_EQ(zmo::ProcessStartTime(getpid()), zmo::ProcessStartTime(getpid()));
  EXPECT_EQ(zmo::ProcessStartTime(0), 0u);
  EXPECT_EQ(zmo::ProcessStartTime(-1), 0u);
  // A reaped child is gone; a zombie counts as gone too.
  pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  siginfo_t info;
  ASSERT_EQ(waitid(P_PID, child, &info, WEXITED | WNOWAIT), 0);  // zombie now
  EXPECT_EQ(zmo::ProcessStartTime(child), 0u);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  EXPECT_EQ(zmo::ProcessStartTime(child), 0u);
}

}  // namespace
