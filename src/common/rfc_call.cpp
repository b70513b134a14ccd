#include "common/rfc_call.h"

#include <cstdint>

#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/clock.h"

namespace zmo {

namespace {

// Ends a wait that a stop request cut short.
int Stopped(const RfcWaitSpec& wait) {
  if (wait.shutdown_trace != nullptr) writeTrace("%s", wait.shutdown_trace);
  return kShutdownInProgress;
}

}  // namespace

int ListenForRfcResponse(RFC_HANDLE handle, const RfcWaitSpec& wait) {
  const std::int64_t timeout_s = wait.timeout_seconds != nullptr ? wait.timeout_seconds() : 0;
  if (DisconnectFlag()) return Stopped(wait);
  const std::int64_t start_ms = ClockNowMillis();
  ClockSleepMillis(kRfcPollMillis);
  if (DisconnectFlag()) return Stopped(wait);

  int rc;
  do {
    rc = RfcListen(handle);
    if (rc == RFC_RETRY) {
      // Whole seconds, so an answer in the last second of the time-out
      // (300 s up to 301 s with a time-out of 300) is still taken.
      const std::int64_t elapsed_s = (ClockNowMillis() - start_ms) / 1000;
      if (elapsed_s > timeout_s) {
        writeTrace("%s", wait.timeout_trace);
        rc = kRfcAnswerTimedOut;
      }
    } else if (rc != RFC_OK) {
      writeTrace(wait.unknown_rc_trace, rc);
    }
    if (rc == RFC_RETRY && !DisconnectFlag()) ClockSleepMillis(kRfcPollMillis);
  } while (rc == RFC_RETRY && !DisconnectFlag());

  if (DisconnectFlag()) return Stopped(wait);
  return rc;
}

int RfcCallAndListen(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
                     RFC_TABLE* tables, const RfcWaitSpec& wait, RfcCallStep* step,
                     const char* after_call_trace) {
  *step = RfcCallStep::kStopped;
  if (DisconnectFlag()) return kShutdownInProgress;
  const int call_rc = RfcCall(handle, function, exporting, tables);
  if (DisconnectFlag()) return kShutdownInProgress;
  if (call_rc != RFC_OK) {
    *step = RfcCallStep::kCall;
    return call_rc;
  }
  *step = RfcCallStep::kListen;
  if (after_call_trace != nullptr) writeTrace("%s", after_call_trace);
  return ListenForRfcResponse(handle, wait);
}

}  // namespace zmo
