// Placeholder of the collection run and the RFC session, which are not part
// of this program yet. Both say so in the trace; the run fails, so that the
// work loop never records an interval as collected.

#include "common/trace_log.h"
#include "zmostati/collect.h"

int statiStartQuery() {
  zmo::writeTrace("statiStartQuery() collection run not available\n");
  return 1;
}

void statiInstallRfcErrorHandler() {
  zmo::writeTrace("statiInstallRfcErrorHandler() rfc session not available\n");
}
