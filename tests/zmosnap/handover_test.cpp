// The hand-over at the start of a cycle: the previous cycle's collecting
// files become the loader's files, zmoloader is started with its exact
// arguments, an empty leftover is deleted, an unloaded one is loaded while
// the collected records wait, and a hand-over that cannot complete leaves
// every file of the cycle where it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "snap_world.h"
#include "zmo_test/matchers.h"

using namespace zmo::snap;

namespace {

using zmo_test::HasText;

constexpr const char* kKinds[] = {"avai", "cpu", "dsk", "lan"};

class SnapHandOver : public SnapWorld {
 protected:
  void SetUp() override {
    SnapWorld::SetUp();
    WriteServers({kT46});
  }
  // The collecting files' bytes, by kind.
  std::vector<std::string> CollectingData() const {
    std::vector<std::string> data;
    for (const char* k : kKinds) data.push_back(SnapTestEnv::Read(Collecting(k)));
    return data;
  }
  std::vector<std::string> HandOverData() const {
    std::vector<std::string> data;
    for (const char* k : kKinds) data.push_back(SnapTestEnv::Read(HandOver(k)));
    return data;
  }
  void Later(int minutes) { clock_->SetMillis(clock_->NowMillis() + minutes * 60000LL); }
};

TEST_F(SnapHandOver, SecondCycleHandsTheFirstCyclesFilesToTheLoader) {
  ASSERT_EQ(RunCycle(), 0);
  const std::vector<std::string> first = CollectingData();
  for (const std::string& d : first) ASSERT_NE(d, "<none>");
  Later(10);
  ASSERT_EQ(RunCycle(), 0);

  // The loader ran after the start message and before the servers, with
  // the four files of the first cycle in place.
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{
                            StartMessage(), StartMessage(),
                            Loader({"found zmoavai.dat", "found zmosnap.cpu", "found zmosnap.dsk",
                                    "found zmosnap.lan"})}));
  EXPECT_EQ(HandOverData(), first);
  // The second cycle collected anew.
  EXPECT_EQ(Lines(Collecting("avai")).size(), 1u);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("about to execute command <" + bin_ +
                             "zmoloader>\n"
                             "local hostname=collector\n"
                             "myIPaddress() returned IP address <10.9.8.7>\n"
                             "snapLoad() IP address returned <10.9.8.7>\n"
                             "snapLoad() PID returned <" +
                             std::to_string(getpid()) +
                             ">\n"
                             "spawn(" +
                             bin_ + "zmoloader) returned <0>.\n"));
}

TEST_F(SnapHandOver, UnloadedLeftoverIsLoadedAndAnEmptyOneDeleted) {
  ASSERT_EQ(RunCycle(), 0);
  // What a loader that did not run left behind.
  ASSERT_EQ(zmo::WriteFileAtomic(HandOver("cpu"), "unloaded cpu\r\n"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(HandOver("avai"), ""), 0);
  const std::vector<std::string> first = CollectingData();
  ASSERT_EQ(RunCycle(), 0);  // still 7 December 2006, 15:30

  // Nothing is archived unloaded; the loader starts for the waiting file.
  EXPECT_EQ(Files(bin_ + "ArchiveData"), std::vector<std::string>{});
  EXPECT_EQ(SnapTestEnv::Read(HandOver("cpu")), "unloaded cpu\r\n");
  for (const char* k : {"avai", "dsk", "lan"}) EXPECT_EQ(SnapTestEnv::Read(HandOver(k)), "<none>");
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("file <" + HandOver("avai") +
                             "> exists and is zero bytes in length\n"
                             "trying to delete file <" +
                             HandOver("avai") + ">\n"));
  EXPECT_THAT(trace, HasText("file <" + HandOver("cpu") +
                             "> exits and contains data \n"
                             "file <" +
                             HandOver("cpu") +
                             "> waits for the loader; the records stay "
                             "in the collecting files\n"));
  EXPECT_EQ(Children().back(), Loader({"found zmosnap.cpu"}));
  // The first cycle's records wait in the collecting files, the second's
  // behind them.
  const std::vector<std::string> now = CollectingData();
  for (size_t i = 0; i < now.size(); ++i) {
    EXPECT_EQ(now[i].compare(0, first[i].size(), first[i]), 0) << kKinds[i];
    EXPECT_GT(now[i].size(), first[i].size()) << kKinds[i];
  }
}

