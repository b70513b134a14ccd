#include "platform/service.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "helpers/test_files.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace {

const std::string kTestService = std::string(ZMO_TEST_BIN_DIR) + "/zmo_test_service";
const std::string kProbe = std::string(ZMO_TEST_BIN_DIR) + "/zmo_test_argv_probe";
constexpr const char* kName = "zmotestsvc";
constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\zmotestsvc";

// Bounded wait for what a real child process does; never a fixed sleep.
bool WaitUntil(const std::function<bool()>& done, int limit_ms = 5000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

using zmo_test::LinesWith;

SERVICE_STATUS Query(SC_HANDLE service) {
  SERVICE_STATUS s{};
  EXPECT_TRUE(QueryServiceStatus(service, &s)) << GetLastError();
  return s;
}

DWORD State(SC_HANDLE service) { return Query(service).dwCurrentState; }

// Each test has its own registry store, log and probe file.
class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.ok());
    setenv("ZMO_REGISTRY", tmp_.File("registry").c_str(), 1);
    setenv("TEST_SERVICE_LOG", log_.c_str(), 1);
    setenv("PROBE_OUT", probe_.c_str(), 1);
    setenv("PROBE_PAUSE", "1", 1);
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager_, nullptr);
  }

  void TearDown() override {
    // Whatever the test started and left running ends here, by its pid.
    for (const std::string& file : {log_, probe_}) {
      for (const std::string& pid : LinesWith(file, "pid ")) {
        pid_t p = std::stoi(pid);
        if (p != getpid() && zmo::ProcessStartTime(p) != 0) kill(p, SIGKILL);
      }
    }
    for (SC_HANDLE h : handles_) CloseServiceHandle(h);
    CloseServiceHandle(manager_);
    for (const char* v : {"ZMO_REGISTRY", "TEST_SERVICE_LOG", "PROBE_OUT", "PROBE_PAUSE"}) {
      unsetenv(v);
    }
  }

  SC_HANDLE Create(const std::string& path, DWORD start_type = SERVICE_DEMAND_START,
                   const char* name = kName) {
    SC_HANDLE h = CreateServiceA(manager_, name, "Test Service", SERVICE_ALL_ACCESS,
                                 SERVICE_WIN32_OWN_PROCESS, start_type, SERVICE_ERROR_NORMAL,
                                 path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (h) handles_.push_back(h);
    return h;
  }

  SC_HANDLE Open(const char* name = kName) {
    SC_HANDLE h = OpenServiceA(manager_, name, SERVICE_ALL_ACCESS);
    if (h) handles_.push_back(h);
    return h;
  }

  bool LeavesState(SC_HANDLE service, DWORD state) {
    return WaitUntil([&] { return State(service) != state; });
  }

  // The pid the probe reported (one other than before, when given).
  pid_t ProbePid(pid_t before = 0) {
    pid_t pid = 0;
    WaitUntil([&] {
      std::vector<std::string> pids = LinesWith(probe_, "pid ");
      pid = pids.empty() ? 0 : std::stoi(pids[0]);
      return pid != 0 && pid != before;
    });
    return pid != before ? pid : 0;
  }

  zmo_test::TempDir tmp_{"zmo_service"};
  const std::string dir_ = tmp_.path();
  const std::string log_ = tmp_.File("service.log");
  const std::string probe_ = tmp_.File("probe.out");
  SC_HANDLE manager_ = nullptr;
  std::vector<SC_HANDLE> handles_;
};

TEST_F(ServiceTest, FullCycleFromCreateToDelete) {
  SC_HANDLE service = Create(kTestService);
  ASSERT_NE(service, nullptr) << GetLastError();
  SetLastError(0);
  EXPECT_EQ(Create(kTestService), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_EXISTS));
  EXPECT_EQ(State(service), SERVICE_STOPPED);

  const char* args[] = {"/opt/zmo/zmostati", "-sstart"};
  ASSERT_TRUE(StartServiceA(service, 2, args)) << GetLastError();
  ASSERT_TRUE(LeavesState(service, SERVICE_START_PENDING));
  SERVICE_STATUS running = Query(service);
  EXPECT_EQ(running.dwCurrentState, SERVICE_RUNNING);
  EXPECT_EQ(running.dwControlsAccepted, SERVICE_ACCEPT_STOP);
  EXPECT_EQ(running.dwServiceType, SERVICE_WIN32_OWN_PROCESS);

  SetLastError(0);
  EXPECT_FALSE(StartServiceA(service, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));

  // ServiceMain got the service name, then the start arguments.
  EXPECT_EQ(LinesWith(log_, "args "),
            std::vector<std::string>{"zmotestsvc /opt/zmo/zmostati -sstart"});

  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_INTERROGATE, &status));
  EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
  EXPECT_TRUE(WaitUntil([&] { return !LinesWith(log_, "control 4").empty(); }));

  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] { return State(service) == SERVICE_STOPPED; }, 1000))
      << "not stopped within a second";
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
  SERVICE_STATUS stopped = Query(service);
  EXPECT_EQ(stopped.dwWin32ExitCode, 0u);
  EXPECT_EQ(stopped.dwCheckPoint, 0u);
  EXPECT_EQ(LinesWith(log_, "control "), (std::vector<std::string>{"4", "1"}));

  SetLastError(0);
  EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_NOT_ACTIVE));
  EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);

  ASSERT_TRUE(DeleteService(service));
  SetLastError(0);
  EXPECT_FALSE(DeleteService(service));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  SetLastError(0);
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
}

