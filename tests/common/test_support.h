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
#include "platform/registry.h"
#include "zmo_test/config_store.h"
#include "zmo_test/scoped.h"
#include "zmo_test/time.h"
#include "zmo_test/trace.h"
#include "zmogdlib/config_key.h"

namespace zmo_test {

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
    PutConfigValue(name, type, data, size);
  }
  void SetConfigText(const char* name, const std::string& text) { PutConfigText(name, text); }
  HKEY OpenConfigKey() { return zmo_test::OpenConfigKey(); }

  TempDir registry_;
};

// Two POSIX zone rules that need no zone database: Central Europe and the
// US East coast, each with its daylight-saving rule.
inline constexpr const char* kTzBerlin = kTzCentralEurope;
inline constexpr const char* kTzNewYork = "EST5EDT,M3.2.0,M11.1.0";

}  // namespace zmo_test
