// The start message, the batch start and debug mode.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/message_catalog.h"
#include "loader_test_env.h"
#include "platform/process.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;
using loader_test::SpawnCalls;
using ::testing::ElementsAre;
using zmo_test::HasLine;

const std::vector<std::string> kSnap = {"-p", "SNAP", "-h", "10.20.30.40", "-i", "153"};
const std::vector<std::string> kStati = {"-P", "STATI", "-H", "10.20.30.40", "-I", "153"};

// The collectors' handed-over files are there: the batch has data to load.
class StartTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    for (const char* f :
         {"zmostati.dat", "zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan", "zmoavai.dat"}) {
      ASSERT_EQ(zmo::WriteFileAtomic(Bin(f), "x\r\n"), 0);
    }
  }
};

// A run without a data file still starts its batch, which closes the run:
// the end line and the archive deletes (the batch's own lines are tested
// with the kinds' files).
TEST_F(StartTest, NoDataFileStillStartsTheBatchThatClosesTheRun) {
  RemoveDataFiles();
  for (const auto& args : {kSnap, kStati}) {
    ResetRun();
    ASSERT_EQ(Run(args), 0);
    ASSERT_EQ(SpawnCalls().size(), 2u) << "the start message and the batch";
  }
}

TEST_F(StartTest, StartMessageThenTheBatchWaitedFor) {
  ASSERT_EQ(Run(kSnap), 0);
  ASSERT_EQ(SpawnCalls().size(), 2u);
  const loader_test::SpawnCall& msg = SpawnCalls()[0];
  EXPECT_EQ(msg.mode, _P_WAIT);
  EXPECT_EQ(msg.path, Bin("zmomsg"));
  EXPECT_THAT(msg.argv, ElementsAre(Bin("zmomsg"), " -P SNAP", " -T",
                                    " -M \"Loading of snap records has started\""));
  const loader_test::SpawnCall& bat = SpawnCalls()[1];
  EXPECT_EQ(bat.mode, _P_WAIT);
  EXPECT_EQ(bat.path, Bin("zmoload_snap.bat"));
  EXPECT_THAT(bat.argv, ElementsAre(Bin("zmoload_snap.bat")));
  std::vector<std::string> traced = TraceTexts();
  EXPECT_THAT(traced,
              HasLine("About to execute <" + Bin("zmomsg") + "> arguments <" + Bin("zmomsg") +
                      ">,< -P SNAP>,< -T>,< -M \"Loading of snap records has started\">"));
  EXPECT_THAT(traced, HasLine("About to execute <" + Bin("zmoload_snap.bat") + "> arguments <" +
                              Bin("zmoload_snap.bat") + ">,<>,<>,<>"));
  EXPECT_EQ(
      std::vector<std::string>(traced.end() - 3, traced.end()),
      (std::vector<std::string>{"spawn() returned <0>", "zmoLoaderFreeLib() returned successfully",
                                "zmoLoaderFreeGdLib() returned successfully"}));
}

TEST_F(StartTest, StatiStartMessageFromTheCatalog) {
  ASSERT_EQ(Run(kStati), 0);
  ASSERT_FALSE(SpawnCalls().empty());
  EXPECT_THAT(SpawnCalls()[0].argv,
              ElementsAre(Bin("zmomsg"), " -P STATI", " -T",
                          " -M \"Loading of statistics records has started\""));
}

// The catalog is looked for in BinDir, then by its two other names bare.
TEST_F(StartTest, WithoutCatalogTheBuiltInTextIsSent) {
  std::filesystem::remove(Bin("zmocatENU.cat"));
  ASSERT_EQ(Run(kStati), 0);
  std::string names[zmo::kCatalogNames];
  zmo::catalogNames(names);
  std::vector<std::string> lookup;
  for (const std::string& line : TraceTexts()) {
    if (line.rfind("zmoLoaderLoadLang() ", 0) == 0) lookup.push_back(line);
  }
  EXPECT_THAT(lookup, ElementsAre("zmoLoaderLoadLang() trying <" + Bin(names[0].c_str()) + ">",
                                  "zmoLoaderLoadLang() trying <" + names[1] + ">",
                                  "zmoLoaderLoadLang() trying <" + names[2] + ">",
                                  "zmoLoaderLoadLang() Could not load dll <" + names[2] + ">",
                                  "zmoLoaderLoadLang() returned unsuccessfully"));
  EXPECT_THAT(TraceTexts(),
              HasLine("LoadString() LoadString returned unsuccessfully tag msgStatiLoadStart_Tag"));
  EXPECT_THAT(SpawnCalls()[0].argv,
              ElementsAre(Bin("zmomsg"), " -P STATI", " -T",
                          " -M \"Loading of statistics records has started\""));
  EXPECT_THAT(TraceTexts(), HasLine("zmoLoaderFreeLib() returned unsuccessfully"));
}

