// The callers' side of the service control manager: records in the registry
// store, detached starts, and control requests sent as signals.
#include <signal.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/service.h"
#include "service_record.h"

struct ZmoScHandle {
  std::uint32_t magic;
  bool is_manager;
  std::string name;  // the service's name; empty for the manager
};

namespace {

constexpr std::uint32_t kHandleMagic = 0x53434d48;  // marks a live handle
constexpr size_t kMaxServiceName = 256;
// The hint the manager publishes for a start until the service reports.
constexpr DWORD kStartWaitHint = 2000;

int ControlSignal(DWORD control) {
  return control == SERVICE_CONTROL_STOP ? zmo::kStopSignal : zmo::kInterrogateSignal;
}

bool IsHandle(SC_HANDLE h, bool manager) {
  return h && h->magic == kHandleMagic && h->is_manager == manager;
}

BOOL Fail(LONG code) {
  SetLastError(static_cast<DWORD>(code));
  return FALSE;
}

SC_HANDLE FailHandle(LONG code) {
  SetLastError(static_cast<DWORD>(code));
  return nullptr;
}

bool ValidServiceName(LPCSTR name) {
  if (!name || !*name) return false;
  std::string n(name);
  return n.size() <= kMaxServiceName && n.find_first_of("\\/") == std::string::npos;
}

SC_HANDLE NewHandle(bool manager, const std::string& name) {
  return new ZmoScHandle{kHandleMagic, manager, name};
}

// The record of an open service handle; false (with the error set) when the
// handle is bad or the service is gone.
bool LoadFor(SC_HANDLE service, zmo::ServiceRecord* record) {
  if (!IsHandle(service, false)) return Fail(ERROR_INVALID_HANDLE);
  LONG rc = zmo::LoadServiceRecord(service->name, record);
  if (rc != ERROR_SUCCESS) return Fail(rc);
  return true;
}

LONG WriteServiceValues(HKEY key, LPCSTR display_name, DWORD service_type, DWORD start_type,
                        DWORD error_control, LPCSTR binary_path) {
  LONG rc = zmo::SetStringValue(key, zmo::kImagePathValue, binary_path);
  if (rc == ERROR_SUCCESS) rc = zmo::SetStringValue(key, zmo::kDisplayNameValue, display_name);
  if (rc == ERROR_SUCCESS) rc = zmo::SetDwordValue(key, zmo::kTypeValue, service_type);
  if (rc == ERROR_SUCCESS) rc = zmo::SetDwordValue(key, zmo::kStartValue, start_type);
  if (rc == ERROR_SUCCESS) rc = zmo::SetDwordValue(key, zmo::kErrorControlValue, error_control);
  return rc;
}

// The start arguments as one line that the dispatcher splits again.
std::string EncodeStartArguments(DWORD argc, const char* const* argv) {
  std::string line;
  for (DWORD i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += zmo::QuoteCommandLineArgument(argv[i] ? argv[i] : "");
  }
  return line;
}

zmo::ServiceRecord StoppedRecord(DWORD type, LONG exit_code) {
  zmo::ServiceRecord r;
  r.status = SERVICE_STATUS{type, SERVICE_STOPPED, 0, static_cast<DWORD>(exit_code), 0, 0, 0};
  return r;
}

}  // namespace

extern "C" SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR, DWORD) {
  if (machine && *machine) return FailHandle(ERROR_INVALID_PARAMETER);
  return NewHandle(true, std::string());
}

extern "C" SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR display_name, DWORD,
                                    DWORD service_type, DWORD start_type, DWORD error_control,
                                    LPCSTR binary_path, LPCSTR, LPDWORD, LPCSTR, LPCSTR, LPCSTR) {
  if (!IsHandle(manager, true)) return FailHandle(ERROR_INVALID_HANDLE);
  if (!ValidServiceName(name)) return FailHandle(ERROR_INVALID_NAME);
  if (service_type != SERVICE_WIN32_OWN_PROCESS ||
      (start_type != SERVICE_AUTO_START && start_type != SERVICE_DEMAND_START &&
       start_type != SERVICE_DISABLED) ||
      !binary_path || !*binary_path) {
    return FailHandle(ERROR_INVALID_PARAMETER);
  }
  zmo::ScmLock lock;
  zmo::ServiceRecord existing;
  LONG rc = zmo::LoadServiceRecord(name, &existing);
  if (rc == ERROR_SUCCESS) {
    return FailHandle(existing.delete_pending ? ERROR_SERVICE_MARKED_FOR_DELETE
                                              : ERROR_SERVICE_EXISTS);
  }
  if (rc != ERROR_SERVICE_DOES_NOT_EXIST) return FailHandle(rc);

  HKEY key = nullptr;
  DWORD disposition = 0;
  rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::ServiceKeyPath(name).c_str(), 0, nullptr,
                       REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (rc != ERROR_SUCCESS) return FailHandle(rc);
  if (disposition == REG_OPENED_EXISTING_KEY) {
    // Another caller recorded it in the meantime.
    RegCloseKey(key);
    return FailHandle(ERROR_SERVICE_EXISTS);
  }
  rc = WriteServiceValues(key, display_name ? display_name : name, service_type, start_type,
                          error_control, binary_path);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    // Half a record would start nothing; none is left.
    zmo::RemoveServiceKey(name);
    return FailHandle(rc);
  }
  return NewHandle(false, name);
}

