#include "service_record.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/files.h"
#include "platform/process.h"

namespace zmo {

namespace {

constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr const char* kStatusValue = "Status";
constexpr const char* kDeleteFlagValue = "DeleteFlag";

// Status value layout: eleven little-endian 32-bit words.
enum StatusWord {
  kType,
  kState,
  kControls,
  kWin32Exit,
  kSpecificExit,
  kCheckPoint,
  kWaitHint,
  kPid,
  kFlags,
  kStartLow,
  kStartHigh,
  kStatusWords
};
constexpr DWORD kFlagReported = 1;

constexpr const char* kLockFile = "services.lock";

// The lock of this process: held by one thread, depth times.
struct ScmLockState {
  std::recursive_mutex mu;
  int depth = 0;
  int fd = -1;
};

ScmLockState& LockState() {
  static ScmLockState state;
  return state;
}

void PutWord(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

DWORD GetWord(const BYTE* p) {
  DWORD v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<DWORD>(p[i]) << (8 * i);
  return v;
}

// Reads the Status value into record; false when there is none (or it is
// not one this manager wrote).
bool QueryStatus(HKEY key, ServiceRecord* record) {
  BYTE data[kStatusWords * 4];
  DWORD type = 0;
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, kStatusValue, nullptr, &type, data, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_BINARY || size != sizeof(data)) return false;
  DWORD w[kStatusWords];
  for (int i = 0; i < kStatusWords; ++i) w[i] = GetWord(data + 4 * i);
  record->status = SERVICE_STATUS{w[kType],         w[kState],      w[kControls], w[kWin32Exit],
                                  w[kSpecificExit], w[kCheckPoint], w[kWaitHint]};
  record->pid = static_cast<pid_t>(w[kPid]);
  record->reported = (w[kFlags] & kFlagReported) != 0;
  record->start_time = (static_cast<std::uint64_t>(w[kStartHigh]) << 32) | w[kStartLow];
  return true;
}

// The record as stored, without acting on it.
LONG ReadServiceRecord(const std::string& name, ServiceRecord* record) {
  HKEY key = nullptr;
  LONG rc = OpenServiceKey(name, &key);
  if (rc != ERROR_SUCCESS) return rc;
  *record = ServiceRecord{};
  DWORD type = SERVICE_WIN32_OWN_PROCESS;
  QueryDwordValue(key, kTypeValue, &type);
  bool has_status = QueryStatus(key, record);
  DWORD delete_flag = 0;
  record->delete_pending = QueryDwordValue(key, kDeleteFlagValue, &delete_flag) && delete_flag != 0;
  RegCloseKey(key);

  SERVICE_STATUS& s = record->status;
  if (!has_status) {
    s = SERVICE_STATUS{type, SERVICE_STOPPED, 0, 0, 0, 0, 0};
  } else if (s.dwCurrentState != SERVICE_STOPPED && !ServiceProcessAlive(*record)) {
    // The process ended without saying so: stopped, as an aborted process.
    s.dwCurrentState = SERVICE_STOPPED;
    s.dwControlsAccepted = 0;
    s.dwWin32ExitCode = ERROR_PROCESS_ABORTED;
    s.dwCheckPoint = 0;
    s.dwWaitHint = 0;
  }
  return ERROR_SUCCESS;
}

bool RemovableRecord(const ServiceRecord& r) {
  return r.delete_pending && r.status.dwCurrentState == SERVICE_STOPPED;
}

}  // namespace

ScmLock::ScmLock() {
  ScmLockState& st = LockState();
  st.mu.lock();
  if (st.depth++ > 0) return;
  std::string path = JoinPath(RegistryDirectory(), kLockFile);
  st.fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (st.fd < 0) return;
  while (flock(st.fd, LOCK_EX) != 0 && errno == EINTR) {
  }
}

ScmLock::~ScmLock() {
  ScmLockState& st = LockState();
  if (--st.depth == 0 && st.fd >= 0) {
    close(st.fd);  // releases the flock
    st.fd = -1;
  }
  st.mu.unlock();
}

LONG SetDwordValue(HKEY key, const char* name, DWORD value) {
  BYTE data[4];
  PutWord(data, value);
  return RegSetValueExA(key, name, 0, REG_DWORD, data, sizeof(data));
}

LONG SetStringValue(HKEY key, const char* name, const std::string& value) {
  // REG_SZ sizes count the NUL.
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}

bool QueryDwordValue(HKEY key, const char* name, DWORD* value) {
  DWORD type = 0;
  BYTE data[4];
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
  if (type != REG_DWORD || size != sizeof(data)) return false;
  *value = GetWord(data);
  return true;
}

bool QueryStringValue(HKEY key, const char* name, std::string* value) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::string data(size, '\0');
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  data.resize(size);
  // The stored text ends with its NUL; anything from the first NUL on goes.
  size_t nul = data.find('\0');
  if (nul != std::string::npos) data.resize(nul);
  *value = data;
  return true;
}

