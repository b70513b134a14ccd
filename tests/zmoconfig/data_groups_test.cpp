// Application groups and service levels: the seconds and milliseconds
// tables, the name and code rules, the group dialog and the direct Add, and
// the exact bytes of both group files and of the rename file the loader
// reads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "aggregate_internal.h"
#include "data_fixture.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/groups.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoloader/state.h"

using namespace zmo::loader;

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmoconfig_test::DataTest;

class GroupTest : public DataTest {
 protected:
  GroupTest() { loaderState().bin_dir = BinDir(); }
  ~GroupTest() override {
    ForgetGroupRenames();
    loaderState().bin_dir.clear();
  }
  void Group(const std::string& name, const std::string& millis) {
    gAppGroups.push_back({"", name, millis});
    gAppGroupCount = static_cast<std::int16_t>(gAppGroups.size() - 1);
  }
  void Code(const std::string& group, const std::string& code) {
    gTransGroups.push_back({"", group, code});
    gTransGroupCount = static_cast<std::int16_t>(gTransGroups.size() - 1);
  }
};

TEST(LevelMillisTest, SecondsToMillisecondsTable) {
  struct Case {
    const char* seconds;
    int max;
    int result;
    const char* millis;
  };
  const Case cases[] = {
      {"2.5", kGroupLevelMax, 0, "2500"},
      {".5", kGroupLevelMax, 0, "0500"},
      {"0,1", kGroupLevelMax, 0, "0100"},
      {"2", kGroupLevelMax, 0, "2000"},
      {"9.999", kGroupLevelMax, 0, "9999"},
      {"9,9999", kGroupLevelMax, 0, "9999"},
      {" 2.125 ", kGroupLevelMax, 0, "2125"},
      {"10", kGroupLevelMax, 1423, ""},
      {"10.0", kGroupLevelMax, 1423, ""},
      {"0.09", kGroupLevelMax, 1423, ""},
      {"0", kGroupLevelMax, 1423, ""},
      {"", kGroupLevelMax, 1423, ""},
      {"abc", kGroupLevelMax, 1423, ""},
      {"1.2.3", kGroupLevelMax, 1423, ""},
      {"1,5.", kGroupLevelMax, 1423, ""},
      {"-1", kGroupLevelMax, 1423, ""},
      {"1e1", kGroupLevelMax, 1423, ""},
      {"10", kSystemLevelMax, 0, "10000"},
      {"10.0", kSystemLevelMax, 0, "10000"},
      {"10,000", kSystemLevelMax, 0, "10000"},
      {"10.5", kSystemLevelMax, 1423, ""},
      {"0.1", kSystemLevelMax, 0, "0100"},
      {"99999999999", kSystemLevelMax, 1423, ""},
  };
  for (const Case& c : cases) {
    std::string millis;
    EXPECT_EQ(LevelMillis(c.seconds, c.max, &millis), c.result) << c.seconds;
    EXPECT_EQ(millis, c.millis) << c.seconds;
  }
}

TEST(LevelShownTest, MillisecondsToSecondsTable) {
  struct Case {
    const char* millis;
    const char* notation;
    const char* shown;
  };
  const Case cases[] = {
      {"2500", ".", "2.5"}, {"2500", ",", "2,5"},   {"2125", ".", "2.125"}, {"2125", "V", "2.125"},
      {"2000", "V", "2"},   {"2000", ".", "2"},     {"0500", ".", "0.5"},   {"0100", ",", "0,1"},
      {"10000", ".", "10"}, {"9999", "V", "9.999"}, {"", ".", ""},          {"12a", ".", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LevelShown(c.millis, c.notation), c.shown) << c.millis << " " << c.notation;
  }
  EXPECT_EQ(NotationOf("2.5"), ".");
  EXPECT_EQ(NotationOf("2,5"), ",");
  EXPECT_EQ(NotationOf("2"), "V");
}

