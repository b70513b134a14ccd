// A private world for one zmosnap test (ProgramTestEnv): its own temp
// directory as program directory (trace log, default server file) and as
// registry store, the common runtime and zmosnap's state reset, helpers to
// set registry values and read the trace log and files back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/console_program.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "rfc/simulator.h"
#include "zmo_test/argv.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmo_test/program_env.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmo_test/trace.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

using zmo_test::LocalMillis;

// argv of one run of the program: "zmosnap", then args.
struct Argv : zmo_test::Argv {
  explicit Argv(std::vector<std::string> args) : zmo_test::Argv("zmosnap", std::move(args)) {}
};

// zmosnap's state and the RFC stand-in back at their start.
inline void SnapResetAll() {
  snapResetState();
  snapResetRecordState();
  snapResetRfcState();
  zmo::rfc::SimReset();
}

class SnapTestEnv : public zmo_test::ProgramTestEnv {
 public:
  SnapTestEnv() : ProgramTestEnv("zmosnap", zmo::SnapProgramConfig(), SnapResetAll) {}

  // Deletes a value of the configuration key when it is there.
  static void Delete(const char* name) { zmo_test::DeleteConfigValue(name); }
  // Every metric switch zmosnap reads, with one value.
  static void SetAllSwitches(const std::string& value) {
    Set(zmo::cfg::kProcessQRBData, value);
    for (const char* name : zmo::cfg::kSnapSwitches) Set(name, value);
  }

  // A file's bytes, or "<none>"; with asTrace the trace form of Trace().
  static std::string Read(const std::string& path, bool asTrace = false) {
    return asTrace ? zmo_test::TraceTextOf(path) : zmo_test::FileText(path);
  }
  // The CR LF lines of a file; a last line without one is marked.
  static std::vector<std::string> Lines(const std::string& path) {
    return zmo_test::FileLines(path);
  }
};
