// Test helper: a tiny service. ServiceMain reports START_PENDING, RUNNING
// (accepting STOP), waits for the stop, reports STOP_PENDING from the handler
// and STOPPED at the end. It logs to the file named by TEST_SERVICE_LOG:
// "pid <pid>", "args <argv...>", "control <code>" per control and "stopped".
// Without the manager's start the dispatcher fails: it prints
// "dispatcher <error>" on stderr and exits with 2 for
// ERROR_FAILED_SERVICE_CONTROLLER_CONNECT, 1 for any other error.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/events.h"
#include "platform/service.h"

namespace {

struct TestService {
  std::mutex log_mu;
  SERVICE_STATUS_HANDLE handle = nullptr;
  SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
  HANDLE stop_event = nullptr;
};

TestService g_service;

void Log(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_service.log_mu);
  const char* path = std::getenv("TEST_SERVICE_LOG");
  if (!path) return;
  if (std::FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

void Report(DWORD state, DWORD controls) {
  g_service.status.dwCurrentState = state;
  g_service.status.dwControlsAccepted = controls;
  SetServiceStatus(g_service.handle, &g_service.status);
}

void Handler(DWORD control) {
  Log("control " + std::to_string(control));
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, 0);
    SetEvent(g_service.stop_event);
  } else if (control == SERVICE_CONTROL_INTERROGATE) {
    SetServiceStatus(g_service.handle, &g_service.status);
  }
}

void ServiceMain(DWORD argc, LPSTR* argv) {
  std::string args = "args";
  for (DWORD i = 0; i < argc; ++i) args += std::string(" ") + argv[i];
  Log("pid " + std::to_string(getpid()));
  Log(args);
  g_service.stop_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_service.handle = RegisterServiceCtrlHandlerA(argv[0], Handler);
  if (!g_service.handle) return;
  Report(SERVICE_START_PENDING, 0);
  Report(SERVICE_RUNNING, SERVICE_ACCEPT_STOP);
  WaitForSingleObject(g_service.stop_event, INFINITE);
  Report(SERVICE_STOPPED, SERVICE_ACCEPT_STOP);
  Log("stopped");
}

}  // namespace

int main() {
  SERVICE_TABLE_ENTRYA table[] = {{const_cast<LPSTR>("zmotestsvc"), ServiceMain},
                                  {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherA(table)) {
    DWORD err = GetLastError();
    std::fprintf(stderr, "dispatcher %u\n", static_cast<unsigned>(err));
    return err == static_cast<DWORD>(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) ? 2 : 1;
  }
  return 0;
}
