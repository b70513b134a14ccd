#include "common/db_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "common/db_tools.h"
#include "test_support.h"

namespace {

using zmo::DbKind;

TEST(DbKind, KindFromTheWholeNameCaseSensitive) {
  struct Case {
    const char* text;
    DbKind kind;
  };
  const Case cases[] = {
      {"Oracle", DbKind::kOracle}, {"Corva", DbKind::kCorva},   {"MSSQL", DbKind::kMssql},
      {"Sybase", DbKind::kSybase}, {"Tessel", DbKind::kTessel}, {"oracle", DbKind::kNone},
      {"ORACLE", DbKind::kNone},   {"Oracle ", DbKind::kNone},  {"Ora", DbKind::kNone},
      {"", DbKind::kNone},         {nullptr, DbKind::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zmo::dbKindFromName(c.text), c.kind) << (c.text ? c.text : "(null)");
  }
}

TEST(DbKind, UpperAndLowerCaseNames) {
  struct Case {
    const char* text;
    DbKind upper;
    DbKind lower;
  };
  const Case cases[] = {
      {"ORACLE", DbKind::kOracle, DbKind::kNone}, {"oracle", DbKind::kNone, DbKind::kOracle},
      {"MSSQL", DbKind::kMssql, DbKind::kNone},   {"mssql", DbKind::kNone, DbKind::kMssql},
      {"SYBASE", DbKind::kSybase, DbKind::kNone}, {"tessel", DbKind::kNone, DbKind::kTessel},
      {"CORVA", DbKind::kCorva, DbKind::kNone},   {"Corva", DbKind::kNone, DbKind::kNone},
      {"CORV", DbKind::kNone, DbKind::kNone},     {"", DbKind::kNone, DbKind::kNone},
      {nullptr, DbKind::kNone, DbKind::kNone},
  };
  for (const Case& c : cases) {
    const char* shown = c.text ? c.text : "(null)";
    EXPECT_EQ(zmo::dbKindFromUpperName(c.text), c.upper) << shown;
    EXPECT_EQ(zmo::dbKindFromLowerName(c.text), c.lower) << shown;
  }
}

TEST(DbKind, VendorByItsFirstLetterInEitherCase) {
  struct Case {
    const char* text;
    DbKind kind;
  };
  const Case cases[] = {
      {"CORVA", DbKind::kCorva},   {"c", DbKind::kCorva},  {"Tessel", DbKind::kTessel},
      {"mssql", DbKind::kMssql},   {"O", DbKind::kOracle}, {"sybase", DbKind::kSybase},
      {"Informix", DbKind::kNone}, {"", DbKind::kNone},    {"9", DbKind::kNone},
      {nullptr, DbKind::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zmo::dbKindFromVendor(c.text), c.kind) << (c.text ? c.text : "(null)");
  }
}

TEST(DbKind, OneRowPerKindInKindOrder) {
  const char* names[] = {"Oracle", "Corva", "MSSQL", "Sybase", "Tessel"};
  const char letters[] = {'O', 'C', 'M', 'S', 'T'};
  for (int i = 0; i < zmo::kDbKindCount; ++i) {
    const DbKind kind = static_cast<DbKind>(i + 1);
    const zmo::DbKindInfo* row = zmo::dbKindInfo(kind);
    ASSERT_NE(row, nullptr) << i;
    EXPECT_EQ(row->kind, kind);
    EXPECT_STREQ(row->name, names[i]);
    EXPECT_STREQ(zmo::dbKindName(kind), names[i]);
    EXPECT_EQ(row->letter, letters[i]);
    EXPECT_EQ(row->fixedWidth, kind == DbKind::kOracle) << names[i];
    EXPECT_EQ(row->quotedText, kind == DbKind::kCorva) << names[i];
    EXPECT_EQ(zmo::dbKindFromName(row->name), kind);
  }
  EXPECT_EQ(zmo::dbKindInfo(DbKind::kNone), nullptr);
  EXPECT_EQ(zmo::dbKindInfo(static_cast<DbKind>(6)), nullptr);
  EXPECT_STREQ(zmo::dbKindName(DbKind::kNone), "");
}

TEST(DbKind, ClientToolOfEachKind) {
  struct Case {
    DbKind kind;
    const char* version;
    int rc;
    const char* tool;
  };
  const Case cases[] = {
      {DbKind::kOracle, "73", 0, "sqlldr73"},
      {DbKind::kOracle, "80", 0, "sqlldr80"},
      {DbKind::kOracle, "81", 0, "sqlldr"},
      {DbKind::kOracle, "9", 1, ""},
      {DbKind::kOracle, nullptr, 1, ""},
      {DbKind::kCorva, nullptr, 0, "corvacmd"},
      {DbKind::kMssql, "", 0, "isql"},
      {DbKind::kSybase, "73", 0, "isql"},
      {DbKind::kTessel, nullptr, 0, "tesseledit300"},
      {DbKind::kNone, "81", 1, ""},
  };
  for (const Case& c : cases) {
    int tool = -1;
    EXPECT_EQ(zmo::dbKindClientTool(c.kind, c.version, &tool), c.rc) << zmo::dbKindName(c.kind);
    EXPECT_STREQ(c.rc == 0 ? zmo::dbToolName(tool) : "", c.tool) << zmo::dbKindName(c.kind);
  }
}

class RunKindTest : public zmo_test::RuntimeTest {};

TEST_F(RunKindTest, KindOutsideTheTableIsKeptAsNone) {
  const struct {
    int number;
    DbKind stored;
  } cases[] = {{1, DbKind::kOracle}, {2, DbKind::kCorva}, {3, DbKind::kMssql}, {4, DbKind::kSybase},
               {5, DbKind::kTessel}, {0, DbKind::kNone},  {6, DbKind::kNone},  {-1, DbKind::kNone}};
  for (const auto& c : cases) {
    zmo::setDatabaseKind(static_cast<DbKind>(c.number));
    EXPECT_EQ(zmo::DatabaseKind(), c.stored) << c.number;
  }
}

}  // namespace
