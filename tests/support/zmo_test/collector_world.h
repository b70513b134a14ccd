// The setting of a collector's whole runs, shared by both collectors: a
// BinDir with an ArchiveData directory, the real zmogdlib.so and recording
// stand-ins for the programs the collector starts, a directory of simulated
// SAP systems, the server file, the collector's host name and address, UTC
// as local time and the fake clock. Env is the program's test world
// (ProgramTestEnv).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "zmo_test/children.h"
#include "zmo_test/files.h"
#include "zmo_test/host_env.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"

namespace zmo_test {

template <class Env>
class CollectorWorld : public ::testing::Test {
 protected:
  // The directories, zmogdlib.so and the zmomsg recorder, the host, and the
  // trace switched on. The program's SetUp writes its systems and then puts
  // them in force with UseSystems.
  void SetUpWorld() {
    bin_ = env_.Dir() + "bin/";
    sap_ = env_.Dir() + "sap";
    ASSERT_EQ(mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((bin_ + "ArchiveData").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(sap_.c_str(), 0755), 0);
    ASSERT_EQ(symlink(ZMO_TEST_BIN_DIR "/zmogdlib.so", (bin_ + "zmogdlib.so").c_str()), 0);
    WriteRecorder("zmomsg", "");
    UseHost();
    zmo::SetTraceSwitch(1);
  }
  // The simulated systems written so far, read anew on the next call.
  void UseSystems() {
    setenv(zmo::rfc::kSystemsEnv, sap_.c_str(), 1);
    zmo::rfc::SimReset();
  }
  void TearDownWorld() {
    zmo::rfc::SimReset();
    unsetenv(zmo::rfc::kSystemsEnv);
  }

  // A recorder in BinDir (WriteRecorder) writing to children.log.
  void WriteRecorder(const std::string& name, const std::string& extra) {
    zmo_test::WriteRecorder(bin_ + name, name, env_.Dir() + "children.log", extra);
  }
  void WriteSystem(const std::string& name, const std::string& text) {
    ASSERT_EQ(zmo::WriteFileAtomic(sap_ + "/" + name + ".sys", text), 0);
  }

  static std::string Scramble(const std::string& clear) { return ScramblePassword(clear); }
  static std::string Pad(const std::string& text, size_t width) {
    return zmo_test::Pad(text, width);
  }
  static std::string Record(const TestServer& s, const std::string& stored) {
    return ServerRecord(s, stored);
  }
  static std::string Record(const TestServer& s) { return ServerRecord(s); }

  std::string ServerFile() const { return bin_ + "zmoserver.dat"; }
  // The server file of the servers' records, after before.
  void WriteServers(const std::vector<TestServer>& servers, const std::string& before = "") {
    std::string data = before;
    for (const TestServer& s : servers) data += Record(s);
    ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), data), 0);
  }

  // The programs started, in order: name, then arguments and what it said.
  std::vector<std::vector<std::string>> Children() const {
    return RecordedChildren(env_.Dir() + "children.log");
  }

  static std::string Read(const std::string& path) { return FileText(path); }
  static std::vector<std::string> Lines(const std::string& path) { return FileLines(path); }
  static std::vector<std::string> Files(const std::string& dir) { return SortedFileNames(dir); }

  Env env_;
  ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_;
  std::string bin_;
  std::string sap_;
};

}  // namespace zmo_test
