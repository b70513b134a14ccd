// zmostati's process-wide state, in one struct so that tests can reset it.
// The service flags (console, disconnect, stop) and the trace switch belong
// to the common runtime; everything of the collector itself is here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/metric_switches.h"
#include "zmostati/collect.h"
#include "zmostati/schedule.h"

namespace zmo::stati {

// What one collection run collects and where it writes: read from the
// registry for the service and -nr, from the command line for -np.
struct StatiSettings {
  bool batchFlag = true;       // read batch step records
  bool normalFlag = true;      // read normal records
  bool gmtSwitch = false;      // convert record time stamps to GMT
  bool filterRecords = false;  // StatiFilterRecords present
  std::string binDir;          // with its trailing separator
  std::string serverFile;
  std::string outFile;       // statistic data file the run writes
  std::string handOverFile;  // registry mode only
  std::string availFile;
  std::string zmomsgPath;
  std::string loaderPath;
  // zmoloader's argument vector, element 0 being the loader path; each
  // later element carries its own leading blank.
  std::vector<std::string> ldrArg;
};

// The collection run and the RFC error handler live with the collection and
// session code. The work loop calls them through these pointers, so its own
// behaviour can be tested with stand-ins.
struct StatiHooks {
  int (*startQuery)() = statiStartQuery;
  void (*installRfcErrorHandler)() = statiInstallRfcErrorHandler;
};

// What the record writer has traced once for the pass it belongs to: a
// field cut to its width, a measure out of its width, a time stamp that
// could not be moved to GMT (statrec.h).
struct StatiRecordNotes {
  int pass = -1;        // passCounter the bits belong to
  unsigned traced = 0;  // one bit per kind of note
};

struct StatiState {
  bool due = false;  // the current interval is collected in this pass
  int delayMinutes = 15;
  int sleepSeconds = 60;
  StatiBorderTable borders;
  int passCounter = 0;
  StatiInterval last;           // the interval collected last (StatiLast* values)
  StatiInterval current;        // the interval to collect
  StatiInterval remote;         // current, in the remote system's time
  int remoteOffsetSeconds = 0;  // remote time minus UTC, set by the RFC session
  int rfcTimeoutSeconds = 300;  // RetrievalWait
  StatiSettings settings;
  StatiCollectRun collect;  // the collection run in progress (collect.h)
  // The metric switches, indexed by zmo::MetricSwitch; all set when
  // ProcessQRBData was "True" (no record filter, every measure).
  zmo::MetricSwitches switches;
  StatiRecordNotes recordNotes;
  StatiHooks hooks;
  // The work loop counts a handed-over interval as collected (StatiLast*);
  // a one-shot run does not.
  bool storesInterval = false;
  // The loader this run started ended with a failure (its file is kept).
  bool loadFailed = false;
};

// The one instance.
StatiState& statiState();
// Back to the start values, hooks to the production functions.
void statiResetState();
// Start values of the work loop and of each one-shot run: the settings and
// intervals are cleared, the hooks kept.
void statiResetRunState();

}  // namespace zmo::stati
