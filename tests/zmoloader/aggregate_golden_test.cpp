// The aggregation scripts of the five kinds, written by whole loader runs
// with every switch on and every configuration file present, against golden
// scripts byte for byte. The goldens name BinDir as @BINDIR@.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "aggregate_fixture.h"
#include "zmo_test/golden.h"

using namespace zmo::loader;

namespace {

using aggregate_test::AggregateTest;

struct GoldenCase {
  const char* name;  // tests/fixtures/zmoloader/aggregate/<name>.sql
  const char* db;
  bool snap;
};

constexpr GoldenCase kCases[] = {
    {"corva_snap", "Corva", true},   {"corva_stati", "Corva", false},
    {"tessel_snap", "Tessel", true}, {"tessel_stati", "Tessel", false},
    {"mssql_snap", "MSSQL", true},   {"mssql_stati", "MSSQL", false},
    {"oracle_snap", "Oracle", true}, {"oracle_stati", "Oracle", false},
    {"sybase_snap", "Sybase", true}, {"sybase_stati", "Sybase", false},
};

class AggregateGoldenTest : public AggregateTest, public ::testing::WithParamInterface<GoldenCase> {
 protected:
  // Every configuration file a statistics script reads, with a quote in a
  // user, a group and a rename to show it doubled.
  void WriteConfigurationFiles() {
    using namespace aggregate_test;
    WriteBin("zmoIDsToIgnore.dat", IgnoreList({"DDIC", "O'BRIEN"}, 12));
    WriteBin("zmoTransToIgnore.dat", IgnoreList({"SM50"}, 20));
    WriteBin("zmoProgsToIgnore.dat", IgnoreList({"SAPMSSY1"}, 30));
    WriteBin("zmoTransGroup.dat", TransGroups({{"Sales", "VA01"},
                                               {"Sales", "VA02"},
                                               {"Buyer's Desk", "ME21N"},
                                               {"Unlisted", "ZX01"}}));
    WriteBin("zmoAppGroup.dat", AppGroups({{"Sales", "1500"}, {"Buyer's Desk", "0800"}}));
    WriteBin("zmogrpupdt.dat", Renames({{"Sales Europe", "Sales"}, {"Buyers", "Buyer's Desk"}}));
  }
};

TEST_P(AggregateGoldenTest, ScriptAsFrozen) {
  const GoldenCase& c = GetParam();
  SetConfig(zmo::cfg::kDB, c.db);
  SetConfig(zmo::cfg::kSystemSLA, "2000");
  WriteConfigurationFiles();
  loaderReset();
  loader_test::UseRecordSpawn();
  if (c.snap) {
    ASSERT_EQ(Run({"-a", "-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), 0);
  } else {
    ASSERT_EQ(Run({"-A", "-P", "STATI", "-S", "20040109", "-E", "20040110", "-H", "10.20.30.40",
                   "-I", "153"}),
              0);
  }
  const std::string script = Bin(c.snap ? "zmosnap.sql" : "zmostati.sql");
  const std::string golden =
      std::string(ZMO_TEST_FIXTURES) + "/zmoloader/aggregate/" + c.name + ".sql";
  zmo_test::ExpectGolden(Replace(Read(script), bin_dir(), "@BINDIR@"), golden);
  // The script holds the clear password: only its owner reads it.
  EXPECT_EQ(std::filesystem::status(script).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  if (!c.snap) {
    // Writing the script settles nothing: the batch does, once the script
    // has committed.
    EXPECT_NE(StoredGroupDate(), FileTime("zmoTransGroup.dat"));
    EXPECT_TRUE(BinExists("zmogrpupdt.dat"));
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, AggregateGoldenTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
