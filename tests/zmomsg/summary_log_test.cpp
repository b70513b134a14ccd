#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "msg_test_util.h"

using namespace zmo::msg;

namespace {

using zmotest::kStamp;

constexpr const char* kDeleteFailed = "Delete of old log-file failed\r\n";

class ZmomsgWriteLineTest : public zmotest::MsgTest {};

TEST_F(ZmomsgWriteLineTest, StampTextAndCrLf) {
  struct Case {
    const char* name;
    int tab;
    std::string text;
    std::string line;
  } cases[] = {
      {"plain", 0, "Loading started", std::string(kStamp) + "Loading started\r\n"},
      {"tab before the date", 1, "x", std::string("\t") + kStamp + "x\r\n"},
      {"empty text", 0, "", std::string(kStamp) + "\r\n"},
      {"LF inside the text as text mode writes it", 0, "a\nb", std::string(kStamp) + "a\r\nb\r\n"},
      {"high bytes as they are", 0, "\xe4\xf6", std::string(kStamp) + "\xe4\xf6\r\n"},
  };
  for (const Case& c : cases) {
    std::string path = LogPath("one.log");
    std::remove(path.c_str());
    EXPECT_EQ(writeMsgLine(path.c_str(), c.tab, c.text.c_str()), 0) << c.name;
    EXPECT_EQ(Read(path), c.line) << c.name;
  }
}

TEST_F(ZmomsgWriteLineTest, AppendsAfterWhatIsThere) {
  std::string path = LogPath("a.log");
  Write(path, "earlier\r\n");
  EXPECT_EQ(writeMsgLine(path.c_str(), 0, "later"), 0);
  EXPECT_EQ(Read(path), std::string("earlier\r\n") + kStamp + "later\r\n");
}

TEST_F(ZmomsgWriteLineTest, LocalTimeOfTheClockInForce) {
  zmo::ScopedFakeClock summer(1719990000000LL);  // 2024-07-03 07:00:00 UTC, summer time
  std::string path = LogPath("s.log");
  EXPECT_EQ(writeMsgLine(path.c_str(), 0, "s"), 0);
  EXPECT_EQ(Read(path), "2024/07/03 09.00.00: s\r\n");
}

TEST_F(ZmomsgWriteLineTest, LogThatCannotBeOpenedIsMinusOne) {
  std::string path = dir_ / "no/such/dir/x.log";
  EXPECT_EQ(writeMsgLine(path.c_str(), 0, "x"), -1);
  EXPECT_FALSE(zmo::FileExists(path.c_str()));
}

class ZmomsgRollTest : public zmotest::MsgTest {
 protected:
  ZmomsgRollTest() {
    ZmomsgState& st = zmomsgState();
    st.log_path = LogPath("trace_zmostatisum.log");
    st.old_path = LogPath("trace_zmostatisum_log.old");
  }
  int Roll() { return rollMsgLog(summaryLogFor("STATI")); }
  std::string log() { return Read(zmomsgState().log_path); }
  std::string old() { return Read(zmomsgState().old_path); }
};

TEST_F(ZmomsgRollTest, AtTheLimitOnly) {
  struct Case {
    const char* name;
    const char* limit;  // nullptr: no registry value
    std::size_t size;
    bool rolls;
  } cases[] = {
      {"below one kilobyte", "1", 1023, false},
      {"at one kilobyte", "1", 1024, true},
      {"above one kilobyte", "1", 1500, true},
      {"limit 0 rolls even an empty log", "0", 0, true},
      {"no limit value", nullptr, 100000, false},
      {"limit past 32 bits once multiplied", "4194304", 4096, false},
      {"limit beyond any size", "99999999999999999999", 4096, false},
  };
  for (const Case& c : cases) {
    std::remove(zmomsgState().log_path.c_str());
    std::remove(zmomsgState().old_path.c_str());
    if (c.limit) {
      SetConfig("StatiLogSize", c.limit);
    } else {
      HKEY h = nullptr;
      ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmotest::kConfigKey, 0, KEY_ALL_ACCESS, &h), 0);
      RegDeleteValueA(h, "StatiLogSize");
      RegCloseKey(h);
    }
    std::string content(c.size, 'L');
    Write(zmomsgState().log_path, content);
    EXPECT_EQ(Roll(), c.rolls ? 1 : 0) << c.name;
    if (c.rolls) {
      EXPECT_EQ(log(), "<none>") << c.name;
      EXPECT_EQ(old(), content + kDeleteFailed) << c.name;
    } else {
      EXPECT_EQ(log(), content) << c.name;
      EXPECT_EQ(old(), "<none>") << c.name;
    }
  }
}

