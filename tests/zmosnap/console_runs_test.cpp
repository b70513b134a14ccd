// The console runs: -nr makes one cycle as the service does, metric
// switches included; -np collects from the servers its options name into
// the program directory, reads no registry value and starts no program.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/runtime_state.h"
#include "common/service_control.h"
#include "rfc/simulator.h"
#include "snap_world.h"
#include "zmo_test/matchers.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmo_test/trace.h"
#include "zmosnap/entry.h"

using namespace zmo::snap;

namespace {

using zmo_test::HasText;

class ConsoleRuns : public SnapWorld {
 protected:
  void SetUp() override {
    SnapWorld::SetUp();
    // The -np run finds zmogdlib beside the program.
    ASSERT_EQ(symlink(ZMO_TEST_BIN_DIR "/zmogdlib.so", (env_.Dir() + "zmogdlib.so").c_str()), 0);
  }
  int Main(std::vector<std::string> args) {
    Argv a(std::move(args));
    return snapMain(a.argc(), a.argv());
  }
  // A file of the -np run, in the program directory.
  std::string Own(const std::string& name) const { return env_.Dir() + name; }
  static std::vector<std::string> ServerOptions(const TestServer& s) {
    return {"-r",       s.host, "-s",     s.sid, "-u",    s.user, "-p",
            s.password, "-c",   s.client, "-i",  s.sysnr, "-l",   s.language};
  }
};

TEST_F(ConsoleRuns, NrCollectsOnceAsTheServiceDoes) {
  WriteServers({kT46});
  EXPECT_EQ(Main({"-nr"}), 0);
  EXPECT_EQ(zmo::ConsoleFlag(), 1);
  EXPECT_EQ(zmo::LastServiceStatus().dwCurrentState, 0u) << "no status in a console run";
  EXPECT_EQ(Available(Lines(Collecting("avai")), kT46), 1);
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{StartMessage()}));
  EXPECT_THAT(env_.Trace(), HasText("Registry entry ProcessQRBData = <True>\n"));
}

TEST_F(ConsoleRuns, NrFollowsTheMetricSwitches) {
  WriteServers({kT46});
  SnapTestEnv::SetAllSwitches("False");
  SnapTestEnv::Set("ProcessSnapUsers", "True");
  EXPECT_EQ(Main({"-nr"}), 0);
  EXPECT_TRUE(Lines(Collecting("avai")).empty()) << "availability is switched off";
  EXPECT_TRUE(Lines(Collecting("dsk")).empty());
  EXPECT_EQ(CountDestination(Lines(Collecting("cpu")), kT46.Destination()), 1);
}

TEST_F(ConsoleRuns, NpWithAServerFile) {
  const TestServer refused{"sapt99.example.net", "T99", "00", "Secret99"};
  WriteServers({refused, kT46});
  SnapTestEnv::Set("DB", "not read");
  EXPECT_EQ(Main({"-np", "-if", ServerFile(), "-dbtype", "oracle"}), 0);

  // One availability line: a server that cannot be opened gets none.
  const auto avail = Lines(Own("zmosnapavai.dat"));
  ASSERT_EQ(avail.size(), 1u);
  EXPECT_EQ(Available(avail, kT46), 1);
  EXPECT_EQ(CountDestination(Lines(Own("zmosnipsnap.cpu")), kT46.Destination()), 1);
  EXPECT_EQ(CountDestination(Lines(Own("zmosnipsnap.cpu")), kT46.DbDestination()), 1);
  for (const char* f : {"zmosnapavai.dat", "zmosnipsnap.cpu"}) {
    EXPECT_EQ(SnapTestEnv::Read(bin_ + f), "<none>") << "nothing in BinDir";
  }
  EXPECT_TRUE(Children().empty()) << "neither zmomsg nor the loader";
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kOracle);
}

TEST_F(ConsoleRuns, NpCountsAFailedSnapshotAgainstTheServer) {
  WriteSystem("T46", MadeSystem(kT46, "[function FILL_SNAPSHOT_DATA]\nexception = NO_DATA\n"));
  WriteServers({kT46});
  EXPECT_EQ(Main({"-np", "-if", ServerFile(), "-dbtype", "mssql"}), 0);
  ASSERT_EQ(Lines(Own("zmosnapavai.dat")).size(), 1u);
  EXPECT_EQ(Lines(Own("zmosnapavai.dat"))[0].back(), '0');
  EXPECT_THAT(env_.Trace(), HasText("callFillSnapshotData(NULL,NULL) failed\n"));
}

