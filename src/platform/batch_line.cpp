// Taking a batch line apart: redirections, verb, file-name wildcards.
#include <cctype>
#include <string>

#include "batch_internal.h"

namespace zmo::batch {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct VerbName {
  const char* name;
  Verb verb;
};

constexpr VerbName kVerbs[] = {
    {"rem", Verb::kRem},   {"cd", Verb::kCd},     {"chdir", Verb::kCd}, {"title", Verb::kTitle},
    {"echo", Verb::kEcho}, {"move", Verb::kMove}, {"del", Verb::kDel},  {"erase", Verb::kDel},
    {"type", Verb::kType}, {"exit", Verb::kExit}, {"if", Verb::kIf},    {"goto", Verb::kGoto},
};

}  // namespace

int SplitRedirections(const std::string& text, Line* out, std::string* error) {
  out->command.clear();
  out->redirections.clear();
  bool quoted = false;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') quoted = !quoted;
    if (c != '>' || quoted) {
      out->command += c;
      ++i;
      continue;
    }
    Redirection r;
    ++i;
    if (i < text.size() && text[i] == '>') {
      r.append = true;
      ++i;
    }
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == '"') {
      size_t close = text.find('"', i + 1);
      size_t end = close == std::string::npos ? text.size() : close;
      r.target = text.substr(i + 1, end - i - 1);
      i = close == std::string::npos ? text.size() : close + 1;
    } else {
      while (i < text.size() && !IsBlank(text[i]) && text[i] != '>') r.target += text[i++];
    }
    if (r.target.empty()) {
      *error = "a redirection names no file";
      return -1;
    }
    out->redirections.push_back(r);
  }
  return 0;
}

Verb ParseVerb(const std::string& command, std::string* rest) {
  size_t start = 0;
  while (start < command.size() && IsBlank(command[start])) ++start;
  size_t end = start;
  while (end < command.size() && std::isalpha(static_cast<unsigned char>(command[end]))) ++end;
  std::string word;
  for (size_t i = start; i < end; ++i) {
    word += static_cast<char>(std::tolower(static_cast<unsigned char>(command[i])));
  }
  for (const VerbName& v : kVerbs) {
    if (word != v.name) continue;
    bool at_end = end == command.size();
    bool blank = !at_end && IsBlank(command[end]);
    if (v.verb == Verb::kEcho && (at_end || blank || command[end] == '.')) {
      *rest = command.substr(end);
      return v.verb;
    }
    if (at_end || blank) {
      size_t from = end;
      while (from < command.size() && IsBlank(command[from])) ++from;
      *rest = command.substr(from);
      return v.verb;
    }
  }
  rest->clear();
  return Verb::kNone;
}

std::string LabelOf(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size() || line[i] != ':') return "";
  std::string label;
  for (++i; i < line.size() && !IsBlank(line[i]); ++i) {
    label += static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
  }
  return label;
}

bool MatchWildcard(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0;
  size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      // Let the last star take one more character and try again.
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace zmo::batch
