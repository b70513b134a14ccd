#include "common/service_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/gdlib_binding.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/process.h"
#include "platform/service.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class ServiceControlTest : public zmo_test::RegistryTest {
 protected:
  // The Start value of the program's service record, or 0 when none.
  DWORD StartType(const char* service) {
    std::string path = std::string("SYSTEM\\CurrentControlSet\\Services\\") + service;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != 0) return 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    RegQueryValueExA(key, "Start", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return value;
  }
  std::string DisplayName(const char* service) {
    std::string path = std::string("SYSTEM\\CurrentControlSet\\Services\\") + service;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != 0) return "";
    char text[128] = {};
    DWORD size = sizeof(text) - 1;
    RegQueryValueExA(key, "DisplayName", nullptr, nullptr, reinterpret_cast<LPBYTE>(text), &size);
    RegCloseKey(key);
    return text;
  }
  zmo::ScopedFakeClock clock_;
};

// Statuses go nowhere here (no dispatcher runs), but the record is kept.
TEST_F(ServiceControlTest, ReportsCarryCheckpointsAndServiceSpecificCodes) {
  struct Step {
    DWORD state, exit_code, controls, wait_hint;
    DWORD checkpoint, win32, specific;
  };
  const Step steps[] = {
      {SERVICE_START_PENDING, 0, 0, 3000, 1, 0, 0},
      {SERVICE_START_PENDING, 0, 0, 3000, 2, 0, 0},
      {SERVICE_RUNNING, 0, SERVICE_ACCEPT_STOP, 3000, 0, 0, 0},
      {SERVICE_STOP_PENDING, 0, 0, 3000, 3, 0, 0},
      {SERVICE_STOPPED, 3, SERVICE_ACCEPT_STOP, 0, 0, 1066, 3},
      // A later report without a code keeps the specific field.
      {SERVICE_START_PENDING, 0, 0, 3000, 4, 0, 3},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(zmo::reportServiceStatus(s.state, s.exit_code, s.controls, s.wait_hint), 0);
    SERVICE_STATUS st = zmo::LastServiceStatus();
    EXPECT_EQ(st.dwServiceType, SERVICE_WIN32_OWN_PROCESS);
    EXPECT_EQ(st.dwCurrentState, s.state);
    EXPECT_EQ(st.dwControlsAccepted, s.controls);
    EXPECT_EQ(st.dwWaitHint, s.wait_hint);
    EXPECT_EQ(st.dwCheckPoint, s.checkpoint) << s.state;
    EXPECT_EQ(st.dwWin32ExitCode, s.win32) << s.state;
    EXPECT_EQ(st.dwServiceSpecificExitCode, s.specific) << s.state;
  }
}

TEST_F(ServiceControlTest, ConsoleRunsReportNothing) {
  zmo::SetConsoleFlag(1);
  for (DWORD state : {SERVICE_START_PENDING, SERVICE_RUNNING, SERVICE_STOPPED}) {
    EXPECT_EQ(zmo::reportServiceStatus(state, 0, 0, 0), 1);
  }
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, 0u);
}

int g_loop_calls = 0;
int CountingLoop(int, char**) { return ++g_loop_calls; }

TEST_F(ServiceControlTest, ServiceMainOutsideADispatcherRunsNothing) {
  zmo::ConsoleProgramConfig program = zmo::StatiProgramConfig();
  program.work_loop = CountingLoop;
  zmo::SetConsoleProgram(program);
  g_loop_calls = 0;
  char name[] = "zmostati";
  char* argv[] = {name, nullptr};
  zmo::serviceMain(1, argv);
  EXPECT_EQ(g_loop_calls, 0);
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, 0u);
  EXPECT_EQ(zmo::serviceDispatch(), ERROR_FAILED_SERVICE_CONTROLLER_CONNECT);
}

