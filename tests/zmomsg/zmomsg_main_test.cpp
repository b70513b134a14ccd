#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "msg_test_util.h"
#include "zmo_test/usage.h"

using namespace zmo::msg;

namespace {

using zmotest::Argv;
using zmotest::kStamp;

class ZmomsgMainTest : public zmotest::MsgTest {
 protected:
  ZmomsgMainTest() {
    SetConfig("BinDir", bin_dir());
    WriteCatalog(
        "1494\tLoading of statistics records has started\n"
        "1500\tLoading of snap records has ended\n"
        "1510\t" +
        std::string(120, 'c') +
        "\n"
        "1511\t" +
        std::string(200, 'd') + "\n");
  }
  int RunMsg(Argv args, std::string* out = nullptr) {
    testing::internal::CaptureStdout();
    int code = zmomsgMain(args.argc(), args.argv());
    std::string printed = testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    return code;
  }
  std::string Stati() { return Read(LogPath("trace_zmostatisum.log")); }
  std::string Snap() { return Read(LogPath("trace_zmosnapsum.log")); }
};

TEST_F(ZmomsgMainTest, NoArgumentPrintsUsageAndEndsWithOne) {
  std::string out;
  EXPECT_EQ(RunMsg({"zmomsg"}, &out), 1);
  EXPECT_EQ(out.rfind(zmo_test::UsageText("zmomsg"), 0), 0u);
  EXPECT_EQ(Stati(), "<none>");
}

TEST_F(ZmomsgMainTest, WhichTextIsWritten) {
  struct Case {
    const char* name;
    Argv args;
    std::string line;  // what the STATI log then holds
  } cases[] = {
      {"catalog text",
       {"zmomsg", "-n", "1494", "-p", "STATI"},
       std::string(kStamp) + "Loading of statistics records has started\r\n"},
      {"literal text",
       {"zmomsg", "-m", "Begin collecting records", "-p", "STATI"},
       std::string(kStamp) + "Begin collecting records\r\n"},
      {"catalog text wins over -m",
       {"zmomsg", "-m", "mine", "-n", "1500", "-p", "STATI"},
       std::string(kStamp) + "Loading of snap records has ended\r\n"},
      {"number without a text keeps -m",
       {"zmomsg", "-m", "mine", "-n", "1234", "-p", "STATI"},
       std::string(kStamp) + "mine\r\n"},
      {"number without a text and no -m",
       {"zmomsg", "-n", "1234", "-p", "STATI"},
       std::string(kStamp) + "\r\n"},
      {"number that is no number",
       {"zmomsg", "-n", "abc", "-m", "m", "-p", "STATI"},
       std::string(kStamp) + "m\r\n"},
      {"number read like atoi",
       {"zmomsg", "-n", "1494xyz", "-p", "STATI"},
       std::string(kStamp) + "Loading of statistics records has started\r\n"},
      {"catalog text cut to 100",
       {"zmomsg", "-n", "1510", "-p", "STATI"},
       std::string(kStamp) + std::string(100, 'c') + "\r\n"},
      {"catalog text read with 127 and cut to 100",
       {"zmomsg", "-n", "1511", "-p", "STATI"},
       std::string(kStamp) + std::string(100, 'd') + "\r\n"},
      {"message cut to 100",
       {"zmomsg", "-m", std::string(300, 'm'), "-p", "STATI"},
       std::string(kStamp) + std::string(100, 'm') + "\r\n"},
      {"upper-case options and tab",
       {"zmomsg", "-T", "-N", "1494", "-P", "STATI"},
       std::string("\t") + kStamp + "Loading of statistics records has started\r\n"},
      {"-m as the last element", {"zmomsg", "-p", "STATI", "-m"}, std::string(kStamp) + "\r\n"},
  };
  for (Case& c : cases) {
    std::remove(LogPath("trace_zmostatisum.log").c_str());
    EXPECT_EQ(RunMsg(c.args), 0) << c.name;
    EXPECT_EQ(Stati(), c.line) << c.name;
  }
}

TEST_F(ZmomsgMainTest, LinesAreAppended) {
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "Collection of SNAP records has ended", "-p", "SNAP"}), 0);
  EXPECT_EQ(RunMsg({"zmomsg", "-t", "-m", "second", "-p", "SNAP"}), 0);
  EXPECT_EQ(Snap(), std::string(kStamp) + "Collection of SNAP records has ended\r\n\t" + kStamp +
                        "second\r\n");
  EXPECT_EQ(Stati(), "<none>");
}

