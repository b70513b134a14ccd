#include <cstring>
#include <string>

#include "common/runtime_state.h"
#include "common/service_control.h"
#include "platform/events.h"
#include "platform/files.h"

namespace zmo {
namespace {

constexpr DWORD kStartPollMs = 500;
constexpr DWORD kStopPollMs = 1000;

// The manager and the program's own service. Returns 0 with both open, or 1
// with neither.
int OpenOwnService(SC_HANDLE* manager, SC_HANDLE* service) {
  *manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (*manager == nullptr) return 1;
  *service = OpenServiceA(*manager, Runtime().program.service_name, SERVICE_ALL_ACCESS);
  if (*service == nullptr) {
    CloseServiceHandle(*manager);
    return 1;
  }
  return 0;
}

void CloseOwnService(SC_HANDLE manager, SC_HANDLE service) {
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

// Polls the status every interval_ms while it is pending. A control reaches
// the service a moment after the manager accepted it, so the state it was
// accepted in (before) counts as pending until the service has moved on.
// The manager reports STOPPED for a process that is gone, so the loop cannot
// hang on a service that died. Returns the last state seen, or 0 when a query
// failed.
DWORD WaitWhilePending(SC_HANDLE service, DWORD pending, DWORD before, DWORD interval_ms,
                       bool sleep_first) {
  SERVICE_STATUS status;
  bool moved = before == pending;
  for (;;) {
    if (sleep_first) Sleep(interval_ms);
    if (!QueryServiceStatus(service, &status)) return 0;
    DWORD state = status.dwCurrentState;
    if (state != before) moved = true;
    if (state != pending && moved) return state;
    if (!sleep_first) Sleep(interval_ms);
  }
}

}  // namespace

int serviceInstall(int argc, char** argv) {
  DWORD start_type = SERVICE_DEMAND_START;
  if (argc > 2 && argv[2] != nullptr && std::strcmp(argv[2], "-auto") == 0) {
    start_type = SERVICE_AUTO_START;
  }
  std::string path = ProgramPath();
  if (path.empty()) return 1;
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return 1;
  const ConsoleProgramConfig& program = Runtime().program;
  SC_HANDLE service =
      CreateServiceA(manager, program.service_name, program.display_name, SERVICE_ALL_ACCESS,
                     SERVICE_WIN32_OWN_PROCESS, start_type, SERVICE_ERROR_NORMAL, path.c_str(),
                     nullptr, nullptr, nullptr, nullptr, nullptr);
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return service != nullptr ? 0 : 1;
}

int serviceRemove() {
  SC_HANDLE manager, service;
  if (OpenOwnService(&manager, &service) != 0) return 1;
  BOOL deleted = DeleteService(service);
  CloseOwnService(manager, service);
  return deleted ? 0 : 1;
}

int serviceStart(int argc, char** argv) {
  SC_HANDLE manager, service;
  if (OpenOwnService(&manager, &service) != 0) return 1;
  DWORD state = 0;
  if (StartServiceA(service, static_cast<DWORD>(argc), argv)) {
    state = WaitWhilePending(service, SERVICE_START_PENDING, SERVICE_START_PENDING, kStartPollMs,
                             false);
  }
  CloseOwnService(manager, service);
  return state == SERVICE_RUNNING ? 0 : 1;
}

int serviceStop() {
  SC_HANDLE manager, service;
  if (OpenOwnService(&manager, &service) != 0) return 1;
  SERVICE_STATUS status;
  DWORD state = 0;
  if (ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    state =
        WaitWhilePending(service, SERVICE_STOP_PENDING, status.dwCurrentState, kStopPollMs, true);
  }
  CloseOwnService(manager, service);
  return state == SERVICE_STOPPED ? 0 : 1;
}

int serviceOption(int argc, char** argv) {
  if (argc < 2 || argv[1] == nullptr) return 0;
  const char* option = argv[1];
  if (std::strcmp(option, "-sinstall") == 0) {
    serviceInstall(argc, argv);
  } else if (std::strcmp(option, "-sremove") == 0) {
    serviceStop();
    serviceRemove();
  } else if (std::strcmp(option, "-sstart") == 0) {
    serviceStart(argc, argv);
  } else if (std::strcmp(option, "-sstop") == 0) {
    serviceStop();
  } else {
    return 0;
  }
  return 1;
}

int serviceDispatch() {
  // The table keeps its own copy of the name: the entry's field is not const.
  std::string name = Runtime().program.service_name;
  SERVICE_TABLE_ENTRYA table[] = {{name.data(), serviceMain}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherA(table)) return 0;
  return static_cast<int>(GetLastError());
}

}  // namespace zmo
