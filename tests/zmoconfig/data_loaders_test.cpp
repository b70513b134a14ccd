// The loaders of the configurator's data files: group tables, exclusion
// lists, the server file with its lists and failures, transaction codes,
// data-source values and WaitSeconds.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/data_files.h"
#include "data_fixture.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using zmoconfig_test::DataTest;

std::string AppGroups(const std::vector<std::pair<std::string, std::string>>& records) {
  std::string data;
  for (const auto& [name, level] : records) data += EncodeAppGroupRecord(name, level);
  return data;
}

ServerRow Server(const std::string& host, const std::string& sysnr) {
  return {"", host, "USER", "PW", "PRD", "100", sysnr, "000000", "240000", "E"};
}

class GroupLoaderTest : public DataTest {};

TEST_F(GroupLoaderTest, RepeatedGroupNameIsHeldOnceAndNotCounted) {
  WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "0500"},
                                         {"Finance", "1000"},
                                         {"Sales", "2000"},
                                         {"", "2500"},
                                         {"Logistics", "3000"},
                                         {"Finance", "4000"}}));
  LoadAppGroups();
  ASSERT_EQ(gAppGroupCount, 3);
  ASSERT_EQ(gAppGroups.size(), 4u);
  EXPECT_EQ(gAppGroups[0], GroupRow{});
  EXPECT_EQ(gAppGroups[1], (GroupRow{"", "Sales", "0500"}));
  EXPECT_EQ(gAppGroups[2], (GroupRow{"", "Finance", "1000"}));
  EXPECT_EQ(gAppGroups[3], (GroupRow{"", "Logistics", "3000"}));
}

TEST_F(GroupLoaderTest, MissingFilesEmptyBothTables) {
  WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "0500"}}));
  WriteBin("zmoTransGroup.dat", EncodeTransGroupRecord("Sales", "VA01"));
  LoadAppGroups();
  LoadTransGroups();
  ASSERT_EQ(gAppGroupCount, 1);
  ASSERT_EQ(gTransGroupCount, 1);

  std::filesystem::remove(BinFile("zmoAppGroup.dat"));
  std::filesystem::remove(BinFile("zmoTransGroup.dat"));
  LoadAppGroups();
  LoadTransGroups();
  EXPECT_EQ(gAppGroupCount, 0);
  EXPECT_EQ(gAppGroups.size(), 1u);
  EXPECT_EQ(gTransGroupCount, 0);
  EXPECT_EQ(gTransGroups.size(), 1u);
}

TEST_F(GroupLoaderTest, MembershipsTrimmedUnderTheHourglass) {
  WriteBin("zmoTransGroup.dat",
           EncodeTransGroupRecord("  Sales", " VA01") + EncodeTransGroupRecord("Sales", "VA02"));
  LoadTransGroups();
  ASSERT_EQ(gTransGroupCount, 2);
  EXPECT_EQ(gTransGroups[1], (GroupRow{"", "Sales", "VA01"}));
  EXPECT_EQ(gTransGroups[2], (GroupRow{"", "Sales", "VA02"}));
  EXPECT_THAT(ui_.hourglass, ElementsAre(true, false));
}

TEST_F(GroupLoaderTest, CountRoundsAPartialLastRecord) {
  // 55 + 30 bytes: 1.55 records round to 2; the short record keeps its name.
  WriteBin("zmoTransGroup.dat", EncodeTransGroupRecord("Sales", "VA01") +
                                    EncodeTransGroupRecord("Tail", "").substr(0, 30));
  LoadTransGroups();
  ASSERT_EQ(gTransGroupCount, 2);
  EXPECT_EQ(gTransGroups[2], (GroupRow{"", "Tail", ""}));
  // 55 + 27 bytes: 1.49 records round to 1.
  WriteBin("zmoTransGroup.dat", EncodeTransGroupRecord("Sales", "VA01") +
                                    EncodeTransGroupRecord("Tail", "").substr(0, 27));
  LoadTransGroups();
  EXPECT_EQ(gTransGroupCount, 1);
}

TEST_F(GroupLoaderTest, MoreRecordsThanATableHoldsAreRefusedWhole) {
  WriteBin("zmoTransGroup.dat", std::string(55 * (kMaxTableRows + 1), 'x'));
  LoadTransGroups();
  EXPECT_EQ(gTransGroupCount, 0);
  EXPECT_EQ(gTransGroups.size(), 1u);
  EXPECT_THAT(ui_.status, ElementsAre(1453));

  WriteBin("zmoTransGroup.dat", std::string(55 * kMaxTableRows, 'x'));
  LoadTransGroups();
  EXPECT_EQ(gTransGroupCount, kMaxTableRows);
}

