// Text operations of the loader: the tests and conversions of its
// arguments and the pieces of the table key.
#pragma once

#include <cstddef>
#include <string>

namespace zmo::loader {

// True when text consists of decimal digits only (an empty text is numeric).
bool isNumeric(const std::string& text);
// The text upper-cased (ASCII letters).
std::string upperCaseCopy(const std::string& text);
// Returns 0 and *out: text right-aligned over fill characters to exactly
// length characters; 1 (nothing) when length is 0 or the text is longer.
int padLeft(const std::string& text, size_t length, char fill, std::string* out);
// The process id part of the table key: the id left-padded with "0" to 5
// digits; a longer id keeps all its digits.
std::string makePidKey(const std::string& pid);
// The address part: every dotted part left-padded with "0" to 3 digits.
std::string makeIpKey(const std::string& ip);
// A copy without trailing blanks, of at most 255 characters.
std::string rightTrimCopy(const std::string& text);

// A dotted IPv4 address: four parts of 1 to 3 digits, each at most 255.
bool isIpv4Address(const std::string& text);
// A process id: 1 to kMaxPidDigits decimal digits.
constexpr size_t kMaxPidDigits = 10;
bool isDecimalPid(const std::string& text);

// The decimal value of text as atoi reads it (leading blanks, a sign,
// digits; 0 without digits), but clamped to the int range instead of
// overflowing.
int parseIntText(const std::string& text);

}  // namespace zmo::loader
