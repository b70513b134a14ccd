// A private world for one zmosnap test: its own temp directory as program
// directory (trace log, default server file) and as registry store, the
// common runtime and zmosnap's state reset, helpers to set registry values
// and read the trace log and files back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/console_program.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "rfc/simulator.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

// Milliseconds of a local wall-clock moment under the TZ in force.
inline std::int64_t LocalMillis(int year, int month, int day, int hour, int minute) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm)) * 1000;
}

// argv of one run of the program: "zmosnap", then args.
struct Argv {
  explicit Argv(std::vector<std::string> args) : text(std::move(args)) {
    text.insert(text.begin(), "zmosnap");
    for (std::string& t : text) ptrs.push_back(t.data());
    ptrs.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(ptrs.size()) - 1; }
  char** argv() { return ptrs.data(); }
  std::vector<std::string> text;
  std::vector<char*> ptrs;
};

class SnapTestEnv {
 public:
  SnapTestEnv()
      : dir_("zmosnap"), registry_("ZMO_REGISTRY", dir_.File("registry")) {
    if (!dir_.ok()) ADD_FAILURE() << "no temp dir";
    ResetAll();
    zmo::SetConsoleProgram(zmo::SnapProgramConfig());
    zmo::Runtime().program_dir = dir_.path();
  }
  ~SnapTestEnv() { ResetAll(); }
  SnapTestEnv(const SnapTestEnv&) = delete;
  SnapTestEnv& operator=(const SnapTestEnv&) = delete;

  // The temp directory with its trailing separator.
  std::string Dir() const { return zmo::WithTrailingSep(dir_.path()); }

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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return;
    }
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
  // Every metric switch zmosnap reads, with one value.
  static void SetAllSwitches(const std::string& value) {
    Set(zmo::cfg::kProcessQRBData, value);
    for (const char* name : zmo::cfg::kSnapSwitches) Set(name, value);
  }

  // The trace log as written, every line's time-stamp prefix taken off and
  // CR LF turned back into the "\n" the callers wrote.
  std::string Trace() const { return Read(Dir() + "trace_zmosnap.log", true); }
  bool TraceHas(const std::string& text) const { return Trace().find(text) != std::string::npos; }

  // A file's bytes, or "<none>"; with asTrace the trace form as above.
  static std::string Read(const std::string& path, bool asTrace = false) {
    std::string data;
    if (zmo::ReadWholeFile(path, &data) != 0) return asTrace ? "" : "<none>";
    if (!asTrace) return data;
    std::string text = std::regex_replace(data, std::regex("\r\n"), "\n");
    static const std::regex kPrefix("(^|\n)\\d{4}/\\d{2}/\\d{2} \\d{2}\\.\\d{2}\\.\\d{2}: ");
    return std::regex_replace(text, kPrefix, "$1");
  }
  // The CR LF lines of a file; a last line without one is marked.
  static std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string data = Read(path);
    if (data == "<none>") return lines;
    size_t pos = 0;
    while (pos < data.size()) {
      const size_t end = data.find("\r\n", pos);
      if (end == std::string::npos) {
        lines.push_back(data.substr(pos) + "<no CR LF>");
        break;
      }
      lines.push_back(data.substr(pos, end - pos));
      pos = end + 2;
    }
    return lines;
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

 private:
  static void ResetAll() {
    zmo::ResetConsoleRuntime();
    snapResetState();
    snapResetRecordState();
    snapResetRfcState();
    zmo::rfc::SimReset();
  }

  zmo_test::TempDir dir_;
  zmo_test::ScopedEnv registry_;
};