TEST_F(ServiceTest, ServiceCanStartAgainAfterItStopped) {
  SC_HANDLE service = Create(kTestService);
  ASSERT_NE(service, nullptr);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
    ASSERT_TRUE(LeavesState(service, SERVICE_START_PENDING));
    ASSERT_EQ(State(service), SERVICE_RUNNING);
    SERVICE_STATUS status;
    ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
    ASSERT_TRUE(WaitUntil([&] { return State(service) == SERVICE_STOPPED; }));
  }
  // Without start arguments ServiceMain gets the name alone.
  EXPECT_EQ(LinesWith(log_, "args "), (std::vector<std::string>{"zmotestsvc", "zmotestsvc"}));
}

TEST_F(ServiceTest, DispatcherFromATerminalFailsAsOnWindows) {
  // The helper started by hand: its dispatcher fails, and it exits with 2.
  const char* argv[] = {kTestService.c_str(), nullptr};
  EXPECT_EQ(_spawnv(_P_WAIT, kTestService.c_str(), argv), 2);
  // And in this process, which no manager started.
  SERVICE_TABLE_ENTRYA table[] = {{const_cast<LPSTR>(kName), [](DWORD, LPSTR*) {}},
                                  {nullptr, nullptr}};
  SetLastError(0);
  EXPECT_FALSE(StartServiceCtrlDispatcherA(table));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT));
}

TEST_F(ServiceTest, StartedProgramIsDetachedMarkedAndHeldToItsStandardDescriptors) {
  SC_HANDLE service = Create(kProbe);
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
  pid_t pid = ProbePid();
  ASSERT_GT(pid, 0);
  EXPECT_EQ(LinesWith(probe_, "env "),
            (std::vector<std::string>{"ZMO_SERVICE", "ZMO_SERVICE_ARGS"}));
  EXPECT_TRUE(LinesWith(probe_, "arg ").empty()) << "the program gets no arguments";
  for (const std::string& fd : LinesWith(probe_, "fd ")) EXPECT_LE(std::stoi(fd), 2);
  EXPECT_NE(getsid(pid), getsid(0));
  EXPECT_EQ(LinesWith(probe_, "cwd "), std::vector<std::string>{"/"});
  char link[64];
  std::snprintf(link, sizeof(link), "/proc/%d/fd/1", static_cast<int>(pid));
  char target[256] = {};
  ASSERT_GT(readlink(link, target, sizeof(target) - 1), 0);
  EXPECT_STREQ(target, "/dev/null");
}

TEST_F(ServiceTest, ServiceThatNeverReportsRefusesControlsAndReadsStoppedOnceGone) {
  // The probe never runs a dispatcher: the manager's START_PENDING stands.
  SC_HANDLE service = Create(kProbe);
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  pid_t pid = ProbePid();
  ASSERT_GT(pid, 0);
  SERVICE_STATUS s = Query(service);
  EXPECT_EQ(s.dwCurrentState, SERVICE_START_PENDING);
  EXPECT_EQ(s.dwControlsAccepted, 0u);
  for (DWORD control : {SERVICE_CONTROL_STOP, SERVICE_CONTROL_INTERROGATE}) {
    SetLastError(0);
    EXPECT_FALSE(ControlService(service, control, &s));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_CANNOT_ACCEPT_CTRL)) << control;
  }
  SetLastError(0);
  EXPECT_FALSE(ControlService(service, 2, &s));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_SERVICE_CONTROL));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  ASSERT_TRUE(WaitUntil([&] { return State(service) == SERVICE_STOPPED; }));
  s = Query(service);
  EXPECT_EQ(s.dwWin32ExitCode, static_cast<DWORD>(ERROR_PROCESS_ABORTED));
  // Gone means startable again.
  EXPECT_TRUE(StartServiceA(service, 0, nullptr)) << GetLastError();
  EXPECT_GT(ProbePid(pid), 0);  // known to TearDown, which ends it
}

