// Encrypt and Decrypt as their callers see them: lengths, the salt taken
// from the current second, keys, malformed texts and the buffer limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "platform/clock.h"
#include "scramble_reference.h"
#include "zmogdlib/zmogdlib.h"

namespace {

using scramble_test::ReferenceSalt;
using scramble_test::ReferenceScramble;

const char kConfigKey[] = "Qortane4_Brelmuskand7";
constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kT0 = 1'700'000'000 * kSecond;

// A buffer of the size callers pass, filled with a marker so a test sees
// whether anything was written.
struct OutBuffer {
  static constexpr std::size_t kSize = 256;
  char bytes[kSize];
  OutBuffer() { std::memset(bytes, '#', kSize); }
  bool Untouched() const {
    for (char c : bytes) {
      if (c != '#') return false;
    }
    return true;
  }
};

std::string EncryptText(const std::string& plain, const char* key) {
  OutBuffer out;
  int n = Encrypt(plain.c_str(), key, out.bytes);
  EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(out.bytes));
  return std::string(out.bytes, n);
}

std::string DecryptText(const std::string& text, const char* key, int* result) {
  OutBuffer out;
  *result = Decrypt(text.c_str(), key, out.bytes);
  if (*result == 0) {
    EXPECT_TRUE(out.Untouched());
    return "";
  }
  return std::string(out.bytes);
}

