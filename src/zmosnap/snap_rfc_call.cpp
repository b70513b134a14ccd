// The shape every zmosnap call shares: send, wait for the answer without
// blocking the stop request, receive, and report what failed. The error
// handler is here too, since every failure ends in it.

#include <cstring>

#include "common/rfc_call.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

namespace {

int AnswerTimeout() { return kSnapAnswerTimeoutSeconds; }

const zmo::RfcWaitSpec kSnapAnswerWait{AnswerTimeout, zmo::kRfcTimeoutTrace,
                                       zmo::kRfcUnknownRcTrace,
                                       "ListenForRfcResponse:Disconnect detected, shutting down\n"};

// The longest exception name kept.
constexpr std::size_t kExceptionMax = 128;

int Failed(int rc) {
  if (rc == RFC_SYS_EXCEPTION) {
    zmo::writeTrace("RFC_SYS_EXCEPTION caught rfcException=<%i>\n", rc);
  } else if (rc == RFC_EXCEPTION) {
    zmo::writeTrace("RFC_EXCEPTION caught rfcException=<%i>\n", rc);
  } else {
    zmo::writeTrace("rfcException=<%i>\n", rc);
  }
  rfcErrorCallback(snapRfcState().exception.c_str());
  return 1;
}

// The library fills the fields; a last byte of zero keeps every trace
// inside its field whatever was left there.
template <std::size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

}  // namespace

int snapCallAndReceive(const SnapCall& call) {
  SnapRfcState& s = snapRfcState();
  s.exception.clear();
  zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
  int rc = zmo::RfcCallAndListen(s.handle, call.function, call.exporting, call.tables,
                                 kSnapAnswerWait, &step, call.afterCallTrace);
  if (step == zmo::RfcCallStep::kStopped) return zmo::kShutdownInProgress;
  if (step == zmo::RfcCallStep::kCall) {
    // Nothing went out, so there is no answer to listen for.
    if (call.absentCallRc != 0 && rc == call.absentCallRc) return kSnapCallAbsent;
    if (call.traceCallRc) zmo::writeTrace("rfcRc <%i> from RfcCall()\n", rc);
    return Failed(rc);
  }
  if (rc == zmo::kShutdownInProgress) {
    zmo::writeTrace("ListenForRfcResponse() shutting down\n");
    return zmo::kShutdownInProgress;
  }
  zmo::writeTrace("rfcRc <%i> from ListenForRfcResponse()\n", rc);
  if (rc != 0) return Failed(rc);

  char* exception = nullptr;
  rc = RfcReceive(s.handle, call.importing, call.tables, &exception);
  zmo::writeTrace("rfcRc <%i> from rfcReceive()\n", rc);
  if ((rc == RFC_EXCEPTION || rc == RFC_SYS_EXCEPTION) && exception != nullptr) {
    s.exception.assign(exception, strnlen(exception, kExceptionMax));
  }
  // Any other result but success is a failure too: nothing of the answer
  // may then be read as if it had come.
  if (rc != RFC_OK) return Failed(rc);
  return 0;
}

void rfcErrorCallback(const char* text) {
  zmo::writeTrace("rfc error occurred\n");
  zmo::writeTrace("operation/code <%s>\n", text != nullptr ? text : "");
  RFC_ERROR_INFO_EX info;
  std::memset(&info, 0, sizeof info);
  RfcLastErrorEx(&info);
  Terminate(info.key);
  Terminate(info.message);
  zmo::writeTrace("key <%s>\n", info.key);
  zmo::writeTrace("message <%s>\n", info.message);
}

void snapInstallRfcErrorCallback() {
  RFC_ENV env;
  std::memset(&env, 0, sizeof env);
  env.errorhandler = rfcErrorCallback;
  RfcEnvironment(&env);
}

RFC_TABLE snapTableParameter(const char* name, ITAB_H table, RFC_TYPEHANDLE type) {
  if (table != ITAB_NULL) ItFree(table);
  return {name, 0, type, ItLeng(table), table, RFC_ITMODE_BYREFERENCE, 0};
}

void snapFixedText(char* out, unsigned n, const char* text) {
  std::memset(out, ' ', n);
  if (text != nullptr) std::memcpy(out, text, strnlen(text, n));
}

}  // namespace zmo::snap
