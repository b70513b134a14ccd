// The metric switches every collection run reads first.

#include <string>

#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

namespace {

}  // namespace

const StatiMetricSwitch kStatiMetricSwitches[kStatiMetricCount] = {
    {kStatiTransactions, "ProcessStatiTransactions", "ProcessStatiTransactions"},
    {kStatiPrograms, "ProcessStatiPrograms", "ProcessStatiPrograms"},
    {kStatiCPU, "ProcessStatiCPU", "ProcessStatiCPU"},
    {kStatiResp, "ProcessStatiResp", "ProcessStatiResp"},
    {kStatiDB, "ProcessStatiDB", "ProcessStatiDB"},
    {kStatiOther, "ProcessStatiOther", "ProcessStatiOther"},
    {kStatiKBtrans, "ProcessStatiKBtrans", "ProcessStatiKBtrans"},
    {kStatiKBchanged, "ProcessStatiKBchanged", "ProcessStatiKBchangede"},
    {kStatiWait, "ProcessStatiWait", "ProcessStatiWait"},
    {kStatiMemUsed, "ProcessStatiMemUsed", "ProcessStatiMemUsed"},
    {kStatiLoad, "ProcessStatiLoad", "ProcessStatiLoad"},
    {kStatiGUI, "ProcessStatiGUI", "ProcessStatiGUI"},
    {kStatiGUIcount, "ProcessStatiGUIcount", "ProcessStatiGUIcount"},
    {kStatiGUInetTime, "ProcessStatiGUInetTime", "ProcessStatiGUInetTime"},
    {kSLAyes, "ProcessSLAyes", "ProcessSLAyes"},
    {kSLAno, "ProcessSLAno", "ProcessSLAno"},
    {kApplCPU, "ProcessApplCPU", "ProcessApplCPU"},
    {kApplResp, "ProcessApplResp", "ProcessApplResp"},
    {kApplDB, "ProcessApplDB", "ProcessApplDB"},
    {kApplOther, "ProcessApplOther", "ProcessApplOther"},
    {kApplKBtrans, "ProcessApplKBtrans", "ProcessApplKBtrans"},
    {kApplKBchanged, "ProcessApplKBchanged", "ProcessApplKBchangede"},
    {kApplWait, "ProcessApplWait", "ProcessApplWait"},
    {kApplMemUsed, "ProcessApplMemUsed", "ProcessApplMemUsed"},
    {kApplLoad, "ProcessApplLoad", "ProcessApplLoad"},
    {kApplGUI, "ProcessApplGUI", "ProcessApplGUI"},
    {kApplGUIcount, "ProcessApplGUIcount", "ProcessApplGUIcount"},
    {kApplGUInetTime, "ProcessApplGUInetTime", "ProcessApplGUInetTime"},
};

namespace {

bool AnyOn(const std::array<int, kStatiMetricCount>& m, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (m[i]) return true;
  }
  return false;
}

}  // namespace

void statiGetMetricFilters() {
  std::array<int, kStatiMetricCount>& m = statiState().metrics;
  const std::string all = zmo::getRequiredRegValue(zmo::cfg::kProcessQRBData);
  zmo::writeTrace("Registry entry %s = <%s>\n", zmo::cfg::kProcessQRBData, all.c_str());
  statiState().allMetrics = all == zmo::cfg::kTrue ? 1 : 0;
  if (all == zmo::cfg::kTrue) {
    zmo::writeTrace(
        "Registry entry ProcessQRBData auto set every metric filter to process true\n");
    m.fill(1);
    return;
  }
  m.fill(0);
  for (const StatiMetricSwitch& s : kStatiMetricSwitches) {
    const std::string text = zmo::getRequiredRegValue(s.name);
    zmo::writeTrace("Registry entry %s = <%s>\n", s.traceName, text.c_str());
    m[s.metric] = text == zmo::cfg::kTrue ? 1 : 0;
  }
  // The other-time metrics are derived from these five.
  if (m[kStatiOther] || m[kApplOther]) {
    for (StatiMetric x : {kStatiResp, kStatiDB, kStatiCPU, kStatiWait, kStatiLoad}) m[x] = 1;
  }
  zmo::writeTrace(AnyOn(m, kStatiCPU, kStatiGUInetTime) ? "Stati data will be processed\n"
                                                        : "Stati data will not be processed\n");
  zmo::writeTrace(m[kSLAyes] || m[kSLAno] ? "SLA data will be processed\n"
                                          : "SLA data will not be processed\n");
  zmo::writeTrace(AnyOn(m, kApplCPU, kApplGUInetTime) ? "Appl data will be processed\n"
                                                      : "Appl data will not be processed\n");
}
