#include "common/time_stamps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "common/db_kind.h"
#include "zmo_test/time.h"

namespace {

std::string Put(zmo::DbKind kind, const char* date, const char* time) {
  char out[zmo::kTimeStampMax] = {};
  const int n = zmo::putTimeStamp(out, kind, date, time);
  return std::string(out, n);
}

using zmo_test::Tm;

std::string Format(zmo::DbKind kind, const std::tm& tm, int* rc = nullptr) {
  char out[zmo::kTimeStampMax];
  std::memset(out, 'x', sizeof out);
  const int n = zmo::formatTimeStamp(out, kind, tm);
  if (rc != nullptr) *rc = n;
  return out;
}

TEST(TimeStamps, EachKindHasItsForm) {
  struct Case {
    zmo::DbKind kind;
    const char* stamp;
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle, "20061207153005"},
      {zmo::DbKind::kCorva, "2006-12-07-15.30.05.000000"},
      {zmo::DbKind::kMssql, "12-07-2006 15:30:05"},
      {zmo::DbKind::kSybase, "12-07-2006 15:30:05"},
      {zmo::DbKind::kTessel, "2006-12-07 15:30:05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    EXPECT_EQ(Put(c.kind, "20061207", "153005"), c.stamp);
    EXPECT_EQ(zmo::timeStampLength(c.kind), static_cast<int>(std::strlen(c.stamp)));
    EXPECT_EQ(Format(c.kind, Tm(2006, 12, 7, 15, 30, 5)), c.stamp);
  }
}

TEST(TimeStamps, NoKindGivesNoStamp) {
  for (int number : {static_cast<int>(zmo::DbKind::kNone), 6, -1}) {
    SCOPED_TRACE(number);
    const auto kind = static_cast<zmo::DbKind>(number);
    EXPECT_EQ(zmo::timeStampLength(kind), 0);
    EXPECT_EQ(Put(kind, "20061207", "153005"), "");
    int rc = 0;
    EXPECT_EQ(Format(kind, Tm(2006, 12, 7, 15, 30, 5), &rc), "");
    EXPECT_EQ(rc, -1);
  }
}

// The characters are moved, not read: a stamp of blanks or letters keeps
// the form's length, and only the 14 characters given are read.
TEST(TimeStamps, CharactersAreMovedAsTheyAre) {
  EXPECT_EQ(Put(zmo::DbKind::kOracle, "        ", "      "), std::string(14, ' '));
  EXPECT_EQ(Put(zmo::DbKind::kCorva, "YYYYMMDD", "hhmmss"), "YYYY-MM-DD-hh.mm.ss.000000");
  EXPECT_EQ(Put(zmo::DbKind::kMssql, "ABCDEFGH", "ijklmn"), "EF-GH-ABCD ij:kl:mn");
  const char longer_date[] = "20240229XX";
  const char longer_time[] = "235959YY";
  EXPECT_EQ(Put(zmo::DbKind::kTessel, longer_date, longer_time), "2024-02-29 23:59:59");
}

// The broken-down form writes what the printf formats of each kind write,
// for every field at its limits.
TEST(TimeStamps, BrokenDownTimeMatchesThePrintfForms) {
  const std::tm times[] = {Tm(2006, 12, 7, 15, 30, 5), Tm(0, 1, 1, 0, 0, 0),
                           Tm(9999, 12, 31, 23, 59, 59), Tm(1999, 9, 9, 9, 9, 9),
                           Tm(2024, 2, 29, 12, 0, 1)};
  for (const std::tm& tm : times) {
    const int y = tm.tm_year + 1900, mo = tm.tm_mon + 1;
    char want[64];
    std::snprintf(want, sizeof want, "%.4i%.2i%.2i%.2i%.2i%.2i", y, mo, tm.tm_mday, tm.tm_hour,
                  tm.tm_min, tm.tm_sec);
    EXPECT_EQ(Format(zmo::DbKind::kOracle, tm), want);
    std::snprintf(want, sizeof want, "%.4i-%.2i-%.2i-%.2i.%.2i.%.2i.000000", y, mo, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    EXPECT_EQ(Format(zmo::DbKind::kCorva, tm), want);
    std::snprintf(want, sizeof want, "%.2i-%.2i-%.4i %.2i:%.2i:%.2i", mo, tm.tm_mday, y, tm.tm_hour,
                  tm.tm_min, tm.tm_sec);
    EXPECT_EQ(Format(zmo::DbKind::kMssql, tm), want);
    EXPECT_EQ(Format(zmo::DbKind::kSybase, tm), want);
    std::snprintf(want, sizeof want, "%.4i-%.2i-%.2i %.2i:%.2i:%.2i", y, mo, tm.tm_mday, tm.tm_hour,
                  tm.tm_min, tm.tm_sec);
    EXPECT_EQ(Format(zmo::DbKind::kTessel, tm), want);
  }
}

// A field that its digits cannot hold gives no stamp rather than a longer
// one that would shift the columns after it.
TEST(TimeStamps, FieldsBeyondTheirDigitsGiveNoStamp) {
  const std::tm times[] = {Tm(10000, 1, 1, 0, 0, 0),  Tm(-1, 1, 1, 0, 0, 0),
                           Tm(2006, 100, 1, 0, 0, 0), Tm(2006, -1, 1, 0, 0, 0),
                           Tm(2006, 1, -1, 0, 0, 0),  Tm(2006, 1, 1, 100, 0, 0),
                           Tm(2006, 1, 1, 0, -5, 0),  Tm(2006, 1, 1, 0, 0, 100)};
  for (const std::tm& tm : times) {
    int rc = 0;
    EXPECT_EQ(Format(zmo::DbKind::kOracle, tm, &rc), "");
    EXPECT_EQ(rc, -1);
  }
}

}  // namespace
