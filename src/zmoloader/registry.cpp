#include "zmoloader/registry.h"

#include <cstdio>

#include "common/config_table.h"
#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

using zmo::requiredConfigRow;
using zmo::requiredNumberRow;

// A value a run can do without, and what it reads as then, untraced.
constexpr zmo::ConfigRow Defaulted(const char* name, const char* text, bool number = false) {
  return {
      .name = name, .missing = zmo::ConfigMissing::kDefault, .defaultText = text, .number = number};
}

// The values a run reads by name. The metric switches are read as every
// program reads them (metricSwitchRow); SnapDebug and CustomGroupDate are
// read quietly where they are used. The numbers are read without the blanks
// around them and a line end after them.
constexpr zmo::ConfigRow kLoaderValues[] = {
    requiredConfigRow(zmo::cfg::kBinDir),
    requiredNumberRow(zmo::cfg::kLoaderLogSize),
    requiredNumberRow(zmo::cfg::kTrendKeepDays),
    requiredNumberRow(zmo::cfg::kDetailKeepDays),
    requiredConfigRow(zmo::cfg::kDB),
    Defaulted(zmo::cfg::kSystemSLA, "0", true),
    requiredConfigRow(zmo::cfg::kUser),
    requiredConfigRow(zmo::cfg::kAccess),
    requiredConfigRow(zmo::cfg::kDSN),
    requiredNumberRow(zmo::cfg::kArchiveKeepDays),
    requiredConfigRow(zmo::cfg::kINST),
    requiredConfigRow(zmo::cfg::kOracle),
    requiredConfigRow(zmo::cfg::kStatiOutPut),
    Defaulted(zmo::cfg::kLoadDebug, "null"),
};

// A required value that is missing ends the run with the loader's error.
static_assert(kLoaderExitError == zmo::kExitMissingRegistryValue);
// Without the store there is no trace switch and no BinDir for the trace log:
// standard error tells of a damaged store too.
void ReportDamagedStore(const char* text) {
  std::fprintf(stderr, "zmoloader: %s\n", text);
  loaderLog("ERROR - ERROR: %s\n", text);
}

constexpr zmo::ConfigReader kReader = {.trace = loaderLog,
                                       .keyMissingLine = "Required Registry Key not found\n",
                                       .damaged = ReportDamagedStore};

}  // namespace

int loaderQueryReg(const char* name, std::string* out) {
  const zmo::ConfigRow* row = zmo::findConfigRow(kLoaderValues, name);
  if (row != nullptr) return zmo::readConfigValue(*row, kReader, out);
  if (zmo::isMetricValueName(name))
    return zmo::readConfigValue(zmo::metricSwitchRow(name), kReader, out);
  // A name the loader does not read is refused unread, with the lines of a
  // required value that is not there: the run cannot go on without it.
  out->clear();
  zmo::traceConfigUnread(loaderLog, zmo::requiredConfigRow(name), zmo::ConfigRead::kMissing, false);
  return kLoaderExitError;
}

}  // namespace zmo::loader
