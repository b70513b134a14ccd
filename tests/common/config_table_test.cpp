#include "common/config_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/registry_value.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using zmo::ConfigFound;
using zmo::ConfigLines;
using zmo::ConfigMissing;
using zmo::ConfigRead;
using zmo::ConfigRow;
using zmo::ConfigType;

const std::string K = zmo::cfg::kConfigKey;

// The reader's lines, caught without the trace log: a caller of its own
// hands the reader its writer.
std::vector<std::string> g_lines;
int Catch(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  g_lines.emplace_back(text);
  return n;
}

std::vector<int> g_exits;
void RecordExit(int code) { g_exits.push_back(code); }

constexpr zmo::ConfigReader kCatch = {.trace = Catch};

struct Stored {
  DWORD type;
  std::string bytes;
};
Stored Text(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }
Stored Dword() { return {REG_DWORD, std::string("\x07\x00\x00\x00", 4)}; }

struct Case {
  const char* what;
  ConfigRow row;
  std::optional<Stored> stored;  // nullopt: no such value
  int rc;
  std::string out;
  ConfigRead how;
  std::vector<std::string> lines;
};

std::string NotFound(const char* name, const std::string& tail = "") {
  return "could not query value <" + std::string(name) + "> for subkey <" + K + ">" + tail + "\n";
}
std::string NotString(const char* name, const std::string& tail = "") {
  return "value <" + std::string(name) + "> for subkey <" + K + "> has not string format" + tail +
         "\n";
}
std::string FoundLine(const std::string& value, const char* name) {
  return "found value <" + value + "> of <" + name + "> of subkey <" + K + ">\n";
}

constexpr ConfigRow kSleep = {.name = "Sleep",
                              .maxChars = 20,
                              .missing = ConfigMissing::kDefault,
                              .defaultText = "60",
                              .type = ConfigType::kTextOrMissing,
                              .lines = ConfigLines::kSettingDefault,
                              .unit = "seconds"};
constexpr ConfigRow kDelay = {.name = "Delay",
                              .maxChars = 20,
                              .missing = ConfigMissing::kDefault,
                              .defaultText = "15",
                              .type = ConfigType::kText,
                              .notStringCode = 3,
                              .lines = ConfigLines::kAssumingDefault};
constexpr ConfigRow kLast = {.name = "Last",
                             .maxChars = 8,
                             .missing = ConfigMissing::kDefault,
                             .type = ConfigType::kText,
                             .notStringCode = 3,
                             .lines = ConfigLines::kAssumingDefault,
                             .found = ConfigFound::kText};
constexpr ConfigRow kLogSize = {.name = "LogSize",
                                .maxChars = 127,
                                .missing = ConfigMissing::kDefault,
                                .defaultText = "1048576",
                                .type = ConfigType::kTextOrMissing,
                                .lines = ConfigLines::kUsingDefault,
                                .unit = "byte"};
constexpr ConfigRow kKeep = {.name = "Keep", .found = ConfigFound::kText, .number = true};
constexpr ConfigRow kNeeded = {.name = "Needed",
                               .maxChars = 5,
                               .missing = ConfigMissing::kFail,
                               .missingCode = 2,
                               .type = ConfigType::kText,
                               .notStringCode = 3,
                               .lines = ConfigLines::kStandard};
constexpr ConfigRow kCount = {.name = "Count",
                              .type = ConfigType::kText,
                              .lines = ConfigLines::kStandard,
                              .found = ConfigFound::kNumber};
constexpr ConfigRow kWait = {.name = "Wait",
                             .type = ConfigType::kText,
                             .lines = ConfigLines::kStandard,
                             .found = ConfigFound::kInt};
constexpr ConfigRow kQuiet = {.name = "Quiet", .missing = ConfigMissing::kDefault};
constexpr ConfigRow kRequired = zmo::requiredConfigRow("Required");
constexpr ConfigRow kPresent = zmo::quietConfigRow("Present");

