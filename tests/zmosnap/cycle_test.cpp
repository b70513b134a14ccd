// Whole collection cycles against simulated SAP systems: what each kind of
// server failure leaves in the files, the database host sampled once per
// system and cycle, a stop in the middle of a call, and the failures that
// end a cycle before its servers.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/service_control.h"
#include "rfc/simulator.h"
#include "snap_world.h"
#include "zmo_test/matchers.h"

using namespace zmo::snap;

namespace {

using ::testing::Not;
using zmo_test::HasText;
using zmo_test::HasTextTimes;

// Servers that fail at one step each.
const TestServer kRefused{"sapt99.example.net", "T99", "00", "Secret99"};
const TestServer kNoSysInfo{"saptsi.example.net", "TSI", "03", "SecretSI"};
const TestServer kNoLogon{"saptxl.example.net", "TXL", "04", "SecretXL"};
const TestServer kNoUsers{"saptul.example.net", "TUL", "05", "SecretUL"};

class Cycle : public SnapWorld {
 protected:
  void SetUp() override {
    SnapWorld::SetUp();
    WriteSystem("TSI", MadeSystem(kNoSysInfo,
                                  "[function RFC_SYSTEM_INFO]\n"
                                  "exception = SYSTEM_FAILURE\n"));
    WriteSystem("TXL", MadeSystem(kNoLogon, "[function SXMI_LOGON]\nexception = LOGON_REFUSED\n"));
    WriteSystem("TUL", MadeSystem(kNoUsers,
                                  "[function SXMI_XMB_USER_LIST_READ]\n"
                                  "exception = NO_LIST\n"));
  }
  // Calls of a function module in the call log, optionally only those with
  // a logical destination.
  static int Calls(const std::string& function, bool withDestination = false) {
    int n = 0;
    for (const zmo::rfc::SimLogEntry& e : zmo::rfc::SimCallLog()) {
      if (e.event != "call" || e.function != function) continue;
      bool has = false;
      for (const auto& [name, value] : e.values) has |= name == "LOGICAL_DESTINATION";
      if (!withDestination || has) ++n;
    }
    return n;
  }
  static int Opens() {
    int n = 0;
    for (const zmo::rfc::SimLogEntry& e : zmo::rfc::SimCallLog()) n += e.event == "open";
    return n;
  }
};

TEST_F(Cycle, PerServerMatrix) {
  WriteServers({kRefused, kNoSysInfo, kNoLogon, kNoUsers, kT46});
  ASSERT_EQ(RunCycle(), 0);

  const auto avail = Lines(Collecting("avai"));
  const auto cpu = Lines(Collecting("cpu"));
  const auto disk = Lines(Collecting("dsk"));
  const auto lan = Lines(Collecting("lan"));
  ASSERT_EQ(avail.size(), 5u) << "one line per server";
  const struct {
    const TestServer* server;
    int available;
    int cpu, disk, lan;  // the server's own lines
    int db;              // lines of its database host in each file
  } rows[] = {
      {&kRefused, 0, 0, 0, 0, 0},    // no connection
      {&kNoSysInfo, 0, 0, 0, 0, 0},  // nothing after the failed system info
      {&kNoLogon, 0, 1, 1, 1, 1},    // the snapshot comes all the same
      {&kNoUsers, 0, 1, 1, 1, 1},   {&kT46, 1, 1, 2, 1, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.server->sid);
    EXPECT_EQ(Available(avail, *r.server), r.available);
    EXPECT_EQ(CountDestination(cpu, r.server->Destination()), r.cpu);
    EXPECT_EQ(CountDestination(disk, r.server->Destination()), r.disk);
    EXPECT_EQ(CountDestination(lan, r.server->Destination()), r.lan);
    EXPECT_EQ(CountDestination(cpu, r.server->DbDestination()), r.db);
    EXPECT_EQ(CountDestination(disk, r.server->DbDestination()), r.db);
    EXPECT_EQ(CountDestination(lan, r.server->DbDestination()), r.db);
  }
  // The label of a server that was not available.
  for (const std::string& l : avail) {
    const std::string label = l.substr(50, 34);
    EXPECT_EQ(label, l.back() == '1' ? Pad("T46_dbt46", 34) : Pad("NOT KNOWN", 34)) << l;
  }
  // The user count (columns 193-200) comes only from a user list read;
  // the database host's line carries that of its application server.
  const std::map<std::string, std::string> users = {
      {"sapt46", "14"}, {"saptxl", "0"}, {"saptul", "0"}};
  for (const std::string& l : cpu) {
    ASSERT_EQ(l.size(), 208u) << l;
    EXPECT_EQ(l.substr(192, 8), Pad(users.at(l.substr(0, 6)), 8)) << l;
  }
  EXPECT_THAT(env_.Trace(), HasText("inserting <0> for user data in file <" + Collecting("cpu") +
                                    "> due to unsuccessfull xmi call\n"));

  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("RfcOpen() returned unsuccessfully\n"));
  EXPECT_THAT(trace, HasText("callRfcSystemInfo() failed\nabout to close the connection\n"));
  EXPECT_THAT(trace,
              HasText("callXmiLogon() failed\nabout to call callFillSnapshotData(NULL,NULL)\n"));
  EXPECT_THAT(trace, HasText("callSxmiXmbUserListRead() failed\nabout to call callXmiLogoff()\n"));
  EXPECT_THAT(trace,
              HasText("about to connect to host <saptxl.example.net>, sid <TXL>, client <100>, "
                      "sysnumber <04> with user <ZMOMON> language <E>\n"));
  EXPECT_THAT(trace, HasText("about to close snipsnap and availablity files\n"));
}

