// Window titles: the store of live windows, the Windows walk over it, the
// window of a program started with _spawnv, and a batch's title line.
#include "platform/window_titles.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "batch_test_util.h"
#include "platform/process.h"

namespace {

using zmo_test::BatchTest;
using zmo_test::ReadFile;

const std::string kArgvProbe = std::string(ZMO_TEST_BIN_DIR) + "/zmo_test_argv_probe";

class WindowTitlesTest : public BatchTest {
 protected:
  void TearDown() override {
    unsetenv("PROBE_PAUSE");
    unsetenv("ZMO_REGISTRY");
    BatchTest::TearDown();
  }
  // The titles of the live windows, in walk order.
  std::vector<std::string> Titles() {
    std::vector<zmo::WindowEntry> windows;
    EXPECT_EQ(zmo::EnumWindowTitles(&windows), 0);
    std::vector<std::string> out;
    for (const zmo::WindowEntry& w : windows) out.push_back(w.title);
    return out;
  }
  // A child started with _spawnv that waits for a signal.
  std::intptr_t StartPaused() {
    setenv("PROBE_PAUSE", "1", 1);
    unsetenv("PROBE_OUT");
    const char* argv[] = {kArgvProbe.c_str(), nullptr};
    std::intptr_t pid = _spawnv(_P_NOWAIT, kArgvProbe.c_str(), argv);
    unsetenv("PROBE_PAUSE");
    return pid;
  }
  void Stop(std::intptr_t pid) {
    kill(static_cast<pid_t>(pid), SIGKILL);
    int status = 0;
    _cwait(&status, pid, _WAIT_CHILD);
  }
};

TEST_F(WindowTitlesTest, NoDirectoryMeansNoWindows) {
  EXPECT_EQ(Titles(), std::vector<std::string>{});
  EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

TEST_F(WindowTitlesTest, TheDefaultDirectoryLiesInTheRegistryStore) {
  unsetenv("ZMO_WINDOWS");
  setenv("ZMO_REGISTRY", File("reg").c_str(), 1);
  EXPECT_EQ(zmo::WindowTitleDirectory(), File("reg") + "/windows");
  // Without the store's directory there is no place for a window.
  EXPECT_EQ(zmo::SetWindowTitle(getpid(), "t"), -1);
  ASSERT_EQ(mkdir(File("reg").c_str(), 0755), 0);
  EXPECT_EQ(zmo::SetWindowTitle(getpid(), "t"), 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{"t"});
}

TEST_F(WindowTitlesTest, SetRetitleAndRemove) {
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), "first"), 0);
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), "Monitoring for Orvane Load/Aggregate zmosnap data"), 0);
  std::string title;
  ASSERT_EQ(zmo::GetWindowTitleOf(getpid(), &title), 0);
  EXPECT_EQ(title, "Monitoring for Orvane Load/Aggregate zmosnap data");
  ASSERT_EQ(zmo::RemoveWindow(getpid()), 0);
  EXPECT_EQ(zmo::GetWindowTitleOf(getpid(), &title), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(zmo::RemoveWindow(getpid()), 0) << "closing a closed window is no error";
}

TEST_F(WindowTitlesTest, AProcessThatIsGoneHasNoWindow) {
  errno = 0;
  std::intptr_t pid = StartPaused();
  ASSERT_GT(pid, 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{kArgvProbe});
  // Ended but not yet reaped: the window is gone with the process.
  ASSERT_EQ(kill(static_cast<pid_t>(pid), SIGKILL), 0);
  siginfo_t info;
  ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{});
  int status = 0;
  EXPECT_EQ(_cwait(&status, pid, _WAIT_CHILD), pid);
  // A gone process cannot be given one.
  EXPECT_EQ(zmo::SetWindowTitle(static_cast<pid_t>(pid), "late"), -1);
  EXPECT_EQ(errno, ESRCH);
}

TEST_F(WindowTitlesTest, AnEntryOfAReusedPidIsDropped) {
  // An entry of this pid from a process that started at another time.
  ASSERT_EQ(mkdir(File("windows").c_str(), 0755), 0);
  zmo_test::WriteFile(File("windows/" + std::to_string(getpid())), "1\nzmoloader of long ago");
  zmo_test::WriteFile(File("windows/123.tmpabc"), "not a window");
  EXPECT_EQ(Titles(), std::vector<std::string>{});
  EXPECT_FALSE(zmo::FileExists(File("windows/" + std::to_string(getpid())).c_str()));
}

TEST_F(WindowTitlesTest, ASpawnedProgramHasAWindowTitledByItsPath) {
  Tool("zmoloader");
  std::string program = bin_ + "/zmoloader";
  const char* argv[] = {program.c_str(), "--windows", nullptr};
  ASSERT_EQ(_spawnv(_P_WAIT, program.c_str(), argv), 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"zmoloader [--windows]", "window " + program}));
  EXPECT_EQ(Titles(), std::vector<std::string>{}) << "closed when it ended";
}