const Case kCases[] = {
    {"text found, no line", kSleep, Text("30"), 0, "30", ConfigRead::kFound, {}},
    {"missing reads as the default, spelled in the line",
     kSleep,
     std::nullopt,
     0,
     "60",
     ConfigRead::kMissing,
     {NotFound("Sleep", " setting default to 60 seconds.")}},
    {"not text reads as the default",
     kSleep,
     Dword(),
     0,
     "60",
     ConfigRead::kNotString,
     {NotString("Sleep", " setting default to 60 seconds.")}},
    {"too long reads as missing",
     kSleep,
     Text(std::string(21, '9')),
     0,
     "60",
     ConfigRead::kMissing,
     {NotFound("Sleep", " setting default to 60 seconds.")}},
    {"assuming the default",
     kDelay,
     std::nullopt,
     0,
     "15",
     ConfigRead::kMissing,
     {NotFound("Delay"), "assuming default of <15>\n"}},
    {"not text fails with its code",
     kDelay,
     Dword(),
     3,
     "",
     ConfigRead::kNotString,
     {NotString("Delay")}},
    {"an empty default is spelled 0",
     kLast,
     std::nullopt,
     0,
     "",
     ConfigRead::kMissing,
     {NotFound("Last"), "assuming default of <0>\n"}},
    {"found text traced",
     kLast,
     Text("20040112"),
     0,
     "20040112",
     ConfigRead::kFound,
     {FoundLine("20040112", "Last")}},
    {"using the default with its unit",
     kLogSize,
     Dword(),
     0,
     "1048576",
     ConfigRead::kNotString,
     {NotString("LogSize"), "using default value of <1048576> byte\n"}},
    {"missing fails with its code",
     kNeeded,
     std::nullopt,
     2,
     "",
     ConfigRead::kMissing,
     {NotFound("Needed")}},
    {"longer than the row takes fails",
     kNeeded,
     Text("abcdef"),
     2,
     "",
     ConfigRead::kMissing,
     {NotFound("Needed")}},
    {"not text fails with the other code",
     kNeeded,
     Dword(),
     3,
     "",
     ConfigRead::kNotString,
     {NotString("Needed")}},
    {"bytes to the first NUL",
     kNeeded,
     Stored{REG_SZ, std::string("ab\0cdefgh", 9)},
     0,
     "ab",
     ConfigRead::kFound,
     {}},
    {"found number traced as a number",
     kCount,
     Text(" 99999999999x"),
     0,
     " 99999999999x",
     ConfigRead::kFound,
     {FoundLine("99999999999", "Count")}},
    {"found int traced clamped",
     kWait,
     Text("99999999999"),
     0,
     "99999999999",
     ConfigRead::kFound,
     {FoundLine("2147483647", "Wait")}},
    // A number stored from a file's line (zmosetval -v @file) or typed with
    // blanks reads without them.
    {"number without its blanks and line end",
     kKeep,
     Text(" \t-7 \r\n"),
     0,
     "-7",
     ConfigRead::kFound,
     {FoundLine("-7", "Keep")}},
    {"number keeps what lies inside",
     kKeep,
     Text("- 7\n"),
     0,
     "- 7",
     ConfigRead::kFound,
     {FoundLine("- 7", "Keep")}},
    {"quiet row of any type", kQuiet, Stored{REG_BINARY, "raw"}, 0, "raw", ConfigRead::kFound, {}},
    {"quiet row missing", kQuiet, std::nullopt, 0, "", ConfigRead::kMissing, {}},
    {"quiet row of a value that is there",
     kPresent,
     Stored{REG_BINARY, "on"},
     0,
     "on",
     ConfigRead::kFound,
     {}},
    {"quiet row of a value that is not there",
     kPresent,
     std::nullopt,
     1,
     "",
     ConfigRead::kMissing,
     {}},
    {"required row of any type",
     kRequired,
     Dword(),
     0,
     std::string("\x07", 1),
     ConfigRead::kFound,
     {}},
    {"required row missing ends the program",
     kRequired,
     std::nullopt,
     zmo::kExitMissingRegistryValue,
     "",
     ConfigRead::kMissing,
     {"Required Registry Value not found\n", "Missing Value = Required\n"}},
};

class ConfigRowTest : public zmo_test::RegistryTest, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    SetConfigText("Unrelated", "x");  // the key exists
    g_lines.clear();
    g_exits.clear();
  }
};

TEST_P(ConfigRowTest, ReadsAndTracesAsTheRowSays) {
  const Case& c = GetParam();
  if (c.stored) {
    SetConfigValue(c.row.name, c.stored->type, c.stored->bytes.data(),
                   static_cast<DWORD>(c.stored->bytes.size()));
  }
  HKEY key = OpenConfigKey();
  std::string out = "left over";
  ConfigRead how = ConfigRead::kFound;
  EXPECT_EQ(zmo::readConfigValue(key, c.row, kCatch, &out, &how), c.rc);
  EXPECT_EQ(out, c.out);
  EXPECT_EQ(how, c.how);
  EXPECT_THAT(g_lines, ElementsAreArray(c.lines));

  // The same read with the key opened for it alone, and without a writer.
  g_lines.clear();
  out = "left over";
  EXPECT_EQ(zmo::readConfigValue(c.row, zmo::ConfigReader{}, &out), c.rc);
  EXPECT_EQ(out, c.out);
  EXPECT_THAT(g_lines, IsEmpty());
  RegCloseKey(key);
  EXPECT_THAT(TraceTexts(), IsEmpty()) << "the reader writes only through its writer";
}

