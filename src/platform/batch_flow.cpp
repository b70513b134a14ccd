// The verbs that steer a batch: if errorlevel and goto. The load batches use
// them to see each tool's result and leave the rest of the batch on a
// failure.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "batch_internal.h"

namespace zmo::batch {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Takes the next blank-delimited word off *text.
std::string NextWord(std::string* text) {
  size_t b = 0;
  while (b < text->size() && IsBlank((*text)[b])) ++b;
  size_t e = b;
  while (e < text->size() && !IsBlank((*text)[e])) ++e;
  std::string word = text->substr(b, e - b);
  while (e < text->size() && IsBlank((*text)[e])) ++e;
  text->erase(0, e);
  return word;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int DoGoto(Run* run, const std::string& rest) {
  std::string text = rest;
  std::string label = Lower(NextWord(&text));
  if (!label.empty() && label[0] == ':') label.erase(0, 1);
  if (label.empty()) {
    Fail(run, "goto names no label");
    return 1;
  }
  run->goto_label = label;
  return run->error_level;
}

int DoIf(Run* run, const std::string& rest) {
  std::string text = rest;
  std::string word = Lower(NextWord(&text));
  bool negate = word == "not";
  if (negate) word = Lower(NextWord(&text));
  std::string number = NextWord(&text);
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(number.c_str(), &end, 10);
  if (word != "errorlevel" || number.empty() || *end != '\0' || errno != 0 || text.empty()) {
    // A test this interpreter cannot make must not pass for one that failed.
    Fail(run, "if: only \"if [not] errorlevel <n> <command>\" is known");
    return 1;
  }
  bool holds = run->error_level >= n;
  if (holds == negate) return run->error_level;
  return RunCommand(run, text);
}

}  // namespace zmo::batch
