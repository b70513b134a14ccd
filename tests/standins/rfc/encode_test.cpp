// The field encoders: the exact bytes of every field kind.
#include "encode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using zmo::sap::FieldKind;
using zmo::sap::FieldLayout;

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

// Encodes value into a line of just this field; "" and *error on refusal.
std::string Encode(FieldKind kind, unsigned length, const std::string& value, unsigned width = 1,
                   unsigned decimals = 0, bool fit = false, std::string* error = nullptr) {
  FieldLayout f{"F", 0, length, kind, decimals};
  std::string line(length, '\x55'), why;
  int rc = zmo::rfc::EncodeField(f, width, value, fit,
                                 reinterpret_cast<unsigned char*>(line.data()), &why);
  if (error != nullptr) *error = why;
  return rc == 0 ? line : "";
}

TEST(EncodeTest, PackedDecimalsCarryTheirSignInTheLastNibble) {
  struct Case {
    const char* value;
    unsigned n, decimals;
    std::string bytes;
  };
  const Case kCases[] = {
      {"0", 1, 0, Bytes({0x0C})},
      {"7", 1, 0, Bytes({0x7C})},
      {"123", 2, 0, Bytes({0x12, 0x3C})},
      {"-1500", 6, 0, Bytes({0x00, 0x00, 0x00, 0x01, 0x50, 0x0D})},
      {"+1499", 6, 0, Bytes({0x00, 0x00, 0x00, 0x01, 0x49, 0x9C})},
      {"99999999999", 6, 0, Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x9C})},
      {"-0", 2, 0, Bytes({0x00, 0x0C})},
      {"12.5", 3, 2, Bytes({0x01, 0x25, 0x0C})},
      {"-0.07", 2, 2, Bytes({0x00, 0x7D})},
      {"000042", 2, 0, Bytes({0x04, 0x2C})},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Encode(FieldKind::kPacked, c.n, c.value, 1, c.decimals), c.bytes) << c.value;
  }
}

TEST(EncodeTest, PackedRefusesWhatItCannotHold) {
  struct Case {
    const char* value;
    unsigned n, decimals;
    const char* why;
  };
  const Case kCases[] = {{"100000000000", 6, 0, "more than 11 digits"},
                         {"1.234", 3, 2, "more than 2 decimals"},
                         {"12", 1, 0, "more than 1 digits"},
                         {"abc", 6, 0, "not a decimal number"},
                         {"", 6, 0, "not a decimal number"},
                         {"1.", 6, 1, "not a decimal number"},
                         {"-", 6, 0, "not a decimal number"},
                         {"1e3", 6, 0, "not a decimal number"}};
  for (const Case& c : kCases) {
    std::string why;
    EXPECT_EQ(Encode(FieldKind::kPacked, c.n, c.value, 1, c.decimals, false, &why), "") << c.value;
    EXPECT_EQ(why, c.why) << c.value;
  }
}

TEST(EncodeTest, TextDigitsAndRawFields) {
  EXPECT_EQ(Encode(FieldKind::kChar, 6, "VA01"), "VA01  ");
  EXPECT_EQ(Encode(FieldKind::kChar, 6, "  VA"), "  VA  ");
  EXPECT_EQ(Encode(FieldKind::kChar, 3, "ABCD"), "");
  EXPECT_EQ(Encode(FieldKind::kChar, 3, "ABCD", 1, 0, true), "ABC");
  EXPECT_EQ(Encode(FieldKind::kDate, 8, "20240304"), "20240304");
  EXPECT_EQ(Encode(FieldKind::kDate, 8, "2024034"), "");
  EXPECT_EQ(Encode(FieldKind::kTime, 6, "10a500"), "");
  EXPECT_EQ(Encode(FieldKind::kNumc, 4, "42"), "0042");
  EXPECT_EQ(Encode(FieldKind::kNumc, 4, "12345"), "");
  EXPECT_EQ(Encode(FieldKind::kRaw, 2, "00fE"), Bytes({0x00, 0xFE}));
  EXPECT_EQ(Encode(FieldKind::kRaw, 2, "FE"), "");
  EXPECT_EQ(Encode(FieldKind::kRaw, 1, "G1"), "");
}

