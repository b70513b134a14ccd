#include "common/gdlib_binding.h"
#include "common/runtime_state.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/events.h"

namespace zmo {

void serviceStopRequest() {
  ServiceState& s = Runtime().service;
  // The binding's lock makes this wait for a decryption in progress on the
  // service thread; a later one loads the library again.
  zmoLoaderFreeGdLib();
  writeTrace("stop received\n");
  s.disconnect.store(true);
  writeTrace("%s", Runtime().program.disconnect_trace);
  s.stop.store(true);
  HANDLE event = s.stop_event.load();
  if (event != nullptr) SetEvent(event);
}

bool DisconnectFlag() { return Runtime().service.disconnect.load(); }
bool StopFlag() { return Runtime().service.stop.load(); }
void SetConsoleFlag(bool on) { Runtime().service.console.store(on); }
bool ConsoleFlag() { return Runtime().service.console.load(); }
void SetStopEvent(HANDLE event) { Runtime().service.stop_event.store(event); }
HANDLE StopEvent() { return Runtime().service.stop_event.load(); }

void ResetServiceState() {
  ServiceState& s = Runtime().service;
  s.console.store(false);
  s.disconnect.store(false);
  s.stop.store(false);
  s.stop_event.store(nullptr);
  std::lock_guard<std::mutex> lock(s.mu);
  s.status = SERVICE_STATUS{SERVICE_WIN32_OWN_PROCESS, 0, 0, 0, 0, 0, 0};
  s.handle = nullptr;
  s.checkpoint = 1;
  s.last_exit_code = 0;
}

}  // namespace zmo
