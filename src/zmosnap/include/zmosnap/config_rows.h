// Every configuration value zmosnap reads, as one table (kSnapValues): its
// name, the longest text taken and what a missing value means. The readers
// read by these rows; the values read through the shared helpers (BinDir,
// DB, SnapLogSize and the switches) have the helpers' rows. The metric
// switches after ProcessQRBData are read as every program reads them
// (metricSwitchRow, MetricRun::kSnap), but for ProcessStatiActiveUsers.
#pragma once

#include "common/collector_settings.h"
#include "common/config_table.h"
#include "common/metric_switches.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"

namespace zmo::snap {

inline constexpr ConfigRow kSnapDebugRow = switchConfigRow(cfg::kSnapDebug);
inline constexpr ConfigRow kConvertToGmtRow = switchConfigRow(cfg::kConvertToGMT);
inline constexpr ConfigRow kSnapLogSizeRow = traceSizeLimitRow(cfg::kSnapLogSize);

// The switch the loader's snapshot run reads and zmosnap never uses: it is
// read untraced, and a missing one reads as off.
inline constexpr ConfigRow kSnapActiveUsersRow =
    switchConfigRow(cfg::kStatiSwitches[kSwStatiActiveUsers]);

// SnapInput names the server file; it is read into a 512-byte buffer.
inline constexpr ConfigRow kSnapInputRow = {.name = cfg::kSnapInput,
                                            .maxChars = 511,
                                            .missing = ConfigMissing::kFail,
                                            .missingCode = kSnapInputMissing,
                                            .type = ConfigType::kText,
                                            .notStringCode = kSnapInputNotString,
                                            .lines = ConfigLines::kStandard};

// Each run time is read into a 128-byte buffer; without both no pass runs.
constexpr ConfigRow snapRunTimeRow(const char* name, int missingCode) {
  return {.name = name,
          .maxChars = 127,
          .missing = ConfigMissing::kFail,
          .missingCode = missingCode,
          .type = ConfigType::kText,
          .notStringCode = missingCode + 1,
          .lines = ConfigLines::kStandard};
}
inline constexpr ConfigRow kSnapRunDaysRow = snapRunTimeRow(cfg::kSnapRunDays, kSnapRunDaysMissing);
inline constexpr ConfigRow kSnapSleepTimeRow =
    snapRunTimeRow(cfg::kSnapSleepTime, kSnapSleepTimeMissing);

// Every value zmosnap reads, in the order of a pass and its cycle.
inline constexpr ConfigRow kSnapValues[] = {
    kSnapDebugRow,    kSnapRunDaysRow, kSnapSleepTimeRow, kProcessQrbDataRow, kSnapActiveUsersRow,
    kConvertToGmtRow, kSnapLogSizeRow, kDbKindRow,        kBinDirRow,         kSnapInputRow,
};

}  // namespace zmo::snap