TEST_F(WindowTitlesTest, AProgramStartedTheServiceWayHasNone) {
  zmo::SpawnRequest req;
  req.path = zmo_test::kBatchProbe;
  req.argv = {"service", "--windows"};
  pid_t pid = 0;
  ASSERT_EQ(zmo::SpawnProcess(req, &pid), 0);
  int st = 0;
  ASSERT_EQ(waitpid(pid, &st, 0), pid);
  EXPECT_EQ(Calls(), std::vector<std::string>{"service [--windows]"});
}

TEST_F(WindowTitlesTest, AWindowlessDesktopDoesNotStopAStart) {
  setenv("ZMO_WINDOWS", File("no/such/dir").c_str(), 1);
  Tool("zmomsg");
  std::string program = bin_ + "/zmomsg";
  const char* argv[] = {program.c_str(), nullptr};
  EXPECT_EQ(_spawnv(_P_WAIT, program.c_str(), argv), 0);
  EXPECT_EQ(Calls(), std::vector<std::string>{"zmomsg"});
}

TEST_F(WindowTitlesTest, ABatchIsTitledByItsPathUntilItsTitleLine) {
  Tool("probe");
  std::string path =
      Batch({"@echo off", "probe --windows",
             "title Monitoring for Orvane Load/Aggregate zmostati data", "probe --windows"},
            "zmoload_stati.bat");
  const char* argv[] = {path.c_str(), nullptr};
  ASSERT_EQ(_spawnv(_P_WAIT, path.c_str(), argv), 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "probe [--windows]", "window " + path, "probe [--windows]",
                         "window Monitoring for Orvane Load/Aggregate zmostati data"}));
  EXPECT_EQ(Titles(), std::vector<std::string>{});
}

TEST_F(WindowTitlesTest, ATitleLineInThisProcessLastsForTheBatch) {
  Tool("probe");
  EXPECT_EQ(RunLines({"@echo off", "title  zmosnap load  ", "probe --windows"}), 0) << Stderr();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"probe [--windows]", "window zmosnap load"}));
  EXPECT_EQ(Titles(), std::vector<std::string>{});
  // A window this process had before gets its title back.
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), "/opt/zmo/zmoconfig"), 0);
  EXPECT_EQ(RunLines({"@echo off", "TITLE other"}), 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{"/opt/zmo/zmoconfig"});
}

TEST_F(WindowTitlesTest, TheWindowsWalkSeesEveryTitle) {
  std::intptr_t child = StartPaused();
  ASSERT_GT(child, 0);
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), "Monitoring for Orvane Load/Aggregate zmostati data"), 0);
  std::vector<std::string> walked;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    int length = GetWindowTextLengthA(w);
    std::vector<char> buf(static_cast<size_t>(length) + 1, 'x');
    EXPECT_EQ(GetWindowTextA(w, buf.data(), length + 1), length);
    walked.emplace_back(buf.data());
  }
  std::sort(walked.begin(), walked.end());
  EXPECT_EQ(walked, (std::vector<std::string>{
                        kArgvProbe, "Monitoring for Orvane Load/Aggregate zmostati data"}));

  HWND own = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(getpid()));
  EXPECT_EQ(GetWindowTextLengthA(own), 50);
  char small[9];
  EXPECT_EQ(GetWindowTextA(own, small, sizeof(small)), 8);
  EXPECT_STREQ(small, "Monitori");
  EXPECT_EQ(GetWindowTextA(own, small, 0), 0);
  EXPECT_EQ(GetWindow(own, 99), nullptr);
  EXPECT_EQ(GetTopWindow(own), nullptr);

  Stop(child);
  HWND gone = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(child));
  EXPECT_EQ(GetWindowTextLengthA(gone), 0);
  EXPECT_EQ(GetWindowTextA(gone, small, sizeof(small)), 0);
  EXPECT_STREQ(small, "");
  zmo::RemoveWindow(getpid());
}

TEST_F(WindowTitlesTest, ATitleThatCannotBeRecordedFailsItsLineOnly) {
  setenv("ZMO_WINDOWS", File("no/such/dir").c_str(), 1);
  EXPECT_EQ(RunLines({"@echo off", "title zmoload", "echo next> " + File("o")}), 0);
  EXPECT_EQ(RunLines({"@echo off", "title zmoload"}), 1);
  EXPECT_NE(Stderr().find("cannot set the window title"), std::string::npos) << Stderr();
  EXPECT_EQ(ReadFile(File("o")), "next\r\n");
}

}  // namespace
