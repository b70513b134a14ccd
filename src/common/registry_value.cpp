#include "common/registry_value.h"

#include <vector>

#include "common/config_table.h"
#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"

namespace zmo {

// A value that grows between the size query and the read is asked for again.
LONG ReadRegistryText(HKEY key, const char* name, std::string* out) {
  DWORD size = 255;
  for (int attempt = 0; attempt < 4; ++attempt) {
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<char> buf(static_cast<size_t>(size) + 1, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buf.data()), &got);
    if (rc == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (got > size) got = size;
    buf[got] = '\0';  // a stored value need not end with its NUL
    out->assign(buf.data());
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

std::string getRequiredRegValue(const char* name) {
  static constexpr ConfigReader kRequired = {
      .trace = writeTrace, .exit = exitProgram, .keyMissingLine = "Could not open registry key\n"};
  std::string value;
  readConfigValue(metricSwitchRow(name), kRequired, &value);
  return value;
}

}  // namespace zmo
