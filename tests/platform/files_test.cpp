#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zmo_files_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string Path(const char* name) { return zmo::JoinPath(dir_, name); }
  std::string dir_;
};

TEST(JoinPathTest, OneSeparatorWhateverTheDirEndsWith) {
  EXPECT_EQ(zmo::JoinPath("/opt/zmo", "zmomsg"), "/opt/zmo/zmomsg");
  EXPECT_EQ(zmo::JoinPath("/opt/zmo/", "zmomsg"), "/opt/zmo/zmomsg");
  EXPECT_EQ(zmo::JoinPath("", "zmomsg"), "zmomsg");
  EXPECT_EQ(zmo::WithTrailingSep("/opt/zmo"), "/opt/zmo/");
  EXPECT_EQ(zmo::WithTrailingSep("/opt/zmo/"), "/opt/zmo/");
  EXPECT_EQ(zmo::WithTrailingSep(""), "");
}

TEST_F(FilesTest, WriteLineEndsInCrLf) {
  std::FILE* f = std::fopen(Path("t.txt").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(zmo::WriteLineCrlf(f, "first"), 0);
  EXPECT_EQ(zmo::WriteLineCrlf(f, std::string("sec\0nd", 6)), 0);
  std::fclose(f);
  std::string data;
  ASSERT_EQ(zmo::ReadWholeFile(Path("t.txt"), &data), 0);
  EXPECT_EQ(data, std::string("first\r\nsec\0nd\r\n", 15));
}

TEST_F(FilesTest, RenameNeverReplacesItsTarget) {
  ASSERT_EQ(zmo::WriteFileAtomic(Path("a"), "new"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(Path("b"), "old"), 0);
  errno = 0;
  EXPECT_EQ(zmo::RenameNoReplace(Path("a").c_str(), Path("b").c_str()), -1);
  EXPECT_EQ(errno, EEXIST);
  std::string data;
  ASSERT_EQ(zmo::ReadWholeFile(Path("b"), &data), 0);
  EXPECT_EQ(data, "old");
  EXPECT_EQ(zmo::RenameNoReplace(Path("a").c_str(), Path("c").c_str()), 0);
  EXPECT_FALSE(zmo::FileExists(Path("a").c_str()));
  ASSERT_EQ(zmo::ReadWholeFile(Path("c"), &data), 0);
  EXPECT_EQ(data, "new");
}

TEST_F(FilesTest, FileSizeIs64BitAndMinusOneWhenMissing) {
  EXPECT_EQ(zmo::FileSize64(Path("missing").c_str()), -1);
  // A sparse file past 4 GiB must not wrap.
  std::string big = Path("big");
  std::FILE* f = std::fopen(big.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  const off_t size = (off_t{5} << 30) + 7;
  ASSERT_EQ(truncate(big.c_str(), size), 0);
  EXPECT_EQ(zmo::FileSize64(big.c_str()), static_cast<std::int64_t>(size));
}

TEST_F(FilesTest, PrivateFileIsOwnerOnly) {
  std::string p = Path("secret.bat");
  ASSERT_EQ(zmo::WriteFileAtomic(p, "x", 0644), 0);
  std::FILE* f = zmo::OpenPrivateFile(p.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, 0);
}

TEST_F(FilesTest, PrivateAppendCreatesOwnerOnlyAndKeepsAnExistingMode) {
  std::string p = Path("trace.log");
  for (const char* text : {"one\n", "two\n"}) {
    std::FILE* f = zmo::OpenPrivateAppend(p.c_str());
    ASSERT_NE(f, nullptr);
    std::fputs(text, f);
    std::fclose(f);
  }
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  std::string data;
  ASSERT_EQ(zmo::ReadWholeFile(p, &data), 0);
  EXPECT_EQ(data, "one\ntwo\n");
  ASSERT_EQ(chmod(p.c_str(), 0640), 0);
  std::FILE* f = zmo::OpenPrivateAppend(p.c_str());
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(zmo::OpenPrivateAppend(Path("no/such/dir").c_str()), nullptr);
}

TEST_F(FilesTest, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
  ASSERT_EQ(zmo::WriteFileAtomic(Path("f"), "one"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(Path("f"), "two two"), 0);
  std::string data;
  ASSERT_EQ(zmo::ReadWholeFile(Path("f"), &data), 0);
  EXPECT_EQ(data, "two two");
  EXPECT_EQ(std::system(("test $(ls " + dir_ + " | wc -l) -eq 1").c_str()), 0);
  EXPECT_EQ(zmo::WriteFileAtomic(Path("no/such/dir/f"), "x"), -1);
}

TEST(ProgramDirectoryTest, EndsWithSeparatorAndHoldsTheProgram) {
  std::string dir = zmo::ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(zmo::ProgramPath().rfind(dir, 0), 0u);
}

}  // namespace
