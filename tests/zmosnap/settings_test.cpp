// The settings of a cycle: the registry reader's result codes and paths,
// the known-systems list, the -np options and the metric switches.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/env.h"
#include "snap_test_env.h"
#include "zmo_test/matchers.h"
#include "zmosnap/cmdline.h"
#include "zmosnap/config.h"
#include "zmosnap/known_systems.h"
#include "zmosnap/records.h"
#include "zmosnap/state.h"

using namespace zmo::snap;

namespace {

using ::testing::Not;
using zmo_test::HasText;

const std::string K = SnapTestEnv::KeyPath();

class Settings : public testing::Test {
 protected:
  void SetUp() override {
    zmo::SetTraceSwitch(1);
    SnapTestEnv::Set("SnapDebug", "True");
    SnapTestEnv::Set("ConvertToGMT", "True");
    SnapTestEnv::Set("SnapLogSize", "4096");
    SnapTestEnv::Set("DB", "MSSQL");
    SnapTestEnv::Set("BinDir", "/opt/zmo");
  }
  SnapTestEnv env_;
};

TEST_F(Settings, ReadsEverySetting) {
  ASSERT_EQ(queryRegForFormat(0), 0);
  const SnapSettings& s = snapState().settings;
  EXPECT_EQ(s.binDir, "/opt/zmo/");
  EXPECT_EQ(s.zmomsgPath, "/opt/zmo/zmomsg");
  EXPECT_EQ(s.loaderPath, "/opt/zmo/zmoloader");
  EXPECT_EQ(snapRecordState().gmt, 1);
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kMssql);
  EXPECT_EQ(zmo::TraceSizeLimit(), 4096);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("convert to gmt switched on\n"));
  EXPECT_THAT(trace, HasText("producing output for db <MSSQL>\n"));
}

TEST_F(Settings, BinDirWithOrWithoutItsSeparatorGivesTheSamePaths) {
  for (const char* dir : {"/opt/zmo", "/opt/zmo/"}) {
    SnapTestEnv::Set("BinDir", dir);
    ASSERT_EQ(queryRegForFormat(0), 0);
    EXPECT_EQ(snapState().settings.loaderPath, "/opt/zmo/zmoloader") << dir;
    EXPECT_EQ(snapFileDirectory(), "/opt/zmo/") << dir;
  }
}

