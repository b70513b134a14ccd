// The per-pass readers: debug switch, answer time-out, last interval, sleep
// and delay times, schedule; and the due decision on what they read.

#include <climits>
#include <string>
#include <vector>

#include "common/config_values.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "zmogdlib/config_key.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace cfg = zmo::cfg;

namespace {

constexpr int kDefaultSleepSeconds = 60;
constexpr int kDefaultDelayMinutes = 15;
constexpr int kDefaultWaitMinutes = 5;
// The wait between passes is given in int milliseconds.
constexpr int kMaxSleepSeconds = INT_MAX / 1000;
constexpr size_t kDateChars = 8;
constexpr size_t kTimeChars = 6;
constexpr size_t kNumberChars = 20;
constexpr size_t kSchedulePieceChars = 90;

// One StatiLast* text. Returns false when it is not a string.
bool ReadLastText(HKEY key, const char* name, size_t max, std::string* out) {
  switch (zmo::readConfigText(key, name, max, out)) {
    case zmo::ConfigRead::kMissing:
      zmo::traceValueAssumingDefault(name, 0);
      return true;
    case zmo::ConfigRead::kNotString:
      zmo::traceValueNotString(name);
      return false;
    case zmo::ConfigRead::kFound:
      zmo::writeTrace("found value <%s> of <%s> of subkey <%s>\n", out->c_str(), name,
                      cfg::kConfigKey);
      return true;
  }
  return true;
}

int ReadLastInterval(HKEY key, StatiInterval* last) {
  if (!ReadLastText(key, cfg::kStatiLastStartDate, kDateChars, &last->startDate) ||
      !ReadLastText(key, cfg::kStatiLastEndDate, kDateChars, &last->endDate) ||
      !ReadLastText(key, cfg::kStatiLastEndTime, kTimeChars, &last->endTime) ||
      !ReadLastText(key, cfg::kStatiLastStartTime, kTimeChars, &last->startTime)) {
    return 3;
  }
  std::string text;
  switch (zmo::readConfigText(key, cfg::kStatiLastQueryIntervalEnd, kNumberChars, &text)) {
    case zmo::ConfigRead::kMissing:
      zmo::traceValueAssumingDefault(cfg::kStatiLastQueryIntervalEnd, 0);
      break;
    case zmo::ConfigRead::kNotString:
      zmo::traceValueNotString(cfg::kStatiLastQueryIntervalEnd);
      return 3;
    case zmo::ConfigRead::kFound:
      last->endCount = zmo::configDecimal64(text);
      zmo::writeTrace("found value <%lli> of <%s> of subkey <%s>\n", last->endCount,
                      cfg::kStatiLastQueryIntervalEnd, cfg::kConfigKey);
      break;
  }
  return 0;
}

void ReadSleepTime(HKEY key, int* seconds) {
  const char* name = cfg::kStatiSleepTime;
  std::string text;
  *seconds = kDefaultSleepSeconds;
  switch (zmo::readConfigText(key, name, kNumberChars, &text)) {
    case zmo::ConfigRead::kMissing:
      zmo::writeTrace("could not query value <%s> for subkey <%s> setting default to 60 seconds.\n",
                      name, cfg::kConfigKey);
      return;
    case zmo::ConfigRead::kNotString:
      zmo::writeTrace(
          "value <%s> for subkey <%s> has not string format setting default to 60 seconds.\n", name,
          cfg::kConfigKey);
      return;
    case zmo::ConfigRead::kFound:
      break;
  }
  const long long v = zmo::configDecimal64(text);
  // No wait at all would spin the loop; one too long for the wait's
  // milliseconds would overflow into a short or negative one.
  if (v <= 0 || v > kMaxSleepSeconds) {
    zmo::writeTrace("value <%s> of <%s> of subkey <%s> out of range setting default to 60 seconds.\n",
                    text.c_str(), name, cfg::kConfigKey);
    return;
  }
  *seconds = static_cast<int>(v);
}

int ReadDelayTime(HKEY key, int* minutes) {
  std::string text;
  switch (zmo::readConfigText(key, cfg::kStatiDelayTime, kNumberChars, &text)) {
    case zmo::ConfigRead::kMissing:
      zmo::traceValueAssumingDefault(cfg::kStatiDelayTime, kDefaultDelayMinutes);
      *minutes = kDefaultDelayMinutes;
      return 0;
    case zmo::ConfigRead::kNotString:
      zmo::traceValueNotString(cfg::kStatiDelayTime);
      return 3;
    case zmo::ConfigRead::kFound:
      *minutes = zmo::configDecimal(text);
      return 0;
  }
  return 0;
}

// Joins the six pieces. Only the first must exist.
int ReadSchedule(HKEY key, std::string* text) {
  text->clear();
  bool first = true;
  for (const char* name : cfg::kStatiSchedulePieces) {
    std::string piece;
    switch (zmo::readConfigText(key, name, kSchedulePieceChars, &piece)) {
      case zmo::ConfigRead::kMissing:
        zmo::traceValueNotFound(name);
        if (first) return 4;
        break;
      case zmo::ConfigRead::kNotString:
        zmo::traceValueNotString(name);
        return 5;
      case zmo::ConfigRead::kFound:
        zmo::writeTrace("found value <%s> of <%s> of subkey <%s>\n", piece.c_str(), name,
                        cfg::kConfigKey);
        *text += piece;
        break;
    }
    first = false;
  }
  return 0;
}

}  // namespace

int statiGetDebugStatusFromRegistry() {
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
  std::string text;
  // StatiDebug is read into a 6-byte buffer; its type is not looked at.
  const zmo::ConfigRead read = zmo::readConfigText(key.get(), cfg::kStatiDebug, 5, &text);
  if (read == zmo::ConfigRead::kMissing) {
    zmo::writeTrace("debug switched off now\n");
    zmo::SetTraceSwitch(0);
  } else if (text == cfg::kTrue && !zmo::TraceSwitch()) {
    zmo::SetTraceSwitch(1);
    zmo::writeTrace("debug switched on\n");
  }
  return 0;
}

int statiGetWaitTime() {
  StatiState& st = statiState();
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
  const char* name = cfg::kRetrievalWait;
  std::string text;
  switch (zmo::readConfigText(key.get(), name, kNumberChars, &text)) {
    case zmo::ConfigRead::kMissing:
      zmo::writeTrace("could not query value <%s> for subkey <%s> setting default to 5 minutes.\n",
                      name, cfg::kConfigKey);
      st.rfcTimeoutSeconds = kDefaultWaitMinutes * 60;
      return 0;
    case zmo::ConfigRead::kNotString:
      zmo::writeTrace(
          "value <%s> for subkey <%s> has not string format setting default to 5 minutes.\n", name,
          cfg::kConfigKey);
      st.rfcTimeoutSeconds = kDefaultWaitMinutes * 60;
      return 0;
    case zmo::ConfigRead::kFound:
      break;
  }
  int minutes = zmo::configDecimal(text);
  zmo::writeTrace("found value <%i> of <%s> of subkey <%s>\n", minutes, name, cfg::kConfigKey);
  if (minutes > INT_MAX / 60) minutes = INT_MAX / 60;  // seconds must fit
  if (minutes < INT_MIN / 60) minutes = INT_MIN / 60;
  st.rfcTimeoutSeconds = minutes * 60;
  zmo::writeTrace("Retrieval wait time set to <%i>\n", st.rfcTimeoutSeconds);
  return 0;
}

int statiGetRunTimes() {
  StatiState& st = statiState();
  st.delayMinutes = kDefaultDelayMinutes;
  st.last = StatiInterval{};
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
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