TEST(LevelShownTest, AnUnchangedBoxKeepsTheStoredMilliseconds) {
  std::string millis;
  ASSERT_EQ(EditedLevelMillis("2.125", "2125", "V", kGroupLevelMax, &millis), 0);
  EXPECT_EQ(millis, "2125");
  ASSERT_EQ(EditedLevelMillis("2.13", "2125", ".", kGroupLevelMax, &millis), 0);
  EXPECT_EQ(millis, "2130");
  // A stored level past the group field still shows and stays as it is.
  ASSERT_EQ(EditedLevelMillis("10", "10000", ".", kGroupLevelMax, &millis), 0);
  EXPECT_EQ(millis, "10000");
  EXPECT_EQ(EditedLevelMillis("10.5", "10000", ".", kGroupLevelMax, &millis), 1423);
}

TEST_F(GroupTest, NameRules) {
  Group("Sales", "2000");
  Group("Finance", "1000");
  EXPECT_EQ(CheckGroupName(" sales ", 0), 1412);
  EXPECT_EQ(CheckGroupName("SALES", 1), 0) << "renaming a group to its own name";
  EXPECT_EQ(CheckGroupName("SALES", 2), 1412);
  EXPECT_EQ(CheckGroupName("Sales'", 0), 1514);
  EXPECT_EQ(CheckGroupName(std::string(35, 'n'), 0), 0);
  EXPECT_EQ(CheckGroupName(" " + std::string(35, 'n') + " ", 0), 0);
  EXPECT_EQ(CheckGroupName(std::string(36, 'n'), 0), 1519);
  EXPECT_TRUE(GroupNameFree("Logistics", 0));
  EXPECT_FALSE(GroupNameFree("finance", 0));
}

TEST_F(GroupTest, DialogAddsAndEditsGroups) {
  int row = 0;
  EXPECT_EQ(ApplyGroupDialog("Sales", "", -1, &row), 1422);
  EXPECT_EQ(ApplyGroupDialog("Sales", "10", -1, &row), 1423);
  EXPECT_EQ(ApplyGroupDialog("Sa'les", "2", -1, &row), 1514);
  EXPECT_EQ(ApplyGroupDialog("   ", "2", -1, &row), kGroupNothing);
  EXPECT_EQ(gAppGroupCount, 0);
  ASSERT_EQ(ApplyGroupDialog("  Sales", "2,125", -1, &row), 0);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(gAppGroups[1][1], "Sales") << "names are trimmed";
  EXPECT_EQ(gAppGroups[1][2], "2125");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kNotation), ",");
  EXPECT_EQ(ApplyGroupDialog("sales", "3", -1, &row), 1412);

  // Editing with the box as shown keeps the milliseconds; a rename carries
  // the codes and is remembered for the loader.
  Code("Sales", "VA01");
  Code("Other", "VA01");
  ASSERT_EQ(ApplyGroupDialog("Revenue", LevelShown("2125", ","), 0, &row), 0);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(gAppGroups[1][1], "Revenue");
  EXPECT_EQ(gAppGroups[1][2], "2125");
  EXPECT_EQ(gTransGroups[1][1], "Revenue");
  EXPECT_EQ(gTransGroups[2][1], "Other");
  ASSERT_EQ(gGroupRenames.size(), 1u);
  EXPECT_EQ(gGroupRenames[0].new_name, "Revenue");
  EXPECT_EQ(gGroupRenames[0].old_name, "Sales");
  // The same name with another level is no rename.
  ASSERT_EQ(ApplyGroupDialog("Revenue", "9.999", 0, &row), 0);
  EXPECT_EQ(gAppGroups[1][2], "9999");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kNotation), ".");
  EXPECT_EQ(gGroupRenames.size(), 1u);
}

TEST_F(GroupTest, DirectAddCopiesTheCodesOfTheClickedGroup) {
  Group("Sales", "2000");
  Code("Sales", "VA01");
  Code("Sales", "VA02");
  zmo_test::PutConfigText(zmo::cfg::kNotation, "V");
  EXPECT_EQ(AddGroupDirect("Revenue", "", "Sales"), kGroupNothing);
  EXPECT_EQ(AddGroupDirect("Revenue", "12", "Sales"), 1423);
  EXPECT_EQ(AddGroupDirect("SALES", "1", "Sales"), 1412);
  ASSERT_EQ(AddGroupDirect(" Revenue ", "1.5", "Sales"), 0);
  EXPECT_EQ(gAppGroupCount, 2);
  EXPECT_EQ(gAppGroups[2][1], "Revenue");
  EXPECT_EQ(gAppGroups[2][2], "1500");
  EXPECT_THAT(GroupCodes("Revenue"), ElementsAre("VA01", "VA02"));
  EXPECT_THAT(GroupCodes("Sales"), ElementsAre("VA01", "VA02"));
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kNotation), "V") << "the direct mode keeps Notation";
  EXPECT_TRUE(DeleteGroup(0));
  EXPECT_EQ(gAppGroups[1][1], "Revenue");
  EXPECT_FALSE(DeleteGroup(1));
}

