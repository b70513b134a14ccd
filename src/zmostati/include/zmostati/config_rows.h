// Every configuration value zmostati reads, as one table (kStatiValues): its
// name, the longest text taken and what a missing value means. The readers
// read by these rows; the values read through the shared helpers (BinDir,
// DB, StatiLogSize, ConvertToGMT and the two that only need to exist) have
// the helpers' rows. The metric switches after ProcessQRBData are read as
// every program reads them (metricSwitchRow, MetricRun::kStatiCollector).
#pragma once

#include <cstddef>
#include <iterator>

#include "common/collector_settings.h"
#include "common/config_table.h"
#include "common/metric_switches.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"

namespace zmo::stati {

// StatiDebug is read into a 6-byte buffer; on when it is exactly "True".
inline constexpr ConfigRow kStatiDebugRow = {.name = cfg::kStatiDebug,
                                             .maxChars = 5,
                                             .missing = ConfigMissing::kDefault,
                                             .type = ConfigType::kText};

// StatiJob: which jobs to query, read into a 128-byte buffer; any value but
// 1, 2 or 3 in its two low bits queries both.
inline constexpr ConfigRow kStatiJobRow = {.name = cfg::kStatiJob,
                                           .maxChars = 127,
                                           .missing = ConfigMissing::kDefault,
                                           .type = ConfigType::kTextOrMissing,
                                           .lines = ConfigLines::kStandard};

// StatiInput: the server file; a missing one is the default file. Read
// whatever its length, so that a long one is refused.
inline constexpr ConfigRow kStatiInputRow = {.name = cfg::kStatiInput,
                                             .missing = ConfigMissing::kDefault,
                                             .type = ConfigType::kText,
                                             .notStringCode = 9,
                                             .lines = ConfigLines::kStandard};

// The two switches that are on when they exist, whatever they hold.
inline constexpr ConfigRow kStatiFilterRecordsRow = quietConfigRow(cfg::kStatiFilterRecords);
inline constexpr ConfigRow kStatiLoaderDebugRow = quietConfigRow(cfg::kStatiLoaderDebug);
inline constexpr ConfigRow kConvertToGmtRow = switchConfigRow(cfg::kConvertToGMT);
inline constexpr ConfigRow kStatiLogSizeRow = traceSizeLimitRow(cfg::kStatiLogSize);

inline constexpr size_t kStatiDateChars = 8;
inline constexpr size_t kStatiTimeChars = 6;
inline constexpr size_t kStatiNumberChars = 20;

// A part of the last interval: a missing one is the empty interval's; one
// that is not text refuses the pass.
constexpr ConfigRow statiLastPartRow(const char* name, size_t maxChars, ConfigFound found) {
  return {.name = name,
          .maxChars = maxChars,
          .missing = ConfigMissing::kDefault,
          .type = ConfigType::kText,
          .notStringCode = 3,
          .lines = ConfigLines::kAssumingDefault,
          .found = found};
}
inline constexpr ConfigRow kStatiLastStartDateRow =
    statiLastPartRow(cfg::kStatiLastStartDate, kStatiDateChars, ConfigFound::kText);
inline constexpr ConfigRow kStatiLastEndDateRow =
    statiLastPartRow(cfg::kStatiLastEndDate, kStatiDateChars, ConfigFound::kText);
inline constexpr ConfigRow kStatiLastEndTimeRow =
    statiLastPartRow(cfg::kStatiLastEndTime, kStatiTimeChars, ConfigFound::kText);
inline constexpr ConfigRow kStatiLastStartTimeRow =
    statiLastPartRow(cfg::kStatiLastStartTime, kStatiTimeChars, ConfigFound::kText);
inline constexpr ConfigRow kStatiLastEndCountRow =
    statiLastPartRow(cfg::kStatiLastQueryIntervalEnd, kStatiNumberChars, ConfigFound::kNumber);

// A number with its default; a value of the other type is refused with 3
// where the row takes text only.
constexpr ConfigRow statiNumberRow(const char* name, const char* defaultText, ConfigType type,
                                   ConfigLines lines, const char* unit = "",
                                   ConfigFound found = ConfigFound::kQuiet) {
  return {.name = name,
          .maxChars = kStatiNumberChars,
          .missing = ConfigMissing::kDefault,
          .defaultText = defaultText,
          .type = type,
          .notStringCode = 3,
          .lines = lines,
          .unit = unit,
          .found = found};
}
// Seconds between passes; a value that cannot be used is the default.
inline constexpr ConfigRow kStatiSleepTimeRow =
    statiNumberRow(cfg::kStatiSleepTime, "60", ConfigType::kTextOrMissing,
                   ConfigLines::kSettingDefault, "seconds");
// Minutes an interval's end lies back from its border.
inline constexpr ConfigRow kStatiDelayTimeRow =
    statiNumberRow(cfg::kStatiDelayTime, "15", ConfigType::kText, ConfigLines::kAssumingDefault);
// Minutes an answer of the system is waited for.
inline constexpr ConfigRow kRetrievalWaitRow =
    statiNumberRow(cfg::kRetrievalWait, "5", ConfigType::kTextOrMissing,
                   ConfigLines::kSettingDefault, "minutes", ConfigFound::kInt);

// The six pieces of the schedule, joined. Only the first must exist.
constexpr ConfigRow statiSchedulePieceRow(int index) {
  return {.name = cfg::kStatiSchedulePieces[index],
          .maxChars = 90,
          .missing = index == 0 ? ConfigMissing::kFail : ConfigMissing::kDefault,
          .missingCode = 4,
          .type = ConfigType::kText,
          .notStringCode = 5,
          .lines = ConfigLines::kStandard,
          .found = ConfigFound::kText};
}
inline constexpr ConfigRow kStatiSchedulePieceRows[] = {
    statiSchedulePieceRow(0), statiSchedulePieceRow(1), statiSchedulePieceRow(2),
    statiSchedulePieceRow(3), statiSchedulePieceRow(4), statiSchedulePieceRow(5)};
static_assert(std::size(kStatiSchedulePieceRows) == std::size(cfg::kStatiSchedulePieces));

// Every value zmostati reads, in the order of a pass and its collection.
inline constexpr ConfigRow kStatiValues[] = {
    kStatiDebugRow,
    kStatiLastStartDateRow,
    kStatiLastEndDateRow,
    kStatiLastEndTimeRow,
    kStatiLastStartTimeRow,
    kStatiLastEndCountRow,
    kStatiSleepTimeRow,
    kStatiDelayTimeRow,
    kStatiSchedulePieceRows[0],
    kStatiSchedulePieceRows[1],
    kStatiSchedulePieceRows[2],
    kStatiSchedulePieceRows[3],
    kStatiSchedulePieceRows[4],
    kStatiSchedulePieceRows[5],
    kStatiFilterRecordsRow,
    kConvertToGmtRow,
    kDbKindRow,
    kStatiJobRow,
    kStatiLogSizeRow,
    kBinDirRow,
    kStatiLoaderDebugRow,
    kStatiInputRow,
    kProcessQrbDataRow,
    kRetrievalWaitRow,
};

}  // namespace zmo::stati
