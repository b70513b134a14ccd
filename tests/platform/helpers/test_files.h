// Test support for the process and service tests: a temporary directory of
// the test's own, and the lines a helper program reported.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zmo_test/scoped.h"

namespace zmo_test {

// The lines of the file that start with prefix, without it.
inline std::vector<std::string> LinesWith(const std::string& file, const std::string& prefix) {
  std::ifstream in(file);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
  }
  return out;
}

}  // namespace zmo_test
