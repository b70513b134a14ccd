#include "zmoconfig/text_rules.h"

#include <cstring>

#include "common/data_files.h"
#include "zmoconfig/codepage.h"

namespace zmo::config {

std::string Trimmed(std::string_view text) { return std::string(zmo::trimBlanks(text)); }

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool LooksNumeric(std::string_view text) {
  const std::string t = Trimmed(text);
  size_t p = 0;
  if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
  size_t digits = 0;
  bool point = false;
  for (; p < t.size(); ++p) {
    if (t[p] >= '0' && t[p] <= '9') {
      ++digits;
    } else if (t[p] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (p == t.size()) return true;
  if (std::strchr("eEdD", t[p]) == nullptr) return false;
  ++p;
  if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
  return AllDigits(std::string_view(t).substr(p));
}

bool HasInnerBlank(std::string_view text) { return Trimmed(text).find(' ') != std::string::npos; }

std::string UpperText(std::string_view text) { return zmo::cp1252Upper(text); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return zmo::cp1252Upper(a) == zmo::cp1252Upper(b);
}

}  // namespace zmo::config
