// The whole service cycle of the zmostati program against the service
// manager: install, start, stop, remove; and the program typed at a
// terminal. Every step is a run of the real executable.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service.h"
#include "stati_test_env.h"
#include "zmo_test/service.h"

using namespace zmo::stati;

namespace {

const std::string kExe = std::string(ZMO_TEST_BIN_DIR) + "/zmostati";
const char* const kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\zmostati";

// Runs zmostati with args and returns its exit code.
int RunStati(std::vector<std::string> args) { return zmo_test::RunProgram(kExe, std::move(args)); }

// The service's state, or 0 when it cannot be queried; *error gets the
// reason then.
DWORD State(LONG* error = nullptr) {
  DWORD reason = 0;
  DWORD state = zmo_test::ServiceState("zmostati", &reason);
  if (error && reason != 0) *error = static_cast<LONG>(reason);
  return state;
}

DWORD StartType() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &key) != 0) return 0;
  DWORD value = 0, size = sizeof value, type = 0;
  RegQueryValueExA(key, "Start", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

std::string ImagePath() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &key) != 0) return "";
  char buf[1024] = {0};
  DWORD size = sizeof buf - 1, type = 0;
  RegQueryValueExA(key, "ImagePath", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return buf;
}

TEST(ServiceCycle, InstallStartStopRemove) {
  StatiTestEnv env;
  ASSERT_TRUE(std::filesystem::exists(kExe)) << kExe;

  ASSERT_EQ(RunStati({"-sinstall"}), 0);
  EXPECT_EQ(StartType(), SERVICE_DEMAND_START);
  EXPECT_EQ(std::filesystem::path(ImagePath()), std::filesystem::canonical(kExe));
  EXPECT_EQ(State(), SERVICE_STOPPED);

  ASSERT_EQ(RunStati({"-sstart"}), 0);
  EXPECT_EQ(State(), SERVICE_RUNNING);

  // The stop control wakes the loop's wait at once; -sstop itself looks
  // again after one second and then finds it stopped.
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(RunStati({"-sstop"}), 0);
  const auto took = std::chrono::steady_clock::now() - t0;
  EXPECT_EQ(State(), SERVICE_STOPPED);
  EXPECT_LT(took, std::chrono::milliseconds(2500));

  ASSERT_EQ(RunStati({"-sremove"}), 0);
  LONG error = 0;
  EXPECT_EQ(State(&error), 0u);
  EXPECT_EQ(error, ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST(ServiceCycle, RemoveStopsARunningService) {
  StatiTestEnv env;
  ASSERT_EQ(RunStati({"-sinstall"}), 0);
  ASSERT_EQ(RunStati({"-sstart"}), 0);
  ASSERT_EQ(State(), SERVICE_RUNNING);
  ASSERT_EQ(RunStati({"-sremove"}), 0);
  LONG error = 0;
  EXPECT_EQ(State(&error), 0u);
  EXPECT_EQ(error, ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST(ServiceCycle, AutoStartOnlyForExactlyDashAuto) {
  const struct {
    std::vector<std::string> args;
    DWORD start;
  } cases[] = {{{"-sinstall", "-auto"}, SERVICE_AUTO_START},
               {{"-sinstall", "-AUTO"}, SERVICE_DEMAND_START},
               {{"-sinstall", "x"}, SERVICE_DEMAND_START}};
  for (const auto& c : cases) {
    StatiTestEnv env;
    ASSERT_EQ(RunStati(c.args), 0);
    EXPECT_EQ(StartType(), c.start) << c.args.back();
  }
}

TEST(ServiceCycle, OptionsOnAMissingServiceEndQuietly) {
  StatiTestEnv env;
  for (const char* option : {"-sstart", "-sstop", "-sremove"}) {
    EXPECT_EQ(RunStati({option}), 0) << option;
  }
}

TEST(ServiceCycle, TypedAtATerminalFails) {
  StatiTestEnv env;
  // The dispatcher refuses a program the service manager did not start.
  EXPECT_NE(RunStati({}), 0);
}

}  // namespace
