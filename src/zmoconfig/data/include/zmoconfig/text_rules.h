// Small rules on typed text that several pages share. Texts are
// Windows-1252 bytes.
#pragma once

#include <string>
#include <string_view>

namespace zmo::config {

// text without blanks around it.
std::string Trimmed(std::string_view text);

// True for a non-empty text of the digits 0-9 only.
bool AllDigits(std::string_view text);

// True when text reads as a number the way the forms runtime reads one:
// blanks around it, an optional sign, digits with at most one ".", at least
// one digit, and an optional exponent (e, E, d or D, optional sign, digits).
bool LooksNumeric(std::string_view text);

// True when the trimmed text holds a blank.
bool HasInnerBlank(std::string_view text);

// Upper case by the code page (accented letters included).
std::string UpperText(std::string_view text);

// Equal without regard to case.
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace zmo::config