TEST_F(ServiceTest, StatusOfAnotherProcessUnderTheSamePidReadsStopped) {
  SC_HANDLE service = Create(kProbe);
  ASSERT_NE(service, nullptr);
  // A status as the manager stores it: eleven little-endian words (type,
  // state, controls, Win32 exit, specific exit, checkpoint, wait hint, pid,
  // flags, start time low and high), naming this live process.
  auto store = [&](std::uint64_t start_time) {
    DWORD words[11] = {SERVICE_WIN32_OWN_PROCESS,
                       SERVICE_RUNNING,
                       SERVICE_ACCEPT_STOP,
                       0,
                       0,
                       0,
                       0,
                       static_cast<DWORD>(getpid()),
                       1,
                       static_cast<DWORD>(start_time),
                       static_cast<DWORD>(start_time >> 32)};
    BYTE data[44];
    for (int i = 0; i < 44; ++i) data[i] = static_cast<BYTE>(words[i / 4] >> (8 * (i % 4)));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Status", 0, REG_BINARY, data, sizeof(data)), ERROR_SUCCESS);
    RegCloseKey(key);
  };
  std::uint64_t mine = zmo::ProcessStartTime(getpid());
  store(mine);
  EXPECT_EQ(State(service), SERVICE_RUNNING);
  store(mine + 1);  // the pid was reused: not the process that reported
  EXPECT_EQ(State(service), SERVICE_STOPPED);
}

TEST_F(ServiceTest, StartFailuresAreReportedAndLeaveTheServiceStopped) {
  std::string plain = dir_ + "/plain";
  ASSERT_EQ(zmo::WriteFileAtomic(plain, "data", 0644), 0);
  struct Case {
    std::string path;
    DWORD start_type;
    LONG error;
  };
  const Case cases[] = {
      {dir_ + "/missing", SERVICE_DEMAND_START, ERROR_FILE_NOT_FOUND},
      {plain, SERVICE_AUTO_START, ERROR_ACCESS_DENIED},
      {kTestService, SERVICE_DISABLED, ERROR_SERVICE_DISABLED},
  };
  for (const Case& c : cases) {
    SC_HANDLE service = Create(c.path, c.start_type, "failing");
    ASSERT_NE(service, nullptr) << c.path;
    SetLastError(0);
    EXPECT_FALSE(StartServiceA(service, 0, nullptr)) << c.path;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << c.path;
    SERVICE_STATUS s = Query(service);
    EXPECT_EQ(s.dwCurrentState, SERVICE_STOPPED) << c.path;
    ASSERT_TRUE(DeleteService(service));
  }
}

TEST_F(ServiceTest, DeletingARunningServiceRemovesItWhenItStops) {
  SC_HANDLE service = Create(kTestService);
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  ASSERT_TRUE(LeavesState(service, SERVICE_START_PENDING));
  ASSERT_TRUE(DeleteService(service));
  EXPECT_NE(Open(), nullptr) << "still there while it runs";
  struct Refused {
    const char* what;
    std::function<bool()> call;
  };
  const Refused refused[] = {
      {"delete", [&] { return DeleteService(service) != FALSE; }},
      {"create", [&] { return Create(kTestService) != nullptr; }},
      {"start", [&] { return StartServiceA(service, 0, nullptr) != FALSE; }},
  };
  for (const Refused& r : refused) {
    SetLastError(0);
    EXPECT_FALSE(r.call()) << r.what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_MARKED_FOR_DELETE)) << r.what;
  }
  SERVICE_STATUS s;
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &s));
  EXPECT_TRUE(WaitUntil([&] {
    SC_HANDLE h = OpenServiceA(manager_, kName, 0);
    if (h) CloseServiceHandle(h);
    return h == nullptr;
  }));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  // The name is free again.
  EXPECT_NE(Create(kTestService), nullptr) << GetLastError();
}

