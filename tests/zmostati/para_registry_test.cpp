// The collection settings read from the registry: file names, loader
// arguments, switches, and every failure code.

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "stati_test_env.h"
#include "tz_guard.h"
#include "zmo_test/host_env.h"
#include "zmo_test/matchers.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

const std::string K = StatiTestEnv::KeyPath();

class ParaTest : public testing::Test {
 protected:
  void SetUp() override {
    zmo_test::UseHost("collector", "10.1.2.3");
    env_.Set("DB", "MSSQL");
    env_.Set("BinDir", "/opt/zmo");
    StatiInterval& cur = statiState().current;
    cur.startDate = "20240314";
    cur.endDate = "20240315";
  }
  StatiTestEnv env_;
  ScopedTz tz_{"UTC"};
  zmo::ScopedFakeClock clock_{static_cast<std::int64_t>(LocalTime(2024, 3, 15, 8, 16, 30)) * 1000};
};

TEST_F(ParaTest, NamesAndLoaderArguments) {
  zmo::SetTraceSwitch(1);
  ASSERT_EQ(statiGetParaFromRegistry(), 0);
  const StatiSettings& s = statiState().settings;
  EXPECT_EQ(zmo::DatabaseKind(), zmo::DbKind::kMssql);
  EXPECT_EQ(s.batchFlag, 1);
  EXPECT_EQ(s.normalFlag, 1);
  EXPECT_EQ(s.gmtSwitch, 0);
  EXPECT_EQ(s.filterRecords, 0);
  EXPECT_EQ(s.binDir, "/opt/zmo/");
  EXPECT_EQ(s.zmomsgPath, "/opt/zmo/zmomsg");
  EXPECT_EQ(s.loaderPath, "/opt/zmo/zmoloader");
  EXPECT_EQ(s.serverFile, env_.Dir() + "zmoserver.dat");
  EXPECT_EQ(s.outFile, "/opt/zmo/zmo_stati.dat");
  EXPECT_EQ(s.handOverFile, "/opt/zmo/zmostati.dat");
  const std::string pid = " -I " + std::to_string(getpid());
  EXPECT_EQ(s.ldrArg,
            (std::vector<std::string>{"/opt/zmo/zmoloader", " -A", " -P STATI", " -S 20240314",
                                      " -E 20240315", " -H 10.1.2.3", pid}));
  EXPECT_EQ(env_.Trace(),
            "debug switched off now\n");  // StatiDebug is missing: the rest goes unseen
}

TEST_F(ParaTest, TraceOfAFullRead) {
  env_.Set("StatiDebug", "True");
  env_.Set("StatiFilterRecords", "");
  env_.Set("ConvertToGMT", "True");
  env_.Set("StatiJob", "2");
  env_.Set("StatiLogSize", "4096");
  env_.Set("StatiLoaderDebug", "x");
  env_.Set("StatiInput", "/data/servers.dat");
  ASSERT_EQ(statiGetParaFromRegistry(), 0);
  const StatiSettings& s = statiState().settings;
  EXPECT_EQ(s.filterRecords, 1);
  EXPECT_EQ(s.gmtSwitch, 1);
  EXPECT_EQ(s.batchFlag, 0);
  EXPECT_EQ(s.normalFlag, 1);
  EXPECT_EQ(s.serverFile, "/data/servers.dat");
  EXPECT_EQ(zmo::TraceSizeLimit(), 4096);
  ASSERT_EQ(s.ldrArg.size(), 8u);
  EXPECT_EQ(s.ldrArg[7], " -D");
  const std::string pid = " -I " + std::to_string(getpid());
  EXPECT_EQ(env_.Trace(),
            "debug switched on\n"
            "filtering records with no transaction code and no program name\n"
            "convert stati timestamps to gmt\n"
            "producing output for db <MSSQL>\n"
            "query for normal jobs\n"
            "log file max size set to <4096> bytes\n"
            "myIPaddress() returned IP address <10.1.2.3>\n"
            "statiGetParaFromRegistry() IP Address=< -H 10.1.2.3>\n"
            "statiGetParaFromRegistry(), PID=<" +
                pid +
                ">\n"
                "About to exit statiGetParaFromRegistry \n");
}

