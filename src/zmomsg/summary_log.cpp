// The summary logs: one per calling program in BinDir, rolled over to one
// older copy when they reach their size limit.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "common/log_line.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmomsg/zmomsg.h"

namespace zmo::msg {

namespace {

// Written to the log when its older copy could not be deleted.
constexpr const char* kDeleteFailedLine = "Delete of old log-file failed";

// Appends bytes to path as they are. Returns 0, or -1.
int appendRaw(const char* path, const std::string& bytes) {
  std::FILE* f = std::fopen(path, "ab");
  if (f == nullptr) return -1;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok ? 0 : -1;
}

// A summary-log line: the text as the logs hold it, ended by CR LF.
std::string summaryLine(const std::string& text) { return text + zmo::kLineEnd; }

}  // namespace

const SummaryLog* summaryLogFor(const char* program) { return zmo::summaryLogRow(program); }

std::int64_t msgLimitBytes(const char* kilobytes) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  // Read like atoi (leading blanks, a sign, digits; 0 for no digits), but
  // saturated instead of overflowing.
  long long kb = std::strtoll(kilobytes, nullptr, 10);
  if (kb > kMax / 1024) return kMax;
  if (kb < kMin / 1024) return kMin;
  return static_cast<std::int64_t>(kb) * 1024;
}

int rollMsgLog(const SummaryLog* log) {
  ZmomsgState& st = zmomsgState();
  std::optional<std::string> limit = readRegString(log->limit_value);
  if (!limit) return 0;
  std::int64_t size = zmo::FileSize64(st.log_path.c_str());
  if (size < 0) return 0;
  if (size < msgLimitBytes(limit->c_str())) return 0;
  if (std::remove(st.old_path.c_str()) != 0) {
    // A bare line, without the time stamp every other line has: readers of
    // the summary log know it by that.
    appendRaw(st.log_path.c_str(), summaryLine(zmo::textModeText(kDeleteFailedLine)));
  }
  return zmo::RenameNoReplace(st.log_path.c_str(), st.old_path.c_str()) == 0 ? 1 : 0;
}

int writeMsgLine(const char* path, int tab, const char* text) {
  return appendRaw(path, summaryLine(zmo::stampedLogText(text, tab ? "\t" : "")));
}

}  // namespace zmo::msg
