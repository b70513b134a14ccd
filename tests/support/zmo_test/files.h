// Files and texts as the tests look at them: a file's bytes or a marker when
// there is none, its CR LF lines, fixed-width fields and the names in a
// directory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zmo_test {

// A file's bytes, or missing when it cannot be read.
inline std::string FileText(const std::string& path, const std::string& missing = "<none>") {
  std::string data;
  return zmo::ReadWholeFile(path, &data) == 0 ? data : missing;
}

inline void WriteFile(const std::string& path, const std::string& data) {
  ASSERT_EQ(zmo::WriteFileAtomic(path, data), 0) << path;
}

// The lines of a text split at line_end ("\r\n", "\n"); a last line
// without one is included as it stands.
inline std::vector<std::string> SplitAt(const std::string& data, const std::string& line_end) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find(line_end, pos);
    if (end == std::string::npos) end = data.size();
    lines.push_back(data.substr(pos, end - pos));
    pos = end + line_end.size();
  }
  return lines;
}

// The lines of a text split at CR LF; a last line without one is included
// as it stands.
inline std::vector<std::string> SplitCrlf(const std::string& data) { return SplitAt(data, "\r\n"); }

// The CR LF lines of a file (none when there is no file); a last line
// without one is marked "<no CR LF>", so that a missing end shows.
inline std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return lines;
  size_t pos = 0;
  while (pos < data.size()) {
    const size_t end = data.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(data.substr(pos) + "<no CR LF>");
      break;
    }
    lines.push_back(data.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// text left-aligned in width blanks, cut to it when longer.
inline std::string Pad(const std::string& text, size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

// How often what stands in text, overlapping ones counted.
inline int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The names of the entries of a directory, sorted; none when it cannot be
// read.
inline std::vector<std::string> SortedFileNames(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zmo_test
