// The data-source OK as a table against a PATH of stand-in client tools:
// what is refused with which message, and which registry values are written.
#include "zmoconfig/data_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_fixture.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmo::DbKind;
using zmoconfig_test::DataTest;

// The values OK may write, in one line for comparison.
std::string Stored() {
  std::string out;
  for (const char* name :
       {zmo::cfg::kDB, zmo::cfg::kOracle, zmo::cfg::kINST, zmo::cfg::kUser, zmo::cfg::kDSN}) {
    out += std::string(name) + "=" + zmo_test::ConfigText(name) + " ";
  }
  return out;
}

class DataSourceOkTest : public DataTest {
 protected:
  // PATH holds stand-ins of sqlldr (Oracle 8.1), isql and corvacmd only.
  DataSourceOkTest() : path_("PATH", dir_ / "tools") {
    std::filesystem::create_directories(dir_ / "tools");
    for (const char* tool : {"sqlldr", "isql", "corvacmd"}) {
      zmo_test::WriteFile(dir_ / ("tools/" + std::string(tool)), "");
    }
  }
  DataSourceInput Input(DbKind kind, const char* oracle_version = "") {
    DataSourceInput in;
    in.kind = kind;
    in.oracle_version = oracle_version;
    in.user = " zmo ";
    in.dsn = "R3REPO";
    in.password = "secret";
    return in;
  }
  zmo_test::ScopedEnv path_;
};

TEST_F(DataSourceOkTest, OkTable) {
  struct Case {
    const char* name;
    DbKind kind;
    const char* oracle_version;
    int result;
    std::string stored;
  };
  const std::string none =
      "DB=<missing> Oracle=<missing> INST=<missing> User=<missing> "
      "DSN=<missing> ";
  const Case cases[] = {
      {"NoKind", DbKind::kNone, "", 1440, none},
      {"OracleWithoutVersion", DbKind::kOracle, "", 1518, none},
      {"Oracle73Missing", DbKind::kOracle, "73", 1467, none},
      {"Oracle80Missing", DbKind::kOracle, "80", 1468, none},
      {"TesselMissing", DbKind::kTessel, "", 1472, none},
      {"Oracle81", DbKind::kOracle, "81", 0,
       "DB=Oracle Oracle=81 INST=<missing> User=zmo DSN=R3REPO "},
      {"Mssql", DbKind::kMssql, "", 0,
       "DB=MSSQL Oracle=<missing> INST=<missing> User=zmo DSN=R3REPO "},
      {"Sybase", DbKind::kSybase, "", 0,
       "DB=Sybase Oracle=<missing> INST=<missing> User=zmo DSN=R3REPO "},
      {"Corva", DbKind::kCorva, "", 0,
       "DB=Corva Oracle=<missing> INST= inst1 User=zmo DSN=R3REPO "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {zmo::cfg::kDB, zmo::cfg::kOracle, zmo::cfg::kINST, zmo::cfg::kUser,
                             zmo::cfg::kDSN, zmo::cfg::kAccess}) {
      zmo_test::DeleteConfigValue(name);
    }
    DataSourceInput in = Input(c.kind, c.oracle_version);
    in.corva_instance = " inst1";
    DataSourceRefusal refusal;
    EXPECT_EQ(SaveDataSource(in, &refusal), c.result);
    EXPECT_EQ(refusal.text_id, c.result);
    EXPECT_EQ(Stored(), c.stored);
    if (c.result == 0) {
      EXPECT_EQ(DecryptText(zmo_test::ConfigText(zmo::cfg::kAccess)), "secret");
    }
  }
}

TEST_F(DataSourceOkTest, ToolMessagesOfEveryChoice) {
  EXPECT_EQ(ClientToolMissingText(DbKind::kOracle, "81"), 1469);
  EXPECT_EQ(ClientToolMissingText(DbKind::kCorva, ""), 1439);
  EXPECT_EQ(ClientToolMissingText(DbKind::kMssql, ""), 1470);
  EXPECT_EQ(ClientToolMissingText(DbKind::kSybase, ""), 1471);
  EXPECT_EQ(ClientToolMissingText(DbKind::kOracle, ""), 0);
  EXPECT_EQ(ClientToolMissingText(DbKind::kNone, ""), 0);
  // Both isql kinds fail alike when the program is gone.
  std::filesystem::remove(dir_ / "tools/isql");
  DataSourceRefusal refusal;
  EXPECT_EQ(SaveDataSource(Input(DbKind::kMssql), &refusal), 1470);
  EXPECT_EQ(SaveDataSource(Input(DbKind::kSybase), &refusal), 1471);
  EXPECT_EQ(refusal.text.substr(0, 8), "KQZ7068E");
}

