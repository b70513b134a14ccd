// Shared by the runtime's tests: a temp dir of each test's own, a fixture
// that puts the runtime back to its start values around every test, and a
// time zone set for one scope.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"

namespace zmo_test {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/zmo_common_XXXXXX";
    const char* made = mkdtemp(tmpl);
    EXPECT_NE(made, nullptr);
    if (made != nullptr) path_ = made;
  }
  ~TempDir() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return zmo::JoinPath(path_, name); }

 private:
  std::string path_;
};

// Sets TZ for the lifetime of the object and restores the old value.
class ScopedTz {
 public:
  explicit ScopedTz(const char* tz) {
    const char* old = getenv("TZ");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTz() {
    if (had_old_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_old_ = false;
  std::string old_;
};

// The runtime at its start values, with its program directory (trace log,
// catalogs) in a temp dir of the test's own.
class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = dir_.path();
  }
  void TearDown() override { zmo::ResetConsoleRuntime(); }

  std::string ReadFile(const std::string& path) {
    std::string data;
    EXPECT_EQ(zmo::ReadWholeFile(path, &data), 0) << path;
    return data;
  }

  // The texts of the trace log's lines, without their time-stamp prefix
  // and CR LF; none when there is no log.
  std::vector<std::string> TraceTexts() {
    std::vector<std::string> texts;
    std::string data;
    if (zmo::ReadWholeFile(zmo::TraceLogPath(), &data) != 0) return texts;
    size_t pos = 0;
    while (pos < data.size()) {
      size_t end = data.find("\r\n", pos);
      if (end == std::string::npos) end = data.size();
      std::string line = data.substr(pos, end - pos);
      texts.push_back(line.size() >= kPrefixLength ? line.substr(kPrefixLength) : line);
      pos = end + 2;
    }
    return texts;
  }

  static constexpr size_t kPrefixLength = 21;  // "YYYY/MM/DD hh.mm.ss: "
  TempDir dir_;
};

// Two POSIX zone rules that need no zone database: Central Europe and the
// US East coast, each with its daylight-saving rule.
inline constexpr const char* kTzBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
inline constexpr const char* kTzNewYork = "EST5EDT,M3.2.0,M11.1.0";

}  // namespace zmo_test
