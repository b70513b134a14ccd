// Runs that do not complete leave the statistic data file as they found it,
// so the interval that is collected again is never loaded twice.

#include <string>
#include <vector>

#include "collect_test_env.h"
#include "common/service_control.h"

using namespace zmo::stati;

namespace {

class CollectStop : public CollectWorld {
 protected:
  void SetUp() override {
    CollectWorld::SetUp();
    // T46 takes a minute to send its records; a stop request comes after
    // ten seconds of waiting.
    CopySystem("T46", "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = 60000\n");
    const std::int64_t stop_at = clock_->NowMillis() + 10000;
    clock_->SetAdvanceHook([stop_at, done = false](std::int64_t now) mutable {
      if (!done && now >= stop_at) {
        done = true;
        zmo::serviceStopRequest();
      }
    });
    ASSERT_EQ(zmo::WriteFileAtomic(CollectingFile(), "earlier run\r\n"), 0);
  }
};

TEST_F(CollectStop, StopDuringARemoteCallCutsTheFileBack) {
  WriteServers({kT31, kT46, kT62});
  EXPECT_EQ(Collect(), zmo::kShutdownInProgress);

  EXPECT_EQ(Read(CollectingFile()), "earlier run\r\n") << "T31's records are taken out again";
  EXPECT_EQ(Read(CollectingFile() + ".mark"), "<none>") << "an orderly stop settles its mark";
  EXPECT_EQ(Read(HandOverFile()), "<none>");
  EXPECT_EQ(Children(), StartMessages()) << "no end message, no loader";
  const auto avail = Lines(AvailFile());
  ASSERT_EQ(avail.size(), 1u) << "T31's line only";
  EXPECT_EQ(avail[0].substr(0, 13), "sapt31_T31_00");
  const std::string trace = env_.Trace();
  EXPECT_NE(trace.find("statiCallSapwlStatrecReadFile() shutdown in progress\n"),
            std::string::npos);
  EXPECT_NE(trace.find("records of this run removed from <" + CollectingFile() + ">\n"),
            std::string::npos);
  // T46's connection was closed, and T62 was never visited.
  std::vector<std::string> events;
  for (const auto& e : zmo::rfc::SimCallLog()) {
    if (e.system == "T46" && e.event != "call") events.push_back(e.event);
    EXPECT_NE(e.system, "T62");
  }
  EXPECT_EQ(events, (std::vector<std::string>{"open", "close"}));
}

TEST_F(CollectStop, StopBeforeTheFirstServerWritesNothing) {
  WriteServers({kT31});
  zmo::serviceStopRequest();
  EXPECT_EQ(Collect(), zmo::kShutdownInProgress);
  EXPECT_EQ(Read(CollectingFile()), "earlier run\r\n");
  EXPECT_TRUE(zmo::rfc::SimCallLog().empty());
  EXPECT_EQ(Lines(AvailFile()).size(), 0u);
}

TEST_F(CollectStop, RecordsThatDoNotReachTheDiskFailTheRun) {
  // Every write to the collecting file fails for want of space.
  ASSERT_EQ(std::remove(CollectingFile().c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", CollectingFile().c_str()), 0);
  WriteServers({kT31});
  EXPECT_EQ(Collect(), 1);
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  EXPECT_EQ(Children(), expected) << "no loader";
  EXPECT_EQ(Read(HandOverFile()), "<none>");
  EXPECT_TRUE(env_.TraceContains("closeOutFile() returned unsuccessfully\n"));
}

}  // namespace
