#include "control_file.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kDateMask = "YYYYMMDDHH24MISS";
constexpr size_t kDateWidth = 14;

// "<keyword> '<path>'" (with more words after it when extra is given).
bool PathLine(const std::string& line, const char* keyword, std::string* path,
              std::vector<std::string>* extra = nullptr) {
  std::vector<std::string> w = Words(line);
  if (w.size() < 2 || Lower(w[0]) != keyword || line.find('\'') == std::string::npos) return false;
  *path = w[1];
  if (extra) extra->assign(w.begin() + 2, w.end());
  return !path->empty() && (extra || w.size() == 2);
}

// "NAME POSITION(a:b) Char(n)" or "NAME POSITION(a:b) Date \"mask\"".
bool ParseField(const std::string& text, ControlField* f, std::string* why) {
  std::vector<std::string> w = Words(text);
  if (w.size() < 3 || w.size() > 4) {
    *why = "a field is NAME POSITION(a:b) TYPE";
    return false;
  }
  f->name = w[0];
  unsigned a = 0, b = 0;
  char close = 0;
  std::string pos = Lower(w[1]);
  if (std::sscanf(pos.c_str(), "position(%u:%u%c", &a, &b, &close) != 3 || close != ')' ||
      pos.back() != ')' || a < 1 || b < a) {
    *why = "bad position " + w[1];
    return false;
  }
  f->start = a;
  f->end = b;
  size_t width = b - a + 1;
  std::string type = Lower(w[2]);
  if (type == "date") {
    f->date = true;
    if (w.size() != 4 || w[3] != kDateMask || width != kDateWidth) {
      *why = "a date field is Date \"" + std::string(kDateMask) + "\" in 14 columns";
      return false;
    }
    return true;
  }
  unsigned n = 0;
  if (w.size() != 3 || std::sscanf(type.c_str(), "char(%u%c", &n, &close) != 2 || close != ')' ||
      type.back() != ')' || n != width) {
    *why = "type " + w[2] + " does not fit POSITION(" + std::to_string(a) + ":" +
           std::to_string(b) + ")";
    return false;
  }
  return true;
}

bool PlausibleDate(std::string_view s) {
  if (s.size() != kDateWidth || !AllDigits(s)) return false;
  auto two = [&](size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); };
  return two(4) >= 1 && two(4) <= 12 && two(6) >= 1 && two(6) <= 31 && two(8) <= 23 &&
         two(10) <= 59 && two(12) <= 59;
}

}  // namespace

int ParseControlFile(const std::vector<std::string>& all_lines, ControlFile* out,
                     std::string* error) {
  std::vector<std::string> lines;
  std::vector<size_t> numbers;
  for (size_t i = 0; i < all_lines.size(); ++i) {
    if (all_lines[i].find_first_not_of(" \t") == std::string::npos) continue;
    lines.push_back(all_lines[i]);
    numbers.push_back(i + 1);
  }
  auto fail = [&](size_t index, const std::string& why) {
    *error = "line " +
             std::to_string(index < numbers.size() ? numbers[index] : all_lines.size() + 1) + ": " +
             why;
    return -1;
  };
  constexpr size_t kHeader = 7;
  if (lines.size() <= kHeader) return fail(lines.size(), "the field list is missing");
  std::vector<std::string> discard_rest;
  std::vector<std::string> into = Words(lines[6]);
  if (Words(Lower(lines[0])) != std::vector<std::string>{"load", "data"}) {
    return fail(0, "expected Load Data");
  }
  if (!PathLine(lines[1], "infile", &out->infile)) return fail(1, "expected infile '<file>'");
  if (!PathLine(lines[2], "badfile", &out->badfile)) return fail(2, "expected badfile '<file>'");
  if (!PathLine(lines[3], "discardfile", &out->discardfile, &discard_rest) ||
      discard_rest.size() != 2 || Lower(discard_rest[0]) != "discardmax" ||
      !AllDigits(discard_rest[1])) {
    return fail(3, "expected discardfile '<file>' discardmax <n>");
  }
  if (Words(Lower(lines[4])) != std::vector<std::string>{"truncate"}) {
    return fail(4, "expected truncate");
  }
  if (Words(Lower(lines[5])) != std::vector<std::string>{"preserve", "blanks"}) {
    return fail(5, "expected PRESERVE BLANKS");
  }
  if (into.size() != 3 || Lower(into[0]) != "into" || Lower(into[1]) != "table") {
    return fail(6, "expected into table <name>");
  }
  out->table = into[2];
  out->fields.clear();
  for (size_t i = kHeader; i < lines.size(); ++i) {
    std::string text = lines[i];
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    text = text.substr(b, e - b + 1);
    bool first = i == kHeader, last = i + 1 == lines.size();
    if (first && text[0] != '(') return fail(i, "the field list begins with (");
    if (first) text.erase(0, 1);
    char end = last ? ')' : ',';
    if (text.empty() || text.back() != end) {
      return fail(i, std::string("the field line ends with ") + end);
    }
    text.pop_back();
    ControlField f;
    std::string why;
    if (!ParseField(text, &f, &why)) return fail(i, why);
    size_t expected = out->fields.empty() ? 1 : out->fields.back().end + 1;
    if (f.start != expected) {
      return fail(i, f.name + " begins at column " + std::to_string(f.start) + ", not at " +
                         std::to_string(expected));
    }
    out->fields.push_back(f);
  }
  return 0;
}

size_t RecordLength(const ControlFile& control) {
  return control.fields.empty() ? 0 : control.fields.back().end;
}

std::string RecordMismatch(const ControlFile& control, std::string_view record) {
  if (record.size() != RecordLength(control)) {
    return std::to_string(record.size()) + " characters, the fields take " +
           std::to_string(RecordLength(control));
  }
  for (const ControlField& f : control.fields) {
    if (!f.date) continue;  // only dates are checked here: no copy of the other fields
    const std::string_view value = record.substr(f.start - 1, f.end - f.start + 1);
    if (!PlausibleDate(value)) return f.name + " \"" + std::string(value) + "\" is no date";
  }
  return "";
}

}  // namespace zmo::dbtools
