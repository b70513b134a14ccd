// Local wall-clock moments for tests that run under a TZ of their own, and
// zone rules that need no zone database.
#pragma once

#include <cstdint>
#include <ctime>

namespace zmo_test {

// Central Europe with its daylight-saving rule.
inline constexpr const char* kTzCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

// A broken-down time of the given calendar fields (no zone applied).
inline std::tm Tm(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return tm;
}

// The time of a local wall-clock moment under the TZ in force.
inline std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm tm = Tm(year, month, day, hour, minute, second);
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

// A UTC moment in milliseconds, as the fake clock takes it.
inline std::int64_t UtcMillis(int year, int month, int day, int hour, int minute, int second = 0) {
  std::tm tm = Tm(year, month, day, hour, minute, second);
  return static_cast<std::int64_t>(timegm(&tm)) * 1000;
}

// The same moment in milliseconds, as the fake clock takes it.
inline std::int64_t LocalMillis(int year, int month, int day, int hour, int minute) {
  return static_cast<std::int64_t>(LocalTime(year, month, day, hour, minute)) * 1000;
}

}  // namespace zmo_test
