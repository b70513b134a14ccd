// The Env: a wrapper hands on what it does not override, installed Envs
// stack, the ones SetEnv installed go at a reset, and the runtime's process
// ends and program starts go through it.
#include "platform/env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/handover.h"
#include "common/runtime_state.h"
#include "platform/clock.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;

// Answers every call itself and notes which were made.
class NotingEnv : public zmo::Env {
 public:
  void Exit(int code) override { calls.push_back("Exit " + std::to_string(code)); }
  std::string HostName() override {
    calls.push_back("HostName");
    return "noted-host";
  }
  std::string IPv4Address() override {
    calls.push_back("IPv4Address");
    return "10.0.0.9";
  }
  std::intptr_t Spawn(int mode, const char* path, const char* const* argv) override {
    std::string call = "Spawn " + std::to_string(mode) + " " + path;
    for (const char* const* a = argv; *a != nullptr; ++a) call += std::string(" [") + *a + "]";
    calls.push_back(call);
    errno = spawn_errno;
    return spawn_result;
  }

  std::vector<std::string> calls;
  std::intptr_t spawn_result = 0;
  int spawn_errno = 0;
};

// Overrides the host name only.
class HostOnlyEnv : public zmo::EnvWrapper {
 public:
  using EnvWrapper::EnvWrapper;
  std::string HostName() override { return "own-host"; }
};

class EnvTest : public zmo_test::RuntimeTest {};

TEST_F(EnvTest, AWrapperHandsOnWhatItDoesNotOverride) {
  NotingEnv target;
  HostOnlyEnv wrapper(&target);
  EXPECT_EQ(wrapper.target(), &target);
  EXPECT_EQ(wrapper.HostName(), "own-host");
  EXPECT_EQ(wrapper.IPv4Address(), "10.0.0.9");
  wrapper.Exit(99);
  const char* const argv[] = {"prog", " -T", nullptr};
  target.spawn_result = 5;
  EXPECT_EQ(wrapper.Spawn(1, "/bin/prog", argv), 5);
  EXPECT_THAT(target.calls,
              ElementsAre("IPv4Address", "Exit 99", "Spawn 1 /bin/prog [prog] [ -T]"));
}

TEST_F(EnvTest, AWrapperWithoutATargetHandsOnToTheRealEnv) {
  const HostOnlyEnv wrapper;
  EXPECT_EQ(wrapper.target(), zmo::DefaultEnv());
}

TEST_F(EnvTest, TheInstalledEnvIsInForceUntilAReset) {
  EXPECT_EQ(&zmo::CurrentEnv(), zmo::DefaultEnv());
  NotingEnv env;
  zmo::SetEnv(&env);
  EXPECT_EQ(&zmo::CurrentEnv(), &env);
  zmo::ResetEnv();
  EXPECT_EQ(&zmo::CurrentEnv(), zmo::DefaultEnv());
  zmo::SetEnv(&env);
  zmo::ResetConsoleRuntime();
  EXPECT_EQ(&zmo::CurrentEnv(), zmo::DefaultEnv());
}

// A fixture's fake clock and a test's host answer together in whichever order
// they were installed, and a program's reset takes the host away but leaves
// the clock.
TEST_F(EnvTest, InstalledWrappersStackAndAResetKeepsTheScopedOnes) {
  for (const bool clock_first : {true, false}) {
    HostOnlyEnv host;
    std::optional<zmo::ScopedFakeClock> clock;
    if (clock_first) clock.emplace(42'000);
    zmo::SetEnv(&host);
    if (!clock_first) clock.emplace(42'000);
    EXPECT_EQ(zmo::CurrentEnv().HostName(), "own-host") << clock_first;
    EXPECT_EQ(zmo::ClockNowMillis(), 42'000) << clock_first;
    EXPECT_TRUE(zmo::CurrentEnv().TimeIsFake()) << clock_first;

    zmo::ResetConsoleRuntime();
    EXPECT_NE(zmo::CurrentEnv().HostName(), "own-host") << clock_first;
    EXPECT_EQ(zmo::ClockNowMillis(), 42'000) << clock_first;
    EXPECT_EQ(host.target(), zmo::DefaultEnv()) << clock_first;

    clock.reset();
    EXPECT_EQ(&zmo::CurrentEnv(), zmo::DefaultEnv()) << clock_first;
  }
}

// A scoped Env that ends while one installed after it is still there leaves
// the later one in force, now handing on to what lay beneath the first.
TEST_F(EnvTest, AnEnvThatEndsBeneathAnotherIsTakenOutOfTheStack) {
  auto clock = std::make_unique<zmo::ScopedFakeClock>(7'000);
  HostOnlyEnv host;
  {
    zmo::ScopedEnv installed(&host);
    EXPECT_EQ(zmo::ClockNowMillis(), 7'000);
    clock.reset();
    EXPECT_EQ(&zmo::CurrentEnv(), &host);
    EXPECT_EQ(host.target(), zmo::DefaultEnv());
    EXPECT_FALSE(zmo::CurrentEnv().TimeIsFake());
  }
  EXPECT_EQ(&zmo::CurrentEnv(), zmo::DefaultEnv());
}

TEST_F(EnvTest, ExitProgramEndsThroughTheEnv) {
  NotingEnv env;
  zmo::SetEnv(&env);
  zmo::exitProgram(7);
  EXPECT_THAT(env.calls, ElementsAre("Exit 7"));
}

// execCommand starts nothing itself: what the Env's Spawn answers is what
// it traces and returns.
TEST_F(EnvTest, ExecCommandStartsThroughTheEnv) {
  struct Case {
    std::intptr_t spawn_result;
    int spawn_errno;
    int result;
    int exit_code;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {3, 0, 0, 3, {"spawn(/opt/zmo/zmoloader) returned <3>."}},
      {-1,
       ENOENT,
       1,
       -5,
       {"spawn(/opt/zmo/zmoloader) returned <-1>.", "errno is <2> (No such file or directory)."}},
  };
  for (const Case& c : cases) {
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    NotingEnv env;
    env.spawn_result = c.spawn_result;
    env.spawn_errno = c.spawn_errno;
    zmo::SetEnv(&env);
    int exit_code = -5;
    EXPECT_EQ(zmo::execCommand("/opt/zmo/zmoloader", {"/opt/zmo/zmoloader", " -A"}, &exit_code),
              c.result);
    zmo::ResetEnv();
    EXPECT_EQ(exit_code, c.exit_code);
    EXPECT_THAT(env.calls, ElementsAre("Spawn 0 /opt/zmo/zmoloader [/opt/zmo/zmoloader] [ -A]"));
    EXPECT_EQ(TraceTexts(), c.trace) << c.spawn_result;
  }
}

}  // namespace
