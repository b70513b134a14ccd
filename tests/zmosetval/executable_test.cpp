// The built program, started with a command line as a script starts it.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "test_util.h"

namespace {

using zmotest::GetValue;
using zmotest::Sz;

const std::string kProgram = std::string(ZMO_TEST_BIN_DIR) + "/zmosetval";

class ZmosetvalExecutableTest : public zmotest::StoreTest {
 protected:
  int Spawn(std::initializer_list<const char*> elements) {
    return zmotest::SpawnProgram(kProgram, elements);
  }
  std::string StatusFile() {
    std::string data;
    return zmo::ReadWholeFile(dir_ / "temp/clicfe.err", &data) == 0 ? data : "<none>";
  }
};

TEST_F(ZmosetvalExecutableTest, StatusIsTheExitCode) {
  EXPECT_EQ(Spawn({kProgram.c_str(), "-k", "\"SOFTWARE\\Velmar\\Monitoring for Orvane\"", "-n",
                   "ArchiveKeepDays", "-v", "-7"}),
            0);
  EXPECT_EQ(
      GetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velmar\\Monitoring for Orvane", "ArchiveKeepDays"),
      Sz("-7"));
  EXPECT_EQ(StatusFile(), "clicfg.err 0\r\n");

  EXPECT_EQ(Spawn({kProgram.c_str(), "-k", "K"}), 2);
  EXPECT_EQ(StatusFile(), "clicfg.err 2\r\n");

  // -1 reaches the caller as the low byte of the exit status.
  EXPECT_EQ(Spawn({kProgram.c_str(), "-d", "-k", "Missing"}), 255);
  EXPECT_EQ(StatusFile(), "clicfg.err -1\r\n");
}

}  // namespace
