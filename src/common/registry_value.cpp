#include "common/registry_value.h"

#include "common/config_table.h"
#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"

namespace zmo {

std::string getRequiredRegValue(const char* name) {
  static constexpr ConfigReader kRequired = {
      .trace = writeTrace, .exit = exitProgram, .keyMissingLine = "Could not open registry key\n"};
  std::string value;
  readConfigValue(metricSwitchRow(name), kRequired, &value);
  return value;
}

}  // namespace zmo
