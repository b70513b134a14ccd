// Placeholder of the collection run, which is not part of this program yet.
// It says so in the trace and fails, so that the work loop never records an
// interval as collected.

#include "common/trace_log.h"
#include "zmostati/collect.h"

int statiStartQuery() {
  zmo::writeTrace("statiStartQuery() collection run not available\n");
  return 1;
}