INSTANTIATE_TEST_SUITE_P(Rows, ConfigRowTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* p = info.param.what; *p != '\0'; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

class ConfigReaderTest : public zmo_test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    g_lines.clear();
    g_exits.clear();
  }
};

TEST_F(ConfigReaderTest, ExitRowEndsThroughTheCallersHook) {
  SetConfigText("Unrelated", "x");
  const zmo::ConfigReader reader = {.trace = Catch, .exit = RecordExit};
  std::string out;
  EXPECT_EQ(zmo::readConfigValue(zmo::requiredConfigRow("Gone"), reader, &out),
            zmo::kExitMissingRegistryValue);
  EXPECT_THAT(g_exits, ElementsAre(zmo::kExitMissingRegistryValue));
  SetConfigText("Here", "yes");
  EXPECT_EQ(zmo::readConfigValue(zmo::requiredConfigRow("Here"), reader, &out), 0);
  EXPECT_EQ(out, "yes");
  EXPECT_THAT(g_exits, ElementsAre(zmo::kExitMissingRegistryValue)) << "found ends nothing";
}

TEST_F(ConfigReaderTest, MissingKeyEndsTheReadWhateverTheRowWhenTheReaderSaysSo) {
  const zmo::ConfigReader reader = {
      .trace = Catch, .exit = RecordExit, .keyMissingLine = "No key here\n"};
  std::string out = "left over";
  ConfigRead how = ConfigRead::kFound;
  EXPECT_EQ(zmo::readConfigValue(kQuiet, reader, &out, &how), zmo::kExitMissingRegistryValue);
  EXPECT_EQ(out, "");
  EXPECT_EQ(how, ConfigRead::kMissing);
  EXPECT_THAT(g_exits, ElementsAre(zmo::kExitMissingRegistryValue));
  EXPECT_THAT(g_lines,
              ElementsAre("No key here\n", "Missing Key = HKEY_LOCAL_MACHINE\\" + K + "\n"));
}

TEST_F(ConfigReaderTest, WithoutTheKeyEveryValueIsMissingOtherwise) {
  std::string out;
  EXPECT_EQ(zmo::readConfigValue(kDelay, kCatch, &out), 0);
  EXPECT_EQ(out, "15");
  EXPECT_EQ(zmo::readConfigValue(kNeeded, kCatch, &out), 2);
  EXPECT_EQ(zmo::readConfigValue(nullptr, kSleep, kCatch, &out), 0);
  EXPECT_EQ(out, "60");
  EXPECT_THAT(g_lines,
              ElementsAre(NotFound("Delay"), "assuming default of <15>\n", NotFound("Needed"),
                          NotFound("Sleep", " setting default to 60 seconds.")));
}

TEST_F(ConfigReaderTest, DefaultLineOfARefusedValue) {
  zmo::traceConfigDefault(Catch, kLogSize);
  zmo::traceConfigDefault(Catch, kDelay);
  zmo::traceConfigDefault(Catch, kNeeded);  // a row without such a line
  zmo::traceConfigDefault(nullptr, kDelay);
  EXPECT_THAT(g_lines,
              ElementsAre("using default value of <1048576> byte\n", "assuming default of <15>\n"));
}

TEST(ConfigTable, RowsAreFoundByNameWithoutRegardToCase) {
  const ConfigRow table[] = {kSleep, kDelay, kRequired};
  EXPECT_EQ(zmo::findConfigRow(table, "Delay"), &table[1]);
  EXPECT_EQ(zmo::findConfigRow(table, "sLEEP"), &table[0]);
  EXPECT_EQ(zmo::findConfigRow(table, "REQUIRED"), &table[2]);
  EXPECT_EQ(zmo::findConfigRow(table, "Sleeper"), nullptr);
  EXPECT_EQ(zmo::findConfigRow({}, "Sleep"), nullptr);
}

TEST(ConfigTable, DefaultNumbers) {
  static_assert(zmo::configDefaultNumber("60") == 60);
  static_assert(zmo::configDefaultNumber("1048576") == 1048576);
  static_assert(zmo::configDefaultNumber("") == 0);
  static_assert(zmo::configDefaultNumber("15 minutes") == 15);
  EXPECT_EQ(zmo::configDefaultNumber("5"), 5);
}

}  // namespace