TEST_F(SnapHandOver, WaitingRecordsGoWithTheNextHandOver) {
  ASSERT_EQ(RunCycle(), 0);
  for (const char* k : kKinds) ASSERT_EQ(zmo::WriteFileAtomic(HandOver(k), "old\r\n"), 0);
  Later(10);
  ASSERT_EQ(RunCycle(), 0);
  const std::vector<std::string> waiting = CollectingData();
  // The loader took its files; the next cycle hands over both cycles'.
  for (const char* k : kKinds) ASSERT_EQ(std::remove(HandOver(k).c_str()), 0);
  Later(10);
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(HandOverData(), waiting);
  EXPECT_EQ(Files(bin_ + "ArchiveData"), std::vector<std::string>{});
}

TEST_F(SnapHandOver, ACycleCutShortIsCutBackAtTheNextStart) {
  ASSERT_EQ(RunCycle(), 0);
  const std::vector<std::string> first = CollectingData();
  // A killed cycle: its mark with the lengths before it, and what it wrote.
  std::string mark = "state collecting\n";
  for (const std::string& d : first) mark += "length " + std::to_string(d.size()) + "\n";
  ASSERT_EQ(zmo::WriteFileAtomic(snapRunMarkPath(), mark), 0);
  for (const char* k : kKinds) {
    ASSERT_EQ(zmo::WriteFileAtomic(Collecting(k), SnapTestEnv::Read(Collecting(k)) + "torn rec"),
              0);
  }
  Later(10);
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(HandOverData(), first) << "the torn lines are gone before the hand-over";
  EXPECT_THAT(env_.Trace(),
              HasText("records of a cycle that did not end removed from the collecting "
                      "files\n"));
  EXPECT_FALSE(zmo::FileExists(snapRunMarkPath().c_str()));
}

TEST_F(SnapHandOver, AHandOverCutShortIsCompletedAtTheNextStart) {
  ASSERT_EQ(RunCycle(), 0);
  const std::vector<std::string> first = CollectingData();
  // Killed after two of the four renames.
  ASSERT_EQ(zmo::WriteFileAtomic(snapRunMarkPath(), "state handing-over\n"), 0);
  for (const char* k : {"avai", "cpu"}) {
    ASSERT_EQ(zmo::RenameNoReplace(Collecting(k).c_str(), HandOver(k).c_str()), 0);
  }
  ASSERT_EQ(snapSettleEarlierCycle(), 0);
  EXPECT_EQ(HandOverData(), first);
  for (const char* k : kKinds) EXPECT_FALSE(zmo::FileExists(Collecting(k).c_str())) << k;
  EXPECT_THAT(env_.Trace(), HasText("hand-over of a cycle that was cut short completed\n"));
}

TEST_F(SnapHandOver, PartialRenameIsTakenBack) {
  ASSERT_EQ(RunCycle(), 0);
  // The LAN collecting file is gone, so its rename fails after the others.
  ASSERT_EQ(std::remove(Collecting("lan").c_str()), 0);
  const std::vector<std::string> first = CollectingData();
  Later(10);
  ASSERT_EQ(snapLoad(), 29);
  EXPECT_EQ(CollectingData(), first) << "every file renamed back";
  for (const char* k : kKinds) EXPECT_EQ(SnapTestEnv::Read(HandOver(k)), "<none>") << k;
  EXPECT_EQ(Children(), (std::vector<std::vector<std::string>>{StartMessage()}));
  EXPECT_THAT(env_.Trace(), HasText("rename of <" + Collecting("lan") + "> to <" + HandOver("lan") +
                                    "> failed \n"));
}

TEST_F(SnapHandOver, FirstCycleOfAProcessHasNothingToHandOver) {
  EXPECT_EQ(snapLoad(), 1);
  EXPECT_TRUE(Children().empty());
  EXPECT_THAT(env_.Trace(), HasText("no collecting files of an earlier cycle to hand over\n"));
}

TEST_F(SnapHandOver, LoaderThatCannotBeStarted) {
  ASSERT_EQ(RunCycle(), 0);
  ASSERT_EQ(std::remove((bin_ + "zmoloader").c_str()), 0);
  EXPECT_EQ(snapLoad(), 1);
  // The files are the loader's now; the next hand-over archives them.
  for (const char* k : kKinds) EXPECT_NE(SnapTestEnv::Read(HandOver(k)), "<none>") << k;
  EXPECT_THAT(env_.Trace(), HasText("execCommand() returned unsuccessfully\n"));
}

TEST_F(SnapHandOver, WithoutAnIPv4AddressTheLoaderGetsLoopback) {
  zmo_test::UseHost("collector", "");
  ASSERT_EQ(RunCycle(), 0);
  ASSERT_EQ(snapLoad(), 0);
  const std::vector<std::string> loader = Children().back();
  ASSERT_GE(loader.size(), 7u);
  EXPECT_EQ(loader[5], "127.0.0.1");
}

}  // namespace
