#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/command_line.h"
#include "zmo_test/usage.h"
#include "zmomsg/zmomsg.h"

using namespace zmo::msg;

namespace {

struct Scanned {
  std::string message;
  std::string number;
  std::string program;
  int tab;
  bool operator==(const Scanned&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Scanned& s) {
  return os << "{m=\"" << s.message << "\" n=\"" << s.number << "\" p=\"" << s.program
            << "\" t=" << s.tab << "}";
}

Scanned Scan(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  zmomsgReset();
  zmomsgScanArgs(static_cast<int>(args.size()), argv.data());
  const ZmomsgState& st = zmomsgState();
  return {st.message, st.number, st.program, st.tab};
}

struct ScanCase {
  const char* name;
  std::vector<std::string> args;
  Scanned expected;
};

TEST(ZmomsgScanArgsTest, Table) {
  std::string long_text(150, 'x');
  ScanCase cases[] = {
      {"lower case",
       {"zmomsg", "-m", "hello", "-n", "1494", "-p", "STATI", "-t"},
       {"hello", "1494", "STATI", 1}},
      {"upper case",
       {"zmomsg", "-M", "hello", "-N", "1494", "-P", "STATI", "-T"},
       {"hello", "1494", "STATI", 1}},
      {"no tab", {"zmomsg", "-p", "SNAP", "-m", "a b"}, {"a b", "", "SNAP", 0}},
      {"value compared later, kept as given", {"zmomsg", "-p", "snap"}, {"", "", "snap", 0}},
      {"only the second character counts", {"zmomsg", "-msg", "x", "-tab"}, {"x", "", "", 1}},
      {"later value wins", {"zmomsg", "-m", "a", "-m", "b"}, {"b", "", "", 0}},
      {"other letters take a value too", {"zmomsg", "-x", "-m", "-m", "y"}, {"y", "", "", 0}},
      {"lone dash takes a value", {"zmomsg", "-", "-t"}, {"", "", "", 0}},
      {"value may begin with a dash", {"zmomsg", "-m", "-t"}, {"-t", "", "", 0}},
      {"elements without a dash are skipped",
       {"zmomsg", "Begin", "-n", "7", "records"},
       {"", "7", "", 0}},
      {"option in the last element is ignored",
       {"zmomsg", "-p", "STATI", "-m"},
       {"", "", "STATI", 0}},
      {"tab in the last element still counts", {"zmomsg", "-m", "z", "-T"}, {"z", "", "", 1}},
      {"message cut to 100", {"zmomsg", "-m", long_text}, {std::string(100, 'x'), "", "", 0}},
      {"number cut to 20",
       {"zmomsg", "-n", std::string(30, '1')},
       {"", std::string(20, '1'), "", 0}},
      {"program cut to 20",
       {"zmomsg", "-p", "STATI" + std::string(30, 'X')},
       {"", "", "STATI" + std::string(15, 'X'), 0}},
      {"empty value", {"zmomsg", "-m", ""}, {"", "", "", 0}},
  };
  for (ScanCase& c : cases) EXPECT_EQ(Scan(c.args), c.expected) << c.name;
}

// The callers' forms reach the program as the words that the Windows split
// of their command line gives; each form must read the same.
TEST(ZmomsgScanArgsTest, CallersFormsAfterTheCommandLineSplit) {
  struct Form {
    const char* name;
    std::string line;
    Scanned expected;
  } forms[] = {
      {"collector elements joined by the process start",
       zmo::JoinCommandLine({"/opt/zmo/zmomsg", " -P STATI", " -T",
                             " -M \"Collection of STATI records has started\""}),
       {"Collection of STATI records has started", "", "STATI", 1}},
      {"snapshot collector, lower case",
       zmo::JoinCommandLine({"/opt/zmo/zmomsg", " -p SNAP", " -M \"Snap ended\""}),
       {"Snap ended", "", "SNAP", 0}},
      {"loader batch line", "\"/opt/zmo/zmomsg\" -T -N 1494 -P STATI", {"", "1494", "STATI", 1}},
      {"loader batch line, quoted program",
       "\"/opt/my zmo/zmomsg\" -P \"SNAP\" -T -N 1500",
       {"", "1500", "SNAP", 1}},
      {"loader batch line without tab",
       "\"/opt/zmo/zmomsg\" -N 1498 -P PERF",
       {"", "1498", "PERF", 0}},
  };
  for (Form& f : forms) EXPECT_EQ(Scan(zmo::SplitCommandLine(f.line)), f.expected) << f.name;
}

TEST(ZmomsgUsageTest, SixteenLinesOnStandardOutput) {
  testing::internal::CaptureStdout();
  zmomsgUsage();
  zmo_test::ExpectUsageText(testing::internal::GetCapturedStdout(), "zmomsg");
}

TEST(ZmomsgSummaryLogForTest, ExactUpperCaseNames) {
  struct Case {
    const char* program;
    const char* log;
    const char* old_name;
    const char* limit;
  } cases[] = {
      {"SNAP", "trace_zmosnapsum.log", "trace_zmosnapsum_log.old", "SnapLogSize"},
      {"STATI", "trace_zmostatisum.log", "trace_zmostatisum_log.old", "StatiLogSize"},
      {"PERF", "trace_zmoperfsum.log", "trace_zmoperfsum_log.old", "PerfLogSize"},
  };
  for (const Case& c : cases) {
    const SummaryLog* log = summaryLogFor(c.program);
    ASSERT_NE(log, nullptr) << c.program;
    EXPECT_STREQ(log->log_name, c.log);
    EXPECT_STREQ(log->old_name, c.old_name);
    EXPECT_STREQ(log->limit_value, c.limit);
  }
  for (const char* other : {"snap", "Stati", "", "LOADER", "SNAP "}) {
    EXPECT_EQ(summaryLogFor(other), nullptr) << other;
  }
}

TEST(ZmomsgLimitBytesTest, KilobytesIn64Bits) {
  struct Case {
    const char* text;
    std::int64_t bytes;
  } cases[] = {
      {"0", 0},
      {"1", 1024},
      {"100", 102400},
      {" 12", 12288},
      {"5KB", 5120},
      {"abc", 0},
      {"", 0},
      {"-1", -1024},
      {"3000000", 3072000000LL},  // past 32 bits once multiplied
      {"9007199254740991", 9007199254740991LL * 1024},
      {"99999999999999999999", INT64_MAX},
      {"-99999999999999999999", INT64_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(msgLimitBytes(c.text), c.bytes) << c.text;
}

}  // namespace
