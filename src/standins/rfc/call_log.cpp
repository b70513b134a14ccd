// What the simulated systems received: kept in memory for tests and, when
// ZMO_SAP_CALL_LOG names a file, appended there one line an event.
#include <cstdio>
#include <cstdlib>

#include "state.h"

namespace zmo::rfc {
namespace {

// Tabs, line ends and other control bytes would break the line format.
std::string Escape(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[5];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void AppendToFile(const char* path, const SimLogEntry& e) {
  std::string line = std::to_string(e.at_ms) + "\t" + Escape(e.system.empty() ? "-" : e.system) +
                     "\t" + e.event + "\t" + Escape(e.function.empty() ? "-" : e.function) + "\t" +
                     std::to_string(e.result);
  for (const auto& [name, value] : e.values) {
    line += "\t" + Escape(name) + "=" + (name == "PASSWORD" ? std::string("***") : Escape(value));
  }
  for (const std::string& t : e.tables) line += "\ttable=" + Escape(t);
  line += "\n";
  if (std::FILE* f = std::fopen(path, "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
}

}  // namespace

void AppendLog(RfcLibState& st, SimLogEntry entry) {
  const char* path = std::getenv(kCallLogEnv);
  if (path != nullptr && *path != '\0') AppendToFile(path, entry);
  st.log.push_back(std::move(entry));
}

std::vector<SimLogEntry> SimCallLog() {
  RfcLibState& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  return st.log;
}

void SimClearCallLog() {
  RfcLibState& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  st.log.clear();
}

}  // namespace zmo::rfc
