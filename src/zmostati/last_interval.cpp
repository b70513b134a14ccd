// Stores the interval collected last, so that the next due decision starts
// where this collection ended.

#include <string>

#include "common/config_values.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace cfg = zmo::cfg;

int statiSetLastInterval() {
  const StatiInterval& last = statiState().last;
  zmo::ConfigKey key;
  if (!key.Open(KEY_SET_VALUE | KEY_QUERY_VALUE)) return 1;
  const struct {
    const char* name;
    std::string text;
  } values[] = {
      {cfg::kStatiLastStartDate, last.startDate.substr(0, 8)},
      {cfg::kStatiLastEndDate, last.endDate.substr(0, 8)},
      {cfg::kStatiLastStartTime, last.startTime.substr(0, 6)},
      {cfg::kStatiLastEndTime, last.endTime.substr(0, 6)},
      {cfg::kStatiLastQueryIntervalEnd, statiFormat("%lli", last.endCount)},
  };
  for (const auto& v : values) {
    const BYTE* data = reinterpret_cast<const BYTE*>(v.text.c_str());
    const DWORD size = static_cast<DWORD>(v.text.size() + 1);
    if (RegSetValueExA(key.get(), v.name, 0, REG_SZ, data, size) != ERROR_SUCCESS) {
      zmo::writeTrace("value <%s> for subkey <%s> could not be set to <%s>\n", v.name,
                      cfg::kConfigKey, v.text.c_str());
      return 1;
    }
    zmo::writeTrace("value <%s> for subkey <%s> set to <%s>\n", v.name, cfg::kConfigKey,
                    v.text.c_str());
  }
  return 0;
}
