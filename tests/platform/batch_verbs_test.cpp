// The interpreter's own verbs: echo, redirection, rem, cd, type, exit.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "batch_test_util.h"

namespace {

using zmo_test::BatchTest;
using zmo_test::ReadFile;

struct OutputCase {
  const char* line;      // the line under test, after "@echo off"
  const char* expected;  // the bytes of out.txt after the run
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.line; }

class EchoTest : public BatchTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(EchoTest, WritesTheTextWithCrLf) {
  const OutputCase& c = GetParam();
  ASSERT_EQ(RunLines({"@echo off", "cd \"" + dir_ + "\"", c.line}), 0) << Stderr();
  EXPECT_EQ(ReadFile(File("out.txt")), c.expected) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, EchoTest,
    ::testing::Values(
        // The blank before ">" belongs to the text, as the command processor keeps it.
        OutputCase{"echo hello > out.txt", "hello \r\n"},
        OutputCase{"echo hello>out.txt", "hello\r\n"}, OutputCase{"echo.>out.txt", "\r\n"},
        OutputCase{"echo. > out.txt", " \r\n"}, OutputCase{"echo.text>out.txt", "text\r\n"},
        OutputCase{"echo   two  blanks>out.txt", "  two  blanks\r\n"},
        OutputCase{"ECHO Upper Case>out.txt", "Upper Case\r\n"},
        OutputCase{">out.txt echo first", "first\r\n"},
        OutputCase{"echo a \"b > c\" d>out.txt", "a \"b > c\" d\r\n"},
        OutputCase{"echo x > \"out.txt\"", "x \r\n"}, OutputCase{"echo>out.txt", "echo is off\r\n"},
        OutputCase{"echo  >out.txt", "echo is off\r\n"},
        // The plus line of the load banners, whole.
        OutputCase{"echo +++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++ >> "
                   "out.txt",
                   "+++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++ \r\n"}));

TEST_F(BatchTest, GreaterThanEmptiesAndDoubleAppends) {
  ASSERT_EQ(RunLines({"@echo off", "cd " + dir_, "echo BEGIN >> log.txt", "echo one > log.txt",
                      "echo two >> log.txt", "echo three>>log.txt"}),
            0);
  EXPECT_EQ(ReadFile(File("log.txt")), "one \r\ntwo \r\nthree\r\n");
}

TEST_F(BatchTest, EveryTargetOfALineIsOpenedAndTheLastTakesTheOutput) {
  zmo_test::WriteFile(File("first.txt"), "old");
  ASSERT_EQ(RunLines({"@echo off", "cd " + dir_, "echo x > first.txt > second.txt"}), 0);
  EXPECT_EQ(ReadFile(File("first.txt")), "");
  EXPECT_EQ(ReadFile(File("second.txt")), "x  \r\n");
}

TEST_F(BatchTest, ALineOfARedirectionOnlyMakesTheFile) {
  ASSERT_EQ(RunLines({"@echo off", "> \"" + File("empty.txt") + "\""}), 0);
  EXPECT_EQ(ReadFile(File("empty.txt")), "");
}

TEST_F(BatchTest, EchoOnShowsEachCommandWithThePromptUnlessAt) {
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  ASSERT_EQ(RunLines({"echo one", "@echo two", "echo off", "echo three", "echo on", "rem four"}),
            0);
  std::string prompt = dir_ + ">";
  EXPECT_EQ(Stdout(), prompt + "echo one\r\none\r\ntwo\r\n" + prompt + "echo off\r\nthree\r\n" +
                          prompt + "rem four\r\n");
}

// Every leading "@" and blank goes, whatever their order; a line of nothing
// else is empty and the run goes on to its end.
TEST_F(BatchTest, LeadingAtsAndBlanksAreAllSkippedAndTheRunEnds) {
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  ASSERT_EQ(RunLines({"@ echo one", "@@echo two", " @ @\t@echo three", "@", "@@@", " @ ", "@\t",
                      "echo four"}),
            0);
  EXPECT_EQ(Stdout(), "one\r\ntwo\r\nthree\r\n" + dir_ + ">echo four\r\nfour\r\n");
}

TEST_F(BatchTest, RemIgnoresTheRestOfTheLineRedirectionsIncluded) {
  ASSERT_EQ(
      RunLines({"@echo off", "rem > \"" + File("made.txt") + "\"", "REM anything at all", "rem"}),
      0);
  EXPECT_FALSE(zmo::FileExists(File("made.txt").c_str()));
  EXPECT_EQ(Stdout(), "");
}

TEST_F(BatchTest, CdTakesAQuotedDirectoryWithBlanksAndLastsForTheBatchOnly) {
  std::string spaced = File("with blank");
  ASSERT_EQ(mkdir(spaced.c_str(), 0755), 0);
  Tool("probe");
  ASSERT_EQ(RunLines({"@echo off", "cd \"" + spaced + "\"", "probe --pwd > here.txt", "cd",
                      "cd " + spaced + " ", "cd >> here.txt"}),
            0)
      << Stderr();
  EXPECT_EQ(ReadFile(spaced + "/here.txt"),
            "probe [--pwd]\ncwd " + spaced + "\n" + spaced + "\r\n");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  EXPECT_EQ(std::string(cwd), old_cwd_);
}

TEST_F(BatchTest, TypeCopiesTheFileBytesExactly) {
  const char raw[] = "line 1\r\nline 2 \xe9\r\n\0tail";
  std::string bytes(raw, sizeof(raw) - 1);
  zmo_test::WriteFile(File("group.log"), bytes);
  ASSERT_EQ(RunLines({"@echo off", "echo head> \"" + File("all.log") + "\"",
                      "type " + File("group.log") + " >> " + File("all.log")}),
            0);
  EXPECT_EQ(ReadFile(File("all.log")), "head\r\n" + bytes);
}

struct ExitCase {
  std::vector<std::string> lines;
  int expected;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
  for (const std::string& l : c.lines) *os << l << "; ";
}

class ExitCodeTest : public BatchTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodeTest, IsTheExitNumberOrTheLastErrorLevel) {
  Tool("probe");
  std::vector<std::string> lines{"@echo off"};
  for (const std::string& l : GetParam().lines) lines.push_back(l);
  lines.push_back("probe after-the-end");
  EXPECT_EQ(RunLines(lines), GetParam().expected) << Stderr();
  for (const std::string& call : Calls()) EXPECT_NE(call, "probe [after-the-end]");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ExitCodeTest,
    ::testing::Values(ExitCase{{"Exit"}, 0}, ExitCase{{"exit 3"}, 3}, ExitCase{{"EXIT /B 4"}, 4},
                      ExitCase{{"exit /b"}, 0}, ExitCase{{"probe --exit=5", "Exit"}, 5},
                      ExitCase{{"probe --exit=5", "exit 0"}, 0},
                      ExitCase{{"probe --exit=6", "exit lots"}, 6},
                      // Out of range is a failure, never 0.
                      ExitCase{{"exit 256"}, 255}, ExitCase{{"exit -1"}, 255},
                      ExitCase{{"no-such-program", "Exit"}, zmo::kBatchNotFound}));

TEST_F(BatchTest, WithoutExitTheLastLineGivesTheCode) {
  Tool("probe");
  EXPECT_EQ(RunLines({"@echo off", "probe --exit=9"}), 9);
  EXPECT_EQ(RunLines({"@echo off", "probe --exit=9", "echo fine> " + File("x")}), 0);
  EXPECT_EQ(RunLines({}), 0);
}

TEST_F(BatchTest, LinesEndInCrLfOrLfAndBlankLinesAreSkipped) {
  std::string path = File("mixed.bat");
  zmo_test::WriteFile(path,
                      "@echo off\r\n\r\n   \necho a>" + File("o") + "\n\techo b>>" + File("o"));
  int code = -1;
  ASSERT_EQ(zmo::RunBatchFile(path, &code), 0);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFile(File("o")), "a\r\nb\r\n");
}

TEST_F(BatchTest, AFileThatCannotBeReadIsAnError) {
  int code = 42;
  errno = 0;
  EXPECT_EQ(zmo::RunBatchFile(File("missing.bat"), &code), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(code, 42);
}

}  // namespace
