// The configuration key and the name of every value under it. All programs
// name the values through these constants, so a name is spelt in one place.
#pragma once

namespace zmo::cfg {

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kConfigKey = "SOFTWARE\\Velmar\\Monitoring for Orvane";

// Switches are on when they hold this text.
inline constexpr const char* kTrue = "True";

// Locations and warehouse logon.
inline constexpr const char* kBinDir = "BinDir";
inline constexpr const char* kStatiInput = "StatiInput";
inline constexpr const char* kSnapInput = "SnapInput";
inline constexpr const char* kDB = "DB";
inline constexpr const char* kOracle = "Oracle";
inline constexpr const char* kINST = "INST";
inline constexpr const char* kUser = "User";
inline constexpr const char* kDSN = "DSN";
inline constexpr const char* kAccess = "Access";

// Debug switches.
inline constexpr const char* kStatiDebug = "StatiDebug";
inline constexpr const char* kSnapDebug = "SnapDebug";
inline constexpr const char* kLoadDebug = "LoadDebug";

// Configurator settings.
inline constexpr const char* kNotation = "Notation";
inline constexpr const char* kSystemSLA = "System_SLA";
inline constexpr const char* kSnapRunDays = "SnapRunDays";
inline constexpr const char* kSnapSleepTime = "SnapSleepTime";
inline constexpr const char* kStatiSchedule = "StatiSchedule";
inline constexpr const char* kStatiSchedule2 = "StatiSchedule2";
inline constexpr const char* kStatiSchedule3 = "StatiSchedule3";
inline constexpr const char* kStatiSchedule4 = "StatiSchedule4";
inline constexpr const char* kStatiSchedule5 = "StatiSchedule5";
inline constexpr const char* kStatiSchedule6 = "StatiSchedule6";
// The six schedule pieces in reading order.
inline constexpr const char* kStatiSchedulePieces[] = {kStatiSchedule,  kStatiSchedule2,
                                                       kStatiSchedule3, kStatiSchedule4,
                                                       kStatiSchedule5, kStatiSchedule6};
inline constexpr const char* kDetailKeepDays = "DetailKeepDays";
inline constexpr const char* kTrendKeepDays = "TrendKeepDays";
inline constexpr const char* kArchiveKeepDays = "ArchiveKeepDays";

// Loader and log sizes.
inline constexpr const char* kStatiOutPut = "StatiOutPut";
inline constexpr const char* kLoaderLogSize = "LoaderLogSize";
inline constexpr const char* kStatiLogSize = "StatiLogSize";
inline constexpr const char* kSnapLogSize = "SnapLogSize";
inline constexpr const char* kPerfLogSize = "PerfLogSize";

// Statistics collector.
inline constexpr const char* kStatiSleepTime = "StatiSleepTime";
inline constexpr const char* kStatiDelayTime = "StatiDelayTime";
inline constexpr const char* kRetrievalWait = "RetrievalWait";
inline constexpr const char* kStatiJob = "StatiJob";
inline constexpr const char* kConvertToGMT = "ConvertToGMT";
inline constexpr const char* kStatiLoaderDebug = "StatiLoaderDebug";
inline constexpr const char* kStatiFilterRecords = "StatiFilterRecords";
inline constexpr const char* kStatiLastStartDate = "StatiLastStartDate";
inline constexpr const char* kStatiLastEndDate = "StatiLastEndDate";
inline constexpr const char* kStatiLastStartTime = "StatiLastStartTime";
inline constexpr const char* kStatiLastEndTime = "StatiLastEndTime";
inline constexpr const char* kStatiLastQueryIntervalEnd = "StatiLastQueryIntervalEnd";
inline constexpr const char* kCustomGroupDate = "CustomGroupDate";

// "True" (or missing): no metric filtering, the switches below are ignored.
inline constexpr const char* kProcessQRBData = "ProcessQRBData";

// The metric switches, by group.
inline constexpr const char* kStatiSwitches[] = {
    "ProcessStatiTransactions", "ProcessStatiPrograms",   "ProcessStatiCPU",
    "ProcessStatiResp",         "ProcessStatiDB",         "ProcessStatiOther",
    "ProcessStatiKBtrans",      "ProcessStatiKBchanged",  "ProcessStatiWait",
    "ProcessStatiMemUsed",      "ProcessStatiLoad",       "ProcessStatiGUI",
    "ProcessStatiGUIcount",     "ProcessStatiGUInetTime", "ProcessStatiActiveUsers"};
inline constexpr const char* kSlaSwitches[] = {"ProcessSLAyes", "ProcessSLAno"};
inline constexpr const char* kApplSwitches[] = {
    "ProcessApplCPU",     "ProcessApplResp",      "ProcessApplDB",       "ProcessApplOther",
    "ProcessApplKBtrans", "ProcessApplKBchanged", "ProcessApplWait",     "ProcessApplMemUsed",
    "ProcessApplLoad",    "ProcessApplGUI",       "ProcessApplGUIcount", "ProcessApplGUInetTime"};
inline constexpr const char* kSnapSwitches[] = {
    "ProcessSnapSystemCPU",       "ProcessSnapUserCPU",     "ProcessSnapIdleCPU",
    "ProcessSnapTotalCPU",        "ProcessSnapUsers",       "ProcessSnapSessions",
    "ProcessSnapQueueLength",     "ProcessSnapServiceTime", "ProcessSnapDiskWaitTime",
    "ProcessSnapDiskUtilization", "ProcessSnapCollisions",  "ProcessSnapInErrors",
    "ProcessSnapOutErrors",       "ProcessSnapPacketsIn",   "ProcessSnapPacketsOut",
    "ProcessSnapLogonAble"};

}  // namespace zmo::cfg
