// The zmomsg tests' setting: a store and a BinDir of the test's own, a fixed
// local time under a fixed time zone, and the English locale.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "../zmosetval/test_util.h"
#include "common/runtime_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmomsg/zmomsg.h"

namespace zmotest {

constexpr const char* kConfigKey = "SOFTWARE\\Velmar\\Monitoring for Orvane";
// 2024-03-05 07:08:09 UTC, 08.08.09 in Central European winter time.
constexpr std::int64_t kNowMillis = 1709622489000LL;
constexpr const char* kStamp = "2024/03/05 08.08.09: ";

class MsgTest : public StoreTest {
 protected:
  MsgTest()
      : tz_("TZ", "CET-1CEST,M3.5.0,M10.5.0/3"), lang_("LC_ALL", "C"), clock_(kNowMillis) {
    tzset();
    std::filesystem::create_directories(bin_dir());
    std::filesystem::create_directories(prog_dir());
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = prog_dir() + "/";
    zmomsgReset();
  }
  ~MsgTest() override { zmo::ResetConsoleRuntime(); }

  std::string bin_dir() const { return dir_ / "bin"; }
  // Where the program, and so its catalog, lies.
  std::string prog_dir() const { return dir_ / "prog"; }
  std::string LogPath(const char* name) const { return bin_dir() + "/" + name; }

  void SetConfig(const char* name, const std::string& text) {
    PutValue(HKEY_LOCAL_MACHINE, kConfigKey, name, Sz(text));
  }
  // A catalog beside the program: lines of "id TAB text".
  void WriteCatalog(const std::string& entries) {
    ASSERT_EQ(zmo::WriteFileAtomic(prog_dir() + "/zmocatENU.cat", entries), 0);
  }
  static std::string Read(const std::string& path) {
    std::string data;
    if (zmo::ReadWholeFile(path, &data) != 0) return "<none>";
    return data;
  }
  static void Write(const std::string& path, const std::string& data) {
    ASSERT_EQ(zmo::WriteFileAtomic(path, data), 0);
  }

 private:
  ScopedEnv tz_;
  ScopedEnv lang_;
  zmo::ScopedFakeClock clock_;
};

}  // namespace zmotest
