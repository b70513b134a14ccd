// The usage texts the command-line programs print, kept once each as a
// fixture file (tests/fixtures/usage/<program>.txt) with their exact bytes.
#pragma once

#include <string>

#include "zmo_test/files.h"

namespace zmo_test {

// The usage text of program ("zmosetval", "zmomsg", "zmoloader"), or
// "<none>" when its fixture cannot be read.
inline std::string UsageText(const std::string& program) {
  return FileText(std::string(ZMO_TEST_FIXTURES) + "/usage/" + program + ".txt");
}

}  // namespace zmo_test
