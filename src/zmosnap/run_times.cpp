// The run-day decision: whether this pass collects, and how long it waits.

#include <cstdint>
#include <string>

#include "common/config_table.h"
#include "common/config_values.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config_rows.h"
#include "zmosnap/entry.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// The longest wait the event takes (INFINITE is one more).
constexpr long long kMaxSleepMillis = 0xFFFFFFFELL;

}  // namespace

int snapDecideRunTimes(long long days, long long seconds, int weekday, bool* run,
                       std::uint32_t* sleepMillis) {
  *run = false;
  *sleepMillis = kSnapFailureSleepMillis;
  if (days == 0) return kSnapNoRunDays;
  if (seconds == 0) return kSnapNoSleepTime;
  // The mask counts from Monday (bit 0) to Sunday (bit 6).
  const int day = (weekday + 6) % 7;
  if ((days & (1LL << day)) == 0) {
    *sleepMillis = kSnapIdleDaySleepMillis;
    return 0;
  }
  // The product is taken in 64 bits, so a huge sleep time is refused rather
  // than wrapped into a short one.
  if (seconds < 0 || seconds > kMaxSleepMillis / 1000) return kSnapSleepTimeOutOfRange;
  *sleepMillis = static_cast<std::uint32_t>(seconds * 1000);
  *run = true;
  return 0;
}

int snapGetRunTimes() {
  SnapState& st = snapState();
  st.runFlag = false;
  st.sleepMillis = kSnapFailureSleepMillis;
  zmo::ConfigKey key;
  if (!key.Open()) return zmo::kConfigKeyNotOpened;
  std::string days;
  std::string seconds;
  const zmo::ConfigReader reader = {.trace = zmo::writeTrace};
  int rc = zmo::readConfigValue(key.get(), kSnapRunDaysRow, reader, &days);
  if (rc == 0) rc = zmo::readConfigValue(key.get(), kSnapSleepTimeRow, reader, &seconds);
  if (rc != 0) return rc;
  const std::tm now = zmo::ClockLocalTime(zmo::ClockNow());
  return snapDecideRunTimes(zmo::configDecimal64(days), zmo::configDecimal64(seconds), now.tm_wday,
                            &st.runFlag, &st.sleepMillis);
}

}  // namespace zmo::snap
