// Stand-ins for the programs a program under test starts: shell scripts
// that record how they were called, and the record read back.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zmo_test {

// Writes at path a stand-in that appends "== <name>", its arguments as the
// program received them ("[arg]" each) and what the shell lines of extra
// print, to log.
inline void WriteRecorder(const std::string& path, const std::string& name, const std::string& log,
                          const std::string& extra) {
  const std::string script = "#!/bin/sh\n{\necho '== " + name + "'\n" +
                             "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n" + extra +
                             "} >> '" + log + "'\n";
  ASSERT_EQ(zmo::WriteFileAtomic(path, script, 0755), 0);
}

// The programs the recorders at log saw started, in order: each its name,
// then its arguments and what it printed.
inline std::vector<std::vector<std::string>> RecordedChildren(const std::string& log) {
  std::vector<std::vector<std::string>> children;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      children.push_back({line.substr(3)});
    } else if (!children.empty()) {
      const bool arg = line.size() >= 2 && line.front() == '[';
      children.back().push_back(arg ? line.substr(1, line.size() - 2) : line);
    }
  }
  return children;
}

}  // namespace zmo_test
