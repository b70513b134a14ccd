// Stores the interval collected last, so that the next due decision starts
// where this collection ended.

#include <cstdio>
#include <string>

#include "common/config_values.h"
#include "common/registry_text.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmostati/collect.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace cfg = zmo::cfg;

int statiSetLastInterval() {
  const StatiInterval& last = statiState().last;
  zmo::ConfigKey key;
  if (!key.Open(KEY_SET_VALUE | KEY_QUERY_VALUE)) return zmo::kConfigKeyNotOpened;
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
    if (zmo::WriteRegistryText(key.get(), v.name, v.text.c_str()) != ERROR_SUCCESS) {
      zmo::writeTrace("value <%s> for subkey <%s> could not be set to <%s>\n", v.name,
                      cfg::kConfigKey, v.text.c_str());
      return 1;
    }
    zmo::writeTrace("value <%s> for subkey <%s> set to <%s>\n", v.name, cfg::kConfigKey,
                    v.text.c_str());
  }
  return 0;
}

std::string statiIntervalText(const StatiInterval& i) {
  return i.startDate + " " + i.startTime + " " + i.endDate + " " + i.endTime + " " +
         std::to_string(i.endCount);
}

int statiParseIntervalText(const std::string& text, StatiInterval* out) {
  char start_date[9], start_time[7], end_date[9], end_time[7];
  long long end_count = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%8[0-9] %6[0-9] %8[0-9] %6[0-9] %lld%n", start_date, start_time,
                  end_date, end_time, &end_count, &used) != 5 ||
      static_cast<size_t>(used) != text.size()) {
    return 1;
  }
  *out = StatiInterval{};
  out->startDate = start_date;
  out->startTime = start_time;
  out->endDate = end_date;
  out->endTime = end_time;
  out->endCount = end_count;
  return 0;
}

int statiStoreCollected(const StatiInterval& interval) {
  StatiState& st = statiState();
  if (!st.storesInterval) return 0;
  st.last = interval;
  st.collect.intervalStored = true;
  if (statiSetLastInterval() != 0) {
    zmo::writeTrace("failed to update Registry with last connect interval\n");
    return 1;
  }
  return 0;
}

}  // namespace zmo::stati
