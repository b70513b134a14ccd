// One collection run and the steps the work loop and the one-shot runs hand
// over to. The work loop calls them through statiState().hooks, which point
// at these functions unless a test put stand-ins there.
//
// A run: the start and interval messages to the STATI summary log through
// zmomsg; the server file, the statistic data file (collecting file) and the
// availability file; per server the password, the RFC session, the records
// and one availability line; the end message; then, in registry mode, the
// hand-over of the collecting file to zmoloader and its start. A -np run
// writes the -of file and starts no loader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_file.h"
#include "zmostati/schedule.h"

namespace zmo::stati {

// The items of the run in progress; the record writer reads the open files
// and the server being visited from here.
struct StatiCollectRun {
  std::string inBuffer;            // the server file, read whole
  std::FILE* outFile = nullptr;    // statistic data file, appended to
  std::FILE* availFile = nullptr;  // zmostatiava.dat, appended to
  // Length of the statistic data file when the run opened it: a run that
  // does not complete cuts the file back to it. -1 before it was opened.
  std::int64_t outStartSize = -1;
  zmo::ServerLine server;  // the line being visited
  std::string host;        // the host field's text after its last "/"
  std::string shortHost;   // host up to its first "."
  bool failed = false;     // the server's failure mark: availability 0
  // The run stored its interval as collected at the hand-over.
  bool intervalStored = false;
  // The interval lines (without line end) of the records that wait for the
  // loader already: those in the statistic data file before this run and
  // in the hand-over file. Read at the first server that would read its
  // records.
  std::vector<std::string> waiting;
  bool waitingRead = false;
};

// Result of a run that found an earlier run's hand-over and stored that
// interval as collected: the due interval must be decided again.
constexpr int kStatiRunRecovered = 30;

// One collection run: 0 done (whatever happened to single servers, and also
// when the collection was complete but its hand-over failed: the collecting
// file then keeps the records for the next run's hand-over), 1 a file
// failed to open or a step before the hand-over failed, 28 shutdown,
// kStatiRunRecovered nothing collected: an earlier run's interval was
// settled first.
//
// Before it appends, the run writes a mark beside the collecting file
// (<collecting file>.mark, common/run_mark.h); a restart after a kill
// settles that run first: it cuts the collecting file back, or completes
// its hand-over and stores its interval.
int statiStartQuery();
// Installs the RFC library's error handler for this run.
void statiInstallRfcErrorHandler();

// Starts program with argv and waits for it. When argv[0] is the zmoloader
// path the hand-over comes first, and the interval is stored as collected
// (statiStoreCollected) before the loader starts. 0 started, 1 the start
// failed, 29 a hand-over step failed (the loader is then not started; the
// records stay in the collecting file). When an unloaded file is still
// under the hand-over name, the records stay in the collecting file and the
// loader is started for that file. The program's exit code goes to
// *exit_code when given.
int statiExecCommand(const std::string& program, const std::vector<std::string>& argv,
                     int* exit_code = nullptr);

// The run's files (statiState().collect). Each returns 0, or 1 with its
// trace line.
// Reads the settings' server file whole into the buffer.
int statiOpenInFile();
// Opens the statistic data file for appending and notes its length. The
// file is written through a buffer of kStatiOutBufferBytes, so that the
// record lines reach the system in large writes.
int statiOpenOutFile();
constexpr std::size_t kStatiOutBufferBytes = 1 << 20;
int statiOpenAvailFile();
int closeOutFile();
int closeAvailFile();
int statiFreeInBuffer();
// True when the records that the server being visited would now be read
// for wait for the loader already: every interval line it would write is
// in the statistic data file before this run or in the hand-over file. A
// second copy of them would be loaded with the first, so they are not read
// again.
bool statiRecordsWaiting();
// Cuts the statistic data file back to its length at the start of the run,
// so that an interval that will be collected again is not loaded twice,
// and removes the run's mark.
void statiCutBackOutFile();
// The run's mark beside the collecting file.
std::string statiRunMarkPath();
// The interval as the mark holds it, and back. Parse returns 0 or 1.
std::string statiIntervalText(const StatiInterval& interval);
int statiParseIntervalText(const std::string& text, StatiInterval* interval);
// In the work loop: stores the interval as the one collected last and
// notes that the run did. Returns 0, or 1 when the registry refused it.
int statiStoreCollected(const StatiInterval& interval);

// --- Steps of the run -----------------------------------------------------

// The start message and the interval's start and end date and time, each
// sent through zmomsg to the STATI summary log as soon as it is built.
void statiSendStartMessages();
// The end message.
void statiSendEndMessage();
// Visits one server line: password, connection, system info, records,
// close, availability line. 0 (also when the server failed: its line says
// so), 28 when a stop request came.
int statiVisitServer(std::string_view line);

}  // namespace zmo::stati