TEST_F(ConsoleRuns, NpWithTheNamedServer) {
  std::vector<std::string> args = {"-np", "-dbtype", "oracle"};
  for (const std::string& o : ServerOptions(kT46)) args.push_back(o);
  SnapTestEnv::Delete("SnapInput");
  ASSERT_EQ(initRfcTables(), 0);  // as snapRunOnce does first
  Argv a(args);
  ASSERT_EQ(snapCmdLineRun(a.argc(), a.argv()), 0);
  EXPECT_EQ(CountDestination(Lines(Own("zmosnipsnap.cpu")), kT46.Destination()), 1);
  EXPECT_EQ(CountDestination(Lines(Own("zmosnipsnap.cpu")), kT46.DbDestination()), 0);
  EXPECT_TRUE(Lines(Own("zmosnapavai.dat")).empty()) << "no availability record";
  // The connection went out with the options' values.
  const auto log = zmo::rfc::SimCallLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().event, "open");
  EXPECT_EQ(log.front().system, "T46");
}

using Texts = std::vector<std::string>;

// The pieces one after the other.
Texts Join(std::initializer_list<Texts> pieces) {
  Texts out;
  for (const Texts& p : pieces) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Without a server file the snapshot follows a successful XMI logon,
// whatever the user list gave; the logoff follows the logon alike.
TEST_F(ConsoleRuns, NpWithTheNamedServerSnapsAfterTheLogon) {
  const Texts logon = {"about to call callXmiLogon()",
                       "about to call RfcCallReceive with SXMI_LOGON",
                       "call RfcCall with SXMI_LOGON OK", "rfcRc <0> from ListenForRfcResponse()"};
  const Texts received = {"rfcRc <0> from ListenForRfcResponse()", "rfcRc <0> from rfcReceive()"};
  const Texts user_list = {"about to call callSxmiXmbUserListRead()",
                           "rfcRc <0> from ListenForRfcResponse()"};
  const Texts logoff_and_snapshot = Join({{"about to call callXmiLogoff()"}, received, received});
  const Texts snapshot_done = {"about to call callFillSnapshotData(NULL,NULL)",
                               "called callFillSnapshotData(NULL,NULL)"};
  const Texts refused = {"rfcRc <2> from rfcReceive()", "RFC_EXCEPTION caught rfcException=<2>",
                         "rfc error occurred", "operation/code <NOT_AUTHORIZED>",
                         "key <NOT_AUTHORIZED>"};
  struct Case {
    const char* name;
    const char* extra;  // appended to T46's system file
    int cpu_lines;
    Texts trace;  // from the logon to the end of the run
  };
  const Case cases[] = {
      {"every call succeeds", "", 1,
       Join({logon,
             {"rfcRc <0> from rfcReceive()"},
             user_list,
             {"rfcRc <0> from rfcReceive()"},
             logoff_and_snapshot,
             snapshot_done})},
      {"the user list fails", "[function SXMI_XMB_USER_LIST_READ]\nexception = NOT_AUTHORIZED\n", 1,
       Join({logon,
             {"rfcRc <0> from rfcReceive()"},
             user_list,
             refused,
             {"message <exception NOT_AUTHORIZED raised by SXMI_XMB_USER_LIST_READ>",
              "callSxmiXmbUserListRead() failed"},
             logoff_and_snapshot,
             {"inserting <0> for user data in file <" + Own("zmosnipsnap.cpu") +
              "> due to unsuccessfull xmi call"},
             snapshot_done})},
      {"the logon fails", "[function SXMI_LOGON]\nexception = NOT_AUTHORIZED\n", 0,
       Join(
           {logon,
            refused,
            {"message <exception NOT_AUTHORIZED raised by SXMI_LOGON>", "callXmiLogon() failed"}})},
  };
  std::vector<std::string> args = {"-np", "-dbtype", "oracle"};
  for (const std::string& o : ServerOptions(kT46)) args.push_back(o);
  const std::string trace_log = env_.Dir() + "trace_zmosnap.log";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    snapResetRfcState();  // the tables go with the library's state
    WriteSystem("T46", MadeSystem(kT46, c.extra));
    for (const char* f :
         {"zmosnapavai.dat", "zmosnipsnap.cpu", "zmosnipsnap.dsk", "zmosnipsnap.lan"}) {
      std::remove(Own(f).c_str());
    }
    const size_t mark = zmo_test::TraceTextsOf(trace_log).size();
    ASSERT_EQ(initRfcTables(), 0);
    Argv a(args);
    ASSERT_EQ(snapCmdLineRun(a.argc(), a.argv()), 0);
    EXPECT_EQ(CountDestination(Lines(Own("zmosnipsnap.cpu")), kT46.Destination()), c.cpu_lines);
    EXPECT_TRUE(Lines(Own("zmosnapavai.dat")).empty()) << "no availability record";
    const Texts traced = zmo_test::TraceTextsOf(trace_log);
    const auto from = std::find(traced.begin() + static_cast<std::ptrdiff_t>(mark), traced.end(),
                                "about to call callXmiLogon()");
    EXPECT_EQ(Texts(from, traced.end()), c.trace);
  }
}

