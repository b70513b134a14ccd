// The per-pass readers: debug switch, answer time-out, last interval, sleep
// and delay times, schedule; and the due decision on what they read.

#include <climits>
#include <iterator>
#include <string>
#include <vector>

#include "common/config_table.h"
#include "common/config_values.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "zmogdlib/config_key.h"
#include "zmostati/config_rows.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace cfg = zmo::cfg;

namespace {

using zmo::ConfigFound;
using zmo::ConfigLines;
using zmo::ConfigMissing;
using zmo::ConfigRow;
using zmo::ConfigType;

// The wait between passes is given in int milliseconds.
constexpr int kMaxSleepSeconds = INT_MAX / 1000;
constexpr zmo::ConfigReader kTrace = {.trace = zmo::writeTrace};

struct LastText {
  const ConfigRow& row;
  std::string StatiInterval::*text;
};
constexpr LastText kLastTexts[] = {
    {kStatiLastStartDateRow, &StatiInterval::startDate},
    {kStatiLastEndDateRow, &StatiInterval::endDate},
    {kStatiLastEndTimeRow, &StatiInterval::endTime},
    {kStatiLastStartTimeRow, &StatiInterval::startTime},
};

constexpr int kDefaultSleepSeconds = zmo::configDefaultNumber(kStatiSleepTimeRow.defaultText);
constexpr int kDefaultDelayMinutes = zmo::configDefaultNumber(kStatiDelayTimeRow.defaultText);

int ReadLastInterval(HKEY key, StatiInterval* last) {
  for (const LastText& part : kLastTexts) {
    const int rc = zmo::readConfigValue(key, part.row, kTrace, &(last->*part.text));
    if (rc != 0) return rc;
  }
  std::string text;
  const int rc = zmo::readConfigValue(key, kStatiLastEndCountRow, kTrace, &text);
  if (rc != 0) return rc;
  last->endCount = zmo::configDecimal64(text);
  return 0;
}

void ReadSleepTime(HKEY key, int* seconds) {
  std::string text;
  zmo::readConfigValue(key, kStatiSleepTimeRow, kTrace, &text);
  const long long v = zmo::configDecimal64(text);
  // No wait at all would spin the loop; one too long for the wait's
  // milliseconds would overflow into a short or negative one.
  if (v <= 0 || v > kMaxSleepSeconds) {
    zmo::writeTrace("value <%s> of <%s> of subkey <%s> out of range setting default to %s %s.\n",
                    text.c_str(), kStatiSleepTimeRow.name, cfg::kConfigKey,
                    kStatiSleepTimeRow.defaultText, kStatiSleepTimeRow.unit);
    *seconds = kDefaultSleepSeconds;
    return;
  }
  *seconds = static_cast<int>(v);
}

int ReadDelayTime(HKEY key, int* minutes) {
  std::string text;
  const int rc = zmo::readConfigValue(key, kStatiDelayTimeRow, kTrace, &text);
  if (rc != 0) return rc;
  *minutes = zmo::configDecimal(text);
  return 0;
}

int ReadSchedule(HKEY key, std::string* text) {
  text->clear();
  for (const ConfigRow& row : kStatiSchedulePieceRows) {
    std::string piece;
    const int rc = zmo::readConfigValue(key, row, kTrace, &piece);
    if (rc != 0) return rc;
    *text += piece;
  }
  return 0;
}

}  // namespace

int statiGetDebugStatusFromRegistry() {
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return zmo::kConfigKeyNotOpened;
  std::string text;
  zmo::ConfigRead read = zmo::ConfigRead::kFound;
  zmo::readConfigValue(key.get(), kStatiDebugRow, zmo::ConfigReader{}, &text, &read);
  if (read == zmo::ConfigRead::kMissing) {
    zmo::writeTrace("debug switched off now\n");
    zmo::SetTraceSwitch(false);
  } else if (text == cfg::kTrue && !zmo::TraceSwitch()) {
    zmo::SetTraceSwitch(true);
    zmo::writeTrace("debug switched on\n");
  }
  return 0;
}

int statiGetWaitTime() {
  StatiState& st = statiState();
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return zmo::kConfigKeyNotOpened;
  std::string text;
  zmo::ConfigRead read = zmo::ConfigRead::kFound;
  zmo::readConfigValue(key.get(), kRetrievalWaitRow, kTrace, &text, &read);
  int minutes = zmo::configDecimal(text);
  if (minutes > INT_MAX / 60) minutes = INT_MAX / 60;  // seconds must fit
  if (minutes < INT_MIN / 60) minutes = INT_MIN / 60;
  st.rfcTimeoutSeconds = minutes * 60;
  if (read == zmo::ConfigRead::kFound) {
    zmo::writeTrace("Retrieval wait time set to <%i>\n", st.rfcTimeoutSeconds);
  }
  return 0;
}

int statiGetRunTimes() {
  StatiState& st = statiState();
  st.delayMinutes = kDefaultDelayMinutes;
  st.last = StatiInterval{};
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return zmo::kConfigKeyNotOpened;
  int rc = ReadLastInterval(key.get(), &st.last);
  if (rc != 0) return rc;
  ReadSleepTime(key.get(), &st.sleepSeconds);
  rc = ReadDelayTime(key.get(), &st.delayMinutes);
  if (rc != 0) return rc;
  std::string schedule;
  rc = ReadSchedule(key.get(), &schedule);
  if (rc != 0) return rc;
  std::string line;
  rc = statiParseSchedule(schedule, st.delayMinutes, cfg::kConfigKey, &st.borders, &line);
  zmo::writeTrace("%s", line.c_str());
  return rc;
}

int statiQueryRegForSleepTime() {
  StatiState& st = statiState();
  std::vector<std::string> lines;
  const int rc = statiDecideInterval(st.borders, st.delayMinutes, st.last, zmo::ClockNow(),
                                     &st.current, &st.due, &lines);
  for (const std::string& line : lines) zmo::writeTrace("%s", line.c_str());
  return rc;
}

}  // namespace zmo::stati