TEST_F(ZmomsgMainTest, NothingToWriteToEndsWithZero) {
  struct Case {
    const char* name;
    Argv args;
  } cases[] = {
      {"no -p", {"zmomsg", "-m", "x"}},
      {"lower-case -p value", {"zmomsg", "-m", "x", "-p", "snap"}},
      {"other -p value", {"zmomsg", "-m", "x", "-p", "LOADER"}},
      {"-p as the last element", {"zmomsg", "-m", "x", "-p"}},
  };
  for (Case& c : cases) {
    EXPECT_EQ(RunMsg(c.args), 0) << c.name;
    EXPECT_TRUE(std::filesystem::is_empty(bin_dir())) << c.name;
  }
}

TEST_F(ZmomsgMainTest, MissingBinDirWritesNothing) {
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmotest::kConfigKey, 0, KEY_ALL_ACCESS, &h), 0);
  ASSERT_EQ(RegDeleteValueA(h, "BinDir"), 0);
  RegCloseKey(h);
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "x", "-p", "STATI"}), 0);
  SetConfig("BinDir", "");
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "x", "-p", "STATI"}), 0);
  EXPECT_TRUE(std::filesystem::is_empty(bin_dir()));
  EXPECT_FALSE(zmo::FileExists("trace_zmostatisum.log"));
}

TEST_F(ZmomsgMainTest, BinDirThatDoesNotExistWritesNothing) {
  SetConfig("BinDir", dir_ / "gone");
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "x", "-p", "STATI"}), 0);
  EXPECT_FALSE(zmo::FileExists((dir_ / "gone").c_str()));
}

TEST_F(ZmomsgMainTest, BinDirWithTrailingSeparatorGivesTheSameLog) {
  SetConfig("BinDir", bin_dir() + "/");
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "x", "-p", "STATI"}), 0);
  EXPECT_EQ(Stati(), std::string(kStamp) + "x\r\n");
}

TEST_F(ZmomsgMainTest, NoCatalogKeepsTheMessage) {
  std::remove((prog_dir() + "/zmocatENU.cat").c_str());
  EXPECT_EQ(RunMsg({"zmomsg", "-n", "1494", "-m", "fallback", "-p", "STATI"}), 0);
  EXPECT_EQ(Stati(), std::string(kStamp) + "fallback\r\n");
}

TEST_F(ZmomsgMainTest, TheShippedCatalog) {
  zmo::Runtime().program_dir = std::string(ZMO_TEST_BIN_DIR) + "/";
  EXPECT_EQ(RunMsg({"zmomsg", "-n", "1494", "-p", "STATI"}), 0);
  EXPECT_EQ(Stati(), std::string(kStamp) + "Loading of statistics records has started\r\n");
}

TEST_F(ZmomsgMainTest, RollsOverWithTheBareLine) {
  SetConfig("StatiLogSize", "1");
  std::string full(1024, 'f');
  Write(LogPath("trace_zmostatisum.log"), full);
  EXPECT_EQ(RunMsg({"zmomsg", "-n", "1494", "-p", "STATI"}), 0);
  EXPECT_EQ(Read(LogPath("trace_zmostatisum_log.old")), full + "Delete of old log-file failed\r\n");
  EXPECT_EQ(Stati(), std::string(kStamp) + "Loading of statistics records has started\r\n");

  // Limit 0: every line first rolls the log, replacing the older copy.
  SetConfig("StatiLogSize", "0");
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "next", "-p", "STATI"}), 0);
  EXPECT_EQ(Read(LogPath("trace_zmostatisum_log.old")),
            std::string(kStamp) + "Loading of statistics records has started\r\n");
  EXPECT_EQ(Stati(), std::string(kStamp) + "next\r\n");
}

TEST_F(ZmomsgMainTest, LogThatCannotBeOpenedEndsWithZero) {
  ASSERT_EQ(mkdir(LogPath("trace_zmostatisum.log").c_str(), 0755), 0);
  EXPECT_EQ(RunMsg({"zmomsg", "-m", "x", "-p", "STATI"}), 0);
}

}  // namespace
