#include "key_errors.h"

#include <cstdio>

namespace zmo::setval {

void setvalReportDamage(LONG ret) {
  if (ret == ERROR_BADDB) std::printf("*** ERROR: %s\n", zmo::RegistryDamageText(ret).c_str());
}

void setvalReportKeyError(LONG ret, const char* name, const char* other_fmt) {
  setvalReportDamage(ret);
  if (ret == ERROR_FILE_NOT_FOUND) {
    std::printf("*** ERROR: Key '%s' not found\n", name);
  } else if (ret == ERROR_ACCESS_DENIED) {
    std::printf("*** ERROR: Access denied to key '%s'\n", name);
  } else {
    std::printf(other_fmt, name, static_cast<int>(ret));
  }
}

}  // namespace zmo::setval
