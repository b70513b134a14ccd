#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/files.h"
#include "test_util.h"
#include "zmosetval/zmosetval.h"

using namespace zmo::setval;

namespace {

using zmotest::ScopedEnv;
using zmotest::TempDir;

std::string StatusFile(const std::string& dir) {
  std::string data;
  if (zmo::ReadWholeFile(dir + "/clicfe.err", &data) != 0) return "<none>";
  return data;
}

TEST(ZmosetvalExitStatusTest, OneLineWithTheStatus) {
  TempDir dir;
  ScopedEnv temp("TEMP", dir.path());
  struct Case {
    int status;
    const char* line;
  } cases[] = {{0, "clicfg.err 0\r\n"},
               {-1, "clicfg.err -1\r\n"},
               {1, "clicfg.err 1\r\n"},
               {2, "clicfg.err 2\r\n"}};
  for (const Case& c : cases) {
    EXPECT_EQ(writeExitStatus(c.status), c.status);
    EXPECT_EQ(StatusFile(dir.path()), c.line) << c.status;
  }
}

TEST(ZmosetvalExitStatusTest, TrailingSeparatorGivesTheSameFile) {
  TempDir dir;
  ScopedEnv temp("TEMP", dir.path() + "/");
  EXPECT_EQ(writeExitStatus(0), 0);
  EXPECT_EQ(StatusFile(dir.path()), "clicfg.err 0\r\n");
}

TEST(ZmosetvalExitStatusTest, MissingTempDirIsMadeWithItsParents) {
  TempDir dir;
  std::string nested = dir / "a/b/c";
  ScopedEnv temp("TEMP", nested);
  EXPECT_EQ(writeExitStatus(2), 2);
  EXPECT_EQ(StatusFile(nested), "clicfg.err 2\r\n");
}

TEST(ZmosetvalExitStatusTest, TempThatIsAFileGivesNoStatusFile) {
  TempDir dir;
  ASSERT_EQ(zmo::WriteFileAtomic(dir / "plain", "x"), 0);
  ScopedEnv temp("TEMP", dir / "plain");
  EXPECT_EQ(writeExitStatus(-1), -1);
  std::string data;
  EXPECT_EQ(zmo::ReadWholeFile(dir / "plain", &data), 0);
  EXPECT_EQ(data, "x");
  EXPECT_FALSE(zmo::FileExists((dir / "plain/clicfe.err").c_str()));
}

TEST(ZmosetvalExitStatusTest, UnwritableStatusFileIsSkippedSilently) {
  TempDir dir;
  ASSERT_EQ(mkdir((dir / "clicfe.err").c_str(), 0755), 0);  // a directory in its way
  ScopedEnv temp("TEMP", dir.path());
  EXPECT_EQ(writeExitStatus(1), 1);
}

TEST(ZmosetvalTempDirTest, TempOrDefault) {
  {
    ScopedEnv temp("TEMP", "/some/where");
    EXPECT_EQ(getTempDir(), "/some/where");
  }
  {
    ScopedEnv temp("TEMP", std::nullopt);
    EXPECT_EQ(getTempDir(), "/tmp");
  }
  {
    ScopedEnv temp("TEMP", "");
    EXPECT_EQ(getTempDir(), "/tmp");
  }
}

TEST(ZmosetvalMakeDirTest, ExistingDirectoryIsSuccess) {
  TempDir dir;
  EXPECT_EQ(makeDir(dir.path().c_str()), 0);
  EXPECT_EQ(makeDir((dir / "x/y").c_str()), 0);
  EXPECT_EQ(makeDir((dir / "x/y").c_str()), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(dir / "f", ""), 0);
  EXPECT_EQ(makeDir((dir / "f").c_str()), -1);
  EXPECT_EQ(makeDir((dir / "f/sub").c_str()), -1);
}

}  // namespace
