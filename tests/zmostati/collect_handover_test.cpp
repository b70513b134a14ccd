// The hand-over at the end of a run: leftovers of an unloaded hand-over
// file, a hand-over that fails and is made good by the next run, and the
// special run that hands nothing over.

#include <string>
#include <vector>

#include "collect_test_env.h"
#include "zmo_test/matchers.h"
#include "zmostati/entry.h"

using namespace zmo::stati;

namespace {

using ::testing::Not;
using zmo_test::HasText;

class CollectHandOver : public CollectWorld {
 protected:
  void SetUp() override {
    CollectWorld::SetUp();
    WriteServers({kT46});
  }
  std::string Archive() const { return bin_ + "ArchiveData/stati_m_202403051300.dat"; }
  std::vector<std::string> LoaderSeesHandOver() const {
    auto loader = Loader({});
    loader.push_back("handover file present");
    return loader;
  }
};

TEST_F(CollectHandOver, EmptyLeftoverIsDeleted) {
  ASSERT_EQ(zmo::WriteFileAtomic(HandOverFile(), ""), 0);
  ASSERT_EQ(Collect(), 0);
  EXPECT_EQ(CountDestination(Lines(HandOverFile()), "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(Read(Archive()), "<none>");
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("about to rename file\n"
                             "file zmostati.dat exists and is zero bytes in length\n"
                             "trying to delete zmostati.dat\n"));
  EXPECT_EQ(Children().back(), LoaderSeesHandOver());
}

TEST_F(CollectHandOver, LeftoverWithDataIsLoadedAndTheRecordsWait) {
  ASSERT_EQ(zmo::WriteFileAtomic(HandOverFile(), "unloaded\r\n"), 0);
  ASSERT_EQ(Collect(), 0);
  // The unloaded file is not archived unloaded: the loader starts for it,
  // and this run's records wait in the collecting file.
  EXPECT_EQ(Read(Archive()), "<none>");
  EXPECT_EQ(Read(HandOverFile()), "unloaded\r\n");
  EXPECT_EQ(CountDestination(Lines(CollectingFile()), "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_THAT(env_.Trace(), HasText("file zmostati.dat exists and contains data\n"
                                    "zmostati.dat waits for the loader; the records of this run "
                                    "stay in <" +
                                    CollectingFile() + ">\n"));
  auto loader = Loader({});
  loader.push_back("handover file present");
  loader.push_back("collecting file present");
  EXPECT_EQ(Children().back(), loader);
  EXPECT_EQ(Read(CollectingFile() + ".mark"), "<none>") << "the run ended in order";
}

// The records of a run wait in the collecting file while an unloaded file
// holds the hand-over name. The same interval collected again (a second
// -nr while the load keeps failing, or after the loader took the waiting
// file) reads no second copy of them; the next hand-over takes the one copy
// along.
TEST_F(CollectHandOver, WaitingRecordsAreNotCollectedAgainAndGoWithTheNextHandOver) {
  ASSERT_EQ(zmo::WriteFileAtomic(HandOverFile(), "unloaded\r\n"), 0);
  EXPECT_EQ(Collect(), 0) << "the interval was collected completely";
  const auto first = Lines(CollectingFile());
  EXPECT_EQ(CountDestination(first, "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(Intervals(first, "sapt46_T46_00").size(), 2u);
  const std::string waiting =
      "the records of host <sapt46.example.net> for this interval wait for the loader already, "
      "not read again\n";
  EXPECT_THAT(env_.Trace(), Not(HasText(waiting)));

  // The load failed again: the same interval once more.
  EXPECT_EQ(Collect(), 0);
  EXPECT_EQ(Lines(CollectingFile()), first);
  EXPECT_THAT(env_.Trace(), HasText(waiting));
  EXPECT_EQ(Read(HandOverFile()), "unloaded\r\n");

  // The loader took the file it was started for; the same interval again.
  ASSERT_EQ(std::remove(HandOverFile().c_str()), 0);
  ASSERT_EQ(Collect(), 0);
  EXPECT_EQ(Lines(HandOverFile()), first);
  EXPECT_EQ(Read(CollectingFile()), "<none>");
  EXPECT_EQ(Read(Archive()), "<none>");
  EXPECT_EQ(Children().back(), LoaderSeesHandOver());
  // Every server counts as read each time.
  for (const std::string& line : Lines(AvailFile())) EXPECT_EQ(line.back(), '1') << line;
}

TEST_F(CollectHandOver, FailedHandOverCountsAsCollectedAndStartsNoLoader) {
  // A link to nowhere under the hand-over name: no file to wait for, yet
  // the rename must not replace it.
  ASSERT_EQ(symlink((bin_ + "nowhere").c_str(), HandOverFile().c_str()), 0);
  EXPECT_EQ(Collect(), 0) << "the interval was collected completely";
  EXPECT_THAT(env_.Trace(), HasText("rename of <" + CollectingFile() + "> to <" + HandOverFile() +
                                    "> failed \n"));
  EXPECT_THAT(env_.Trace(), HasText("hand-over failed: the records stay in <" + CollectingFile() +
                                    "> for the next run\n"));
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  EXPECT_EQ(Children(), expected) << "no loader start";
  EXPECT_EQ(CountDestination(Lines(CollectingFile()), "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(Read(CollectingFile() + ".mark"), "<none>");
}

TEST_F(CollectHandOver, ArchiveOfTheSameMinuteIsNeverOverwritten) {
  ASSERT_EQ(zmo::WriteFileAtomic(Archive(), "archived earlier\r\n"), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(HandOverFile(), "unloaded\r\n"), 0);
  EXPECT_EQ(Collect(), 0);
  EXPECT_EQ(Read(Archive()), "archived earlier\r\n");
  EXPECT_EQ(Read(HandOverFile()), "unloaded\r\n");
  EXPECT_EQ(CountDestination(Lines(CollectingFile()), "sapt46_T46_00"), RecordsOf("T46"));
}

TEST_F(CollectHandOver, SpecialRunWritesItsOutputFileAndStartsNoLoader) {
  const std::string out = env_.Dir() + "special.dat";
  std::vector<std::string> args{
      "zmostati", "-np", "-if",    ServerFile(), "-of",      out,       "-st", "120001",  "-sd",
      "20240303", "-et", "120000", "-ed",        "20240305", "-bindir", bin_,  "-dbtype", "ORACLE"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  statiRunOnce(static_cast<int>(args.size()), argv.data());

  EXPECT_EQ(CountDestination(Lines(out), "sapt46_T46_00"), RecordsOf("T46"));
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  EXPECT_EQ(Children(), expected);
  EXPECT_EQ(Read(HandOverFile()), "<none>");
  EXPECT_EQ(Read(CollectingFile()), "<none>");
  EXPECT_EQ(Lines(AvailFile()).size(), 1u);
  EXPECT_THAT(env_.Trace(),
              HasText("special run: records written to <" + out + ">, no loader started\n"));
}

TEST_F(CollectHandOver, RegistryRunCollectsTheDecidedInterval) {
  // One schedule time at midnight: at 13:00 the day before today is due.
  StatiTestEnv::Set("StatiSchedule", "00:00");
  std::vector<std::string> args{"zmostati", "-nr"};
  std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
  statiRunOnce(2, argv.data());

  EXPECT_EQ(CountDestination(Lines(HandOverFile()), "sapt46_T46_00"), RecordsOf("T46"));
  const auto children = Children();
  ASSERT_EQ(children.size(), 7u);
  EXPECT_EQ(children[1], Message("Batch run start date = 20240304"));
  EXPECT_EQ(children[2], Message("Batch run start time = 000001"));
  EXPECT_EQ(children[3], Message("Batch run end date = 20240305"));
  EXPECT_EQ(children[4], Message("Batch run end time = 000000"));
  EXPECT_EQ(children[6],
            (std::vector<std::string>{"zmoloader", "-A", "-P", "STATI", "-S", "20240304", "-E",
                                      "20240305", "-H", "10.9.8.7", "-I", std::to_string(getpid()),
                                      "handover file present"}));
  EXPECT_EQ(StatiTestEnv::Get("StatiLastEndDate"), "<missing>") << "-nr writes nothing back";
}

// A -nr run whose loader reports a failed load (its file kept for the next
// load) says so in its exit code; one whose loader did its work ends with 0.
TEST_F(CollectHandOver, RegistryRunEndsWithTheFailureOfItsLoad) {
  StatiTestEnv::Set("StatiSchedule", "00:00");
  std::vector<std::string> args{"zmostati", "-nr"};
  std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
  for (int loader_exit : {2, 99, 0}) {
    SCOPED_TRACE(loader_exit);
    std::remove(HandOverFile().c_str());
    WriteRecorder("zmoloader", "exit " + std::to_string(loader_exit) + "\n");
    const int want = loader_exit == 0 ? 0 : kStatiRunLoadFailed;
    EXPECT_EQ(statiRunOnce(2, argv.data()), want);
    const auto failed_load = HasText("zmoloader ended with <" + std::to_string(loader_exit) +
                                     ">: the load failed, its file is kept for the next load\n");
    EXPECT_THAT(env_.Trace(), loader_exit != 0 ? failed_load : Not(failed_load));
  }
}

}  // namespace