TEST_F(Settings, ResultCodes) {
  const struct {
    const char* name;
    const char* db;      // nullptr: missing; "<dword>": not text
    const char* bindir;  // the same
    int rc;
    const char* line;
  } cases[] = {
      {"DB missing", nullptr, "/opt", 2, "could not query value <DB> for subkey <"},
      {"DB not text", "<dword>", "/opt", 3, "value <DB> for subkey <"},
      {"DB lower case", "oracle", "/opt", 4, "unknown db format <oracle> encountered\n"},
      {"DB unknown", "Informix", "/opt", 4, "unknown db format <Informix> encountered\n"},
      {"BinDir missing", "Oracle", nullptr, 5, "could not query value <BinDir> for subkey <"},
      {"BinDir not text", "Oracle", "<dword>", 6, "value <BinDir> for subkey <"},
      {"BinDir empty", "Oracle", "", 7, nullptr},
      {"BinDir 401", "Oracle", nullptr, 8, "snap's binary directory path too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SnapTestEnv env;
    SetUp();
    SnapTestEnv::Delete("DB");
    SnapTestEnv::Delete("BinDir");
    if (c.db) {
      if (std::string(c.db) == "<dword>") {
        SnapTestEnv::SetDword("DB", 1);
      } else {
        SnapTestEnv::Set("DB", c.db);
      }
    }
    if (c.bindir) {
      if (std::string(c.bindir) == "<dword>") {
        SnapTestEnv::SetDword("BinDir", 1);
      } else {
        SnapTestEnv::Set("BinDir", c.bindir);
      }
    } else if (c.rc == 8) {
      SnapTestEnv::Set("BinDir", "/" + std::string(400, 'd'));
    }
    EXPECT_EQ(queryRegForFormat(0), c.rc);
    if (c.line) {
      EXPECT_THAT(env.Trace(), HasText(c.line));
    }
    if (c.rc >= 5) {
      EXPECT_EQ(snapState().settings.loaderPath, "");
    }
  }
}

TEST_F(Settings, ReadFailureOfDbNamesTheStoreResult) {
  SnapTestEnv::Delete("DB");
  EXPECT_EQ(queryRegForFormat(0), 2);
  EXPECT_THAT(env_.Trace(), HasText("could not query value <DB> for subkey <" + K +
                                    "> returned <> Return Code <2> buffer size <128>\n"));
}

TEST_F(Settings, A400CharacterBinDirIsTaken) {
  const std::string dir = "/" + std::string(399, 'd');
  SnapTestEnv::Set("BinDir", dir);
  ASSERT_EQ(queryRegForFormat(0), 0);
  EXPECT_EQ(snapState().settings.binDir, dir + "/");
}

TEST_F(Settings, SwitchOnlyReadsTheTraceSwitch) {
  zmo::SetTraceSwitch(0);
  SnapTestEnv::Delete("DB");
  EXPECT_EQ(queryRegForFormat(1), 0) << "DB is not looked at";
  EXPECT_EQ(zmo::TraceSwitch(), 1);
  EXPECT_EQ(env_.Trace(), "debug switched on\n");
  EXPECT_EQ(snapState().settings.binDir, "");
}

TEST_F(Settings, TraceSwitch) {
  const struct {
    const char* value;  // nullptr: missing
    int before;
    int after;
    const char* trace;
  } cases[] = {
      {"True", 0, 1, "debug switched on\n"},
      {"True", 1, 1, ""},
      {"true", 1, 0, "debug switched off now\n"},
      {nullptr, 1, 0, "debug switched off now\n"},
      {"False", 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "missing");
    SnapTestEnv env;
    SetUp();
    if (c.value) {
      SnapTestEnv::Set("SnapDebug", c.value);
    } else {
      SnapTestEnv::Delete("SnapDebug");
    }
    zmo::SetTraceSwitch(c.before);
    EXPECT_EQ(queryRegForFormat(1), 0);
    EXPECT_EQ(zmo::TraceSwitch(), c.after);
    EXPECT_EQ(env.Trace(), c.trace);
  }
}

TEST_F(Settings, MissingKeyIsTracedWithTheSwitchOff) {
  SnapTestEnv env;  // a store without the configuration key
  zmo::SetTraceSwitch(0);
  EXPECT_EQ(queryRegForFormat(0), 1);
  EXPECT_EQ(queryRegForFormat(1), 1);
  EXPECT_EQ(openInFile(), 1);
  const std::string line = "could not open subkey <" + K + ">\n";
  EXPECT_EQ(env.Trace(), line + line + line);
}

TEST_F(Settings, AggregationIsAlwaysOn) {
  bool flag = false;
  EXPECT_EQ(queryRegForAggregation(&flag), 0);
  EXPECT_TRUE(flag);
}

TEST(KnownSystems, OncePerSidOfThreeCharacters) {
  SnapTestEnv env;
  zmo::SetTraceSwitch(1);
  int unknown = -1;
  ASSERT_EQ(isUnknownSystem("T46", &unknown), 0);
  EXPECT_EQ(unknown, 1);
  ASSERT_EQ(addSystem("T46"), 0);
  ASSERT_EQ(addSystem("PRDX"), 0);
  ASSERT_EQ(isUnknownSystem("T46", &unknown), 0);
  EXPECT_EQ(unknown, 0);
  ASSERT_EQ(isUnknownSystem("PRD", &unknown), 0);
  EXPECT_EQ(unknown, 0) << "the first three characters tell systems apart";
  ASSERT_EQ(isUnknownSystem("T62", &unknown), 0);
  EXPECT_EQ(unknown, 1);
  EXPECT_EQ(isUnknownSystem(nullptr, &unknown), 1);
  EXPECT_EQ(addSystem(nullptr), 1);

  removeAllSystem();
  ASSERT_EQ(isUnknownSystem("T46", &unknown), 0);
  EXPECT_EQ(unknown, 1) << "an emptied list knows no system";
  removeAllSystem();

  const std::string trace = env.Trace();
  EXPECT_THAT(trace, HasText("system <T46> was not yet encountered\n"));
  EXPECT_THAT(trace, HasText("checking known system <T46>\nsystem <T46> already encounterd\n"));
  EXPECT_THAT(trace, HasText("about to forget <2> systems\nabout to forget system <PRD>\n"
                             "about to forget first system <T46>\n"));
  EXPECT_THAT(trace, HasText("about to forget <0> systems\n"));
  EXPECT_THAT(trace, HasText("isUnknownSystem(): internal error: c is NULL\n"));
  EXPECT_THAT(trace, HasText("addSystem(): internal error: c is NULL\n"));
}

TEST(CmdLine, EveryOption) {
  SnapTestEnv env;
  Argv a({"-np",
          "-u",
          "ZMOMON",
          "-p",
          "Secret46",
          "-c",
          "100",
          "-l",
          "D",
          "-i",
          "07",
          "-r",
          "sapt46.example.net",
          "-s",
          "T46",
          "-if",
          "/tmp/servers.dat",
          "-dbtype",
          "corva",
          "-d"});
  SnapCmdLine cmd;
  ASSERT_EQ(snapParseCmdLine(a.argc(), a.argv(), &cmd), 0);
  EXPECT_EQ(cmd.server.user, "ZMOMON");
  EXPECT_EQ(cmd.password, "Secret46");
  EXPECT_EQ(cmd.server.client, "100");
  EXPECT_EQ(cmd.server.language, "D");
  EXPECT_EQ(cmd.server.sysnr, 7);
  EXPECT_EQ(cmd.server.host, "sapt46.example.net");
  EXPECT_EQ(cmd.server.sid, "T46");
  EXPECT_EQ(cmd.inFile, "/tmp/servers.dat");
  EXPECT_EQ(cmd.dbKind, zmo::DbKind::kCorva);
  EXPECT_EQ(cmd.debug, 1);
}

TEST(CmdLine, KindsAndRefusals) {
  const struct {
    std::vector<std::string> options;
    int rc;
    zmo::DbKind kind;
    const char* line;  // traced refusal
  } cases[] = {
      {{"-dbtype", "oracle"}, 0, zmo::DbKind::kOracle, nullptr},
      {{"-dbtype", "corva"}, 0, zmo::DbKind::kCorva, nullptr},
      {{"-dbtype", "mssql"}, 0, zmo::DbKind::kMssql, nullptr},
      {{"-dbtype", "sybase"}, 0, zmo::DbKind::kSybase, nullptr},
      {{"-dbtype", "tessel"}, 0, zmo::DbKind::kTessel, nullptr},
      {{"-dbtype", "Oracle"}, 1, zmo::DbKind::kNone, "snapCmdLineRun() unknown db type <Oracle>\n"},
      {{"-u", "X"}, 1, zmo::DbKind::kNone, "snapCmdLineRun() missing option <-dbtype>\n"},
      {{}, 1, zmo::DbKind::kNone, "snapCmdLineRun() missing option <-dbtype>\n"},
      {{"-dbtype", "mssql", "-u"},
       1,
       zmo::DbKind::kNone,
       "snapCmdLineRun() option without its value <-u>\n"},
      {{"-dbtype"}, 1, zmo::DbKind::kNone, "snapCmdLineRun() option without its value <-dbtype>\n"},
      // An unknown option is skipped by itself; its value is then an option.
      {{"-x", "-dbtype", "sybase"}, 0, zmo::DbKind::kSybase, nullptr},
      {{"-x", "y", "-dbtype", "tessel"}, 0, zmo::DbKind::kTessel, nullptr},
  };
  for (const auto& c : cases) {
    SnapTestEnv env;
    std::vector<std::string> args = c.options;
    args.insert(args.begin(), "-np");
    Argv a(args);
    SCOPED_TRACE(testing::Message() << a.argc() << " elements");
    SnapCmdLine cmd;
    zmo::SetTraceSwitch(0);
    EXPECT_EQ(snapParseCmdLine(a.argc(), a.argv(), &cmd), c.rc);
    if (c.rc == 0) {
      EXPECT_EQ(cmd.dbKind, c.kind);
    }
    EXPECT_EQ(env.Trace(), c.line ? c.line : "");
  }
}

TEST(CmdLine, AValueThatLooksLikeAnOptionIsAValue) {
  SnapTestEnv env;
  Argv a({"-np", "-u", "-dbtype", "-dbtype", "mssql"});
  SnapCmdLine cmd;
  ASSERT_EQ(snapParseCmdLine(a.argc(), a.argv(), &cmd), 0);
  EXPECT_EQ(cmd.server.user, "-dbtype");
  EXPECT_EQ(cmd.dbKind, zmo::DbKind::kMssql);
}

class MetricFilters : public testing::Test {
 protected:
  void SetUp() override {
    zmo::SetTraceSwitch(1);
    SnapTestEnv::SetAllSwitches("False");
    SnapTestEnv::Set("ProcessStatiActiveUsers", "False");
    zmo::SetEnv(&exit_env_);
    g_exit = -1;
  }
  // Records the code the process would end with, and returns.
  class RecordExitEnv : public zmo::EnvWrapper {
   public:
    void Exit(int code) override { g_exit = code; }
  };
  static const zmo::MetricSwitches& M() { return snapRecordState().switches; }
  static inline int g_exit = -1;
  SnapTestEnv env_;
  RecordExitEnv exit_env_;
};

TEST_F(MetricFilters, GroupsFollowTheirSwitches) {
  const struct {
    const char* on;  // the one switch set "True"
    int cpu, disk, lan, avail;
  } cases[] = {
      {"ProcessSnapTotalCPU", 1, 0, 0, 0},    {"ProcessSnapSessions", 1, 0, 0, 0},
      {"ProcessSnapQueueLength", 0, 1, 0, 0}, {"ProcessSnapDiskUtilization", 0, 1, 0, 0},
      {"ProcessSnapCollisions", 0, 0, 1, 0},  {"ProcessSnapPacketsOut", 0, 0, 1, 0},
      {"ProcessSnapLogonAble", 0, 0, 0, 1},   {"ProcessStatiActiveUsers", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.on);
    SnapTestEnv env;
    SetUp();
    SnapTestEnv::Set(c.on, "True");
    snapGetMetricFilters();
    EXPECT_EQ(M().all, 0);
    EXPECT_EQ(M().group[zmo::kGroupSnapCpu], c.cpu);
    EXPECT_EQ(M().group[zmo::kGroupSnapDisk], c.disk);
    EXPECT_EQ(M().group[zmo::kGroupSnapLan], c.lan);
    EXPECT_EQ(M().group[zmo::kGroupSnapAvail], c.avail);
    EXPECT_THAT(env.Trace(), HasText(std::string("Registry entry ") + c.on + " = <True>\n"));
  }
}

TEST_F(MetricFilters, ASwitchOnceOnStaysOn) {
  SnapTestEnv::Set("ProcessSnapUsers", "True");
  snapGetMetricFilters();
  SnapTestEnv::Set("ProcessSnapUsers", "False");
  snapGetMetricFilters();
  EXPECT_TRUE(M().on[zmo::kSwSnapUsers]);
  EXPECT_TRUE(M().group[zmo::kGroupSnapCpu]);
}

TEST_F(MetricFilters, AllDataOnceStaysOnAndReadsNothingElse) {
  SnapTestEnv::Set("ProcessQRBData", "True");
  snapGetMetricFilters();
  EXPECT_EQ(M().all, 1);
  SnapTestEnv::Set("ProcessQRBData", "False");
  SnapTestEnv::Delete("ProcessSnapUsers");  // would end the process if read
  snapGetMetricFilters();
  EXPECT_EQ(g_exit, -1);
  EXPECT_EQ(M().all, 1);
  for (int g = zmo::kGroupSnapCpu; g <= zmo::kGroupSnapAvail; ++g) EXPECT_TRUE(M().group[g]);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace,
              HasText("Registry entry ProcessQRBData = <False>\n"
                      "Registry entry ProcessQRBData auto set every metric filter to process "
                      "true\n"));
  EXPECT_THAT(trace, Not(HasText("ProcessSnapUsers")));
}

TEST_F(MetricFilters, MissingAllDataReadsAsOn) {
  SnapTestEnv::Delete("ProcessQRBData");
  snapGetMetricFilters();
  EXPECT_EQ(g_exit, -1);
  EXPECT_EQ(M().all, 1);
}

TEST_F(MetricFilters, AMissingSwitchEndsTheProcess) {
  SnapTestEnv::Delete("ProcessSnapInErrors");
  snapGetMetricFilters();
  EXPECT_EQ(g_exit, zmo::kExitMissingRegistryValue);
  EXPECT_THAT(env_.Trace(), HasText("Missing Value = ProcessSnapInErrors\n"));
}

TEST_F(MetricFilters, TheLoadersOwnSwitchNeedNotExist) {
  SnapTestEnv::Delete("ProcessStatiActiveUsers");
  snapGetMetricFilters();
  EXPECT_EQ(g_exit, -1);
}

}  // namespace
