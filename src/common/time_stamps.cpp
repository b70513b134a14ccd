#include "common/time_stamps.h"

namespace zmo {
namespace {

// A pattern worked out once, at compile time: for every character of the
// form the position in YYYYMMDDhhmmss it is taken from, or -1 for a
// character of the pattern itself.
struct Form {
  const char* pattern = nullptr;
  int length = 0;
  signed char source[kTimeStampMax] = {};
};

constexpr Form MakeForm(const char* pattern) {
  constexpr char kParts[] = "YMDhms";
  int next[6] = {0, 4, 6, 8, 10, 12};  // where each part starts in the stamp
  Form f;
  f.pattern = pattern;
  for (; pattern[f.length] != '\0'; ++f.length) {
    f.source[f.length] = -1;
    for (int p = 0; p < 6; ++p) {
      if (pattern[f.length] == kParts[p]) f.source[f.length] = static_cast<signed char>(next[p]++);
    }
  }
  return f;
}

// The stamp form of every kind, at its number less one.
constexpr Form kForms[kDbKindCount] = {
    MakeForm(kDbKinds[0].stampPattern), MakeForm(kDbKinds[1].stampPattern),
    MakeForm(kDbKinds[2].stampPattern), MakeForm(kDbKinds[3].stampPattern),
    MakeForm(kDbKinds[4].stampPattern)};

const Form* FormOf(DbKind kind) {
  return dbKindInfo(kind) == nullptr ? nullptr : &kForms[static_cast<int>(kind) - 1];
}

void PutDigits(char* out, int value, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

bool Fits(int value, int limit) { return value >= 0 && value < limit; }

}  // namespace

int timeStampLength(DbKind kind) {
  const Form* f = FormOf(kind);
  return f == nullptr ? 0 : f->length;
}

int putTimeStamp(char* out, DbKind kind, const char* date8, const char* time6) {
  const Form* f = FormOf(kind);
  if (f == nullptr) return 0;
  for (int i = 0; i < f->length; ++i) {
    const int src = f->source[i];
    out[i] = src < 0 ? f->pattern[i] : src < 8 ? date8[src] : time6[src - 8];
  }
  return f->length;
}

int formatTimeStamp(char* out, DbKind kind, const std::tm& tm) {
  out[0] = '\0';
  const int year = tm.tm_year + 1900, month = tm.tm_mon + 1;
  if (FormOf(kind) == nullptr || !Fits(year, 10000) || !Fits(month, 100) ||
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