TEST(SplitGroupCodesTest, CodesOfTheText) {
  struct Case {
    const char* text;
    bool editing;
    int result;
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {"va01, va02,,va03", false, 0, {"VA01", "VA02", "VA03"}},
      {"  va01  ", false, 0, {"VA01"}},
      {"   ", false, 0, {}},  // no empty code without a comma either
      {"", false, 0, {}},
      {",,", false, 0, {}},
      {"va01,va02", true, 0, {"VA01,VA02"}},
      {" ", true, 0, {}},
      {"12345678901234567890", false, 0, {"12345678901234567890"}},
      {"va01,123456789012345678901", false, 1407, {}},
      {"va'01", false, 1514, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> codes = {"stale"};
    EXPECT_EQ(SplitGroupCodes(c.text, c.editing, &codes), c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(codes, c.codes) << c.text;
    }
  }
}

TEST_F(GroupTest, CodesOfAGroup) {
  Group("Sales", "2000");
  Group("Other", "2000");
  EXPECT_TRUE(AddGroupCode("Sales", "VA01"));
  EXPECT_FALSE(AddGroupCode(" sales ", "va01")) << "a duplicate is skipped";
  EXPECT_TRUE(AddGroupCode("Other", "VA01"));
  EXPECT_TRUE(DuplicateFound("SALES", " va01"));
  EXPECT_TRUE(ReplaceGroupCode("Sales", "VA01", "VA02"));
  EXPECT_FALSE(ReplaceGroupCode("Sales", "VA01", "VA03")) << "no row holds the old code";
  EXPECT_TRUE(AddGroupCode("Sales", "VA03"));
  EXPECT_FALSE(ReplaceGroupCode("Sales", "VA02", "VA03")) << "the new code is a duplicate";
  EXPECT_TRUE(DeleteGroupCode("Sales", "VA02"));
  EXPECT_FALSE(DeleteGroupCode("Sales", "VA02"));
  EXPECT_THAT(GroupCodes("Sales"), ElementsAre("VA03"));
  EXPECT_THAT(GroupCodes("Other"), ElementsAre("VA01")) << "the same code in another group stays";
}

std::string Padded(const std::string& text, size_t width) {
  std::string out = text;
  out.resize(width, ' ');
  return out;
}

TEST_F(GroupTest, SaveWritesBothFilesByteForByte) {
  Group("Sales", "2000");
  Group("Finance", "0500");
  Code("Other", "XX01");  // a deleted group's code is not written
  Code("Finance", "FB01");
  Code("Sales", "VA01");
  Code("Sales", "VA02");
  ASSERT_EQ(SaveGroupFiles(), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoAppGroup.dat")),
            Padded("Sales", 35) + "2000" + Padded("Finance", 35) + "0500");
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoTransGroup.dat")),
            Padded("Sales", 35) + Padded("VA01", 20) + Padded("Sales", 35) + Padded("VA02", 20) +
                Padded("Finance", 35) + Padded("FB01", 20));
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoAppGroup.new")));
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoTransGroup.new")));
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmogrpupdt.dat")));
  // The loader's readers see the level of each code's group.
  const std::vector<GroupCode> codes = readGroupCodes();
  ASSERT_EQ(codes.size(), 3u);
  EXPECT_EQ(codes[2].group, "Finance");
  EXPECT_EQ(codes[2].sla, "0500");
}

