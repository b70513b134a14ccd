// The data source that names a PostgreSQL warehouse, and the names that go
// into SQL as they are. No database is needed.
#include <gtest/gtest.h>

#include <string>

#include "warehouse.h"

namespace {

using zmo::dbtools::IsWarehouseSource;
using zmo::dbtools::ParseWarehouseSource;
using zmo::dbtools::PlainSqlName;
using zmo::dbtools::WarehouseSource;

struct SourceCase {
  const char* source;
  bool ok;
  const char* socket_dir;
  const char* port;
  const char* database;
};

TEST(WarehouseSource, TakenApartFromTheRight) {
  const SourceCase kCases[] = {
      {"pg:/srv/wh/run:54320:r3klv", true, "/srv/wh/run", "54320", "r3klv"},
      {"pg:/srv/a:b/run:5432:r3klv", true, "/srv/a:b/run", "5432", "r3klv"},
      {"pg::5432:r3klv", true, "", "5432", "r3klv"},
      {"pg:/srv/wh/run::r3klv", true, "/srv/wh/run", "", "r3klv"},
      {"pg:::r3klv", true, "", "", "r3klv"},
      {"pg:/srv/wh/run:54320:", false, "", "", ""},
      {"pg:/srv/wh/run:54x20:r3klv", false, "", "", ""},
      {"pg:/srv/wh/run:543200:r3klv", false, "", "", ""},
      {"pg:r3klv", false, "", "", ""},
      {"pg::r3klv", false, "", "", ""},
      {"pg:", false, "", "", ""},
      {"WHSE", false, "", "", ""},
  };
  for (const SourceCase& c : kCases) {
    WarehouseSource s;
    std::string why;
    int rc = ParseWarehouseSource(c.source, &s, &why);
    EXPECT_EQ(rc == 0, c.ok) << c.source << ": " << why;
    if (rc != 0) {
      EXPECT_FALSE(why.empty()) << c.source;
      continue;
    }
    EXPECT_EQ(s.socket_dir, c.socket_dir) << c.source;
    EXPECT_EQ(s.port, c.port) << c.source;
    EXPECT_EQ(s.database, c.database) << c.source;
  }
}

TEST(WarehouseSource, OnlyThePrefixMakesAWarehouse) {
  EXPECT_TRUE(IsWarehouseSource("pg:/x:1:db"));
  EXPECT_TRUE(IsWarehouseSource("pg:"));
  EXPECT_FALSE(IsWarehouseSource("WHSE"));
  EXPECT_FALSE(IsWarehouseSource("PG:/x:1:db")) << "the prefix is matched as written";
  EXPECT_FALSE(IsWarehouseSource("mypg:/x:1:db"));
  EXPECT_FALSE(IsWarehouseSource(""));
}

TEST(PlainSqlName, LettersDigitsAndUnderscore) {
  for (const char* ok : {"s01002003004000153", "RFC_DEST_STR", "_x", "idle_CPU",
                         "a23456789012345678901234567890123456789012345678901234567890123"}) {
    EXPECT_TRUE(PlainSqlName(ok)) << ok;
  }
  for (const char* bad : {"", "1abc", "a b", "a;drop table t", "t\"x", "a-b", "r3klv..s01",
                          "a234567890123456789012345678901234567890123456789012345678901234"}) {
    EXPECT_FALSE(PlainSqlName(bad)) << bad;
  }
}

}  // namespace
