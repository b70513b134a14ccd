// The connection to one server and the call-and-wait both remote calls go
// through.

#include "zmostati/rfc_session.h"

#include "common/rfc_call.h"
#include "common/rfc_options.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// The answer time-out is read from the registry at every wait, so a changed
// RetrievalWait takes effect at the next call; when it cannot be read the
// last one stays.
int StatiAnswerTimeout() {
  if (statiGetWaitTime() != 0) zmo::writeTrace("statiGetWaitTime() failed.\n");
  return statiState().rfcTimeoutSeconds;
}

}  // namespace

const zmo::RfcWaitSpec kStatiAnswerWait{StatiAnswerTimeout};

int statiRfcOpen(const zmo::ServerLine& server, const char* password) {
  StatiRfcSession& s = statiRfcSession();
  s.handle = RFC_HANDLE_NULL;
  s.systemId.clear();
  s.dbHost.clear();
  statiSetRelease("");
  s.exception.clear();
  statiState().remoteOffsetSeconds = 0;

  // An empty client or language stays empty: the system's own default
  // then applies.
  zmo::RfcServerOptions options;
  zmo::fillRfcOptions(server, password, nullptr, nullptr, &options);
  s.handle = RfcOpen(&options.options);
  return s.handle == RFC_HANDLE_NULL ? 1 : 0;
}

void statiRfcClose() {
  RfcClose(RFC_HANDLE_NULL);
  statiRfcSession().handle = RFC_HANDLE_NULL;
}

int statiRfcCallAndReceive(const char* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                           RFC_TABLE* tables) {
  StatiRfcSession& s = statiRfcSession();
  zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
  const int rc =
      zmo::RfcCallAndListen(s.handle, function, exporting, tables, kStatiAnswerWait, &step);
  if (step == zmo::RfcCallStep::kStopped) return zmo::kShutdownInProgress;
  if (step == zmo::RfcCallStep::kCall) {
    if (rc == RFC_EXCEPTION || rc == RFC_SYS_EXCEPTION) {
      statiRfcErrorHandler(nullptr);
    } else {
      zmo::writeTrace("unknown rfc rc\n");
    }
    return 1;
  }

  // A stop or a failed wait writes its line twice. Kept on purpose: the
  // collector's trace has always shown it so, and readers of the log
  // match on the pair.
  if (rc == zmo::kShutdownInProgress) {
    zmo::writeTrace("ListenForRfcResponse() shutting down\n");
    zmo::writeTrace("ListenForRfcResponse() shutting down\n");
    return 1;
  }
  zmo::writeTrace("rfcRc <%i> from ListenForRfcResponse()\n", rc);
  if (rc != 0) {
    zmo::writeTrace("rfcRc <%i> from ListenForRfcResponse()\n", rc);
    statiRfcErrorHandler(nullptr);
    return 1;
  }

  char* exception = nullptr;
  const RFC_RC received = RfcReceive(s.handle, importing, tables, &exception);
  if (received == RFC_EXCEPTION || received == RFC_SYS_EXCEPTION) {
    s.exception = exception != nullptr ? exception : "";
    statiRfcErrorHandler(s.exception.c_str());
    return 1;
  }
  zmo::writeTrace("rfcRc <%i> from rfcReceive()\n", received);
  // An answer that did not arrive has filled nothing; taking the buffers
  // as data would report a server that failed as available.
  if (received != RFC_OK) {
    statiRfcErrorHandler(nullptr);
    return 1;
  }
  return 0;
}

}  // namespace zmo::stati
