#include "common/schedule_text.h"

#include <cctype>
#include <cstdio>

namespace zmo {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

int Fail(ScheduleScan* scan, int code, size_t pos, const char* expected) {
  scan->code = code;
  scan->pos = pos;
  scan->expected = expected;
  return code;
}

}  // namespace

int scanScheduleText(const std::string& text, size_t max_entries, ScheduleScan* scan) {
  *scan = ScheduleScan{};
  const size_t len = text.size();
  size_t p = 0;
  while (p < len) {
    if (text[p] == ' ') {
      ++p;
      continue;
    }
    if (!IsDigit(text[p])) return Fail(scan, kScheduleNotDigit, p, "digit");
    if (p + 1 >= len) return Fail(scan, kScheduleEndAfterDigit, len, "digit or colon");
    size_t colon = p + 1;
    if (IsDigit(text[p + 1])) {
      if (p + 2 >= len) return Fail(scan, kScheduleEndBeforeColon, len, "colon");
      colon = p + 2;
    }
    if (text[colon] != ':') return Fail(scan, kScheduleNoColon, colon, "digit or colon");
    if (colon + 2 >= len) return Fail(scan, kScheduleEndInMinute, len, "digit");
    if (!IsDigit(text[colon + 1])) return Fail(scan, kScheduleMinuteDigit1, colon + 1, "digit");
    if (!IsDigit(text[colon + 2])) return Fail(scan, kScheduleMinuteDigit2, colon + 2, "digit");
    const size_t after = colon + 3;
    if (after < len && text[after] != ' ') {
      return Fail(scan, kScheduleNoSeparator, after, "space or end of string");
    }
    int hour = 0;
    for (size_t i = p; i < colon; ++i) hour = hour * 10 + (text[i] - '0');
    const int minute = (text[colon + 1] - '0') * 10 + (text[colon + 2] - '0');
    if (hour > 23) {
      scan->value = hour;
      return Fail(scan, kScheduleBadHour, p, "space or end of string");
    }
    if (minute > 59) {
      scan->value = minute;
      return Fail(scan, kScheduleBadMinute, p, "space or end of string");
    }
    if (scan->minutes.size() >= max_entries) return Fail(scan, kScheduleTooMany, p, "");
    scan->minutes.push_back(hour * 60 + minute);
    p = after;
  }
  return kScheduleOk;
}

std::string scheduleEntryText(int minutes) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", (minutes / 60) % 100, minutes % 60);
  return text;
}

}  // namespace zmo
