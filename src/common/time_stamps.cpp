#include "common/time_stamps.h"

#include <cstring>

#include "common/field_writer.h"

namespace zmo {
namespace {

// Each form as a pattern: Y, M, D, h, m and s take the next digit of that
// part of the 14-character stamp; every other character stands for itself.
const char* Pattern(int kind) {
  switch (kind) {
    case kDbOracle:
      return "YYYYMMDDhhmmss";
    case kDbCorva:
      return "YYYY-MM-DD-hh.mm.ss.000000";
    case kDbMssql:
    case kDbSybase:
      return "MM-DD-YYYY hh:mm:ss";
    case kDbTessel:
      return "YYYY-MM-DD hh:mm:ss";
    default:
      return nullptr;
  }
}

// The parts in the order of YYYYMMDDhhmmss, and where each starts there.
constexpr char kParts[] = "YMDhms";
constexpr int kPartStart[6] = {0, 4, 6, 8, 10, 12};

void PutDigits(char* out, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

bool Fits(int value, int limit) { return value >= 0 && value < limit; }

}  // namespace

int timeStampLength(int kind) {
  const char* p = Pattern(kind);
  return p == nullptr ? 0 : static_cast<int>(std::strlen(p));
}

int putTimeStamp(char* out, int kind, const char* date8, const char* time6) {
  const char* p = Pattern(kind);
  if (p == nullptr) return 0;
  char stamp[14];
  std::memcpy(stamp, date8, 8);
  std::memcpy(stamp + 8, time6, 6);
  int next[6];  // the next digit of each part
  std::memcpy(next, kPartStart, sizeof next);
  int n = 0;
  for (; p[n] != '\0'; ++n) {
    const char* part = std::strchr(kParts, p[n]);
    out[n] = part == nullptr ? p[n] : stamp[next[part - kParts]++];
  }
  return n;
}

int formatTimeStamp(char* out, int kind, const std::tm& tm) {
  out[0] = '\0';
  const int year = tm.tm_year + 1900, month = tm.tm_mon + 1;
  if (Pattern(kind) == nullptr || !Fits(year, 10000) || !Fits(month, 100) ||
      !Fits(tm.tm_mday, 100) || !Fits(tm.tm_hour, 100) || !Fits(tm.tm_min, 100) ||
      !Fits(tm.tm_sec, 100)) {
    return -1;
  }
  char digits[14];
  PutDigits(digits, year, 4);
  PutDigits(digits + 4, month, 2);
  PutDigits(digits + 6, tm.tm_mday, 2);
  PutDigits(digits + 8, tm.tm_hour, 2);
  PutDigits(digits + 10, tm.tm_min, 2);
  PutDigits(digits + 12, tm.tm_sec, 2);
  const int n = putTimeStamp(out, kind, digits, digits + 8);
  out[n] = '\0';
  return n;
}

}  // namespace zmo
