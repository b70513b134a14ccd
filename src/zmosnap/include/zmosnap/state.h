// zmosnap's process-wide state of the work loop and the cycle, in one struct
// so that tests can reset it. Kept elsewhere: the service flags (console,
// disconnect, stop), the stop event, the trace switch and the database kind
// in the common runtime; the connection and the results of the remote calls
// in snapRfcState() (rfc_calls.h); the server being visited, the
// database-host flag, the GMT flag and the metric switches, which the
// record writers read, in snapRecordState() (records.h).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "zmosnap/entry.h"

namespace zmo::snap {

// The four files of a cycle, in the order the hand-over takes them.
enum SnapFileKind {
  kSnapAvailFile,
  kSnapCpuFile,
  kSnapDiskFile,
  kSnapLanFile,
  kSnapFileCount,
};

// One file of a cycle: the collecting file the records are appended to, the
// name the loader reads, and the file while it is open. The names are set
// when the cycle opens its files, so they stay empty until the first cycle
// of the process has done so.
struct SnapFile {
  std::string collecting;
  std::string handOver;
  std::FILE* file = nullptr;
};

// The settings a cycle reads from the registry (queryRegForFormat).
struct SnapSettings {
  std::string binDir;      // with its trailing separator
  std::string zmomsgPath;  // <BinDir>zmomsg
  std::string loaderPath;  // <BinDir>zmoloader
  std::string serverFile;  // SnapInput, or zmoserver.dat in the own directory
};

// The work loop calls the cycle through this pointer, so that the loop's own
// behaviour can be tested with a stand-in. It starts at the production
// function; snapResetState puts it back.
struct SnapHooks {
  int (*startQuery)(int argc, char** argv) = snapStartQuery;
};

struct SnapState {
  int runCounter = 0;             // passes of the work loop, from 1
  bool runFlag = false;           // collect in this pass
  std::uint32_t sleepMillis = 0;  // wait after this pass

  SnapSettings settings;
  std::array<SnapFile, kSnapFileCount> files;
  std::string inBuffer;  // the server file of the cycle, read whole

  // SIDs (first 3 characters) whose database host was sampled in this cycle.
  std::vector<std::string> knownSystems;

  SnapHooks hooks;
};

// The one instance.
SnapState& snapState();
// Back to the start values: closes any open file, forgets everything, and
// puts the hooks back to the production functions.
void snapResetState();

}  // namespace zmo::snap
