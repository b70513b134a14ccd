// A zmostati -nr run in the test's process, on the fake clock, with the
// collector's state fresh and its program directory the test's BinDir.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/runtime_state.h"
#include "platform/clock.h"
#include "rfc/simulator.h"
#include "zmostati/entry.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace warehouse_test {

// The collector's run at the given moment, and everything it starts.
inline void CollectStati(const std::string& bin_dir, std::int64_t at) {
  zmo::rfc::SimReset();
  statiResetRfcSession();
  statiResetState();
  zmo::ResetConsoleRuntime();
  zmo::Runtime().program_dir = bin_dir;
  zmo::Runtime().host_name = [] { return std::string("collector"); };
  zmo::Runtime().ipv4_address = [] { return std::string("10.9.8.7"); };
  zmo::ScopedFakeClock clock(at);
  char program[] = "zmostati";
  char option[] = "-nr";
  char* argv[] = {program, option, nullptr};
  ASSERT_EQ(statiMain(2, argv), 0);
}

}  // namespace warehouse_test