std::string ServiceKeyPath(const std::string& name) { return kServicesKey + name; }

LONG OpenServiceKey(const std::string& name, HKEY* key) {
  LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, ServiceKeyPath(name).c_str(), 0, KEY_ALL_ACCESS, key);
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return ERROR_SERVICE_DOES_NOT_EXIST;
  return rc;
}

LONG LoadServiceRecord(const std::string& name, ServiceRecord* record) {
  LONG rc = ReadServiceRecord(name, record);
  if (rc != ERROR_SUCCESS || !RemovableRecord(*record)) return rc;
  // Looked at again under the lock: a record created meanwhile is not the
  // one that was marked.
  ScmLock lock;
  rc = ReadServiceRecord(name, record);
  if (rc != ERROR_SUCCESS || !RemovableRecord(*record)) return rc;
  RemoveServiceKey(name);
  return ERROR_SERVICE_DOES_NOT_EXIST;
}

LONG StoreServiceStatus(HKEY key, const ServiceRecord& record) {
  const SERVICE_STATUS& s = record.status;
  DWORD w[kStatusWords] = {};
  w[kType] = s.dwServiceType;
  w[kState] = s.dwCurrentState;
  w[kControls] = s.dwControlsAccepted;
  w[kWin32Exit] = s.dwWin32ExitCode;
  w[kSpecificExit] = s.dwServiceSpecificExitCode;
  w[kCheckPoint] = s.dwCheckPoint;
  w[kWaitHint] = s.dwWaitHint;
  w[kPid] = static_cast<DWORD>(record.pid);
  w[kFlags] = record.reported ? kFlagReported : 0;
  w[kStartLow] = static_cast<DWORD>(record.start_time);
  w[kStartHigh] = static_cast<DWORD>(record.start_time >> 32);
  BYTE data[kStatusWords * 4];
  for (int i = 0; i < kStatusWords; ++i) PutWord(data + 4 * i, w[i]);
  return RegSetValueExA(key, kStatusValue, 0, REG_BINARY, data, sizeof(data));
}

LONG PublishServiceStatus(const std::string& name, const ServiceRecord& record) {
  ScmLock lock;
  HKEY key = nullptr;
  LONG rc = OpenServiceKey(name, &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = StoreServiceStatus(key, record);
  DWORD delete_flag = 0;
  bool remove = rc == ERROR_SUCCESS && record.status.dwCurrentState == SERVICE_STOPPED &&
                QueryDwordValue(key, kDeleteFlagValue, &delete_flag) && delete_flag != 0;
  RegCloseKey(key);
  if (remove) RemoveServiceKey(name);
  return rc;
}

LONG RemoveServiceKey(const std::string& name) {
  return RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKeyPath(name).c_str());
}

LONG MarkServiceForDelete(HKEY key) { return SetDwordValue(key, kDeleteFlagValue, 1); }

bool ServiceProcessAlive(const ServiceRecord& record) {
  if (record.pid <= 0) return false;
  std::uint64_t start = ProcessStartTime(record.pid);
  if (start == 0) return false;
  return record.start_time == 0 || start == record.start_time;
}

LONG Win32ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_BAD_EXE_FORMAT;
  }
}

}  // namespace zmo
