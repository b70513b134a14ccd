#include "common/field_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace {

// Fields of each type, as the layouts give them.
constexpr zmo::RecordField Text(int width) {
  return {"t", width, zmo::FieldType::kText, zmo::ColumnType::kVarchar, width, false};
}
constexpr zmo::RecordField Plain(int width) {
  return {"p", width, zmo::FieldType::kPlain, zmo::ColumnType::kVarchar, width, false};
}
constexpr zmo::RecordField Number(int width) {
  return {"n", width, zmo::FieldType::kNumber, zmo::ColumnType::kInteger, 0, false};
}
constexpr zmo::RecordField Figure() {
  return {"f", 8, zmo::FieldType::kFigure, zmo::ColumnType::kInteger, 0, false};
}

std::string Text(const zmo::RecordLine& line) { return std::string(line.text, line.len); }

// One field on a line of its own, with whether it was cut.
std::string OneField(zmo::DbKind kind, const zmo::RecordField& field, const std::string& text,
                     int* cut = nullptr) {
  zmo::RecordLine line;
  zmo::recordLineStart(&line, kind);
  zmo::recordPutText(&line, field, text.data(), static_cast<int>(text.size()));
  if (cut != nullptr) *cut = line.cut;
  return Text(line);
}

using FieldWriterTest = zmo_test::RuntimeTest;

TEST_F(FieldWriterTest, EachKindAppliesItsOwnRule) {
  const std::string long25(25, 'L');
  const std::string overlong(3000, 'x');
  // The buffer keeps two bytes for CR LF.
  const int room = zmo::kRecordLineMax - 2;
  struct Case {
    zmo::DbKind kind;
    zmo::RecordField field;
    std::string text;
    std::string written;
    int cut;
  };
  const Case cases[] = {
      // Oracle: padded on the right to the width, a longer text cut to it.
      {zmo::DbKind::kOracle, Text(20), "ABC", "ABC" + std::string(17, ' '), 0},
      {zmo::DbKind::kOracle, Plain(20), "42", "42" + std::string(18, ' '), 0},
      {zmo::DbKind::kOracle, Text(20), long25, std::string(20, 'L'), 1},
      {zmo::DbKind::kOracle, Plain(20), long25, std::string(20, 'L'), 1},
      {zmo::DbKind::kOracle, Text(3), "ABC", "ABC", 0},
      {zmo::DbKind::kOracle, Text(0), "", "", 0},
      {zmo::DbKind::kOracle, Text(1030), overlong, std::string(room, 'x'), 1},
      // Corva: text fields in double quotes, plain fields as they are.
      {zmo::DbKind::kCorva, Text(20), "ABC", "\"ABC\"", 0},
      {zmo::DbKind::kCorva, Plain(20), "42", "42", 0},
      {zmo::DbKind::kCorva, Text(20), "", "\"\"", 0},
      {zmo::DbKind::kCorva, Text(20), long25, "\"" + long25 + "\"", 0},
      {zmo::DbKind::kCorva, Text(20), overlong, "\"" + std::string(room - 2, 'x') + "\"", 1},
      // The other kinds write the text as it is, whatever the width.
      {zmo::DbKind::kMssql, Text(20), "ABC", "ABC", 0},
      {zmo::DbKind::kSybase, Text(20), long25, long25, 0},
      {zmo::DbKind::kTessel, Plain(20), "42", "42", 0},
      {zmo::DbKind::kTessel, Text(20), overlong, std::string(room, 'x'), 1},
      // No kind: plain.
      {zmo::DbKind::kNone, Text(20), "ABC", "ABC", 0},
  };
  for (const Case& c : cases) {
    int cut = -1;
    EXPECT_EQ(OneField(c.kind, c.field, c.text, &cut), c.written)
        << zmo::dbKindName(c.kind) << " width " << c.field.width << " text of " << c.text.size();
    EXPECT_EQ(cut, c.cut) << zmo::dbKindName(c.kind) << " text of " << c.text.size();
  }
}

