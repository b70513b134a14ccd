// Archive names and the retention dates.
#include "zmoloader/archive.h"

#include <gtest/gtest.h>

#include <string>

#include "loader_test_env.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmo_test/scoped.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;

// Seconds of a local time under the test's zone.
std::time_t Local(int year, int month, int day, int hour, int minute) {
  std::tm tm = {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

class ArchiveTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    loaderState().archive_dir = archive_dir();
  }
  void Touch(const std::string& name) {
    ASSERT_EQ(zmo::WriteFileAtomic(archive_dir() + "/" + name, "x"), 0);
  }
};

TEST_F(ArchiveTest, DateLiteralOfEachKindLetter) {
  struct Case {
    int days;
    char letter;
    const char* text;
  };
  const Case cases[] = {
      {0, 'C', "2004-01-10"}, {0, 'c', "2004-01-10"}, {0, 'T', "01/10/2004"},
      {0, 'M', "2004-01-10"}, {0, 'O', "20040110"},   {0, 'S', "2004-01-10"},
      {0, 'X', "20040110"},   {-45, 'O', "20031126"}, {1, 'T', "01/11/2004"},
      {-10, 'X', "20031231"}, {366, 'X', "20050110"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(getDateForDb(c.days, zmo::dbKindFromVendor(std::string(1, c.letter).c_str())), c.text)
        << c.days << " " << c.letter;
  }
}

TEST_F(ArchiveTest, CalendarDaysAcrossDaylightSavingChanges) {
  struct Case {
    std::time_t now;
    int days;
    const char* text;
  };
  const Case cases[] = {
      // Half past midnight after the spring change: 24 hours back would land
      // two dates back, skipping 2004-03-28.
      {Local(2004, 3, 29, 0, 30), -1, "20040328"},
      {Local(2004, 3, 29, 0, 30), -2, "20040327"},
      // Half past eleven before the autumn change: 24 hours on would stay on
      // the same date.
      {Local(2004, 10, 30, 23, 30), 1, "20041031"},
      {Local(2004, 10, 31, 23, 30), 1, "20041101"},
  };
  for (const Case& c : cases) {
    clock().SetTime(c.now);
    EXPECT_EQ(getDateForDb(c.days, zmo::DbKind::kNone), c.text) << c.now << " " << c.days;
  }
}

TEST_F(ArchiveTest, SevenDaysBackOnTheTenthOfJanuary) {
  EXPECT_EQ(retentionDates(-7), (std::vector<std::string>{"20040103", "20040102", "20040101"}));
  EXPECT_EQ(retentionDates(0), (std::vector<std::string>{"20040110", "20040109", "20040108"}));
}

TEST_F(ArchiveTest, ArchiveKeepDaysAlwaysLooksBack) {
  struct Case {
    const char* text;
    int rc;
    int days;
  };
  const Case cases[] = {
      {"-7", 0, -7},   {"7", 0, -7},     {"+7", 0, -7}, {"0", 0, 0},
      {"-30", 0, -30}, {"", 1, 0},       {"-", 1, 0},   {"abc", 1, 0},
      {"7days", 1, 0}, {"123456", 1, 0}, {" 7", 1, 0},  {"--7", 1, 0},
  };
  for (const Case& c : cases) {
    int days = 0;
    EXPECT_EQ(parseArchiveKeepDays(c.text, &days), c.rc) << c.text;
    if (c.rc == 0) {
      EXPECT_EQ(days, c.days) << c.text;
    }
  }
}

TEST_F(ArchiveTest, StampIsTheLocalTimeToTheSecond) {
  EXPECT_EQ(getTimeStamp(), loader_test::kNowStamp);
  EXPECT_EQ(archiveStamp({"cpu", "lan", "dsk", "avl"}), loader_test::kNowStamp);
}

TEST_F(ArchiveTest, StampTakenByAnyPrefixGetsASuffix) {
  const std::string stamp = loader_test::kNowStamp;
  Touch("dsk_" + stamp + ".dat");
  EXPECT_EQ(archiveStamp({"cpu", "lan", "dsk", "avl"}), stamp + "_1");
  Touch("cpu_" + stamp + "_1.dat");
  EXPECT_EQ(archiveStamp({"cpu", "lan", "dsk", "avl"}), stamp + "_2");
  // Another program's prefix does not count.
  EXPECT_EQ(archiveStamp({"stati"}), stamp);
}

}  // namespace
