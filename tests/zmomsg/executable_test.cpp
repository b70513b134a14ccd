// The built program, started the way the collectors start it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "msg_test_util.h"

namespace {

const std::string kProgram = std::string(ZMO_TEST_BIN_DIR) + "/zmomsg";

// A text that pattern matches whole; a failure shows the text.
::testing::Matcher<const std::string&> MatchesWhole(const std::regex& pattern) {
  return ::testing::Truly(
      [pattern](const std::string& text) { return std::regex_match(text, pattern); });
}

class ZmomsgExecutableTest : public zmotest::MsgTest {
 protected:
  int Spawn(std::initializer_list<const char*> elements) {
    return zmotest::SpawnProgram(kProgram, elements);
  }
};

TEST_F(ZmomsgExecutableTest, CollectorElementsReachTheLog) {
  SetConfig("BinDir", bin_dir());
  // Each element carries its own leading blank, option and value in one.
  EXPECT_EQ(Spawn({kProgram.c_str(), " -P STATI", " -T",
                   " -M \"Collection of STATI records has started\""}),
            0);
  EXPECT_EQ(Spawn({kProgram.c_str(), " -p SNAP", " -M \"Snap ended\""}), 0);
  // The child runs on the real clock: only the shape of its stamp is known.
  std::regex stati(
      "\t\\d{4}/\\d\\d/\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d: "
      "Collection of STATI records has started\r\n");
  std::regex snap("\\d{4}/\\d\\d/\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d: Snap ended\r\n");
  EXPECT_THAT(Read(LogPath("trace_zmostatisum.log")), MatchesWhole(stati));
  EXPECT_THAT(Read(LogPath("trace_zmosnapsum.log")), MatchesWhole(snap));
}

TEST_F(ZmomsgExecutableTest, CatalogBesideTheProgram) {
  SetConfig("BinDir", bin_dir());
  EXPECT_EQ(Spawn({kProgram.c_str(), "-N", "1494", "-P", "STATI"}), 0);
  std::regex line(
      "\\d{4}/\\d\\d/\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d: "
      "Loading of statistics records has started\r\n");
  EXPECT_THAT(Read(LogPath("trace_zmostatisum.log")), MatchesWhole(line));
}

TEST_F(ZmomsgExecutableTest, ExitCodes) {
  EXPECT_EQ(Spawn({kProgram.c_str()}), 1);
  // No BinDir in this store: nothing to write, still 0.
  EXPECT_EQ(Spawn({kProgram.c_str(), "-m", "x", "-p", "STATI"}), 0);
}

}  // namespace
