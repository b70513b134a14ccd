#include "common/console_program.h"

#include "common/runtime_state.h"

namespace zmo {

ConsoleProgramConfig StatiProgramConfig() {
  ConsoleProgramConfig c;
  c.program = "zmostati";
  c.trace_log_name = "trace_zmostati.log";
  c.trace_old_name = "trace_zmostati_log.old";
  c.trace_limit_reset_on_open = true;
  c.service_name = "zmostati";
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
  c.program = "zmosnap";
  c.trace_log_name = "trace_zmosnap.log";
  c.trace_old_name = "trace_zmosnap_log.old";
  c.trace_limit_reset_on_open = false;
  c.service_name = "zmosnap";
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
