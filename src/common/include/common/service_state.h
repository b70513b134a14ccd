// The service half of the runtime's state (service_control.h).
#pragma once

#include <atomic>
#include <mutex>

#include "platform/service.h"
#include "platform/wintypes.h"

namespace zmo {

struct ServiceState {
  // The status record is reported from both threads: the work loop's
  // reports and the control handler's STOP_PENDING.
  std::mutex mu;
  SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
  SERVICE_STATUS_HANDLE handle = nullptr;
  DWORD checkpoint = 1;      // next checkpoint of a pending state, never reset
  DWORD last_exit_code = 0;  // service-specific exit code of the last report

  // The flags and the event are shared by the service thread and the control
  // handler on the main thread.
  std::atomic<bool> console{false};     // one-shot console run: no status reports
  std::atomic<bool> disconnect{false};  // set by the stop request; RFC steps give up
  std::atomic<bool> stop{false};        // set by the stop request; the loop ends
  std::atomic<HANDLE> stop_event{nullptr};
};

}  // namespace zmo