TEST(EncryptTest, GoldenTextsAtFixedSeconds) {
  struct Case {
    std::int64_t seconds;
    const char* plain;
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {1'700'000'000, "secret", kConfigKey, "6pFb0JBejVCST1CUy1G"},
      {0, "secret", kConfigKey, "R9mc0JBejVCSTZQZs1G"},
      {1'234'567'890, "secret", kConfigKey, "2JEe0JBejVCSTFCSm1G"},
      {1'700'000'000, "Pa55_w.rd!", "x", "T1kZ4hSSsgnEQFCJu1jcNZGe"},
  };
  for (const Case& c : cases) {
    zmo::ScopedFakeClock clock(c.seconds * kSecond);
    OutBuffer out;
    ASSERT_EQ(Encrypt(c.plain, c.key, out.bytes), static_cast<int>(std::strlen(c.text)));
    EXPECT_STREQ(out.bytes, c.text);
    // Nothing past the terminating NUL is written.
    EXPECT_EQ(out.bytes[std::strlen(c.text) + 1], '#');
    int result = 0;
    EXPECT_EQ(DecryptText(c.text, c.key, &result), c.plain);
    EXPECT_EQ(result, static_cast<int>(std::strlen(c.plain)));
  }
}

TEST(EncryptTest, TextLengthFollowsPasswordLength) {
  zmo::ScopedFakeClock clock(kT0);
  struct Case {
    std::size_t password;
    std::size_t text;
  };
  const Case cases[] = {{1, 12},  {2, 14},  {3, 15},  {4, 16},
                        {13, 28}, {14, 30}, {15, 31}, {182, 254}};
  for (const Case& c : cases) {
    const std::string plain(c.password, 'w');
    const std::string text = EncryptText(plain, kConfigKey);
    EXPECT_EQ(text.size(), c.text) << c.password;
    int result = 0;
    EXPECT_EQ(DecryptText(text, kConfigKey, &result), plain);
  }
}

TEST(EncryptTest, SaltComesFromTheCurrentSecond) {
  zmo::ScopedFakeClock clock(kT0);
  const std::string first = EncryptText("password", kConfigKey);
  clock->Advance(999);
  const std::string same_second = EncryptText("password", kConfigKey);
  clock->Advance(1);
  const std::string next_second = EncryptText("password", kConfigKey);
  EXPECT_EQ(first, same_second);
  EXPECT_NE(first, next_second);
  EXPECT_EQ(first, ReferenceScramble(kConfigKey, "password", ReferenceSalt(1'700'000'000)));
  EXPECT_EQ(next_second, ReferenceScramble(kConfigKey, "password", ReferenceSalt(1'700'000'001)));
  for (const std::string& text : {first, next_second}) {
    int result = 0;
    EXPECT_EQ(DecryptText(text, kConfigKey, &result), "password");
    EXPECT_EQ(result, 8);
  }
}

TEST(EncryptTest, LeavesTheHostGeneratorAlone) {
  zmo::ScopedFakeClock clock(kT0);
  std::srand(4242);
  const int first = std::rand();
  const int second = std::rand();
  std::srand(4242);
  ASSERT_EQ(std::rand(), first);
  EncryptText("password", kConfigKey);
  EXPECT_EQ(std::rand(), second);
}

TEST(EncryptTest, OnlyAlphabetCharactersAppear) {
  zmo::ScopedFakeClock clock(kT0);
  std::set<char> seen;
  for (int i = 0; i < 200; ++i) {
    for (char c : EncryptText("pass" + std::to_string(i * 7919), kConfigKey)) seen.insert(c);
    clock->Advance(kSecond);
  }
  EXPECT_TRUE(seen.count('_'));
  EXPECT_TRUE(seen.count('.'));
  for (char c : {'+', '/', '='}) EXPECT_FALSE(seen.count(c)) << c;
  for (char c : seen) EXPECT_NE(std::strchr(scramble_test::kAlphabet, c), nullptr) << c;
}

TEST(EncryptTest, EmptyOrMissingArgumentsWriteNothing) {
  struct Case {
    const char* plain;
    const char* key;
  };
  const Case cases[] = {
      {"", kConfigKey}, {nullptr, kConfigKey}, {"pw", ""}, {"pw", nullptr}, {"", ""}};
  for (const Case& c : cases) {
    OutBuffer out;
    EXPECT_EQ(Encrypt(c.plain, c.key, out.bytes), 0);
    EXPECT_TRUE(out.Untouched());
  }
  EXPECT_EQ(Encrypt("pw", kConfigKey, nullptr), 0);
}

TEST(EncryptTest, PasswordsPast182BytesAreRefused) {
  zmo::ScopedFakeClock clock(kT0);
  // Exactly the caller's 255 bytes, so a write past them shows up under the
  // address sanitizer.
  auto out = std::make_unique<char[]>(255);
  const std::string longest(182, 'L');
  ASSERT_EQ(Encrypt(longest.c_str(), kConfigKey, out.get()), 254);
  EXPECT_EQ(out[254], '\0');
  int result = 0;
  EXPECT_EQ(DecryptText(std::string(out.get()), kConfigKey, &result), longest);

  for (std::size_t n : {183, 184, 255, 5000}) {
    OutBuffer buffer;
    EXPECT_EQ(Encrypt(std::string(n, 'L').c_str(), kConfigKey, buffer.bytes), 0) << n;
    EXPECT_TRUE(buffer.Untouched()) << n;
  }
}

TEST(DecryptTest, WrongKeyWritesNothing) {
  // Whether the salts survive another key depends on the two keys and the
  // length only; these keys are caught at every length below.
  const char* wrong_keys[] = {"other", "q", "x", "Brelmuskand7"};
  for (std::size_t n : {1, 6, 14, 40}) {
    const std::string text = ReferenceScramble(kConfigKey, std::string(n, 'z'), 1234);
    for (const char* key : wrong_keys) {
      int result = -1;
      DecryptText(text, key, &result);
      EXPECT_EQ(result, 0) << key << " " << n;
    }
  }
}

TEST(DecryptTest, AlteredTextWritesNothing) {
  const std::string good = "6pFb0JBejVCST1CUy1G";
  // Flipping the lowest bit of character i changes chained byte 6i / 8; from
  // the second byte on, the two salts no longer agree.
  for (std::size_t i = 2; i < good.size(); ++i) {
    std::string text = good;
    const char* pos = std::strchr(scramble_test::kAlphabet, text[i]);
    text[i] = scramble_test::kAlphabet[(pos - scramble_test::kAlphabet) ^ 1];
    int result = -1;
    DecryptText(text, kConfigKey, &result);
    EXPECT_EQ(result, 0) << text;
  }
}

TEST(DecryptTest, OneCharacterKey) {
  zmo::ScopedFakeClock clock(kT0);
  const std::string text = EncryptText("odd", "k");
  EXPECT_EQ(text, ReferenceScramble("k", "odd", ReferenceSalt(1'700'000'000)));
  int result = 0;
  EXPECT_EQ(DecryptText(text, "k", &result), "odd");
  EXPECT_EQ(result, 3);
  // With one-byte keys an odd password length is what exposes the other key.
  DecryptText(text, "j", &result);
  EXPECT_EQ(result, 0);
}

TEST(DecryptTest, MalformedTextsWriteNothing) {
  const std::string good = "6pFb0JBejVCST1CUy1G";
  struct Case {
    std::string text;
    const char* why;
  };
  const Case cases[] = {
      {"", "empty"},
      {good + "AA", "4j + 1 characters"},
      {good + "A", "salts no longer line up"},
      {"AAAAAAAAAAAAA", "4j + 1 characters"},
      {"AAAAAAAAAA", "decodes to 7 bytes"},
      {"hJ2Y", "decodes to 3 bytes"},
      {"A", "one character"},
      {good.substr(0, 9) + "+" + good.substr(10), "'+'"},
      {good.substr(0, 9) + "/" + good.substr(10), "'/'"},
      {good.substr(0, 18) + "=", "'='"},
      {good.substr(0, 9) + " " + good.substr(10), "blank"},
      {good.substr(0, 9) + "\xe9" + good.substr(10), "high byte"},
      {good + "\n", "line end"},
      {ReferenceScramble(kConfigKey, "", 1234), "no password bytes"},
      {std::string(5000, 'A'), "far too long"},
  };
  for (const Case& c : cases) {
    int result = -1;
    DecryptText(c.text, kConfigKey, &result);
    EXPECT_EQ(result, 0) << c.why;
  }
  OutBuffer out;
  EXPECT_EQ(Decrypt(nullptr, kConfigKey, out.bytes), 0);
  EXPECT_EQ(Decrypt(good.c_str(), nullptr, out.bytes), 0);
  EXPECT_EQ(Decrypt(good.c_str(), "", out.bytes), 0);
  EXPECT_TRUE(out.Untouched());
  EXPECT_EQ(Decrypt(good.c_str(), kConfigKey, nullptr), 0);
}

TEST(DecryptTest, PasswordsPast254BytesAreRefused) {
  // Encrypt never makes these, but a text from elsewhere must not overrun
  // the caller's 255 bytes.
  for (std::size_t n : {183, 200, 254}) {
    const std::string plain(n, 'D');
    const std::string text = ReferenceScramble(kConfigKey, plain, 4321);
    auto out = std::make_unique<char[]>(255);
    ASSERT_EQ(Decrypt(text.c_str(), kConfigKey, out.get()), static_cast<int>(n));
    EXPECT_EQ(std::string(out.get()), plain);
  }
  for (std::size_t n : {255, 256, 400}) {
    int result = -1;
    DecryptText(ReferenceScramble(kConfigKey, std::string(n, 'D'), 4321), kConfigKey, &result);
    EXPECT_EQ(result, 0) << n;
  }
}

}  // namespace
