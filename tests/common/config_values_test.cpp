#include "common/config_values.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/config_table.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string K = zmo::cfg::kConfigKey;

class ConfigValuesTest : public zmo_test::RegistryTest {
 protected:
  void SetDword(const char* name, DWORD value) {
    SetConfigValue(name, REG_DWORD, &value, sizeof value);
  }
};

TEST_F(ConfigValuesTest, MissingKeyIsTracedWithTheSwitchOffAndLeavesItOff) {
  zmo::SetTraceSwitch(0);
  {
    zmo::ConfigKey key;
    EXPECT_FALSE(key.Open());
    EXPECT_EQ(key.get(), nullptr);
  }
  EXPECT_EQ(zmo::TraceSwitch(), 0);
  zmo::writeTrace("not written\n");
  EXPECT_THAT(TraceTexts(), ElementsAre("could not open subkey <" + K + ">"));
}

TEST_F(ConfigValuesTest, KeyOpensForTheAccessAsked) {
  SetConfigText("Any", "x");
  zmo::ConfigKey reader;
  ASSERT_TRUE(reader.Open());
  zmo::ConfigKey writer;
  ASSERT_TRUE(writer.Open(KEY_SET_VALUE | KEY_QUERY_VALUE));
  ASSERT_EQ(
      RegSetValueExA(writer.get(), "Written", 0, REG_SZ, reinterpret_cast<const BYTE*>("yes"), 4),
      ERROR_SUCCESS);
  std::string text;
  EXPECT_EQ(zmo::readConfigText(reader.get(), "Written", 3, &text), zmo::ConfigRead::kFound);
  EXPECT_EQ(text, "yes");
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(ConfigValuesTest, TextUpToTheLengthTheReaderTakes) {
  SetConfigText("Five", "abcde");
  SetConfigText("Empty", "");
  SetConfigText("Long", std::string(5000, 'l'));
  SetConfigValue("NoNul", REG_SZ, "True", 4);
  SetConfigValue("Inner", REG_SZ, "ab\0cd", 5);
  SetDword("Number", 7);
  struct Case {
    const char* name;
    size_t max_chars;
    zmo::ConfigRead read;
    std::string text;
    LONG status;
  };
  const Case cases[] = {
      {"Five", 5, zmo::ConfigRead::kFound, "abcde", ERROR_SUCCESS},
      {"Five", 4, zmo::ConfigRead::kMissing, "", ERROR_MORE_DATA},
      {"Five", std::string::npos, zmo::ConfigRead::kFound, "abcde", ERROR_SUCCESS},
      {"Empty", 0, zmo::ConfigRead::kFound, "", ERROR_SUCCESS},
      {"Long", std::string::npos, zmo::ConfigRead::kFound, std::string(5000, 'l'), ERROR_SUCCESS},
      {"Long", 4999, zmo::ConfigRead::kMissing, "", ERROR_MORE_DATA},
      {"NoNul", 4, zmo::ConfigRead::kFound, "True", ERROR_SUCCESS},
      {"Inner", 2, zmo::ConfigRead::kFound, "ab", ERROR_SUCCESS},
      {"Number", 127, zmo::ConfigRead::kNotString, "", ERROR_SUCCESS},
      {"Absent", 127, zmo::ConfigRead::kMissing, "", ERROR_FILE_NOT_FOUND},
  };
  zmo::ConfigKey key;
  ASSERT_TRUE(key.Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " within " + std::to_string(c.max_chars));
    std::string text = "left over";
    LONG status = -1;
    EXPECT_EQ(zmo::readConfigText(key.get(), c.name, c.max_chars, &text, &status), c.read);
    EXPECT_EQ(text, c.text) << "nothing of an earlier read stays";
    EXPECT_EQ(status, c.status);
    text = "left over";
    EXPECT_EQ(zmo::readConfigText(key.get(), c.name, c.max_chars, &text), c.read)
        << "the status is optional";
  }
  EXPECT_THAT(TraceTexts(), IsEmpty()) << "the reader itself traces nothing";
}

// A value the caller cannot do without, as the collectors declare it.
zmo::ConfigRow Required(const char* name, size_t max_chars, int missing_code, int not_string_code) {
  return {.name = name,
          .maxChars = max_chars,
          .missing = zmo::ConfigMissing::kFail,
          .missingCode = missing_code,
          .type = zmo::ConfigType::kText,
          .notStringCode = not_string_code,
          .lines = zmo::ConfigLines::kStandard};
}

