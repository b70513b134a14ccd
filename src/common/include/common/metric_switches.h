// The metric switches and their groups, as the collectors and the loader read
// them. The names are those of config_key.h; this header numbers them, names
// the groups they form and reads them in the order a run reads them.
#pragma once

#include <array>
#include <string>

#include "common/config_table.h"
#include "zmogdlib/config_key.h"

namespace zmo {

// Every switch, in the order of the name arrays kStatiSwitches,
// kSlaSwitches, kApplSwitches and kSnapSwitches one after the other.
enum MetricSwitch {
  kSwStatiTransactions,
  kSwStatiPrograms,
  kSwStatiCPU,
  kSwStatiResp,
  kSwStatiDB,
  kSwStatiOther,
  kSwStatiKBtrans,
  kSwStatiKBchanged,
  kSwStatiWait,
  kSwStatiMemUsed,
  kSwStatiLoad,
  kSwStatiGUI,
  kSwStatiGUIcount,
  kSwStatiGUInetTime,
  kSwStatiActiveUsers,
  kSwSLAyes,
  kSwSLAno,
  kSwApplCPU,
  kSwApplResp,
  kSwApplDB,
  kSwApplOther,
  kSwApplKBtrans,
  kSwApplKBchanged,
  kSwApplWait,
  kSwApplMemUsed,
  kSwApplLoad,
  kSwApplGUI,
  kSwApplGUIcount,
  kSwApplGUInetTime,
  kSwSnapSystemCPU,
  kSwSnapUserCPU,
  kSwSnapIdleCPU,
  kSwSnapTotalCPU,
  kSwSnapUsers,
  kSwSnapSessions,
  kSwSnapQueueLength,
  kSwSnapServiceTime,
  kSwSnapDiskWaitTime,
  kSwSnapDiskUtilization,
  kSwSnapCollisions,
  kSwSnapInErrors,
  kSwSnapOutErrors,
  kSwSnapPacketsIn,
  kSwSnapPacketsOut,
  kSwSnapLogonAble,
  kMetricSwitchCount,
};

// The groups that decide which files and statements are generated.
enum MetricGroup {
  kGroupStati,
  kGroupSla,
  kGroupAppl,
  kGroupSnapCpu,
  kGroupSnapDisk,
  kGroupSnapLan,
  kGroupSnapAvail,
  kMetricGroupCount,
};

// A group is on when any switch from first to last (inclusive) is on; label
// names it in the "<label> data will be processed" trace line.
struct MetricGroupInfo {
  int first;
  int last;
  const char* label;
};

// The registry value name of a switch ("" outside the table).
const char* metricSwitchName(int sw);
// The name its "Registry entry <name> = <...>" trace line gives: the value
// name, but the two KBchanged switches are traced as "...KBchangede".
const char* metricSwitchTraceName(int sw);
const MetricGroupInfo& metricGroupInfo(int group);

struct MetricSwitches {
  bool all = false;  // ProcessQRBData was "True": no filtering at all
  std::array<bool, kMetricSwitchCount> on{};
  std::array<bool, kMetricGroupCount> group{};
};

// Every switch and every group on (no filtering).
void setAllMetricSwitches(MetricSwitches* s);
// Sets each group from its switches.
void deriveMetricGroups(MetricSwitches* s);

// Which collection a run belongs to, and so which switches it reads:
// statistics runs ProcessStatiTransactions, ProcessStatiPrograms, the
// statistics, service-level and application metrics and last
// ProcessStatiActiveUsers; snapshot runs ProcessStatiActiveUsers and the
// snapshot metrics. The statistics collector's run reads the statistics
// run's switches but ProcessStatiActiveUsers (it counts no users), and as it
// computes the other time from response, database, CPU, wait and load time,
// either other-time switch turns those five statistics switches on.
enum class MetricRun { kStati, kSnap, kStatiCollector };

// Reads one value: 0 and its text, or a non-zero status that ends the read
// (a required value that is missing).
using MetricValueReader = int (*)(const char* name, std::string* text);
// A printf-style trace writer.
using MetricTraceFn = int (*)(const char* format, ...);

// ProcessQRBData: a missing one reads as "True" (no filtering).
inline constexpr ConfigRow kProcessQrbDataRow = {
    .name = cfg::kProcessQRBData, .missing = ConfigMissing::kDefault, .defaultText = cfg::kTrue};

// The row a run reads a switch by: kProcessQrbDataRow for ProcessQRBData;
// every other switch is required.
ConfigRow metricSwitchRow(const char* name);
// True when run reads name (without regard to case): ProcessQRBData or one
// of the run's switches.
bool metricRunReads(MetricRun run, const char* name);
// True when name (without regard to case) is ProcessQRBData or a switch that
// some run reads: the names a reader takes to metricSwitchRow.
bool isMetricValueName(const char* name);

// Reads ProcessQRBData first (the reader gives "True" for a missing one).
// When it is "True" every switch and group is set and nothing else is read;
// otherwise the run's switches are read in order, each traced, a switch being
// on when its text is exactly "True", and the run's groups are derived (after
// the switches the run derives) and traced. Returns 0, or the reader's status at the first value it
// refused (the switches read so far stay set).
int readMetricSwitches(MetricRun run, MetricValueReader read, MetricTraceFn trace,
                       MetricSwitches* out);

}  // namespace zmo
