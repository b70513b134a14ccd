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
constexpr size_t kDateChars = 8;
constexpr size_t kTimeChars = 6;
constexpr size_t kNumberChars = 20;
constexpr size_t kSchedulePieceChars = 90;
constexpr zmo::ConfigReader kTrace = {.trace = zmo::writeTrace};

// A part of the last interval: a missing one is the empty interval's; one
// that is not text refuses the pass.
constexpr ConfigRow LastPart(const char* name, size_t maxChars, ConfigFound found) {
  return {.name = name,
          .maxChars = maxChars,
          .missing = ConfigMissing::kDefault,
          .type = ConfigType::kText,
          .notStringCode = 3,
          .lines = ConfigLines::kAssumingDefault,
          .found = found};
}

struct LastText {
  ConfigRow row;
  std::string StatiInterval::*text;
};
constexpr LastText kLastTexts[] = {
    {LastPart(cfg::kStatiLastStartDate, kDateChars, ConfigFound::kText), &StatiInterval::startDate},
    {LastPart(cfg::kStatiLastEndDate, kDateChars, ConfigFound::kText), &StatiInterval::endDate},
    {LastPart(cfg::kStatiLastEndTime, kTimeChars, ConfigFound::kText), &StatiInterval::endTime},
    {LastPart(cfg::kStatiLastStartTime, kTimeChars, ConfigFound::kText), &StatiInterval::startTime},
};
constexpr ConfigRow kLastEndCount =
    LastPart(cfg::kStatiLastQueryIntervalEnd, kNumberChars, ConfigFound::kNumber);

// A number with its default; a value of the other type is refused with 3
// where the row takes text only.
constexpr ConfigRow Number(const char* name, const char* defaultText, ConfigType type,
                           ConfigLines lines, const char* unit = "",
                           ConfigFound found = ConfigFound::kQuiet) {
  return {.name = name,
          .maxChars = kNumberChars,
          .missing = ConfigMissing::kDefault,
          .defaultText = defaultText,
          .type = type,
          .notStringCode = 3,
          .lines = lines,
          .unit = unit,
          .found = found};
}

// Seconds between passes; a value that cannot be used is the default.
constexpr ConfigRow kSleepTime = Number(cfg::kStatiSleepTime, "60", ConfigType::kTextOrMissing,
                                        ConfigLines::kSettingDefault, "seconds");
constexpr int kDefaultSleepSeconds = zmo::configDefaultNumber(kSleepTime.defaultText);
// Minutes an interval's end lies back from its border.
constexpr ConfigRow kDelayTime =
    Number(cfg::kStatiDelayTime, "15", ConfigType::kText, ConfigLines::kAssumingDefault);
constexpr int kDefaultDelayMinutes = zmo::configDefaultNumber(kDelayTime.defaultText);
// Minutes an answer of the system is waited for.
constexpr ConfigRow kRetrievalWait =
    Number(cfg::kRetrievalWait, "5", ConfigType::kTextOrMissing, ConfigLines::kSettingDefault,
           "minutes", ConfigFound::kInt);

// StatiDebug is read into a 6-byte buffer.
constexpr ConfigRow kDebug = {.name = cfg::kStatiDebug,
                              .maxChars = 5,
                              .missing = ConfigMissing::kDefault,
                              .type = ConfigType::kText};

// The six pieces of the schedule, joined. Only the first must exist.
constexpr ConfigRow SchedulePiece(int index) {
  return {.name = cfg::kStatiSchedulePieces[index],
          .maxChars = kSchedulePieceChars,
          .missing = index == 0 ? ConfigMissing::kFail : ConfigMissing::kDefault,
          .missingCode = 4,
          .type = ConfigType::kText,
          .notStringCode = 5,
          .lines = ConfigLines::kStandard,
          .found = ConfigFound::kText};
}
constexpr ConfigRow kSchedulePieces[] = {SchedulePiece(0), SchedulePiece(1), SchedulePiece(2),
                                         SchedulePiece(3), SchedulePiece(4), SchedulePiece(5)};
static_assert(std::size(kSchedulePieces) == std::size(cfg::kStatiSchedulePieces));

int ReadLastInterval(HKEY key, StatiInterval* last) {
  for (const LastText& part : kLastTexts) {
    const int rc = zmo::readConfigValue(key, part.row, kTrace, &(last->*part.text));
    if (rc != 0) return rc;
  }
  std::string text;
  const int rc = zmo::readConfigValue(key, kLastEndCount, kTrace, &text);
  if (rc != 0) return rc;
  last->endCount = zmo::configDecimal64(text);
  return 0;
}

void ReadSleepTime(HKEY key, int* seconds) {
  std::string text;
  zmo::readConfigValue(key, kSleepTime, kTrace, &text);
  const long long v = zmo::configDecimal64(text);
  // No wait at all would spin the loop; one too long for the wait's
  // milliseconds would overflow into a short or negative one.
  if (v <= 0 || v > kMaxSleepSeconds) {
    zmo::writeTrace("value <%s> of <%s> of subkey <%s> out of range setting default to %s %s.\n",
                    text.c_str(), kSleepTime.name, cfg::kConfigKey, kSleepTime.defaultText,
                    kSleepTime.unit);
    *seconds = kDefaultSleepSeconds;
    return;
  }
  *seconds = static_cast<int>(v);
}

int ReadDelayTime(HKEY key, int* minutes) {
  std::string text;
  const int rc = zmo::readConfigValue(key, kDelayTime, kTrace, &text);
  if (rc != 0) return rc;
  *minutes = zmo::configDecimal(text);
  return 0;
}

int ReadSchedule(HKEY key, std::string* text) {
  text->clear();
  for (const ConfigRow& row : kSchedulePieces) {
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
  zmo::readConfigValue(key.get(), kDebug, zmo::ConfigReader{}, &text, &read);
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
  zmo::readConfigValue(key.get(), kRetrievalWait, kTrace, &text, &read);
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
