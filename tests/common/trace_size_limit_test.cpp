#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/trace_log.h"
#include "test_support.h"

namespace {

constexpr const char* kSubkey = "SOFTWARE\\Velmar\\Monitoring for Orvane";
const std::string kDefaultLine = "using default value of <1048576> byte";

std::string Unexpected(const std::string& text) {
  return "unexpected subkey value <" + text + "> for entry <StatiLogSize> of subkey <" + kSubkey +
         ">";
}

class TraceSizeLimitTest : public zmo_test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    SetConfigText("Other", "x");  // the key exists
  }
  // Runs the rule on a fresh log whose limit was 777, and returns its lines.
  std::vector<std::string> Apply() {
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    zmo::writeTrace("start\n");
    zmo::SetTraceSizeLimit(777);
    HKEY key = OpenConfigKey();
    EXPECT_EQ(zmo::applyTraceSizeLimit(key, "StatiLogSize"), 0);
    RegCloseKey(key);
    std::vector<std::string> texts = TraceTexts();
    if (!texts.empty()) texts.erase(texts.begin());
    return texts;
  }
};

TEST_F(TraceSizeLimitTest, TextValuesOfAtLeast512SetTheLimit) {
  struct Case {
    std::string value;
    int limit;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {"512", 512, {"log file max size set to <512> bytes"}},
      {"2048kb", 2048, {"log file max size set to <2048> bytes"}},
      {" 4096", 4096, {"log file max size set to <4096> bytes"}},
      {"99999999999", INT_MAX, {"log file max size set to <2147483647> bytes"}},
      {"511", zmo::kDefaultTraceSizeLimit, {Unexpected("511"), kDefaultLine}},
      {"abc", zmo::kDefaultTraceSizeLimit, {Unexpected("abc"), kDefaultLine}},
      {"", zmo::kDefaultTraceSizeLimit, {Unexpected(""), kDefaultLine}},
      {"-600", zmo::kDefaultTraceSizeLimit, {Unexpected("-600"), kDefaultLine}},
  };
  for (const Case& c : cases) {
    SetConfigText("StatiLogSize", c.value);
    EXPECT_EQ(Apply(), c.trace) << c.value;
    EXPECT_EQ(zmo::TraceSizeLimit(), c.limit) << c.value;
  }
}

TEST_F(TraceSizeLimitTest, UnreadableValuesKeepTheDefault) {
  const std::string could_not =
      std::string("could not query value <StatiLogSize> for subkey <") + kSubkey + ">";
  const std::string not_string =
      std::string("value <StatiLogSize> for subkey <") + kSubkey + "> has not string format";
  EXPECT_EQ(Apply(), (std::vector<std::string>{could_not, kDefaultLine}));
  EXPECT_EQ(zmo::TraceSizeLimit(), zmo::kDefaultTraceSizeLimit);

  DWORD number = 4096;
  SetConfigValue("StatiLogSize", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(Apply(), (std::vector<std::string>{not_string, kDefaultLine}));
  EXPECT_EQ(zmo::TraceSizeLimit(), zmo::kDefaultTraceSizeLimit);

  // More than the 128 bytes the rule reads.
  SetConfigText("StatiLogSize", std::string(200, '7'));
  EXPECT_EQ(Apply(), (std::vector<std::string>{could_not, kDefaultLine}));
  EXPECT_EQ(zmo::TraceSizeLimit(), zmo::kDefaultTraceSizeLimit);

  // A stored text without its NUL is still read as far as it goes.
  SetConfigValue("StatiLogSize", REG_SZ, "1024", 4);
  EXPECT_EQ(Apply(), (std::vector<std::string>{"log file max size set to <1024> bytes"}));
}

}  // namespace
