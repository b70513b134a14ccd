// Time-zone helpers of the zmostati tests: TZ for one scope, local moments.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "zmo_test/scoped.h"

using zmo_test::ScopedTz;

// The time of a local wall-clock moment under the TZ in force.
inline std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// Central European time with its daylight-saving rule, needing no tz files.
constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