TEST_F(ServiceTest, RecordHoldsTheServicesSettings) {
  ASSERT_NE(Create("/opt/zmo/zmostati", SERVICE_AUTO_START), nullptr);
  SC_HANDLE plain = CreateServiceA(manager_, "nodisplay", nullptr, 0, SERVICE_WIN32_OWN_PROCESS,
                                   SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, "/bin/x", nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  handles_.push_back(plain);
  struct Expect {
    const char* key;
    const char* value;
    DWORD type;
    std::string bytes;
  };
  auto dword = [](DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  const Expect expects[] = {
      {kServiceKey, "ImagePath", REG_SZ, std::string("/opt/zmo/zmostati\0", 18)},
      {kServiceKey, "DisplayName", REG_SZ, std::string("Test Service\0", 13)},
      {kServiceKey, "Start", REG_DWORD, dword(SERVICE_AUTO_START)},
      {kServiceKey, "Type", REG_DWORD, dword(SERVICE_WIN32_OWN_PROCESS)},
      {kServiceKey, "ErrorControl", REG_DWORD, dword(SERVICE_ERROR_NORMAL)},
      // Without a display name the service name stands in.
      {"SYSTEM\\CurrentControlSet\\Services\\nodisplay", "DisplayName", REG_SZ,
       std::string("nodisplay\0", 10)},
  };
  for (const Expect& e : expects) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, e.key, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    BYTE data[256];
    DWORD size = sizeof(data);
    ASSERT_EQ(RegQueryValueExA(key, e.value, nullptr, &type, data, &size), ERROR_SUCCESS)
        << e.value;
    RegCloseKey(key);
    EXPECT_EQ(type, e.type) << e.value;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), e.bytes) << e.value;
  }
  // Names match without regard to case, as on Windows.
  EXPECT_NE(Open("ZMOTESTSVC"), nullptr);
  SetLastError(0);
  EXPECT_EQ(Create("/x", SERVICE_DEMAND_START, "ZmoTestSvc"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_EXISTS));
}

TEST_F(ServiceTest, BadRequestsAreRefused) {
  SC_HANDLE service = Create(kProbe);
  ASSERT_NE(service, nullptr);
  const std::string long_name(257, 'a');
  struct CreateCase {
    const char* name;
    DWORD type;
    DWORD start;
    const char* path;
    LONG error;
  };
  const CreateCase creates[] = {
      {"", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/x", ERROR_INVALID_NAME},
      {nullptr, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/x", ERROR_INVALID_NAME},
      {"a\\b", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/x", ERROR_INVALID_NAME},
      {"a/b", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/x", ERROR_INVALID_NAME},
      {long_name.c_str(), SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/x",
       ERROR_INVALID_NAME},
      {"ok", 0x20, SERVICE_DEMAND_START, "/x", ERROR_INVALID_PARAMETER},
      {"ok", SERVICE_WIN32_OWN_PROCESS, 0, "/x", ERROR_INVALID_PARAMETER},
      {"ok", SERVICE_WIN32_OWN_PROCESS, 5, "/x", ERROR_INVALID_PARAMETER},
      {"ok", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "", ERROR_INVALID_PARAMETER},
      {"ok", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const CreateCase& c : creates) {
    SetLastError(0);
    EXPECT_EQ(CreateServiceA(manager_, c.name, nullptr, 0, c.type, c.start, SERVICE_ERROR_NORMAL,
                             c.path, nullptr, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << (c.name ? c.name : "(null)");
  }
  // A refused create leaves nothing behind.
  EXPECT_EQ(Open("ok"), nullptr);

  // Handles of the wrong kind, or none.
  SetLastError(0);
  EXPECT_EQ(OpenServiceA(service, kName, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SERVICE_STATUS s;
  SetLastError(0);
  EXPECT_FALSE(QueryServiceStatus(manager_, &s));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(QueryServiceStatus(service, nullptr));
  EXPECT_FALSE(CloseServiceHandle(nullptr));
  EXPECT_FALSE(StartServiceA(service, 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  SetLastError(0);
  EXPECT_EQ(OpenSCManagerA("otherhost", nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SC_HANDLE local = OpenSCManagerA("", nullptr, SC_MANAGER_ALL_ACCESS);
  EXPECT_NE(local, nullptr);
  EXPECT_TRUE(CloseServiceHandle(local));
}

TEST_F(ServiceTest, OutsideADispatcherThereIsNoHandlerAndNoStatus) {
  SetLastError(0);
  EXPECT_EQ(RegisterServiceCtrlHandlerA(kName, [](DWORD) {}), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  SERVICE_STATUS s{SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, 0, 0, 0, 0, 0};
  SetLastError(0);
  EXPECT_FALSE(SetServiceStatus(nullptr, &s));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