TEST_F(ConsoleRuns, NpWithAServerThatRefuses) {
  std::vector<std::string> args = {"-np", "-dbtype", "oracle"};
  TestServer wrong = kT46;
  wrong.password = "wrong";
  for (const std::string& o : ServerOptions(wrong)) args.push_back(o);
  ASSERT_EQ(initRfcTables(), 0);
  Argv a(args);
  EXPECT_EQ(snapCmdLineRun(a.argc(), a.argv()), 1);
  EXPECT_TRUE(Lines(Own("zmosnipsnap.cpu")).empty());
}

TEST_F(ConsoleRuns, NpWithoutDbTypeIsRefused) {
  Argv a({"-np", "-if", ServerFile()});
  EXPECT_EQ(snapCmdLineRun(a.argc(), a.argv()), 1);
  EXPECT_EQ(SnapTestEnv::Read(Own("zmosnipsnap.cpu")), "<none>") << "no file opened";
  EXPECT_THAT(env_.Trace(), HasText("snapCmdLineRun() missing option <-dbtype>\n"));
}

// The stamps of a -np run are the SAP system's time (T46: two hours east of
// UTC) whatever the collector's own zone: the run determines its local offset
// as a cycle does. West of UTC first, so no offset of an earlier run helps.
TEST_F(ConsoleRuns, NpStampsAreTheRemoteTimeUnderEveryZone) {
  WriteServers({kT46});
  struct Case {
    const char* tz;
    const char* offset_trace;
  } cases[] = {
      {"EST5", "Total local offset to UTC is <-300> min\n"},
      {"UTC0", "Total local offset to UTC is <0> min\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tz);
    zmo_test::ScopedTz tz(c.tz);
    clock_->SetMillis(zmo_test::UtcMillis(2006, 12, 7, 15, 30, 5));
    for (const char* f :
         {"zmosnapavai.dat", "zmosnipsnap.cpu", "zmosnipsnap.dsk", "zmosnipsnap.lan"}) {
      std::remove(Own(f).c_str());
    }
    ASSERT_EQ(Main({"-np", "-if", ServerFile(), "-dbtype", "tessel"}), 0);
    EXPECT_THAT(env_.Trace(), HasText(c.offset_trace));
    int stamped = 0;
    for (const char* f : {"zmosnipsnap.cpu", "zmosnipsnap.dsk", "zmosnipsnap.lan"}) {
      const auto lines = Lines(Own(f));
      EXPECT_FALSE(lines.empty()) << f;
      for (const std::string& l : lines) {
        EXPECT_THAT(l, HasText("2006-12-07 17:30:05")) << f << ": " << l;
        ++stamped;
      }
    }
    EXPECT_GE(stamped, 3);
  }
}

TEST_F(ConsoleRuns, NpWithAServerFileThatIsNotThere) {
  Argv a({"-np", "-if", env_.Dir() + "missing.dat", "-dbtype", "tessel"});
  EXPECT_EQ(snapCmdLineRun(a.argc(), a.argv()), 1);
  EXPECT_THAT(env_.Trace(), HasText("could not open input file\n"));
}

}  // namespace
