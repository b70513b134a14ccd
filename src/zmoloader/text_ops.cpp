#include "zmoloader/text_ops.h"

#include <cctype>
#include <climits>
#include <vector>

namespace zmo::loader {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a dotted text ("" parts included).
std::vector<std::string> SplitDots(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t dot = text.find('.', start);
    if (dot == std::string::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, dot - start));
    start = dot + 1;
  }
}

}  // namespace

bool isNumeric(const std::string& text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::string upperCaseCopy(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

int padLeft(const std::string& text, size_t length, char fill, std::string* out) {
  if (length == 0 || text.size() > length) return 1;
  *out = std::string(length - text.size(), fill) + text;
  return 0;
}

std::string makePidKey(const std::string& pid) {
  std::string key;
  if (padLeft(pid, 5, '0', &key) != 0) return pid;
  return key;
}

std::string makeIpKey(const std::string& ip) {
  std::string key;
  for (const std::string& part : SplitDots(ip)) {
    std::string padded;
    key += padLeft(part, 3, '0', &padded) == 0 ? padded : part;
  }
  return key;
}

std::string rightTrimCopy(const std::string& text) {
  std::string out = text.substr(0, 255);
  size_t end = out.find_last_not_of(' ');
  out.resize(end == std::string::npos ? 0 : end + 1);
  return out;
}

bool isIpv4Address(const std::string& text) {
  std::vector<std::string> parts = SplitDots(text);
  if (parts.size() != 4) return false;
  for (const std::string& part : parts) {
    if (part.empty() || part.size() > 3 || !isNumeric(part) || std::stoi(part) > 255) return false;
  }
  return true;
}

bool isDecimalPid(const std::string& text) {
  return !text.empty() && text.size() <= kMaxPidDigits && isNumeric(text);
}

int parseIntText(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

}  // namespace zmo::loader
