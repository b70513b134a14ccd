// The special run: CheckSpecRun's table, the guard over program windows and
// the zmostati service, the exact argument vector and the list file the
// launcher writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_fixture.h"
#include "platform/window_titles.h"
#include "special_run_fakes.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/special_run.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using zmoconfig_test::DataTest;

// The fixture's clock stands at 2026-03-10 12:00:00 (TZ UTC).
class CheckSpecRunTest : public DataTest {};

TEST_F(CheckSpecRunTest, Table) {
  struct Case {
    const char* name;
    SpecRunFields f;
    size_t selected;
    int result;
    SpecRunBox box;
  };
  const Case cases[] = {
      {"Valid", {"20260301", "000000", "20260309", "235959"}, 1, 0, SpecRunBox::kNone},
      {"SameTimeSameDay", {"20260309", "120000", "20260309", "120000"}, 2, 0, SpecRunBox::kNone},
      {"BadStartDate",
       {"2026030", "000000", "20260309", "000000"},
       1,
       1408,
       SpecRunBox::kStartDate},
      {"StartTimeInTheFuture",
       {"20260310", "120001", "20260310", "120001"},
       1,
       1409,
       SpecRunBox::kStartTime},
      {"BadEndDate", {"20260301", "000000", "20260230", "000000"}, 1, 1410, SpecRunBox::kEndDate},
      {"EndBeforeStart",
       {"20031201", "120000", "20031130", "120000"},
       1,
       1441,
       SpecRunBox::kEndDate},
      {"BadEndTime", {"20260301", "000000", "20260302", "126000"}, 1, 1411, SpecRunBox::kEndTime},
      {"NoServers", {"20260301", "000000", "20260302", "000000"}, 0, 1442, SpecRunBox::kNone},
      {"StartAfterEndSameDay",
       {"20260309", "130000", "20260309", "120000"},
       1,
       1443,
       SpecRunBox::kEndTime},
      {"NoServersBeforeTimeOrder",
       {"20260309", "130000", "20260309", "120000"},
       0,
       1442,
       SpecRunBox::kNone},
  };
  for (const Case& c : cases) {
    SpecRunBox box = SpecRunBox::kStartDate;
    EXPECT_EQ(CheckSpecRun(c.f, c.selected, &box), c.result) << c.name;
    EXPECT_EQ(box, c.box) << c.name;
  }
}

class SpecialRunTest : public DataTest {
 protected:
  static std::string Record(const std::string& host, const std::string& sysnr) {
    return zmoconfig_test::SpecRunRecord(host, sysnr);
  }

  zmoconfig_test::FakeSpecRunServices services_;
  const SpecRunFields fields_{"20260301", "000000", "20260309", "235959"};
};

