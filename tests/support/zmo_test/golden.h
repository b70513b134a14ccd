// Golden files: a test's output compared with a file of the tree byte for
// byte, and a switch that writes the goldens anew from what the tests give
// (ZMO_WRITE_GOLDENS=1), so that a deliberate change is one command:
//
//   ZMO_WRITE_GOLDENS=1 ctest --test-dir build -R <tests>
//
// then review the difference with git diff.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zmo_test/files.h"

namespace zmo_test {

inline bool WritingGoldens() {
  const char* v = std::getenv("ZMO_WRITE_GOLDENS");
  return v != nullptr && std::string(v) == "1";
}

// Expects actual to equal the golden file's bytes; with ZMO_WRITE_GOLDENS=1
// writes actual into the golden file instead.
inline void ExpectGolden(const std::string& actual, const std::string& golden_path) {
  if (WritingGoldens()) {
    std::filesystem::create_directories(std::filesystem::path(golden_path).parent_path());
    std::ofstream out(golden_path, std::ios::binary | std::ios::trunc);
    out << actual;
    ASSERT_TRUE(out.good()) << "cannot write " << golden_path;
    return;
  }
  EXPECT_EQ(actual, FileText(golden_path)) << golden_path;
}

}  // namespace zmo_test
