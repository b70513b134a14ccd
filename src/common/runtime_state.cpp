#include "common/runtime_state.h"

#include "common/gdlib_binding.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/env.h"
#include "platform/files.h"

namespace zmo {

ConsoleRuntime& Runtime() {
  static ConsoleRuntime runtime;
  return runtime;
}

void ResetConsoleRuntime() {
  ConsoleRuntime& r = Runtime();
  ResetTraceLog();
  ResetGdLibBinding();
  ResetServiceState();
  if (r.catalog != nullptr) FreeLibrary(r.catalog);
  r.catalog = nullptr;
  r.program = ConsoleProgramConfig();
  r.program_dir.clear();
  r.db_kind = DbKind::kNone;
  r.utc_offset = 0;
  ResetEnv();
}

std::string ProgramDir() {
  const std::string& dir = Runtime().program_dir;
  if (!dir.empty()) return WithTrailingSep(dir);
  return ProgramDirectory();
}

void exitProgram(int code) { CurrentEnv().Exit(code); }

}  // namespace zmo
