// A private world for one zmostati test: its own temp directory as program
// directory (trace log, default file names) and as registry store, the
// common runtime and zmostati's state reset, and helpers to set registry
// values and read the trace log back.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "common/console_program.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmostati/state.h"

class StatiTestEnv {
 public:
  StatiTestEnv() {
    std::string templ = (std::filesystem::temp_directory_path() / "zmostati_XXXXXX").string();
    char* made = mkdtemp(templ.data());
    if (made == nullptr) ADD_FAILURE() << "mkdtemp failed";
    dir_ = templ;
    std::filesystem::create_directories(dir_ / "registry");
    setenv("ZMO_REGISTRY", (dir_ / "registry").c_str(), 1);
    zmo::ResetConsoleRuntime();
    zmo::SetConsoleProgram(zmo::StatiProgramConfig());
    zmo::Runtime().program_dir = dir_.string();
    statiResetState();
  }
  ~StatiTestEnv() {
    zmo::ResetConsoleRuntime();
    statiResetState();
    unsetenv("ZMO_REGISTRY");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  const std::filesystem::path& dir() const { return dir_; }
  std::string Dir() const { return zmo::WithTrailingSep(dir_.string()); }

  static const char* KeyPath() { return zmo::cfg::kConfigKey; }

  static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void Set(const char* name, const std::string& value) {
    SetRaw(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
  }
  static void SetDword(const char* name, DWORD value) {
    SetRaw(name, REG_DWORD, &value, sizeof value);
  }
  static void Delete(const char* name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
  // The StatiLast* values of a collected interval.
  static void SetLast(const char* sd, const char* st, const char* ed, const char* et,
                      const std::string& endCount) {
    Set("StatiLastStartDate", sd);
    Set("StatiLastStartTime", st);
    Set("StatiLastEndDate", ed);
    Set("StatiLastEndTime", et);
    Set("StatiLastQueryIntervalEnd", endCount);
  }
  static void Fill(StatiInterval* i, const char* sd, const char* st, const char* ed,
                   const char* et) {
    i->startDate = sd;
    i->startTime = st;
    i->endDate = ed;
    i->endTime = et;
  }
  // Creates the configuration key with no values in it.
  static void CreateKey() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // The text of a value, or "<missing>".
  static std::string Get(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
      return "<missing>";
    }
    char buf[1024] = {0};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buf) : "<missing>";
  }

  // The trace log as written, every line's time-stamp prefix taken off and
  // CR LF turned back into the "\n" the callers wrote.
  std::string Trace() const {
    std::ifstream in(dir_ / "trace_zmostati.log", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = std::regex_replace(ss.str(), std::regex("\r\n"), "\n");
    static const std::regex kPrefix("(^|\n)\\d{4}/\\d{2}/\\d{2} \\d{2}\\.\\d{2}\\.\\d{2}: ");
    return std::regex_replace(text, kPrefix, "$1");
  }
  bool TraceContains(const std::string& line) const {
    return Trace().find(line) != std::string::npos;
  }

 private:
  std::filesystem::path dir_;
};
