#include "common/trace_log.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/log_line.h"
#include "common/runtime_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"

namespace zmo {
namespace {

// Opens the log for writing, truncating it; unbuffered, so every line reaches
// the file at once. Not inherited by the programs the collectors start.
std::FILE* OpenLogFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wbe");
  if (f != nullptr) std::setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

// Writes the time-stamped text in one write. The caller holds the lock and
// the log is open. Returns 0, or -1.
int WriteStampedLocked(TraceState& t, const char* text, size_t len) {
  const std::string out = stampedLogText(std::string_view(text, len));
  if (std::fwrite(out.data(), 1, out.size(), t.file) != out.size()) return -1;
  return 0;
}

// A line of the writer's own, formatted into a bounded buffer.
__attribute__((format(printf, 2, 3))) void WriteOwnLineLocked(TraceState& t, const char* format,
                                                              ...) {
  char text[kTraceLineMax];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (n < 0) return;
  size_t len = static_cast<size_t>(n) < sizeof(text) ? static_cast<size_t>(n) : sizeof(text) - 1;
  WriteStampedLocked(t, text, len);
}

// Opens the log on the first line of the process (or after a failed reopen).
// Returns 0, or -1 when there is no log to write to.
int OpenLogLocked(TraceState& t) {
  const ConsoleProgramConfig& program = Runtime().program;
  if (program.trace_limit_reset_on_open) t.size_limit.store(kDefaultTraceSizeLimit);
  if (program.trace_log_name[0] == '\0') return -1;
  std::string dir = ProgramDir();
  if (dir.empty() || dir.size() > static_cast<size_t>(kTraceDirMax)) return -1;
  t.old_path = dir + program.trace_old_name;
  t.log_path = dir + program.trace_log_name;
  t.file = OpenLogFile(t.log_path);
  if (t.file == nullptr) return -1;
  t.opened = true;
  return 0;
}

// The check before every kTraceCheckEvery-th line: rolls the log over to the
// old copy when it has grown past the limit. Returns 0, or -1 when the new log
// could not be opened (the line is then lost and the next one starts again).
int CheckSizeLocked(TraceState& t) {
  // The size is taken here without getFileSize, whose own trace lines would
  // come back into this writer.
  std::int64_t size = FileSize64(t.log_path.c_str());
  if (size < 0) {
    WriteOwnLineLocked(t, "could not get file size of file <%s>\n", t.log_path.c_str());
    return 0;
  }
  int limit = t.size_limit.load();
  if (size <= limit) return 0;

  WriteOwnLineLocked(t, "log file size <%lld> above max of <%i> bytes. backuping to <%s>\n",
                     static_cast<long long>(size), limit, t.old_path.c_str());
  if (std::remove(t.old_path.c_str()) != 0) {
    WriteOwnLineLocked(t, "remove of old logfile <%s> failed\n", t.old_path.c_str());
  }
  std::fclose(t.file);
  // Never replaces an old copy that could not be removed.
  RenameNoReplace(t.log_path.c_str(), t.old_path.c_str());
  t.file = OpenLogFile(t.log_path);
  if (t.file == nullptr) {
    t.opened = false;
    return -1;
  }
  return 0;
}

}  // namespace

int vwriteTrace(const char* format, va_list args) {
  TraceState& t = Runtime().trace;
  if (!t.enabled.load()) return 0;

  char text[kTraceLineMax];
  int n = std::vsnprintf(text, sizeof(text), format, args);
  if (n < 0) n = 0;
  // Longer texts are cut to what the buffer holds.
  size_t len = static_cast<size_t>(n) < sizeof(text) ? static_cast<size_t>(n) : sizeof(text) - 1;

  std::lock_guard<std::mutex> lock(t.mu);
  if (!t.opened && OpenLogLocked(t) != 0) return 0;
  if (t.line_count % kTraceCheckEvery == 0 && CheckSizeLocked(t) != 0) return 0;
  ++t.line_count;
  if (WriteStampedLocked(t, text, len) != 0) return 0;
  return static_cast<int>(len);
}

int writeTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = vwriteTrace(format, args);
  va_end(args);
  return n;
}

void SetTraceSwitch(bool on) { Runtime().trace.enabled.store(on); }
bool TraceSwitch() { return Runtime().trace.enabled.load(); }
void SetTraceSizeLimit(int bytes) { Runtime().trace.size_limit.store(bytes); }
int TraceSizeLimit() { return Runtime().trace.size_limit.load(); }

const char* TraceLogPath() { return Runtime().trace.log_path.c_str(); }
const char* TraceOldPath() { return Runtime().trace.old_path.c_str(); }

int applyTraceSizeLimit(HKEY config_key, const char* value_name) {
  const ConfigRow row = traceSizeLimitRow(value_name);
  SetTraceSizeLimit(kDefaultTraceSizeLimit);
  std::string text;
  ConfigRead read = ConfigRead::kFound;
  readConfigValue(config_key, row, ConfigReader{.trace = writeTrace}, &text, &read);
  if (read != ConfigRead::kFound) return 0;
  const int value = configDecimal(text);
  if (value >= kMinTraceSizeLimit) {
    SetTraceSizeLimit(value);
    writeTrace("log file max size set to <%i> bytes\n", value);
  } else {
    writeTrace("unexpected subkey value <%s> for entry <%s> of subkey <%s>\n", text.c_str(),
               value_name, cfg::kConfigKey);
    traceConfigDefault(writeTrace, row);
  }
  return 0;
}

void ResetTraceLog() {
  TraceState& t = Runtime().trace;
  std::lock_guard<std::mutex> lock(t.mu);
  if (t.file != nullptr) std::fclose(t.file);
  t.file = nullptr;
  t.opened = false;
  t.line_count = 0;
  t.enabled.store(false);
  t.size_limit.store(kDefaultTraceSizeLimit);
  t.log_path.clear();
  t.old_path.clear();
}

}  // namespace zmo
