// The service work loop and the one-shot runs.

#include <unistd.h>

#include <cstring>

#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/events.h"
#include "platform/files.h"
#include "platform/service.h"
#include "platform/window_titles.h"
#include "zmostati/entry.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

constexpr DWORD kWaitHintMs = 3000;
// A pass whose schedule could not be read or decided waits this long.
constexpr int kRetrySeconds = 300;

// For the length of a collection the collector has a window titled by its
// program path, as a console program has: the configurator refuses a
// special run while one is there. The service waiting between its schedule
// times has none, so it refuses nothing. A window that cannot be recorded
// does not stop the run; a killed collector's window goes stale by itself.
class RunWindow {
 public:
  RunWindow() { zmo::SetWindowTitle(getpid(), zmo::ProgramPath()); }
  ~RunWindow() { zmo::RemoveWindow(getpid()); }
  RunWindow(const RunWindow&) = delete;
  RunWindow& operator=(const RunWindow&) = delete;
};

int CollectWithWindow(StatiState& st) {
  const RunWindow window;
  return st.hooks.startQuery();
}

void StartUpFailed() { zmo::reportServiceStatus(SERVICE_STOPPED, 3, SERVICE_ACCEPT_STOP, 0); }

// Reads the schedule and decides the interval. Returns the wait of the
// pass in seconds.
int DecidePass(StatiState& st) {
  if (statiGetRunTimes() != 0) {
    zmo::writeTrace("statiGetRunTimes() failed. sleeping %i min now\n", kRetrySeconds / 60);
    st.due = false;
    return kRetrySeconds;
  }
  if (statiQueryRegForSleepTime() != 0) {
    zmo::writeTrace("statiQueryRegForSleepTime() failed. sleeping %i min now\n",
                    kRetrySeconds / 60);
    st.due = false;
    return kRetrySeconds;
  }
  return st.sleepSeconds;
}

// Collects the due interval; only a collection that succeeded moves the
// last interval on, so a failed one is proposed again next pass. The run
// stores it itself at its hand-over, before the loader starts.
void CollectDue(StatiState& st) {
  if (statiGetParaFromRegistry() != 0) {
    zmo::writeTrace("statiGetParaFromRegistry() returned unsuccessfully\n");
    return;
  }
  zmo::writeTrace("about to connect\n");
  const int rc = CollectWithWindow(st);
  if (rc == kStatiRunRecovered) {
    zmo::writeTrace("interval of a cut-short run stored; the next pass decides again\n");
    return;
  }
  if (rc != 0) {
    zmo::writeTrace(zmo::DisconnectFlag() ? "statiStartQuery() shutdown in progress\n"
                                          : "statiStartQuery() failed\n");
    return;
  }
  if (st.collect.intervalStored) return;
  st.last = st.current;
  if (statiSetLastInterval() != 0) {
    zmo::writeTrace("failed to update Registry with last connect interval\n");
  }
}

}  // namespace

int statiWorkPass() {
  StatiState& st = statiState();
  const int wait_seconds = DecidePass(st);
  zmo::reportServiceStatus(SERVICE_RUNNING, 0, SERVICE_ACCEPT_STOP, kWaitHintMs);
  if (st.due) CollectDue(st);
  return wait_seconds;
}

int statiServiceRun(int, char**) {
  statiResetRunState();
  StatiState& st = statiState();
  st.storesInterval = true;
  zmo::reportServiceStatus(SERVICE_START_PENDING, 0, 0, kWaitHintMs);
  if (statiGetDebugStatusFromRegistry() != 0) {
    zmo::SetTraceSwitch(true);
    zmo::writeTrace("statiGetDebugStatusFromRegistry() returned unsuccessfully\n");
  }
  if (statiGetDefaultAvailFileName() != 0) {
    zmo::writeTrace("statiGetDefaultAvailFileName() returned unsuccessfully\n");
    StartUpFailed();
    return 0;
  }
  st.hooks.installRfcErrorHandler();
  HANDLE stop_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (stop_event == nullptr) {
    zmo::writeTrace("CreateEvent() returned unsuccessfully\n");
    StartUpFailed();
    return 0;
  }
  zmo::SetStopEvent(stop_event);

  for (;;) {
    ++st.passCounter;
    zmo::writeTrace("awake, run %i\n", st.passCounter);
    if (zmo::StopFlag()) break;
    const int wait_seconds = statiWorkPass();
    zmo::writeTrace("about to fall asleep %is\n", wait_seconds);
    // The readers keep the sleep time within what fits in milliseconds.
    const DWORD rc = WaitForSingleObject(stop_event, static_cast<DWORD>(wait_seconds) * 1000u);
    if (rc != WAIT_TIMEOUT) break;  // a stop request, or a wait that failed
  }

  zmo::reportServiceStatus(SERVICE_STOPPED, 0, SERVICE_ACCEPT_STOP, 0);
  zmo::SetStopEvent(nullptr);
  CloseHandle(stop_event);
  return 0;
}

int statiRunOnce(int argc, char** argv) {
  statiResetRunState();
  StatiState& st = statiState();
  if (argc >= 2 && std::strcmp(argv[1], "-nr") == 0) {
    if (statiGetDebugStatusFromRegistry() != 0) {
      zmo::SetTraceSwitch(true);
      zmo::writeTrace("statiGetDebugStatusFromRegistry() returned unsuccessfully\n");
    }
    if (statiGetDefaultAvailFileName() != 0) {
      zmo::writeTrace("statiGetDefaultAvailFileName() returned unsuccessfully\n");
      return kStatiRunFailed;
    }
    if (statiGetRunTimes() != 0 || statiQueryRegForSleepTime() != 0) return kStatiRunFailed;
    if (statiGetParaFromRegistry() != 0) {
      zmo::SetTraceSwitch(true);
      zmo::writeTrace("statiGetParaFromRegistry() returned unsuccessfully\n");
      return kStatiRunFailed;
    }
  } else {
    if (statiGetParaFromCmdLine(argc, argv) != 0) {
      zmo::SetTraceSwitch(true);
      zmo::writeTrace("statiGetParaFromCmdLine() returned unsuccessfully\n");
      return kStatiRunFailed;
    }
    if (statiGetDefaultAvailFileName() != 0) {
      zmo::writeTrace("statiGetDefaultAvailFileName() returned unsuccessfully\n");
      return kStatiRunFailed;
    }
  }
  st.hooks.installRfcErrorHandler();
  if (CollectWithWindow(st) != 0) return kStatiRunFailed;
  return st.loadFailed ? kStatiRunLoadFailed : 0;
}

}  // namespace zmo::stati
