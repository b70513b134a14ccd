#include "common/console_program.h"

#include "common/pipeline.h"
#include "common/runtime_state.h"

namespace zmo {

ConsoleProgramConfig StatiProgramConfig() {
  ConsoleProgramConfig c;
  const ProgramRow& row = pipelineProgram(PipelineProgram::kStati);
  c.program = row.executable;
  c.trace_log_name = row.trace_log;
  c.trace_old_name = row.trace_old;
  c.trace_limit_reset_on_open = true;
  c.service_name = row.executable;  // the service bears its program's name
  c.display_name = "Monitoring for Orvane Statistics";
  c.disconnect_trace = "disconnect flag set to true\n";
  c.decrypt_resolve = DecryptResolve::kEveryCall;
  c.trace_decrypt_loading = false;
  c.trace_host_name = false;
  c.load_lang_name = "zmostatiLoadLang";
  return c;
}

ConsoleProgramConfig SnapProgramConfig() {
  ConsoleProgramConfig c;
  const ProgramRow& row = pipelineProgram(PipelineProgram::kSnap);
  c.program = row.executable;
  c.trace_log_name = row.trace_log;
  c.trace_old_name = row.trace_old;
  c.trace_limit_reset_on_open = false;
  c.service_name = row.executable;  // the service bears its program's name
  c.display_name = "Monitoring for Orvane Indicator";
  c.disconnect_trace = "disconnect flag set\n";
  c.decrypt_resolve = DecryptResolve::kAtLoadOnly;
  c.trace_decrypt_loading = true;
  c.trace_host_name = true;
  c.load_lang_name = "zmosnapLoadLang";
  return c;
}

void SetConsoleProgram(const ConsoleProgramConfig& config) { Runtime().program = config; }

const ConsoleProgramConfig& ConsoleProgram() { return Runtime().program; }

}  // namespace zmo
