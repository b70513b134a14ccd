// What distinguishes one console program from another inside the common
// runtime: file and service names, trace wording, and how the zmogdlib binding
// resolves Decrypt. Each program takes its preset, adds its work loop and
// installs it once at the start of main with SetConsoleProgram.
#pragma once

namespace zmo {

// When the binding looks up Decrypt in the loaded zmogdlib.
enum class DecryptResolve {
  kEveryCall,   // looked up again before every decryption (zmostati)
  kAtLoadOnly,  // looked up once when the library is loaded (zmosnap)
};

// The work loop a service runs; called with ServiceMain's arguments. Its
// result is not used.
using ServiceWorkLoop = int (*)(int argc, char** argv);

struct ConsoleProgramConfig {
  const char* program = "";         // program name, as in its trace lines
  const char* trace_log_name = "";  // trace log in the program directory
  const char* trace_old_name = "";  // the rolled-over copy beside it
  // The writer puts the size limit back to its default whenever it opens the
  // log (zmostati); otherwise the limit stays as the registry reader set it.
  bool trace_limit_reset_on_open = false;

  const char* service_name = "";
  const char* display_name = "";
  // Trace line written by the stop request after it set the disconnect flag.
  const char* disconnect_trace = "";

  DecryptResolve decrypt_resolve = DecryptResolve::kEveryCall;
  // Trace "zmodecrypt() Loading zmogdlib" before the first load (zmosnap).
  bool trace_decrypt_loading = false;
  // Where the zmogdlib binding writes its trace lines: a printf-style
  // writer, nullptr for the trace log (writeTrace). The loader gives its own.
  int (*gdlib_trace)(const char* format, ...) = nullptr;
  // Trace "zmoLoaderGdLib() trying <path>" before every load (zmoloader).
  bool trace_gdlib_trying = false;
  // Trace "local hostname=..." when looking up the address (zmosnap).
  bool trace_host_name = false;
  // Function name in the catalog loader's trace lines.
  const char* load_lang_name = "";

  ServiceWorkLoop work_loop = nullptr;
};

// The presets of the two collectors; work_loop is left for the program.
ConsoleProgramConfig StatiProgramConfig();
ConsoleProgramConfig SnapProgramConfig();

// Installs the program's identity for the whole process (copied).
void SetConsoleProgram(const ConsoleProgramConfig& config);
// The identity in force (an empty one until SetConsoleProgram).
const ConsoleProgramConfig& ConsoleProgram();

}  // namespace zmo
