// Runs that do not complete leave the statistic data file as they found it,
// so the interval that is collected again is never loaded twice.

#include <algorithm>
#include <string>
#include <vector>

#include "collect_test_env.h"
#include "common/service_control.h"
#include "zmo_test/matchers.h"
#include "zmo_test/trace.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

// A stop request comes once the clock has gone on ten seconds.
void StopAfterTenSeconds(zmo::FakeClock* clock) {
  const std::int64_t stop_at = clock->NowMillis() + 10000;
  clock->SetAdvanceHook([stop_at, done = false](std::int64_t now) mutable {
    if (!done && now >= stop_at) {
      done = true;
      zmo::serviceStopRequest();
    }
  });
}

class CollectStop : public CollectWorld {
 protected:
  void SetUp() override {
    CollectWorld::SetUp();
    // T46 takes a minute to send its records; a stop request comes after
    // ten seconds of waiting.
    CopySystem("T46", "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = 60000\n");
    StopAfterTenSeconds(&clock_.clock());
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
  EXPECT_THAT(trace, HasText("statiCallSapwlStatrecReadFile() shutdown in progress\n"));
  EXPECT_THAT(trace, HasText("records of this run removed from <" + CollectingFile() + ">\n"));
  // T46's connection was closed, and T62 was never visited.
  std::vector<std::string> events;
  for (const auto& e : zmo::rfc::SimCallLog()) {
    if (e.system == "T46" && e.event != "call") events.push_back(e.event);
    EXPECT_NE(e.system, "T62");
  }
  EXPECT_EQ(events, (std::vector<std::string>{"open", "close"}));
}

// A stop while a step waits for its answer: only the read call traces the
// stop as such, the others as a failed step; either way the run ends at
// once, without the server's availability line.
struct StepStop {
  const char* function;   // the remote call that waits
  const char* step_line;  // what the collection run traces for its step
};

class CollectStopInAStep : public CollectWorld, public ::testing::WithParamInterface<StepStop> {
 protected:
  void SetUp() override {
    CollectWorld::SetUp();
    CopySystem("T46", std::string("[function ") + GetParam().function + "]\ndelay_ms = 60000\n");
    StopAfterTenSeconds(&clock_.clock());
  }
};

TEST_P(CollectStopInAStep, TracesTheStepAndEndsTheRun) {
  WriteServers({kT46, kT31});
  EXPECT_EQ(Collect(), zmo::kShutdownInProgress);

  const std::vector<std::string> traced = zmo_test::TraceTextsOf(env_.Dir() + "trace_zmostati.log");
  const auto shutting =
      std::find(traced.begin(), traced.end(), "ListenForRfcResponse() shutting down");
  ASSERT_NE(shutting, traced.end());
  // The wait's lines, the step's, then the run's end (no catalog is there).
  EXPECT_EQ(std::vector<std::string>(shutting, traced.end()),
            (std::vector<std::string>{"ListenForRfcResponse() shutting down",
                                      "ListenForRfcResponse() shutting down", GetParam().step_line,
                                      "statiStartQuery() FreeLibrary returned unsuccessfully"}));
  EXPECT_EQ(Lines(AvailFile()).size(), 0u) << "no availability line for a stopped server";
  EXPECT_EQ(Children(), StartMessages()) << "no end message, no loader";
  for (const auto& e : zmo::rfc::SimCallLog()) EXPECT_NE(e.system, "T31");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CollectStopInAStep,
    ::testing::Values(StepStop{"RFC_SYSTEM_INFO",
                               "statiCallRfcSystemInfo() returned unsuccessfully"},
                      StepStop{"SAPWL_STATREC_READ_FILE",
                               "statiCallSapwlStatrecReadFile() shutdown in progress"}),
    [](const ::testing::TestParamInfo<StepStop>& info) {
      return info.index == 0 ? std::string("SystemInfo") : std::string("ReadFile");
    });

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
  EXPECT_THAT(env_.Trace(), HasText("closeOutFile() returned unsuccessfully\n"));
}

}  // namespace
