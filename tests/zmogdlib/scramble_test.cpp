// The internal operations of the scrambling: six-bit coding, the salt
// generator and the chain in both directions.
#include "scramble.h"

#include <gtest/gtest.h>

#include <string>

#include "scramble_reference.h"

namespace {

using namespace zmo::gdlib;
using scramble_test::ReferenceEncode;
using scramble_test::ReferenceScramble;

const char kConfigKey[] = "Qortane4_Brelmuskand7";

std::string Encode(const std::string& bytes) {
  return encodeSixBit(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(SixBitTest, EncoderExamples) {
  EXPECT_EQ(Encode("abc"), "hJ2Y");
  EXPECT_EQ(Encode("a"), "hB");
  EXPECT_EQ(Encode(""), "");
  // Least significant bit first: 0x01 sets the lowest bit of the first group,
  // 0x80 the third bit of the second.
  EXPECT_EQ(Encode(std::string(1, '\x01')), "BA");
  EXPECT_EQ(Encode(std::string(1, '\x80')), "AC");
  EXPECT_EQ(Encode(std::string(3, '\xff')), "....");
  EXPECT_EQ(Encode(std::string("\xfe\xff\xff", 3)), "_...");
}

TEST(SixBitTest, LengthIsCeilingOfEightSixths) {
  for (std::size_t count = 0; count <= 270; ++count) {
    std::string bytes(count, '\x5a');
    EXPECT_EQ(Encode(bytes).size(), SixBitLength(count)) << count;
    EXPECT_EQ(SixBitLength(count), (8 * count + 5) / 6) << count;
  }
  EXPECT_EQ(SixBitLength(9), 12u);
  EXPECT_EQ(SixBitLength(190), 254u);
  EXPECT_EQ(SixBitLength(191), 255u);
}

TEST(SixBitTest, EncoderMatchesReferenceAndDecoderInvertsIt) {
  // Every byte value, in every position of a three-byte group.
  for (std::size_t count = 1; count <= 40; ++count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(i * 37 + count * 11));
    const std::string text = Encode(bytes);
    EXPECT_EQ(text, ReferenceEncode(bytes)) << count;
    std::string back;
    ASSERT_EQ(decodeSixBit(text.data(), text.size(), &back), kScrambleOk) << count;
    EXPECT_EQ(back, bytes) << count;
  }
  for (int value = 0; value < 256; ++value) {
    const std::string bytes(3, static_cast<char>(value));
    std::string back;
    const std::string text = Encode(bytes);
    ASSERT_EQ(decodeSixBit(text.data(), text.size(), &back), kScrambleOk);
    EXPECT_EQ(back, bytes) << value;
  }
}

TEST(SixBitTest, DecoderDropsFillBits) {
  std::string bytes;
  // "hB" is "a"; "h9" (61 = 1 + 60) differs only in the four fill bits of
  // its last group.
  ASSERT_EQ(decodeSixBit("h9", 2, &bytes), kScrambleOk);
  EXPECT_EQ(bytes, "a");
}

TEST(SixBitTest, DecoderRefusesWhatTheEncoderNeverMakes) {
  struct Case {
    const char* text;
    const char* why;
  };
  const Case cases[] = {
      {"A", "4j + 1 characters"},
      {"AAAAA", "4j + 1 characters"},
      {"hJ2Y+", "4j + 1 characters"},
      {"hJ+Y", "'+' is not in the alphabet"},
      {"hJ/Y", "'/' is not in the alphabet"},
      {"hJ2=", "'=' is not in the alphabet"},
      {"hJ Y", "blank"},
      {"hJ-Y", "'-' is not in the alphabet"},
      {"hJ\xe9Y", "high byte"},
  };
  for (const Case& c : cases) {
    std::string bytes = "untouched";
    EXPECT_EQ(decodeSixBit(c.text, std::char_traits<char>::length(c.text), &bytes),
              kScrambleMalformed)
        << c.why;
    EXPECT_EQ(bytes, "untouched") << c.why;
  }
  // A NUL inside the counted length is outside the alphabet too.
  std::string bytes;
  EXPECT_EQ(decodeSixBit("hJ\0Y", 4, &bytes), kScrambleMalformed);
}

TEST(ScrambleRandomTest, ClassicSequence) {
  ScrambleRandom rng;
  SeedScrambleRandom(&rng, 1);
  // The C standard's sample generator seeded with 1.
  EXPECT_EQ(NextScrambleRandom(&rng), 16838);
  EXPECT_EQ(NextScrambleRandom(&rng), 5758);
  EXPECT_EQ(NextScrambleRandom(&rng), 10113);
  SeedScrambleRandom(&rng, 0);
  EXPECT_EQ(NextScrambleRandom(&rng), 0);
  SeedScrambleRandom(&rng, 1700000000);
  EXPECT_EQ(NextScrambleRandom(&rng), 7723);
}

TEST(ScrambleRandomTest, StaysWithinRangeAndConsecutiveSeedsDiffer) {
  ScrambleRandom rng;
  int previous = -1;
  for (std::uint32_t seed = 1'699'999'000; seed < 1'700'001'000; ++seed) {
    SeedScrambleRandom(&rng, seed);
    int value = NextScrambleRandom(&rng);
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 32767);
    EXPECT_EQ(static_cast<std::uint32_t>(value), scramble_test::ReferenceSalt(seed));
    EXPECT_NE(value, previous) << seed;
    previous = value;
  }
}

TEST(EncryptStringTest, MatchesReferenceForKeysSaltsAndLengths) {
  const char* keys[] = {kConfigKey, "k", "ab", "\x01\xff"};
  const std::uint32_t salts[] = {0, 1, 0x7fff, 0x1e2b, 0xdeadbeef};
  for (const char* key : keys) {
    for (std::uint32_t salt : salts) {
      for (std::size_t n = 1; n <= kMaxPasswordLength; n += 13) {
        std::string plain;
        for (std::size_t i = 0; i < n; ++i) plain.push_back(static_cast<char>(' ' + (i * 7) % 95));
        std::string text;
        ASSERT_EQ(encryptString(key, plain, salt, &text), kScrambleOk);
        EXPECT_EQ(text, ReferenceScramble(key, plain, salt)) << key << " " << salt << " " << n;
        EXPECT_EQ(text.size(), SixBitLength(n + 8));
        std::string back;
        ASSERT_EQ(decryptString(key, text, &back), kScrambleOk);
        EXPECT_EQ(back, plain);
      }
    }
  }
}

TEST(EncryptStringTest, OneByteKeyChainsEveryByteWithIt) {
  // With salt 0 the first clear bytes are 0: the chained bytes are the key
  // byte, then the key byte again (0 ^ k ^ 0) until the password starts.
  std::string text;
  ASSERT_EQ(encryptString("k", "a", 0, &text), kScrambleOk);
  const std::string chained = {
      'k', 'k', 'k', 'k', static_cast<char>('k' ^ 'a'), static_cast<char>('a' ^ 'k'),
      'k', 'k', 'k'};
  EXPECT_EQ(text, Encode(chained));
}

TEST(EncryptStringTest, RefusesEmptyAndOverlongInput) {
  std::string text = "untouched";
  EXPECT_EQ(encryptString("", "pw", 1, &text), kScrambleEmpty);
  EXPECT_EQ(encryptString(nullptr, "pw", 1, &text), kScrambleEmpty);
  EXPECT_EQ(encryptString("key", "", 1, &text), kScrambleEmpty);
  EXPECT_EQ(encryptString("key", std::string(kMaxPasswordLength + 1, 'p'), 1, &text),
            kScrambleTooLong);
  EXPECT_EQ(text, "untouched");
  ASSERT_EQ(encryptString("key", std::string(kMaxPasswordLength, 'p'), 1, &text), kScrambleOk);
  EXPECT_EQ(text.size(), kMaxScrambledLength);
}

TEST(DecryptStringTest, ReportsWhyATextIsRefused) {
  const std::string good = ReferenceScramble(kConfigKey, "secret", 7723);
  struct Case {
    std::string key;
    std::string text;
    int status;
  };
  const Case cases[] = {
      {kConfigKey, "", kScrambleEmpty},
      {"", good, kScrambleEmpty},
      {kConfigKey, good + "AA", kScrambleMalformed},   // 4j + 1 characters
      {kConfigKey, "AAAAAAAAAA", kScrambleMalformed},  // 7 bytes only
      {kConfigKey, good.substr(0, 18) + "+", kScrambleMalformed},
      {"other", good, kScrambleMismatch},
      {kConfigKey, ReferenceScramble(kConfigKey, std::string(255, 'p'), 5), kScrambleTooLong},
  };
  for (const Case& c : cases) {
    std::string plain = "untouched";
    EXPECT_EQ(decryptString(c.key.c_str(), c.text, &plain), c.status) << c.text;
    EXPECT_EQ(plain, "untouched") << c.text;
  }
}

TEST(DecryptStringTest, EightBytesHoldAnEmptyPassword) {
  std::string plain = "untouched";
  const std::string text = ReferenceScramble("key", "", 77);
  ASSERT_EQ(text.size(), 11u);
  ASSERT_EQ(decryptString("key", text, &plain), kScrambleOk);
  EXPECT_EQ(plain, "");
}

}  // namespace
