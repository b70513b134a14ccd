// Wall-clock date arithmetic on broken-down fields.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/trace_log.h"
#include "platform/calendar.h"
#include "zmostati/timeconv.h"

namespace zmo::stati {

namespace {

using zmo::CivilFromDays;
using zmo::DaysFromCivil;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Normalises the fields of *tm like mktime, but as wall-clock fields with no
// time zone. Fails when the year leaves 0-9999 (no 8-digit date holds it).
bool Normalise(std::tm* tm) {
  const std::int64_t months = static_cast<std::int64_t>(tm->tm_year) * 12 + tm->tm_mon;
  const std::int64_t year = FloorDiv(months, 12) + 1900;
  const std::int64_t month = months - FloorDiv(months, 12) * 12 + 1;
  const std::int64_t days = DaysFromCivil(year, month, 1) + tm->tm_mday - 1;
  const std::int64_t secs = days * 86400 + static_cast<std::int64_t>(tm->tm_hour) * 3600 +
                            static_cast<std::int64_t>(tm->tm_min) * 60 + tm->tm_sec;
  const std::int64_t day = FloorDiv(secs, 86400);
  const std::int64_t sod = secs - day * 86400;
  std::int64_t y;
  int m, d;
  CivilFromDays(day, &y, &m, &d);
  if (y < 0 || y > 9999) return false;
  tm->tm_year = static_cast<int>(y - 1900);
  tm->tm_mon = m - 1;
  tm->tm_mday = d;
  tm->tm_hour = static_cast<int>(sod / 3600);
  tm->tm_min = static_cast<int>(sod % 3600 / 60);
  tm->tm_sec = static_cast<int>(sod % 60);
  tm->tm_isdst = -1;
  std::int64_t wday = (day + 4) % 7;  // 1970-01-01 was a Thursday
  tm->tm_wday = static_cast<int>(wday < 0 ? wday + 7 : wday);
  tm->tm_yday = static_cast<int>(day - DaysFromCivil(y, 1, 1));
  return true;
}

// The decimal number in characters [from, from + len) of text, reading no
// further than its end.
int Field(const char* text, size_t from, size_t len) {
  char buf[8] = {0};
  const size_t n = strnlen(text, from + len);
  if (n > from) std::memcpy(buf, text + from, n - from < len ? n - from : len);
  return std::atoi(buf);
}

bool ReadFields(const char* date, const char* time, std::tm* tm) {
  *tm = std::tm{};
  tm->tm_year = Field(date, 0, 4) - 1900;
  tm->tm_mon = Field(date, 4, 2) - 1;
  tm->tm_mday = Field(date, 6, 2);
  tm->tm_hour = Field(time, 0, 2);
  tm->tm_min = Field(time, 2, 2);
  tm->tm_sec = Field(time, 4, 2);
  tm->tm_isdst = -1;
  return Normalise(tm);
}

void WriteFields(const std::tm& tm, char* date, char* time) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.4i%.2i%.2i", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  std::memcpy(date, buf, 8);
  std::snprintf(buf, sizeof buf, "%.2i%.2i%.2i", tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::memcpy(time, buf, 6);
}

}  // namespace

int statiConvertTimeString2TmUTC(const char* date, const char* time, std::tm* tm) {
  if (!date || !time || !tm || !ReadFields(date, time, tm)) {
    zmo::writeTrace("statiConvertTimeString2TmUTC: mktime() returned unsuccessfully\n");
    return 1;
  }
  return 0;
}

int statiConvertTimeTmUtc2String(char* date, char* time, std::tm* tm) {
  if (!date || !time || !tm || !Normalise(tm)) {
    zmo::writeTrace("statiConvertTimeTmUtc2String: mktime() returned unsuccessfully\n");
    return 1;
  }
  WriteFields(*tm, date, time);
  return 0;
}

int statiConvertTimeToGMT(const char* date, const char* time, int offset, char* outDate,
                          char* outTime) {
  std::tm tm;
  if (!date || !time || !outDate || !outTime || !ReadFields(date, time, &tm)) return 1;
  tm.tm_sec -= offset;
  if (!Normalise(&tm)) return 1;
  WriteFields(tm, outDate, outTime);
  outDate[8] = '\0';
  outTime[6] = '\0';
  return 0;
}

bool statiIsBlank(const char* text) {
  if (!text) return false;
  for (; *text; ++text) {
    if (*text != ' ') return false;
  }
  return true;
}

}  // namespace zmo::stati
