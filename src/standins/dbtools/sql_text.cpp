// Taking script text apart: statements, words, create table.
#include <cctype>
#include <string>
#include <vector>

#include "tools.h"

namespace zmo::dbtools {

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string> SplitStatements(const std::string& text, std::string* tail) {
  std::vector<std::string> out;
  std::string current;
  char quote = 0;
  for (char c : text) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      std::string s = Trim(current);
      if (!s.empty()) out.push_back(s);
      current.clear();
      continue;
    }
    current += c;
  }
  *tail = Trim(current);
  return out;
}

std::vector<std::string> Words(const std::string& statement) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < statement.size()) {
    if (IsSpace(statement[i])) {
      ++i;
      continue;
    }
    std::string word;
    char c = statement[i];
    if (c == '\'' || c == '"') {
      size_t close = statement.find(c, i + 1);
      if (close == std::string::npos) close = statement.size();
      word = statement.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      while (i < statement.size() && !IsSpace(statement[i])) word += statement[i++];
    }
    out.push_back(word);
  }
  return out;
}

bool ParseCreateTable(const std::string& statement, std::string* name, size_t* columns) {
  std::vector<std::string> w = Words(statement);
  if (w.size() < 3 || Lower(w[0]) != "create" || Lower(w[1]) != "table") return false;
  std::string table = w[2];
  size_t paren = table.find('(');
  if (paren != std::string::npos) table = table.substr(0, paren);
  size_t open = statement.find('(');
  if (table.empty() || open == std::string::npos) return false;
  int depth = 0;
  size_t count = 1;
  bool closed = false;
  for (size_t i = open; i < statement.size() && !closed; ++i) {
    if (statement[i] == '(') ++depth;
    if (statement[i] == ')') closed = --depth == 0;
    if (statement[i] == ',' && depth == 1) ++count;
  }
  if (!closed) return false;
  *name = Lower(table);
  *columns = count;
  return true;
}

}  // namespace zmo::dbtools