TEST_F(FieldWriterTest, FieldsFollowEachOtherWithTheKindsSeparator) {
  const struct {
    zmo::DbKind kind;
    const char* line;
  } cases[] = {
      {zmo::DbKind::kOracle, "202403    a-7        5-3      \r\n"},
      {zmo::DbKind::kCorva, "202403,\"a-7\",       5,-3\r\n"},
      {zmo::DbKind::kMssql, "202403,a-7,       5,-3\r\n"},
  };
  for (const auto& c : cases) {
    zmo::RecordLine line;
    zmo::recordLineStart(&line, c.kind);
    zmo::recordPutString(&line, Plain(10), "202403");
    zmo::recordPutString(&line, Text(4), "a-7");
    zmo::recordPutNumber(&line, Number(8), 5);
    zmo::recordPutNumber(&line, Figure(), -3);
    ASSERT_TRUE(zmo::recordLineEnd(&line));
    EXPECT_EQ(Text(line), c.line) << zmo::dbKindName(c.kind);
  }
}

TEST_F(FieldWriterTest, NumbersRightAlignedFiguresLeftAligned) {
  struct Case {
    zmo::DbKind kind;
    zmo::RecordField field;
    long long value;
    std::string written;
    int clamped;
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle, Number(8), 42, "      42", 0},
      {zmo::DbKind::kOracle, Number(12), -42, "         -42", 0},
      {zmo::DbKind::kOracle, Figure(), 42, "42      ", 0},
      {zmo::DbKind::kOracle, Figure(), -9999999, "-9999999", 0},
      {zmo::DbKind::kOracle, Figure(), 100000000, "99999999", 1},
      {zmo::DbKind::kOracle, Figure(), -10000000, "-9999999", 1},
      {zmo::DbKind::kMssql, Figure(), 42, "42", 0},
      {zmo::DbKind::kMssql, Figure(), 123456789012LL, "123456789012", 0},
      {zmo::DbKind::kCorva, Figure(), -5, "-5", 0},
      {zmo::DbKind::kCorva, Number(8), 42, "      42", 0},
  };
  for (const Case& c : cases) {
    zmo::RecordLine line;
    zmo::recordLineStart(&line, c.kind);
    zmo::recordPutNumber(&line, c.field, c.value);
    EXPECT_EQ(Text(line), c.written) << zmo::dbKindName(c.kind) << " " << c.value;
    EXPECT_EQ(line.clamped, c.clamped) << zmo::dbKindName(c.kind) << " " << c.value;
  }
}

TEST_F(FieldWriterTest, AppendedPartBeginsWithItsSeparator) {
  for (zmo::DbKind kind : {zmo::DbKind::kOracle, zmo::DbKind::kTessel}) {
    zmo::RecordLine part;
    zmo::recordLineStart(&part, kind);
    part.fields = 1;
    zmo::recordPutString(&part, Text(3), "abcd");
    zmo::RecordLine line;
    zmo::recordLineStart(&line, kind);
    zmo::recordPutString(&line, Text(1), "B");
    zmo::recordLineAppend(&line, part);
    zmo::recordPutString(&line, Text(2), "x");
    EXPECT_EQ(Text(line), kind == zmo::DbKind::kOracle ? "Babcx " : "B,abcd,x");
    EXPECT_EQ(line.cut, kind == zmo::DbKind::kOracle ? 1 : 0);
    EXPECT_EQ(line.fields, 3);
  }
}

TEST_F(FieldWriterTest, WritesTheWholeLineOnce) {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* f = open_memstream(&data, &size);
  ASSERT_NE(f, nullptr);
  zmo::RecordLine line;
  zmo::recordLineStart(&line, zmo::DbKind::kMssql);
  zmo::recordPutString(&line, Text(4), "a");
  zmo::recordPutString(&line, Text(4), "b");
  ASSERT_TRUE(zmo::recordLineEnd(&line));
  EXPECT_EQ(zmo::recordLineWrite(f, line), 0);
  EXPECT_EQ(zmo::recordLineWrite(nullptr, line), -1);
  std::fclose(f);
  EXPECT_EQ(std::string(data, size), "a,b\r\n");
  std::free(data);
}

