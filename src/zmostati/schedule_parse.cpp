// Parser of the schedule text: the shared grammar (common/schedule_text.h),
// the collector's checks of the entries against each other, and its traces.

#include <algorithm>

#include "common/schedule_text.h"
#include "zmogdlib/config_key.h"
#include "zmostati/format.h"
#include "zmostati/schedule.h"

namespace zmo::stati {

namespace {

// The messages name the joined text as if it were the last piece's value.
const char* const kValueName = zmo::cfg::kStatiSchedule6;

std::string UnexpectedChar(const std::string& text, size_t pos, const char* key,
                           const char* expected) {
  return statiFormat(
      "unexpected character <%c> at position <%i> of string <%s> of <%s> of\n"
      "subkey <%s>. expected %s.\n",
      text[pos], static_cast<int>(pos), text.c_str(), kValueName, key, expected);
}

std::string UnexpectedEnd(const std::string& text, const char* key, const char* expected) {
  return statiFormat("unexpected end of string <%s> of <%s> of subkey <%s>. expected %s.\n",
                     text.c_str(), kValueName, key, expected);
}

std::string BadValue(const char* what, int value, size_t pos, const std::string& text,
                     const char* key) {
  return statiFormat(
      "unexpected %s time value <%i> at position <%i> of string <%s> of <%s> of\n"
      "subkey <%s>. expected space or end of string.\n",
      what, value, static_cast<int>(pos), text.c_str(), kValueName, key);
}

// Scans the entries into *table by the shared grammar. Returns 0 or the
// syntax errors 6-16.
int ScanEntries(const std::string& text, const char* key, StatiBorderTable* table,
                std::string* trace) {
  table->count = 0;
  zmo::ScheduleScan scan;
  const int rc = zmo::scanScheduleText(text, kStatiMaxBorderTimes, &scan);
  switch (rc) {
    case zmo::kScheduleOk:
      break;
    case zmo::kScheduleEndAfterDigit:
    case zmo::kScheduleEndBeforeColon:
    case zmo::kScheduleEndInMinute:
      *trace = UnexpectedEnd(text, key, scan.expected);
      return rc;
    case zmo::kScheduleBadHour:
      *trace = BadValue("hour", scan.value, scan.pos, text, key);
      return rc;
    case zmo::kScheduleBadMinute:
      *trace = BadValue("minute", scan.value, scan.pos, text, key);
      return rc;
    case zmo::kScheduleTooMany:
      *trace =
          statiFormat("too many time parameters in <%s> of <%s> of subkey <%s>. maximum is <%i>.\n",
                      text.c_str(), kValueName, key, kStatiMaxBorderTimes);
      return rc;
    default:
      *trace = UnexpectedChar(text, scan.pos, key, scan.expected);
      return rc;
  }
  for (int minute : scan.minutes) table->minutes[table->count++] = minute;
  return 0;
}

// Checks the entries against each other and against the delay. Returns 0 or
// the errors 17-21.
int CheckEntries(int delay, StatiBorderTable* table, std::string* trace) {
  const int n = table->count;
  int* first = table->minutes.data();
  if (n == 0) {
    *trace = "no valid scheduling time found.\n";
    return kStatiNoBorderTime;
  }
  if (n == 1) {
    if (delay < 0 || delay > kStatiMinutesPerDay - 1) {
      *trace = statiFormat(
          "delay time of <%i> not in valid range [0;1439] when one border time "
          "<%.2i:%.2i> is specified\n",
          delay, first[0] / 60, first[0] % 60);
      return kStatiDelayOutOfRange;
    }
    return 0;
  }
  std::sort(first, first + n);
  for (int i = 1; i < n; ++i) {
    if (first[i] == first[i - 1]) {
      *trace = statiFormat("two equal scheduling times <%.2i:%.2i> found.\n", first[i] / 60,
                           first[i] % 60);
      return kStatiEqualBorderTimes;
    }
  }
  int gap = first[0] + kStatiMinutesPerDay - first[n - 1];
  for (int i = 1; i < n; ++i) gap = std::min(gap, first[i] - first[i - 1]);
  if (gap < kStatiMinBorderGap) {
    *trace = "minimal border time difference of 6 min undergone\n";
    return kStatiBorderGapTooSmall;
  }
  if (gap < delay) {
    *trace = statiFormat(
        "maximum delay time <%i> exceeded (maximum delay time is minimum boarder "
        "time difference). delay time was <%i>\n",
        gap, delay);
    return kStatiDelayTooLong;
  }
  // A negative delay would count an interval as passed before it ends, so
  // its last minutes would never be collected.
  if (delay < 0) {
    *trace = statiFormat("delay time of <%i> not in valid range [0;%i]\n", delay, gap);
    return kStatiDelayTooLong;
  }
  return 0;
}

}  // namespace

int statiParseSchedule(const std::string& text, int delay, const char* keyPath,
                       StatiBorderTable* table, std::string* trace) {
  int rc = ScanEntries(text, keyPath, table, trace);
  if (rc == 0) rc = CheckEntries(delay, table, trace);
  if (rc != 0) {
    table->count = -1;  // no half-read schedule is ever used
    return rc;
  }
  std::string line = statiFormat(
      "running with delay time <%imin>  and <%i> border time(s): ", delay, table->count);
  for (int i = 0; i < table->count; ++i) {
    line += statiFormat("<%.2i:%.2i> ", table->minutes[i] / 60, table->minutes[i] % 60);
  }
  line += "\n";
  *trace = line;
  return 0;
}

}  // namespace zmo::stati
