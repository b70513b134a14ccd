// Matchers for the texts a test reads back (a trace log, a tool's log, a
// program's output, a generated script) that print what they saw, line by
// line, when they fail:
//
//   EXPECT_THAT(env_.Trace(), HasText("about to connect\n"));
//   EXPECT_THAT(trace, Not(HasText("awake, run 4"))) << "no pass after the stop";
//   EXPECT_THAT(trace, HasTextTimes("about to fall asleep 60s\n", 3));
//   EXPECT_THAT(TraceTexts(), HasLine("BinDir=" + bin_dir()));
//
// HasText(part) matches a text that holds part anywhere, so part may span
// lines ("a\nb\n" for two lines in a row); HasTextTimes(part, n) one that
// holds it n times (CountOf, overlapping ones counted). HasLine(line)
// matches a list of lines (TraceTextsOf, SplitCrlf) one of which is line,
// whole.
#pragma once

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "zmo_test/files.h"

namespace zmo_test {

// One line as a failure message shows it: control bytes (a CR, a NUL) as
// escapes, so that they show and do not move the terminal's cursor.
inline std::string ShownLine(const std::string& line) {
  std::string shown;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      shown += "\\r";
    } else if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02X", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown;
}

// The lines of what a test saw, one to a row behind a bar, so that a
// failure message shows them as they stand.
inline void PrintSeenLines(const std::vector<std::string>& lines, std::ostream* os) {
  if (lines.empty()) {
    *os << "no lines";
    return;
  }
  *os << "the " << lines.size() << " lines";
  for (const std::string& line : lines) *os << "\n    | " << ShownLine(line);
}

class HasTextMatcher : public ::testing::MatcherInterface<const std::string&> {
 public:
  explicit HasTextMatcher(std::string part) : part_(std::move(part)) {}

  bool MatchAndExplain(const std::string& text,
                       ::testing::MatchResultListener* listener) const override {
    if (listener->IsInterested()) {
      *listener->stream() << "which holds ";
      PrintSeenLines(SplitAt(text, "\n"), listener->stream());
    }
    return text.find(part_) != std::string::npos;
  }
  void DescribeTo(std::ostream* os) const override {
    *os << "holds " << ::testing::PrintToString(part_);
  }
  void DescribeNegationTo(std::ostream* os) const override {
    *os << "does not hold " << ::testing::PrintToString(part_);
  }

 private:
  std::string part_;
};

class HasTextTimesMatcher : public ::testing::MatcherInterface<const std::string&> {
 public:
  HasTextTimesMatcher(std::string part, int times) : part_(std::move(part)), times_(times) {}

  bool MatchAndExplain(const std::string& text,
                       ::testing::MatchResultListener* listener) const override {
    const int found = CountOf(text, part_);
    if (listener->IsInterested()) {
      *listener->stream() << "which holds it " << found << " times in ";
      PrintSeenLines(SplitAt(text, "\n"), listener->stream());
    }
    return found == times_;
  }
  void DescribeTo(std::ostream* os) const override {
    *os << "holds " << ::testing::PrintToString(part_) << " " << times_ << " times";
  }
  void DescribeNegationTo(std::ostream* os) const override {
    *os << "does not hold " << ::testing::PrintToString(part_) << " " << times_ << " times";
  }

 private:
  std::string part_;
  int times_;
};

class HasLineMatcher : public ::testing::MatcherInterface<const std::vector<std::string>&> {
 public:
  explicit HasLineMatcher(std::string line) : line_(std::move(line)) {}

  bool MatchAndExplain(const std::vector<std::string>& lines,
                       ::testing::MatchResultListener* listener) const override {
    if (listener->IsInterested()) {
      *listener->stream() << "which are ";
      PrintSeenLines(lines, listener->stream());
    }
    return std::find(lines.begin(), lines.end(), line_) != lines.end();
  }
  void DescribeTo(std::ostream* os) const override {
    *os << "has the line " << ::testing::PrintToString(line_);
  }
  void DescribeNegationTo(std::ostream* os) const override {
    *os << "has no line " << ::testing::PrintToString(line_);
  }

 private:
  std::string line_;
};

// A text that holds part; prints the text's lines when it fails.
inline ::testing::Matcher<const std::string&> HasText(std::string part) {
  return ::testing::MakeMatcher(new HasTextMatcher(std::move(part)));
}

// A text that holds part the given number of times, overlapping ones counted;
// prints the text's lines when it fails.
inline ::testing::Matcher<const std::string&> HasTextTimes(std::string part, int times) {
  return ::testing::MakeMatcher(new HasTextTimesMatcher(std::move(part), times));
}

// A list of lines of which one is line; prints the lines when it fails.
inline ::testing::Matcher<const std::vector<std::string>&> HasLine(std::string line) {
  return ::testing::MakeMatcher(new HasLineMatcher(std::move(line)));
}

}  // namespace zmo_test