TEST_F(GroupTest, EmptyTablesWriteTwoEmptyFiles) {
  WriteBin("zmoAppGroup.dat", Padded("Old", 35) + "1000");
  ASSERT_EQ(SaveGroupFiles(), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoAppGroup.dat")), "");
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoTransGroup.dat")), "");
}

TEST_F(GroupTest, RenamesAreAddedToTheLoadersFile) {
  const std::string earlier = Padded("B", 35) + Padded("A", 35);
  WriteBin("zmogrpupdt.dat", earlier + "xx");  // a torn last record is dropped
  Group("Sales", "2000");
  int row = 0;
  ASSERT_EQ(ApplyGroupDialog("Revenue", "2", 0, &row), 0);
  ASSERT_EQ(SaveGroupFiles(), kSaveOk);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmogrpupdt.dat")),
            earlier + Padded("Revenue", 35) + Padded("Sales", 35));
  EXPECT_TRUE(gGroupRenames.empty());
  const std::vector<GroupRename> renames = readGroupRenames();
  ASSERT_EQ(renames.size(), 2u);
  EXPECT_EQ(renames[1].new_name, "Revenue");
  EXPECT_EQ(renames[1].old_name, "Sales");
}

TEST_F(GroupTest, FailedSaveKeepsBothOldFilesAndTheTables) {
  WriteBin("zmoAppGroup.dat", Padded("Old", 35) + "1000");
  WriteBin("zmoTransGroup.dat", Padded("Old", 35) + Padded("VA01", 20));
  // A directory where the second .new file goes.
  std::filesystem::create_directories(BinFile("zmoTransGroup.new/x"));
  Group("New", "2000");
  EXPECT_EQ(SaveGroupFiles(), kSaveFailed);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoAppGroup.dat")), Padded("Old", 35) + "1000");
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoTransGroup.dat")),
            Padded("Old", 35) + Padded("VA01", 20));
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoAppGroup.new")));
  EXPECT_THAT(ui_.status, ElementsAre(1453));
  EXPECT_EQ(gAppGroupCount, 1);
}

TEST_F(GroupTest, FailedRenameFileKeepsTheGroupFilesAndTheRenames) {
  WriteBin("zmoAppGroup.dat", Padded("Sales", 35) + "2000");
  Group("Sales", "2000");
  int row = 0;
  ASSERT_EQ(ApplyGroupDialog("Revenue", "2", 0, &row), 0);
  std::filesystem::create_directories(BinFile("zmogrpupdt.dat/x"));
  EXPECT_EQ(SaveGroupFiles(), kSaveFailed);
  EXPECT_EQ(zmo_test::FileText(BinFile("zmoAppGroup.dat")), Padded("Sales", 35) + "2000");
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoAppGroup.new")));
  EXPECT_FALSE(std::filesystem::exists(BinFile("zmoTransGroup.new")));
  EXPECT_EQ(gGroupRenames.size(), 1u) << "kept for the next OK";
}

TEST_F(GroupTest, AllTransactionLevel) {
  EXPECT_EQ(SystemLevelShown(), "");
  EXPECT_EQ(SaveSystemLevel(""), 1421);
  EXPECT_EQ(SaveSystemLevel("0.09"), 1423);
  EXPECT_EQ(SaveSystemLevel("10.5"), 1423);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSystemSLA), "<missing>");
  ASSERT_EQ(SaveSystemLevel("10.0"), 0);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSystemSLA), "10000");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kNotation), ".");
  EXPECT_EQ(SystemLevelShown(), "10");
  ASSERT_EQ(SaveSystemLevel("2,5"), 0);
  EXPECT_EQ(SystemLevelShown(), "2,5");
  zmo_test::PutConfigText(zmo::cfg::kSystemSLA, "0");
  EXPECT_EQ(SystemLevelShown(), "");
}

TEST_F(GroupTest, FailedRegistryWriteStopsAtTheFirstValue) {
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  EXPECT_EQ(SaveSystemLevel("2"), 1453);
  EXPECT_EQ(ui_.messages.size(), 1u) << "one registry error: System_SLA was not tried";
  EXPECT_THAT(ui_.status, ElementsAre(1453));
  int row = 0;
  ui_.status.clear();
  EXPECT_EQ(ApplyGroupDialog("Sales", "2", -1, &row), 1453);
  EXPECT_EQ(gAppGroupCount, 0);
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

}  // namespace
