#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Args args;
};

TEST(SplitCommandLineTest, FollowsTheWindowsRules) {
  const SplitCase cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a", {"a"}},
      {"  a  \t b\t", {"a", "b"}},
      // The callers' elements: option and value in one element, each with
      // its own leading blank.
      {"zmomsg  -P STATI  -M \"a b\"", {"zmomsg", "-P", "STATI", "-M", "a b"}},
      {"\"a b\"c d", {"a bc", "d"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"\"", {""}},
      {"a \"\" b", {"a", "", "b"}},
      {"\"unterminated text", {"unterminated text"}},
      {"\"trailing blank ", {"trailing blank "}},
      // Backslashes are literal unless a quote follows.
      {"C:\\dir\\file", {"C:\\dir\\file"}},
      {"a\\\\b", {"a\\\\b"}},
      {"tail\\", {"tail\\"}},
      // 2n backslashes before a quote: n backslashes, the quote toggles.
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"\"x\\\\\" y", {"x\\", "y"}},
      // 2n+1 backslashes: n backslashes and a literal quote.
      {"a\\\"b", {"a\"b"}},
      {"a\\\\\\\"b", {"a\\\"b"}},
      {"\"say \\\"hi\\\"\"", {"say \"hi\""}},
      {"\\\"", {"\""}},
      // Tabs separate as blanks do, and group inside quotes.
      {"a\tb \"c\td\"", {"a", "b", "c\td"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(zmo::SplitCommandLine(c.line), c.args) << "line: [" << c.line << "]";
  }
}

struct JoinCase {
  Args elements;
  const char* line;
};

TEST(JoinCommandLineTest, JoinsWithOneBlankAndQuotesOnlyAProgramWithBlanks) {
  const JoinCase cases[] = {
      {{}, ""},
      {{"zmoloader"}, "zmoloader"},
      {{"/opt/zmo/zmoloader", " -A", " -P STATI"}, "/opt/zmo/zmoloader  -A  -P STATI"},
      {{"p", "", "x"}, "p  x"},
      {{"/opt/zmo data/zmomsg", " -P STATI"}, "\"/opt/zmo data/zmomsg\"  -P STATI"},
      {{"/opt/zmo\tdata/zmomsg"}, "\"/opt/zmo\tdata/zmomsg\""},
      // A program the caller quoted itself stays as it is.
      {{"\"/opt/zmo data/zmomsg\"", "x"}, "\"/opt/zmo data/zmomsg\" x"},
      // Later elements are never quoted: their blanks separate arguments.
      {{"p", " -M \"a b\""}, "p  -M \"a b\""},
  };
  for (const JoinCase& c : cases) {
    EXPECT_EQ(zmo::JoinCommandLine(c.elements), c.line);
  }
}

TEST(JoinCommandLineTest, ElementsReachTheChildAsTheCallersMeanThem) {
  Args elements = {"/opt/zmo data/zmomsg", " -P STATI", " -M \"a b\"", " -T"};
  EXPECT_EQ(zmo::SplitCommandLine(zmo::JoinCommandLine(elements)),
            (Args{"/opt/zmo data/zmomsg", "-P", "STATI", "-M", "a b", "-T"}));
}

TEST(QuoteCommandLineArgumentTest, SplitGivesBackExactlyTheArgument) {
  const char* args[] = {"",          "plain",      "a b",    "tab\there", "q\"uote",
                        "\"",        "\\",         "end\\",  "end\\\\",   "a\\\"b",
                        "dir\\ x\\", "\\\\\"\\\\", "  lead", "trail  ",   "x\"\"y"};
  for (const char* a : args) {
    std::string quoted = zmo::QuoteCommandLineArgument(a);
    EXPECT_EQ(zmo::SplitCommandLine(quoted), Args{a}) << "arg: [" << a << "] as [" << quoted << "]";
    // Several in one line keep their borders too.
    EXPECT_EQ(zmo::SplitCommandLine(quoted + " " + quoted), (Args{a, a})) << a;
  }
  EXPECT_EQ(zmo::QuoteCommandLineArgument("plain"), "plain");
  EXPECT_EQ(zmo::QuoteCommandLineArgument("C:\\dir"), "C:\\dir");
  EXPECT_EQ(zmo::QuoteCommandLineArgument("a b\\"), "\"a b\\\\\"");
  EXPECT_EQ(zmo::QuoteCommandLineArgument(""), "\"\"");
}

}  // namespace
