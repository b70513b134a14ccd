#include "common/trace_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "test_support.h"

namespace {

using zmo_test::ScopedTz;

// 2024-03-05 07:08:09 UTC.
constexpr std::int64_t kMarch5Ms = 1709622489LL * 1000;
// 2024-07-15 12:00:00 UTC.
constexpr std::int64_t kJuly15Ms = 1721044800LL * 1000;
constexpr const char* kUtcPrefix = "2024/03/05 07.08.09: ";

class TraceLogTest : public zmo_test::RuntimeTest {
 protected:
  std::string LogPath() { return dir_.File("trace_zmostati.log"); }
  std::string OldPath() { return dir_.File("trace_zmostati_log.old"); }

  // Writes lines first..last as "line <n>\n".
  void WriteLines(int first, int last) {
    for (int i = first; i <= last; ++i) zmo::writeTrace("line %03d\n", i);
  }
  // The same lines as they stand in the file.
  static std::string Lines(int first, int last) {
    std::string out;
    char buf[32];
    for (int i = first; i <= last; ++i) {
      std::snprintf(buf, sizeof(buf), "line %03d\r\n", i);
      out += kUtcPrefix;
      out += buf;
    }
    return out;
  }

  zmo::ScopedFakeClock clock_{kMarch5Ms};
  ScopedTz tz_{"UTC0"};
};

TEST_F(TraceLogTest, SwitchOffCreatesNoFileAndReturnsZero) {
  zmo::SetTraceSwitch(0);
  EXPECT_EQ(zmo::writeTrace("hello %d\n", 1), 0);
  EXPECT_FALSE(zmo::FileExists(LogPath().c_str()));
  // Switching on later opens the log at the next line.
  zmo::SetTraceSwitch(1);
  EXPECT_EQ(zmo::writeTrace("hello %d\n", 2), 8);
  EXPECT_EQ(ReadFile(LogPath()), std::string(kUtcPrefix) + "hello 2\r\n");
}

TEST_F(TraceLogTest, PrefixIsTheLocalTimeOfTheLine) {
  struct Case {
    const char* tz;
    std::int64_t ms;
    const char* prefix;
  };
  const Case cases[] = {
      {"UTC0", kMarch5Ms, "2024/03/05 07.08.09: "},
      {zmo_test::kTzBerlin, kMarch5Ms, "2024/03/05 08.08.09: "},   // CET, winter
      {zmo_test::kTzBerlin, kJuly15Ms, "2024/07/15 14.00.00: "},   // CEST, summer
      {zmo_test::kTzNewYork, kJuly15Ms, "2024/07/15 08.00.00: "},  // EDT
      {zmo_test::kTzNewYork, 0, "1969/12/31 19.00.00: "},
  };
  std::string expected;
  for (const Case& c : cases) {
    ScopedTz tz(c.tz);
    clock_->SetMillis(c.ms);
    EXPECT_EQ(zmo::writeTrace("at %s\n", "t"), 5) << c.tz;
    expected += std::string(c.prefix) + "at t\r\n";
  }
  EXPECT_EQ(ReadFile(LogPath()), expected);
}

TEST_F(TraceLogTest, EveryLineFeedReachesTheFileAsCrLf) {
  EXPECT_EQ(zmo::writeTrace("first\nsecond\n"), 13);
  EXPECT_EQ(zmo::writeTrace("no line end"), 11);
  EXPECT_EQ(ReadFile(LogPath()),
            std::string(kUtcPrefix) + "first\r\nsecond\r\n" + kUtcPrefix + "no line end");
}

TEST_F(TraceLogTest, OverlongTextIsCutToTheBuffer) {
  std::string longer(3000, 'a');
  EXPECT_EQ(zmo::writeTrace("%s\n", longer.c_str()), zmo::kTraceLineMax - 1);
  EXPECT_EQ(ReadFile(LogPath()), kUtcPrefix + std::string(zmo::kTraceLineMax - 1, 'a'));
  // A text of only line feeds doubles in the file and still fits.
  std::string feeds(2000, '\n');
  EXPECT_EQ(zmo::writeTrace("%s", feeds.c_str()), zmo::kTraceLineMax - 1);
  std::string data = ReadFile(LogPath());
  EXPECT_EQ(data.size(), 21 + 1023 + 21 + 2 * 1023u);
}

TEST_F(TraceLogTest, FirstLineTruncatesALogOfAnEarlierProcess) {
  ASSERT_EQ(zmo::WriteFileAtomic(LogPath(), std::string(5000, 'o')), 0);
  zmo::writeTrace("new\n");
  EXPECT_EQ(ReadFile(LogPath()), std::string(kUtcPrefix) + "new\r\n");
  EXPECT_FALSE(zmo::FileExists(OldPath().c_str()));
}

// Lines of "line NNN\r\n" with the prefix are 31 bytes: 100 lines are 3100.
TEST_F(TraceLogTest, RollsOverAtTheFirstCheckAboveTheLimit) {
  zmo::writeTrace("line %03d\n", 1);  // opens the log, and the limit with it
  zmo::SetTraceSizeLimit(512);
  WriteLines(2, 150);
  // The limit passed at line 17, but the check comes before line 101 only.
  std::string notice = std::string(kUtcPrefix) + "log file size <3100> above max of <512> bytes. " +
                       "backuping to <" + OldPath() + ">\r\n" + kUtcPrefix +
                       "remove of old logfile <" + OldPath() + "> failed\r\n";
  EXPECT_EQ(ReadFile(OldPath()), Lines(1, 100) + notice);
  EXPECT_EQ(ReadFile(LogPath()), Lines(101, 150));

  // The next rollover finds the old copy and removes it without a word.
  WriteLines(151, 201);
  EXPECT_EQ(ReadFile(OldPath()), Lines(101, 200) + kUtcPrefix +
                                     "log file size <3100> above max of <512> bytes. " +
                                     "backuping to <" + OldPath() + ">\r\n");
  EXPECT_EQ(ReadFile(LogPath()), Lines(201, 201));
}

TEST_F(TraceLogTest, SizeEqualToTheLimitDoesNotRollOver) {
  struct Case {
    int limit;
    bool rolled;
  };
  for (const Case c : {Case{3100, false}, Case{3099, true}}) {
    zmo::ResetTraceLog();
    std::remove(OldPath().c_str());
    zmo::SetTraceSwitch(1);
    zmo::writeTrace("line %03d\n", 1);
    zmo::SetTraceSizeLimit(c.limit);
    WriteLines(2, 101);
    EXPECT_EQ(zmo::FileExists(OldPath().c_str()), c.rolled) << c.limit;
    EXPECT_EQ(ReadFile(LogPath()), c.rolled ? Lines(101, 101) : Lines(1, 101)) << c.limit;
  }
}

TEST_F(TraceLogTest, OldCopyThatCannotBeRemovedRestartsTheLog) {
  // A non-empty directory in the old copy's place can neither be removed nor
  // replaced by the rename.
  ASSERT_EQ(mkdir(OldPath().c_str(), 0755), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(zmo::JoinPath(OldPath(), "keep"), "k"), 0);
  zmo::writeTrace("line %03d\n", 1);
  zmo::SetTraceSizeLimit(512);
  WriteLines(2, 101);
  EXPECT_EQ(ReadFile(LogPath()), Lines(101, 101));
  EXPECT_EQ(ReadFile(zmo::JoinPath(OldPath(), "keep")), "k");
}

TEST_F(TraceLogTest, LogRemovedUnderTheWriterGetsTheSizeLineAndGoesOn) {
  WriteLines(1, 100);
  // A second name keeps the open file readable after its own name is gone.
  std::string alias = dir_.File("alias.log");
  ASSERT_EQ(link(LogPath().c_str(), alias.c_str()), 0);
  ASSERT_EQ(unlink(LogPath().c_str()), 0);
  EXPECT_EQ(zmo::writeTrace("line %03d\n", 101), 9);
  EXPECT_EQ(ReadFile(alias), Lines(1, 100) + kUtcPrefix + "could not get file size of file <" +
                                 LogPath() + ">\r\n" + Lines(101, 101));
}

TEST_F(TraceLogTest, LimitIsResetWhenTheLogOpensOnlyWhereTheProgramSaysSo) {
  struct Case {
    zmo::ConsoleProgramConfig program;
    const char* log_name;
    int limit_after_open;
  };
  const Case cases[] = {
      {zmo::StatiProgramConfig(), "trace_zmostati.log", zmo::kDefaultTraceSizeLimit},
      {zmo::SnapProgramConfig(), "trace_zmosnap.log", 512},
  };
  for (const Case& c : cases) {
    zmo::ResetTraceLog();
    zmo::SetConsoleProgram(c.program);
    zmo::SetTraceSwitch(1);
    zmo::SetTraceSizeLimit(512);
    zmo::writeTrace("open\n");
    EXPECT_EQ(zmo::TraceSizeLimit(), c.limit_after_open) << c.log_name;
    EXPECT_EQ(std::string(zmo::TraceLogPath()), dir_.File(c.log_name));
    EXPECT_TRUE(zmo::FileExists(dir_.File(c.log_name).c_str()));
  }
}

TEST_F(TraceLogTest, NoLogWhereTheDirectoryIsTooLongOrMissing) {
  struct Case {
    std::string dir;
    const char* why;
  };
  std::string deep = dir_.path();
  while (deep.size() <= static_cast<size_t>(zmo::kTraceDirMax)) deep += "/d";
  const Case cases[] = {
      {deep, "longer than 400 characters"},
      {dir_.File("missing"), "does not exist"},
  };
  for (const Case& c : cases) {
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    zmo::Runtime().program_dir = c.dir;
    EXPECT_EQ(zmo::writeTrace("lost\n"), 0) << c.why;
  }
  // The next line tries again.
  zmo::Runtime().program_dir = dir_.path();
  EXPECT_EQ(zmo::writeTrace("found\n"), 6);
  EXPECT_EQ(ReadFile(LogPath()), std::string(kUtcPrefix) + "found\r\n");
}

TEST_F(TraceLogTest, LinesOfTwoThreadsNeverInterleave) {
  constexpr int kLines = 300;
  auto writer = [](int thread) {
    for (int i = 0; i < kLines; ++i) zmo::writeTrace("thread %d line %d\n", thread, i);
  };
  std::thread a(writer, 1);
  std::thread b(writer, 2);
  a.join();
  b.join();
  // With the default limit nothing rolls; every line stands whole.
  std::string data = ReadFile(LogPath());
  std::regex line("2024/03/05 07\\.08\\.09: thread [12] line [0-9]+\r\n");
  int count = 0;
  for (std::sregex_iterator it(data.begin(), data.end(), line), end; it != end; ++it) ++count;
  EXPECT_EQ(count, 2 * kLines);
  EXPECT_EQ(std::regex_replace(data, line, ""), "");
}

}  // namespace
