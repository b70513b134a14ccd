// The wrappers over zmogdlib's exports: values by name, the refusal of
// values the exports cannot hold, the registry error messages and password
// scrambling with the configurator's key.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "data_fixture.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"
#include "zmogdlib/zmogdlib.h"

using namespace zmo::config;

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using zmoconfig_test::DataTest;

class RegistryWrapperTest : public DataTest {};

TEST_F(RegistryWrapperTest, MissingValueReadsEmptyAndShowsNothing) {
  EXPECT_EQ(GetRegValue("NoSuchValue"), "");
  zmo_test::CreateConfigKey();
  EXPECT_EQ(GetRegValue("NoSuchValue"), "");
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_TRUE(ui_.status.empty());
}

TEST_F(RegistryWrapperTest, SetThenGetUpToTheLongestValue) {
  const std::string longest(kRegTextMax, 'v');
  for (const std::string& value : {std::string("C:/zmo"), std::string(), longest}) {
    EXPECT_EQ(SetRegValue(zmo::cfg::kBinDir, value), kRegOk);
    EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kBinDir), value);
    EXPECT_EQ(GetRegValue(zmo::cfg::kBinDir), value);
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RegistryWrapperTest, LongerValueIsRefusedNotCut) {
  ASSERT_EQ(SetRegValue(zmo::cfg::kDSN, "R3REPO"), kRegOk);
  EXPECT_EQ(SetRegValue(zmo::cfg::kDSN, std::string(kRegTextMax + 1, 'x')), kRegValueTooLong);
  EXPECT_EQ(SetRegValue(zmo::cfg::kDSN, std::string("a\0b", 3)), kRegValueTooLong);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kDSN), "R3REPO");
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0], "KQZ7001E Error encountered DSN");
  EXPECT_THAT(ui_.status, ElementsAre(1453, 1453));
}

TEST_F(RegistryWrapperTest, StoredValueLongerThanTheExportsBoundIsRefused) {
  zmo_test::PutConfigText(zmo::cfg::kStatiInput, std::string(kRegTextMax + 1, 's'));
  EXPECT_EQ(GetRegValue(zmo::cfg::kStatiInput), "");
  EXPECT_THAT(ui_.messages, ElementsAre("KQZ7001E Error encountered StatiInput"));
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

TEST_F(RegistryWrapperTest, FailedWriteShowsTheRegistryError) {
  // A store directory that cannot be created: the key opens nowhere.
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  EXPECT_EQ(SetRegValue(zmo::cfg::kDSN, "R3REPO"), 1);
  EXPECT_THAT(ui_.messages, ElementsAre("KQZ7055E Registry Error: Corrupt registry database"));
}

TEST(RegistryErrorTest, CodesAndTheirTexts) {
  struct Case {
    int code;
    int id;
  };
  const Case cases[] = {{1, 1458}, {2, 1459}, {3, 1460},  {4, 1461},   {5, 1462},
                        {6, 1463}, {8, 1464}, {87, 1465}, {259, 1466}, {0, 0},
                        {7, 0},    {9, 0},    {-1, 0},    {1000, 0}};
  for (const Case& c : cases) EXPECT_EQ(RegistryErrorTextId(c.code), c.id) << c.code;
}

TEST_F(RegistryWrapperTest, ShowRegistryErrorShowsKnownCodesOnly) {
  ShowRegistryError(87);
  ShowRegistryError(0);
  ShowRegistryError(7);
  ShowRegistryError(259);
  EXPECT_THAT(ui_.messages, ElementsAre("KQZ7062E Registry Error: Invalid parameters",
                                        "KQZ7063E Registry Error: No more items"));
}

class ScrambleTest : public DataTest {};

TEST_F(ScrambleTest, RoundTripWithTheConfiguratorsKey) {
  const std::string scrambled = EncryptText("  s3cret ");
  ASSERT_FALSE(scrambled.empty());
  EXPECT_NE(scrambled, "s3cret");
  EXPECT_EQ(DecryptText(" " + scrambled + " "), "s3cret");
  // The console programs' key is the same text.
  char out[256] = {};
  ASSERT_GT(Decrypt(scrambled.c_str(), "Qortane4_Brelmuskand7", out), 0);
  EXPECT_STREQ(out, "s3cret");
  EXPECT_TRUE(ui_.status.empty());
}

TEST_F(ScrambleTest, EmptyResultsShowTheirStatusText) {
  EXPECT_EQ(EncryptText("   "), "");
  EXPECT_EQ(DecryptText("not scrambled at all"), "");
  EXPECT_EQ(DecryptText(""), "");
  EXPECT_THAT(ui_.status, ElementsAre(1448, 1447, 1447));
}

TEST_F(ScrambleTest, TooLongTextsAreRefusedNotCut) {
  for (size_t length : {kRegTextMax + 1, size_t{4000}, size_t{200}}) {
    ui_.status.clear();
    EXPECT_EQ(EncryptText(std::string(length, 'p')), "") << length;
    EXPECT_THAT(ui_.status, ElementsAre(1448)) << length;
    EXPECT_EQ(DecryptText(std::string(length, 'p')), "") << length;
  }
}

}  // namespace
