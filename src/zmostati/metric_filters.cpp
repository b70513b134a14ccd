// The metric switches every collection run reads first.

#include <string>

#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// Every switch is required: a missing one ends the process with 99.
int ReadRequired(const char* name, std::string* text) {
  *text = zmo::getRequiredRegValue(name);
  return 0;
}

}  // namespace

void statiGetMetricFilters() {
  zmo::readMetricSwitches(zmo::MetricRun::kStatiCollector, ReadRequired, zmo::writeTrace,
                          &statiState().switches);
}

}  // namespace zmo::stati
