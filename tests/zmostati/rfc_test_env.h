// A private world for the RFC session tests: zmostati's test world
// (registry, program directory, trace log), the RFC stand-in and the session
// reset, a fake clock, and the example landscape or a landscape of the
// test's own made from it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/server_file.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/saprfc.h"
#include "rfc/simulator.h"
#include "stati_test_env.h"
#include "zmo_test/landscape.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace stati_rfc_test {

using namespace zmo::stati;

inline constexpr std::int64_t kStartMs = 1709553600000;  // 2024-03-04 12:00:00 UTC

inline std::string FixtureDir() { return zmo_test::FixtureSystems(); }

// What the server file holds for a system of the example landscape, and
// its password in clear text.
struct FixtureServer {
  zmo::ServerLine line;
  std::string password;
};

inline FixtureServer Fixture(const std::string& system) {
  static const std::map<std::string, const zmo_test::TestServer*> kServers = {
      {"T31", &zmo_test::kT31}, {"T40", &zmo_test::kT40}, {"T45", &zmo_test::kT45},
      {"T46", &zmo_test::kT46}, {"T4D", &zmo_test::kT4D}, {"T62", &zmo_test::kT62},
      {"T70", &zmo_test::kT70},
  };
  const zmo_test::TestServer& s = *kServers.at(system);
  return {{s.host, s.user, "", s.sid, s.client, std::stoi(s.sysnr), s.language}, s.password};
}

// The disconnect flag, as the stop request sets it.
inline void SetDisconnect(int on) { zmo::Runtime().service.disconnect.store(on); }

class StatiRfcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::rfc::SimReset();
    statiResetRfcSession();
    UseLandscape(FixtureDir());
    zmo::SetTraceSwitch(1);
    StatiTestEnv::Set("RetrievalWait", "5");
    // The interval the example systems hold records for, in their own time.
    StatiTestEnv::Fill(&statiState().remote, "20240304", "100001", "20240304", "110000");
  }
  void TearDown() override {
    RfcClose(RFC_HANDLE_NULL);
    zmo::rfc::SimReset();
    statiResetRfcSession();
    unsetenv(zmo::rfc::kSystemsEnv);
  }

  static void UseLandscape(const std::string& dir) {
    setenv(zmo::rfc::kSystemsEnv, dir.c_str(), 1);
  }

  // A landscape of the test's own: the example system with text appended
  // (a [function ...] section, say), and a library.conf when one is given.
  // Returns its directory, which is also put in force.
  std::string OwnLandscape(const std::string& system, const std::string& appended,
                           const std::string& library_conf = "") {
    const std::string dir = (env_.dir() / ("landscape" + std::to_string(++landscapes_))).string();
    std::filesystem::create_directories(dir);
    const std::string text = zmo_test::FixtureSystemText(system);
    EXPECT_EQ(zmo::WriteFileAtomic(dir + "/" + system + ".sys", text + "\n" + appended + "\n"), 0);
    if (!library_conf.empty()) {
      EXPECT_EQ(zmo::WriteFileAtomic(dir + "/library.conf", "[faults]\n" + library_conf + "\n"), 0);
    }
    UseLandscape(dir);
    return dir;
  }

  // Opens a connection to a system of the landscape in force.
  static int Open(const std::string& system) {
    const FixtureServer server = Fixture(system);
    return statiRfcOpen(server.line, server.password.c_str());
  }

  // Connects and runs the session's steps up to the read, as the collection
  // run does; each must succeed.
  static void Prepare(const std::string& system) {
    ASSERT_EQ(Open(system), 0);
    ASSERT_EQ(statiCallRfcSystemInfo(), 0);
    ASSERT_EQ(statiCreateRfcTables(), 0);
    ASSERT_EQ(statiRfcInstallStructures(), 0);
  }

  // The trace log's lines, without their time stamps.
  std::vector<std::string> TraceLines() const {
    std::vector<std::string> lines;
    std::istringstream in(env_.Trace());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The trace lines from the index mark on.
  std::vector<std::string> TraceLinesFrom(size_t mark) const {
    std::vector<std::string> lines = TraceLines();
    return mark < lines.size() ? std::vector<std::string>(lines.begin() + mark, lines.end())
                               : std::vector<std::string>{};
  }
  // The trace lines that start with prefix.
  std::vector<std::string> TraceLinesStarting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : TraceLines()) {
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    }
    return out;
  }

  // The calls the simulated systems received.
  static std::vector<zmo::rfc::SimLogEntry> Calls() {
    std::vector<zmo::rfc::SimLogEntry> calls;
    for (const auto& e : zmo::rfc::SimCallLog()) {
      if (e.event == "call") calls.push_back(e);
    }
    return calls;
  }

  // The lines of the trace that one wait for an answer writes when the
  // registry's RetrievalWait is 5.
  static std::vector<std::string> WaitTimeLines() {
    return {std::string("found value <5> of <RetrievalWait> of subkey <") +
                StatiTestEnv::KeyPath() + ">",
            "Retrieval wait time set to <300>"};
  }

  StatiTestEnv env_;
  zmo::ScopedFakeClock clock_{kStartMs};
  int landscapes_ = 0;
};

// Appends b to a.
inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace stati_rfc_test
