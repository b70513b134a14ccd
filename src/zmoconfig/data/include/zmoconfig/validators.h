// Validators and converters of typed-in values: special-run dates and times,
// service-level seconds and milliseconds, and the program search path.
#pragma once

#include <string>

namespace zmo::config {

// A start or end date "yyyymmdd": exactly eight digits forming a real date
// that is not after today (today is valid).
bool ValidStartDate(const std::string& d);
bool ValidEndDate(const std::string& d);

// A start or end time "hhmmss": exactly six digits, hour 00-23 (or exactly
// 240000), minute and second 00-59; on date d equal to today it is not after
// the current second.
bool ValidStartTime(const std::string& t, const std::string& d);
bool ValidEndTime(const std::string& t, const std::string& d);

// True when every character is a digit, "," or "."; "" is true.
bool IsDecimalNumber(const std::string& s);

// Seconds as typed into milliseconds as digit text. With "," or "." (either
// separator): seconds times 1000, decimals after the third dropped, at least
// four digits ("2.5" -> "2500", ".5" -> "0500"). A whole number: its
// product with no leading zeros, and *s is replaced by it ("2" -> "2000").
// Anything else, and a number whose milliseconds do not fit 32 bits, comes
// back unchanged (and *s stays).
std::string SecondsToMillis(std::string* s);

// The first five characters of milliseconds text without the zeros in front
// ("0500" -> "500", "00000" -> "").
std::string StripLeadingZeros(const std::string& s);

// True when a file named name lies in a directory of PATH (split at ":").
bool FileInPath(const std::string& name);

}  // namespace zmo::config