extern "C" SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD) {
  if (!IsHandle(manager, true)) return FailHandle(ERROR_INVALID_HANDLE);
  if (!ValidServiceName(name)) return FailHandle(ERROR_INVALID_NAME);
  zmo::ServiceRecord record;
  LONG rc = zmo::LoadServiceRecord(name, &record);
  if (rc != ERROR_SUCCESS) return FailHandle(rc);
  return NewHandle(false, name);
}

extern "C" BOOL DeleteService(SC_HANDLE service) {
  zmo::ScmLock lock;
  zmo::ServiceRecord record;
  if (!LoadFor(service, &record)) return FALSE;
  if (record.delete_pending) return Fail(ERROR_SERVICE_MARKED_FOR_DELETE);
  LONG rc;
  if (record.status.dwCurrentState == SERVICE_STOPPED) {
    rc = zmo::RemoveServiceKey(service->name);
  } else {
    HKEY key = nullptr;
    rc = zmo::OpenServiceKey(service->name, &key);
    if (rc == ERROR_SUCCESS) {
      rc = zmo::MarkServiceForDelete(key);
      RegCloseKey(key);
    }
  }
  if (rc != ERROR_SUCCESS) return Fail(rc);
  return TRUE;
}

extern "C" BOOL StartServiceA(SC_HANDLE service, DWORD argc, const char* const* argv) {
  if (argc > 0 && !argv) return Fail(ERROR_INVALID_PARAMETER);
  // Held until the program runs: two starts cannot both find it stopped.
  zmo::ScmLock lock;
  zmo::ServiceRecord record;
  if (!LoadFor(service, &record)) return FALSE;
  if (record.delete_pending) return Fail(ERROR_SERVICE_MARKED_FOR_DELETE);
  if (record.status.dwCurrentState != SERVICE_STOPPED) return Fail(ERROR_SERVICE_ALREADY_RUNNING);

  HKEY key = nullptr;
  LONG rc = zmo::OpenServiceKey(service->name, &key);
  if (rc != ERROR_SUCCESS) return Fail(rc);
  DWORD start_type = SERVICE_DEMAND_START;
  std::string image;
  zmo::QueryDwordValue(key, zmo::kStartValue, &start_type);
  bool has_image = zmo::QueryStringValue(key, zmo::kImagePathValue, &image) && !image.empty();
  RegCloseKey(key);
  if (start_type == SERVICE_DISABLED) return Fail(ERROR_SERVICE_DISABLED);
  if (!has_image) return Fail(ERROR_FILE_NOT_FOUND);

  const DWORD type = record.status.dwServiceType;
  const std::string name = service->name;
  zmo::SpawnRequest req;
  req.path = image;
  req.argv = {image};
  req.env = {std::string(zmo::kServiceNameEnv) + "=" + name,
             std::string(zmo::kServiceArgsEnv) + "=" + EncodeStartArguments(argc, argv)};
  req.detached = true;
  LONG publish_rc = ERROR_SUCCESS;
  // START_PENDING with the new pid is on record before the program runs, so
  // the service's own first report can never be overwritten by it.
  req.before_exec = [&](pid_t pid) {
    zmo::ServiceRecord pending;
    pending.status = SERVICE_STATUS{type, SERVICE_START_PENDING, 0, 0, 0, 0, kStartWaitHint};
    pending.pid = pid;
    pending.start_time = zmo::ProcessStartTime(pid);
    publish_rc = zmo::PublishServiceStatus(name, pending);
    return publish_rc == ERROR_SUCCESS ? 0 : -1;
  };
  pid_t pid = 0;
  if (zmo::SpawnProcess(req, &pid) != 0) {
    LONG err = publish_rc != ERROR_SUCCESS ? publish_rc : zmo::Win32ErrorFromErrno(errno);
    zmo::PublishServiceStatus(name, StoppedRecord(type, err));
    return Fail(err);
  }
  return TRUE;
}

extern "C" BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status) {
  if (control != SERVICE_CONTROL_STOP && control != SERVICE_CONTROL_INTERROGATE) {
    return Fail(ERROR_INVALID_SERVICE_CONTROL);
  }
  zmo::ServiceRecord record;
  if (!LoadFor(service, &record)) return FALSE;
  if (status) *status = record.status;
  const SERVICE_STATUS& s = record.status;
  if (s.dwCurrentState == SERVICE_STOPPED) return Fail(ERROR_SERVICE_NOT_ACTIVE);
  // A stop needs a service that says it takes one; an interrogation needs a
  // service that has reported at all (its dispatcher then listens).
  bool accepted = control == SERVICE_CONTROL_STOP
                      ? (s.dwControlsAccepted & SERVICE_ACCEPT_STOP) != 0 &&
                            s.dwCurrentState != SERVICE_STOP_PENDING
                      : record.reported;
  if (!accepted) return Fail(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
  if (kill(record.pid, ControlSignal(control)) != 0) {
    return Fail(errno == ESRCH ? ERROR_SERVICE_NOT_ACTIVE : ERROR_ACCESS_DENIED);
  }
  return TRUE;
}

extern "C" BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
  if (!status) return Fail(ERROR_INVALID_PARAMETER);
  zmo::ServiceRecord record;
  if (!LoadFor(service, &record)) return FALSE;
  *status = record.status;
  return TRUE;
}

extern "C" BOOL CloseServiceHandle(SC_HANDLE handle) {
  if (!IsHandle(handle, true) && !IsHandle(handle, false)) return Fail(ERROR_INVALID_HANDLE);
  handle->magic = 0;
  delete handle;
  return TRUE;
}
