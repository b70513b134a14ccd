#include "conf_parser.h"

#include <cctype>

#include "platform/files.h"

namespace zmo::rfc {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool IsName(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string ConfError(const std::string& file, int line, const std::string& message) {
  return file + ":" + std::to_string(line) + ": " + message;
}

int ParseConf(const std::string& text, const std::string& file, std::vector<ConfSection>* out,
              std::string* error) {
  out->clear();
  size_t pos = 0;
  int number = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string raw = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() : nl + 1;
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.find('\0') != std::string::npos) {
      *error = ConfError(file, number, "NUL byte in line");
      return -1;
    }
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') {
        *error = ConfError(file, number, "section header without closing ']'");
        return -1;
      }
      std::string inner = Trim(line.substr(1, line.size() - 2));
      size_t sp = inner.find_first_of(" \t");
      ConfSection s;
      s.name = Lower(inner.substr(0, sp));
      s.arg = sp == std::string::npos ? "" : Trim(inner.substr(sp));
      s.line = number;
      if (!IsName(s.name) || s.arg.find_first_of(" \t") != std::string::npos) {
        *error = ConfError(file, number, "section header must be [name] or [name argument]");
        return -1;
      }
      out->push_back(std::move(s));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      *error = ConfError(file, number, "expected key = value");
      return -1;
    }
    if (out->empty()) {
      *error = ConfError(file, number, "key outside a section");
      return -1;
    }
    ConfEntry e;
    e.key = Trim(line.substr(0, eq));
    e.value = Trim(line.substr(eq + 1));
    e.line = number;
    if (!IsName(e.key)) {
      *error = ConfError(file, number, "bad key '" + e.key + "'");
      return -1;
    }
    if (e.value.size() >= 2 && e.value.front() == '"' && e.value.back() == '"') {
      e.value = e.value.substr(1, e.value.size() - 2);
    } else if (!e.value.empty() && e.value.front() == '"') {
      *error = ConfError(file, number, "value opens a quote it does not close");
      return -1;
    }
    out->back().entries.push_back(std::move(e));
  }
  return 0;
}

int ParseConfFile(const std::string& path, std::vector<ConfSection>* out, std::string* error) {
  std::string text;
  if (ReadWholeFile(path, &text) != 0) {
    *error = path + ": cannot be read";
    return -1;
  }
  return ParseConf(text, path, out, error);
}

}  // namespace zmo::rfc
