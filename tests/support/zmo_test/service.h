// Helpers of the service-cycle tests: start a program and wait for it, and
// ask the service manager for a service's state.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/service.h"

namespace zmo_test {

// Runs exe with args (the program name is put first) and returns its exit code.
inline int RunProgram(const std::string& exe, std::vector<std::string> args) {
  args.insert(args.begin(), exe);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  return static_cast<int>(_spawnv(_P_WAIT, exe.c_str(), argv.data()));
}

// The service's current state, or 0 when it cannot be queried; *error then
// gets the manager's reason when the service could not be opened.
inline DWORD ServiceState(const char* name, DWORD* error = nullptr) {
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (scm == nullptr) return 0;
  SC_HANDLE svc = OpenServiceA(scm, name, SERVICE_ALL_ACCESS);
  DWORD state = 0;
  if (svc == nullptr) {
    if (error) *error = GetLastError();
  } else {
    SERVICE_STATUS status{};
    if (QueryServiceStatus(svc, &status)) state = status.dwCurrentState;
    CloseServiceHandle(svc);
  }
  CloseServiceHandle(scm);
  return state;
}

}  // namespace zmo_test
