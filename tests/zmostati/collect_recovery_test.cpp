// A run that a kill cut short leaves its mark beside the collecting file;
// the next run settles it first: it cuts back what a collection that did
// not end wrote, or completes a cut-short hand-over and counts its interval
// as collected, so no record reaches the loader twice or never.

#include <string>
#include <vector>

#include "collect_test_env.h"
#include "common/run_mark.h"
#include "zmo_test/matchers.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

constexpr const char* kMarkedInterval = "20240303 120001 20240305 120000 1234";

class CollectRecovery : public CollectWorld {
 protected:
  void SetUp() override {
    CollectWorld::SetUp();
    WriteServers({kT46});
  }
  std::string Mark() const { return CollectingFile() + ".mark"; }
  void WriteMark(zmo::RunMarkState state, std::vector<std::int64_t> lengths) {
    zmo::RunMark mark;
    mark.state = state;
    mark.lengths = std::move(lengths);
    mark.interval = kMarkedInterval;
    ASSERT_EQ(zmo::writeRunMark(Mark(), mark), 0);
  }
  // A run as the work loop makes it: it stores its interval as collected.
  int CollectInLoop() {
    statiResetRunState();
    statiState().storesInterval = true;
    SetInterval();
    EXPECT_EQ(statiGetDefaultAvailFileName(), 0);
    EXPECT_EQ(statiGetParaFromRegistry(), 0);
    return statiStartQuery();
  }
};

TEST_F(CollectRecovery, ACollectionThatDidNotEndIsCutBackWithItsTornLine) {
  const std::string earlier = "records an earlier run kept\r\n";
  ASSERT_EQ(zmo::WriteFileAtomic(CollectingFile(), earlier + "killed run's record\r\ntorn rec"), 0);
  WriteMark(zmo::RunMarkState::kCollecting, {static_cast<std::int64_t>(earlier.size())});
  ASSERT_EQ(Collect(), 0);
  const auto handed = Records(Lines(HandOverFile()));
  ASSERT_FALSE(handed.empty());
  EXPECT_EQ(handed[0], "records an earlier run kept");
  EXPECT_EQ(handed.size(), 1 + static_cast<size_t>(RecordsOf("T46")));
  EXPECT_THAT(env_.Trace(), HasText("records of a run that did not end removed from <" +
                                    CollectingFile() + ">\n"));
  EXPECT_EQ(Read(Mark()), "<none>");
}

TEST_F(CollectRecovery, AHandOverCutShortIsCountedAndNotCollectedAgain) {
  // The kill came after the rename: the loader may have taken the file.
  WriteMark(zmo::RunMarkState::kHandingOver, {});
  EXPECT_EQ(CollectInLoop(), kStatiRunRecovered);
  EXPECT_TRUE(Children().empty()) << "nothing collected, no loader";
  EXPECT_EQ(Read(CollectingFile()), "<none>");
  EXPECT_EQ(StatiTestEnv::Get("StatiLastStartDate"), "20240303");
  EXPECT_EQ(StatiTestEnv::Get("StatiLastStartTime"), "120001");
  EXPECT_EQ(StatiTestEnv::Get("StatiLastEndDate"), "20240305");
  EXPECT_EQ(StatiTestEnv::Get("StatiLastEndTime"), "120000");
  EXPECT_EQ(StatiTestEnv::Get("StatiLastQueryIntervalEnd"), "1234");
  EXPECT_EQ(Read(Mark()), "<none>");
}

TEST_F(CollectRecovery, AHandOverCutShortBeforeItsRenameKeepsTheRecords) {
  ASSERT_EQ(zmo::WriteFileAtomic(CollectingFile(), "collected\r\n"), 0);
  for (zmo::RunMarkState state : {zmo::RunMarkState::kHandingOver, zmo::RunMarkState::kKept}) {
    WriteMark(state, {});
    EXPECT_EQ(CollectInLoop(), kStatiRunRecovered);
    EXPECT_EQ(Read(CollectingFile()), "collected\r\n");
    EXPECT_EQ(StatiTestEnv::Get("StatiLastQueryIntervalEnd"), "1234");
    StatiTestEnv::Set("StatiLastQueryIntervalEnd", "0");
  }
  // The next run hands the kept records over with its own.
  ASSERT_EQ(CollectInLoop(), 0);
  const auto handed = Lines(HandOverFile());
  ASSERT_FALSE(handed.empty());
  EXPECT_EQ(handed[0], "collected");
}

TEST_F(CollectRecovery, AOneShotRunStoresNoInterval) {
  WriteMark(zmo::RunMarkState::kHandingOver, {});
  EXPECT_EQ(Collect(), 0) << "a -nr run collects what it was given";
  EXPECT_EQ(StatiTestEnv::Get("StatiLastEndDate"), "<missing>");
}

TEST_F(CollectRecovery, TheIntervalIsStoredBeforeTheLoaderStarts) {
  ASSERT_EQ(CollectInLoop(), 0);
  EXPECT_EQ(StatiTestEnv::Get("StatiLastEndDate"), "20240305");
  const std::string trace = env_.Trace();
  const size_t stored = trace.find("value <StatiLastEndDate> for subkey");
  const size_t started = trace.find("About to execute <" + bin_ + "zmoloader>");
  ASSERT_NE(stored, std::string::npos) << trace;
  ASSERT_NE(started, std::string::npos) << trace;
  EXPECT_LT(stored, started);
  EXPECT_EQ(Read(Mark()), "<none>");
}

TEST_F(CollectRecovery, ADamagedMarkIsNamedAndTheFileLeftAsItIs) {
  ASSERT_EQ(zmo::WriteFileAtomic(CollectingFile(), "collected\r\n"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(Mark(), "state collecting\nlength twelve\n"), 0);
  ASSERT_EQ(Collect(), 0);
  EXPECT_THAT(env_.Trace(), HasText("run mark <" + Mark() + "> line 2 is damaged; <" +
                                    CollectingFile() + "> is left as it is\n"));
  EXPECT_EQ(Lines(HandOverFile())[0], "collected");
}

}  // namespace
