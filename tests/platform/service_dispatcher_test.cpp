// The dispatcher inside this test process: the environment marks are set by
// hand, as StartServiceA sets them for the programs it starts, and control
// requests are signals this process sends itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "helpers/test_files.h"
#include "platform/events.h"
#include "platform/service.h"

namespace {

constexpr const char* kName = "inproc";

// What the service of one test did and is to do; reset by the fixture.
struct InProcessService {
  std::vector<std::string> args;
  std::vector<DWORD> controls;
  bool marks_seen = true;
  SERVICE_STATUS_HANDLE handle = nullptr;
  HANDLE stop = nullptr;
  SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
  bool stop_before_register = false;  // a SIGTERM before the handler exists
  bool report_stopped = true;
  bool ask_interrogate = false;  // ControlService(INTERROGATE) on itself
  SERVICE_STATUS_HANDLE second_register = reinterpret_cast<SERVICE_STATUS_HANDLE>(1);
  BOOL bad_state_report = TRUE;
  DWORD bad_state_error = 0;
};

InProcessService g_svc;

void Report(DWORD state, DWORD controls) {
  g_svc.status.dwCurrentState = state;
  g_svc.status.dwControlsAccepted = controls;
  SetServiceStatus(g_svc.handle, &g_svc.status);
}

void Handler(DWORD control) {
  g_svc.controls.push_back(control);
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, 0);
    SetEvent(g_svc.stop);
  } else if (control == SERVICE_CONTROL_INTERROGATE) {
    SetServiceStatus(g_svc.handle, &g_svc.status);
    if (g_svc.ask_interrogate) SetEvent(g_svc.stop);
  }
}

void ServiceMain(DWORD argc, LPSTR* argv) {
  for (DWORD i = 0; i < argc; ++i) g_svc.args.emplace_back(argv[i]);
  g_svc.marks_seen = getenv(zmo::kServiceNameEnv) || getenv(zmo::kServiceArgsEnv);
  if (g_svc.stop_before_register) kill(getpid(), SIGTERM);
  g_svc.handle = RegisterServiceCtrlHandlerA("INPROC", Handler);
  if (!g_svc.handle) return;
  g_svc.second_register = RegisterServiceCtrlHandlerA("other", Handler);
  SERVICE_STATUS bad = g_svc.status;
  bad.dwCurrentState = 8;
  g_svc.bad_state_report = SetServiceStatus(g_svc.handle, &bad);
  g_svc.bad_state_error = GetLastError();
  Report(SERVICE_RUNNING, SERVICE_ACCEPT_STOP);
  if (g_svc.ask_interrogate) {
    SC_HANDLE m = OpenSCManagerA(nullptr, nullptr, 0);
    SC_HANDLE s = OpenServiceA(m, kName, 0);
    SERVICE_STATUS st;
    ControlService(s, SERVICE_CONTROL_INTERROGATE, &st);
    WaitForSingleObject(g_svc.stop, INFINITE);  // set by the interrogation
    ControlService(s, SERVICE_CONTROL_STOP, &st);
    CloseServiceHandle(s);
    CloseServiceHandle(m);
  } else if (!g_svc.stop_before_register) {
    kill(getpid(), SIGTERM);  // a stop from outside, as at shutdown
  }
  WaitForSingleObject(g_svc.stop, INFINITE);
  if (g_svc.report_stopped) Report(SERVICE_STOPPED, SERVICE_ACCEPT_STOP);
}

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.ok());
    setenv("ZMO_REGISTRY", tmp_.path().c_str(), 1);
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    service_ = CreateServiceA(manager_, kName, nullptr, 0, SERVICE_WIN32_OWN_PROCESS,
                              SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "/proc/self/exe", nullptr,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service_, nullptr) << GetLastError();
    g_svc = InProcessService{};
    g_svc.stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    setenv(zmo::kServiceNameEnv, kName, 1);
  }
  void TearDown() override {
    CloseHandle(g_svc.stop);
    CloseServiceHandle(service_);
    CloseServiceHandle(manager_);
    unsetenv(zmo::kServiceNameEnv);
    unsetenv(zmo::kServiceArgsEnv);
    unsetenv("ZMO_REGISTRY");
  }
  BOOL Dispatch() {
    SERVICE_TABLE_ENTRYA table[] = {{const_cast<LPSTR>("first"), [](DWORD, LPSTR*) {}},
                                    {const_cast<LPSTR>(kName), ServiceMain},
                                    {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table);
  }
  SERVICE_STATUS Query() {
    SERVICE_STATUS s{};
    EXPECT_TRUE(QueryServiceStatus(service_, &s));
    return s;
  }
  zmo_test::TempDir tmp_{"zmo_dispatch"};
  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
};

