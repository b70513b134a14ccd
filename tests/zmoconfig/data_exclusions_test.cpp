// The exclusion-list family: each member's dialog rules as one table, and
// the exact bytes of the three files with their backups and the delete of
// an emptied list.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "aggregate_internal.h"
#include "data_fixture.h"
#include "zmoconfig/exclusions.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"
#include "zmoloader/state.h"

using namespace zmo::loader;

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmo::IgnoreList;
using zmoconfig_test::DataTest;

class ExclusionTest : public DataTest {};

TEST_F(ExclusionTest, EntryRulesOfEachMember) {
  struct Case {
    IgnoreList list;
    std::string typed;
    std::vector<std::string> rows;
    int result;
    const char* row;  // the row added when accepted
  };
  const Case cases[] = {
      {IgnoreList::kIds, " abc ", {}, 0, "ABC"},
      {IgnoreList::kProgs, " abc ", {}, 0, " ABC "},
      {IgnoreList::kTrans, " va01 ", {}, 0, "VA01"},
      {IgnoreList::kIds, "   ", {}, kIgnoreEmptyEntry, ""},
      {IgnoreList::kProgs, "", {}, kIgnoreEmptyEntry, ""},
      {IgnoreList::kIds, "ABCDEFGHIJKL", {}, 0, "ABCDEFGHIJKL"},
      {IgnoreList::kIds, "ABCDEFGHIJKLM", {}, 1405, ""},
      {IgnoreList::kProgs, std::string(30, 'p'), {}, 0, ""},
      {IgnoreList::kProgs, std::string(31, 'p'), {}, 1406, ""},
      {IgnoreList::kTrans, std::string(21, 't'), {}, 1407, ""},
      {IgnoreList::kIds, "abc", {"ABC"}, 1424, ""},
      {IgnoreList::kIds, " abc", {"XYZ", "ABC"}, 1424, ""},
      {IgnoreList::kProgs, "abc", {"ABC"}, 1425, ""},
      {IgnoreList::kProgs, " abc", {"ABC"}, 0, " ABC"},  // blanks make it another row
      {IgnoreList::kTrans, "va01", {"VA01"}, 1426, ""},
      {IgnoreList::kIds, "o'brien", {}, 1514, ""},
      {IgnoreList::kProgs, "Z'PROG", {}, 1514, ""},
      {IgnoreList::kTrans, "'", {}, 1514, ""},
  };
  for (const Case& c : cases) {
    std::string row = "unchanged";
    EXPECT_EQ(CheckIgnoreEntry(c.list, c.typed, c.rows, &row), c.result)
        << static_cast<int>(c.list) << " '" << c.typed << "'";
    if (c.result == 0 && *c.row != '\0') {
      EXPECT_EQ(row, c.row);
    }
    if (c.result != 0) {
      EXPECT_EQ(row, "unchanged");
    }
  }
}

TEST_F(ExclusionTest, OnlyNonStandardCodesAsk) {
  WriteBin("zmotcodes.dat", "SE38                \r\nVA01                \r\n");
  EXPECT_FALSE(IgnoreEntryNeedsQuestion(IgnoreList::kTrans, "VA01"));
  EXPECT_TRUE(IgnoreEntryNeedsQuestion(IgnoreList::kTrans, "ZVA01"));
  EXPECT_FALSE(IgnoreEntryNeedsQuestion(IgnoreList::kIds, "ZVA01"));
  EXPECT_FALSE(IgnoreEntryNeedsQuestion(IgnoreList::kProgs, "ZVA01"));
}

TEST_F(ExclusionTest, FilesByteForByte) {
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kIds, {"ABC", "ddic", "SAP*"}), kSaveOk);
  const std::string ids = zmo_test::FileText(BinFile("zmoIDsToIgnore.dat"));
  EXPECT_EQ(ids, "ABC         \r\nDDIC        \r\nSAP*        \r\n");
  EXPECT_EQ(ids.size(), 42u);
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kProgs, {" ABC "}), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoProgsToIgnore.dat")),
            "ABC" + std::string(27, ' ') + "\r\n");
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kTrans, {"VA01", "SE38"}), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoTransToIgnore.dat")),
            "VA01" + std::string(16, ' ') + "\r\nSE38" + std::string(16, ' ') + "\r\n");
  // Read back by the configurator's loader and the warehouse loader.
  std::vector<std::string> entries;
  LoadIDsToIgnore(&entries);
  EXPECT_THAT(entries, ElementsAre("ABC", "DDIC", "SAP*"));
  loaderState().bin_dir = BinDir();
  EXPECT_THAT(readExclusionWords(zmo::kProgsToIgnoreLayout), ElementsAre("ABC"));
  EXPECT_THAT(readExclusionWords(zmo::kTransToIgnoreLayout), ElementsAre("VA01", "SE38"));
  loaderState().bin_dir.clear();
}

TEST_F(ExclusionTest, BackupHoldsTheFileBeforeTheLatestSave) {
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kIds, {"FIRST"}), kSaveOk);
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoIDsToIgnore.bak")));
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kIds, {"SECOND"}), kSaveOk);
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kIds, {"THIRD"}), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoIDsToIgnore.bak")), "SECOND      \r\n");
  EXPECT_EQ(IgnoreListBackupName(IgnoreList::kProgs), "zmoProgsToIgnore.bak");
  EXPECT_EQ(IgnoreListBackupName(IgnoreList::kTrans), "zmoTransToIgnore.bak");
}

TEST_F(ExclusionTest, EmptiedListDeletesTheFileAndKeepsTheBackup) {
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kTrans, {"VA01"}), kSaveOk);
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kTrans, {"VA02"}), kSaveOk);
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kTrans, {}), kSaveOk);
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoTransToIgnore.dat")));
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoTransToIgnore.bak")),
            "VA01" + std::string(16, ' ') + "\r\n");
  // Emptying a list that has no file is no failure.
  EXPECT_EQ(SaveIgnoreList(IgnoreList::kIds, {}), kSaveOk);
  EXPECT_TRUE(ui_.status.empty());
}

TEST_F(ExclusionTest, FailedSaveKeepsTheOldFileAndShows1453) {
  ASSERT_EQ(SaveIgnoreList(IgnoreList::kIds, {"KEEP"}), kSaveOk);
  // A directory in the backup's place: the copy cannot be made.
  std::filesystem::create_directories(BinFile("zmoIDsToIgnore.bak"));
  EXPECT_EQ(SaveIgnoreList(IgnoreList::kIds, {"LOST"}), kSaveFailed);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoIDsToIgnore.dat")), "KEEP        \r\n");
  EXPECT_THAT(ui_.status, ElementsAre(1453));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], testing::HasSubstr("zmoIDsToIgnore.bak"));
  // A directory in the file's place cannot be removed as a list file.
  std::filesystem::create_directories(BinFile("zmoProgsToIgnore.dat/x"));
  EXPECT_EQ(SaveIgnoreList(IgnoreList::kProgs, {}), kSaveFailed);
}

TEST_F(ExclusionTest, WithoutBinDirNothingIsWritten) {
  gBinDir.clear();
  EXPECT_EQ(SaveIgnoreList(IgnoreList::kIds, {"A"}), kSaveFailed);
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

}  // namespace
