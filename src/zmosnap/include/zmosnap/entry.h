// zmosnap's entry, its service work loop, the run-day decision and the
// collection cycle.
//
// A cycle (snapStartQuery): settings, start message, hand-over of the
// previous cycle's files to zmoloader, the server file, the collecting
// files, then per server: connect, system info, XMI logon, user list,
// logoff, the server's snapshot, its database host's snapshot (once per
// system id and cycle), close, availability record.
#pragma once

#include <cstdint>

namespace zmo::snap {

// The program's entry, by argv[1]: none runs the service dispatcher;
// "-debug" runs the work loop in the console for ever; "-sinstall [-auto]",
// "-sremove", "-sstart", "-sstop" control the service (exit 0); "-nr" and
// "-np" run once in the console (exit 0); anything else exits 1.
int snapMain(int argc, char** argv);

// The work loop the service entry calls; runs snapServiceRun.
int snapServiceEntry(int argc, char** argv);
// The work loop: pass by pass until a stop request. 0 at its end, 1 when
// it could not be set up.
int snapServiceRun(int argc, char** argv);

// The console runs: "-nr" one cycle as the service makes it, "-np" the
// command-line run.
void snapRunOnce(int argc, char** argv);
// The "-np" run: options from argv[2] on (-u user, -p clear password,
// -c client, -l language, -i system number, -r host, -s SID, -if server
// file, -dbtype oracle|corva|mssql|sybase|tessel, -d trace on). 0, or 1 when
// the options are refused or a file or the connection failed.
int snapCmdLineRun(int argc, char** argv);

// One collection cycle: 0 after a complete pass over the server file, 1
// after a failure before it, 28 when a stop request arrived.
int snapStartQuery(int argc, char** argv);

// Reads SnapRunDays and SnapSleepTime and decides the pass: sets the run
// flag and the sleep time of snapState(). 0; 1 the key cannot be opened;
// 2/3 SnapRunDays unreadable / not text; 4/5 the same for SnapSleepTime;
// 6 no run days; 7 no sleep time; 8 a sleep time out of range.
// Each value's not-text code is its unreadable code plus one.
constexpr int kSnapRunDaysMissing = 2;
constexpr int kSnapSleepTimeMissing = 4;
constexpr int kSnapNoRunDays = 6;
constexpr int kSnapNoSleepTime = 7;
constexpr int kSnapSleepTimeOutOfRange = 8;
int snapGetRunTimes();

// The decision itself. days is the weekday mask (Monday 1, Tuesday 2, ...
// Sunday 64), seconds the sleep time of a collection day, weekday today's
// day as the C library counts it (Sunday 0 ... Saturday 6). Sets *run and
// *sleepMillis and returns the result as snapGetRunTimes does (0, 6, 7, 8).
int snapDecideRunTimes(long long days, long long seconds, int weekday, bool* run,
                       std::uint32_t* sleepMillis);

// The work loop's waits in milliseconds.
constexpr std::uint32_t kSnapFailureSleepMillis = 300000;  // snapGetRunTimes failed
constexpr std::uint32_t kSnapIdleDaySleepMillis = 600000;  // not a collection day

}  // namespace zmo::snap