TEST_F(GroupLoaderTest, WithoutBinDirNothingIsReadAtTheRoot) {
  WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "0500"}}));
  gBinDir.clear();
  LoadAppGroups();
  LoadTransGroups();
  EXPECT_EQ(gAppGroupCount, 0);
  EXPECT_EQ(gTransGroupCount, 0);
  std::vector<std::string> entries;
  LoadIDsToIgnore(&entries);
  EXPECT_TRUE(entries.empty());
}

class IgnoreLoaderTest : public DataTest {};

TEST_F(IgnoreLoaderTest, LastLineWithoutItsLineEndCounts) {
  struct Case {
    zmo::IgnoreList list;
    std::string data;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {zmo::IgnoreList::kIds, "DDIC        \r\nSAP*        ", {"DDIC", "SAP*"}},
      // 7 of 14 bytes: half a record rounds to the even count 2.
      {zmo::IgnoreList::kIds, "DDIC        \r\nSAP*   ", {"DDIC", "SAP*"}},
      // Read by line: a last line counts however short it is.
      {zmo::IgnoreList::kIds, "DDIC        \r\nSAP*", {"DDIC", "SAP*"}},
      // Written by hand, one entry a line: each an entry, not one entry
      // holding a line break.
      {zmo::IgnoreList::kIds, "user1\r\nUSER2\nUSER3", {"USER1", "USER2", "USER3"}},
      {zmo::IgnoreList::kProgs,
       std::string("SAPMV45A") + std::string(22, ' ') + "\r\nRSPARAM" + std::string(23, ' '),
       {"SAPMV45A", "RSPARAM"}},
      {zmo::IgnoreList::kTrans, "  VA01              \r\n", {"VA01"}},
      {zmo::IgnoreList::kTrans, "", {}},
  };
  for (const Case& c : cases) {
    WriteBin(zmo::ignoreListLayout(c.list).file, c.data);
    std::vector<std::string> entries;
    LoadIgnoreList(c.list, &entries);
    EXPECT_EQ(entries, c.entries) << zmo::ignoreListLayout(c.list).file;
  }
}

TEST_F(IgnoreLoaderTest, AppendsToTheListAndAMissingFileAddsNothing) {
  WriteBin("zmoTransToIgnore.dat", EncodeIgnoreLine(zmo::IgnoreList::kTrans, "SE38"));
  std::vector<std::string> entries = {"kept"};
  LoadTransToIgnore(&entries);
  LoadProgsToIgnore(&entries);
  LoadIDsToIgnore(&entries);
  EXPECT_THAT(entries, ElementsAre("kept", "SE38"));
}

