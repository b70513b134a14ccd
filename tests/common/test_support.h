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
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "platform/files.h"
#include "zmo_test/scoped.h"

namespace zmo_test {

// The texts of a trace log's lines, without their time-stamp prefix and
// CR LF; none when there is no log.
inline std::vector<std::string> TraceTextsOf(const std::string& path) {
  constexpr size_t kPrefixLength = 21;  // "YYYY/MM/DD hh.mm.ss: "
  std::vector<std::string> texts;
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return texts;
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

// The runtime at its start values as zmostati with its trace switched on,
// with its program directory (trace log, catalogs) in a temp dir of the
// test's own.
class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::ResetConsoleRuntime();
    zmo::Runtime().program_dir = dir_.path();
    zmo::SetConsoleProgram(zmo::StatiProgramConfig());
    zmo::SetTraceSwitch(1);
  }
  void TearDown() override { zmo::ResetConsoleRuntime(); }

  std::string ReadFile(const std::string& path) {
    std::string data;
    EXPECT_EQ(zmo::ReadWholeFile(path, &data), 0) << path;
    return data;
  }

  // The lines of this process's trace log (TraceTextsOf).
  std::vector<std::string> TraceTexts() { return TraceTextsOf(zmo::TraceLogPath()); }

  TempDir dir_;
};

// A runtime test whose registry store lives in a temp dir of its own.
class RegistryTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    setenv("ZMO_REGISTRY", registry_.path().c_str(), 1);
  }
  void TearDown() override {
    RuntimeTest::TearDown();
    unsetenv("ZMO_REGISTRY");
  }

  // Stores a value of the given type under the configuration key.
  void SetConfigValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetConfigText(const char* name, const std::string& text) {
    SetConfigValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  HKEY OpenConfigKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    return key;
  }

  TempDir registry_;
};

// Two POSIX zone rules that need no zone database: Central Europe and the
// US East coast, each with its daylight-saving rule.
inline constexpr const char* kTzBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
inline constexpr const char* kTzNewYork = "EST5EDT,M3.2.0,M11.1.0";

}  // namespace zmo_test