TEST_F(Cycle, FilesAndMessagesOfACompleteCycle) {
  WriteServers({kT46});
  ASSERT_EQ(RunCycle(), 0);
  // The first cycle of a process has nothing to hand over: no loader.
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{StartMessage()}));
  EXPECT_EQ(Files(bin_),
            (std::vector<std::string>{"ArchiveData", "zmogdlib.so", "zmoloader", "zmomsg",
                                      "zmoserver.dat", "zmosnapavai.dat", "zmosnipsnap.cpu",
                                      "zmosnipsnap.dsk", "zmosnipsnap.lan"}));
  for (const SnapFile& f : snapState().files) EXPECT_EQ(f.file, nullptr) << f.collecting;
  EXPECT_TRUE(snapState().knownSystems.empty());
  EXPECT_TRUE(snapState().inBuffer.empty());
  EXPECT_THAT(env_.Trace(), HasText("snapStartQuery() LoadString returned unsuccessfully\n"));
}

TEST_F(Cycle, DatabaseHostOncePerSystemAndCycle) {
  WriteSystem("T46b", MadeSystem(kT46b, ""));
  WriteServers({kT46, kT46b, kT4D});
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(Calls("J_8C1_GET_DB_LOG_DEST"), 2) << "T46 and T4D, not T46 again";
  EXPECT_EQ(Calls("FILL_SNAPSHOT_DATA", true), 2);
  EXPECT_EQ(Calls("FILL_SNAPSHOT_DATA"), 5);
  const auto cpu = Lines(Collecting("cpu"));
  EXPECT_EQ(CountDestination(cpu, kT46.DbDestination()), 1);
  EXPECT_EQ(CountDestination(cpu, kT46b.DbDestination()), 0);
  EXPECT_EQ(CountDestination(cpu, kT4D.DbDestination()), 1);
  EXPECT_EQ(CountDestination(cpu, kT46b.Destination()), 1) << "its own snapshot all the same";
  EXPECT_THAT(env_.Trace(), HasText("db info was already retrieved for this system\n"));

  // The next cycle knows no system yet.
  zmo::rfc::SimClearCallLog();
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(Calls("J_8C1_GET_DB_LOG_DEST"), 2);
}

TEST_F(Cycle, SystemWithoutTheDestinationModuleHasNoDatabaseRows) {
  const TestServer plain{"saptnd.example.net", "TND", "06", "SecretND"};
  WriteSystem("TND", MadeSystem(plain, "", false));
  WriteServers({plain});
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(Calls("J_8C1_GET_DB_LOG_DEST"), 0);
  EXPECT_EQ(Calls("FILL_SNAPSHOT_DATA", true), 0);
  EXPECT_EQ(CountDestination(Lines(Collecting("cpu")), plain.DbDestination()), 0);
  EXPECT_EQ(Available(Lines(Collecting("avai")), plain), 1);
}

