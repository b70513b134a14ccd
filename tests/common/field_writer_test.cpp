#include "common/field_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace {

class FieldWriterTest : public zmo_test::RuntimeTest {
 protected:
  // What writeField puts into a file for one field.
  std::string Written(int width, int quote, const std::string& text) {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* f = open_memstream(&data, &size);
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(zmo::writeField(f, width, quote, "%s", text.c_str()), 0);
    std::fclose(f);
    std::string out(data, size);
    std::free(data);
    return out;
  }
};

TEST_F(FieldWriterTest, EachKindAppliesItsOwnRule) {
  const std::string long25(25, 'L');
  const std::string overlong(3000, 'x');
  const std::string cut(zmo::kFieldMax - 1, 'x');
  struct Case {
    int kind;
    int width;
    int quote;
    std::string text;
    std::string written;
  };
  const Case cases[] = {
      // Oracle: padded on the right to the width, never cut.
      {zmo::kDbOracle, 20, 1, "ABC", "ABC" + std::string(17, ' ')},
      {zmo::kDbOracle, 20, 0, "42", "42" + std::string(18, ' ')},
      {zmo::kDbOracle, 20, 1, long25, long25},
      {zmo::kDbOracle, 3, 1, "ABC", "ABC"},
      {zmo::kDbOracle, 0, 1, "", ""},
      {zmo::kDbOracle, 1030, 1, overlong, cut + std::string(7, ' ')},
      // Corva: text fields in double quotes, numbers and times plain.
      {zmo::kDbCorva, 20, 1, "ABC", "\"ABC\""},
      {zmo::kDbCorva, 20, 0, "42", "42"},
      {zmo::kDbCorva, 20, 1, "", "\"\""},
      {zmo::kDbCorva, 20, 1, overlong, "\"" + cut + "\""},
      // The other kinds write the text as it is, whatever the width.
      {zmo::kDbMssql, 20, 1, "ABC", "ABC"},
      {zmo::kDbSybase, 20, 1, "ABC", "ABC"},
      {zmo::kDbTessel, 20, 0, "42", "42"},
      {zmo::kDbTessel, 20, 1, overlong, cut},
      // No kind chosen yet: plain.
      {zmo::kDbNone, 20, 1, "ABC", "ABC"},
  };
  for (const Case& c : cases) {
    zmo::setDatabaseKind(c.kind);
    EXPECT_EQ(Written(c.width, c.quote, c.text), c.written)
        << "kind " << c.kind << " width " << c.width << " quote " << c.quote << " text of "
        << c.text.size();
  }
}

TEST_F(FieldWriterTest, FormatsItsValuesLikePrintf) {
  zmo::setDatabaseKind(zmo::kDbOracle);
  char* data = nullptr;
  size_t size = 0;
  std::FILE* f = open_memstream(&data, &size);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(zmo::writeField(f, 10, 0, "%.4i%.2i", 2024, 3), 0);
  EXPECT_EQ(zmo::writeField(f, 4, 1, "%s-%d", "a", 7), 0);
  std::fclose(f);
  EXPECT_EQ(std::string(data, size), "202403    a-7 ");
  std::free(data);
}

TEST_F(FieldWriterTest, KindFromTheWholeNameCaseSensitive) {
  struct Case {
    const char* text;
    int kind;
  };
  const Case cases[] = {
      {"Oracle", zmo::kDbOracle}, {"Corva", zmo::kDbCorva},   {"MSSQL", zmo::kDbMssql},
      {"Sybase", zmo::kDbSybase}, {"Tessel", zmo::kDbTessel}, {"oracle", zmo::kDbNone},
      {"ORACLE", zmo::kDbNone},   {"Oracle ", zmo::kDbNone},  {"Ora", zmo::kDbNone},
      {"", zmo::kDbNone},         {nullptr, zmo::kDbNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zmo::dbKindFromName(c.text), c.kind) << (c.text ? c.text : "(null)");
  }
}

TEST_F(FieldWriterTest, KindSetsTheTwoFlags) {
  struct Case {
    int kind;
    int stored;
    int oracle;
    int corva;
  };
  const Case cases[] = {{1, 1, 1, 0}, {2, 2, 0, 1}, {3, 3, 0, 0}, {4, 4, 0, 0},
                        {5, 5, 0, 0}, {0, 0, 0, 0}, {6, 0, 0, 0}, {-1, 0, 0, 0}};
  for (const Case& c : cases) {
    zmo::setDatabaseKind(c.kind);
    EXPECT_EQ(zmo::DatabaseKind(), c.stored) << c.kind;
    EXPECT_EQ(zmo::FieldOracle(), c.oracle) << c.kind;
    EXPECT_EQ(zmo::FieldCorva(), c.corva) << c.kind;
  }
}

}  // namespace
