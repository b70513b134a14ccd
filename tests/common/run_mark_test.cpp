// The mark a collection run leaves beside its collecting files, and what a
// restart does with a mark left by a run that a kill cut short.

#include "common/run_mark.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "zmo_test/files.h"
#include "zmo_test/scoped.h"

namespace {

class RunMarkTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) { return tmp_.File(name); }
  void Write(const std::string& name, const std::string& data) {
    ASSERT_EQ(zmo::WriteFileAtomic(File(name), data), 0);
  }
  std::string Read(const std::string& name) { return zmo_test::FileText(File(name)); }
  std::vector<zmo::HandOverFile> Files() {
    return {{File("a.col"), File("a.dat")}, {File("b.col"), File("b.dat")}};
  }
  zmo::RunRecovery Recover(std::string* interval = nullptr, int* bad_line = nullptr) {
    std::string text;
    int bad = 0;
    const auto files = Files();
    zmo::RunRecovery r = zmo::recoverRun(File("run.mark"), files.data(), files.size(), &text, &bad);
    if (interval != nullptr) *interval = text;
    if (bad_line != nullptr) *bad_line = bad;
    return r;
  }
  zmo_test::TempDir tmp_{"zmo_run_mark"};
};

TEST_F(RunMarkTest, WrittenAndReadBack) {
  zmo::RunMark mark;
  mark.state = zmo::RunMarkState::kHandingOver;
  mark.lengths = {0, 123456789012};
  mark.interval = "20240304 110000 20240304 115959 42";
  ASSERT_EQ(zmo::writeRunMark(File("run.mark"), mark), 0);
  EXPECT_EQ(Read("run.mark"),
            "state handing-over\nlength 0\nlength 123456789012\n"
            "interval 20240304 110000 20240304 115959 42\n");
  zmo::RunMark back;
  int bad_line = -1;
  ASSERT_EQ(zmo::readRunMark(File("run.mark"), &back, &bad_line), 0);
  EXPECT_EQ(back.state, zmo::RunMarkState::kHandingOver);
  EXPECT_EQ(back.lengths, mark.lengths);
  EXPECT_EQ(back.interval, mark.interval);
  EXPECT_EQ(bad_line, 0);
  EXPECT_EQ(zmo::readRunMark(File("none.mark"), &back, &bad_line), zmo::kRunMarkNone);
}

struct DamagedCase {
  const char* text;
  int bad_line;
};

void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.text; }

class DamagedMarkTest : public RunMarkTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedMarkTest, NamesTheLineAndLeavesTheFilesAsTheyAre) {
  Write("run.mark", GetParam().text);
  Write("a.col", "records\r\n");
  Write("b.col", "");
  int bad_line = 0;
  EXPECT_EQ(Recover(nullptr, &bad_line), zmo::RunRecovery::kDamaged);
  EXPECT_EQ(bad_line, GetParam().bad_line);
  EXPECT_EQ(Read("a.col"), "records\r\n");
  EXPECT_FALSE(zmo::FileExists(File("run.mark").c_str())) << "a damaged mark is not read again";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DamagedMarkTest,
    ::testing::Values(DamagedCase{"", 1}, DamagedCase{"state collecting", 1},
                      DamagedCase{"state stopped\n", 1}, DamagedCase{"length 5\n", 1},
                      DamagedCase{"state collecting\nlength -5\nlength 0\n", 2},
                      DamagedCase{"state collecting\nlength 5\nlength 1x\n", 3},
                      DamagedCase{"state kept\nwhat is this\n", 2},
                      // The lengths must be one per collecting file.
                      DamagedCase{"state collecting\nlength 5\n", 2},
                      DamagedCase{"state collecting\nlength 5\nlength 0\nlength 0\n", 2}));

TEST_F(RunMarkTest, NoMarkChangesNothing) {
  Write("a.col", "records\r\n");
  EXPECT_EQ(Recover(), zmo::RunRecovery::kNone);
  EXPECT_EQ(Read("a.col"), "records\r\n");
}

TEST_F(RunMarkTest, ACollectingRunIsCutBackWithItsTornLine) {
  Write("run.mark", "state collecting\nlength 9\nlength 0\ninterval 1 2\n");
  Write("a.col", "earlier\r\nthis run\r\ntorn li");
  Write("b.col", "this run\r\n");
  std::string interval;
  EXPECT_EQ(Recover(&interval), zmo::RunRecovery::kCutBack);
  EXPECT_EQ(Read("a.col"), "earlier\r\n");
  EXPECT_EQ(Read("b.col"), "");
  EXPECT_EQ(interval, "1 2");
  EXPECT_FALSE(zmo::FileExists(File("run.mark").c_str()));
}

TEST_F(RunMarkTest, ACutBackLeavesAMissingOrShorterFileAlone) {
  Write("run.mark", "state collecting\nlength 9\nlength 4\n");
  Write("a.col", "short");
  EXPECT_EQ(Recover(), zmo::RunRecovery::kCutBack);
  EXPECT_EQ(Read("a.col"), "short");
  EXPECT_FALSE(zmo::FileExists(File("b.col").c_str()));
}

TEST_F(RunMarkTest, AHandOverCutShortIsCompleted) {
  // a was renamed before the kill, b was not.
  Write("run.mark", "state handing-over\ninterval 20240304 110000 20240304 115959 42\n");
  Write("a.dat", "a records\r\n");
  Write("b.col", "b records\r\n");
  std::string interval;
  EXPECT_EQ(Recover(&interval), zmo::RunRecovery::kHandedOver);
  EXPECT_EQ(Read("a.dat"), "a records\r\n");
  EXPECT_EQ(Read("b.dat"), "b records\r\n");
  EXPECT_FALSE(zmo::FileExists(File("b.col").c_str()));
  EXPECT_EQ(interval, "20240304 110000 20240304 115959 42");
  EXPECT_FALSE(zmo::FileExists(File("run.mark").c_str()));
}

TEST_F(RunMarkTest, AHandOverThatRenamedNothingKeepsTheRecords) {
  // The kill came before the first rename; an unloaded file may be under a
  // hand-over name, which must not be joined by the others.
  Write("run.mark", "state handing-over\n");
  Write("a.col", "a new\r\n");
  Write("b.col", "b new\r\n");
  Write("a.dat", "a unloaded\r\n");
  EXPECT_EQ(Recover(), zmo::RunRecovery::kKept);
  EXPECT_EQ(Read("a.col"), "a new\r\n");
  EXPECT_EQ(Read("b.col"), "b new\r\n");
  EXPECT_EQ(Read("a.dat"), "a unloaded\r\n");
  EXPECT_FALSE(zmo::FileExists(File("b.dat").c_str()));
}

TEST_F(RunMarkTest, AKeptRunKeepsItsRecordsAndGivesItsInterval) {
  Write("run.mark", "state kept\ninterval I\n");
  Write("a.col", "kept\r\n");
  std::string interval;
  EXPECT_EQ(Recover(&interval), zmo::RunRecovery::kKept);
  EXPECT_EQ(Read("a.col"), "kept\r\n");
  EXPECT_EQ(interval, "I");
}

}  // namespace
