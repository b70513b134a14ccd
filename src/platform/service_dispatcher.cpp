// The service's side of the service control manager: the dispatcher that runs
// ServiceMain on a second thread and turns control signals into handler
// calls on the calling thread, and the status the service publishes.
#include <pthread.h>
#include <signal.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/service.h"
#include "service_record.h"

struct ZmoServiceStatusHandle {
  int unused = 0;
};

namespace {

// Sent by the service thread to the control thread: look at the state again.
constexpr int kWakeSignal = SIGUSR2;

// Everything the dispatcher of this process knows. One dispatcher runs at a
// time; each call of StartServiceCtrlDispatcherA starts from a clean state.
struct DispatcherState {
  std::mutex mu;
  bool running = false;
  std::string name;
  std::uint64_t start_time = 0;  // of this process, published with the pid
  ZmoServiceStatusHandle status_handle;
  pthread_t control_thread{};
  std::atomic<LPHANDLER_FUNCTION> handler{nullptr};
  std::atomic<bool> service_returned{false};
  DWORD last_state = 0;  // the state the service published last
};

DispatcherState& State() {
  static DispatcherState state;
  return state;
}

BOOL Fail(LONG code) {
  SetLastError(static_cast<DWORD>(code));
  return FALSE;
}

sigset_t ControlSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, zmo::kStopSignal);
  sigaddset(&set, zmo::kInterrogateSignal);
  sigaddset(&set, kWakeSignal);
  return set;
}

const SERVICE_TABLE_ENTRYA* ChooseEntry(const SERVICE_TABLE_ENTRYA* table, const char* name) {
  for (const SERVICE_TABLE_ENTRYA* e = table; e->lpServiceName; ++e) {
    if (strcasecmp(e->lpServiceName, name) == 0) return e;
  }
  return table;
}

// Delivers control requests until ServiceMain has returned. A stop that
// comes before the handler is registered waits for it, so none is lost.
void DeliverControls(DispatcherState& st) {
  sigset_t set = ControlSignals();
  bool stop_pending = false;
  for (;;) {
    if (st.service_returned.load()) return;
    LPHANDLER_FUNCTION handler = st.handler.load();
    if (handler && stop_pending) {
      stop_pending = false;
      handler(SERVICE_CONTROL_STOP);
      continue;
    }
    siginfo_t info;
    int sig = sigwaitinfo(&set, &info);
    if (sig == zmo::kStopSignal) {
      stop_pending = true;
    } else if (sig == zmo::kInterrogateSignal && handler) {
      handler(SERVICE_CONTROL_INTERROGATE);
    }
  }
}

// Publishes a status of this process. Call with st.mu held.
LONG PublishOwnStatusLocked(DispatcherState& st, const SERVICE_STATUS& status) {
  zmo::ServiceRecord record;
  record.status = status;
  record.pid = getpid();
  record.start_time = st.start_time;
  record.reported = true;
  LONG rc = zmo::PublishServiceStatus(st.name, record);
  if (rc == ERROR_SUCCESS) st.last_state = status.dwCurrentState;
  return rc;
}

// Takes the control signals still pending, so that unblocking them cannot
// end the process after the service has stopped.
void DrainControlSignals() {
  sigset_t set = ControlSignals();
  timespec zero{0, 0};
  while (sigtimedwait(&set, nullptr, &zero) > 0) {
  }
}

}  // namespace

extern "C" BOOL StartServiceCtrlDispatcherA(const SERVICE_TABLE_ENTRYA* table) {
  const char* env_name = std::getenv(zmo::kServiceNameEnv);
  if (!env_name || !*env_name) return Fail(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT);
  if (!table || !table->lpServiceName || !table->lpServiceProc) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  DispatcherState& st = State();
  const SERVICE_TABLE_ENTRYA* entry = ChooseEntry(table, env_name);
  std::vector<std::string> args;
  {
    std::lock_guard<std::mutex> lock(st.mu);
    if (st.running) return Fail(ERROR_SERVICE_ALREADY_RUNNING);
    st.running = true;
    st.name = env_name;
    st.start_time = zmo::ProcessStartTime(getpid());
    st.control_thread = pthread_self();
    st.handler.store(nullptr);
    st.service_returned.store(false);
    st.last_state = 0;
    // ServiceMain gets the service name, then the start arguments.
    args.push_back(st.name);
    const char* encoded = std::getenv(zmo::kServiceArgsEnv);
    for (std::string& a : zmo::SplitCommandLine(encoded ? encoded : "")) args.push_back(a);
  }
  // The marks are for this process only, not for the programs it starts.
  unsetenv(zmo::kServiceNameEnv);
  unsetenv(zmo::kServiceArgsEnv);

  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // Blocked here, the control signals stay blocked in the service thread and
  // every thread it starts; this thread takes them with sigwaitinfo.
  sigset_t set = ControlSignals();
  sigset_t old_mask;
  pthread_sigmask(SIG_BLOCK, &set, &old_mask);
  std::thread service([&] {
    entry->lpServiceProc(static_cast<DWORD>(args.size()), argv.data());
    st.service_returned.store(true);
    pthread_kill(st.control_thread, kWakeSignal);
  });
  DeliverControls(st);
  service.join();
  DrainControlSignals();
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);

  std::lock_guard<std::mutex> lock(st.mu);
  st.running = false;
  st.handler.store(nullptr);
  if (st.last_state != SERVICE_STOPPED) {
    // ServiceMain gave up without saying so: nobody is to wait for it.
    PublishOwnStatusLocked(st, SERVICE_STATUS{SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0,
                                              static_cast<DWORD>(ERROR_PROCESS_ABORTED), 0, 0, 0});
  }
  return TRUE;
}

extern "C" SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerA(LPCSTR name,
                                                             LPHANDLER_FUNCTION handler) {
  DispatcherState& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  if (!st.running || !name || strcasecmp(name, st.name.c_str()) != 0) {
    SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
    return nullptr;
  }
  if (!handler) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  st.handler.store(handler);
  // A stop that came before the handler is delivered now.
  pthread_kill(st.control_thread, kWakeSignal);
  return &st.status_handle;
}

extern "C" BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status) {
  DispatcherState& st = State();
  // Held through the write, so that last_state is the state on record.
  std::lock_guard<std::mutex> lock(st.mu);
  if (!st.running || handle != &st.status_handle || !st.handler.load()) {
    return Fail(ERROR_INVALID_HANDLE);
  }
  if (!status || status->dwCurrentState < SERVICE_STOPPED ||
      status->dwCurrentState > SERVICE_PAUSED) {
    return Fail(ERROR_INVALID_DATA);
  }
  LONG rc = PublishOwnStatusLocked(st, *status);
  if (rc != ERROR_SUCCESS) return Fail(rc);
  return TRUE;
}
