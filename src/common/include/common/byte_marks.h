// Looking at text eight bytes at a time, read as one little-endian word
// (its first byte lowest).
#pragma once

#include <bit>
#include <cstdint>

namespace zmo {

static_assert(std::endian::native == std::endian::little, "a word's first byte is its lowest");

inline constexpr std::uint64_t kByteOnes = 0x0101010101010101ull;

// The top bit of each byte of the result is set where the byte of w equals
// c. The subtraction's borrow can also mark a byte above a true mark, never
// below one, so the lowest mark is exact: a search takes that one, and a
// test that finds any mark rechecks byte by byte.
constexpr std::uint64_t byteMarks(std::uint64_t w, unsigned char c) {
  const std::uint64_t x = w ^ (c * kByteOnes);
  return (x - kByteOnes) & ~x & (kByteOnes << 7);
}

// The index (0-7) of the byte that the lowest mark of marks stands for.
inline int firstMarkedByte(std::uint64_t marks) { return std::countr_zero(marks) / 8; }

}  // namespace zmo