TEST_F(DispatcherTest, StopSignalReachesTheHandlerAndTheDispatcherReturns) {
  setenv(zmo::kServiceArgsEnv, "-x \"two words\" \"\"", 1);
  ASSERT_TRUE(Dispatch());
  EXPECT_EQ(g_svc.args, (std::vector<std::string>{"inproc", "-x", "two words", ""}));
  EXPECT_FALSE(g_svc.marks_seen) << "the marks are not passed on";
  EXPECT_EQ(getenv(zmo::kServiceNameEnv), nullptr);
  EXPECT_EQ(g_svc.controls, std::vector<DWORD>{SERVICE_CONTROL_STOP});
  EXPECT_EQ(Query().dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(Query().dwWin32ExitCode, 0u);
}

TEST_F(DispatcherTest, StopBeforeTheHandlerIsRegisteredIsNotLost) {
  g_svc.stop_before_register = true;
  ASSERT_TRUE(Dispatch());
  EXPECT_EQ(g_svc.controls, std::vector<DWORD>{SERVICE_CONTROL_STOP});
  EXPECT_EQ(Query().dwCurrentState, SERVICE_STOPPED);
}

TEST_F(DispatcherTest, InterrogateAndStopThroughTheManager) {
  g_svc.ask_interrogate = true;
  ASSERT_TRUE(Dispatch());
  EXPECT_EQ(g_svc.controls,
            (std::vector<DWORD>{SERVICE_CONTROL_INTERROGATE, SERVICE_CONTROL_STOP}));
}

TEST_F(DispatcherTest, RegistrationAndReportsAreChecked) {
  ASSERT_TRUE(Dispatch());
  EXPECT_EQ(g_svc.second_register, nullptr) << "only the dispatched service has a handler";
  EXPECT_FALSE(g_svc.bad_state_report);
  EXPECT_EQ(g_svc.bad_state_error, static_cast<DWORD>(ERROR_INVALID_DATA));
  // After the dispatcher returned its handle is dead.
  SERVICE_STATUS s{SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, 0, 0, 0, 0, 0};
  SetLastError(0);
  EXPECT_FALSE(SetServiceStatus(g_svc.handle, &s));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(Query().dwCurrentState, SERVICE_STOPPED);
}

TEST_F(DispatcherTest, ServiceMainThatEndsWithoutStoppedLeavesNoRunningService) {
  g_svc.report_stopped = false;
  ASSERT_TRUE(Dispatch());
  SERVICE_STATUS s = Query();
  EXPECT_EQ(s.dwCurrentState, SERVICE_STOPPED);
  EXPECT_EQ(s.dwWin32ExitCode, static_cast<DWORD>(ERROR_PROCESS_ABORTED));
}

TEST_F(DispatcherTest, NoSignalIsLeftToEndTheProcessAfterwards) {
  ASSERT_TRUE(Dispatch());
  // The dispatcher gave back the mask it found; nothing of its is pending.
  sigset_t mask, pending;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  sigpending(&pending);
  for (int sig : {SIGTERM, SIGUSR1, SIGUSR2}) {
    EXPECT_FALSE(sigismember(&mask, sig)) << sig;
    EXPECT_FALSE(sigismember(&pending, sig)) << sig;
  }
}

}  // namespace
