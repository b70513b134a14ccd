// Taking a script of the Oracle SQL client apart, line by line, as the
// client reads it.
#include "sqlplus_script.h"

#include <cctype>
#include <string>
#include <vector>

#include "platform/batch.h"
#include "tools.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kCommandWords[] = {"spool", "set",    "exit",  "quit",     "prompt",
                                         "rem",   "remark", "start", "whenever", "define",
                                         "def",   "column", "col"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool IsCommandLine(const std::string& trimmed) {
  if (trimmed[0] == '@') return true;
  std::string word, rest;
  SplitCommand(trimmed, &word, &rest);
  for (const char* w : kCommandWords) {
    if (word == w) return true;
  }
  return false;
}

// Follows the quotes of a statement line; the line's comment ("--" outside
// quotes) does not count. Returns the position of the ";" that ends the
// statement (the last character outside quotes and comment), else npos.
size_t ScanLine(const std::string& line, char* quote) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (*quote) {
      if (c == *quote) *quote = 0;
      last = std::string::npos;
      continue;
    }
    if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') break;
    if (c == '\'' || c == '"') *quote = c;
    if (!IsBlank(c)) last = c == ';' ? i : std::string::npos;
  }
  return *quote ? std::string::npos : last;
}

}  // namespace

void SplitCommand(const std::string& command, std::string* word, std::string* rest) {
  std::string t = TrimBlanks(command);
  size_t end = 0;
  if (t.rfind("@@", 0) == 0) {
    end = 2;
  } else if (!t.empty() && t[0] == '@') {
    end = 1;
  } else {
    while (end < t.size() && !IsBlank(t[end]) && t[end] != ';') ++end;
  }
  *word = Lower(t.substr(0, end));
  *rest = TrimBlanks(t.substr(end));
}

std::vector<ScriptItem> ParseSqlplusScript(const std::string& text) {
  std::vector<ScriptItem> items;
  std::vector<std::string> lines = zmo::SplitTextLines(text);
  ScriptItem current;  // the statement being read, when current.lines is not empty
  char quote = 0;
  // Ends the statement being read; one ended by ";" loses it (and what
  // follows it on its line) from its text, not from its lines.
  auto finish = [&](ScriptItemKind kind, size_t semicolon) {
    current.kind = kind;
    for (size_t i = 0; i < current.lines.size(); ++i) {
      bool last = i + 1 == current.lines.size();
      current.text +=
          (i ? "\n" : "") + (last ? current.lines[i].substr(0, semicolon) : current.lines[i]);
    }
    items.push_back(current);
    current = ScriptItem();
    quote = 0;
  };
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    std::string trimmed = TrimBlanks(line);
    if (!current.lines.empty() && !quote) {
      if (trimmed == "/") {
        finish(ScriptItemKind::kStatement, std::string::npos);
        items.back().lines.push_back(line);
        continue;
      }
      if (trimmed.empty()) {
        finish(ScriptItemKind::kStored, std::string::npos);
        continue;
      }
    }
    if (current.lines.empty()) {
      if (trimmed.empty() || trimmed.rfind("--", 0) == 0) continue;
      ScriptItem item;
      item.line = n + 1;
      item.lines = {line};
      if (trimmed == "/") {
        item.kind = ScriptItemKind::kRerun;
        items.push_back(item);
        continue;
      }
      if (IsCommandLine(trimmed)) {
        item.kind = ScriptItemKind::kCommand;
        item.text = trimmed;
        while (!item.text.empty() && (item.text.back() == ';' || IsBlank(item.text.back()))) {
          item.text.pop_back();
        }
        items.push_back(item);
        continue;
      }
      current.line = n + 1;
    }
    current.lines.push_back(line);
    size_t semicolon = ScanLine(line, &quote);
    if (semicolon != std::string::npos) finish(ScriptItemKind::kStatement, semicolon);
  }
  if (!current.lines.empty()) finish(ScriptItemKind::kStored, std::string::npos);
  return items;
}

}  // namespace zmo::dbtools
