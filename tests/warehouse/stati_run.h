// A zmostati -nr collection inside the test's process, as the whole-road
// tests run it: on the fake clock, with the collector's state reset first,
// and everything it starts (the real zmoloader and its batch).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/runtime_state.h"
#include "platform/clock.h"
#include "rfc/simulator.h"
#include "zmo_test/host_env.h"
#include "zmostati/entry.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace warehouse_test {

using namespace zmo::stati;

// Forgets what an earlier collection left: the simulated systems' state,
// the RFC session, the collector's state and the console runtime.
inline void ResetCollector() {
  zmo::rfc::SimReset();
  statiResetRfcSession();
  statiResetState();
  zmo::ResetConsoleRuntime();
}

// The collector's process state of a fresh start, with program_dir as its
// directory and a fixed host name and address.
inline void PrepareStatiCollector(const std::string& program_dir) {
  ResetCollector();
  zmo::Runtime().program_dir = program_dir;
  zmo_test::UseHost();
}

// Runs zmostati -nr at the moment at with program_dir as its directory;
// expects its exit code: 0, or kStatiRunLoadFailed when its load fails.
inline void RunStatiCollection(const std::string& program_dir, std::int64_t at, int exit_code = 0) {
  PrepareStatiCollector(program_dir);
  zmo::ScopedFakeClock clock(at);
  char program[] = "zmostati";
  char option[] = "-nr";
  char* argv[] = {program, option, nullptr};
  ASSERT_EQ(statiMain(2, argv), exit_code);
}

}  // namespace warehouse_test