TEST(IgnoreListPageTest, OwnPageByExactFormName) {
  struct Case {
    zmo::IgnoreList list;
    const char* form;
    bool own;
  };
  const Case cases[] = {
      {zmo::IgnoreList::kIds, "frmIDsToIgnore", true},
      {zmo::IgnoreList::kIds, "frmCurrentConfig", false},
      {zmo::IgnoreList::kIds, "frmidstoignore", false},
      {zmo::IgnoreList::kIds, "frmProgsToIgnore", false},
      {zmo::IgnoreList::kProgs, "frmProgsToIgnore", true},
      {zmo::IgnoreList::kTrans, "frmTransToIgnore", true},
      {zmo::IgnoreList::kTrans, "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IgnoreListOwnPage(c.list, c.form), c.own) << c.form;
  }
}

class ServerLoaderTest : public DataTest {
 protected:
  ServerLoaderTest() { gServerFile = BinFile("zmoserver.dat"); }
  void WriteServers(const std::vector<ServerRow>& rows) {
    std::string data;
    for (const ServerRow& row : rows) data += EncodeServerRecord(row);
    WriteBin("zmoserver.dat", data);
  }
};

TEST_F(ServerLoaderTest, EmptyFileGivesEmptyListsAndAnEnabledList) {
  WriteBin("zmoserver.dat", "");
  ServerLists lists;
  EXPECT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  EXPECT_EQ(gServerCount, 0);
  EXPECT_EQ(gServers.size(), 1u);
  EXPECT_TRUE(lists.lstServer.empty());
  EXPECT_TRUE(lists.lstServerEnabled);
  EXPECT_THAT(ui_.status, ElementsAre(1449));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ServerLoaderTest, ServersPageGetsHostAndInstance) {
  WriteServers({Server("sapr3a", "00"), Server("sapr3b", "12")});
  ServerLists lists;
  lists.lstServer = {"stays"};
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  EXPECT_THAT(lists.lstServer, ElementsAre("stays", "sapr3a 00", "sapr3b 12"));
  EXPECT_TRUE(lists.currentServers.empty());
  EXPECT_TRUE(lists.specRunServers.empty());
  EXPECT_EQ(gServerCount, 2);
  EXPECT_EQ(gServers[2][kSrvHost], "sapr3b" + std::string(94, ' '));
  EXPECT_EQ(gServers[2][kSrvWindowEnd], "240000");
}

TEST_F(ServerLoaderTest, SpecialRunLeavesOutTheServersAlreadySelected) {
  WriteServers({Server("sapr3a", "00"), Server("sapr3b", "12"), Server("sapr3c", "01")});
  ServerLists lists;
  lists.specRunServers = {"cleared"};
  ASSERT_EQ(LoadServerFile("frmSpecRun", {"sapr3b 12", "sapr3c 1"}, &lists), kServerLoadOk);
  EXPECT_THAT(lists.specRunServers, ElementsAre("sapr3a 00", "sapr3c 01"));
  EXPECT_THAT(lists.currentServers, ElementsAre("sapr3a", "sapr3b", "sapr3c"));
  EXPECT_TRUE(lists.lstServer.empty());
}

TEST_F(ServerLoaderTest, PathFromStatiInputWhenNoNetworkFileIsChosen) {
  WriteServers({Server("sapr3a", "00")});
  gServerFile.clear();
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, BinFile("zmoserver.dat"));
  EXPECT_EQ(ServerFilePath(), BinFile("zmoserver.dat"));
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmCurrentConfig", {}, &lists), kServerLoadOk);
  EXPECT_THAT(lists.currentServers, ElementsAre("sapr3a"));
}

TEST_F(ServerLoaderTest, MissingFileIsAnEmptyListAndNoStaleTable) {
  WriteServers({Server("sapr3a", "00")});
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  ASSERT_EQ(gServerCount, 1);

  std::filesystem::remove(BinFile("zmoserver.dat"));
  ServerLists again;
  EXPECT_EQ(LoadServerFile("frmServers", {}, &again), kServerLoadOk);
  EXPECT_EQ(gServerCount, 0);
  EXPECT_EQ(gServers.size(), 1u);
  EXPECT_TRUE(gServerFileLoaded);
  EXPECT_TRUE(again.lstServerEnabled);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ServerLoaderTest, UnreadableFileIsShownAndBlocksTheSaveUntilALoadSucceeds) {
  WriteServers({Server("sapr3a", "00")});
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);

  // A directory in the file's place opens but cannot be read.
  gServerFile = BinDir();
  ServerLists failed;
  EXPECT_EQ(LoadServerFile("frmServers", {}, &failed), kServerLoadFailed);
  EXPECT_EQ(gServerCount, 0);
  EXPECT_EQ(gServers.size(), 1u);
  EXPECT_FALSE(gServerFileLoaded);
  EXPECT_FALSE(failed.lstServerEnabled);
  EXPECT_THAT(ui_.status, ElementsAre(1449, 1449, 1453));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], HasSubstr("KQZ7001E"));
  EXPECT_THAT(ui_.messages[0], HasSubstr(BinDir()));

  gServerFile = BinFile("zmoserver.dat");
  ServerLists good;
  EXPECT_EQ(LoadServerFile("frmServers", {}, &good), kServerLoadOk);
  EXPECT_TRUE(gServerFileLoaded);
  EXPECT_EQ(gServerCount, 1);
}

