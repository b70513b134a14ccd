// The field readers and unit conversions of the record writer, and what
// they give in a record: seconds half up, kilobytes with 0.55, the sums of
// database and load times, the task-type map, packed signs and nibbles.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "statrec_test_util.h"

using namespace zmo::stati;

namespace {

using statrec_test::StandardLine;

std::string Hex(const std::string& bytes) {
  char out[64];
  statiBytesToHex(out, reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<int>(bytes.size()));
  return out;
}

std::string Dec(const std::string& bytes, int decimals = 0) {
  char out[64];
  statiPackedToDec(out, reinterpret_cast<const unsigned char*>(bytes.data()),
                   static_cast<int>(bytes.size()), decimals);
  return out;
}

std::int64_t Value(const std::string& bytes) {
  return statiPackedValue(reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<int>(bytes.size()));
}

TEST(StatrecConvert, MillisecondsToSecondsHalfUp) {
  struct Case {
    std::int64_t ms, s;
  };
  const Case cases[] = {{0, 0},
                        {499, 0},
                        {500, 1},
                        {1499, 1},
                        {1500, 2},
                        {2500, 3},
                        {999999, 1000},
                        {-499, 0},
                        {-1499, 0},
                        {-1500, -1},
                        {-2501, -2},
                        {999999999999999LL, 1000000000000LL},
                        {INT64_MAX, INT64_MAX / 1000 + 1}};
  for (const Case& c : cases) EXPECT_EQ(statiMillisToSeconds(c.ms), c.s) << c.ms;
}

TEST(StatrecConvert, BytesToKilobytesWithPointFiftyFive) {
  struct Case {
    std::int64_t bytes, kb;
  };
  const Case cases[] = {{0, 0},    {460, 0},   {461, 1},    {1024, 1},
                        {1484, 1}, {1485, 2},  {55480, 54}, {1836008, 1793},
                        {-563, 0}, {-1000, 0}, {-1024, 0},  {-2000, -1}};
  for (const Case& c : cases) EXPECT_EQ(statiBytesToKilobytes(c.bytes), c.kb) << c.bytes;
}

// The integer forms give what the double forms of the design give, across
// every boundary of a long stretch of counts.
TEST(StatrecConvert, IntegerFormsAgreeWithTheDoubleForms) {
  for (std::int64_t x = -5000; x <= 300000; ++x) {
    ASSERT_EQ(statiMillisToSeconds(x), static_cast<std::int64_t>(x / 1000.0 + 0.5)) << x;
    ASSERT_EQ(statiBytesToKilobytes(x), static_cast<std::int64_t>(x / 1024.0 + 0.55)) << x;
  }
}

TEST(StatrecConvert, TaskTypeMap) {
  struct Case {
    const char* code;
    const char* letters;
  };
  const Case cases[] = {{"01", "DD"}, {"02", "UU"}, {"03", "SS"}, {"04", "BB"}, {"05", "EE"},
                        {"06", "YY"}, {"07", "AA"}, {"08", "22"}, {"FF", "CC"}, {"FE", "RR"},
                        {"FD", "LL"}, {"0A", "XX"}, {"00", "XX"}, {"09", "XX"}, {"FC", "XX"},
                        {"fe", "XX"}, {"", "XX"},   {"0", "XX"},  {"011", "XX"}};
  for (const Case& c : cases) EXPECT_STREQ(statiMapTaskType(c.code), c.letters) << c.code;
}

// Every byte gives the letter its two hex digits give in the map.
TEST(StatrecConvert, TaskTypeLetterOfEveryByte) {
  for (int type = 0; type < 256; ++type) {
    char code[3];
    std::snprintf(code, sizeof code, "%02X", type);
    EXPECT_EQ(statiTaskTypeLetter(static_cast<unsigned char>(type)), statiMapTaskType(code)[1])
        << code;
  }
}

TEST(StatrecConvert, PlusToBlankReplacesTheFirstPlusOnly) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"A+B+C", "A B+C"}, {"+123", " 123"}, {"abc", "abc"}, {"", ""}, {"++", " +"}};
  for (const Case& c : cases) {
    char text[16];
    std::strcpy(text, c.in);
    statiPlusToBlank(text);
    EXPECT_STREQ(text, c.out) << c.in;
  }
}

TEST(StatrecConvert, BytesToHexIsUpperCase) {
  EXPECT_EQ(Hex(std::string("\x00\x1F", 2)), "001F");
  EXPECT_EQ(Hex("\xab\xcd\xef"), "ABCDEF");
  EXPECT_EQ(Hex(""), "");
}

