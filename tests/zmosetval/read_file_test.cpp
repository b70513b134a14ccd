#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "test_util.h"
#include "zmosetval/zmosetval.h"

using namespace zmo::setval;

namespace {

struct ReadCase {
  const char* name;
  std::string content;
  bool binary;
  std::string expected;
};

TEST(ZmosetvalReadFileTest, Table) {
  std::string full(1023, 'a');
  ReadCase cases[] = {
      {"plain text", "-7", false, "-7"},
      {"line end kept", "-7\n", false, "-7\n"},
      {"CR LF read as LF in text mode", "a\r\nb\r\n", false, "a\nb\n"},
      {"lone CR kept", "a\rb\r", false, "a\rb\r"},
      {"CR LF kept in binary mode", "a\r\nb", true, "a\r\nb"},
      {"NUL and high bytes kept in binary mode", std::string("\0\xff\x01", 3), true,
       std::string("\0\xff\x01", 3)},
      {"exactly the limit", full, false, full},
      {"the rest ignored", full + "bcd", false, full},
      {"limit counts after CR LF folding", std::string(1022, 'a') + "\r\nxyz", false,
       std::string(1022, 'a') + "\n"},
      {"binary limit", std::string(2000, '\x01'), true, std::string(1023, '\x01')},
  };
  zmotest::TempDir dir;
  for (ReadCase& c : cases) {
    std::string path = dir / "f";
    ASSERT_EQ(zmo::WriteFileAtomic(path, c.content), 0);
    std::string got;
    EXPECT_EQ(setvalReadFile(path.c_str(), c.binary, &got), 0) << c.name;
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(ZmosetvalReadFileTest, MissingFileIsOneEmptyFileIsTwo) {
  zmotest::TempDir dir;
  std::string got = "old";
  EXPECT_EQ(setvalReadFile((dir / "missing").c_str(), false, &got), 1);
  ASSERT_EQ(zmo::WriteFileAtomic(dir / "empty", ""), 0);
  EXPECT_EQ(setvalReadFile((dir / "empty").c_str(), true, &got), 2);
  EXPECT_EQ(got, "");
}

}  // namespace
