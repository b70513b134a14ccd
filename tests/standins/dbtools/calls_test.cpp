// What every stand-in shares: the call log, the failure on request, and the
// built programs in the dbtools directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ostream>
#include <string>
#include <vector>

#include "dbtools_test_util.h"
#include "platform/process.h"
#include "zmo_test/matchers.h"

namespace {

using dbtools_test::Read;
using dbtools_test::ToolTest;
using dbtools_test::Write;
using zmo_test::HasText;

const char* const kTools[] = {"sqlldr73", "sqlldr80", "sqlldr", "sqlplus",      "bcp",
                              "isql",     "corvacmd", "corva",  "tesseledit300"};

TEST_F(ToolTest, EachCallIsOneLineThatSplitsBackIntoItsArguments) {
  const std::vector<std::string> args = {"-Uzmo", "-Pse cret", "say \"hi\"", "", "a\\\\b", ","};
  Run("isql", args);
  Run("corva", {"-tvf"});
  std::vector<std::string> first = {"isql"};
  first.insert(first.end(), args.begin(), args.end());
  first[2] = "-P****";  // the log shows no clear password
  EXPECT_EQ(Calls(), (std::vector<std::vector<std::string>>{first, {"corva", "-tvf"}}));
  struct stat st;
  ASSERT_EQ(stat(calls_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "the arguments hold passwords";
}

TEST_F(ToolTest, WithoutTheLogVariableNothingIsRecorded) {
  unsetenv(zmo::dbtools::kCallLogEnv);
  EXPECT_EQ(Run("corva", {}), zmo::dbtools::kToolFailed);
  EXPECT_FALSE(zmo::FileExists(calls_.c_str()));
}

TEST_F(ToolTest, ALogThatCannotBeWrittenIsToldAndTheToolStillWorks) {
  setenv(zmo::dbtools::kCallLogEnv, File("no/dir/calls.log").c_str(), 1);
  Write(File("s.sql"), "Terminate;\r\n");
  EXPECT_EQ(Run("corva", {"-tvf", File("s.sql")}), 0);
  EXPECT_NE(Stderr().find("cannot record the call"), std::string::npos) << Stderr();
}

struct FailCase {
  const char* setting;
  const char* tool;
  int expected;  // -1: the tool does its work
};

void PrintTo(const FailCase& c, std::ostream* os) {
  *os << c.tool << " with \"" << c.setting << "\"";
}

class FailRequestTest : public ToolTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(FailRequestTest, FailsTheNamedToolWithItsCode) {
  const FailCase& c = GetParam();
  setenv(zmo::dbtools::kFailEnv, c.setting, 1);
  Write(File("s.sql"), "use r3klv\r\ngo\r\n");
  std::vector<std::string> args = {"-Uzmo", "-Ppw", "-SWH", "-i", File("s.sql")};
  if (std::string(c.tool) == "corva") args = {"-tvf", File("s.sql")};
  int code = Run(c.tool, args);
  if (c.expected < 0) {
    EXPECT_EQ(code, std::string(c.tool) == "corva" ? zmo::dbtools::kToolRejected : 0);
    EXPECT_EQ(Stdout().find("failing on request"), std::string::npos) << Stdout();
  } else {
    EXPECT_EQ(code, c.expected);
    EXPECT_EQ(Stdout(), std::string(c.tool) + ": failing on request with exit code " +
                            std::to_string(c.expected) + "\r\n");
  }
  EXPECT_EQ(Calls().size(), 1u) << "a failing call is recorded";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FailRequestTest,
    ::testing::Values(FailCase{"isql", "isql", 1}, FailCase{"isql:3", "isql", 3},
                      FailCase{"bcp,isql:7", "isql", 7}, FailCase{"isql:7,corva", "corva", 1},
                      FailCase{"bcp", "isql", -1}, FailCase{"isq", "isql", -1},
                      FailCase{"isql:0", "isql", 1}, FailCase{"isql:300", "isql", 1},
                      FailCase{"isql:x", "isql", 1}, FailCase{"", "corva", -1}));

TEST_F(ToolTest, AnUnknownToolNameIsRefused) {
  EXPECT_EQ(Run("sqlldr90", {}), zmo::dbtools::kToolFailed);
  EXPECT_THAT(Stderr(), HasText("sqlldr90: no such tool"));
}

TEST_F(ToolTest, EveryToolIsBuiltInTheDbtoolsDirectory) {
  const std::string dir = std::string(ZMO_TEST_BIN_DIR) + "/dbtools/";
  for (const char* tool : kTools) {
    std::string path = dir + tool;
    const char* argv[] = {path.c_str(), " --no-such-option", nullptr};
    EXPECT_EQ(_spawnv(_P_WAIT, path.c_str(), argv), zmo::dbtools::kToolFailed) << tool;
  }
  auto calls = Calls();
  ASSERT_EQ(calls.size(), std::size(kTools));
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i], (std::vector<std::string>{kTools[i], "--no-such-option"}));
  }
  // Beside the system's own programs there is none of them.
  EXPECT_FALSE(zmo::FileExists((std::string(ZMO_TEST_BIN_DIR) + "/bcp").c_str()));
}

}  // namespace