TEST(StatrecConvert, PackedToDecimalText) {
  struct Case {
    std::string bytes;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {std::string("\x00\x00\x01\x49\x9C", 5), 0, "+000001499"},
      {std::string("\x00\x00\x01\x49\x9D", 5), 0, "-000001499"},
      {std::string("\x00\x00\x01\x49\x9F", 5), 0, "+000001499"},  // any sign but D is +
      {std::string("\x00\x00\x01\x49\x9C", 5), 2, "+0000014.99"},
      {std::string("\x1C", 1), 0, "+1"},
      {std::string("\x12\xA4\x5C", 3), 0, "+12A45"},
  };
  for (const Case& c : cases) EXPECT_EQ(Dec(c.bytes, c.decimals), c.text);
}

// The value is that of the text with its sign blanked: the leading digits,
// in 64 bits.
TEST(StatrecConvert, PackedValueReadsThe64BitNumberOfTheText) {
  struct Case {
    std::string bytes;
    std::int64_t value;
  };
  const Case cases[] = {
      {std::string("\x00\x00\x01\x49\x9C", 5), 1499},
      {std::string("\x00\x00\x01\x49\x9D", 5), -1499},
      {std::string("\x00\x00\x00\x0C", 4), 0},
      {std::string("\x0D", 1), 0},
      {std::string("\x7C", 1), 7},
      {std::string("\x12\xA4\x5C", 3), 12},  // stops at the first nibble above 9
      {std::string("\x1F\x45\x6D", 3), -1},
      {std::string("\xF1\x23\x4C", 3), 0},
      {std::string("\x99\x99\x99\x99\x99\x99\x99\x9C", 8), 999999999999999LL},  // P8 at its top
      {std::string("\x21\x47\x48\x36\x47\x0C", 6), 21474836470LL},              // past 32 bits
      {std::string(9, '\x99') + "\x9C", INT64_MAX},                             // 19 nines saturate
  };
  for (const Case& c : cases) EXPECT_EQ(Value(c.bytes), c.value) << Dec(c.bytes);
}

// Whatever the bytes, the value is that of the decimal text: checked
// against the text for fields of every length, with and without nibbles
// above 9 (which the 64-bit fast path hands to the digit-by-digit one).
TEST(StatrecConvert, PackedValueAgreesWithItsTextForAnyBytes) {
  std::uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned char>(seed >> 56);
  };
  for (int n = 1; n <= 9; ++n) {
    for (int round = 0; round < 20000; ++round) {
      std::string bytes;
      const bool decimal = round % 2 == 0;
      for (int i = 0; i < n; ++i) {
        unsigned char b = next();
        if (decimal) b = static_cast<unsigned char>((b >> 4) % 10 << 4 | ((b & 0xF) % 10));
        bytes.push_back(static_cast<char>(b));
      }
      if (round % 4 == 0) bytes.back() = static_cast<char>((bytes.back() & 0xF0) | 0xD);
      const std::string text = Dec(bytes);
      std::int64_t want = 0;
      for (size_t i = 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        want = want * 10 + (text[i] - '0');
      }
      if (text[0] == '-') want = -want;
      ASSERT_EQ(Value(bytes), want) << text;
    }
  }
}

// The conversions as they reach a record.
class StatrecConvertRecord : public statrec_test::StatrecTest {
 protected:
  // The Oracle columns from..to (1-based) of the standard 4.6C normal line
  // after change.
  template <typename Change>
  std::string Columns(int from, int to, Change change, const char* tag = "46C") {
    statrec_test::Line line = StandardLine(tag, false);
    change(line);
    const std::string out = ConvertOne(line, false, tag == std::string("610") ? "620" : tag);
    EXPECT_EQ(out.size(), 309u);
    return out.substr(from - 1, to - from + 1);
  }
};

TEST_F(StatrecConvertRecord, ResponseTimeRoundsHalfUp) {
  EXPECT_EQ(Columns(224, 231, [](auto& l) { l.Packed("RESPTI", 1499); }), "       1");
  EXPECT_EQ(Columns(224, 231, [](auto& l) { l.Packed("RESPTI", 1500); }), "       2");
}

TEST_F(StatrecConvertRecord, DatabaseTimeSumsEachComponentRounded) {
  auto seven400 = [](auto& l) {
    for (const char* f :
         {"READDIRTI", "READSEQTI", "INSTI", "UPDTI", "COMMITTI", "MCTI", "DELTI"}) {
      l.Packed(f, 400);
    }
  };
  EXPECT_EQ(Columns(232, 239, seven400), "       0");  // 2800 ms, but each part rounds to 0
  auto seven500 = [](auto& l) {
    for (const char* f :
         {"READDIRTI", "READSEQTI", "INSTI", "UPDTI", "COMMITTI", "MCTI", "DELTI"}) {
      l.Packed(f, 500);
    }
  };
  EXPECT_EQ(Columns(232, 239, seven500), "       7");
}

