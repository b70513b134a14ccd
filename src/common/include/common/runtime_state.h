// The process-wide state of a console program's common runtime, in one place
// so that a test can put all of it back to its start values.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "common/console_program.h"
#include "common/db_kind.h"
#include "common/service_state.h"
#include "platform/dynlib.h"
#include "zmogdlib/zmogdlib.h"

namespace zmo {

// The trace log writer (trace_log.h). The switch and the limit are set by
// the program's registry reader while the other thread may write a line.
struct TraceState {
  std::mutex mu;  // one line at a time; guards everything below but the atomics
  std::atomic<bool> enabled{false};
  std::atomic<int> size_limit{1048576};
  bool opened = false;
  int line_count = 0;  // lines of this process, never reset
  std::FILE* file = nullptr;
  std::string log_path;
  std::string old_path;
};

// The zmogdlib binding (gdlib_binding.h). The lock is held across a whole
// decryption, so that the stop request on the other thread cannot unload
// the library while Decrypt runs in it.
struct GdLibState {
  std::mutex mu;
  std::string bin_dir;
  HMODULE handle = nullptr;
  ZmoDecryptFn decrypt = nullptr;
  char clear[256] = {};  // the last clear password
};

struct ConsoleRuntime {
  ConsoleProgramConfig program;
  // Directory of the trace log and of the catalogs, with its trailing
  // separator; empty means the running executable's directory.
  std::string program_dir;
  TraceState trace;
  ServiceState service;
  GdLibState gdlib;
  DbKind db_kind = DbKind::kNone;  // the run's database kind (db_kind.h)
  HINSTANCE catalog = nullptr;     // the message catalog, nullptr when none found
  int utc_offset = 0;              // seconds, local time minus UTC
};

// The one runtime of the process.
ConsoleRuntime& Runtime();

// Closes the trace log, frees zmogdlib and the catalog, and puts every item
// back to its start value, the program identity included; removes the Envs
// a test installed with SetEnv (platform/env.h).
void ResetConsoleRuntime();

// The program directory in force (the override, or the executable's).
std::string ProgramDir();

// Ends the process with code through the Env in force. Returns only when a
// test installed an Env whose Exit returns.
void exitProgram(int code);

}  // namespace zmo