TEST_F(ZmomsgRollTest, MissingLogIsNotRolled) {
  SetConfig("StatiLogSize", "0");
  EXPECT_EQ(Roll(), 0);
  EXPECT_EQ(log(), "<none>");
  EXPECT_EQ(old(), "<none>");
}

TEST_F(ZmomsgRollTest, EarlierRolledCopyIsReplaced) {
  SetConfig("StatiLogSize", "1");
  Write(zmomsgState().old_path, "older\r\n");
  std::string content(2048, 'n');
  Write(zmomsgState().log_path, content);
  EXPECT_EQ(Roll(), 1);
  EXPECT_EQ(old(), content);
  EXPECT_EQ(log(), "<none>");
}

TEST_F(ZmomsgRollTest, RolledCopyThatCannotGoLeavesTheLogInPlace) {
  SetConfig("StatiLogSize", "0");
  // A directory with a file in it can be neither removed nor renamed over.
  ASSERT_EQ(mkdir(zmomsgState().old_path.c_str(), 0755), 0);
  Write(zmomsgState().old_path + "/inside", "x");
  Write(zmomsgState().log_path, "kept\r\n");
  EXPECT_EQ(Roll(), 0);
  EXPECT_EQ(log(), std::string("kept\r\n") + kDeleteFailed);
}

TEST_F(ZmomsgRollTest, EachLogHasItsOwnLimit) {
  SetConfig("StatiLogSize", "100");
  SetConfig("SnapLogSize", "0");
  ZmomsgState& st = zmomsgState();
  st.log_path = LogPath("trace_zmosnapsum.log");
  st.old_path = LogPath("trace_zmosnapsum_log.old");
  Write(st.log_path, "s\r\n");
  EXPECT_EQ(rollMsgLog(summaryLogFor("SNAP")), 1);
  EXPECT_EQ(old(), std::string("s\r\n") + kDeleteFailed);

  SetConfig("PerfLogSize", "100");
  st.log_path = LogPath("trace_zmoperfsum.log");
  st.old_path = LogPath("trace_zmoperfsum_log.old");
  Write(st.log_path, "p\r\n");
  EXPECT_EQ(rollMsgLog(summaryLogFor("PERF")), 0);
}

class ZmomsgReadRegStringTest : public zmotest::MsgTest {};

TEST_F(ZmomsgReadRegStringTest, TextOrNothing) {
  EXPECT_EQ(readRegString("BinDir"), std::nullopt);  // no key at all
  SetConfig("BinDir", "/opt/zmo");
  EXPECT_EQ(readRegString("BinDir"), "/opt/zmo");
  EXPECT_EQ(readRegString("bindir"), "/opt/zmo");
  EXPECT_EQ(readRegString("StatiLogSize"), std::nullopt);
  // Bytes stored without a NUL, or with bytes after it.
  zmotest::PutValue(HKEY_LOCAL_MACHINE, zmotest::kConfigKey, "Raw", {REG_SZ, "abc"});
  EXPECT_EQ(readRegString("Raw"), "abc");
  zmotest::PutValue(HKEY_LOCAL_MACHINE, zmotest::kConfigKey, "Cut",
                    {REG_SZ, std::string("ab\0cd", 5)});
  EXPECT_EQ(readRegString("Cut"), "ab");
  zmotest::PutValue(HKEY_LOCAL_MACHINE, zmotest::kConfigKey, "Empty", {REG_SZ, ""});
  EXPECT_EQ(readRegString("Empty"), "");
}

}  // namespace
