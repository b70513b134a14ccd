// A program's trace log read back without the time stamp that starts each
// line, so tests compare the texts the program traced.
#pragma once

#include <regex>
#include <string>
#include <vector>

#include "platform/files.h"
#include "zmo_test/files.h"

namespace zmo_test {

// The texts of a trace log's lines, without their time-stamp prefix and
// CR LF; none when there is no log.
inline std::vector<std::string> TraceTextsOf(const std::string& path) {
  constexpr size_t kPrefixLength = 21;  // "YYYY/MM/DD hh.mm.ss: "
  std::vector<std::string> texts;
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return texts;
  for (const std::string& line : SplitCrlf(data)) {
    texts.push_back(line.size() >= kPrefixLength ? line.substr(kPrefixLength) : line);
  }
  return texts;
}

// A trace log as one text: every line's time-stamp prefix taken off and
// CR LF turned back into the "\n" the callers wrote; empty when there is no
// log.
inline std::string TraceTextOf(const std::string& path) {
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return "";
  std::string text = std::regex_replace(data, std::regex("\r\n"), "\n");
  static const std::regex kPrefix("(^|\n)\\d{4}/\\d{2}/\\d{2} \\d{2}\\.\\d{2}\\.\\d{2}: ");
  return std::regex_replace(text, kPrefix, "$1");
}

}  // namespace zmo_test
