#include "zmoloader/trace.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/config_table.h"
#include "common/log_line.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"

namespace zmo::loader {

namespace {

// The trace switch: the value SnapDebug exists, whatever its text. Read
// quietly, as every line asks it.
bool SnapDebugExists() {
  static constexpr zmo::ConfigRow kSnapDebug = zmo::quietConfigRow(zmo::cfg::kSnapDebug);
  std::string text;
  return zmo::readConfigValue(kSnapDebug, zmo::ConfigReader{}, &text) == 0;
}

std::string LogPath(const char* name) {
  const std::string& dir = loaderState().bin_dir;
  if (dir.empty()) return std::string();
  return zmo::JoinPath(dir, name);
}

}  // namespace

int loaderLog(const char* format, ...) {
  if (!SnapDebugExists()) {
    std::fputs("loaderLog, NOT Debug mode\n", stdout);
    return 0;
  }
  char text[kLoaderLineMax];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (n < 0) return 0;
  size_t len = static_cast<size_t>(n) < sizeof(text) ? static_cast<size_t>(n) : sizeof(text) - 1;

  std::string path = LogPath(kLoaderLogName);
  if (path.empty()) return 0;
  const std::string out = zmo::stampedLogText(std::string_view(text, len));
  // The trace shows the scrambled password: its owner's alone.
  std::FILE* f = zmo::OpenPrivateAppend(path.c_str());
  if (f == nullptr) return 0;
  size_t written = std::fwrite(out.data(), 1, out.size(), f);
  if (std::fclose(f) != 0 || written != out.size()) return 0;
  return static_cast<int>(len);
}

int CheckLogSize(const char* log_name, const char* old_name) {
  loaderLog("CheckLogSize: Loader log size registry key name=<%s>\n", zmo::cfg::kLoaderLogSize);
  std::string text;
  if (loaderQueryReg(zmo::cfg::kLoaderLogSize, &text) != 0) return kLoaderExitError;
  int limit_kb = parseIntText(text);
  loaderLog("CheckLogSize: Loader log returns <%s>\n", text.c_str());
  loaderLog("CheckLogSize: Size of the log = <%i>\n", limit_kb);
  std::string log_path = LogPath(log_name);
  loaderLog("CheckLogSize: Check size of loader log file named <%s>\n", log_path.c_str());
  std::int64_t size = zmo::FileSize64(log_path.c_str());
  if (size < 0) {
    loaderLog("CheckLogSize: Get stat info on file failed\n");
    return 0;
  }
  std::int64_t size_kb = size / 1024;
  loaderLog("CheckLogSize: Size of loader log = <%i>\n",
            static_cast<int>(size_kb < INT_MAX ? size_kb : INT_MAX));
  if (size_kb < limit_kb) {
    loaderLog("CheckLogSize: Log file not ready to roll\n");
    return 0;
  }
  std::string old_path = LogPath(old_name);
  std::remove(old_path.c_str());
  zmo::RenameNoReplace(log_path.c_str(), old_path.c_str());
  return 0;
}

int loaderHalt(const char* text) {
  loaderLog("ERROR - ERROR: %s\n", text);
  loaderLog("ERROR - ERROR: Execution halting\n");
  return kLoaderExitError;
}

}  // namespace zmo::loader
