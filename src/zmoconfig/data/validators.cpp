#include "zmoconfig/validators.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/clock.h"
#include "platform/files.h"

namespace zmo::config {

namespace {

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(const std::string& s, size_t pos, size_t len) {
  return std::atoi(s.substr(pos, len).c_str());
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

std::tm Now() { return zmo::ClockLocalTime(zmo::ClockNow()); }

std::string TodayText() {
  const std::tm t = Now();
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d", (t.tm_year + 1900) % 10000, (t.tm_mon + 1) % 100,
                t.tm_mday % 100);
  return text;
}

constexpr size_t kDateDigits = 8;
constexpr size_t kTimeDigits = 6;

}  // namespace

bool ValidStartDate(const std::string& d) {
  if (d.size() != kDateDigits || !AllDigits(d)) return false;
  const int year = Number(d, 0, 4), month = Number(d, 4, 2), day = Number(d, 6, 2);
  // Year 0 is no calendar year.
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  return d <= TodayText();
}

bool ValidEndDate(const std::string& d) { return ValidStartDate(d); }

bool ValidStartTime(const std::string& t, const std::string& d) {
  if (t.size() != kTimeDigits || !AllDigits(t)) return false;
  const int hour = Number(t, 0, 2), minute = Number(t, 2, 2), second = Number(t, 4, 2);
  if (hour == 24) {
    if (minute != 0 || second != 0) return false;
  } else if (hour > 23 || minute > 59 || second > 59) {
    return false;
  }
  if (d == TodayText()) {
    const std::tm now = Now();
    const int now_hhmmss = now.tm_hour * 10000 + now.tm_min * 100 + now.tm_sec;
    if (hour * 10000 + minute * 100 + second > now_hhmmss) return false;
  }
  return true;
}

bool ValidEndTime(const std::string& t, const std::string& d) { return ValidStartTime(t, d); }

bool IsDecimalNumber(const std::string& s) {
  for (char c : s) {
    if ((c < '0' || c > '9') && c != ',' && c != '.') return false;
  }
  return true;
}

std::string SecondsToMillis(std::string* s) {
  constexpr std::int64_t kInt32Max = 2147483647;
  const size_t sep = s->find_first_of(",.");
  if (sep != std::string::npos) {
    const std::string whole = s->substr(0, sep);
    const std::string decimals = s->substr(sep + 1);
    // Only one separator, digits on either side (either side may be empty).
    if ((!whole.empty() && !AllDigits(whole)) || (!decimals.empty() && !AllDigits(decimals))) {
      return *s;
    }
    std::string digits = whole + (decimals + "000").substr(0, 3);
    const size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? std::string() : digits.substr(first);
    if (digits.size() > 10 || (digits.size() == 10 && digits > "2147483647")) return *s;
    while (digits.size() < 4) digits.insert(digits.begin(), '0');
    return digits;
  }
  if (!AllDigits(*s)) return *s;
  const size_t first = s->find_first_not_of('0');
  const std::string seconds = first == std::string::npos ? "0" : s->substr(first);
  if (seconds.size() > 10 || std::atoll(seconds.c_str()) * 1000 > kInt32Max) return *s;
  *s = std::to_string(std::atoll(seconds.c_str()) * 1000);
  return *s;
}

std::string StripLeadingZeros(const std::string& s) {
  const std::string head = s.substr(0, 5);
  const size_t first = head.find_first_not_of('0');
  return first == std::string::npos ? std::string() : head.substr(first);
}

bool FileInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty()) return false;
  const std::string text = path;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(':', start);
    if (end == std::string::npos) end = text.size();
    const std::string dir = text.substr(start, end - start);
    if (!dir.empty() && zmo::FileExists(zmo::JoinPath(dir, name).c_str())) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace zmo::config
