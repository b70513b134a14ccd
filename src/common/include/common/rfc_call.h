// Sending a remote call and waiting for its answer without blocking the stop
// request. Both collectors use it: the call goes out with RfcCall, and
// RfcListen is polled every kRfcPollMillis on the clock seam until the answer
// is there, the time-out has passed or the disconnect flag is set. Each
// collector gives its own time-out and trace texts in an RfcWaitSpec and
// receives the answer itself.
#pragma once

#include "rfc/saprfc.h"

namespace zmo {

// Result of a wait whose answer did not come within the time-out.
constexpr int kRfcAnswerTimedOut = 116;
// Interval between two RfcListen polls.
constexpr int kRfcPollMillis = 50;

// The texts both collectors trace while waiting.
inline constexpr const char* kRfcTimeoutTrace =
    "ListenForRfcResponse() terminated because of RFC timeout\n";
// printf format with the RfcListen result as its one %i.
inline constexpr const char* kRfcUnknownRcTrace =
    "ListenForRfcResponse() terminated because of unknown RfcRc <%i>\n";

struct RfcWaitSpec {
  // Asked once at the start of every wait: the seconds an answer may take.
  // The wait ends with kRfcAnswerTimedOut at the first poll that finds no
  // answer when more whole seconds than these have passed since the start,
  // so with 300 an answer up to 301 s after the call is still taken.
  int (*timeout_seconds)() = nullptr;
  const char* timeout_trace = kRfcTimeoutTrace;
  const char* unknown_rc_trace = kRfcUnknownRcTrace;
  // Traced when a stop request ends the wait; nullptr traces nothing.
  const char* shutdown_trace = nullptr;
};

// Waits for the answer of the call outstanding on handle. Returns 0 when it
// is there (RfcReceive then takes it at once), kShutdownInProgress (28) when
// the disconnect flag is or becomes set (seen within one poll),
// kRfcAnswerTimedOut, or another RfcListen result that is no RFC_RETRY.
int ListenForRfcResponse(RFC_HANDLE handle, const RfcWaitSpec& wait);

// Where RfcCallAndListen ended.
enum class RfcCallStep {
  kStopped,  // the disconnect flag was set before or right after RfcCall
  kCall,     // RfcCall failed
  kListen,   // ListenForRfcResponse ran
};

// The first half of a remote call: unless the disconnect flag is set, sends
// function with RfcCall and, when that succeeded and no stop came meanwhile,
// traces after_call_trace (unless nullptr) and waits for the answer. Returns 0 when the answer is
// ready to be received, else the result of the step named in *step: 28 for RfcCallStep::kStopped,
// RfcCall's result for RfcCallStep::kCall, ListenForRfcResponse's for
// RfcCallStep::kListen.
int RfcCallAndListen(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
                     RFC_TABLE* tables, const RfcWaitSpec& wait, RfcCallStep* step,
                     const char* after_call_trace = nullptr);

}  // namespace zmo
