// The hand-over at the start of a cycle: the previous cycle's collecting
// files become the loader's files, zmoloader is started with its exact
// arguments, unloaded leftovers are archived or deleted, and a hand-over
// that cannot complete leaves every file of the cycle where it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "snap_world.h"

namespace {

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
  EXPECT_NE(trace.find("about to execute command <" + bin_ + "zmoloader>\n"
                       "local hostname=collector\n"
                       "myIPaddress() returned IP address <10.9.8.7>\n"
                       "snapLoad() IP address returned <10.9.8.7>\n"
                       "snapLoad() PID returned <" + std::to_string(getpid()) + ">\n"
                       "spawn(" + bin_ + "zmoloader) returned <0>.\n"),
            std::string::npos)
      << trace;
}

TEST_F(SnapHandOver, LeftoverWithDataIsArchivedAndAnEmptyOneDeleted) {
  ASSERT_EQ(RunCycle(), 0);
  // What a loader that did not run left behind.
  ASSERT_EQ(zmo::WriteFileAtomic(HandOver("cpu"), "unloaded cpu\r\n"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(HandOver("avai"), ""), 0);
  const std::vector<std::string> first = CollectingData();
  ASSERT_EQ(RunCycle(), 0);  // still 7 December 2006, 15:30

  EXPECT_EQ(Files(bin_ + "ArchiveData"), std::vector<std::string>{"cpu_m_200612071530.dat"});
  EXPECT_EQ(SnapTestEnv::Read(bin_ + "ArchiveData/cpu_m_200612071530.dat"), "unloaded cpu\r\n");
  EXPECT_EQ(HandOverData(), first);
  const std::string trace = env_.Trace();
  EXPECT_NE(trace.find("file <" + HandOver("avai") + "> exists and is zero bytes in length\n"
                       "trying to delete file <" + HandOver("avai") + ">\n"),
            std::string::npos);
  EXPECT_NE(trace.find("file <" + HandOver("cpu") + "> exits and contains data \n"
                       "trying to move file <" + HandOver("cpu") + "> to the ArchiveData "
                       "directory\n"),
            std::string::npos);
  EXPECT_EQ(Children().back().front(), "zmoloader");
}

TEST_F(SnapHandOver, ArchiveNamesCarryTheLocalTimeOfTheHandOver) {
  ASSERT_EQ(RunCycle(), 0);
  for (const char* k : kKinds) ASSERT_EQ(zmo::WriteFileAtomic(HandOver(k), "old\r\n"), 0);
  clock_->SetMillis(LocalMillis(2007, 1, 2, 3, 4));
  ASSERT_EQ(RunCycle(), 0);
  EXPECT_EQ(Files(bin_ + "ArchiveData"),
            (std::vector<std::string>{"avl_m_200701020304.dat", "cpu_m_200701020304.dat",
                                      "dsk_m_200701020304.dat", "lan_m_200701020304.dat"}));
}

TEST_F(SnapHandOver, FailedArchiveStartsNoLoaderAndKeepsTheCycle) {
  ASSERT_EQ(RunCycle(), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(HandOver("lan"), "unloaded lan\r\n"), 0);
  ASSERT_EQ(rmdir((bin_ + "ArchiveData").c_str()), 0);  // nowhere to archive to
  const std::vector<std::string> first = CollectingData();
  Later(10);
  ASSERT_EQ(RunCycle(), 0);

  EXPECT_EQ(Children().size(), 2u) << "two start messages, no loader";
  EXPECT_EQ(SnapTestEnv::Read(HandOver("lan")), "unloaded lan\r\n");
  for (const char* k : {"avai", "cpu", "dsk"}) EXPECT_EQ(SnapTestEnv::Read(HandOver(k)), "<none>");
  // The first cycle's records stay collecting, the second's behind them.
  const std::vector<std::string> now = CollectingData();
  for (size_t i = 0; i < now.size(); ++i) {
    EXPECT_EQ(now[i].compare(0, first[i].size(), first[i]), 0) << kKinds[i];
    EXPECT_GT(now[i].size(), first[i].size()) << kKinds[i];
  }
  EXPECT_TRUE(env_.TraceHas("rename of <" + HandOver("lan") + "> to <" + bin_ +
                            "ArchiveData/lan_m_200612071540.dat> failed \n"));
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
  EXPECT_TRUE(env_.TraceHas("rename of <" + Collecting("lan") + "> to <" + HandOver("lan") +
                            "> failed \n"));
}

TEST_F(SnapHandOver, FirstCycleOfAProcessHasNothingToHandOver) {
  EXPECT_EQ(snapLoad(), 1);
  EXPECT_TRUE(Children().empty());
  EXPECT_TRUE(env_.TraceHas("no collecting files of an earlier cycle to hand over\n"));
}

TEST_F(SnapHandOver, LoaderThatCannotBeStarted) {
  ASSERT_EQ(RunCycle(), 0);
  ASSERT_EQ(std::remove((bin_ + "zmoloader").c_str()), 0);
  EXPECT_EQ(snapLoad(), 1);
  // The files are the loader's now; the next hand-over archives them.
  for (const char* k : kKinds) EXPECT_NE(SnapTestEnv::Read(HandOver(k)), "<none>") << k;
  EXPECT_TRUE(env_.TraceHas("execCommand() returned unsuccessfully\n"));
}

TEST_F(SnapHandOver, WithoutAnIPv4AddressTheLoaderGetsLoopback) {
  zmo::Runtime().ipv4_address = [] { return std::string(); };
  ASSERT_EQ(RunCycle(), 0);
  ASSERT_EQ(snapLoad(), 0);
  const std::vector<std::string> loader = Children().back();
  ASSERT_GE(loader.size(), 7u);
  EXPECT_EQ(loader[5], "127.0.0.1");
}

}  // namespace
