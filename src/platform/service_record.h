// Internal: the record of one service in the registry store, shared by the
// manager (the callers' side) and the dispatcher (the service's side).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/service.h"

namespace zmo {

// The status as the service published it, with the process it came from.
struct ServiceRecord {
  SERVICE_STATUS status{};
  pid_t pid = 0;
  std::uint64_t start_time = 0;  // ProcessStartTime of pid
  bool reported = false;         // true once the service itself reported
  bool delete_pending = false;   // DeleteService ran while it was running
};

// The signals that carry control requests to a service process. SIGTERM is a
// stop whoever sends it.
constexpr int kStopSignal = SIGTERM;
constexpr int kInterrogateSignal = SIGUSR1;

// Values of a service's key.
constexpr const char* kImagePathValue = "ImagePath";
constexpr const char* kDisplayNameValue = "DisplayName";
constexpr const char* kTypeValue = "Type";
constexpr const char* kStartValue = "Start";
constexpr const char* kErrorControlValue = "ErrorControl";

// Typed value access; the queries return false for a missing value or one of
// another type.
LONG SetDwordValue(HKEY key, const char* name, DWORD value);
LONG SetStringValue(HKEY key, const char* name, const std::string& value);
bool QueryDwordValue(HKEY key, const char* name, DWORD* value);
bool QueryStringValue(HKEY key, const char* name, std::string* value);

// Serialises the manager's check-then-change steps across every process
// (flock on services.lock in the store's directory) and every thread. It may
// be taken again by the thread that holds it. Without a store directory there
// is no service to race for, and the steps run without the file lock.
class ScmLock {
 public:
  ScmLock();
  ~ScmLock();
  ScmLock(const ScmLock&) = delete;
  ScmLock& operator=(const ScmLock&) = delete;
};

// HKEY_LOCAL_MACHINE subkey of a service.
std::string ServiceKeyPath(const std::string& name);

// Opens the service's key. Returns ERROR_SUCCESS, or
// ERROR_SERVICE_DOES_NOT_EXIST when it is not recorded.
LONG OpenServiceKey(const std::string& name, HKEY* key);

// Reads the record. A service that never ran, or whose process is gone
// without reporting SERVICE_STOPPED, reads as stopped (the latter with
// ERROR_PROCESS_ABORTED). A stopped service marked for deletion is removed
// here and reads as ERROR_SERVICE_DOES_NOT_EXIST.
LONG LoadServiceRecord(const std::string& name, ServiceRecord* record);

// Writes the status and process of the record (one value, so a reader never
// sees half of it).
LONG StoreServiceStatus(HKEY key, const ServiceRecord& record);

// Publishes the record's status on the service's key. A service marked for
// deletion is removed once it publishes SERVICE_STOPPED.
LONG PublishServiceStatus(const std::string& name, const ServiceRecord& record);

// Marks a running service for removal once it stops.
LONG MarkServiceForDelete(HKEY key);

// Removes the service's key and values.
LONG RemoveServiceKey(const std::string& name);

// True when the record's process still runs (same pid and start time).
bool ServiceProcessAlive(const ServiceRecord& record);

// A Windows result for an errno of a failed start.
LONG Win32ErrorFromErrno(int err);

}  // namespace zmo
