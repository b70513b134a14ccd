#include "common/registry_value.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

int g_exit_code = -1;
// Records the code the process would end with, and returns.
class RecordExitEnv : public zmo::EnvWrapper {
 public:
  void Exit(int code) override { g_exit_code = code; }
};

class RequiredValueTest : public zmo_test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    g_exit_code = -1;
    zmo::SetEnv(&exit_env_);
  }
  RecordExitEnv exit_env_;
};

TEST_F(RequiredValueTest, ReturnsTheStoredText) {
  const std::string long_text(1000, 'v');
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"ProcessStatiCPU", "True"}, {"ProcessStatiDB", "False"},
      {"ProcessQRBData", "no"},    {"Empty", ""},
      {"Long", long_text},
  };
  for (const Case& c : cases) SetConfigText(c.name, c.text);
  for (const Case& c : cases) EXPECT_EQ(zmo::getRequiredRegValue(c.name), c.text) << c.name;
  EXPECT_EQ(g_exit_code, -1);
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(RequiredValueTest, StoredBytesWithoutTheirNulAreReadSafely) {
  SetConfigValue("NoNul", REG_SZ, "True", 4);
  SetConfigValue("Nothing", REG_SZ, "", 0);
  SetConfigValue("Inner", REG_SZ, "ab\0cd", 5);
  EXPECT_EQ(zmo::getRequiredRegValue("NoNul"), "True");
  EXPECT_EQ(zmo::getRequiredRegValue("Nothing"), "");
  EXPECT_EQ(zmo::getRequiredRegValue("Inner"), "ab");
  EXPECT_EQ(g_exit_code, -1);
}

TEST_F(RequiredValueTest, MissingValueEndsWithNinetyNine) {
  SetConfigText("Other", "x");
  EXPECT_EQ(zmo::getRequiredRegValue("ProcessApplGUI"), "");
  EXPECT_EQ(g_exit_code, zmo::kExitMissingRegistryValue);
  EXPECT_THAT(TraceTexts(),
              ElementsAre("Required Registry Value not found", "Missing Value = ProcessApplGUI"));
}

TEST_F(RequiredValueTest, MissingQrbSwitchReadsAsTrue) {
  SetConfigText("Other", "x");
  for (const char* name : {"ProcessQRBData", "processqrbdata"}) {
    EXPECT_EQ(zmo::getRequiredRegValue(name), "True") << name;
  }
  EXPECT_EQ(g_exit_code, -1);
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(RequiredValueTest, MissingKeyEndsWithNinetyNineWhateverTheName) {
  for (const char* name : {"ProcessStatiCPU", "ProcessQRBData"}) {
    g_exit_code = -1;
    EXPECT_EQ(zmo::getRequiredRegValue(name), "") << name;
    EXPECT_EQ(g_exit_code, zmo::kExitMissingRegistryValue) << name;
  }
  const char* missing_key =
      "Missing Key = HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmar\\Monitoring for Orvane";
  EXPECT_THAT(TraceTexts(), ElementsAre("Could not open registry key", missing_key,
                                        "Could not open registry key", missing_key));
}

TEST_F(RequiredValueTest, WithoutASeamTheProcessEnds) {
  zmo::ResetEnv();
  SetConfigText("Other", "x");
  EXPECT_EXIT(zmo::getRequiredRegValue("ProcessStatiWait"),
              ::testing::ExitedWithCode(zmo::kExitMissingRegistryValue), "");
}

}  // namespace
