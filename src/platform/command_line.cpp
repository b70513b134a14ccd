#include "platform/command_line.h"

namespace zmo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NeedsQuotes(const std::string& arg) {
  if (arg.empty()) return true;
  for (char c : arg) {
    if (IsBlank(c) || c == '"') return true;
  }
  return false;
}

}  // namespace

std::string JoinCommandLine(const std::vector<std::string>& elements) {
  std::string line;
  for (size_t i = 0; i < elements.size(); ++i) {
    const std::string& e = elements[i];
    if (i > 0) line += ' ';
    bool program_with_blank =
        i == 0 && e.find_first_of(" \t") != std::string::npos && e.find('"') == std::string::npos;
    line += program_with_blank ? QuoteCommandLineArgument(e) : e;
  }
  return line;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  std::string current;
  bool in_arg = false;  // a quote alone starts an (empty) argument
  bool quoted = false;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (IsBlank(c) && !quoted) {
      if (in_arg) {
        args.push_back(current);
        current.clear();
        in_arg = false;
      }
      ++i;
      continue;
    }
    in_arg = true;
    if (c == '\\') {
      size_t n = 0;
      while (i < line.size() && line[i] == '\\') {
        ++n;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        current.append(n / 2, '\\');
        if (n % 2 == 1) {
          current += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        current.append(n, '\\');
      }
      continue;
    }
    if (c == '"') {
      quoted = !quoted;
    } else {
      current += c;
    }
    ++i;
  }
  if (in_arg) args.push_back(current);
  return args;
}

std::string QuoteCommandLineArgument(const std::string& arg) {
  if (!NeedsQuotes(arg)) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      // Backslashes before a quote are doubled, and the quote escaped.
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  // Backslashes before the closing quote are doubled so it stays a quote.
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace zmo
