// The statistics schedule: the typed-time table, the dialog's checks, the
// six registry pieces for 0, 3, 15, 16 and 90 entries, loading by the
// collector's grammar, and the writer that stops at the first failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "data_fixture.h"
#include "zmo_test/config_store.h"
#include "zmoconfig/schedule.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using testing::ElementsAre;
using zmoconfig_test::DataTest;

// n entries, minute by minute from 00:00.
std::vector<std::string> Entries(int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", i / 60, i % 60);
    out.push_back(text);
  }
  return out;
}

std::string Joined(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& e : entries) text += e + " ";
  return text;
}

TEST(ScheduleTimeTest, TypedTimes) {
  struct Case {
    const char* typed;
    int result;
    const char* entry;
  };
  const Case cases[] = {
      {"7:05", 0, "07:05"},
      {" 07:05 ", 0, "07:05"},
      {"23:59", 0, "23:59"},
      {"0:00", 0, "00:00"},
      {"25:00", 1416, ""},
      // Seconds are dropped, never rounded up.
      {"19:30:45", 0, "19:30"},
      {"7:05:59", 0, "07:05"},
      {" 23:59:59 ", 0, "23:59"},
      {"00:00:00", 0, "00:00"},
      {"19:30:60", 1416, ""},
      {"19:30:4", 1416, ""},
      {"19:30:", 1416, ""},
      {"19:30:45:00", 1416, ""},
      {"24:00:00", 1416, ""},
      {"19:3x:45", 1416, ""},
      {"24:00", 1416, ""},
      {"12:60", 1416, ""},
      {"", 1416, ""},
      {"   ", 1416, ""},
      {"20260310", 1416, ""},
      {"2026-03-10", 1416, ""},
      {"7", 1416, ""},
      {"7:5", 1416, ""},
      {"07:05 08:00", 1416, ""},
      {"7:05 PM", 1416, ""},
      {"+7:05", 1416, ""},
  };
  for (const Case& c : cases) {
    std::string entry;
    EXPECT_EQ(ParseScheduleTime(c.typed, &entry), c.result) << '"' << c.typed << '"';
    EXPECT_EQ(entry, c.entry) << '"' << c.typed << '"';
  }
}

TEST(ScheduleTimeTest, DialogChecks) {
  std::string entry;
  EXPECT_EQ(CheckScheduleEntry("12:00", {"06:00", "18:00"}, &entry), 0);
  EXPECT_EQ(entry, "12:00");
  EXPECT_EQ(CheckScheduleEntry("6:00", {"06:00", "18:00"}, &entry), 1415);
  EXPECT_EQ(CheckScheduleEntry("x", {"06:00"}, &entry), 1416);
  EXPECT_EQ(CheckScheduleEntry("12:00", Entries(89), &entry), 0);
  EXPECT_EQ(CheckScheduleEntry("12:00", Entries(90), &entry), 1417) << "also when editing";
  EXPECT_EQ(CheckScheduleEntry("x", Entries(90), &entry), 1417) << "the count comes first";
}

TEST(SchedulePiecesTest, PiecesTable) {
  struct Case {
    int entries;
    std::array<size_t, 6> lengths;
  };
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0, 0}},   {3, {18, 0, 0, 0, 0, 0}},       {15, {90, 0, 0, 0, 0, 0}},
      {16, {90, 6, 0, 0, 0, 0}}, {90, {90, 90, 90, 90, 90, 90}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> entries = Entries(c.entries);
    const auto pieces = SchedulePieces(entries);
    std::string joined;
    for (size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(pieces[i].size(), c.lengths[i]) << c.entries << " entries, piece " << i + 1;
      joined += pieces[i];
    }
    EXPECT_EQ(joined, Joined(entries));
  }
  const auto three = SchedulePieces({"06:00", "12:30", "18:00"});
  EXPECT_EQ(three[0], "06:00 12:30 18:00 ");
}

class ScheduleStoreTest : public DataTest {
 protected:
  std::vector<std::string> Stored() {
    std::vector<std::string> values;
    for (const char* name : zmo::cfg::kStatiSchedulePieces) {
      values.push_back(zmo_test::ConfigText(name));
    }
    return values;
  }
};

TEST_F(ScheduleStoreTest, SaveWritesAllSixInOrder) {
  ASSERT_EQ(SaveSchedule({"18:00", "06:00", "12:00"}), 0);
  EXPECT_THAT(Stored(), ElementsAre("06:00 12:00 18:00 ", "", "", "", "", ""));
  ASSERT_EQ(SaveSchedule(Entries(16)), 0);
  EXPECT_EQ(Stored()[0], Joined(Entries(15)));
  EXPECT_EQ(Stored()[1], "00:15 ");
  ASSERT_EQ(SaveSchedule({}), 0);
  EXPECT_THAT(Stored(), ElementsAre("", "", "", "", "", ""));
}

TEST_F(ScheduleStoreTest, SaveRefusesWhatTheCollectorCouldNotRead) {
  EXPECT_EQ(SaveSchedule(Entries(91)), 1417);
  EXPECT_EQ(SaveSchedule({"7:05"}), 1416) << "only HH:MM is stored";
  EXPECT_EQ(SaveSchedule({"07:05", "bad"}), 1416);
  EXPECT_EQ(SaveSchedule({"07:05", "07:05"}), 1415);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kStatiSchedule), "<missing>");
}

TEST_F(ScheduleStoreTest, FailedWriteStopsAtTheFirstValueAndShows1453) {
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  EXPECT_EQ(SaveSchedule({"06:00"}), 1453);
  EXPECT_EQ(ui_.messages.size(), 1u) << "the five other values were not tried";
  EXPECT_THAT(ui_.status, ElementsAre(1453));
}

TEST_F(ScheduleStoreTest, LoadReadsTheGrammarAndNormalises) {
  zmo_test::PutConfigText(zmo::cfg::kStatiSchedule, "18:00 6:00  12:30 ");
  zmo_test::PutConfigText(zmo::cfg::kStatiSchedule2, "06:00");
  std::vector<std::string> entries;
  EXPECT_EQ(LoadScheduleEntries(&entries), 0);
  EXPECT_THAT(entries, ElementsAre("06:00", "12:30", "18:00"));
  EXPECT_EQ(ScheduleRowText("06:00"), "06:00 Scheduled run");

  // The grammar stops at a fault; the entries before it are shown.
  zmo_test::PutConfigText(zmo::cfg::kStatiSchedule2, "07:00 25:00 08:00");
  EXPECT_EQ(LoadScheduleEntries(&entries), 14);
  EXPECT_THAT(entries, ElementsAre("06:00", "07:00", "12:30", "18:00"));

  // Nothing stored: an empty list.
  for (const char* name : zmo::cfg::kStatiSchedulePieces) zmo_test::DeleteConfigValue(name);
  EXPECT_EQ(LoadScheduleEntries(&entries), 0);
  EXPECT_TRUE(entries.empty());
}

TEST_F(ScheduleStoreTest, SavedScheduleLoadsBack) {
  ASSERT_EQ(SaveSchedule(Entries(90)), 0);
  std::vector<std::string> entries;
  EXPECT_EQ(LoadScheduleEntries(&entries), 0);
  EXPECT_EQ(entries, Entries(90));
}

}  // namespace
