// The one conversion between Windows-1252 bytes and Unicode text.
#include <gtest/gtest.h>

#include <string>

#include "zmoconfig/codepage.h"

namespace {

TEST(CodepageTest, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

}  // namespace
