// The password of a tool line, masked wherever the interpreter shows the
// line: its echo on standard output (a console run prints every line) and
// its trace.
#include <cctype>
#include <string>
#include <vector>

#include "batch_internal.h"

namespace zmo::batch {

namespace {

constexpr const char* kMask = "****";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A word of the line: where it begins and ends, quotes included.
struct Word {
  size_t begin;
  size_t end;
};

std::vector<Word> Words(const std::string& text) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    const size_t begin = i;
    bool quoted = false;
    while (i < text.size() && (quoted || !IsBlank(text[i]))) {
      if (text[i] == '"') quoted = !quoted;
      ++i;
    }
    words.push_back({begin, i});
  }
  return words;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The program's name without quotes, directory or case.
std::string ProgramName(const std::string& word) {
  std::string name;
  for (char c : word) {
    if (c != '"') name += c;
  }
  const size_t slash = name.find_last_of('/');
  return Lower(slash == std::string::npos ? name : name.substr(slash + 1));
}

// Masks text[from, to) when it is not empty.
void MaskSpan(std::string* out, size_t from, size_t to) {
  if (from < to) out->replace(from, to - from, kMask);
}

// <user>/<password>@<source>: the part between the first "/" and the last
// "@" of the word, from offset start.
void MaskLogon(std::string* text, const Word& w, size_t start) {
  const size_t slash = text->find('/', start);
  const size_t at = text->rfind('@', w.end - 1);
  if (slash == std::string::npos || slash >= w.end || at == std::string::npos || at <= slash) {
    return;
  }
  MaskSpan(text, slash + 1, at);
}

}  // namespace

}  // namespace zmo::batch

namespace zmo {

std::string MaskSecrets(const std::string& line) {
  using namespace batch;
  std::string text = line;
  const std::vector<Word> words = Words(text);
  if (words.empty()) return text;
  const std::string program =
      ProgramName(text.substr(words[0].begin, words[0].end - words[0].begin));
  // Masking from the last word back keeps the earlier words' offsets.
  for (size_t i = words.size(); i-- > 1;) {
    const Word& w = words[i];
    const bool quoted = text[w.begin] == '"';
    const size_t start = w.begin + (quoted ? 1 : 0);
    const size_t stop = w.end - (quoted && w.end - w.begin > 1 && text[w.end - 1] == '"' ? 1 : 0);
    const std::string word = text.substr(start, stop - start);
    if (word.rfind("-P", 0) == 0 && word.size() > 2) {
      MaskSpan(&text, start + 2, stop);  // bcp, isql
    } else if (Lower(word).rfind("userid=", 0) == 0) {
      MaskLogon(&text, {start, stop}, start);  // the Oracle loaders
    } else if (i == 1 && program == "sqlplus") {
      MaskLogon(&text, {start, stop}, start);
    } else if (Lower(text.substr(words[i - 1].begin, words[i - 1].end - words[i - 1].begin)) ==
               "/pw") {
      MaskSpan(&text, start, stop);  // the Tessel editor
    }
  }
  return text;
}

}  // namespace zmo
