// A private world for one test of a console program: its own temp directory
// as program directory (trace log, default files) and as registry store, the
// common runtime and the program's state reset before and after, and the
// configuration key's values set and the trace log read back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/console_program.h"
#include "common/runtime_state.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmo_test/config_store.h"
#include "zmo_test/scoped.h"
#include "zmo_test/trace.h"
#include "zmogdlib/config_key.h"

namespace zmo_test {

class ProgramTestEnv {
 public:
  // prefix names the temp dir; reset_state puts the program's own state
  // back to its start.
  ProgramTestEnv(const char* prefix, const zmo::ConsoleProgramConfig& program,
                 void (*reset_state)())
      : dir_(prefix),
        path_(dir_.path()),
        registry_("ZMO_REGISTRY", dir_.File("registry")),
        reset_state_(reset_state),
        trace_log_(program.trace_log_name) {
    if (!dir_.ok()) ADD_FAILURE() << "no temp dir";
    std::filesystem::create_directories(dir_.File("registry"));
    Reset();
    zmo::SetConsoleProgram(program);
    zmo::Runtime().program_dir = dir_.path();
  }
  ~ProgramTestEnv() { Reset(); }
  ProgramTestEnv(const ProgramTestEnv&) = delete;
  ProgramTestEnv& operator=(const ProgramTestEnv&) = delete;

  const std::filesystem::path& dir() const { return path_; }
  // The temp directory with its trailing separator.
  std::string Dir() const { return zmo::WithTrailingSep(dir_.path()); }

  static const char* KeyPath() { return zmo::cfg::kConfigKey; }

  static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    PutConfigValue(name, type, data, size);
  }
  static void Set(const char* name, const std::string& value) { PutConfigText(name, value); }
  static void SetDword(const char* name, DWORD value) { PutConfigDword(name, value); }

  // The trace log as written, every line's time-stamp prefix taken off and
  // CR LF turned back into the "\n" the callers wrote.
  std::string Trace() const { return TraceTextOf(dir_.File(trace_log_)); }

 private:
  void Reset() {
    zmo::ResetConsoleRuntime();
    reset_state_();
  }

  TempDir dir_;
  std::filesystem::path path_;
  ScopedEnv registry_;
  void (*reset_state_)();
  std::string trace_log_;
};

}  // namespace zmo_test
