// The loader's registry reader and writer, and the values a run cannot do
// without.
#include "zmoloader/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "loader_test_env.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;
using ::testing::IsEmpty;
using zmo_test::HasLine;

class LoaderRegistryTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    loaderState().bin_dir = bin_dir();
  }
  std::vector<std::string> LastTwo() {
    std::vector<std::string> t = TraceTexts();
    if (t.size() < 2) return t;
    return {t[t.size() - 2], t.back()};
  }
};

TEST_F(LoaderRegistryTest, ThreeValuesHaveDefaults) {
  struct Case {
    const char* name;
    const char* text;
  };
  const Case cases[] = {
      {"System_SLA", "0"}, {"LoadDebug", "null"}, {"ProcessQRBData", "True"}, {"system_sla", "0"}};
  for (const Case& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(loaderQueryReg(c.name, &out), 0) << c.name;
    EXPECT_EQ(out, c.text) << c.name;
  }
  // A stored value reads as stored.
  SetConfig(zmo::cfg::kSystemSLA, "2500");
  std::string out;
  EXPECT_EQ(loaderQueryReg(zmo::cfg::kSystemSLA, &out), 0);
  EXPECT_EQ(out, "2500");
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(LoaderRegistryTest, AnyOtherMissingValueEndsWith99) {
  std::string out;
  EXPECT_EQ(loaderQueryReg("CustomGroupDate", &out), kLoaderExitError);
  EXPECT_EQ(LastTwo(), (std::vector<std::string>{"Required Registry Value not found",
                                                 "Missing Value = CustomGroupDate"}));
}

// A name the loader does not read is refused even when it is stored; the
// metric switches of every run are read as required values.
TEST_F(LoaderRegistryTest, AnUnknownNameIsAnErrorNotASwitch) {
  SetConfig("CustomGroupDate", "20240131");
  SetConfig("ProcessSnapUserCPU", "False");
  std::string out = "stale";
  EXPECT_EQ(loaderQueryReg("CustomGroupDate", &out), kLoaderExitError);
  EXPECT_EQ(out, "");
  EXPECT_EQ(LastTwo(), (std::vector<std::string>{"Required Registry Value not found",
                                                 "Missing Value = CustomGroupDate"}));
  EXPECT_EQ(loaderQueryReg("processsnapusercpu", &out), 0);
  EXPECT_EQ(out, "False");
  EXPECT_EQ(loaderQueryReg("ProcessStatiCPU", &out), kLoaderExitError);
}

TEST_F(LoaderRegistryTest, MissingKeyEndsWith99) {
  zmo_test::TempDir empty("zmoloader_empty");
  zmo_test::ScopedEnv env("ZMO_REGISTRY", empty.path());
  std::string out;
  // Without the key there is no SnapDebug either, so the lines reach no log.
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(loaderQueryReg(zmo::cfg::kSystemSLA, &out), kLoaderExitError);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "loaderLog, NOT Debug mode\nloaderLog, NOT Debug mode\n");
}

struct MissingCase {
  const char* value;
  const char* db;
  std::vector<std::string> args;
  bool filtered;  // ProcessQRBData "False" with every switch stored
};

TEST_F(LoaderRegistryTest, EveryRequiredValueOfARun) {
  const std::vector<std::string> snap = {"-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"};
  const std::vector<std::string> stati = {"-p", "STATI", "-h", "10.20.30.40", "-i", "153", "-d"};
  const MissingCase cases[] = {
      {"LoaderLogSize", "Oracle", snap, false},
      {"TrendKeepDays", "Oracle", snap, false},
      {"DetailKeepDays", "Oracle", snap, false},
      {"DB", "Oracle", snap, false},
      {"User", "Oracle", snap, false},
      {"Access", "Oracle", snap, false},
      {"DSN", "Oracle", snap, false},
      {"ArchiveKeepDays", "Oracle", snap, false},
      {"INST", "Corva", snap, false},
      {"Oracle", "Oracle", snap, false},
      {"StatiOutPut", "MSSQL", stati, false},
      {"ProcessSnapUsers", "Oracle", snap, true},
      {"ProcessStatiActiveUsers", "Oracle", snap, true},
      {"ProcessSLAyes", "Oracle", stati, true},
      {"ProcessStatiActiveUsers", "Oracle", stati, true},
      {"ProcessApplKBchanged", "Oracle", stati, true},
  };
  for (const MissingCase& c : cases) {
    SCOPED_TRACE(std::string(c.value) + " " + c.args[1]);
    ResetRun();
    SetDefaults();
    SetConfig(zmo::cfg::kDB, c.db);
    if (c.filtered) SetSwitches({});
    DeleteConfig(c.value);
    EXPECT_EQ(Run(c.args), kLoaderExitError);
    EXPECT_EQ(LastTwo(), (std::vector<std::string>{"Required Registry Value not found",
                                                   std::string("Missing Value = ") + c.value}));
    EXPECT_TRUE(loader_test::SpawnCalls().empty());
  }
}

TEST_F(LoaderRegistryTest, NoBinDirEndsWith99BeforeAnyLog) {
  ResetRun();
  DeleteConfig(zmo::cfg::kBinDir);
  EXPECT_EQ(Run({"-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), kLoaderExitError);
  EXPECT_FALSE(zmo::FileExists(Bin("trace_zmoldr.log").c_str()));
}

TEST_F(LoaderRegistryTest, OptionalValuesMissingTheRunGoesOn) {
  DeleteConfig(zmo::cfg::kSystemSLA);
  ASSERT_EQ(zmo::WriteFileAtomic(Bin("zmosnap.cpu"), "x\r\n"), 0);
  EXPECT_EQ(Run({"-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), 0);
  EXPECT_THAT(TraceTexts(), HasLine("System SLA=0"));
  EXPECT_THAT(TraceTexts(), HasLine("Registry entry ProcessQRBData = <True>"));
  // LoadDebug reads as "null": the batch is started.
  ASSERT_EQ(loader_test::SpawnCalls().size(), 2u);
  EXPECT_EQ(loader_test::SpawnCalls()[1].path, Bin("zmoload_snap.bat"));
}

}  // namespace

namespace {

// A damaged store file is refused as a missing key would be; the loader
// says which file and line.
TEST_F(LoaderRegistryTest, ADamagedStoreIsNamedWithItsFileAndLine) {
  const std::string store = registry_.path() + "/HKEY_LOCAL_MACHINE.reg";
  std::string text;
  ASSERT_EQ(zmo::ReadWholeFile(store, &text), 0);
  const auto lines = std::count(text.begin(), text.end(), '\n');
  ASSERT_EQ(zmo::WriteFileAtomic(store, text + "[unclosed section\r\n"), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run({"-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), 99);
  const std::string err = testing::internal::GetCapturedStderr();
  // No trace switch and no BinDir can be read: standard error names it.
  const std::string named =
      "zmoloader: the registry store is damaged: " + store + ":" + std::to_string(lines + 1) + ": ";
  EXPECT_EQ(err.rfind(named, 0), 0u) << err;
}

}  // namespace
