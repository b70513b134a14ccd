// Internals of the password scrambling behind Encrypt and Decrypt.
//
// A scrambled text encodes 4 salt bytes, the password bytes and the same 4
// salt bytes again, each byte chained with its clear predecessor and a key
// byte by exclusive-or, written six bits to a character in the alphabet
// below (least significant bit first). Decoding checks that both salts agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zmo::gdlib {

// Character i stands for the six-bit value i. Safe in fixed-width fields,
// file names and registry values.
inline constexpr char kScrambleAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.";

inline constexpr std::size_t kSaltBytes = 4;
// Callers hand out buffers of 255 bytes: a scrambled text and its NUL, or a
// password and its NUL, must fit in them.
inline constexpr std::size_t kMaxScrambledLength = 254;
inline constexpr std::size_t kMaxDecryptedLength = 254;
// The longest password whose scrambled text stays within 254 characters.
inline constexpr std::size_t kMaxPasswordLength = 182;

// Results of the internal operations.
enum ScrambleStatus : int {
  kScrambleOk = 0,
  kScrambleEmpty = 1,      // empty (or missing) text or key
  kScrambleTooLong = 2,    // result would not fit a caller's buffer
  kScrambleMalformed = 3,  // not a text the encoder can make
  kScrambleMismatch = 4,   // salts differ: other key, or altered text
};

// The generator of the salt: the classic one with values 0 to 32767. It is
// the library's own, so seeding it never disturbs the host's rand().
struct ScrambleRandom {
  std::uint32_t next = 1;
};
void SeedScrambleRandom(ScrambleRandom* rng, std::uint32_t seed);
int NextScrambleRandom(ScrambleRandom* rng);

// Characters that encodeSixBit makes of count bytes: ceil(8 * count / 6).
constexpr std::size_t SixBitLength(std::size_t count) { return (8 * count + 5) / 6; }

// The text of count bytes.
std::string encodeSixBit(const unsigned char* bytes, std::size_t count);

// The bytes of a text of length characters into *bytes. Fails with
// kScrambleMalformed for a character outside the alphabet or a length the
// encoder never makes (4j + 1); the fill bits of the last group are dropped.
int decodeSixBit(const char* text, std::size_t length, std::string* bytes);

// The scrambled text of plain under key, salted with the four bytes of salt
// (least significant first), into *text. Fails with kScrambleEmpty for an
// empty plain text or key and kScrambleTooLong past 182 password bytes.
int encryptString(const char* key, const std::string& plain, std::uint32_t salt, std::string* text);

// The password of a scrambled text under key into *plain. Fails with
// kScrambleEmpty, kScrambleTooLong (a password over 254 bytes),
// kScrambleMalformed (bad text, or fewer than 8 bytes) or kScrambleMismatch.
int decryptString(const char* key, const std::string& text, std::string* plain);

}  // namespace zmo::gdlib