TEST_F(ServerLoaderTest, CopyForAShowingPageLeavesTheEditedTableAlone) {
  WriteServers({Server("sapr3a", "00")});
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadOk);
  gServers.push_back(Server("unsaved", "01"));  // an edit of the server page
  gServerCount = 2;

  WriteServers({Server("sapr3a", "00"), Server("sapr3b", "12")});
  ServerLists copy;
  std::vector<ServerRow> rows;
  ASSERT_EQ(LoadServerFileCopy("frmSpecRun", {"sapr3a 00"}, &copy, &rows), kServerLoadOk);
  EXPECT_THAT(copy.specRunServers, ElementsAre("sapr3b 12"));
  EXPECT_THAT(copy.currentServers, ElementsAre("sapr3a", "sapr3b"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(gServerCount, 2);
  EXPECT_EQ(gServers[2][kSrvHost], Server("unsaved", "01")[kSrvHost]);

  // A failed copy is shown and empties only the copy.
  gServerFile = BinDir();
  EXPECT_EQ(LoadServerFileCopy("frmCurrentConfig", {}, &copy, &rows), kServerLoadFailed);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(gServerCount, 2);
  EXPECT_TRUE(gServerFileLoaded);
  EXPECT_THAT(ui_.status, testing::Contains(1453));
}

TEST_F(ServerLoaderTest, OnlyARegularFileIsRead) {
  ASSERT_EQ(mkfifo(BinFile("fifo").c_str(), 0600), 0);
  for (const std::string& path : {BinFile("fifo"), std::string("/dev/zero")}) {
    gServerFile = path;
    ServerLists lists;
    EXPECT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadFailed) << path;
    EXPECT_FALSE(gServerFileLoaded) << path;
  }
}

TEST_F(ServerLoaderTest, MoreServersThanATableHoldsIsAFailure) {
  WriteBin("zmoserver.dat", std::string(183 * (kMaxTableRows + 1), 'x'));
  ServerLists lists;
  EXPECT_EQ(LoadServerFile("frmServers", {}, &lists), kServerLoadTooLarge);
  EXPECT_EQ(gServerCount, 0);
  EXPECT_TRUE(lists.lstServer.empty());
  EXPECT_FALSE(gServerFileLoaded);
  EXPECT_THAT(ui_.status, ElementsAre(1449, 1453));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], HasSubstr(BinFile("zmoserver.dat")));
}

// Holds a write lock on the file as another writer would, on an open file
// description of its own.
class WriteLock {
 public:
  explicit WriteLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR)) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    locked_ = fd_ >= 0 && fcntl(fd_, F_OFD_SETLK, &lock) == 0;
  }
  ~WriteLock() {
    if (fd_ >= 0) close(fd_);
  }
  bool locked() const { return locked_; }

 private:
  int fd_;
  bool locked_ = false;
};

struct LockCase {
  const char* form;
  std::vector<std::string> messages;  // the boxes shown
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.form; }

class LockedServerFileTest : public ServerLoaderTest,
                             public ::testing::WithParamInterface<LockCase> {};