TEST_F(Cycle, FailedDestinationCallEndsTheDatabaseBranch) {
  WriteSystem("T46", MadeSystem(kT46, "[function J_8C1_GET_DB_LOG_DEST]\nexception = NO_DB\n"));
  WriteSystem("T46b", MadeSystem(kT46b, ""));
  WriteServers({kT46, kT46b});
  ASSERT_EQ(RunCycle(), 0);
  // No snapshot under the first server's label; the second server of the
  // system tries again, since the first got nothing.
  EXPECT_EQ(CountDestination(Lines(Collecting("cpu")), kT46.DbDestination()), 0);
  EXPECT_EQ(CountDestination(Lines(Collecting("cpu")), kT46b.DbDestination()), 1);
  EXPECT_EQ(Calls("FILL_SNAPSHOT_DATA", true), 1);
  EXPECT_THAT(env_.Trace(), HasText("db info for this system not retrieved. callJ8c1GetDbLogDest() "
                                    "returned unsuccessfully\n"));
}

TEST_F(Cycle, StopDuringACallEndsWith28AndKeepsTheFiles) {
  WriteSystem("T4D", [] {
    std::string t;
    zmo::ReadWholeFile(std::string(ZMO_TEST_FIXTURES) + "/sap/T4D.sys", &t);
    return t + "\n[function FILL_SNAPSHOT_DATA]\ndelay_ms = 20000\n";
  }());
  WriteServers({kT46, kT4D, kT62});
  const std::int64_t start = clock_->NowMillis();
  clock_->SetAdvanceHook([start](std::int64_t now) {
    if (now - start >= 5000 && !zmo::DisconnectFlag()) zmo::serviceStopRequest();
  });
  EXPECT_EQ(RunCycle(), zmo::kShutdownInProgress);

  // What T46 gave stays; T4D's availability never came, T62 was not visited.
  const auto avail = Lines(Collecting("avai"));
  EXPECT_EQ(avail.size(), 1u);
  EXPECT_EQ(Available(avail, kT46), 1);
  EXPECT_GT(CountDestination(Lines(Collecting("cpu")), kT46.Destination()), 0);
  EXPECT_EQ(CountDestination(Lines(Collecting("cpu")), kT62.Destination()), 0);
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{StartMessage()}))
      << "no end message";
  // Everything was let go: the connection, the buffer, the files, the list.
  EXPECT_EQ(snapRfcState().handle, RFC_HANDLE_NULL);
  EXPECT_EQ(zmo::rfc::SimCallLog().back().event, "close");
  EXPECT_TRUE(snapState().inBuffer.empty());
  EXPECT_TRUE(snapState().knownSystems.empty());
  for (const SnapFile& f : snapState().files) EXPECT_EQ(f.file, nullptr);
  EXPECT_EQ(Files(bin_ + "ArchiveData"), std::vector<std::string>{});
  EXPECT_LT(clock_->NowMillis() - start, 5000 + 100) << "seen within a poll";
}

TEST_F(Cycle, StopBeforeTheFirstServerOpensNothing) {
  WriteServers({kT46});
  zmo::serviceStopRequest();
  EXPECT_EQ(RunCycle(), zmo::kShutdownInProgress);
  EXPECT_EQ(Opens(), 0);
  EXPECT_THAT(env_.Trace(), HasText("zmosnapNormalRegistry:Disconnect flag set to True\n"));
}

TEST_F(Cycle, ServerFileFallsBackToTheDefault) {
  // SnapInput names a file that is not there: ten attempts 3 s apart, then
  // zmoserver.dat in the program directory.
  SnapTestEnv::Set("SnapInput", bin_ + "missing.dat");
  ASSERT_EQ(zmo::WriteFileAtomic(env_.Dir() + "zmoserver.dat", Record(kT46)), 0);
  const std::int64_t start = clock_->NowMillis();
  ASSERT_EQ(RunCycle(), 0);
  // Ten waits of 3 s, and the answer polls of the server's calls.
  EXPECT_GE(clock_->NowMillis() - start, 10 * 3000);
  EXPECT_LT(clock_->NowMillis() - start, 10 * 3000 + 1000);
  EXPECT_EQ(Available(Lines(Collecting("avai")), kT46), 1);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("open infile <" + bin_ +
                             "missing.dat> failed. attempt <10>. sleeping for "
                             "<3> sec\n"));
  EXPECT_THAT(trace, HasText("about to open default input file\nname of fallback input file is <" +
                             env_.Dir() + "zmoserver.dat>\n"));
}

TEST_F(Cycle, NoServerFileEndsTheCycleWithItsMessage) {
  SnapTestEnv::Delete("SnapInput");
  EXPECT_EQ(RunCycle(), 1);
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{StartMessage(), EndMessage()}));
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("could not query value <SnapInput> for subkey <"));
  EXPECT_THAT(trace, HasText("openDefaultInFile() returned unsuccessfully\n"
                             "about to close input, snipsnap and availablity files\n"));
  EXPECT_EQ(Files(bin_).size(), 4u) << "no collecting file was made";
}

