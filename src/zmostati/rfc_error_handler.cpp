// The RFC error handler: the library calls it with the failing operation,
// the session with its own text; either way the library's last error
// follows in the trace.

#include <cstring>

#include "common/trace_log.h"
#include "rfc/saprfc.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"

namespace zmo::stati {

namespace {

// The library fills the fields; a last byte of zero keeps the trace inside
// each of them whatever it left there.
template <size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

}  // namespace

void statiRfcErrorHandler(const char* text) {
  zmo::writeTrace("rfc error occurred\n");
  zmo::writeTrace("operation/code <%s>\n", text != nullptr ? text : "");
  RFC_ERROR_INFO info;
  std::memset(&info, 0, sizeof info);
  RfcLastError(&info);
  Terminate(info.key);
  Terminate(info.status);
  Terminate(info.message);
  Terminate(info.intstat);
  zmo::writeTrace("key <%s>\n", info.key);
  zmo::writeTrace("status <%s>\n", info.status);
  zmo::writeTrace("message <%s>\n", info.message);
  zmo::writeTrace("internal status <%s> \n", info.intstat);
}

void statiInstallRfcErrorHandler() {
  RFC_ENV env;
  std::memset(&env, 0, sizeof env);
  env.errorhandler = statiRfcErrorHandler;
  RfcEnvironment(&env);
}

}  // namespace zmo::stati
