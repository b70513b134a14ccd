// The metric switches a service cycle reads before it collects.

#include <string>

#include "common/config_table.h"
#include "common/config_values.h"
#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/config_rows.h"
#include "zmosnap/records.h"

namespace zmo::snap {

namespace {

// Every switch is required (a missing one ends the process with 99), but
// for the one the loader's snapshot run reads and zmosnap never uses: it
// is only traced.
int ReadSwitch(const char* name, std::string* text) {
  if (std::string(name) != kSnapActiveUsersRow.name) {
    *text = zmo::getRequiredRegValue(name);
    return 0;
  }
  text->clear();
  zmo::ConfigKey key;
  if (key.Open()) zmo::readConfigValue(key.get(), kSnapActiveUsersRow, zmo::ConfigReader{}, text);
  return 0;
}

}  // namespace

void snapGetMetricFilters() {
  zmo::MetricSwitches& m = snapRecordState().switches;
  if (m.all) {
    // ProcessQRBData was "True" earlier in the process: it stays so.
    const std::string qrb = zmo::getRequiredRegValue(zmo::cfg::kProcessQRBData);
    zmo::writeTrace("Registry entry %s = <%s>\n", zmo::cfg::kProcessQRBData, qrb.c_str());
    zmo::writeTrace("Registry entry ProcessQRBData auto set every metric filter to process true\n");
    return;
  }
  zmo::MetricSwitches now;
  zmo::readMetricSwitches(zmo::MetricRun::kSnap, ReadSwitch, zmo::writeTrace, &now);
  // A switch is only ever set: once on, it stays on until the process ends.
  if (now.all) {
    zmo::setAllMetricSwitches(&m);
    return;
  }
  for (int sw = 0; sw < zmo::kMetricSwitchCount; ++sw) m.on[sw] = m.on[sw] || now.on[sw];
  zmo::deriveMetricGroups(&m);
}

}  // namespace zmo::snap
