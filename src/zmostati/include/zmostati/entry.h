// zmostati's entry, its work loop and its one-shot runs.
#pragma once

namespace zmo::stati {

// The process entry: dispatches on argv[1] and returns the exit code.
int statiMain(int argc, char** argv);
// The service work loop: pass by pass until a stop request, or a start-up
// failure, ends it.
int statiServiceRun(int argc, char** argv);
// One pass of the work loop: decides the due interval and collects it when
// it is due. Returns the pass's wait in seconds. The loop's state (last
// interval, schedule) is statiState()'s; storesInterval must be set.
int statiWorkPass();
// One collection run for -nr (settings from the registry) or -np (from the
// command line). 0 when the collection ran and its load (if it started one)
// ended well, kStatiRunFailed when a setting could not be read or the
// collection failed, kStatiRunLoadFailed when the loader it started
// reported a failed load (the records are kept for the next load).
constexpr int kStatiRunFailed = 1;
constexpr int kStatiRunLoadFailed = 2;
int statiRunOnce(int argc, char** argv);
// Parses the -np command line into the settings and the current interval.
// 0, or 1 a file name too long, 2 BinDir too long, 3 unknown database kind,
// 4 a required option missing, 5 and 6 no default server or output file.
constexpr int kStatiCmdFileNameTooLong = 1;
constexpr int kStatiCmdBinDirTooLong = 2;
constexpr int kStatiCmdUnknownDb = 3;
constexpr int kStatiCmdMissingOption = 4;
constexpr int kStatiCmdNoDefaultInFile = 5;
constexpr int kStatiCmdNoDefaultOutFile = 6;
int statiGetParaFromCmdLine(int argc, char** argv);
// Reads ProcessQRBData and the metric switches into statiState().switches.
// Ends the process with exit code 99 when a required value is missing.
void statiGetMetricFilters();

}  // namespace zmo::stati
