// A landscape for whole collection runs (CollectorWorld): the real
// zmogdlib.so and recording stand-ins for zmomsg and zmoloader, simulated
// SAP systems copied from the example landscape (plus one whose system info
// fails), a server file with scrambled passwords, and the registry values of
// a run.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmo_test/collector_world.h"
#include "zmo_test/landscape.h"
#include "zmostati/collect.h"
#include "zmostati/params.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

using namespace zmo::stati;

using zmo_test::kConfiguratorKey;
using zmo_test::TestServer;

// The example servers: four systems of the landscape, one that cannot be
// reached, one whose RFC_SYSTEM_INFO fails.
using zmo_test::kT31;
using zmo_test::kT46;
using zmo_test::kT62;
using zmo_test::kT70;
inline const TestServer kUnreachable{"sapt99.example.net", "T99", "00", "Secret99"};
inline const TestServer kSysInfoFails{"saptsi.example.net", "TSI", "03", "SecretSI"};

// The simulated system behind kSysInfoFails.
inline constexpr const char* kSysInfoFailsSystem =
    "[logon]\nhost = saptsi.example.net\nsysnr = 03\nclient = 100\nuser = ZMOMON\n"
    "password = SecretSI\n\n[system_info]\nsysid = TSI\ndbhost = dbtsi\nrelease = 46C\n\n"
    "[function RFC_SYSTEM_INFO]\nexception = SYSTEM_FAILURE\n";

class CollectWorld : public zmo_test::CollectorWorld<StatiTestEnv> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SetUpWorld());
    WriteRecorder("zmoloader", "[ -f '" + bin_ +
                                   "zmostati.dat' ] && echo 'handover file present'\n"
                                   "[ -f '" +
                                   bin_ + "zmo_stati.dat' ] && echo 'collecting file present'\n");
    for (const char* name : {"T31", "T46", "T62", "T70"}) CopySystem(name);
    WriteSystem("TSI", kSysInfoFailsSystem);
    UseSystems();
    statiResetRfcSession();

    StatiTestEnv::Set("StatiDebug", "True");
    StatiTestEnv::Set("DB", "Oracle");
    StatiTestEnv::Set("BinDir", bin_);
    StatiTestEnv::Set("StatiInput", ServerFile());
    // Local time is UTC: each system's records are where its own offset
    // puts the interval.
    clock_->SetTime(LocalTime(2024, 3, 5, 13, 0));
  }
  void TearDown() override {
    TearDownWorld();
    statiResetRfcSession();
  }

  // An example system with extra appended after a blank line.
  void CopySystem(const std::string& name, const std::string& extra = "") {
    WriteSystem(name, zmo_test::FixtureSystemText(name) + "\n" + extra);
  }

  // The interval of the runs: two days around the systems' records, wide
  // enough for every system's offset.
  static void SetInterval() {
    StatiTestEnv::Fill(&statiState().current, "20240303", "120001", "20240305", "120000");
  }
  // A registry-mode run as the work loop makes it.
  int Collect() {
    statiResetRunState();
    SetInterval();
    EXPECT_EQ(statiGetDefaultAvailFileName(), 0);
    EXPECT_EQ(statiGetParaFromRegistry(), 0);
    return statiStartQuery();
  }

  std::string AvailFile() const { return env_.Dir() + "zmostatiava.dat"; }
  std::string HandOverFile() const { return bin_ + "zmostati.dat"; }
  std::string CollectingFile() const { return bin_ + "zmo_stati.dat"; }

  // The record lines among Oracle lines: the interval lines left out.
  static std::vector<std::string> Records(const std::vector<std::string>& lines) {
    std::vector<std::string> records;
    for (const std::string& l : lines) {
      if (l.empty() || l[0] != 'I') records.push_back(l);
    }
    return records;
  }
  // The interval lines of a destination, each its record kind (T_CODE) and
  // its START_DATE and END_DATE.
  static std::vector<std::string> Intervals(const std::vector<std::string>& lines,
                                            const std::string& dest) {
    std::vector<std::string> intervals;
    for (const std::string& l : lines) {
      if (l.size() == 307 && l[0] == 'I' && l.compare(1, 20, Pad(dest, 20)) == 0) {
        intervals.push_back(l.substr(116, 1) + " " + l.substr(88, 14) + " " + l.substr(102, 14));
      }
    }
    return intervals;
  }
  // Records of a destination ("sapt31_T31_00") among Oracle lines.
  static int CountDestination(const std::vector<std::string>& lines, const std::string& dest) {
    int n = 0;
    for (const std::string& l : Records(lines)) {
      if (l.size() > 21 && l.compare(1, 20, Pad(dest, 20)) == 0) ++n;
    }
    return n;
  }
  // How many statistic records a simulated system file holds.
  int RecordsOf(const std::string& system) const {
    std::ifstream in(sap_ + "/" + system + ".sys");
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n += line.rfind("[record ", 0) == 0 ? 1 : 0;
    return n;
  }

  // The zmomsg arguments of a message text.
  static std::vector<std::string> FirstMessage(const std::string& text) {
    return {"zmomsg", "-P", "STATI", "-M", text};
  }
  static std::vector<std::string> Message(const std::string& text) {
    return {"zmomsg", "-T", "-P", "STATI", "-M", text};
  }
  static std::vector<std::vector<std::string>> StartMessages() {
    return {FirstMessage("Monitoring for Orvane auto loader started"),
            Message("Batch run start date = 20240303"), Message("Batch run start time = 120001"),
            Message("Batch run end date = 20240305"), Message("Batch run end time = 120000")};
  }
  static std::vector<std::string> EndMessage() {
    return Message("Collection of statistic records has ended");
  }
  static std::vector<std::string> Loader(const std::vector<std::string>& extra) {
    std::vector<std::string> v{"zmoloader", "-A",       "-P", "STATI",
                               "-S",        "20240303", "-E", "20240305",
                               "-H",        "10.9.8.7", "-I", std::to_string(getpid())};
    v.insert(v.end(), extra.begin(), extra.end());
    return v;
  }
};