TEST_F(ServiceControlTest, StopControlUnloadsFlagsAndWakesTheLoop) {
  struct Case {
    zmo::ConsoleProgramConfig program;
    const char* disconnect_line;
  };
  const Case cases[] = {{zmo::StatiProgramConfig(), "disconnect flag set to true"},
                        {zmo::SnapProgramConfig(), "disconnect flag set"}};
  for (const Case& c : cases) {
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = dir_.File(c.program.program);
    ASSERT_EQ(mkdir(zmo::Runtime().program_dir.c_str(), 0755), 0);
    zmo::SetConsoleProgram(c.program);
    zmo::SetTraceSwitch(1);
    zmo::setGdLibDirectory(ZMO_TEST_BIN_DIR);
    ASSERT_EQ(zmo::zmoLoaderGdLib(), 0);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    zmo::SetStopEvent(event);

    zmo::serviceCtrlHandler(SERVICE_CONTROL_STOP);
    EXPECT_EQ(zmo::DisconnectFlag(), 1);
    EXPECT_EQ(zmo::StopFlag(), 1);
    EXPECT_FALSE(zmo::GdLibLoaded());
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, SERVICE_STOP_PENDING);
    std::vector<std::string> texts = TraceTexts();
    ASSERT_THAT(texts, SizeIs(4u)) << c.program.program;
    EXPECT_THAT(std::vector<std::string>(texts.begin() + 1, texts.end()),
                ElementsAre("zmoLoaderFreeGdLib() returned successfully", "stop received",
                            c.disconnect_line));
    zmo::SetStopEvent(nullptr);
    CloseHandle(event);
  }
}

TEST_F(ServiceControlTest, StopRequestWithoutAnEventOnlySetsTheFlags) {
  zmo::serviceStopRequest();
  EXPECT_EQ(zmo::DisconnectFlag(), 1);
  EXPECT_EQ(zmo::StopFlag(), 1);
  EXPECT_THAT(TraceTexts(), ElementsAre("zmoLoaderFreeGdLib() returned unsuccessfully",
                                        "stop received", "disconnect flag set to true"));
}

