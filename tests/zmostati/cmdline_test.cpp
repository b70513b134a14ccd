// The -np command line of the special run, and the entry's dispatch.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/runtime_state.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "stati_test_env.h"
#include "zmo_test/host_env.h"
#include "zmo_test/matchers.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

int g_queries = 0;
int CountingQuery() {
  ++g_queries;
  return 0;
}

class CmdLineTest : public testing::Test {
 protected:
  void SetUp() override {
    zmo_test::UseHost("collector", "10.1.2.3");
    statiState().hooks.startQuery = CountingQuery;
    statiState().hooks.installRfcErrorHandler = [] {};
    g_queries = 0;
  }

  // Runs zmostati with these arguments (argv[0] added) through the entry.
  int Main(std::vector<std::string> args) {
    args.insert(args.begin(), "zmostati");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return statiMain(static_cast<int>(args.size()), argv.data());
  }
  int Parse(std::vector<std::string> args) {
    args.insert(args.begin(), {"zmostati", "-np"});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return statiGetParaFromCmdLine(static_cast<int>(args.size()), argv.data());
  }

  StatiTestEnv env_;
};

const std::vector<std::string> kComplete = {"-st", "12",   "-sd",     "2024",   "-et",     "13",
                                            "-ed", "2024", "-bindir", "/opt/p", "-dbtype", "MSSQL"};

TEST_F(CmdLineTest, ShortValuesArePaddedAndBinDirGetsItsSeparator) {
  zmo::SetTraceSwitch(1);
  ASSERT_EQ(Parse(kComplete), 0);
  const StatiState& st = statiState();
  EXPECT_EQ(st.current.startTime, "120000");
  EXPECT_EQ(st.current.startDate, "20240000");
  EXPECT_EQ(st.current.endTime, "130000");
  EXPECT_EQ(st.current.endDate, "20240000");
  EXPECT_EQ(st.settings.binDir, "/opt/p/");
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kMssql);
  EXPECT_EQ(st.settings.serverFile, env_.Dir() + "zmoserver.dat");
  EXPECT_EQ(st.settings.outFile, env_.Dir() + "zmostatiout.dat");
  EXPECT_EQ(st.settings.zmomsgPath, "/opt/p/zmomsg");
  EXPECT_EQ(st.settings.loaderPath, "/opt/p/zmoloader");
  const std::string pid = " -I " + std::to_string(getpid());
  ASSERT_EQ(st.settings.ldrArg.size(), 7u);
  EXPECT_EQ(st.settings.ldrArg[3], " -S 20240000");
  EXPECT_EQ(st.settings.ldrArg[4], " -E 20240000");
  EXPECT_EQ(st.settings.ldrArg[5], " -H 10.1.2.3");
  EXPECT_EQ(st.settings.ldrArg[6], pid);
  EXPECT_EQ(env_.Trace(),
            "producing output for db <MSSQL>\n"
            "using default input file\n"
            "using default output file\n"
            "myIPaddress() returned IP address <10.1.2.3>\n"
            "statiGetParaFromCmdLine() IP Address=< -H 10.1.2.3>\n"
            "statiGetParaFromCmdLine(), PID=<" +
                pid + ">\n");
}

TEST_F(CmdLineTest, LongValuesAreCutAndFilesTaken) {
  ASSERT_EQ(
      Parse({"-st", "1234567", "-sd", "202403151", "-et", "235959", "-ed", "20240315", "-bindir",
             "/b/", "-dbtype", "ORACLE", "-if", "/in/servers.dat", "-of", "/out/stati.dat"}),
      0);
  const StatiState& st = statiState();
  EXPECT_EQ(st.current.startTime, "123456");
  EXPECT_EQ(st.current.startDate, "20240315");
  EXPECT_EQ(st.settings.binDir, "/b/");
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kOracle);
  EXPECT_TRUE(zmo::dbKindInfo(zmo::DatabaseKind())->fixedWidth);
  EXPECT_EQ(st.settings.serverFile, "/in/servers.dat");
  EXPECT_EQ(st.settings.outFile, "/out/stati.dat");
}

TEST_F(CmdLineTest, Flags) {
  std::vector<std::string> args = kComplete;
  args.insert(args.end(), {"-d", "-ld", "-b", "-zzz"});
  ASSERT_EQ(Parse(args), 0);
  EXPECT_EQ(zmo::TraceSwitch(), 1);
  EXPECT_EQ(statiState().settings.batchFlag, 1);
  EXPECT_EQ(statiState().settings.normalFlag, 0);
  EXPECT_THAT(env_.Trace(), HasText("query for batch jobs only\n"));
  ASSERT_EQ(Parse({"-n", "-b"}), 4);
  EXPECT_EQ(statiState().settings.batchFlag, 0);
  EXPECT_EQ(statiState().settings.normalFlag, 0) << "both given: no record kind is left";
}