TEST_F(Cycle, UnreadableSettingsEndTheCycleSilently) {
  SnapTestEnv::Set("DB", "oracle");
  WriteServers({kT46});
  EXPECT_EQ(RunCycle(), 1);
  EXPECT_EQ(Children(), std::vector<std::vector<std::string>>{}) << "not even zmomsg";
  EXPECT_THAT(env_.Trace(), HasText("unknown db format <oracle> encountered\n"
                                    "queryRegForFormat() returned unsuccessfully\n"));
}

TEST_F(Cycle, CollectingFileThatCannotBeOpenedEndsTheCycle) {
  ASSERT_EQ(mkdir(Collecting("dsk").c_str(), 0755), 0);  // a directory in its place
  WriteServers({kT46});
  EXPECT_EQ(RunCycle(), 1);
  EXPECT_EQ(Children().back(), EndMessage());
  EXPECT_THAT(env_.Trace(), HasText("failed to open snipsnap file <" + Collecting("dsk") +
                                    ">\n"
                                    "openSnapFiles() returned unsuccessfully\n"));
  for (const SnapFile& f : snapState().files) EXPECT_EQ(f.file, nullptr);
  EXPECT_EQ(Opens(), 0);
}

TEST_F(Cycle, ServerLinesOfTheFile) {
  // CR LF lines, a short line, a blank field, and a last line without its
  // line end.
  std::string data = Record(kT46) + "short line\r\n\r\n";
  std::string last = Record(kT4D);
  last.resize(last.size() - 2);
  data += last;
  ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), data), 0);
  ASSERT_EQ(RunCycle(), 0);
  const auto avail = Lines(Collecting("avai"));
  EXPECT_EQ(avail.size(), 2u);
  EXPECT_EQ(Available(avail, kT46), 1);
  EXPECT_EQ(Available(avail, kT4D), 1);
}

TEST_F(Cycle, APasswordThatCannotBeUnscrambledSkipsTheServer) {
  ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), Record(kT46, "short") + Record(kT4D)), 0);
  ASSERT_EQ(RunCycle(), 0);
  const auto avail = Lines(Collecting("avai"));
  EXPECT_EQ(avail.size(), 1u) << "no record for the skipped server";
  EXPECT_EQ(Available(avail, kT4D), 1);
  EXPECT_EQ(Opens(), 1);
}

TEST_F(Cycle, EmptyClientAndLanguageTakeTheDefaults) {
  TestServer s = kT46;
  s.language = "";
  ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), Record(s)), 0);
  ASSERT_EQ(RunCycle(), 0);
  const auto log = zmo::rfc::SimCallLog();
  ASSERT_FALSE(log.empty());
  ASSERT_EQ(log.front().event, "open");
  std::string language;
  for (const auto& [name, value] : log.front().values) {
    if (name == "LANGUAGE") language = value;
  }
  EXPECT_EQ(language, "E");
}

TEST_F(Cycle, ErrorCallbackIsInstalledInTheFirstPassOnly) {
  WriteServers({kRefused});
  SnapTestEnv::Set("SnapRunDays", "1");  // Mondays
  const struct {
    const char* name;
    std::int64_t start;
    bool callback;
  } cases[] = {
      {"first pass on a Monday", LocalMillis(2024, 3, 18, 9, 0), true},
      {"first pass on the Sunday before", LocalMillis(2024, 3, 17, 23, 55), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    snapResetState();
    zmo::ResetServiceState();
    zmo::rfc::SimReset();
    snapResetRfcState();
    const size_t before = env_.Trace().size();
    clock_->SetMillis(c.start);
    int waits = 0;
    clock_->SetAdvanceHook([&waits](std::int64_t) {
      if (++waits == 2) zmo::serviceStopRequest();
    });
    ASSERT_EQ(snapServiceRun(0, nullptr), 0);
    clock_->SetAdvanceHook(nullptr);
    const std::string trace = env_.Trace().substr(before);
    EXPECT_THAT(trace, HasTextTimes("RfcOpen() returned unsuccessfully\n", c.callback ? 2 : 1));
    const auto traced_open = HasText("operation/code <RfcOpen>\n");
    EXPECT_THAT(trace, c.callback ? traced_open : Not(traced_open));
  }
}

}  // namespace
