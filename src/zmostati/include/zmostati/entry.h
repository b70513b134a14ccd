// zmostati's entry, its work loop and its one-shot runs.
#pragma once

// The process entry: dispatches on argv[1] and returns the exit code.
int statiMain(int argc, char** argv);
// The service work loop: pass by pass until a stop request, or a start-up
// failure, ends it.
int statiServiceRun(int argc, char** argv);
// One collection run for -nr (settings from the registry) or -np (from the
// command line).
void statiRunOnce(int argc, char** argv);
// Parses the -np command line into the settings and the current interval.
// 0, or 1 a file name too long, 2 BinDir too long, 3 unknown database kind,
// 4 a required option missing, 5 and 6 no default server or output file.
int statiGetParaFromCmdLine(int argc, char** argv);
// Reads ProcessQRBData and the metric switches into statiState().switches.
// Ends the process with exit code 99 when a required value is missing.
void statiGetMetricFilters();