TEST_F(CmdLineTest, MissingOptionsAreNamedInOrder) {
  zmo::SetTraceSwitch(1);
  EXPECT_EQ(Parse({"-zzz"}), 4);
  EXPECT_EQ(env_.Trace(),
            "missing parameter <-st>\nmissing parameter <-sd>\nmissing parameter <-et>\n"
            "missing parameter <-ed>\nmissing parameter <-bindir>\nmissing parameter <-dbtype>\n");
}

TEST_F(CmdLineTest, AValueIsTakenWhateverItLooksLike) {
  zmo::SetTraceSwitch(1);
  // "-sd" is -st's value; the option itself is then missing.
  EXPECT_EQ(Parse({"-st", "-sd", "2024", "-et", "13", "-ed", "2024", "-bindir", "/p", "-dbtype",
                   "MSSQL"}),
            4);
  EXPECT_EQ(statiState().current.startTime, "-sd000");
  EXPECT_THAT(env_.Trace(), HasText("missing parameter <-sd>\n"));
}

TEST_F(CmdLineTest, AnOptionLastTakesNoValue) {
  zmo::SetTraceSwitch(1);
  std::vector<std::string> args(kComplete.begin(), kComplete.end() - 2);
  args.push_back("-dbtype");
  EXPECT_EQ(Parse(args), 4);
  EXPECT_EQ(env_.Trace(), "missing parameter <-dbtype>\n");
}

TEST_F(CmdLineTest, TooLongValuesTurnTheTraceOn) {
  const struct {
    const char* option;
    size_t longest;
    int code;
    const char* line;
  } cases[] = {{"-if", 511, 1, "-if parameter size too big\n"},
               {"-of", 511, 1, "-of parameter size too big\n"},
               {"-bindir", 510, 2, "binDir parameter size too big\n"}};
  for (const auto& c : cases) {
    for (size_t len : {c.longest, c.longest + 1}) {
      StatiTestEnv env;
      std::vector<std::string> args = kComplete;
      args.insert(args.end(), {c.option, "/" + std::string(len - 1, 'x')});
      EXPECT_EQ(Parse(args), len > c.longest ? c.code : 0) << c.option << " " << len;
      if (len > c.longest) {
        EXPECT_EQ(zmo::TraceSwitch(), 1);
        EXPECT_THAT(env.Trace(), HasText(c.line)) << c.option;
      }
    }
  }
}

TEST_F(CmdLineTest, DbTypeIsExactAndUpperCase) {
  std::vector<std::string> args(kComplete.begin(), kComplete.end() - 1);
  args.push_back("oracle");
  EXPECT_EQ(Parse(args), 3);
  EXPECT_EQ(zmo::TraceSwitch(), 1);
  EXPECT_EQ(env_.Trace(), "unknown db format <oracle>\n");
  for (const char* name : {"ORACLE", "CORVA", "MSSQL", "SYBASE", "TESSEL"}) {
    args.back() = name;
    EXPECT_EQ(Parse(args), 0) << name;
  }
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kTessel);
}

TEST_F(CmdLineTest, MissingDbTypeCollectsNothingAndExitsOne) {
  std::vector<std::string> args = {"-np", "-d"};
  args.insert(args.end(), kComplete.begin(), kComplete.end() - 2);
  EXPECT_EQ(Main(args), 1) << "a run that collected nothing is no success";
  EXPECT_EQ(g_queries, 0);
  EXPECT_EQ(env_.Trace(),
            "missing parameter <-dbtype>\n"
            "statiGetParaFromCmdLine() returned unsuccessfully\n");
  EXPECT_EQ(zmo::ConsoleFlag(), 1);
}

TEST_F(CmdLineTest, CompleteCommandLineRunsOneCollection) {
  std::vector<std::string> args = {"-np"};
  args.insert(args.end(), kComplete.begin(), kComplete.end());
  EXPECT_EQ(Main(args), 0);
  EXPECT_EQ(g_queries, 1);
  EXPECT_EQ(statiState().settings.availFile, env_.Dir() + "zmostatiava.dat");
}

TEST_F(CmdLineTest, UnknownOptionDoesNothing) {
  EXPECT_NE(Main({"-x"}), 0);
  EXPECT_NE(Main({"-NP"}), 0);
  EXPECT_EQ(g_queries, 0);
  EXPECT_FALSE(std::filesystem::exists(env_.dir() / "trace_zmostati.log"));
}

}  // namespace
