// Reading the raw and packed fields of a statistic record line, and the
// conversions of their values into the record's units.

#include <array>
#include <cstdint>
#include <cstring>

#include "statrec_internal.h"
#include "zmostati/statrec.h"

namespace zmo::stati {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// The two decimal digits of each byte as a number 0-99, or -1 when either
// nibble is above 9. Built at compile time, so a line is read a byte at a
// time without a branch per nibble.
constexpr std::array<signed char, 256> MakeDigitPairs() {
  std::array<signed char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    const int hi = b >> 4, lo = b & 0xF;
    t[b] = static_cast<signed char>(hi <= 9 && lo <= 9 ? hi * 10 + lo : -1);
  }
  return t;
}
constexpr std::array<signed char, 256> kDigitPairs = MakeDigitPairs();

struct TaskType {
  char code[3];
  char letters[3];
};
constexpr TaskType kTaskTypes[] = {
    {"01", "DD"}, {"02", "UU"}, {"03", "SS"}, {"04", "BB"}, {"05", "EE"}, {"06", "YY"},
    {"07", "AA"}, {"08", "22"}, {"FF", "CC"}, {"FE", "RR"}, {"FD", "LL"},
};
constexpr const char* kUnknownTaskType = "XX";

constexpr int HexDigit(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

// The letter of every task-type byte, from the codes above.
constexpr std::array<char, 256> MakeTaskLetters() {
  std::array<char, 256> t{};
  t.fill(kUnknownTaskType[1]);
  for (const TaskType& type : kTaskTypes) {
    t[HexDigit(type.code[0]) * 16 + HexDigit(type.code[1])] = type.letters[1];
  }
  return t;
}
constexpr std::array<char, 256> kTaskLetters = MakeTaskLetters();

// Largest values that two more digits, or one, still fit after.
constexpr std::int64_t kMaxBeforePair = (INT64_MAX - 99) / 100;
constexpr std::int64_t kMaxBeforeDigit = (INT64_MAX - 9) / 10;

}  // namespace

void statiPlusToBlank(char* text) {
  char* plus = std::strchr(text, '+');
  if (plus != nullptr) *plus = ' ';
}

void statiBytesToHex(char* out, const unsigned char* bytes, int n) {
  for (int i = 0; i < n; ++i) {
    out[2 * i] = kHex[bytes[i] >> 4];
    out[2 * i + 1] = kHex[bytes[i] & 0xF];
  }
  out[2 * (n > 0 ? n : 0)] = '\0';
}

void statiPackedToDec(char* out, const unsigned char* bytes, int n, int decimals) {
  if (n <= 0) {
    out[0] = '\0';
    return;
  }
  const int digits = 2 * n - 1;
  const unsigned sign = bytes[n - 1] & 0xF;
  int k = 0;
  out[k++] = sign == 0xD ? '-' : '+';
  for (int i = 0; i < digits; ++i) {
    if (decimals > 0 && i == digits - decimals) out[k++] = '.';
    const unsigned char b = bytes[i / 2];
    out[k++] = kHex[i % 2 == 0 ? b >> 4 : b & 0xF];
  }
  out[k] = '\0';
}

// Digit by digit, for the fields the fast path leaves: longer than 8 bytes,
// or with a digit nibble above 9.
std::int64_t statiPackedValueSlow(const unsigned char* bytes, int n) {
  if (n <= 0) return 0;
  // Up to 9 bytes (17 digits) nothing can overflow; only longer fields are
  // checked digit by digit.
  const bool checked = n > 9;
  std::int64_t value = 0;
  int i = 0;
  // Whole bytes of two digits, then the last digit before the sign nibble.
  for (; i < n - 1; ++i) {
    const int pair = kDigitPairs[bytes[i]];
    if (pair < 0 || (checked && value > kMaxBeforePair)) break;
    value = value * 100 + pair;
  }
  if (i < n - 1) {
    const unsigned hi = bytes[i] >> 4;
    if (checked && value > kMaxBeforePair) value = INT64_MAX;  // more digits than 64 bits hold
    else if (hi <= 9) value = value * 10 + hi;
  } else {
    const unsigned last = bytes[n - 1] >> 4;
    if (last <= 9) value = checked && value > kMaxBeforeDigit ? INT64_MAX : value * 10 + last;
  }
  return (bytes[n - 1] & 0xF) == 0xD ? -value : value;
}

std::int64_t statiPackedValue(const unsigned char* bytes, int n) {
  return statiPackedValueFast(bytes, n);
}

const char* statiMapTaskType(const char* code) {
  for (const TaskType& t : kTaskTypes) {
    if (code[0] == t.code[0] && code[0] != '\0' && code[1] == t.code[1] && code[2] == '\0') {
      return t.letters;
    }
  }
  return kUnknownTaskType;
}

char statiTaskTypeLetter(unsigned char type) { return kTaskLetters[type]; }

}  // namespace zmo::stati