TEST_F(ParaTest, EveryDatabaseKind) {
  const struct {
    const char* name;
    int kind;
    int oracle;
    int corva;
  } kinds[] = {{"Oracle", 1, 1, 0},
               {"Corva", 2, 0, 1},
               {"MSSQL", 3, 0, 0},
               {"Sybase", 4, 0, 0},
               {"Tessel", 5, 0, 0}};
  for (const auto& k : kinds) {
    env_.Set("DB", k.name);
    ASSERT_EQ(statiGetParaFromRegistry(), 0) << k.name;
    EXPECT_EQ(static_cast<int>(zmo::DatabaseKind()), k.kind);
    const zmo::DbKindInfo* row = zmo::dbKindInfo(zmo::DatabaseKind());
    ASSERT_NE(row, nullptr) << k.name;
    EXPECT_EQ(row->fixedWidth ? 1 : 0, k.oracle);
    EXPECT_EQ(row->quotedText ? 1 : 0, k.corva);
  }
}

TEST_F(ParaTest, JobMask) {
  const struct {
    std::optional<std::string> value;  // nullopt: missing
    int batch;
    int normal;
    std::string trace;
  } cases[] = {
      {"1", 1, 0, "query for batch jobs\n"},
      {"2", 0, 1, "query for normal jobs\n"},
      {"3", 1, 1, "query for batch jobs\nquery for normal jobs\n"},
      {"7", 1, 1, "query for batch jobs\nquery for normal jobs\n"},
      {"4", 1, 1,
       "unexpected subkey value <4> for entry <StatiJob> of subkey <" + K +
           ">\nquery for batch and normal jobs\n"},
      {"abc", 1, 1,
       "unexpected subkey value <abc> for entry <StatiJob> of subkey <" + K +
           ">\nquery for batch and normal jobs\n"},
      {std::nullopt, 1, 1,
       "could not query value <StatiJob> for subkey <" + K +
           ">\nquery for batch and normal jobs\n"},
  };
  env_.Set("StatiDebug", "True");
  for (const auto& c : cases) {
    env_.Delete("StatiJob");
    if (c.value) env_.Set("StatiJob", *c.value);
    const std::string before = env_.Trace();
    ASSERT_EQ(statiGetParaFromRegistry(), 0);
    const std::string added = env_.Trace().substr(before.size());
    const StatiSettings& s = statiState().settings;
    EXPECT_EQ(s.batchFlag, c.batch) << c.value.value_or("<missing>");
    EXPECT_EQ(s.normalFlag, c.normal) << c.value.value_or("<missing>");
    const std::string db = "producing output for db <MSSQL>\n";
    ASSERT_THAT(added, HasText(db));
    const size_t at = added.find(db);
    EXPECT_EQ(added.substr(at + db.size(), c.trace.size()), c.trace)
        << c.value.value_or("<missing>");
  }
}

// Each failure code, with the line that says why.
struct ParaFailure {
  const char* name;
  const char* value;  // nullptr: missing; "<dword>": stored as a DWORD
  int code;
  std::string line;
};

// Names the case in test output.
void PrintTo(const ParaFailure& c, std::ostream* os) {
  *os << c.name << " = " << (c.value ? c.value : "<missing>");
}

class ParaFailures : public testing::TestWithParam<ParaFailure> {};

