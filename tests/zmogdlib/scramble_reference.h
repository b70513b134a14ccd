// A second, deliberately plain implementation of the scrambled-password
// format for the tests: bit by bit, with no size limits, so it can make texts
// the library refuses to make and check the library's texts independently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scramble_test {

inline constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.";

// Six-bit text of bytes: stream bit 8i + j is bit j of byte i; character g
// holds stream bits 6g (its lowest bit) to 6g + 5, zero past the end.
inline std::string ReferenceEncode(const std::string& bytes) {
  std::vector<int> bits;
  for (unsigned char b : bytes) {
    for (int j = 0; j < 8; ++j) bits.push_back((b >> j) & 1);
  }
  while (bits.size() % 6 != 0) bits.push_back(0);
  std::string text;
  for (std::size_t g = 0; g < bits.size(); g += 6) {
    int value = 0;
    for (int i = 0; i < 6; ++i) value |= bits[g + i] << i;
    text.push_back(kAlphabet[value]);
  }
  return text;
}

// Scrambled text of plain under key with the given salt value.
inline std::string ReferenceScramble(const std::string& key, const std::string& plain,
                                     std::uint32_t salt) {
  std::string salt_bytes;
  for (int i = 0; i < 4; ++i) salt_bytes.push_back(static_cast<char>((salt >> (8 * i)) & 0xff));
  const std::string clear = salt_bytes + plain + salt_bytes;
  std::string chained;
  unsigned char prev = 0;
  for (std::size_t i = 0; i < clear.size(); ++i) {
    unsigned char k = static_cast<unsigned char>(key[i % key.size()]);
    unsigned char x = static_cast<unsigned char>(clear[i]);
    chained.push_back(static_cast<char>(prev ^ k ^ x));
    prev = x;
  }
  return ReferenceEncode(chained);
}

// The salt Encrypt draws at a given second: the first value of the classic
// generator seeded with it.
inline std::uint32_t ReferenceSalt(std::uint32_t seconds) {
  std::uint32_t next = seconds * 1103515245u + 12345u;
  return (next / 65536u) % 32768u;
}

}  // namespace scramble_test
