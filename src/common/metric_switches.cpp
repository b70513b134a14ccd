#include "common/metric_switches.h"

#include <strings.h>

#include <iterator>

#include "zmogdlib/config_key.h"

namespace zmo {
namespace {

constexpr int kStatiCount = static_cast<int>(std::size(cfg::kStatiSwitches));
constexpr int kSlaCount = static_cast<int>(std::size(cfg::kSlaSwitches));
constexpr int kApplCount = static_cast<int>(std::size(cfg::kApplSwitches));
constexpr int kSnapCount = static_cast<int>(std::size(cfg::kSnapSwitches));

static_assert(kSwSLAyes == kStatiCount, "statistics switches out of step with config_key.h");
static_assert(kSwApplCPU == kStatiCount + kSlaCount, "service-level switches out of step");
static_assert(kSwSnapSystemCPU == kStatiCount + kSlaCount + kApplCount,
              "application switches out of step");
static_assert(kMetricSwitchCount == kStatiCount + kSlaCount + kApplCount + kSnapCount,
              "snapshot switches out of step");

constexpr MetricGroupInfo kGroups[kMetricGroupCount] = {
    {kSwStatiCPU, kSwStatiGUInetTime, "Stati"},
    {kSwSLAyes, kSwSLAno, "SLA"},
    {kSwApplCPU, kSwApplGUInetTime, "Appl"},
    {kSwSnapSystemCPU, kSwSnapSessions, "CPU"},
    {kSwSnapQueueLength, kSwSnapDiskUtilization, "Disk"},
    {kSwSnapCollisions, kSwSnapPacketsOut, "LAN"},
    {kSwSnapLogonAble, kSwSnapLogonAble, "Availability"},
};

// A run reads its switches in one of these orders and traces its groups.
struct RunOrder {
  std::array<int, kMetricSwitchCount> switches;
  int switch_count;
  std::array<int, kMetricGroupCount> groups;
  int group_count;
  int other_needs_parts;  // either other-time switch turns on kOtherTimeParts
};

// The times the other time is computed from.
constexpr int kOtherTimeParts[] = {kSwStatiResp, kSwStatiDB, kSwStatiCPU, kSwStatiWait,
                                   kSwStatiLoad};

constexpr RunOrder MakeStatiOrder(bool collector) {
  RunOrder r{};
  int n = 0;
  r.switches[n++] = kSwStatiTransactions;
  r.switches[n++] = kSwStatiPrograms;
  for (int sw = kSwStatiCPU; sw <= kSwStatiGUInetTime; ++sw) r.switches[n++] = sw;
  for (int sw = kSwSLAyes; sw <= kSwApplGUInetTime; ++sw) r.switches[n++] = sw;
  // The statistics script counts active users, so a statistics run reads
  // this switch too; after the others, so their order stays as it was.
  if (!collector) r.switches[n++] = kSwStatiActiveUsers;
  r.switch_count = n;
  r.groups = {kGroupStati, kGroupSla, kGroupAppl};
  r.group_count = 3;
  r.other_needs_parts = collector ? 1 : 0;
  return r;
}

constexpr RunOrder MakeSnapOrder() {
  RunOrder r{};
  int n = 0;
  r.switches[n++] = kSwStatiActiveUsers;
  for (int sw = kSwSnapSystemCPU; sw <= kSwSnapLogonAble; ++sw) r.switches[n++] = sw;
  r.switch_count = n;
  r.groups = {kGroupSnapCpu, kGroupSnapDisk, kGroupSnapLan, kGroupSnapAvail};
  r.group_count = 4;
  return r;
}

constexpr RunOrder kStatiOrder = MakeStatiOrder(false);
constexpr RunOrder kCollectorOrder = MakeStatiOrder(true);
constexpr RunOrder kSnapOrder = MakeSnapOrder();

const RunOrder& OrderOf(MetricRun run) {
  if (run == MetricRun::kSnap) return kSnapOrder;
  if (run == MetricRun::kStatiCollector) return kCollectorOrder;
  return kStatiOrder;
}

}  // namespace

const char* metricSwitchName(int sw) {
  if (sw < 0 || sw >= kMetricSwitchCount) return "";
  if (sw < kSwSLAyes) return cfg::kStatiSwitches[sw];
  if (sw < kSwApplCPU) return cfg::kSlaSwitches[sw - kSwSLAyes];
  if (sw < kSwSnapSystemCPU) return cfg::kApplSwitches[sw - kSwApplCPU];
  return cfg::kSnapSwitches[sw - kSwSnapSystemCPU];
}

const char* metricSwitchTraceName(int sw) {
  if (sw == kSwStatiKBchanged) return "ProcessStatiKBchangede";
  if (sw == kSwApplKBchanged) return "ProcessApplKBchangede";
  return metricSwitchName(sw);
}

const MetricGroupInfo& metricGroupInfo(int group) {
  static constexpr MetricGroupInfo kNone = {0, -1, ""};
  if (group < 0 || group >= kMetricGroupCount) return kNone;
  return kGroups[group];
}

void setAllMetricSwitches(MetricSwitches* s) {
  s->all = true;
  s->on.fill(true);
  s->group.fill(true);
}

void deriveMetricGroups(MetricSwitches* s) {
  for (int g = 0; g < kMetricGroupCount; ++g) {
    bool any = false;
    for (int sw = kGroups[g].first; sw <= kGroups[g].last; ++sw) any = any || s->on[sw];
    s->group[g] = any;
  }
}

ConfigRow metricSwitchRow(const char* name) {
  const ConfigRow* row = findConfigRow({&kProcessQrbDataRow, 1}, name);
  return row != nullptr ? *row : requiredConfigRow(name);
}

bool metricRunReads(MetricRun run, const char* name) {
  if (strcasecmp(name, cfg::kProcessQRBData) == 0) return true;
  const RunOrder& order = OrderOf(run);
  for (int i = 0; i < order.switch_count; ++i) {
    if (strcasecmp(name, metricSwitchName(order.switches[i])) == 0) return true;
  }
  return false;
}

bool isMetricValueName(const char* name) {
  if (strcasecmp(name, cfg::kProcessQRBData) == 0) return true;
  for (int sw = 0; sw < kMetricSwitchCount; ++sw) {
    if (strcasecmp(name, metricSwitchName(sw)) == 0) return true;
  }
  return false;
}

int readMetricSwitches(MetricRun run, MetricValueReader read, MetricTraceFn trace,
                       MetricSwitches* out) {
  *out = MetricSwitches();
  std::string text;
  int rc = read(cfg::kProcessQRBData, &text);
  if (rc != 0) return rc;
  trace("Registry entry %s = <%s>\n", cfg::kProcessQRBData, text.c_str());
  if (text == cfg::kTrue) {
    trace("Registry entry ProcessQRBData auto set every metric filter to process true\n");
    setAllMetricSwitches(out);
    return 0;
  }

  const RunOrder& order = OrderOf(run);
  for (int i = 0; i < order.switch_count; ++i) {
    int sw = order.switches[i];
    rc = read(metricSwitchName(sw), &text);
    if (rc != 0) return rc;
    trace("Registry entry %s = <%s>\n", metricSwitchTraceName(sw), text.c_str());
    out->on[sw] = text == cfg::kTrue;
  }
  if (order.other_needs_parts && (out->on[kSwStatiOther] || out->on[kSwApplOther])) {
    for (int sw : kOtherTimeParts) out->on[sw] = true;
  }
  deriveMetricGroups(out);
  for (int i = 0; i < order.group_count; ++i) {
    int g = order.groups[i];
    trace(out->group[g] ? "%s data will be processed\n" : "%s data will not be processed\n",
          kGroups[g].label);
  }
  return 0;
}

}  // namespace zmo
