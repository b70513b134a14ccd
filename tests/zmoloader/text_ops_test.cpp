#include "zmoloader/text_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace zmo::loader;

namespace {

TEST(TextOpsTest, IsNumericTakesDigitsOnly) {
  struct Case {
    const char* text;
    bool numeric;
  };
  const Case cases[] = {{"", true},    {"0", true},   {"20040110", true}, {"2004O110", false},
                        {" 1", false}, {"-1", false}, {"1.5", false},     {"12a", false}};
  for (const Case& c : cases) EXPECT_EQ(isNumeric(c.text), c.numeric) << c.text;
}

TEST(TextOpsTest, UpperCaseCopyLeavesTheOriginal) {
  std::string text = "snap-Corva 7";
  EXPECT_EQ(upperCaseCopy(text), "SNAP-CORVA 7");
  EXPECT_EQ(text, "snap-Corva 7");
}

TEST(TextOpsTest, PadLeftRightAlignsOrGivesNothing) {
  struct Case {
    const char* text;
    size_t length;
    int rc;
    const char* out;
  };
  const Case cases[] = {
      {"153", 5, 0, "00153"}, {"12345", 5, 0, "12345"}, {"", 3, 0, "000"},
      {"123456", 5, 1, ""},   {"1", 0, 1, ""},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(padLeft(c.text, c.length, '0', &out), c.rc) << c.text;
    EXPECT_EQ(out, c.out) << c.text;
  }
}

TEST(TextOpsTest, TableKeyParts) {
  EXPECT_EQ(makeIpKey("10.20.30.40"), "010020030040");
  EXPECT_EQ(makeIpKey("192.168.1.5"), "192168001005");
  EXPECT_EQ(makeIpKey("010.020.030.040"), "010020030040");
  EXPECT_EQ(makePidKey("153"), "00153");
  EXPECT_EQ(makePidKey("99999"), "99999");
  // A longer id keeps all its digits, so two processes never share a key.
  EXPECT_EQ(makePidKey("4194303"), "4194303");
  EXPECT_EQ(makeIpKey("10.20.30.40") + makePidKey("153"), "01002003004000153");
}

TEST(TextOpsTest, Ipv4AddressesOnly) {
  struct Case {
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {"10.20.30.40", true},
      {"0.0.0.0", true},
      {"255.255.255.255", true},
      {"010.020.030.040", true},
      {"10.20.30", false},
      {"10.20.30.40.50", false},
      {"10.20.30.400", false},
      {"256.1.1.1", false},
      {"10..30.40", false},
      {"10.20.30.", false},
      {"a.b.c.d", false},
      {"10.20.30.4x", false},
      {"", false},
      {"1234.1.1.1", false},
      {"10.20.30.40;del", false},
      {" 10.20.30.40", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isIpv4Address(c.text), c.ok) << c.text;
}

TEST(TextOpsTest, DecimalPidsOnly) {
  struct Case {
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {"153", true},          {"0", true},   {"1234567890", true}, {"", false},
      {"12345678901", false}, {"-1", false}, {"15 3", false},      {"0x10", false}};
  for (const Case& c : cases) EXPECT_EQ(isDecimalPid(c.text), c.ok) << c.text;
}

TEST(TextOpsTest, ParseIntTextReadsAsAtoiWithoutOverflow) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"30", 30},
      {"-45", -45},
      {"  12abc", 12},
      {"abc", 0},
      {"", 0},
      {"+7", 7},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(parseIntText(c.text), c.value) << c.text;
}

TEST(TextOpsTest, RightTrimCopyDropsTrailingBlanksOnly) {
  EXPECT_EQ(rightTrimCopy("Group A    "), "Group A");
  EXPECT_EQ(rightTrimCopy("  lead"), "  lead");
  EXPECT_EQ(rightTrimCopy("    "), "");
  EXPECT_EQ(rightTrimCopy(std::string(300, 'x')).size(), 255u);
}

}  // namespace
