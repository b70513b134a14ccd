// The usage texts the command-line programs print, kept once each as a
// fixture file (tests/fixtures/usage/<program>.txt) with their exact bytes,
// and written anew by the goldens' switch (zmo_test/golden.h).
#pragma once

#include <string>

#include "zmo_test/files.h"
#include "zmo_test/golden.h"

namespace zmo_test {

// The fixture file of program's usage text.
inline std::string UsagePath(const std::string& program) {
  return std::string(ZMO_TEST_FIXTURES) + "/usage/" + program + ".txt";
}

// The usage text of program ("zmosetval", "zmomsg", "zmoloader"), or
// "<none>" when its fixture cannot be read.
inline std::string UsageText(const std::string& program) { return FileText(UsagePath(program)); }

// Expects printed to be program's usage text byte for byte; with
// ZMO_WRITE_GOLDENS=1 writes printed into the fixture instead.
inline void ExpectUsageText(const std::string& printed, const std::string& program) {
  ExpectGolden(printed, UsagePath(program));
}

}  // namespace zmo_test
