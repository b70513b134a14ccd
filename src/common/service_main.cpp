#include "common/gdlib_binding.h"
#include "common/runtime_state.h"
#include "common/service_control.h"

namespace zmo {
namespace {

constexpr DWORD kPendingWaitHintMs = 3000;

}  // namespace

int reportServiceStatus(DWORD state, DWORD exit_code, DWORD controls_accepted, DWORD wait_hint) {
  ServiceState& s = Runtime().service;
  if (s.console.load()) return 1;
  std::lock_guard<std::mutex> lock(s.mu);
  s.status.dwCurrentState = state;
  s.status.dwControlsAccepted = controls_accepted;
  if (exit_code != 0) {
    s.status.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
    s.status.dwServiceSpecificExitCode = exit_code;
  } else {
    s.status.dwWin32ExitCode = 0;  // the specific code keeps its earlier value
  }
  s.last_exit_code = exit_code;
  s.status.dwWaitHint = wait_hint;
  if (state == SERVICE_RUNNING || state == SERVICE_STOPPED) {
    s.status.dwCheckPoint = 0;
  } else {
    s.status.dwCheckPoint = s.checkpoint++;
  }
  return SetServiceStatus(s.handle, &s.status);
}

SERVICE_STATUS LastServiceStatus() {
  ServiceState& s = Runtime().service;
  std::lock_guard<std::mutex> lock(s.mu);
  return s.status;
}

void serviceMain(DWORD argc, LPSTR* argv) {
  ConsoleRuntime& r = Runtime();
  ServiceState& s = r.service;
  SERVICE_STATUS_HANDLE handle =
      RegisterServiceCtrlHandlerA(r.program.service_name, serviceCtrlHandler);
  if (handle == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(s.mu);
    s.handle = handle;
    s.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    s.status.dwCurrentState = 0;
  }
  if (reportServiceStatus(SERVICE_START_PENDING, 0, 0, kPendingWaitHintMs) &&
      r.program.work_loop != nullptr) {
    r.program.work_loop(static_cast<int>(argc), argv);
  }
  // A decryption that came after the stop request loaded the library again;
  // it goes here, on the thread that used it.
  if (GdLibLoaded()) zmoLoaderFreeGdLib();
  DWORD last_exit_code;
  {
    std::lock_guard<std::mutex> lock(s.mu);
    last_exit_code = s.last_exit_code;
  }
  reportServiceStatus(SERVICE_STOPPED, last_exit_code, SERVICE_ACCEPT_STOP, 0);
}

void serviceCtrlHandler(DWORD control) {
  if (control == SERVICE_CONTROL_STOP) {
    reportServiceStatus(SERVICE_STOP_PENDING, 0, 0, kPendingWaitHintMs);
    serviceStopRequest();
  } else if (control == SERVICE_CONTROL_INTERROGATE) {
    SERVICE_STATUS status;
    DWORD last_exit_code;
    {
      ServiceState& s = Runtime().service;
      std::lock_guard<std::mutex> lock(s.mu);
      status = s.status;
      last_exit_code = s.last_exit_code;
    }
    reportServiceStatus(status.dwCurrentState, last_exit_code, status.dwControlsAccepted,
                        status.dwWaitHint);
  }
}

}  // namespace zmo