TEST_F(DataSourceOkTest, BlankBoxesKeepTheStoredValues) {
  DataSourceRefusal refusal;
  ASSERT_EQ(SaveDataSource(Input(DbKind::kMssql), &refusal), 0);
  const std::string access = zmo_test::ConfigText(zmo::cfg::kAccess);
  DataSourceInput in = Input(DbKind::kSybase);
  in.user = "";
  in.dsn = "   ";
  in.password = "  ";
  ASSERT_EQ(SaveDataSource(in, &refusal), 0);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kDB), "Sybase");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kUser), "zmo");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kDSN), "R3REPO");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kAccess), access);
}

// The rule the loader checks its values by (common/line_values.h): what a
// kind's lines cannot carry is refused with the reason; what its lines
// quote is stored.
TEST_F(DataSourceOkTest, TextsTheKindsLinesCannotCarryAreRefusedWithTheReason) {
  struct Case {
    DbKind kind;
    std::string DataSourceInput::*field;
    std::string text;
    DataSourceBox box;  // kNone: stored
    const char* reason;
  };
  const Case cases[] = {
      {DbKind::kMssql, &DataSourceInput::user, "a\"b", DataSourceBox::kUser,
       "a double quote, which would end its quotes in a batch line"},
      {DbKind::kMssql, &DataSourceInput::password, "a\nb", DataSourceBox::kPassword,
       "a control character, which would split the line in a batch line"},
      {DbKind::kOracle, &DataSourceInput::user, "a\rb", DataSourceBox::kUser,
       "a control character, which would split the line in a batch line"},
      {DbKind::kCorva, &DataSourceInput::corva_instance, "in\"st", DataSourceBox::kCorvaInstance,
       "a quote, which would start a quoted text in a Corva statement"},
      {DbKind::kCorva, &DataSourceInput::user, "a'b", DataSourceBox::kUser,
       "a quote, which would start a quoted text in a Corva statement"},
      {DbKind::kCorva, &DataSourceInput::dsn, "R3;drop", DataSourceBox::kDsn,
       "a ';', which would end a Corva statement"},
      {DbKind::kCorva, &DataSourceInput::password, "se--cret", DataSourceBox::kPassword,
       "'--', which would start a comment in a Corva statement"},
      // The batch lines quote these; the Corva statements take them as
      // they are.
      {DbKind::kMssql, &DataSourceInput::dsn, "R3&del", DataSourceBox::kNone, ""},
      {DbKind::kSybase, &DataSourceInput::password, "a^b|c<d>e", DataSourceBox::kNone, ""},
      {DbKind::kMssql, &DataSourceInput::password, "100%", DataSourceBox::kNone, ""},
      {DbKind::kOracle, &DataSourceInput::user, "o'brien;x", DataSourceBox::kNone, ""},
      {DbKind::kCorva, &DataSourceInput::corva_instance, "a|b", DataSourceBox::kNone, ""},
      // Another kind does not look at the instance box.
      {DbKind::kMssql, &DataSourceInput::corva_instance, "in\"st", DataSourceBox::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DataSourceInput in = Input(c.kind, c.kind == DbKind::kOracle ? "81" : "");
    in.*c.field = c.text;
    DataSourceRefusal refusal;
    if (c.box == DataSourceBox::kNone) {
      EXPECT_EQ(SaveDataSource(in, &refusal), 0) << refusal.text;
      continue;
    }
    const std::string before = Stored();
    EXPECT_EQ(SaveDataSource(in, &refusal), 1517);
    EXPECT_EQ(refusal.text, std::string("KQZ7077E Illegal character entered: ") + c.reason);
    EXPECT_EQ(refusal.box, c.box);
    EXPECT_EQ(Stored(), before) << "a refused OK writes nothing";
  }
}

TEST_F(DataSourceOkTest, PasswordLongerThanTheRegistryHoldsIsRefusedWithTheLimit) {
  DataSourceInput in = Input(DbKind::kMssql);
  in.password = std::string(183, 'p');
  DataSourceRefusal refusal;
  EXPECT_EQ(SaveDataSource(in, &refusal), 1515);
  EXPECT_EQ(refusal.text, "KQZ7075E Password too long. Maximum number of characters: 182");
  EXPECT_EQ(refusal.box, DataSourceBox::kPassword);
  in.password = std::string(182, 'p');
  ASSERT_EQ(SaveDataSource(in, &refusal), 0);
  EXPECT_EQ(DecryptText(zmo_test::ConfigText(zmo::cfg::kAccess)), in.password);
}

TEST_F(DataSourceOkTest, FailedWriteStopsAndShows1453) {
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  DataSourceRefusal refusal;
  EXPECT_EQ(SaveDataSource(Input(DbKind::kOracle, "81"), &refusal), 1453);
  EXPECT_EQ(ui_.messages.size(), 1u) << "DB and the rest were not tried";
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

}  // namespace
