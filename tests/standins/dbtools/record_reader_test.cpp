// The loaders' data file reader: the records a chunk at a time, lines cut
// as the whole-file reader cuts them.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "dbtools_test_util.h"
#include "tools.h"

namespace {

using dbtools_test::Write;

class RecordReaderTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_ + "/records.dat"; }

  // Every record of text, read `chunk` at a time, each chunk closed by "|".
  std::string ReadAll(const std::string& text, size_t chunk) {
    Write(Path(), text);
    zmo::dbtools::RecordReader reader;
    EXPECT_EQ(reader.Open(Path()), 0);
    std::vector<std::string_view> records;
    std::string out;
    for (;;) {
      EXPECT_EQ(reader.Next(chunk, &records), 0);
      if (records.empty()) break;
      EXPECT_LE(records.size(), chunk);
      for (std::string_view r : records) out.append(r).append(";");
      out += "|";
    }
    return out;
  }

  std::string dir_ = ::testing::TempDir();
};

TEST_F(RecordReaderTest, LinesAsTheWholeFileReaderCutsThem) {
  struct Case {
    std::string text, records;
  };
  const Case cases[] = {
      {"", ""},
      {"a\r\nb\r\nc\r\n", "a;b;|c;|"},
      {"a\nb", "a;b;|"},            // a last line without a line end counts
      {"a\r\n\r\nb\r", "a;;|b;|"},  // an empty line; the last CR goes too
      {"x\ry\r\n", "x\ry;|"},       // a CR inside a record stays
      {std::string("n\0l\r\n", 5), std::string("n\0l;|", 5)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAll(c.text, 2), c.records) << c.text;
    std::vector<std::string> whole;
    Write(Path(), c.text);
    ASSERT_EQ(zmo::dbtools::ReadLines(Path(), &whole), 0);
    std::string joined;
    for (const std::string& r : whole) joined += r + ";";
    std::string chunked = ReadAll(c.text, 1000);
    if (!chunked.empty()) chunked.pop_back();  // the one chunk's "|"
    EXPECT_EQ(chunked, joined) << c.text;
  }
}

TEST_F(RecordReaderTest, AMissingFileIsAnError) {
  zmo::dbtools::RecordReader reader;
  EXPECT_EQ(reader.Open(dir_ + "/no such file"), -1);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
