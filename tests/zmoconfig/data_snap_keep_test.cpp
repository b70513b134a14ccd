// Snapshot weekdays and interval, and the retention period with its minus
// sign: the mask, interval and retention tables and their registry writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "data_fixture.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/snap_keep.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmoconfig_test::DataTest;

constexpr bool T = true, F = false;

TEST(SnapDaysTest, MaskTable) {
  struct Case {
    const char* stored;
    int result;
    WeekDays days;  // Monday .. Sunday
  };
  const Case cases[] = {
      {"2", 0, {F, T, F, F, F, F, F}},  {"127", 0, {T, T, T, T, T, T, T}},
      {"0", 0, {F, F, F, F, F, F, F}},  {"6", 0, {F, T, T, F, F, F, F}},
      {"69", 0, {T, F, T, F, F, F, T}}, {"", kSnapDaysMissing, {F, F, F, F, F, F, F}},
      {"128", kSnapDaysInvalid, {}},    {"-1", kSnapDaysInvalid, {}},
      {"abc", kSnapDaysInvalid, {}},    {"2.5", kSnapDaysInvalid, {}},
      {"0002", kSnapDaysInvalid, {}},
  };
  for (const Case& c : cases) {
    WeekDays days;
    days.fill(true);  // ticked from before
    EXPECT_EQ(SnapDaysShown(c.stored, &days), c.result) << c.stored;
    EXPECT_EQ(days, c.days) << c.stored;
  }
  EXPECT_EQ(SnapDaysText({T, F, T, F, F, F, T}), "69");
  EXPECT_EQ(SnapDaysText({F, F, F, F, F, F, F}), "0");
  EXPECT_EQ(SnapDaysText({T, T, T, T, T, T, T}), "127");
}

TEST(SnapIntervalTest, IntervalTable) {
  struct Case {
    const char* typed;
    int result;
    const char* seconds;
  };
  const Case cases[] = {
      {"1800", 0, "1800"}, {"1", 0, "1"},       {"12.6", 0, "13"},  {"0012", 0, "12"},
      {" 60 ", 0, "60"},   {"0.5", 0, "1"},     {"1801", 1413, ""}, {"0", 1414, ""},
      {"0.4", 1414, ""},   {"", 1414, ""},      {"abc", 1414, ""},  {"-5", 1413, ""},
      {"1e3", 0, "1000"},  {"1e300", 1413, ""},
  };
  for (const Case& c : cases) {
    std::string seconds;
    EXPECT_EQ(CheckSnapInterval(c.typed, &seconds), c.result) << c.typed;
    EXPECT_EQ(seconds, c.seconds) << c.typed;
  }
}

TEST(RetentionTest, RetentionTable) {
  struct Case {
    const char* typed;
    int result;
    const char* value;
  };
  const Case cases[] = {
      {"15", 0, "-15"},  {"365", 0, "-365"}, {"030", 0, "-30"}, {"0045", 0, "-45"},
      {"14", 1419, ""},  {"366", 1419, ""},  {"3.5", 1418, ""}, {"-30", 1418, ""},
      {" 30", 1418, ""}, {"abc", 1420, ""},  {"", 1420, ""},    {"99999", 1419, ""},
  };
  for (const Case& c : cases) {
    std::string value;
    EXPECT_EQ(CheckRetention(c.typed, &value), c.result) << c.typed;
    EXPECT_EQ(value, c.value) << c.typed;
  }
  struct Shown {
    const char* stored;
    int result;
    const char* days;
  };
  const Shown shown[] = {
      {"-45", 0, "45"},
      {"45", 0, "45"},
      {"-", 0, ""},
      {"", kRetentionMissing, "kept"},
  };
  for (const Shown& s : shown) {
    std::string days = "kept";
    EXPECT_EQ(RetentionShown(s.stored, &days), s.result) << s.stored;
    EXPECT_EQ(days, s.days) << s.stored;
  }
}

class SnapKeepStoreTest : public DataTest {};

TEST_F(SnapKeepStoreTest, SavesWriteTheValues) {
  ASSERT_EQ(SaveSnapConfig("12.6", {T, F, T, F, F, F, T}), 0);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapSleepTime), "13");
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapRunDays), "69");
  EXPECT_EQ(SaveSnapConfig("0", {T, T, T, T, T, T, T}), 1414);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kSnapRunDays), "69") << "a refusal writes nothing";
  ASSERT_EQ(SaveRetention("030"), 0);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kDetailKeepDays), "-30");
  EXPECT_EQ(SaveRetention("14"), 1419);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kDetailKeepDays), "-30");
  EXPECT_TRUE(ui_.status.empty());
}

TEST_F(SnapKeepStoreTest, FailedWritesAreReportedAndStopAtTheFirst) {
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  EXPECT_EQ(SaveSnapConfig("60", {T, F, F, F, F, F, F}), 1453);
  EXPECT_EQ(ui_.messages.size(), 1u) << "SnapRunDays was not tried";
  EXPECT_EQ(SaveRetention("30"), 1453);
  EXPECT_THAT(ui_.status, ElementsAre(1453, 1453));
}

}  // namespace