TEST(EncodeTest, IntegersAndFloatsAreLittleEndian) {
  EXPECT_EQ(Encode(FieldKind::kInt2, 2, "258"), Bytes({0x02, 0x01}));
  EXPECT_EQ(Encode(FieldKind::kInt2, 2, "-2"), Bytes({0xFE, 0xFF}));
  EXPECT_EQ(Encode(FieldKind::kInt2, 2, "32768"), "");
  EXPECT_EQ(Encode(FieldKind::kInt, 4, "-1"), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Encode(FieldKind::kInt, 4, "16909060"), Bytes({0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(Encode(FieldKind::kInt, 4, "2147483648"), "");
  EXPECT_EQ(Encode(FieldKind::kInt, 4, "12x"), "");
  EXPECT_EQ(Encode(FieldKind::kFloat, 8, "1.5"), Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
  EXPECT_EQ(Encode(FieldKind::kFloat, 8, "-2"), Bytes({0, 0, 0, 0, 0, 0, 0x00, 0xC0}));
  EXPECT_EQ(Encode(FieldKind::kFloat, 8, "one"), "");
}

// Wide forms: UTF-16 or UTF-32, little-endian, from Windows-1252 bytes.
TEST(EncodeTest, WideCharactersOfTheUnicodeForms) {
  EXPECT_EQ(Encode(FieldKind::kChar, 6, "A\x80", 2), Bytes({'A', 0, 0xAC, 0x20, ' ', 0}));
  EXPECT_EQ(Encode(FieldKind::kChar, 8, "\xE9", 4), Bytes({0xE9, 0, 0, 0, ' ', 0, 0, 0}));
  EXPECT_EQ(Encode(FieldKind::kDate, 16, "20240304", 2),
            Bytes({'2', 0, '0', 0, '2', 0, '4', 0, '0', 0, '3', 0, '0', 0, '4', 0}));
  EXPECT_EQ(Encode(FieldKind::kChar, 4, "ABC", 2), "");  // two characters only
}

TEST(EncodeTest, InitialValuesAndWholeLines) {
  const zmo::sap::StructLayout* l = zmo::sap::FindLayout("SAPWLPFNRM", "3");
  std::string line, error;
  ASSERT_EQ(zmo::rfc::EncodeLine(*l, {{"TCODE", "VA01"}, {"RESPTI", "5"}}, false, &line, &error), 0)
      << error;
  ASSERT_EQ(line.size(), 512u);
  EXPECT_EQ(line.substr(72, 4), "VA01");
  EXPECT_EQ(line.substr(40, 8), Bytes({0, 0, 0, 0, 0, 0, 0, 0x5C}));
  EXPECT_EQ(line.substr(48, 6), Bytes({0, 0, 0, 0, 0, 0x0C}));  // packed zero
  EXPECT_EQ(line.substr(12, 8), "00000000");                    // initial date
  EXPECT_EQ(line.substr(20, 6), "000000");                      // initial time
  EXPECT_EQ(line.substr(88, 12), std::string(12, ' '));         // blank text
  EXPECT_EQ(line.substr(68, 2), Bytes({0, 0}));                 // raw zero
  EXPECT_EQ(line.substr(407, 1), Bytes({0}));                   // padding before the float
  EXPECT_EQ(zmo::rfc::EncodeLine(*l, {{"NOSUCH", "1"}}, false, &line, &error), -1);
  EXPECT_EQ(error, "field NOSUCH is not in SAPWLPFNRM");
  EXPECT_EQ(zmo::rfc::EncodeLine(*l, {{"TCODE", "TOOLONG"}}, false, &line, &error), -1);
  EXPECT_EQ(error, "field TCODE: longer than 4 characters");
}

}  // namespace
