// The service work loop: a pass every sleep time, a cycle on collection days.

#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/events.h"
#include "platform/service.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

constexpr DWORD kWaitHintMillis = 3000;
// Service-specific exit code when the stop event cannot be created.
constexpr DWORD kNoStopEventExitCode = 3;

}  // namespace

int snapServiceRun(int argc, char** argv) {
  SnapState& st = snapState();
  queryRegForFormat(true);
  zmo::reportServiceStatus(SERVICE_START_PENDING, 0, 0, kWaitHintMillis);
  HANDLE stop_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (stop_event == nullptr) {
    zmo::writeTrace("CreateEvent() returned unsuccessfully\n");
    zmo::reportServiceStatus(SERVICE_STOPPED, kNoStopEventExitCode, SERVICE_ACCEPT_STOP, 0);
    return 1;
  }
  zmo::SetStopEvent(stop_event);
  st.runCounter = 0;
  int result = 0;
  if (initRfcTables() != 0) {
    zmo::writeTrace("initRfcTables() returned unsuccessfully\n");
    result = 1;
  }

  while (result == 0) {
    ++st.runCounter;
    zmo::writeTrace("awake, run %i\n", st.runCounter);
    if (zmo::StopFlag()) break;
    if (snapGetRunTimes() != 0) {
      zmo::writeTrace("snapGetRunTimes() returned unsuccessfully\n");
      st.sleepMillis = kSnapFailureSleepMillis;
      st.runFlag = false;
    }
    zmo::reportServiceStatus(SERVICE_RUNNING, 0, SERVICE_ACCEPT_STOP, kWaitHintMillis);
    if (st.runFlag) {
      zmo::writeTrace("about to connect\n");
      snapGetMetricFilters();
      if (!zmo::DisconnectFlag()) st.hooks.startQuery(argc, argv);
    }
    zmo::writeTrace("about to fall asleep %is\n", static_cast<int>(st.sleepMillis / 1000));
    // The time runs from the end of this pass to the start of the next.
    if (WaitForSingleObject(stop_event, st.sleepMillis) != WAIT_TIMEOUT) break;
  }

  if (result == 0) zmo::reportServiceStatus(SERVICE_STOPPED, 0, SERVICE_ACCEPT_STOP, 0);
  zmo::SetStopEvent(nullptr);
  CloseHandle(stop_event);
  return result;
}

}  // namespace zmo::snap