TEST_P(LockedServerFileTest, WaitsASecondAndShowsTheLockTexts) {
  const LockCase& c = GetParam();
  WriteServers({Server("sapr3a", "00")});
  ServerLists loaded;
  ASSERT_EQ(LoadServerFile(c.form, {}, &loaded), kServerLoadOk);
  ui_.status.clear();
  WriteLock lock(BinFile("zmoserver.dat"));
  ASSERT_TRUE(lock.locked());

  const std::int64_t before = clock_->NowMillis();
  ServerLists lists;
  EXPECT_EQ(LoadServerFile(c.form, {}, &lists), kServerLoadLocked);
  EXPECT_EQ(clock_->NowMillis() - before, 1000);
  EXPECT_EQ(ui_.messages, c.messages);
  EXPECT_THAT(ui_.status, ElementsAre(1449, 1446));
  EXPECT_FALSE(lists.lstServerEnabled);
  EXPECT_FALSE(gServerFileLoaded);
  EXPECT_EQ(gServerCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LockedServerFileTest,
    ::testing::Values(
        LockCase{"frmCurrentConfig", {}},
        LockCase{"frmServers", {"KQZ7035E Cannot open file, another process has locked it"}},
        LockCase{"frmSpecRun", {"KQZ7035E Cannot open file, another process has locked it"}}));

TEST_F(ServerLoaderTest, FillServerListsFromTheTable) {
  WriteServers({Server("sapr3a", "00"), Server("sapr3b", "12")});
  ServerLists lists;
  ASSERT_EQ(LoadServerFile("frmCurrentConfig", {}, &lists), kServerLoadOk);
  std::filesystem::remove(BinFile("zmoserver.dat"));
  ui_.status.clear();
  ServerLists filled;
  filled.specRunServers = {"cleared"};
  FillServerLists("frmServers", &filled);
  EXPECT_THAT(filled.lstServer, ElementsAre("sapr3a 00", "sapr3b 12"));
  EXPECT_TRUE(filled.specRunServers.empty());
  EXPECT_TRUE(filled.lstServerEnabled);
  EXPECT_THAT(ui_.status, ElementsAre(1449));
}

class TCodeTest : public DataTest {
 protected:
  void WriteStandard(const std::vector<std::string>& codes) {
    std::string data;
    for (const std::string& c : codes) {
      std::string record;
      zmo::putRecordField(&record, zmo::kTCodeCode, c);
      data += record + "\r\n";
    }
    WriteBin("zmotcodes.dat", data);
  }
};

TEST_F(TCodeTest, StandardAndCustomerCodes) {
  WriteStandard({"/NSE16", "FB01", "ME21N", "SE38", "SM50", "VA01", "VA02"});
  WriteBin("zmoztcodes.dat", "  zva99 \r\nZMM01\nlast");
  struct Case {
    const char* code;
    bool standard;
  };
  const Case cases[] = {
      {"/NSE16", true}, {"FB01", true},  {"ME21N", true}, {"SE38", true},
      {"SM50", true},   {"VA01", true},  {"VA02", true},  {"  va01 ", true},
      {"me21n", true},  {"VA03", false}, {"AAAA", false}, {"ZZZZ", false},
      {"ZVA99", true},  {"zmm01", true}, {"LAST", true},  {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsStandardTCode(c.code), c.standard) << '"' << c.code << '"';
  }
}

// The shipped list is in the text order of a case-insensitive comparison:
// signs before digits, digits before letters, so "S_ALR_87012284" stands
// before "SA38" (in byte order it would come after it).
TEST_F(TCodeTest, TheListIsSearchedInItsTextOrder) {
  const std::vector<std::string> list = {
      "/NSE16", "S_ALR_87012284", "S_P99_41000062", "S000", "SA38", "SE16",
      "SE38",   "SM50",           "VA01",           "VA02", "VF01"};
  WriteStandard(list);
  for (const std::string& code : list) EXPECT_TRUE(IsStandardTCode(code)) << code;
  EXPECT_TRUE(IsStandardTCode("s_alr_87012284"));
  for (const char* code : {"S_B", "S_ALR", "S001", "SB", "S", "_", "ZZ", "/A"})
    EXPECT_FALSE(IsStandardTCode(code)) << code;
}

TEST_F(TCodeTest, WithoutAStandardListEveryCodeCounts) {
  WriteBin("zmoztcodes.dat", "ZVA99\r\n");
  EXPECT_TRUE(IsStandardTCode("NOSUCH"));
  gBinDir.clear();
  EXPECT_TRUE(IsStandardTCode("NOSUCH"));
}

TEST_F(TCodeTest, EmptyStandardListAndNoCustomerList) {
  WriteBin("zmotcodes.dat", "");
  EXPECT_FALSE(IsStandardTCode("VA01"));
  WriteStandard({"VA01"});
  EXPECT_TRUE(IsStandardTCode("va01"));
  EXPECT_FALSE(IsStandardTCode("VA02"));
}

class DataSourceTest : public DataTest {};

TEST_F(DataSourceTest, KindOptionsForEitherForm) {
  struct Case {
    const char* db;
    zmo::DbKind kind;
  };
  const Case cases[] = {
      {"Oracle", zmo::DbKind::kOracle}, {"Corva", zmo::DbKind::kCorva},
      {"MSSQL", zmo::DbKind::kMssql},   {"Sybase", zmo::DbKind::kSybase},
      {"Tessel", zmo::DbKind::kTessel}, {"oracle", zmo::DbKind::kNone},
      {"", zmo::DbKind::kNone},         {"DB2", zmo::DbKind::kNone},
  };
  for (const Case& c : cases) {
    zmo_test::PutConfigText(zmo::cfg::kDB, c.db);
    for (const char* form : {"frmDataSource", "frmCurrentConfig"}) {
      DataSourceValues values;
      LoadDataSource(form, &values);
      EXPECT_EQ(values.kind, c.kind) << c.db << " on " << form;
    }
  }
}

TEST_F(DataSourceTest, DataSourcePageGetsEveryValue) {
  zmo_test::PutConfigText(zmo::cfg::kUser, "repuser");
  zmo_test::PutConfigText(zmo::cfg::kDSN, "R3REPO");
  zmo_test::PutConfigText(zmo::cfg::kAccess, EncryptText("s3cret"));
  zmo_test::PutConfigText(zmo::cfg::kINST, "corva1");
  zmo_test::PutConfigText(zmo::cfg::kDB, "Corva");
  DataSourceValues values;
  LoadDataSource("frmDataSource", &values);
  EXPECT_EQ(values.txtUserID, "repuser");
  EXPECT_EQ(values.dsn, "R3REPO");
  EXPECT_EQ(values.txtPassword, "s3cret");
  EXPECT_EQ(values.kind, zmo::DbKind::kCorva);
  EXPECT_EQ(values.txtCorvainst, "corva1");
  EXPECT_EQ(gCorvaInstance, "corva1");

  DataSourceValues current;
  LoadDataSource("frmCurrentConfig", &current);
  EXPECT_EQ(current.txtUserID, "");
  EXPECT_EQ(current.dsn, "R3REPO");
  EXPECT_EQ(current.txtPassword, "");
  EXPECT_EQ(current.txtCorvainst, "corva1");
}

TEST_F(DataSourceTest, OracleVersionOnlyOnTheDataSourcePage) {
  struct Case {
    const char* version;
    const char* shown;
  };
  const Case cases[] = {{"73", "73"}, {"80", "80"}, {"81", "81"}, {"9i", ""}, {"", ""}};
  zmo_test::PutConfigText(zmo::cfg::kDB, "Oracle");
  for (const Case& c : cases) {
    zmo_test::PutConfigText(zmo::cfg::kOracle, c.version);
    DataSourceValues page;
    LoadDataSource("frmDataSource", &page);
    EXPECT_EQ(page.oracle_version, c.shown) << c.version;
    DataSourceValues current;
    LoadDataSource("frmCurrentConfig", &current);
    EXPECT_EQ(current.oracle_version, "") << c.version;
  }
}

TEST_F(DataSourceTest, MissingValuesLeaveEveryControl) {
  DataSourceValues values;
  LoadDataSource("frmDataSource", &values);
  EXPECT_EQ(values.txtUserID, "");
  EXPECT_EQ(values.dsn, "");
  EXPECT_EQ(values.txtPassword, "");
  EXPECT_EQ(values.kind, zmo::DbKind::kNone);
  EXPECT_TRUE(ui_.status.empty());  // no empty decryption reported
}

TEST(ClientToolTest, ProgramOfEachKind) {
  struct Case {
    zmo::DbKind kind;
    const char* oracle_version;
    const char* tool;
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle, "73", "sqlldr73"}, {zmo::DbKind::kOracle, "80", "sqlldr80"},
      {zmo::DbKind::kOracle, "81", "sqlldr"},   {zmo::DbKind::kOracle, "", ""},
      {zmo::DbKind::kCorva, "", "corvacmd"},    {zmo::DbKind::kMssql, "", "isql"},
      {zmo::DbKind::kSybase, "81", "isql"},     {zmo::DbKind::kTessel, "", "tesseledit300"},
      {zmo::DbKind::kNone, "73", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClientToolName(c.kind, c.oracle_version), c.tool) << static_cast<int>(c.kind);
  }
}

