// The zmomsg tests' setting: a store and a BinDir of the test's own, a fixed
// local time under a fixed time zone, and the English locale.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "common/runtime_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmo_test/argv.h"
#include "zmo_test/files.h"
#include "zmo_test/registry.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmomsg/zmomsg.h"

namespace zmotest {

using zmo_test::Argv;
using zmo_test::PutValue;
using zmo_test::SpawnProgram;

constexpr const char* kConfigKey = "SOFTWARE\\Velmar\\Monitoring for Orvane";
// 2024-03-05 07:08:09 UTC, 08.08.09 in Central European winter time.
constexpr std::int64_t kNowMillis = 1709622489000LL;
constexpr const char* kStamp = "2024/03/05 08.08.09: ";

class MsgTest : public zmo_test::StoreTest {
 protected:
  MsgTest() : tz_(zmo_test::kTzCentralEurope), lang_("LC_ALL", "C"), clock_(kNowMillis) {
    std::filesystem::create_directories(bin_dir());
    std::filesystem::create_directories(prog_dir());
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = prog_dir() + "/";
    zmo::msg::zmomsgReset();
  }
  ~MsgTest() override { zmo::ResetConsoleRuntime(); }

  std::string bin_dir() const { return dir_ / "bin"; }
  // Where the program, and so its catalog, lies.
  std::string prog_dir() const { return dir_ / "prog"; }
  std::string LogPath(const char* name) const { return bin_dir() + "/" + name; }

  void SetConfig(const char* name, const std::string& text) {
    PutValue(HKEY_LOCAL_MACHINE, kConfigKey, name, zmo_test::Sz(text));
  }
  // A catalog beside the program: lines of "id TAB text".
  void WriteCatalog(const std::string& entries) {
    ASSERT_EQ(zmo::WriteFileAtomic(prog_dir() + "/zmocatENU.cat", entries), 0);
  }
  static std::string Read(const std::string& path) { return zmo_test::FileText(path); }
  static void Write(const std::string& path, const std::string& data) {
    zmo_test::WriteFile(path, data);
  }

 private:
  zmo_test::ScopedTz tz_;
  zmo_test::ScopedEnv lang_;
  zmo::ScopedFakeClock clock_;
};

}  // namespace zmotest
