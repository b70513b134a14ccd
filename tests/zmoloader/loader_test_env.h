// The loader tests' setting: a registry store and a BinDir of the test's
// own, a fixed local time under a fixed time zone, zmogdlib and the English
// catalog beside the files, and a recorder in place of the process start.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmo_test/argv.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmo_test/trace.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/loader.h"
#include "zmoloader/state.h"

namespace loader_test {

using namespace zmo::loader;

// "secret" scrambled with the configurator's key.
constexpr const char* kScrambledSecret = "llEY0JBejVCSTJzQ_1G";
constexpr const char* kTzBerlin = zmo_test::kTzCentralEurope;
// 2004-01-10 10:11:12 in Central European winter time.
constexpr std::int64_t kNowMillis = 1073725872000LL;
constexpr const char* kNowStamp = "20040110101112";

// The data files a run loads, in BinDir (StatiOutPut names zmostati.dat).
inline const std::vector<std::string> kDataFiles = {"zmostati.dat", "zmosnap.cpu", "zmosnap.dsk",
                                                    "zmosnap.lan", "zmoavai.dat"};

// One start the loader asked for.
struct SpawnCall {
  int mode;
  std::string path;
  std::vector<std::string> argv;
};

inline std::vector<SpawnCall>& SpawnCalls() {
  static std::vector<SpawnCall> calls;
  return calls;
}
inline std::intptr_t& SpawnResult() {
  static std::intptr_t result = 0;
  return result;
}

// An Env that records each program start in SpawnCalls and answers
// SpawnResult, starting nothing.
class RecordSpawnEnv : public zmo::EnvWrapper {
 public:
  std::intptr_t Spawn(int mode, const char* path, const char* const* argv) override {
    SpawnCall call{mode, path, {}};
    for (const char* const* a = argv; *a != nullptr; ++a) call.argv.push_back(*a);
    SpawnCalls().push_back(call);
    return SpawnResult();
  }
};

// Installs the recorder until the next loaderReset.
inline void UseRecordSpawn() {
  static RecordSpawnEnv env;
  zmo::SetEnv(&env);
}

// The lines of a text, split at CR LF (a last line without one included).
inline std::vector<std::string> CrlfLines(const std::string& data) {
  return zmo_test::SplitCrlf(data);
}

class LoaderTest : public ::testing::Test {
 protected:
  LoaderTest()
      : registry_env_("ZMO_REGISTRY", registry_.path()),
        lang_("LC_ALL", "C"),
        trace_env_("ZMO_BATCH_TRACE", std::nullopt),
        tz_(kTzBerlin),
        clock_(kNowMillis) {}

  void SetUp() override {
    ASSERT_TRUE(registry_.ok() && dir_.ok());
    ResetRun();
    std::filesystem::create_directories(bin_dir());
    std::filesystem::create_directories(archive_dir());
    // zmogdlib and the catalog lie in BinDir, as in an installation.
    for (const char* name : {"zmogdlib.so", "zmocatENU.cat"}) {
      std::filesystem::create_symlink(zmo::JoinPath(ZMO_TEST_BIN_DIR, name), Bin(name));
    }
    SetDefaults();
    WriteDataFiles();
  }
  void TearDown() override { loaderReset(); }

  // Every data file there, empty: a run writes its whole batch (a run whose
  // data files are missing only closes the run).
  void WriteDataFiles() {
    for (const std::string& f : kDataFiles) zmo_test::WriteFile(Bin(f), "");
  }
  void RemoveDataFiles() {
    for (const std::string& f : kDataFiles) std::filesystem::remove(Bin(f));
  }

  // The configuration every test starts from (ProcessQRBData missing: no
  // filtering).
  void SetDefaults() {
    SetConfig(zmo::cfg::kBinDir, bin_dir());
    SetConfig(zmo::cfg::kSnapDebug, "True");
    SetConfig(zmo::cfg::kLoaderLogSize, "1024");
    SetConfig(zmo::cfg::kTrendKeepDays, "30");
    SetConfig(zmo::cfg::kDetailKeepDays, "-45");
    SetConfig(zmo::cfg::kDB, "Oracle");
    SetConfig(zmo::cfg::kOracle, "81");
    SetConfig(zmo::cfg::kINST, "zmoinst");
    SetConfig(zmo::cfg::kUser, "zmouser");
    SetConfig(zmo::cfg::kAccess, kScrambledSecret);
    SetConfig(zmo::cfg::kDSN, "WHSE");
    SetConfig(zmo::cfg::kArchiveKeepDays, "-7");
    SetConfig(zmo::cfg::kStatiOutPut, Bin("zmostati.dat"));
    DeleteConfig(zmo::cfg::kProcessQRBData);
  }

