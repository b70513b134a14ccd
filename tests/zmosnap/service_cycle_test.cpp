// The zmosnap program against the service manager: -sinstall, -sstart,
// -sstop, -sremove step by step, and the exit codes of the other entries.
// Every step is a run of the real executable; the configuration asks for
// no collection, so the running service only waits for its stop.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service.h"
#include "snap_test_env.h"
#include "zmo_test/service.h"

using namespace zmo::snap;

namespace {

const std::string kExe = std::string(ZMO_TEST_BIN_DIR) + "/zmosnap";
const char* const kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\zmosnap";
constexpr DWORD kNoService = 0;

int RunSnap(std::vector<std::string> args) { return zmo_test::RunProgram(kExe, std::move(args)); }

// The service's state, or kNoService with *error set when it cannot be
// queried.
DWORD State(DWORD* error = nullptr) { return zmo_test::ServiceState("zmosnap", error); }

// A value of the service's record in the registry ("" or 0 when missing).
std::string ServiceText(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &key) != 0) return "";
  char buf[1024] = {0};
  DWORD size = sizeof buf - 1, type = 0;
  RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return buf;
}
DWORD ServiceNumber(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &key) != 0) return 0;
  DWORD value = 0, size = sizeof value, type = 0;
  RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

class ServiceCycle : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(kExe)) << kExe;
    // No collection day and no trace: the service only waits.
    SnapTestEnv::Set("SnapDebug", "False");
    SnapTestEnv::Set("SnapRunDays", "0");
  }
  SnapTestEnv env_;
};

TEST_F(ServiceCycle, InstallStartStopRemove) {
  const struct {
    const char* option;
    DWORD state_after;
  } steps[] = {
      {"-sinstall", SERVICE_STOPPED}, {"-sstart", SERVICE_RUNNING}, {"-sstop", SERVICE_STOPPED},
      {"-sstart", SERVICE_RUNNING},  // a stopped service starts again
      {"-sstop", SERVICE_STOPPED},    {"-sremove", kNoService},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.option);
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(RunSnap({s.option}), 0);
    // The stop control wakes the loop's wait at once.
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2500));
    DWORD error = 0;
    EXPECT_EQ(State(&error), s.state_after);
    if (s.state_after == kNoService) {
      EXPECT_EQ(error, static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    }
    if (std::string(s.option) == "-sinstall") {
      EXPECT_EQ(ServiceText("DisplayName"), "Monitoring for Orvane Indicator");
      EXPECT_EQ(std::filesystem::path(ServiceText("ImagePath")), std::filesystem::canonical(kExe));
      EXPECT_EQ(ServiceNumber("Start"), SERVICE_DEMAND_START);
    }
  }
}

TEST_F(ServiceCycle, RemoveStopsARunningService) {
  ASSERT_EQ(RunSnap({"-sinstall", "-auto"}), 0);
  EXPECT_EQ(ServiceNumber("Start"), SERVICE_AUTO_START);
  ASSERT_EQ(RunSnap({"-sstart"}), 0);
  ASSERT_EQ(State(), SERVICE_RUNNING);
  ASSERT_EQ(RunSnap({"-sremove"}), 0);
  DWORD error = 0;
  EXPECT_EQ(State(&error), kNoService);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
}

TEST_F(ServiceCycle, ExitCodesOfTheOtherEntries) {
  const struct {
    std::vector<std::string> args;
    int code;
  } cases[] = {
      {{}, 1},                            // not started by the service manager
      {{"-sstop"}, 0},                    // no such service: ends quietly
      {{"-sstart"}, 0}, {{"-nr"}, 0},     // a console cycle, whatever it found
      {{"-bogus"}, 1},  {{"-DEBUG"}, 1},  // options are compared exactly
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    EXPECT_EQ(RunSnap(c.args), c.code);
  }
}

}  // namespace
