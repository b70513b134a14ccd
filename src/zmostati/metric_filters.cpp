// The metric switches every collection run reads first.

#include <string>

#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

namespace {

StatiMetricSwitch Switch(StatiMetric metric, zmo::MetricSwitch sw) {
  return {metric, sw, zmo::metricSwitchName(sw), zmo::metricSwitchTraceName(sw)};
}

// Every switch is required: a missing one ends the process with 99.
int ReadRequired(const char* name, std::string* text) {
  *text = zmo::getRequiredRegValue(name);
  return 0;
}

}  // namespace

const StatiMetricSwitch kStatiMetricSwitches[kStatiMetricCount] = {
    Switch(kStatiTransactions, zmo::kSwStatiTransactions),
    Switch(kStatiPrograms, zmo::kSwStatiPrograms),
    Switch(kStatiCPU, zmo::kSwStatiCPU),
    Switch(kStatiResp, zmo::kSwStatiResp),
    Switch(kStatiDB, zmo::kSwStatiDB),
    Switch(kStatiOther, zmo::kSwStatiOther),
    Switch(kStatiKBtrans, zmo::kSwStatiKBtrans),
    Switch(kStatiKBchanged, zmo::kSwStatiKBchanged),
    Switch(kStatiWait, zmo::kSwStatiWait),
    Switch(kStatiMemUsed, zmo::kSwStatiMemUsed),
    Switch(kStatiLoad, zmo::kSwStatiLoad),
    Switch(kStatiGUI, zmo::kSwStatiGUI),
    Switch(kStatiGUIcount, zmo::kSwStatiGUIcount),
    Switch(kStatiGUInetTime, zmo::kSwStatiGUInetTime),
    Switch(kSLAyes, zmo::kSwSLAyes),
    Switch(kSLAno, zmo::kSwSLAno),
    Switch(kApplCPU, zmo::kSwApplCPU),
    Switch(kApplResp, zmo::kSwApplResp),
    Switch(kApplDB, zmo::kSwApplDB),
    Switch(kApplOther, zmo::kSwApplOther),
    Switch(kApplKBtrans, zmo::kSwApplKBtrans),
    Switch(kApplKBchanged, zmo::kSwApplKBchanged),
    Switch(kApplWait, zmo::kSwApplWait),
    Switch(kApplMemUsed, zmo::kSwApplMemUsed),
    Switch(kApplLoad, zmo::kSwApplLoad),
    Switch(kApplGUI, zmo::kSwApplGUI),
    Switch(kApplGUIcount, zmo::kSwApplGUIcount),
    Switch(kApplGUInetTime, zmo::kSwApplGUInetTime),
};

void statiGetMetricFilters() {
  StatiState& st = statiState();
  zmo::MetricSwitches read;
  zmo::readMetricSwitches(zmo::kMetricRunStatiCollector, ReadRequired, zmo::writeTrace, &read);
  st.allMetrics = read.all;
  for (const StatiMetricSwitch& s : kStatiMetricSwitches) st.metrics[s.metric] = read.on[s.sw];
}