  // Start values for another run in the same test: the state, the recorder
  // and the trace log.
  void ResetRun() {
    loaderReset();
    SpawnCalls().clear();
    SpawnResult() = 0;
    UseRecordSpawn();
    std::error_code ignored;
    std::filesystem::remove(Bin("trace_zmoldr.log"), ignored);
  }

  std::string bin_dir() const { return dir_ / "bin"; }
  std::string archive_dir() const { return bin_dir() + "/ArchiveData"; }
  std::string Bin(const std::string& name) const { return bin_dir() + "/" + name; }

  void SetConfig(const char* name, const std::string& text) { zmo_test::PutConfigText(name, text); }
  // The key must be there.
  void DeleteConfig(const char* name) {
    ASSERT_EQ(zmo_test::DeleteConfigValue(name), ERROR_SUCCESS);
  }
  // Every metric switch stored, each "True" unless named in off.
  void SetSwitches(std::initializer_list<const char*> off);
  // Every metric switch stored: the snapshot ones "True", every one that
  // wants the statistic records "False".
  void SetStatisticsOff() {
    SetConfig(zmo::cfg::kProcessQRBData, "False");
    for (const char* name : zmo::cfg::kStatiSwitches) SetConfig(name, "False");
    for (const char* name : zmo::cfg::kSlaSwitches) SetConfig(name, "False");
    for (const char* name : zmo::cfg::kApplSwitches) SetConfig(name, "False");
    for (const char* name : zmo::cfg::kSnapSwitches) SetConfig(name, "True");
  }

  // Runs loaderMain with the arguments after the program name.
  int Run(std::vector<std::string> args) {
    zmo_test::Argv argv("zmoloader", std::move(args));
    return loaderMain(argv.argc(), argv.argv());
  }

  static std::string Read(const std::string& path) { return zmo_test::FileText(path); }
  std::vector<std::string> BinLines(const std::string& name) const {
    return CrlfLines(Read(Bin(name)));
  }
  // The trace log's texts without their time-stamp prefix.
  std::vector<std::string> TraceTexts() const {
    return zmo_test::TraceTextsOf(Bin("trace_zmoldr.log"));
  }

  zmo::FakeClock& clock() { return clock_.clock(); }

  zmo_test::TempDir registry_{"zmoloader_reg"};
  zmo_test::TempDir dir_{"zmoloader"};

 private:
  zmo_test::ScopedEnv registry_env_;
  zmo_test::ScopedEnv lang_;
  zmo_test::ScopedEnv trace_env_;
  zmo_test::ScopedTz tz_;
  zmo::ScopedFakeClock clock_;
};

inline void LoaderTest::SetSwitches(std::initializer_list<const char*> off) {
  SetConfig(zmo::cfg::kProcessQRBData, "False");
  auto set_all = [&](auto& names) {
    for (const char* name : names) {
      bool is_off = std::find_if(off.begin(), off.end(), [&](const char* o) {
                      return std::string(o) == name;
                    }) != off.end();
      SetConfig(name, is_off ? "False" : "True");
    }
  };
  set_all(zmo::cfg::kStatiSwitches);
  set_all(zmo::cfg::kSlaSwitches);
  set_all(zmo::cfg::kApplSwitches);
  set_all(zmo::cfg::kSnapSwitches);
}

// A program of the build tree.
inline std::string Program(const std::string& name) {
  return std::string(ZMO_TEST_BIN_DIR) + "/" + name;
}

// Today plus days as YYYYmmdd under the process's TZ.
inline std::string Day(int days) {
  std::time_t now = std::time(nullptr);
  std::tm tm = *std::localtime(&now);
  tm.tm_mday += days;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  std::mktime(&tm);
  char text[16];
  std::strftime(text, sizeof(text), "%Y%m%d", &tm);
  return text;
}

}  // namespace loader_test
