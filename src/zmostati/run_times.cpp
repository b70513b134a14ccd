// The per-pass readers: debug switch, answer time-out, last interval, sleep
// and delay times, schedule; and the due decision on what they read.

#include <climits>
#include <string>
#include <vector>

#include "common/trace_log.h"
#include "platform/clock.h"
#include "registry_read.h"
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
  switch (statiReadText(key, name, max, out)) {
    case StatiRead::kMissing:
      statiTraceAssumingDefault(name, 0);
      return true;
    case StatiRead::kNotString:
      statiTraceNotString(name);
      return false;
    case StatiRead::kFound:
      zmo::writeTrace("found value <%s> of <%s> of subkey <%s>\n", out->c_str(), name,
                      statiKeyPath());
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
  switch (statiReadText(key, cfg::kStatiLastQueryIntervalEnd, kNumberChars, &text)) {
    case StatiRead::kMissing:
      statiTraceAssumingDefault(cfg::kStatiLastQueryIntervalEnd, 0);
      break;
    case StatiRead::kNotString:
      statiTraceNotString(cfg::kStatiLastQueryIntervalEnd);
      return 3;
    case StatiRead::kFound:
      last->endCount = statiDecimal64(text);
      zmo::writeTrace("found value <%lli> of <%s> of subkey <%s>\n", last->endCount,
                      cfg::kStatiLastQueryIntervalEnd, statiKeyPath());
      break;
  }
  return 0;
}

void ReadSleepTime(HKEY key, int* seconds) {
  const char* name = cfg::kStatiSleepTime;
  std::string text;
  *seconds = kDefaultSleepSeconds;
  switch (statiReadText(key, name, kNumberChars, &text)) {
    case StatiRead::kMissing:
      zmo::writeTrace("could not query value <%s> for subkey <%s> setting default to 60 seconds.\n",
                      name, statiKeyPath());
      return;
    case StatiRead::kNotString:
      zmo::writeTrace(
          "value <%s> for subkey <%s> has not string format setting default to 60 seconds.\n", name,
          statiKeyPath());
      return;
    case StatiRead::kFound:
      break;
  }
  const long long v = statiDecimal64(text);
  // No wait at all would spin the loop; one too long for the wait's
  // milliseconds would overflow into a short or negative one.
  if (v <= 0 || v > kMaxSleepSeconds) {
    zmo::writeTrace("value <%s> of <%s> of subkey <%s> out of range setting default to 60 seconds.\n",
                    text.c_str(), name, statiKeyPath());
    return;
  }
  *seconds = static_cast<int>(v);
}

int ReadDelayTime(HKEY key, int* minutes) {
  std::string text;
  switch (statiReadText(key, cfg::kStatiDelayTime, kNumberChars, &text)) {
    case StatiRead::kMissing:
      statiTraceAssumingDefault(cfg::kStatiDelayTime, kDefaultDelayMinutes);
      *minutes = kDefaultDelayMinutes;
      return 0;
    case StatiRead::kNotString:
      statiTraceNotString(cfg::kStatiDelayTime);
      return 3;
    case StatiRead::kFound:
      *minutes = statiDecimal(text);
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
    switch (statiReadText(key, name, kSchedulePieceChars, &piece)) {
      case StatiRead::kMissing:
        statiTraceNotFound(name);
        if (first) return 4;
        break;
      case StatiRead::kNotString:
        statiTraceNotString(name);
        return 5;
      case StatiRead::kFound:
        zmo::writeTrace("found value <%s> of <%s> of subkey <%s>\n", piece.c_str(), name,
                        statiKeyPath());
        *text += piece;
        break;
    }
    first = false;
  }
  return 0;
}

}  // namespace

int statiGetDebugStatusFromRegistry() {
  StatiConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
  std::string text;
  // StatiDebug is read into a 6-byte buffer; its type is not looked at.
  const StatiRead read = statiReadText(key.get(), cfg::kStatiDebug, 5, &text);
  if (read == StatiRead::kMissing) {
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
  StatiConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
  const char* name = cfg::kRetrievalWait;
  std::string text;
  switch (statiReadText(key.get(), name, kNumberChars, &text)) {
    case StatiRead::kMissing:
      zmo::writeTrace("could not query value <%s> for subkey <%s> setting default to 5 minutes.\n",
                      name, statiKeyPath());
      st.rfcTimeoutSeconds = kDefaultWaitMinutes * 60;
      return 0;
    case StatiRead::kNotString:
      zmo::writeTrace(
          "value <%s> for subkey <%s> has not string format setting default to 5 minutes.\n", name,
          statiKeyPath());
      st.rfcTimeoutSeconds = kDefaultWaitMinutes * 60;
      return 0;
    case StatiRead::kFound:
      break;
  }
  int minutes = statiDecimal(text);
  zmo::writeTrace("found value <%i> of <%s> of subkey <%s>\n", minutes, name, statiKeyPath());
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
  StatiConfigKey key;
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
  rc = statiParseSchedule(schedule, st.delayMinutes, statiKeyPath(), &st.borders, &line);
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
