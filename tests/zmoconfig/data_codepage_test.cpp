// The one conversion between Windows-1252 bytes and Unicode text.
#include <gtest/gtest.h>

#include <string>

#include "zmoconfig/codepage.h"

using namespace zmo::config;

namespace {

TEST(CodepageTest, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(CodepageTest, LatinOneOutsideTheTable) {
  for (int b = 0; b < 256; ++b) {
    if (b >= 0x80 && b <= 0x9F) continue;
    const std::u16string u = Cp1252ToUtf16(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(u.size(), 1u);
    EXPECT_EQ(static_cast<int>(u[0]), b);
  }
}

TEST(CodepageTest, TheThirtyTwoBytesOfTheirOwn) {
  const char16_t expected[32] = {
      u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
      u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
      u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
      u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178'};
  for (int i = 0; i < 32; ++i) {
    const std::u16string u = Cp1252ToUtf16(std::string(1, static_cast<char>(0x80 + i)));
    ASSERT_EQ(u.size(), 1u);
    EXPECT_EQ(u[0], expected[i]) << "byte 0x" << std::hex << 0x80 + i;
  }
}

TEST(CodepageTest, Utf8Bytes) {
  EXPECT_EQ(Cp1252ToUtf8("Gr\xFC\xDF \x80 \x99"), "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xE2\x84\xA2");
  EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xE2\x84\xA2"), "Gr\xFC\xDF \x80 \x99");
}

TEST(CodepageTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"a\u0100b\u4E2Dc"), "a?b?c");
  EXPECT_EQ(Utf16ToCp1252(u"x\U0001F600y"), "x?y");  // one character, two units
  EXPECT_EQ(Utf8ToCp1252("x\xF0\x9F\x98\x80y"), "x?y");
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");
}

TEST(CodepageTest, MalformedUtf8DoesNotReadPastTheEnd) {
  EXPECT_EQ(Utf8ToCp1252("ab\xC3"), "ab?");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");
  EXPECT_EQ(Utf8ToCp1252("\xFF"
                         "a"),
            "?a");
  EXPECT_EQ(Utf8ToCp1252("\xC3"
                         "a"),
            "?a");
}

}  // namespace