TEST_F(StatrecConvertRecord, KilobytesOfTheSum) {
  auto bytes = [](long long first) {
    return [first](auto& l) {
      for (const char* f : {"NTABCNT", "DSQLCNT", "ABAPSCNT", "ABAPLCNT", "DYNPSCNT", "DYNPLCNT",
                            "CUALCNT", "QUECNT", "DDICCNT", "RFCCNT"}) {
        l.Packed(f, 0);
      }
      l.Packed("NTABCNT", first - 1).Packed("RFCCNT", 1);
    };
  };
  EXPECT_EQ(Columns(240, 247, bytes(461)), "       1");
  EXPECT_EQ(Columns(240, 247, bytes(460)), "       0");
}

TEST_F(StatrecConvertRecord, TaskTypeLetter) {
  EXPECT_EQ(Columns(185, 185, [](auto& l) { l.Raw("TASKTYPE", "\x04"); }), "B");
  EXPECT_EQ(Columns(185, 185, [](auto& l) { l.Raw("TASKTYPE", "\x0A"); }), "X");
  EXPECT_EQ(Columns(185, 185, [](auto& l) { l.Raw("TASKTYPE", "\xFE"); }), "R");
  EXPECT_EQ(Columns(185, 185, [](auto& l) { l.Raw("TASKTYPE", "\x08"); }), "2");
}

// GUICNT is divided by 1000 and rounded like a time.
TEST_F(StatrecConvertRecord, GuiCountIsThousandsHalfUp) {
  EXPECT_EQ(Columns(292, 299, [](auto& l) { l.Packed("GUICNT", 1499); }), "       1");
  EXPECT_EQ(Columns(292, 299, [](auto& l) { l.Packed("GUICNT", 1500); }), "       2");
  EXPECT_EQ(Columns(
                292, 299, [](auto& l) { l.Packed("Guicnt", 499); }, "610"),
            "       0");
}

TEST_F(StatrecConvertRecord, TransactionLosesLeadingBlanksAndPlus) {
  EXPECT_EQ(Columns(117, 136, [](auto& l) { l.Text("TCODE", "  VA"); }),
            "VA" + std::string(18, ' '));
  EXPECT_EQ(Columns(117, 136, [](auto& l) { l.Text("TCODE", "+VA01"); }),
            "VA01" + std::string(16, ' '));
  EXPECT_EQ(Columns(117, 136, [](auto& l) { l.Text("TCODE", "VA+01"); }),
            "VA 01" + std::string(15, ' '));
}

// A text ends at a zero byte; the column is filled with blanks.
TEST_F(StatrecConvertRecord, TextEndsAtAZeroByte) {
  EXPECT_EQ(Columns(186, 215, [](auto& l) { l.Raw("ACCOUNT", std::string("AB\0CDEFGHIJ", 12)); }),
            "AB" + std::string(28, ' '));
}

// The text read ends at the first zero byte and has its first "+" before
// that blanked, wherever in the field (word or tail) the two lie: here a
// "+" at every position of CUA_PROG's 40 characters against a zero byte at
// every position, and neither.
TEST_F(StatrecConvertRecord, TextEndAndPlusAtEveryPosition) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
  for (int plus = -1; plus < 40; ++plus) {
    for (int zero = -1; zero < 40; ++zero) {
      std::string field = letters;
      if (plus >= 0) field[plus] = '+';
      if (zero >= 0) field[zero] = '\0';
      if (plus >= 0 && plus + 1 < 40 && plus + 1 != zero)
        field[plus + 1] = '+';  // a second one stays
      std::string expected = field.substr(0, zero < 0 ? 40 : zero);
      if (plus >= 0 && plus < static_cast<int>(expected.size())) expected[plus] = ' ';
      expected.resize(40, ' ');
      ASSERT_EQ(Columns(141, 180, [&](auto& l) { l.Raw("CUA_PROG", field); }), expected)
          << "plus " << plus << ", zero " << zero;
    }
  }
}

// Sums and single values beyond 32 bits keep their digits.
TEST_F(StatrecConvertRecord, NumbersAreReadAndSummedIn64Bits) {
  EXPECT_EQ(Columns(248, 259,
                    [](auto& l) {
                      l.Packed("PHYINSCNT", 99999999999LL).Packed("PHYUPDCNT", 99999999999LL);
                      l.Packed("PHYDELCNT", 2);
                    }),
            "200000000000");
  EXPECT_EQ(Columns(224, 231, [](auto& l) { l.Packed("RESPTI", 4294967296000LL); }), "99999999");
  EXPECT_EQ(Columns(216, 223, [](auto& l) { l.Packed("CPUTI", 5000000000LL); }), " 5000000");
}

}  // namespace