TEST_F(StartTest, CorvaWindowIsNotWaitedFor) {
  struct Case {
    std::vector<std::string> extra;
    const char* db;
    int mode;
  };
  const Case cases[] = {
      {{}, "Corva", _P_NOWAIT},
      {{"-v", "corva"}, "Oracle", _P_NOWAIT},
      // The kind by its letter, the wait by the whole name.
      {{"-v", "Corvax"}, "Oracle", _P_WAIT},
      {{}, "Tessel", _P_WAIT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.db);
    ResetRun();
    SetConfig(zmo::cfg::kDB, c.db);
    std::vector<std::string> args = kSnap;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    loader_test::SpawnResult() = 4242;
    // A waited batch that ends with anything but 0 is a failed load; the
    // Corva window's handle says nothing of the load.
    ASSERT_EQ(Run(args), c.mode == _P_NOWAIT ? kLoaderExitOk : kLoaderExitLoadFailed);
    ASSERT_EQ(SpawnCalls().size(), 2u);
    EXPECT_EQ(SpawnCalls()[1].mode, c.mode);
    EXPECT_THAT(TraceTexts(), HasLine(c.mode == _P_NOWAIT ? "spawn() returned process handle <4242>"
                                                          : "spawn() returned <4242>"));
  }
}

TEST_F(StartTest, DebugModeWritesEverythingAndStartsNoBatch) {
  struct Case {
    std::vector<std::string> extra;
    const char* load_debug;  // nullptr: missing
    bool started;
    const char* line;
  };
  const Case cases[] = {
      {{"-d"}, nullptr, false, "main() We are in command line Debug mode"},
      {{"-D"}, "False", false, "main() We are in command line Debug mode"},
      {{}, "True", false, "main() We are in debug mode from registry setting <LoadDebug>"},
      {{"-d"}, "True", false, "main() We are in debug mode from registry setting <LoadDebug>"},
      {{}, "true", true, "spawn() returned <0>"},
      {{}, nullptr, true, "spawn() returned <0>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.load_debug ? c.load_debug : "missing") +
                 (c.extra.empty() ? "" : " -d"));
    ResetRun();
    SetConfig(zmo::cfg::kDB, "Corva");
    if (c.load_debug != nullptr) {
      SetConfig(zmo::cfg::kLoadDebug, c.load_debug);
    } else {
      DeleteConfig(zmo::cfg::kLoadDebug);
    }
    std::vector<std::string> args = kSnap;
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(Run(args), 0);
    // The start message is sent either way.
    ASSERT_EQ(SpawnCalls().size(), c.started ? 2u : 1u);
    EXPECT_EQ(SpawnCalls()[0].path, Bin("zmomsg"));
    EXPECT_THAT(TraceTexts(), HasLine(c.line));
    for (const char* f : {"zmoload_snap.bat", "zmoload2_snap.bat", "zmoload_snap.sql"}) {
      EXPECT_TRUE(zmo::FileExists(Bin(f).c_str())) << f;
    }
  }
}

TEST_F(StartTest, AStartThatFailsIsTracedAndTheRunEnds) {
  loader_test::SpawnResult() = -1;
  // A batch that could not start loaded nothing: the run says so.
  EXPECT_EQ(Run(kSnap), kLoaderExitLoadFailed);
  std::vector<std::string> traced = TraceTexts();
  EXPECT_EQ(std::count(traced.begin(), traced.end(), "spawn() returned <-1>"), 2);
  EXPECT_THAT(TraceTexts(), HasLine("ERROR - ERROR: Load batch <" + Bin("zmoload_snap.bat") +
                                    "> ended with <-1>, the data files are kept"));
}

TEST_F(StartTest, ABatchThatReportsAFailedLoadEndsTheRunWithTwo) {
  SetConfig(zmo::cfg::kDB, "Oracle");
  loader_test::SpawnResult() = 1;
  EXPECT_EQ(Run(kSnap), kLoaderExitLoadFailed);
  EXPECT_THAT(TraceTexts(), HasLine("ERROR - ERROR: Load batch <" + Bin("zmoload_snap.bat") +
                                    "> ended with <1>, the data files are kept"));
  ResetRun();
  SetConfig(zmo::cfg::kDB, "Oracle");
  loader_test::SpawnResult() = 0;
  EXPECT_EQ(Run(kSnap), kLoaderExitOk);
}

// True when another holder has an exclusive lock on path: a lock of our
// own (a new open of the file) cannot be had at once.
bool LockedElsewhere(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
  close(fd);
  return locked;
}

std::vector<std::string>& LocksSeen() {
  static std::vector<std::string> seen;
  return seen;
}

// Records, at each start, which batch files are locked then.
class RecordLocksEnv : public loader_test::RecordSpawnEnv {
 public:
  std::intptr_t Spawn(int mode, const char* path, const char* const* argv) override {
    const std::string bin = std::filesystem::path(path).parent_path().string();
    for (const char* bat : {"zmoload_stati.bat", "zmoload2_stati.bat"}) {
      if (LockedElsewhere(bin + "/" + bat)) LocksSeen().push_back(bat);
    }
    return RecordSpawnEnv::Spawn(mode, path, argv);
  }
};

// The Corva command window runs the second batch on its own: while a run
// writes its files, and until it starts its first batch, it holds the lock
// of the second batch too, so that a second batch still running (its first
// batch killed) is waited for.
TEST_F(StartTest, ACorvaRunHoldsTheLocksOfBothItsBatches) {
  SetConfig(zmo::cfg::kDB, "Corva");
  RecordLocksEnv record_locks;
  zmo::SetEnv(&record_locks);
  LocksSeen().clear();
  ASSERT_EQ(Run(kStati), 0);
  ASSERT_EQ(SpawnCalls().size(), 2u);
  // At the start message both are held; at the batch start the run has let
  // go of them for the batches to take.
  EXPECT_EQ(LocksSeen(), (std::vector<std::string>{"zmoload_stati.bat", "zmoload2_stati.bat"}));
}

}  // namespace