TEST_P(ParaFailures, CodeAndTrace) {
  const ParaFailure& f = GetParam();
  StatiTestEnv env;
  env.Set("DB", "MSSQL");
  env.Set("BinDir", "/opt/zmo");
  env.Set("StatiDebug", "True");
  env.Delete(f.name);
  if (f.value != nullptr && std::string(f.value) == "<dword>") {
    env.SetDword(f.name, 1);
  } else if (f.value != nullptr) {
    env.Set(f.name, f.value);
  }
  EXPECT_EQ(statiGetParaFromRegistry(), f.code);
  const std::string trace = env.Trace();
  if (f.code == 0) {
    EXPECT_THAT(trace, HasText("About to exit statiGetParaFromRegistry \n"));
  } else {
    ASSERT_GE(trace.size(), f.line.size()) << trace;
    EXPECT_EQ(trace.substr(trace.size() - f.line.size()), f.line) << trace;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ParaFailures,
    testing::Values(
        ParaFailure{"DB", nullptr, 2, "could not query value <DB> for subkey <" + K + ">\n"},
        ParaFailure{"DB", "<dword>", 3,
                    "value <DB> for subkey <" + K + "> has not string format\n"},
        ParaFailure{"DB", "oracle", 4, "unknown db format <oracle> encountered\n"},
        ParaFailure{"DB", "ORACLE", 4, "unknown db format <ORACLE> encountered\n"},
        ParaFailure{"BinDir", nullptr, 5,
                    "could not query value <BinDir> for subkey <" + K + ">\n"},
        ParaFailure{"BinDir", "<dword>", 6,
                    "value <BinDir> for subkey <" + K + "> has not string format\n"},
        ParaFailure{"BinDir", "", 7, "entry <BinDir> of subkey <" + K + "> has zero length\n"},
        ParaFailure{"BinDir", "/", 0, ""},
        ParaFailure{"StatiInput", "<dword>", 9,
                    "value <StatiInput> for subkey <" + K + "> has not string format\n"},
        ParaFailure{"StatiInput", nullptr, 0, ""}));

TEST(ParaLimits, BinDirOf410IsTheLongest) {
  for (size_t len : {410u, 411u, 600u}) {
    StatiTestEnv env;
    env.Set("DB", "Tessel");
    env.Set("StatiDebug", "True");
    const std::string dir = "/" + std::string(len - 1, 'd');
    env.Set("BinDir", dir);
    EXPECT_EQ(statiGetParaFromRegistry(), len <= 410 ? 0 : 8) << len;
    if (len <= 410) {
      EXPECT_EQ(statiState().settings.binDir, dir + "/");
    } else {
      EXPECT_THAT(env.Trace(), HasText("stati's binary directory path too long\n"));
    }
  }
}

TEST(ParaLimits, BinDirWithItsSeparatorGivesTheSamePaths) {
  StatiTestEnv env;
  env.Set("DB", "Tessel");
  env.Set("BinDir", "/opt/zmo/");
  ASSERT_EQ(statiGetParaFromRegistry(), 0);
  EXPECT_EQ(statiState().settings.loaderPath, "/opt/zmo/zmoloader");
  EXPECT_EQ(statiState().settings.outFile, "/opt/zmo/zmo_stati.dat");
}

TEST(ParaLimits, ServerFileNameTooLongIsRefused) {
  for (size_t len : {511u, 512u}) {
    StatiTestEnv env;
    env.Set("DB", "Tessel");
    env.Set("BinDir", "/opt/zmo");
    env.Set("StatiDebug", "True");
    const std::string name = "/" + std::string(len - 1, 'f');
    env.Set("StatiInput", name);
    EXPECT_EQ(statiGetParaFromRegistry(), len < 512 ? 0 : 9) << len;
    if (len < 512) {
      EXPECT_EQ(statiState().settings.serverFile, name);
    } else {
      EXPECT_THAT(env.Trace(), HasText("value <StatiInput> for subkey <" + K + "> too long\n"));
    }
  }
}

TEST(ParaLimits, LogSizeBelow512KeepsTheDefault) {
  StatiTestEnv env;
  env.Set("DB", "Tessel");
  env.Set("BinDir", "/opt/zmo");
  env.Set("StatiLogSize", "511");
  ASSERT_EQ(statiGetParaFromRegistry(), 0);
  EXPECT_EQ(zmo::TraceSizeLimit(), 1048576);
  env.Set("StatiLogSize", "512");
  ASSERT_EQ(statiGetParaFromRegistry(), 0);
  EXPECT_EQ(zmo::TraceSizeLimit(), 512);
}

TEST(DefaultFileNames, AreInTheProgramDirectory) {
  StatiTestEnv env;
  ASSERT_EQ(statiGetDefaultInFileName(), 0);
  ASSERT_EQ(statiGetDefaultOutFileName(), 0);
  ASSERT_EQ(statiGetDefaultAvailFileName(), 0);
  const StatiSettings& s = statiState().settings;
  EXPECT_EQ(s.serverFile, env.Dir() + "zmoserver.dat");
  EXPECT_EQ(s.outFile, env.Dir() + "zmostatiout.dat");
  EXPECT_EQ(s.availFile, env.Dir() + "zmostatiava.dat");
}

}  // namespace