TEST_F(DataTest, WaitSecondsLetsExactlyThatTimePass) {
  for (std::int16_t n : {0, 1, 3}) {
    const std::int64_t before = clock_->NowMillis();
    WaitSeconds(n);
    EXPECT_EQ(clock_->NowMillis() - before, n * 1000);
  }
}

class BinDirTest : public DataTest {};

TEST_F(BinDirTest, MissingBinDirIsAFactAndNoPathIsBuilt) {
  EXPECT_EQ(ReadBinDir(), kBinDirMissing);
  EXPECT_TRUE(BinDirMissing());
  std::string path = "old";
  EXPECT_EQ(BinFilePath("zmoAppGroup.dat", &path), kBinDirMissing);
  EXPECT_EQ(path, "");

  zmo_test::PutConfigText(zmo::cfg::kBinDir, "   ");
  EXPECT_EQ(ReadBinDir(), kBinDirMissing);

  zmo_test::PutConfigText(zmo::cfg::kBinDir, BinDir());
  EXPECT_EQ(ReadBinDir(), kBinDirOk);
  EXPECT_FALSE(BinDirMissing());
  EXPECT_EQ(BinFilePath("zmoAppGroup.dat", &path), kBinDirOk);
  EXPECT_EQ(path, BinFile("zmoAppGroup.dat"));
}

}  // namespace