// The five kinds, for tables that go through each.
constexpr zmo::DbKind kEveryKind[] = {zmo::DbKind::kOracle, zmo::DbKind::kCorva,
                                      zmo::DbKind::kMssql, zmo::DbKind::kSybase,
                                      zmo::DbKind::kTessel};

// Numbers at the limits of the 8 and 12 wide columns: the Oracle kind
// keeps its columns and clamps, the comma-separated kinds write the whole
// number (a number right-aligned in at least its width, a figure as it is).
TEST_F(FieldWriterTest, NumbersAtTheLimitsInEachKind) {
  struct Case {
    zmo::RecordField field;
    long long value;
    const char* oracle;
    const char* others;
    int clamped;  // in the Oracle kind
  };
  const Case cases[] = {
      {Number(8), 99999999, "99999999", "99999999", 0},
      {Number(8), 100000000, "99999999", "100000000", 1},
      {Number(8), 123456789012LL, "99999999", "123456789012", 1},
      {Number(8), 299999999997LL, "99999999", "299999999997", 1},
      {Number(8), -9999999, "-9999999", "-9999999", 0},
      {Number(8), -10000000, "-9999999", "-10000000", 1},
      {Number(8), -2, "      -2", "      -2", 0},
      {Number(8), 0, "       0", "       0", 0},
      {Number(12), 999999999999LL, "999999999999", "999999999999", 0},
      {Number(12), 1000000000000LL, "999999999999", "1000000000000", 1},
      {Number(12), -99999999999LL, "-99999999999", "-99999999999", 0},
      {Number(12), -100000000000LL, "-99999999999", "-100000000000", 1},
      {Number(12), -2, "          -2", "          -2", 0},
      {Figure(), 99999999, "99999999", "99999999", 0},
      {Figure(), 100000000, "99999999", "100000000", 1},
      {Figure(), -9999999, "-9999999", "-9999999", 0},
      {Figure(), -10000000, "-9999999", "-10000000", 1},
      {Figure(), -2, "-2      ", "-2", 0},
  };
  for (zmo::DbKind kind : kEveryKind) {
    const bool oracle = kind == zmo::DbKind::kOracle;
    for (const Case& c : cases) {
      zmo::RecordLine line;
      zmo::recordLineStart(&line, kind);
      zmo::recordPutNumber(&line, c.field, c.value);
      EXPECT_EQ(Text(line), oracle ? c.oracle : c.others)
          << zmo::dbKindName(kind) << " width " << c.field.width << " value " << c.value;
      EXPECT_EQ(line.clamped, oracle ? c.clamped : 0) << zmo::dbKindName(kind) << " " << c.value;
    }
  }
}

// A CR, LF, NUL or TAB (any control byte) in a text is written as a blank,
// in every kind and in text and plain fields alike, so that the line stays
// one line.
TEST_F(FieldWriterTest, ControlBytesOfATextAreWrittenAsBlanks) {
  const std::string received("A\rB\nC\0D\tE\x7f\x1f", 11);
  const std::string blanked = "A B C D E  ";
  struct Case {
    zmo::DbKind kind;
    const char* text_field;
    const char* plain_field;
  };
  const std::string padded = blanked + std::string(9, ' ');
  const Case cases[] = {
      {zmo::DbKind::kOracle, padded.c_str(), padded.c_str()},
      {zmo::DbKind::kCorva, "\"A B C D E  \"", "A B C D E  "},
      {zmo::DbKind::kMssql, "A B C D E  ", "A B C D E  "},
      {zmo::DbKind::kSybase, "A B C D E  ", "A B C D E  "},
      {zmo::DbKind::kTessel, "A B C D E  ", "A B C D E  "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OneField(c.kind, Text(20), received), c.text_field) << zmo::dbKindName(c.kind);
    EXPECT_EQ(OneField(c.kind, Plain(20), received), c.plain_field) << zmo::dbKindName(c.kind);
  }
  // Other bytes, the Windows-1252 letters above 0x7F among them, stay.
  EXPECT_EQ(OneField(zmo::DbKind::kMssql, Text(20), "M\xfcller ~ \x80"), "M\xfcller ~ \x80");
}

}  // namespace