TEST_F(SpecialRunTest, GuardLooksForTitlesThatContainTheNames) {
  struct Case {
    const char* title;
    bool stati;
    bool load;
  };
  const Case cases[] = {
      {"/opt/zmo/zmostati", true, false},
      {"\"/opt/my zmo/zmostati\"", true, false},
      {"C:/zmo/zmostati.exe", true, false},
      {"/opt/zmo/zmoloader", false, true},
      // The loader's batch titles its window itself.
      {"Monitoring for Orvane Load/Aggregate zmostati data", true, false},
      {"Monitoring for Orvane Load/Aggregate zmosnap data", false, false},
      {"/opt/zmo/ZMOSTATI", false, false},  // case counts
      {"/opt/zmo/zmostat", false, false},
      {"/opt/zmo/zmoloa", false, false},
      {"viewer /var/log/trace_zmostati.log", true, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    services_.titles = {c.title};
    EXPECT_EQ(WindowTitleExists("zmostati"), c.stati) << c.title;
    EXPECT_EQ(WindowTitleExists("zmoload"), c.load) << c.title;
    EXPECT_EQ(SpecialRunBlocked(), c.stati || c.load) << c.title;
  }
  // Any window of the walk counts, not only the first.
  services_.titles = {"/opt/zmo/zmoconfig", "/opt/zmo/zmomsg", "/opt/zmo/zmoloader"};
  EXPECT_TRUE(SpecialRunBlocked());
  services_.titles.clear();
  EXPECT_FALSE(SpecialRunBlocked()) << "no window: nothing collects or loads";
}

TEST_F(SpecialRunTest, ArgumentVector) {
  gBinDir = "/opt/my zmo";
  EXPECT_THAT(
      SpecialRunArguments(fields_, false, false, "MSSQL"),
      ElementsAre("/opt/my zmo/zmostati", "-np", "-if", "/opt/my zmo/zmoSpecRunServList.dat", "-of",
                  "/opt/my zmo/zmostati.dat", "-st", "000000", "-sd", "20260301", "-et", "235959",
                  "-ed", "20260309", "-bindir", "/opt/my zmo", "-dbtype", "MSSQL"));
  const std::vector<std::string> both = SpecialRunArguments(fields_, true, true, "ORACLE");
  EXPECT_THAT(std::vector<std::string>(both.begin(), both.begin() + 5),
              ElementsAre("/opt/my zmo/zmostati", "-np", "-d", "-ld", "-if"));
  const std::vector<std::string> load = SpecialRunArguments(fields_, false, true, "ORACLE");
  EXPECT_EQ(load[2], "-ld");
}

TEST_F(SpecialRunTest, WritesTheSelectedRecordsOnceInFileOrderAndStarts) {
  const std::string first = Record("sap01.example.com", "00");
  const std::string second = Record("sap02.example.com", "00");
  const std::string third = Record("sap03.example.com", "01");
  WriteBin("zmoserver.dat", first + second + third);
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  zmo_test::PutConfigText(zmo::cfg::kDB, "Oracle");
  zmo_test::PutConfigText(zmo::cfg::kStatiDebug, "True");
  zmo_test::PutConfigText(zmo::cfg::kLoadDebug, "true");  // only "True" counts
  const std::vector<std::string> selected = {"sap03.example.com 01", "sap01.example.com 00",
                                             "sap03.example.com 01"};
  ASSERT_EQ(RunSpecialRun(selected, fields_), kSpecRunStarted);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoSpecRunServList.dat")), first + third);
  // Copies of server records, scrambled passwords with them: owner only.
  EXPECT_EQ(std::filesystem::status(BinFile("zmoSpecRunServList.dat")).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_EQ(services_.started.size(), 1u);
  EXPECT_EQ(services_.programs[0], BinFile("zmostati"));
  EXPECT_THAT(
      services_.started[0],
      ElementsAre(BinFile("zmostati"), "-np", "-d", "-if", BinFile("zmoSpecRunServList.dat"), "-of",
                  BinFile("zmostati.dat"), "-st", "000000", "-sd", "20260301", "-et", "235959",
                  "-ed", "20260309", "-bindir", BinDir(), "-dbtype", "ORACLE"));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SpecialRunTest, NoMatchingRecordStartsNothing) {
  WriteBin("zmoserver.dat", Record("sap01.example.com", "00"));
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  WriteBin("zmoSpecRunServList.dat", "from the last run");
  EXPECT_EQ(RunSpecialRun({"sap01.example.com 01"}, fields_), kSpecRunNoServers);
  EXPECT_THAT(ui_.messages, ElementsAre("KQZ7036E Error processing special run."));
  EXPECT_TRUE(services_.started.empty());
  EXPECT_EQ(RunSpecialRun({}, fields_), kSpecRunNoServers);
  // An empty server file alike.
  WriteBin("zmoserver.dat", "");
  EXPECT_EQ(RunSpecialRun({"sap01.example.com 00"}, fields_), kSpecRunNoServers);
  EXPECT_TRUE(services_.started.empty());
}

TEST_F(SpecialRunTest, AFailedStartIsReportedNotSubmitted) {
  WriteBin("zmoserver.dat", Record("sap01.example.com", "00"));
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  services_.start_error = ENOENT;
  EXPECT_EQ(RunSpecialRun({"sap01.example.com 00"}, fields_), kSpecRunNotStarted);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], testing::HasSubstr(BinFile("zmostati")));
  EXPECT_THAT(ui_.status, testing::Contains(1453));
}

TEST_F(SpecialRunTest, AListThatCannotBeWrittenStartsNothing) {
  WriteBin("zmoserver.dat", Record("sap01.example.com", "00"));
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  std::filesystem::create_directories(BinFile("zmoSpecRunServList.dat/x"));
  EXPECT_EQ(RunSpecialRun({"sap01.example.com 00"}, fields_), kSpecRunNotStarted);
  EXPECT_TRUE(services_.started.empty());
}

TEST_F(SpecialRunTest, TheListComesFromTheFileTheOfferedListCameFrom) {
  // A network file chosen on the server page is the page's source.
  WriteBin("zmoserver.dat", Record("local.example.com", "00"));
  WriteBin("network.dat", Record("remote.example.com", "00"));
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  gServerFile = BinFile("network.dat");
  ServerLists lists;
  std::vector<ServerRow> rows;
  ASSERT_EQ(LoadServerFileCopy("frmSpecRun", {}, &lists, &rows), kServerLoadOk);
  EXPECT_THAT(lists.specRunServers, ElementsAre("remote.example.com 00"));
  ASSERT_EQ(RunSpecialRun(lists.specRunServers, fields_), kSpecRunStarted);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoSpecRunServList.dat")),
            Record("remote.example.com", "00"));
  EXPECT_EQ(gServerCount, 0) << "the server page's table is not touched";
}

class MachineServicesTest : public DataTest {};

TEST_F(MachineServicesTest, WindowsOfThisDesktop) {
  zmo_test::ScopedEnv windows("ZMO_WINDOWS", dir_ / "windows");
  std::filesystem::create_directories(dir_ / "windows");
  EXPECT_FALSE(WindowTitleExists("zmostati"));
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), BinFile("zmostati")), 0);
  EXPECT_TRUE(WindowTitleExists("zmostati"));
  EXPECT_FALSE(WindowTitleExists("zmoload"));
  ASSERT_EQ(zmo::SetWindowTitle(getpid(), "Monitoring for Orvane Load/Aggregate zmostati data"), 0);
  EXPECT_TRUE(WindowTitleExists("zmostati"));
  ASSERT_EQ(zmo::RemoveWindow(getpid()), 0);
  EXPECT_FALSE(WindowTitleExists("zmostati"));
  // A program that is not there cannot be started.
  EXPECT_EQ(specRunServices().StartProgram(BinFile("zmostati"), {BinFile("zmostati")}), ENOENT);
}

}  // namespace
