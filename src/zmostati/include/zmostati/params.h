// zmostati's registry readers and writer: the debug switch, the RFC answer
// time-out, the schedule and the last interval, the collection settings, and
// the StatiLast* values written after a successful collection. They work on
// statiState() and trace through the trace log.
#pragma once

namespace zmo::stati {

// Reads StatiDebug and switches the trace log. 0, or 1 when the key cannot
// be opened.
int statiGetDebugStatusFromRegistry();
// Reads RetrievalWait into the RFC answer time-out (seconds). 0 or 1.
int statiGetWaitTime();
// Reads the last interval, the sleep and delay times and the schedule, and
// parses the schedule. 0, or 1 key, 3 a value not in string form, 4
// StatiSchedule missing, 5 StatiSchedule not a string, 6-21 schedule errors.
int statiGetRunTimes();
// Computes the current interval and sets the due flag. 0, or the internal
// errors 1 and 2.
int statiQueryRegForSleepTime();
// Reads the collection settings and builds the file names and the loader
// arguments for the current interval. 0, or 1 key, 2 DB missing, 3 DB not a
// string, 4 DB unknown, 5 BinDir missing, 6 BinDir not a string, 7 BinDir
// empty, 8 BinDir too long, 9 StatiInput unusable, 10 no default server file.
constexpr int kStatiInputUnusable = 9;
constexpr int kStatiNoDefaultServerFile = 10;
int statiGetParaFromRegistry();
// Writes the last interval as the StatiLast* values. 0, or 1 at the first
// value that could not be set.
int statiSetLastInterval();

// Program directory + zmoserver.dat (zmo::kServerFileName), "zmostatiout.dat", "zmostatiava.dat"
// into the settings' server, output and availability file. 0, or 1 when the
// program directory cannot be had.
int statiGetDefaultInFileName();
int statiGetDefaultOutFileName();
int statiGetDefaultAvailFileName();

// The paths of zmomsg and zmoloader in BinDir, into the settings.
void statiSetProgramPaths();

// zmoloader's argument vector for the current interval (zmo::loaderArgv):
// the loader path, " -A", " -P STATI", " -S", " -E", " -H", " -I" and " -D"
// when loaderDebug. caller names the function in the trace lines of the
// address and the pid.
void statiBuildLdrArg(const char* caller, bool loaderDebug);

}  // namespace zmo::stati