TEST_F(ConfigValuesTest, RequiredTextTracesTheStandardLineAndGivesTheCallersCode) {
  SetConfigText("Name", "value");
  SetDword("Number", 1);
  zmo::ConfigKey key;
  ASSERT_TRUE(key.Open());
  const zmo::ConfigReader reader = {.trace = zmo::writeTrace};
  std::string text;
  EXPECT_EQ(zmo::readConfigValue(key.get(), Required("Name", 5, 2, 3), reader, &text), 0);
  EXPECT_EQ(text, "value");
  EXPECT_EQ(zmo::readConfigValue(key.get(), Required("Absent", 5, 2, 3), reader, &text), 2);
  EXPECT_EQ(zmo::readConfigValue(key.get(), Required("Number", 5, 4, 9), reader, &text), 9);
  EXPECT_EQ(zmo::readConfigValue(key.get(), Required("Name", 4, 5, 6), reader, &text), 5)
      << "too long for the reader is missing";
  EXPECT_THAT(TraceTexts(),
              ElementsAre("could not query value <Absent> for subkey <" + K + ">",
                          "value <Number> for subkey <" + K + "> has not string format",
                          "could not query value <Name> for subkey <" + K + ">"));
}

TEST_F(ConfigValuesTest, SwitchIsOnOnlyForTheExactTextTrue) {
  SetConfigText("Exact", "True");
  SetConfigText("Lower", "true");
  SetConfigText("Blank", "True ");
  SetConfigText("Long", "True" + std::string(200, ' '));
  SetConfigText("Empty", "");
  SetDword("Number", 1);
  SetConfigValue("NoNul", REG_SZ, "True", 4);
  zmo::ConfigKey key;
  ASSERT_TRUE(key.Open());
  const struct {
    const char* name;
    bool on;
  } cases[] = {{"Exact", true},  {"Lower", false},  {"Blank", false}, {"Long", false},
               {"Empty", false}, {"Number", false}, {"NoNul", true},  {"Absent", false}};
  for (const auto& c : cases) EXPECT_EQ(zmo::configSwitchOn(key.get(), c.name), c.on) << c.name;
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(ConfigValuesTest, ValueExistsWhateverItsType) {
  SetConfigText("Text", "");
  SetDword("Number", 0);
  zmo::ConfigKey key;
  ASSERT_TRUE(key.Open());
  EXPECT_TRUE(zmo::configValueExists(key.get(), "Text"));
  EXPECT_TRUE(zmo::configValueExists(key.get(), "Number"));
  EXPECT_FALSE(zmo::configValueExists(key.get(), "Absent"));
}

TEST(ConfigDecimal, LeadingNumberSaturated) {
  const struct {
    const char* text;
    long long wide;
    int narrow;
  } cases[] = {
      {"", 0, 0},
      {"abc", 0, 0},
      {"42", 42, 42},
      {"  42", 42, 42},
      {"-7", -7, -7},
      {"+3", 3, 3},
      {"12abc", 12, 12},
      {"1 2", 1, 1},
      {"2147483647", INT_MAX, INT_MAX},
      {"2147483648", 2147483648LL, INT_MAX},
      {"-2147483649", -2147483649LL, INT_MIN},
      {"99999999999999999999999", LLONG_MAX, INT_MAX},
      {"-99999999999999999999999", LLONG_MIN, INT_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zmo::configDecimal64(c.text), c.wide) << c.text;
    EXPECT_EQ(zmo::configDecimal(c.text), c.narrow) << c.text;
  }
}

TEST_F(ConfigValuesTest, StandardLines) {
  zmo::traceValueNotFound("StatiSleepTime");
  zmo::traceValueNotString("StatiJob");
  zmo::traceValueNotFound("StatiDelayTime");
  zmo::traceConfigDefault(zmo::writeTrace, {.name = "StatiDelayTime",
                                            .missing = zmo::ConfigMissing::kDefault,
                                            .defaultText = "15",
                                            .lines = zmo::ConfigLines::kAssumingDefault});
  EXPECT_THAT(TraceTexts(),
              ElementsAre("could not query value <StatiSleepTime> for subkey <" + K + ">",
                          "value <StatiJob> for subkey <" + K + "> has not string format",
                          "could not query value <StatiDelayTime> for subkey <" + K + ">",
                          "assuming default of <15>"));
}

}  // namespace
