// A landscape for whole zmosnap cycles (CollectorWorld): the real
// zmogdlib.so, an ArchiveData directory and recording stand-ins for zmomsg
// and zmoloader, simulated SAP systems copied from the example landscape or
// made for one failure each, a server file with scrambled passwords, and the
// registry values of a cycle.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "snap_test_env.h"
#include "zmo_test/collector_world.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

using zmo_test::kConfiguratorKey;
using zmo_test::TestServer;

// Servers of the example landscape.
using zmo_test::kT46;
using zmo_test::kT4D;
using zmo_test::kT62;
// A second application server of system T46.
inline const TestServer kT46b{"sapt46b.example.net", "T46", "01", "Secret46"};

using zmo_test::MadeSystem;

class SnapWorld : public zmo_test::CollectorWorld<SnapTestEnv> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SetUpWorld());
    // The loader tells which of the four hand-over files it found.
    std::string present;
    for (const char* f : {"zmoavai.dat", "zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan"}) {
      present += "[ -f '" + bin_ + f + "' ] && echo 'found " + f + "'\n";
    }
    WriteRecorder("zmoloader", present);
    for (const char* name : {"T46", "T4D", "T62"}) CopySystem(name);
    UseSystems();

    SnapTestEnv::Set("SnapDebug", "True");
    SnapTestEnv::Set("DB", "Oracle");
    SnapTestEnv::Set("BinDir", bin_);
    SnapTestEnv::Set("SnapInput", ServerFile());
    SnapTestEnv::Set("SnapRunDays", "127");
    SnapTestEnv::Set("SnapSleepTime", "600");
    SnapTestEnv::SetAllSwitches("True");
    // 7 December 2006, 15:30 local time (UTC).
    clock_->SetMillis(LocalMillis(2006, 12, 7, 15, 30));
  }
  void TearDown() override { TearDownWorld(); }

  void CopySystem(const std::string& name) { WriteSystem(name, zmo_test::FixtureSystemText(name)); }
  // The system's file, read anew on the next call.
  void WriteSystem(const std::string& name, const std::string& text) {
    CollectorWorld::WriteSystem(name, text);
    zmo::rfc::SimReset();
  }

  // One cycle as the work loop's first pass makes it.
  int RunCycle() {
    snapState().runCounter = 1;
    EXPECT_EQ(initRfcTables(), 0);
    snapGetMetricFilters();
    return snapStartQuery(0, nullptr);
  }

  static std::vector<std::string> Message(const std::string& text) {
    return {"zmomsg", "-p", "SNAP", "-m", text};
  }
  static std::vector<std::string> StartMessage() {
    return Message("Monitoring for Orvane auto loader started");
  }
  static std::vector<std::string> EndMessage() {
    return Message("Collection of SNAP records has ended");
  }
  static std::vector<std::string> Loader(const std::vector<std::string>& said) {
    std::vector<std::string> v{"zmoloader", "-a",       "-p", "SNAP",
                               "-h",        "10.9.8.7", "-i", std::to_string(getpid())};
    v.insert(v.end(), said.begin(), said.end());
    return v;
  }

  // Collecting and hand-over files by kind.
  std::string Collecting(const char* ext) const {
    return bin_ +
           (std::string(ext) == "avai" ? "zmosnapavai.dat" : "zmosnipsnap." + std::string(ext));
  }
  std::string HandOver(const char* ext) const {
    return bin_ + (std::string(ext) == "avai" ? "zmoavai.dat" : "zmosnap." + std::string(ext));
  }

  // Oracle lines whose RFC destination (columns 1-20) is dest.
  static int CountDestination(const std::vector<std::string>& lines, const std::string& dest) {
    int n = 0;
    for (const std::string& l : lines) n += l.compare(0, 20, Pad(dest, 20)) == 0 ? 1 : 0;
    return n;
  }
  // The availability flag (column 102) of the server's line, or -1.
  static int Available(const std::vector<std::string>& lines, const TestServer& s) {
    for (const std::string& l : lines) {
      if (l.size() == 102 && l.compare(0, 20, Pad(s.Destination(), 20)) == 0) return l[101] - '0';
    }
    return -1;
  }
};
