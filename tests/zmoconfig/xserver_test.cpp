// The installed zmoconfig in a real X server: the build installed into a
// directory of the test's own, Xvfb on a display it picks itself,
// the program started on it with "-D", its main window seen in the server's
// window tree, a second instance that ends itself, then Ctrl+Q typed into
// the first and its end awaited.
// Every wait is bounded.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "catalog/catalog_table.h"
#include "platform/process.h"  // ExitCodeFromWaitStatus
#include "zmo_test/config_store.h"
#include "zmo_test/registry.h"
#include "zmogdlib/config_key.h"

namespace {

using Clock = std::chrono::steady_clock;

bool OnPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Output of a shell command line (the test's own fixed commands).
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// A child process ended with SIGTERM (then SIGKILL) at the end of the scope.
class Child {
 public:
  ~Child() { Stop(); }
  // Starts program (searched on PATH) with argv and the environment plus
  // env; pipe_fd, when not -1, becomes the child's descriptor 3. Returns 0.
  int Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            int pipe_fd = -1) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> environment = env;
    for (char** e = environ; *e; ++e) environment.push_back(*e);
    std::vector<char*> envp;
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipe_fd >= 0) posix_spawn_file_actions_adddup2(&actions, pipe_fd, 3);
    const int rc = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) pid_ = 0;
    return rc;
  }
  pid_t pid() const { return pid_; }
  // Waits until the child ends or the time is up; returns its exit code, or
  // -1 when it still runs.
  int WaitFor(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (pid_ > 0) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return zmo::ExitCodeFromWaitStatus(status);
      }
      if (Clock::now() > end) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (WaitFor(std::chrono::seconds(5)) < 0 && pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

class XServerTest : public zmo_test::StoreTest {};

TEST_F(XServerTest, MainWindowAppearsSecondInstanceEndsItselfCtrlQEndsTheFirst) {
  for (const char* tool : {"Xvfb", "xwininfo", "xdotool"}) {
    if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup.sh installs it)";
  }
  // cmake --install lays out a BinDir as an installation does.
  const std::string bin_dir = dir_ / "bin";
  const std::string install = Output(std::string("'") + ZMO_TEST_CMAKE + "' --install '" +
                                     ZMO_TEST_BUILD_DIR + "' --prefix '" + bin_dir + "' 2>&1");
  ASSERT_TRUE(std::filesystem::exists(bin_dir + "/zmoconfig")) << install;
  zmo_test::PutConfigText(zmo::cfg::kBinDir, bin_dir);

  // Xvfb writes the display number it chose to the pipe.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  Child xvfb;
  ASSERT_EQ(
      xvfb.Start({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {},
                 fds[1]),
      0);
  close(fds[1]);
  std::string display;
  pollfd pfd{fds[0], POLLIN, 0};
  const auto until = Clock::now() + std::chrono::seconds(15);
  while (display.find('\n') == std::string::npos && Clock::now() < until) {
    if (poll(&pfd, 1, 100) > 0) {
      char buf[32];
      const ssize_t n = read(fds[0], buf, sizeof buf);
      if (n <= 0) break;
      display.append(buf, static_cast<size_t>(n));
    }
  }
  close(fds[0]);
  ASSERT_NE(display.find('\n'), std::string::npos) << "Xvfb chose no display";
  display = ":" + display.substr(0, display.find('\n'));

  Child program;
  const std::vector<std::string> env_vars = {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
                                             "ZMO_REGISTRY=" + dir_ / "registry"};
  ASSERT_EQ(program.Start({bin_dir + "/zmoconfig", "-D"}, env_vars), 0);

  const std::string title = zmoCatalogText(1400);
  const std::string env = "DISPLAY=" + display + " ";
  std::string window;
  const auto seen_until = Clock::now() + std::chrono::seconds(30);
  while (window.empty() && Clock::now() < seen_until) {
    const std::string tree = Output(env + "xwininfo -root -tree 2>/dev/null");
    const size_t at = tree.find("\"" + title + "\"");
    if (at != std::string::npos) {
      const size_t line = tree.rfind('\n', at) + 1;
      window = tree.substr(line, tree.find(' ', tree.find_first_not_of(' ', line)) - line);
      window.erase(0, window.find_first_not_of(' '));
    } else {
      ASSERT_EQ(program.WaitFor(std::chrono::milliseconds(100)), -1) << "zmoconfig ended early";
    }
  }
  ASSERT_FALSE(window.empty()) << "no window titled " << title << " appeared";

  // A second configurator opens its window, then ends itself; the first
  // goes on.
  Child second;
  ASSERT_EQ(second.Start({bin_dir + "/zmoconfig", "-D"}, env_vars), 0);
  EXPECT_EQ(second.WaitFor(std::chrono::seconds(30)), 0) << "the second instance did not end";
  EXPECT_EQ(program.WaitFor(std::chrono::milliseconds(0)), -1) << "the first one ended too";

  // Focus the window and type Ctrl+Q into it.
  const std::string focus = env + "xdotool windowfocus --sync " + window + " 2>&1";
  Output(focus);
  const int code_after_key = [&] {
    for (int attempt = 0; attempt < 10; ++attempt) {
      Output(env + "xdotool key --clearmodifiers ctrl+q 2>&1");
      const int code = program.WaitFor(std::chrono::seconds(1));
      if (code >= 0) return code;
      Output(focus);
    }
    return -1;
  }();
  EXPECT_EQ(code_after_key, 0) << "zmoconfig did not end on Ctrl+Q";
}

}  // namespace
