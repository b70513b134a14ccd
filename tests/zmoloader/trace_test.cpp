// The loader's trace log: its switch, line form and roll-over at the start.
#include "zmoloader/trace.h"

#include <gtest/gtest.h>

#include <string>

#include "loader_test_env.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;
using ::testing::Not;
using zmo_test::HasLine;
using zmo_test::HasText;

class LoaderTraceTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    loaderState().bin_dir = bin_dir();
  }
  std::string Log() { return Read(Bin(kLoaderLogName)); }
};

TEST_F(LoaderTraceTest, LineHasTheLocalTimePrefixAndCrLf) {
  EXPECT_EQ(loaderLog("Table key=<%s>\n", "01002003004000153"), 30);
  loaderLog("two\nlines\n");
  EXPECT_EQ(Log(),
            "2004/01/10 10.11.12: Table key=<01002003004000153>\r\n"
            "2004/01/10 10.11.12: two\r\nlines\r\n");
}

TEST_F(LoaderTraceTest, AppendsToAnExistingLog) {
  ASSERT_EQ(zmo::WriteFileAtomic(Bin(kLoaderLogName), "earlier\r\n"), 0);
  loaderLog("later\n");
  EXPECT_EQ(Log(), "earlier\r\n2004/01/10 10.11.12: later\r\n");
}

TEST_F(LoaderTraceTest, SwitchIsTheMereExistenceOfSnapDebug) {
  SetConfig(zmo::cfg::kSnapDebug, "False");
  loaderLog("written\n");
  EXPECT_THAT(TraceTexts(), HasLine("written"));

  DeleteConfig(zmo::cfg::kSnapDebug);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(loaderLog("not written\n"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "loaderLog, NOT Debug mode\n");
  EXPECT_THAT(TraceTexts(), Not(HasLine("not written")));
}

TEST_F(LoaderTraceTest, LongTextIsCut) {
  std::string text(3000, 'x');
  EXPECT_EQ(loaderLog("%s\n", text.c_str()), kLoaderLineMax - 1);
  EXPECT_EQ(Log(), "2004/01/10 10.11.12: " + std::string(kLoaderLineMax - 1, 'x'));
}

TEST_F(LoaderTraceTest, WithoutBinDirTheLineIsLost) {
  loaderState().bin_dir.clear();
  EXPECT_EQ(loaderLog("lost\n"), 0);
  EXPECT_FALSE(zmo::FileExists(Bin(kLoaderLogName).c_str()));
}

TEST_F(LoaderTraceTest, HaltWritesTheTwoErrorLines) {
  EXPECT_EQ(loaderHalt("PID not present."), kLoaderExitError);
  EXPECT_EQ(TraceTexts(), (std::vector<std::string>{"ERROR - ERROR: PID not present.",
                                                    "ERROR - ERROR: Execution halting"}));
}

// A log of the given size in bytes, and an old copy to be replaced.
struct RollCase {
  const char* limit_kb;
  std::int64_t size;
  bool rolled;
};

TEST_F(LoaderTraceTest, RollsAtOrAboveTheLimitInWholeKilobytes) {
  const RollCase cases[] = {
      {"2", 2048, true},     {"2", 2047, false}, {"2", 4000, true},
      {"1024", 2048, false}, {"0", 0, true},
  };
  for (const RollCase& c : cases) {
    SCOPED_TRACE(std::string(c.limit_kb) + " " + std::to_string(c.size));
    std::filesystem::remove(Bin(kLoaderLogName));
    // The check's own lines go into the log before its size is taken.
    SetConfig(zmo::cfg::kSnapDebug, "True");
    ASSERT_EQ(zmo::WriteFileAtomic(Bin(kLoaderOldLogName), "old"), 0);
    SetConfig(zmo::cfg::kLoaderLogSize, c.limit_kb);
    DeleteConfig(zmo::cfg::kSnapDebug);
    ASSERT_EQ(zmo::WriteFileAtomic(Bin(kLoaderLogName), std::string(c.size, 'x')), 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(CheckLogSize(kLoaderLogName, kLoaderOldLogName), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(zmo::FileExists(Bin(kLoaderLogName).c_str()), !c.rolled);
    EXPECT_EQ(Read(Bin(kLoaderOldLogName)), c.rolled ? std::string(c.size, 'x') : "old");
  }
}

TEST_F(LoaderTraceTest, CheckLinesOfALogNotReadyToRoll) {
  EXPECT_EQ(CheckLogSize(kLoaderLogName, kLoaderOldLogName), 0);
  EXPECT_EQ(
      TraceTexts(),
      (std::vector<std::string>{
          "CheckLogSize: Loader log size registry key name=<LoaderLogSize>",
          "CheckLogSize: Loader log returns <1024>", "CheckLogSize: Size of the log = <1024>",
          "CheckLogSize: Check size of loader log file named <" + Bin(kLoaderLogName) + ">",
          "CheckLogSize: Size of loader log = <0>", "CheckLogSize: Log file not ready to roll"}));
}

TEST_F(LoaderTraceTest, CheckOfAMissingLog) {
  // The check's own lines create the trace log, so a log of another name
  // stands for one that cannot be read.
  EXPECT_EQ(CheckLogSize("no_such.log", "no_such_log.old"), 0);
  EXPECT_THAT(TraceTexts(), HasLine("CheckLogSize: Get stat info on file failed"));
  EXPECT_THAT(TraceTexts(), Not(HasLine("CheckLogSize: Log file not ready to roll")));
}

TEST_F(LoaderTraceTest, MissingLogSizeEndsWith99) {
  DeleteConfig(zmo::cfg::kLoaderLogSize);
  EXPECT_EQ(CheckLogSize(kLoaderLogName, kLoaderOldLogName), kLoaderExitError);
  EXPECT_THAT(TraceTexts(), HasLine("Missing Value = LoaderLogSize"));
}

TEST_F(LoaderTraceTest, ALogOfExactlyTheLimitIsRolledAtTheNextStart) {
  SetConfig(zmo::cfg::kLoaderLogSize, "1");
  ASSERT_EQ(zmo::WriteFileAtomic(Bin(kLoaderLogName), std::string(1024, 'x')), 0);
  ASSERT_EQ(Run({"-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"}), 0);
  // The old copy holds the log and the check's first lines; the new log
  // begins with "BinDir=".
  std::string old = Read(Bin(kLoaderOldLogName));
  EXPECT_EQ(old.substr(0, 1024), std::string(1024, 'x'));
  EXPECT_THAT(old, HasText("CheckLogSize: Size of loader log = <1>"));
  EXPECT_EQ(TraceTexts().front(), "BinDir=" + bin_dir());
}

}  // namespace