TEST_F(ServiceControlTest, InterrogateReportsTheStatusAsItStands) {
  zmo::reportServiceStatus(SERVICE_RUNNING, 5, SERVICE_ACCEPT_STOP, 3000);
  zmo::serviceCtrlHandler(SERVICE_CONTROL_INTERROGATE);
  SERVICE_STATUS st = zmo::LastServiceStatus();
  EXPECT_EQ(st.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(st.dwServiceSpecificExitCode, 5u);
  EXPECT_EQ(st.dwControlsAccepted, SERVICE_ACCEPT_STOP);
  EXPECT_EQ(zmo::StopFlag(), 0);
  // Any other control does nothing.
  zmo::serviceCtrlHandler(2);
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(zmo::StopFlag(), 0);
}

TEST_F(ServiceControlTest, InstallChoosesTheStartTypeByAnExactAuto) {
  struct Case {
    std::vector<const char*> args;
    DWORD start;
  };
  const Case cases[] = {
      {{"zmostati", "-sinstall", "-auto"}, SERVICE_AUTO_START},
      {{"zmostati", "-sinstall", "-AUTO"}, SERVICE_DEMAND_START},
      {{"zmostati", "-sinstall", "x"}, SERVICE_DEMAND_START},
      {{"zmostati", "-sinstall"}, SERVICE_DEMAND_START},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv;
    for (const char* a : c.args) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    EXPECT_EQ(zmo::serviceInstall(static_cast<int>(c.args.size()), argv.data()), 0);
    EXPECT_EQ(StartType("zmostati"), c.start) << c.args.back();
    EXPECT_EQ(DisplayName("zmostati"), "Monitoring for Orvane Statistics");
    // Installing twice fails; removing makes room for the next case.
    EXPECT_EQ(zmo::serviceInstall(static_cast<int>(c.args.size()), argv.data()), 1);
    EXPECT_EQ(zmo::serviceRemove(), 0);
    EXPECT_EQ(StartType("zmostati"), 0u);
  }
}

TEST_F(ServiceControlTest, OperationsOnAMissingServiceEndAtOnce) {
  char prog[] = "zmostati";
  char start[] = "-sstart";
  char* argv[] = {prog, start, nullptr};
  EXPECT_EQ(zmo::serviceStart(2, argv), 1);
  EXPECT_EQ(zmo::serviceStop(), 1);
  EXPECT_EQ(zmo::serviceRemove(), 1);
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(ServiceControlTest, OnlyTheFourOptionsAreServiceOptions) {
  struct Case {
    const char* arg;
    int handled;
  };
  const Case cases[] = {{"-sstart", 1}, {"-sstop", 1}, {"-sremove", 1}, {"-sinstall", 1},
                        {"-SSTART", 0}, {"-d", 0},     {"-nr", 0},      {"", 0}};
  for (const Case& c : cases) {
    char prog[] = "zmostati";
    char* argv[] = {prog, const_cast<char*>(c.arg), nullptr};
    EXPECT_EQ(zmo::serviceOption(2, argv), c.handled) << c.arg;
    zmo::serviceRemove();
  }
  char prog[] = "zmostati";
  char* alone[] = {prog, nullptr};
  EXPECT_EQ(zmo::serviceOption(1, alone), 0);
}

// The probe is a service made of this runtime; the test drives it through
// the service manager as the -s options of a collector do.
class ServiceCycleTest : public ServiceControlTest {
 protected:
  void SetUp() override {
    ServiceControlTest::SetUp();
    setenv("ZMO_PROBE_DIR", probe_dir_.path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZMO_PROBE_DIR");
    ServiceControlTest::TearDown();
  }
  // Runs the probe with one option and waits for it.
  std::intptr_t Probe(const char* option) {
    const char* argv[] = {ZMO_SERVICE_PROBE, option, nullptr};
    return _spawnv(_P_WAIT, ZMO_SERVICE_PROBE, argv);
  }
  DWORD State() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "zmostati", SERVICE_ALL_ACCESS);
    SERVICE_STATUS st{};
    DWORD state = service != nullptr && QueryServiceStatus(service, &st) ? st.dwCurrentState : 0;
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return state;
  }
  std::vector<std::string> ProbeTrace() {
    return zmo_test::TraceTextsOf(zmo::JoinPath(probe_dir_.path(), "trace_zmostati.log"));
  }
  zmo_test::TempDir probe_dir_;
};

TEST_F(ServiceCycleTest, InstallStartStopRemove) {
  EXPECT_EQ(Probe("-sstart"), 0);  // no such service: nothing, exit code 0
  EXPECT_EQ(Probe("-sinstall"), 0);
  EXPECT_EQ(State(), SERVICE_STOPPED);

  const char* start_args[] = {ZMO_SERVICE_PROBE, "-sstart", "extra arg"};
  EXPECT_EQ(zmo::serviceStart(3, const_cast<char**>(start_args)), 0);
  EXPECT_EQ(State(), SERVICE_RUNNING);
  // Started twice: the manager refuses, the service goes on.
  EXPECT_EQ(zmo::serviceStart(3, const_cast<char**>(start_args)), 1);
  EXPECT_EQ(State(), SERVICE_RUNNING);

  EXPECT_EQ(zmo::serviceStop(), 0);
  EXPECT_EQ(State(), SERVICE_STOPPED);
  EXPECT_THAT(
      ProbeTrace(),
      ElementsAre("arg <zmostati>", std::string("arg <") + ZMO_SERVICE_PROBE + ">", "arg <-sstart>",
                  "arg <extra arg>", "zmoLoaderFreeGdLib() returned unsuccessfully",
                  "stop received", "disconnect flag set to true", "work loop ends"));

  EXPECT_EQ(Probe("-sremove"), 0);
  EXPECT_EQ(State(), 0u);
  EXPECT_EQ(Probe("-x"), 2);
}

}  // namespace
